// Overlay blend: darkens dark backgrounds and lightens light ones, keeping
// the background's contrast.
//
// Stage 0 holds the image, stage 1 a copy of the pixels under it; the draw
// replaces the target with the result. On straight colours the blend is
//   B(s, d) = d < 0.5 ? 2*s*d : 1 - 2*(1 - s)*(1 - d)
// With premultiplied S = Sa*s and D = Da*d, the overlapping part
// Sa*Da*B(s, d) becomes
//   D < 0.5*Da ? 2*S*D : Sa*Da - 2*(Sa - S)*(Da - D)
// which needs no division; the rest is "source over":
//   result.rgb = Sa*Da*B + S*(1 - Da) + D*(1 - Sa)
//   result.a   = Sa + Da - Sa*Da

sampler2D Image : register(s0);
sampler2D Background : register(s1);

struct BlendInput
{
    float4 tint : COLOR0;
    float2 imageUV : TEXCOORD0;
    float2 backgroundUV : TEXCOORD1;
};

float4 PS(BlendInput input) : COLOR0
{
    float4 src = tex2D(Image, input.imageUV) * input.tint;
    float4 dst = tex2D(Background, input.backgroundUV);
    float3 darken = 2 * src.rgb * dst.rgb;
    float3 lighten = src.a * dst.a - 2 * (src.a - src.rgb) * (dst.a - dst.rgb);
    // step() is 1 where the background is at least half bright
    float3 blended = lerp(darken, lighten, step(0.5 * dst.a, dst.rgb));
    float4 result;
    result.rgb = blended + src.rgb * (1 - dst.a) + dst.rgb * (1 - src.a);
    result.a = src.a + dst.a - src.a * dst.a;
    return result;
}
