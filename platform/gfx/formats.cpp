#include "platform/gfx/formats.h"

#include <cstring>

namespace plat {

int BytesPerPixel(Format f) {
    switch (f) {
        case Format::A8R8G8B8:
        case Format::X8R8G8B8: return 4;
        case Format::R5G6B5:
        case Format::A4R4G4B4: return 2;
        default: return 0;
    }
}

bool IsColorFormat(Format f) { return BytesPerPixel(f) != 0; }

namespace {

uint32_t Widen565(uint16_t p) {
    uint32_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
    r = (r << 3) | (r >> 2);
    g = (g << 2) | (g >> 4);
    b = (b << 3) | (b >> 2);
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

uint32_t Widen4444(uint16_t p) {
    uint32_t a = (p >> 12) & 15, r = (p >> 8) & 15, g = (p >> 4) & 15, b = p & 15;
    return (a * 17u << 24) | (r * 17u << 16) | (g * 17u << 8) | b * 17u;
}

uint16_t Narrow565(uint32_t c) {
    return static_cast<uint16_t>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x001F));
}

uint16_t Narrow4444(uint32_t c) {
    return static_cast<uint16_t>(((c >> 16) & 0xF000) | ((c >> 12) & 0x0F00) | ((c >> 8) & 0x00F0) |
                                 ((c >> 4) & 0x000F));
}

uint16_t Load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

}  // namespace

uint32_t ToArgb(Format f, const uint8_t* pixel) {
    uint32_t v = 0;
    switch (f) {
        case Format::A8R8G8B8: std::memcpy(&v, pixel, 4); return v;
        case Format::X8R8G8B8: std::memcpy(&v, pixel, 4); return v | 0xFF000000u;
        case Format::R5G6B5: return Widen565(Load16(pixel));
        case Format::A4R4G4B4: return Widen4444(Load16(pixel));
        default: return 0;
    }
}

void FromArgb(Format f, uint32_t argb, uint8_t* pixel) {
    uint16_t s;
    switch (f) {
        case Format::A8R8G8B8: std::memcpy(pixel, &argb, 4); break;
        case Format::X8R8G8B8:
            argb |= 0xFF000000u;
            std::memcpy(pixel, &argb, 4);
            break;
        case Format::R5G6B5:
            s = Narrow565(argb);
            std::memcpy(pixel, &s, 2);
            break;
        case Format::A4R4G4B4:
            s = Narrow4444(argb);
            std::memcpy(pixel, &s, 2);
            break;
        default: break;
    }
}

void RowToArgb(Format f, const uint8_t* src, uint32_t* dst, int n) {
    switch (f) {
        case Format::A8R8G8B8: std::memcpy(dst, src, static_cast<size_t>(n) * 4); break;
        case Format::X8R8G8B8:
            // One pass: the alpha is set as each pixel is copied.
            for (int i = 0; i < n; ++i) {
                uint32_t v;
                std::memcpy(&v, src + 4 * i, 4);
                dst[i] = v | 0xFF000000u;
            }
            break;
        case Format::R5G6B5:
            for (int i = 0; i < n; ++i) dst[i] = Widen565(Load16(src + 2 * i));
            break;
        case Format::A4R4G4B4:
            for (int i = 0; i < n; ++i) dst[i] = Widen4444(Load16(src + 2 * i));
            break;
        default: std::memset(dst, 0, static_cast<size_t>(n) * 4); break;
    }
}

void RowFromArgb(Format f, const uint32_t* src, uint8_t* dst, int n) {
    switch (f) {
        case Format::A8R8G8B8: std::memcpy(dst, src, static_cast<size_t>(n) * 4); break;
        case Format::X8R8G8B8:
            for (int i = 0; i < n; ++i) {
                uint32_t v = src[i] | 0xFF000000u;
                std::memcpy(dst + 4 * i, &v, 4);
            }
            break;
        case Format::R5G6B5:
        case Format::A4R4G4B4:
            for (int i = 0; i < n; ++i) {
                uint16_t s = f == Format::R5G6B5 ? Narrow565(src[i]) : Narrow4444(src[i]);
                std::memcpy(dst + 2 * i, &s, 2);
            }
            break;
        default: break;
    }
}

const char* FormatName(Format f) {
    switch (f) {
        case Format::A8R8G8B8: return "A8R8G8B8";
        case Format::X8R8G8B8: return "X8R8G8B8";
        case Format::R5G6B5: return "R5G6B5";
        case Format::A4R4G4B4: return "A4R4G4B4";
        case Format::D24S8: return "D24S8";
        default: return "UNKNOWN";
    }
}

}  // namespace plat
