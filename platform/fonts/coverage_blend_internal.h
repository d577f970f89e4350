#pragma once
// Source-over blending of a premultiplied colour through 8-bit glyph coverage.

#include "platform/fonts/face_raster_internal.h"
#include "platform/fonts/system_font.h"

#include <algorithm>
#include <cstdint>

namespace plat::fonts_internal {

// dst' = src*c + dst*(1 - srcAlpha*c) per channel, c = coverage/255, with one
// rounding at the end. Channels are clamped, so a colour whose components
// exceed its alpha cannot wrap around.
inline uint32_t BlendCoverage(uint32_t dst, uint32_t src, unsigned coverage) {
    const unsigned srcAlpha = src >> 24;
    if (coverage == 255 && srcAlpha == 255) return src;
    const unsigned keep = 255u * 255u - srcAlpha * coverage;  // dst weight, in 1/65025
    const unsigned take = coverage * 255u;                    // src weight, in 1/65025
    uint32_t out = 0;
    for (unsigned shift = 0; shift < 32; shift += 8) {
        const unsigned s = (src >> shift) & 255u;
        const unsigned d = (dst >> shift) & 255u;
        const unsigned v = (s * take + d * keep + 65025u / 2) / 65025u;
        out |= std::min(v, 255u) << shift;
    }
    return out;
}

// Blends one glyph whose bitmap's top-left pixel lands at (x, y), touching only
// pixels inside bounds (already limited to the buffer).
inline void BlitGlyph(const PixelBuffer& target, const PixelRect& bounds, const Glyph& glyph,
                      int64_t x, int64_t y, uint32_t colour) {
    const int64_t x0 = std::max<int64_t>(x, bounds.left);
    const int64_t x1 = std::min<int64_t>(x + glyph.width, bounds.right);
    const int64_t y0 = std::max<int64_t>(y, bounds.top);
    const int64_t y1 = std::min<int64_t>(y + glyph.rows, bounds.bottom);
    if (x0 >= x1 || y0 >= y1) return;
    auto* base = reinterpret_cast<unsigned char*>(target.pixels);
    for (int64_t py = y0; py < y1; ++py) {
        auto* row = reinterpret_cast<uint32_t*>(base + py * target.pitchBytes);
        const uint8_t* cov = glyph.coverage.data() + (py - y) * glyph.width + (x0 - x);
        for (int64_t px = x0; px < x1; ++px) {
            const unsigned c = cov[px - x0];
            if (c != 0) row[px] = BlendCoverage(row[px], colour, c);
        }
    }
}

}  // namespace plat::fonts_internal
