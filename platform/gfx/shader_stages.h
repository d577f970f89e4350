#pragma once
// Internal to the graphics device: what runs a bound device shader. The
// pixel stage turns a span of the rasterizer into program inputs (the vertex
// colour as COLOR0 in 0..1, each stage's normalised coordinates as TEXCOORD0
// and TEXCOORD1), runs the program over them in the interpreter's batches,
// samples textures through each stage's sampler setup as the fixed stages
// do, and clamps the colours to 0..1 before packing them as 32-bit pixels
// (already premultiplied, as the engine's shaders write them). The vertex
// stage runs the program per vertex; its POSITION output is in clip space.
// Neither allocates while drawing.

#include <cstdint>

#include "platform/gfx/program.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/shader/shader.h"

namespace plat {

// The device's texture units as a pixel program sees them. A stage without
// a texture reads as opaque black.
class StageSampler final : public TextureSampler {
public:
    void Bind(const SamplerSetup* const samplers[kMaxTextureStages]);
    void Sample4(int stage, const float u[4], const float v[4], float rgba[4][4]) override;

private:
    const SamplerSetup* samplers_[kMaxTextureStages] = {};
};

class PixelShaderStage final : public PixelProgram {
public:
    explicit PixelShaderStage(const ConstantRegisters& constants) : constants_(constants) {}
    void SetCode(const ShaderCode* code) { code_ = code; }
    void Shade(const PixelSpan& span, uint32_t* out) override;

private:
    const ConstantRegisters& constants_;
    const ShaderCode* code_ = nullptr;
    StageSampler sampler_;
    ShaderAttributes in_[raster::kChunk];
    float rgba_[raster::kChunk][4];
};

class VertexShaderStage final : public VertexProgram {
public:
    explicit VertexShaderStage(const ConstantRegisters& constants) : constants_(constants) {}
    void SetCode(const ShaderCode* code) { code_ = code; }
    void Run(const VertexInput& in, VertexOutput& out) override;

private:
    const ConstantRegisters& constants_;
    const ShaderCode* code_ = nullptr;
};

// Each stage's constant registers and the runners the device binds.
struct ShaderStages {
    ConstantRegisters pixelConstants;
    ConstantRegisters vertexConstants;
    PixelShaderStage pixel{pixelConstants};
    VertexShaderStage vertex{vertexConstants};
};

// One colour channel in 0..1 to 0..255, rounded; NaN gives 0.
inline uint32_t UnitToByte(float x) {
    const float v = x * 255.0f + 0.5f;
    if (!(v > 0.0f)) return 0;
    return v >= 255.0f ? 255u : static_cast<uint32_t>(v);
}

inline uint32_t PackUnitColor(const float rgba[4]) {
    return (UnitToByte(rgba[3]) << 24) | (UnitToByte(rgba[0]) << 16) | (UnitToByte(rgba[1]) << 8) | UnitToByte(rgba[2]);
}

inline void UnpackUnitColor(uint32_t argb, float rgba[4]) {
    constexpr float k = 1.0f / 255.0f;
    rgba[0] = static_cast<float>((argb >> 16) & 0xFF) * k;
    rgba[1] = static_cast<float>((argb >> 8) & 0xFF) * k;
    rgba[2] = static_cast<float>(argb & 0xFF) * k;
    rgba[3] = static_cast<float>(argb >> 24) * k;
}

}  // namespace plat
