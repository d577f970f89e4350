#pragma once
// Counters, money and metrics are 32-bit values that scripts and saves may
// push anywhere: a sum wraps as the stored 32-bit value does instead of
// overflowing a signed int.

#include <cstdint>

constexpr int32_t WrappingAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

constexpr int32_t WrappingSubtract(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
