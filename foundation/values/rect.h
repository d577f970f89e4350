#pragma once
// Integer and float rectangles: left, top, width, height; they cover the
// half-open ranges x .. x+w and y .. y+h. Rectangles that only touch intersect
// in a zero-width (or zero-height) rectangle at the shared edge.

#include <cstdint>

struct Rect {
    int32_t x = 0, y = 0, w = 0, h = 0;

    Rect() = default;
    Rect(int32_t x_, int32_t y_, int32_t w_, int32_t h_) : x(x_), y(y_), w(w_), h(h_) {}

    bool Equals(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
    bool NotEquals(const Rect& o) const { return !Equals(o); }
    bool operator==(const Rect& o) const { return Equals(o); }
    Rect Intersection(const Rect& o) const;
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
    FRect Intersection(const FRect& o) const;
    // False on the right and bottom edges.
    bool Contains(float px, float py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// Rectangles held as corners: left, top, right, bottom.
struct CornerRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
CornerRect IntersectCornerRects(const CornerRect& a, const CornerRect& b);
