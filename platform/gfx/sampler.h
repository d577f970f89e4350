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

// Texel i and the one after it under the addressing mode (wrapping or
// clamping to `size`): the two a bilinear sample blends. The common case,
// both inside, costs one comparison.
inline void TexelPair(bool wrap, int i, int size, int& i0, int& i1) {
    if (static_cast<unsigned>(i) < static_cast<unsigned>(size - 1)) {
        i0 = i;
        i1 = i + 1;
        return;
    }
    const auto wrapped = [size](int k) {
        const int r = k % size;
        return r < 0 ? r + size : r;
    };
    const auto clamped = [size](int k) { return k < 0 ? 0 : (k >= size ? size - 1 : k); };
    i0 = wrap ? wrapped(i) : clamped(i);
    i1 = wrap ? wrapped(i + 1) : clamped(i + 1);
}

// Texel rows of a bilinear sample at 16.16 row coordinate v: the row above,
// the row below under the addressing mode, and the weight of the lower one.
struct RowPair {
    const uint32_t* upper = nullptr;
    const uint32_t* lower = nullptr;
    uint32_t weight = 0;  // 0..255
};
RowPair BilinearRows(const SamplerSetup& s, int32_t v);

// Texel column and weight of a bilinear sample at 16.16 column coordinate u,
// before the addressing mode: the sample blends columns `column` and the one
// after it by `weight`.
struct ColumnStep {
    int column = 0;
    uint32_t weight = 0;  // 0..255
};
inline ColumnStep BilinearColumn(int32_t u) {
    const int32_t uu = (u - 0x8000 + 0x80) >> 8;
    return {uu >> 8, static_cast<uint32_t>(uu & 0xFF)};
}

// Bilinear samples along a row whose sample points step one texel at a
// time and share one column weight fx: out[i] blends columns first + i and
// first + i + 1 of rows `rows`, except that the first sample's left column
// is `firstLeft` and the last one's right column `lastRight` (where the
// addressing mode sends them). Columns first + 1 .. first + n - 1 lie inside
// the texture. The same bits as SampleSpan.
void BilinearRunSpan(const RowPair& rows, int first, int firstLeft, int lastRight, uint32_t fx, int n, uint32_t* out);

// LerpArgb(a[i], b[i], f) for i in 0..n.
void LerpRowSpan(const uint32_t* a, const uint32_t* b, uint32_t f, int n, uint32_t* out);

// (a * (256 - f) + b * f) / 256 per channel, rounded; f in 0..256.
inline uint32_t LerpArgb(uint32_t a, uint32_t b, uint32_t f) {
    uint32_t g = 256 - f;
    uint32_t rb = (((a & 0x00FF00FFu) * g + (b & 0x00FF00FFu) * f + 0x00800080u) >> 8) & 0x00FF00FFu;
    uint32_t ag = (((a >> 8) & 0x00FF00FFu) * g + ((b >> 8) & 0x00FF00FFu) * f + 0x00800080u) & 0xFF00FF00u;
    return rb | ag;
}

}  // namespace plat
