#pragma once
// Pixel arithmetic for the expectations of drawing tests: 8-bit ARGB
// channels, the premultiplied compositing formulas worked out on them apart
// from the code under test, and a comparison that allows the tolerance each
// test states; float colours for the shader tests.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>

namespace testsupport {

// Float channels r, g, b, a, 0..1, as shader programs see them.
using Color4 = std::array<float, 4>;

// ARGB channels, 0..255; premultiplied or straight as the test says.
struct Argb {
    int a, r, g, b;
};

inline Argb Unpack(uint32_t p) {
    return {static_cast<int>(p >> 24), static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
            static_cast<int>(p & 0xFF)};
}

inline uint32_t Pack(Argb c) {
    return static_cast<uint32_t>(c.a) << 24 | static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 |
           static_cast<uint32_t>(c.b);
}

// src over dst, both premultiplied.
inline Argb Over(Argb s, Argb d) {
    auto ch = [&](int sc, int dc) { return sc + dc * (255 - s.a) / 255; };
    return {ch(s.a, d.a), ch(s.r, d.r), ch(s.g, d.g), ch(s.b, d.b)};
}

// Channel by channel x * c / 255.
inline Argb Modulate(Argb x, Argb c) { return {x.a * c.a / 255, x.r * c.r / 255, x.g * c.g / 255, x.b * c.b / 255}; }

// Every channel of `got` within `tolerance` of `want`.
inline ::testing::AssertionResult Near(Argb want, uint32_t got, int tolerance) {
    const Argb g = Unpack(got);
    if (std::abs(want.a - g.a) <= tolerance && std::abs(want.r - g.r) <= tolerance &&
        std::abs(want.g - g.g) <= tolerance && std::abs(want.b - g.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "wanted a" << want.a << " r" << want.r << " g" << want.g << " b" << want.b
                                         << ", got a" << g.a << " r" << g.r << " g" << g.g << " b" << g.b;
}

}  // namespace testsupport
