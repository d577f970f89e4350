#pragma once
// Float-to-integer conversions for values that may come from scripts or data
// files: a plain cast is undefined beyond the integer's range, so every such
// conversion in drawing and layout goes through these. NaN becomes 0;
// infinities and out-of-range values stick to the nearest representable end.

#include <cmath>
#include <cstdint>
#include <limits>

template <class Int = int, class Real>
constexpr Int SaturateCast(Real value) {
    static_assert(std::numeric_limits<Int>::is_integer && std::numeric_limits<Real>::is_iec559);
    if (value != value) return 0;
    // Compare in long double: the integer limits of 32-bit types are exact there,
    // and the float limit would round up to 2^31 and let 2^31 slip through.
    const long double v = value;
    if (v <= static_cast<long double>(std::numeric_limits<Int>::min())) return std::numeric_limits<Int>::min();
    if (v >= static_cast<long double>(std::numeric_limits<Int>::max())) return std::numeric_limits<Int>::max();
    return static_cast<Int>(value);
}

// Rounds half away from zero, then saturates.
template <class Int = int, class Real>
Int SaturateRound(Real value) {
    return SaturateCast<Int>(std::round(value));
}

// Rounds towards minus infinity, then saturates.
template <class Int = int, class Real>
Int SaturateFloor(Real value) {
    return SaturateCast<Int>(std::floor(value));
}

// Integers from scripts and data files used in layout, drawing and timing
// (positions, sizes, offsets, intervals) are kept within ±(2^30 - 1): two
// such numbers then add, subtract or double inside an int. Sums are taken in
// 64 bits and brought back with this; every such clamp uses it.
inline constexpr int64_t kHalfIntRange = (int64_t{1} << 30) - 1;
constexpr int ClampHalfInt(int64_t value) {
    return static_cast<int>(value < -kHalfIntRange ? -kHalfIntRange : value > kHalfIntRange ? kHalfIntRange : value);
}
