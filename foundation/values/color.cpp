#include "foundation/values/color.h"

#include <algorithm>
#include <cmath>

#include "foundation/values/saturate.h"

const Color Color::Black{0, 0, 0, 255, 0};
const Color Color::White{255, 255, 255, 255, 0};

Color Color::FromARGB(uint32_t v) {
    int alpha = static_cast<int>((v >> 24) & 0xFF);
    return {static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF),
            alpha == 0 ? 255 : alpha, 0};
}

Color Color::FromFloats(float r, float g, float b, float a) {
    // A factor that is not a number (0 x infinity upstream) draws none of its channel.
    auto component = [](float v) {
        double scaled = std::trunc(static_cast<double>(v) * 255.0 + 0.5);
        return std::clamp(SaturateCast<int32_t>(scaled), 0, 255);
    };
    return {component(r), component(g), component(b), component(a), 1};
}

namespace {

// Script colours carry any int (color() passes them through), so the
// products are taken in 64 bits.
int32_t Scaled(int32_t x, int32_t y) { return static_cast<int32_t>(int64_t{x} * y / 255); }

}  // namespace

uint32_t Color::ToPremultipliedARGB() const {
    int32_t pr = r, pg = g, pb = b;
    if (!premultiplied && a != 255) {
        if (a == 0) return 0;
        pr = Scaled(r, a);
        pg = Scaled(g, a);
        pb = Scaled(b, a);
    }
    return (static_cast<uint32_t>(a) << 24) | ((static_cast<uint32_t>(pr) & 0xFF) << 16) |
           ((static_cast<uint32_t>(pg) & 0xFF) << 8) | (static_cast<uint32_t>(pb) & 0xFF);
}

Color Color::Premultiplied() const {
    if (premultiplied) return *this;
    if (a == 255) return {r, g, b, a, 1};
    return {Scaled(r, a), Scaled(g, a), Scaled(b, a), a, 1};
}

Color Color::Multiply(const Color& x, const Color& y) {
    if (x.premultiplied != y.premultiplied) return Multiply(x.Premultiplied(), y.Premultiplied());
    return {Scaled(x.r, y.r), Scaled(x.g, y.g), Scaled(x.b, y.b), Scaled(x.a, y.a), x.premultiplied};
}
