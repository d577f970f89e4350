#pragma once
// Integer and float rectangles: left, top, width, height; they cover the
// half-open ranges x .. x+w and y .. y+h. Rectangles that only touch intersect
// in a zero-width (or zero-height) rectangle at the shared edge.

#include <cstdint>

namespace rect_detail {

// T is the type the edges are computed in: for int32 rectangles a wider
// integer, because x + w overflows 32 bits for sizes near INT32_MAX (sizes
// come from scripts). Inline: every clipped draw asks it several times, and
// out of line its rectangles went through memory both ways.
template <class R, class T>
R Intersect(const R& a, const R& b) {
    using Field = decltype(a.x);
    const auto least = [](T p, T q) { return q < p ? q : p; };
    const auto most = [](T p, T q) { return p < q ? q : p; };
    const T left = most(a.x, b.x);
    const T top = most(a.y, b.y);
    const T width = least(T(a.x) + T(a.w), T(b.x) + T(b.w)) - left;
    const T height = least(T(a.y) + T(a.h), T(b.y) + T(b.h)) - top;
    if (width >= 0 && height >= 0) {
        // Each result field lies between two fields of the inputs, so it fits.
        return R(static_cast<Field>(left), static_cast<Field>(top),
                 static_cast<Field>(least(least(width, T(a.w)), T(b.w))),
                 static_cast<Field>(least(least(height, T(a.h)), T(b.h))));
    }
    return R(0, 0, 0, 0);
}

}  // namespace rect_detail

struct Rect {
    int32_t x = 0, y = 0, w = 0, h = 0;

    Rect() = default;
    Rect(int32_t x_, int32_t y_, int32_t w_, int32_t h_) : x(x_), y(y_), w(w_), h(h_) {}

    bool Equals(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
    bool NotEquals(const Rect& o) const { return !Equals(o); }
    bool operator==(const Rect& o) const { return Equals(o); }
    Rect Intersection(const Rect& o) const { return rect_detail::Intersect<Rect, int64_t>(*this, o); }
    // The smallest rectangle holding both; a size beyond int32 saturates.
    Rect Union(const Rect& o) const;
};

struct FRect {
    float x = 0, y = 0, w = 0, h = 0;

    FRect() = default;
    FRect(float x_, float y_, float w_, float h_) : x(x_), y(y_), w(w_), h(h_) {}
    static FRect FromRect(const Rect& r) {
        return {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.w), static_cast<float>(r.h)};
    }

    bool Equals(const FRect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
    bool operator==(const FRect& o) const { return Equals(o); }
    FRect Intersection(const FRect& o) const { return rect_detail::Intersect<FRect, float>(*this, o); }
    // False on the right and bottom edges.
    bool Contains(float px, float py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// Rectangles held as corners: left, top, right, bottom.
struct CornerRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
CornerRect IntersectCornerRects(const CornerRect& a, const CornerRect& b);
