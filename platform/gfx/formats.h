#pragma once
// Pixel formats of surfaces and textures and the conversions between each
// format and 32-bit ARGB (0xAARRGGBB), the form every drawing routine works
// in. Widening replicates the top bits, so 0xF becomes 0xFF and a 5-bit 31
// becomes 255; narrowing keeps the top bits of each channel.

#include <cstdint>

#include "platform/gfx/gfx_types.h"

namespace plat {

// 0 for formats that hold no colour pixels.
int BytesPerPixel(Format f);
bool IsColorFormat(Format f);

uint32_t ToArgb(Format f, const uint8_t* pixel);
void FromArgb(Format f, uint32_t argb, uint8_t* pixel);

// Converts n pixels of a row; source and destination must not overlap.
void RowToArgb(Format f, const uint8_t* src, uint32_t* dst, int n);
void RowFromArgb(Format f, const uint32_t* src, uint8_t* dst, int n);

const char* FormatName(Format f);

}  // namespace plat
