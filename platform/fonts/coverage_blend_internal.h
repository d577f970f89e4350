#pragma once
// Source-over blending of a premultiplied colour through 8-bit glyph coverage:
// dst' = src*c + dst*(1 - srcAlpha*c) per channel, c = coverage/255.

#include "platform/fonts/face_raster_internal.h"
#include "platform/fonts/system_font.h"

#include <algorithm>
#include <cstdint>

namespace plat::fonts_internal {

// round(x / 255) for 0 <= x <= 65407, without a division.
constexpr unsigned Div255(unsigned x) {
    const unsigned t = x + 128;
    return (t + (t >> 8)) >> 8;
}

// The formula with one rounding at the end; channels clamp, so a colour whose
// components exceed its alpha cannot wrap around.
inline uint32_t BlendExact(uint32_t dst, uint32_t src, unsigned coverage) {
    const unsigned keep = 255u * 255u - (src >> 24) * coverage;  // dst weight, in 1/65025
    const unsigned take = coverage * 255u;                       // src weight, in 1/65025
    uint32_t out = 0;
    for (unsigned shift = 0; shift < 32; shift += 8) {
        const unsigned s = (src >> shift) & 255u;
        const unsigned d = (dst >> shift) & 255u;
        const unsigned v = (s * take + d * keep + 65025u / 2) / 65025u;
        out |= std::min(v, 255u) << shift;
    }
    return out;
}

inline bool IsPremultiplied(uint32_t colour) {
    const uint32_t alpha = colour >> 24;
    return ((colour >> 16) & 255u) <= alpha && ((colour >> 8) & 255u) <= alpha && (colour & 255u) <= alpha;
}

// For a properly premultiplied colour (no component above alpha): four 16-bit
// lanes of one 64-bit word compute round((src*c + dst*(255 - round(srcAlpha*c/255))) / 255),
// which stays within one step of the exact formula for every input and cannot
// overflow a lane.
class PackedBlend {
public:
    explicit PackedBlend(uint32_t colour) : colour_(colour), alpha_(colour >> 24), spread_(Spread(colour)) {}

    uint32_t operator()(uint32_t dst, unsigned coverage) const {
        if (coverage == 255 && alpha_ == 255) return colour_;
        const uint64_t keep = 255u - Div255(alpha_ * coverage);
        uint64_t t = spread_ * coverage + Spread(dst) * keep + kHalf;
        t = ((t + ((t >> 8) & kLanes)) >> 8) & kLanes;
        const uint64_t p = t | (t >> 8);
        return static_cast<uint32_t>((p & 0xFFFFu) | ((p >> 16) & 0xFFFF0000u));
    }

private:
    static constexpr uint64_t kLanes = 0x00FF00FF00FF00FFull;
    static constexpr uint64_t kHalf = 0x0080008000800080ull;  // 128 in every lane
    // 0xAARRGGBB as 0x00AA00RR00GG00BB.
    static uint64_t Spread(uint32_t v) {
        const uint64_t x = v;
        return (x & 0xFFu) | ((x & 0xFF00u) << 8) | ((x & 0xFF0000u) << 16) | ((x & 0xFF000000u) << 24);
    }

    uint32_t colour_;
    unsigned alpha_;
    uint64_t spread_;
};

class ExactBlend {
public:
    explicit ExactBlend(uint32_t colour) : colour_(colour) {}
    uint32_t operator()(uint32_t dst, unsigned coverage) const { return BlendExact(dst, colour_, coverage); }

private:
    uint32_t colour_;
};

// Blends one glyph whose bitmap's top-left pixel lands at (x, y), touching only
// pixels inside bounds (already limited to the buffer). Most of a glyph's box
// is empty: skipping those pixels beats blending them branch-free.
template <class Blend>
void BlitGlyph(const PixelBuffer& target, const PixelRect& bounds, const Glyph& glyph, int64_t x, int64_t y,
               const Blend& blend) {
    const int64_t x0 = std::max<int64_t>(x, bounds.left);
    const int64_t x1 = std::min<int64_t>(x + glyph.width, bounds.right);
    const int64_t y0 = std::max<int64_t>(y, bounds.top);
    const int64_t y1 = std::min<int64_t>(y + glyph.rows, bounds.bottom);
    if (x0 >= x1 || y0 >= y1) return;
    const int count = static_cast<int>(x1 - x0);
    auto* base = reinterpret_cast<unsigned char*>(target.pixels);
    for (int64_t py = y0; py < y1; ++py) {
        uint32_t* out = reinterpret_cast<uint32_t*>(base + py * target.pitchBytes) + x0;
        const uint8_t* cov = glyph.coverage.data() + (py - y) * glyph.width + (x0 - x);
        for (int i = 0; i < count; ++i)
            if (cov[i] != 0) out[i] = blend(out[i], cov[i]);
    }
}

}  // namespace plat::fonts_internal
