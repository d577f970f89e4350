// A vertex program through a projection matrix, struct in and out.
float4x4 WorldViewProj;
float4 Tint = float4(1, 0.5, 0.25, 1);

struct VertexIn { float4 position : POSITION; float4 colour : COLOR0; float2 uv : TEXCOORD0; };
struct VertexOut { float4 position : POSITION; float4 colour : COLOR0; float2 uv : TEXCOORD1; };

VertexOut VS(VertexIn input)
{
    VertexOut o;
    o.position = mul(WorldViewProj, input.position);
    o.colour = input.colour.bgra * Tint;
    o.uv = input.uv * 2 - 0.5;
    return o;
}
