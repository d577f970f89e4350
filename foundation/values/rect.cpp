#include "foundation/values/rect.h"

#include <algorithm>
#include <limits>

Rect Rect::Union(const Rect& o) const {
    const int64_t left = std::min(x, o.x), top = std::min(y, o.y);
    const int64_t right = std::max(int64_t{x} + w, int64_t{o.x} + o.w);
    const int64_t bottom = std::max(int64_t{y} + h, int64_t{o.y} + o.h);
    constexpr int64_t kMost = std::numeric_limits<int32_t>::max();
    return Rect(static_cast<int32_t>(left), static_cast<int32_t>(top),
                static_cast<int32_t>(std::min(right - left, kMost)),
                static_cast<int32_t>(std::min(bottom - top, kMost)));
}

CornerRect IntersectCornerRects(const CornerRect& a, const CornerRect& b) {
    CornerRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    // Compared, not subtracted: the span between far corners does not fit an int.
    if (r.right >= r.left && r.bottom >= r.top) return r;
    return {};
}
