#include "game/data/catalogues/characteristics.h"

#include <algorithm>
#include <array>

#include "game/data/catalogues/text_lists.h"

namespace {

struct Named {
    uint32_t bit;
    std::wstring_view name;
};

constexpr std::array<Named, 4> kTable{{{KivraCharacteristics::kNoisy, L"noisy"},
                                       {KivraCharacteristics::kQuiet, L"quiet"},
                                       {KivraCharacteristics::kBright, L"bright"},
                                       {KivraCharacteristics::kDark, L"dark"}}};

uint32_t BitOf(std::wstring_view name) {
    for (const Named& entry : kTable)
        if (entry.name == name) return entry.bit;
    return 0;
}

}  // namespace

int KivraCharacteristics::CountShared(const KivraCharacteristics& other) const {
    int count = 0;
    for (uint32_t bit = 1; bit <= 16; bit <<= 1)
        if ((bits_ & other.bits_ & bit) != 0) ++count;
    return count;
}

void KivraCharacteristics::AddCharacteristic(std::wstring_view name) { bits_ |= BitOf(name); }

void KivraCharacteristics::RemoveCharacteristic(std::wstring_view name) { bits_ &= ~BitOf(name); }

bool KivraCharacteristics::HasCharacteristic(std::wstring_view name) const {
    const uint32_t bit = BitOf(name);
    return bit != 0 && (bits_ & bit) != 0;
}

void KivraCharacteristics::ListConflicts(const KivraCharacteristics& other, std::vector<std::wstring>& out) const {
    out.clear();
    const auto clash = [&](uint32_t mine, uint32_t theirs, const wchar_t* name) {
        if ((bits_ & mine) != 0 && (other.bits_ & theirs) != 0) out.emplace_back(name);
    };
    clash(kNoisy, kQuiet, L"noisy");
    clash(kQuiet, kNoisy, L"quiet");
    clash(kBright, kDark, L"bright");
    clash(kDark, kBright, L"dark");
}

void KivraCharacteristics::BitToName(uint32_t bit, std::wstring& out) {
    for (const Named& entry : kTable)
        if (entry.bit == bit) out = entry.name;
}

std::wstring KivraCharacteristics::GetNameAt(int n) const {
    int seen = 0;
    for (const Named& entry : kTable) {
        if ((bits_ & entry.bit) == 0) continue;
        if (seen == n) return std::wstring(entry.name);
        ++seen;
    }
    return L"none";
}

std::wstring KivraCharacteristics::FormatNames() const {
    std::wstring out;
    for (const Named& entry : kTable) {
        if ((bits_ & entry.bit) == 0) continue;
        if (!out.empty()) out += L", ";
        out += entry.name;
    }
    return out;
}

std::optional<PropertyValue> KivraCharacteristics::GetProperty(std::wstring_view name) const {
    constexpr std::wstring_view kPrefix = L"characteristic";
    if (name.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
    const std::optional<size_t> n = ParseDecimalIndex(name.substr(kPrefix.size()));
    if (!n) return std::nullopt;
    return PropertyValue(GetNameAt(static_cast<int>(std::min<size_t>(*n, 64))));
}
