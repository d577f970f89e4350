#pragma once
// Texture sampling for the rasterizer: point and bilinear filtering with clamp
// or wrap addressing over 32-bit ARGB texels. Coordinates are in texel units
// (s times the texture width) as 16.16 fixed point, so texel i covers
// [i, i + 1) and its centre is i + 0.5, as on the device being replaced.

#include <cstdint>

#include "platform/gfx/resources.h"

namespace plat {

// Bound of 16.16 texel coordinates handed to the samplers: 2^14 texels, far
// outside any texture, and far enough from the int32 limits that the
// filters' own arithmetic (the half-texel shift of bilinear filtering)
// cannot overflow. Coordinates beyond it are clamped to it.
constexpr int32_t kMaxFixedTexel = 1 << 30;

struct SamplerSetup {
    TextureView view;
    bool bilinear = false;
    bool wrapU = false, wrapV = false;
};

// Fills out[0..n) with the texels at (u[i], v[i]).
void SampleSpan(const SamplerSetup& s, const int32_t* u, const int32_t* v, int n, uint32_t* out);

// Fills out[0..n) with the texels at normalised coordinates (s[i], t[i]), as
// a pixel program asks for them. Coordinates far outside the texture are
// reduced (wrap) or clamped before they become fixed point; infinities and
// NaN read as 0.
void SampleSpanAt(const SamplerSetup& s, const float* sx, const float* ty, int n, uint32_t* out);

// One sample at normalised coordinates (s, t); for per-pixel programs.
uint32_t SampleAt(const SamplerSetup& s, float sx, float ty);

// (a * (256 - f) + b * f) / 256 per channel, rounded; f in 0..256.
inline uint32_t LerpArgb(uint32_t a, uint32_t b, uint32_t f) {
    uint32_t g = 256 - f;
    uint32_t rb = (((a & 0x00FF00FFu) * g + (b & 0x00FF00FFu) * f + 0x00800080u) >> 8) & 0x00FF00FFu;
    uint32_t ag = (((a >> 8) & 0x00FF00FFu) * g + ((b >> 8) & 0x00FF00FFu) * f + 0x00800080u) & 0xFF00FF00u;
    return rb | ag;
}

}  // namespace plat
