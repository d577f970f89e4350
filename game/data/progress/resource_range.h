#pragma once
// Money and hearts stay within the 32-bit range both ways round: the least
// value is the negation of the largest, so a negated amount never wraps.
// Play saturates at the ends, and a save's number outside them is taken as
// the nearest end.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

constexpr int32_t kMostResource = std::numeric_limits<int32_t>::max();
constexpr int32_t kLeastResource = -kMostResource;

constexpr int32_t ClampResource(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, kLeastResource, kMostResource));
}

constexpr int32_t SaturatingAdd(int32_t a, int32_t b) { return ClampResource(int64_t{a} + b); }

// A whole number as a save writes it: an optional '-' and decimal digits,
// nothing else. Beyond 18 digits the value stands at a sign's
// int64 extreme, which every range clamps. Nothing for any other text.
constexpr std::optional<int64_t> ParseWholeNumber(std::wstring_view text) {
    const bool negative = !text.empty() && text.front() == L'-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int64_t value = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < L'0' || c > L'9') return std::nullopt;
        if (i >= 18) value = std::numeric_limits<int64_t>::max();
        if (value != std::numeric_limits<int64_t>::max()) value = value * 10 + (c - L'0');
    }
    return negative ? -value : value;
}
