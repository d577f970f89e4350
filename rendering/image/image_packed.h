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

// Packs one cel of cel-width x cel-height pixels in the given kind (4, 2 or
// 1). Kind 1 fails (returns false) when the cel has more than 254 colours.
bool PackCel(const uint32_t* pixels, int count, int kind, PackedCelRecord* out);
// Unpacks a record into count pixels of ARGB; kinds 2 and 1 widen each
// nibble n to n << 4.
void UnpackCel(const PackedCelRecord& record, uint32_t* out, int count);
// The packed kind the image's flags ask for.
int PackedKindForFlags(uint32_t flags);
