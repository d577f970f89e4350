#include "foundation/values/rect.h"

#include <algorithm>

namespace {

template <class R, class T>
R Intersect(const R& a, const R& b) {
    T left = std::max(a.x, b.x);
    T top = std::max(a.y, b.y);
    T width = std::min(a.x + a.w, b.x + b.w) - left;
    T height = std::min(a.y + a.h, b.y + b.h) - top;
    if (width >= 0 && height >= 0) {
        return R(left, top, std::min({width, a.w, b.w}), std::min({height, a.h, b.h}));
    }
    return R(0, 0, 0, 0);
}

}  // namespace

Rect Rect::Intersection(const Rect& o) const { return Intersect<Rect, int32_t>(*this, o); }
FRect FRect::Intersection(const FRect& o) const { return Intersect<FRect, float>(*this, o); }

CornerRect IntersectCornerRects(const CornerRect& a, const CornerRect& b) {
    CornerRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    // Compared, not subtracted: the span between far corners does not fit an int.
    if (r.right >= r.left && r.bottom >= r.top) return r;
    return {};
}
