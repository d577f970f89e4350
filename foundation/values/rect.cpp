#include "foundation/values/rect.h"

#include <algorithm>
#include <limits>

namespace {

// T is the type the edges are computed in: for int32 rectangles a wider
// integer, because x + w overflows 32 bits for sizes near INT32_MAX (sizes
// come from scripts).
template <class R, class T>
R Intersect(const R& a, const R& b) {
    using Field = decltype(a.x);
    const T left = std::max<T>(a.x, b.x);
    const T top = std::max<T>(a.y, b.y);
    const T width = std::min(T(a.x) + T(a.w), T(b.x) + T(b.w)) - left;
    const T height = std::min(T(a.y) + T(a.h), T(b.y) + T(b.h)) - top;
    if (width >= 0 && height >= 0) {
        // Each result field lies between two fields of the inputs, so it fits.
        return R(static_cast<Field>(left), static_cast<Field>(top),
                 static_cast<Field>(std::min({width, T(a.w), T(b.w)})),
                 static_cast<Field>(std::min({height, T(a.h), T(b.h)})));
    }
    return R(0, 0, 0, 0);
}

}  // namespace

Rect Rect::Intersection(const Rect& o) const { return Intersect<Rect, int64_t>(*this, o); }
Rect Rect::Union(const Rect& o) const {
    const int64_t left = std::min(x, o.x), top = std::min(y, o.y);
    const int64_t right = std::max(int64_t{x} + w, int64_t{o.x} + o.w);
    const int64_t bottom = std::max(int64_t{y} + h, int64_t{o.y} + o.h);
    constexpr int64_t kMost = std::numeric_limits<int32_t>::max();
    return Rect(static_cast<int32_t>(left), static_cast<int32_t>(top),
                static_cast<int32_t>(std::min(right - left, kMost)),
                static_cast<int32_t>(std::min(bottom - top, kMost)));
}

FRect FRect::Intersection(const FRect& o) const { return Intersect<FRect, float>(*this, o); }

CornerRect IntersectCornerRects(const CornerRect& a, const CornerRect& b) {
    CornerRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    // Compared, not subtracted: the span between far corners does not fit an int.
    if (r.right >= r.left && r.bottom >= r.top) return r;
    return {};
}
