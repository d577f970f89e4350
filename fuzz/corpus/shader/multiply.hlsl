// Multiply blend: draws an image so that it darkens what lies beneath it.
//
// Stage 0 holds the image, stage 1 a copy of the pixels under it; the draw
// replaces the target with the result, so this shader does the compositing
// itself. All colours are premultiplied. With S the image colour (tinted),
// D the background, Sa and Da their alphas:
//   result.rgb = S*D + S*(1 - Da) + D*(1 - Sa)
//   result.a   = Sa + Da - Sa*Da
// which is "source over" with the overlapping part multiplied.

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
    float4 result;
    result.rgb = src.rgb * dst.rgb + src.rgb * (1 - dst.a) + dst.rgb * (1 - src.a);
    result.a = src.a + dst.a - src.a * dst.a;
    return result;
}
