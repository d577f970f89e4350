#include "foundation/color.h"

#include <algorithm>
#include <cmath>

const Color Color::Black{0, 0, 0, 255, 0};
const Color Color::White{255, 255, 255, 255, 0};

Color Color::FromARGB(uint32_t v) {
    int alpha = static_cast<int>((v >> 24) & 0xFF);
    return {static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
            static_cast<int>(v & 0xFF), alpha == 0 ? 255 : alpha, 0};
}

Color Color::FromFloats(float r, float g, float b, float a) {
    auto component = [](float v) {
        double scaled = std::trunc(static_cast<double>(v) * 255.0 + 0.5);
        return static_cast<int32_t>(std::clamp(scaled, 0.0, 255.0));
    };
    return {component(r), component(g), component(b), component(a), 1};
}

uint32_t Color::ToPremultipliedARGB() const {
    int32_t pr = r, pg = g, pb = b;
    if (!premultiplied && a != 255) {
        if (a == 0) return 0;
        pr = r * a / 255;
        pg = g * a / 255;
        pb = b * a / 255;
    }
    return (static_cast<uint32_t>(a) << 24) | ((static_cast<uint32_t>(pr) & 0xFF) << 16) |
           ((static_cast<uint32_t>(pg) & 0xFF) << 8) | (static_cast<uint32_t>(pb) & 0xFF);
}

Color Color::Premultiplied() const {
    if (premultiplied) return *this;
    if (a == 255) return {r, g, b, a, 1};
    return {r * a / 255, g * a / 255, b * a / 255, a, 1};
}

Color Color::Multiply(const Color& x, const Color& y) {
    if (x.premultiplied != y.premultiplied) return Multiply(x.Premultiplied(), y.Premultiplied());
    return {x.r * y.r / 255, x.g * y.g / 255, x.b * y.b / 255, x.a * y.a / 255, x.premultiplied};
}
