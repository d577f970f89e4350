#pragma once
// Packed cel storage: a cel's pixels as runs of transparent pixels and
// literal pixels, in three forms: kind 4 (32-bit ARGB units; a unit with a
// zero alpha byte is a run of unit + 1 transparent pixels), kind 2 (16-bit
// A4R4G4B4 units; a top nibble of 0 is a run of unit + 1) and kind 1 (bytes
// indexing a palette of at most 254 sixteen-bit colours; 0xFF and an unsigned
// 16-bit count n, low byte first, is a run of n + 1).
//
// Every pixel with alpha 0 is packed as transparent. Decoding never writes
// more than the cel's pixels, whatever the data holds. Pure functions; any
// thread.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "rendering/image/image_surface.h"

// Alpha 255 unchanged, alpha 0 becomes 0, otherwise each colour byte
// c * a / 255 truncated.
inline uint32_t PremultiplyPixel(uint32_t p) {
    const uint32_t a = p >> 24;
    if (a == 255) return p;
    if (a == 0) return 0;
    const uint32_t r = ((p >> 16) & 0xFF) * a / 255, g = ((p >> 8) & 0xFF) * a / 255, b = (p & 0xFF) * a / 255;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// PremultiplyPixel over a row, bit for bit, without its tests: the products
// c * a of two bytes divide by 255 rounding down as (c * a * 0x8081) >> 23
// does, and alpha 255 and 0 give the pixel and 0 through the same sums, so
// the compiler takes several pixels at a time. Images at start-up pass
// here as they are registered.
inline void PremultiplyRow(const uint32_t* src, uint32_t* dst, size_t n) {
    constexpr uint32_t kByDivide = 0x8081;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t p = src[i], a = p >> 24;
        const uint32_t r = (((p >> 16) & 0xFF) * a * kByDivide) >> 23;
        const uint32_t g = (((p >> 8) & 0xFF) * a * kByDivide) >> 23;
        const uint32_t b = ((p & 0xFF) * a * kByDivide) >> 23;
        dst[i] = (a << 24) | (r << 16) | (g << 8) | b;
    }
}

// Packs one cel of cel-width x cel-height pixels in the given kind (4, 2 or
// 1). Kind 1 fails (returns false) when the cel has more than 254 colours.
bool PackCel(const uint32_t* pixels, int count, int kind, PackedCelRecord* out);
// Unpacks a record into count pixels of ARGB; kinds 2 and 1 widen each
// nibble n to n << 4.
void UnpackCel(const PackedCelRecord& record, uint32_t* out, int count);
// The packed kind the image's flags ask for.
int PackedKindForFlags(uint32_t flags);
