#pragma once
// Hooks for programmable vertex and pixel stages. A vertex program replaces
// the fixed transform for each vertex; a pixel program replaces the texture
// stages for each span of pixels (blending, stencil and scissor still apply).
// The device does not own the programs; they must outlive their binding.

#include <cstdint>

#include "platform/gfx/sampler.h"

namespace plat {

struct VertexInput {
    float position[3] = {};
    float normal[3] = {};
    uint32_t diffuse = 0xFFFFFFFFu;
    float tex[2][2] = {};
};

struct VertexOutput {
    float position[4] = {0, 0, 0, 1};  // clip space
    uint32_t diffuse = 0xFFFFFFFFu;
    float tex[2][2] = {};
};

class VertexProgram {
public:
    virtual ~VertexProgram() = default;
    virtual void Run(const VertexInput& in, VertexOutput& out) = 0;
};

struct PixelSpan {
    int x = 0, y = 0, count = 0;
    const uint32_t* diffuse = nullptr;
    const float* s[2] = {};  // normalised texture coordinates of each stage
    const float* t[2] = {};
    const SamplerSetup* samplers[2] = {};  // null where the stage has no texture
};

class PixelProgram {
public:
    virtual ~PixelProgram() = default;
    // Writes span.count colours (0xAARRGGBB) to out.
    virtual void Shade(const PixelSpan& span, uint32_t* out) = 0;
};

}  // namespace plat
