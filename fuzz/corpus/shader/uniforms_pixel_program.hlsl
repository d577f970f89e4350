// Uniforms with initial values and the built-ins the blend shaders leave out.
float4 Tint = float4(1, 0.5, 0.25, 1);
float Strength = 0.75;
sampler2D Image : register(s0);

float4 PS(float4 colour : COLOR0, float2 uv : TEXCOORD0) : COLOR0
{
    float4 t = tex2D(Image, frac(uv.yx)) * colour * Tint;
    float grey = dot(t.rgb, float3(0.3, 0.59, 0.11));
    t.rgb = lerp(t.rgb, grey, saturate(Strength * sqrt(abs(uv.x))));
    t.a = min(max(pow(abs(t.a), 2.2), 0), 1) * step(0.01, floor(t.a * 4) / 4);
    return t;
}
