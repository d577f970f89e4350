// Soft light blend: a gentler overlay that tints the background by the image.
//
// Stage 0 holds the image, stage 1 a copy of the pixels under it; the draw
// replaces the target with the result. The blend is the Pegtop soft light,
// on straight colours
//   B(s, d) = (1 - 2*s)*d*d + 2*s*d
// smooth everywhere and equal to the background where s = 0.5. With
// premultiplied S = Sa*s and D = Da*d, the overlapping part is
//   Sa*Da*B(s, d) = (Sa - 2*S)*D*d + 2*S*D,   d = D / Da
// and the rest is "source over":
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
    // A transparent background has D = 0, so any small divisor gives d = 0.
    float3 straightDst = dst.rgb / max(dst.a, 0.0001);
    float3 blended = (src.a - 2 * src.rgb) * dst.rgb * straightDst + 2 * src.rgb * dst.rgb;
    float4 result;
    result.rgb = blended + src.rgb * (1 - dst.a) + dst.rgb * (1 - src.a);
    result.a = src.a + dst.a - src.a * dst.a;
    return result;
}
