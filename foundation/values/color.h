#pragma once
// An RGBA colour that knows whether r, g and b already carry the factor a/255.
// Every drawing call passes colours by value; packed pixels are 0xAARRGGBB.

#include <cstdint>

struct Color {
    int32_t r = 0;
    int32_t g = 0;
    int32_t b = 0;
    int32_t a = 255;
    uint8_t premultiplied = 0;

    static const Color Black;
    static const Color White;

    // Alpha 0 in the packed word means opaque: 0x00RRGGBB is written as RGB.
    static Color FromARGB(uint32_t v);
    static Color FromRGB(int r, int g, int b) { return {r, g, b, 255, 0}; }
    static Color FromRGBA(int r, int g, int b, int a) { return {r, g, b, a, 0}; }
    static Color FromRGBAFlag(int r, int g, int b, int a, bool premultiplied) {
        return {r, g, b, a, static_cast<uint8_t>(premultiplied ? 1 : 0)};
    }
    // Components in 0..1, rounded and clamped (NaN as 0); the result counts as premultiplied.
    static Color FromFloats(float r, float g, float b, float a);

    uint32_t ToPremultipliedARGB() const;
    Color Premultiplied() const;

    bool Equals(const Color& o) const {
        return r == o.r && g == o.g && b == o.b && a == o.a && premultiplied == o.premultiplied;
    }
    bool NotEquals(const Color& o) const { return !Equals(o); }
    bool operator==(const Color& o) const { return Equals(o); }

    static Color Multiply(const Color& x, const Color& y);
};
