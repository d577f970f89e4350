#pragma once
// The characteristics of buildings and visitors: a small bit set of the four
// names noisy (1), quiet (2), bright (4) and dark (8). Noisy and quiet are
// opposites, as are bright and dark, but nothing stops both of a pair from
// being set. Names compare exactly: "Noisy" is no characteristic.
// A plain value: type records, combos and placed buildings embed it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/values/property_value.h"

class KivraCharacteristics {
public:
    static constexpr uint32_t kNoisy = 1;
    static constexpr uint32_t kQuiet = 2;
    static constexpr uint32_t kBright = 4;
    static constexpr uint32_t kDark = 8;

    KivraCharacteristics() = default;
    explicit KivraCharacteristics(uint32_t bits) : bits_(bits) {}

    uint32_t GetBits() const { return bits_; }
    void Clear() { bits_ = 0; }

    // How many of the bit values 1, 2, 4, 8 and 16 both sets hold.
    int CountShared(const KivraCharacteristics& other) const;
    // A name outside the table changes nothing.
    void AddCharacteristic(std::wstring_view name);
    void RemoveCharacteristic(std::wstring_view name);
    bool HasCharacteristic(std::wstring_view name) const;
    // Every bit of the mask is set; an empty mask is always held.
    bool HasAll(uint32_t mask) const { return (bits_ & mask) == mask; }
    // The names of this set that clash with the other's opposites, in the
    // order noisy, quiet, bright, dark. The list is emptied first.
    void ListConflicts(const KivraCharacteristics& other, std::vector<std::wstring>& out) const;
    // The table name of one single bit; any other value leaves `out` alone.
    static void BitToName(uint32_t bit, std::wstring& out);
    // The name of the n-th set bit (from 0, lowest first), "none" past the last.
    std::wstring GetNameAt(int n) const;
    // The set bits' names, lowest first, joined by ", "; empty for no bit.
    std::wstring FormatNames() const;
    // "characteristic<n>": the n-th set name (GetNameAt); nothing for any
    // other name, which is the asker's base's business.
    std::optional<PropertyValue> GetProperty(std::wstring_view name) const;

    bool operator==(const KivraCharacteristics& other) const = default;

private:
    uint32_t bits_ = 0;
};
