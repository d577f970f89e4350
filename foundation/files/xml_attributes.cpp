#include "foundation/files/xml_attributes.h"

#include <algorithm>

size_t XMLAttributes::LowerBound(std::wstring_view name) const {
    size_t lo = 0, hi = count_;
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (std::wstring_view(slots_[mid].first) < name)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

const XMLAttributes::Entry* XMLAttributes::find(std::wstring_view name) const {
    size_t i = LowerBound(name);
    return i < count_ && slots_[i].first == name ? &slots_[i] : end();
}

std::wstring& XMLAttributes::operator[](std::wstring_view name) {
    size_t i = LowerBound(name);
    if (i < count_ && slots_[i].first == name) return slots_[i].second;
    if (count_ == slots_.size()) slots_.emplace_back();
    // The spare slot past the used ones moves into place, its storage with it.
    std::rotate(slots_.begin() + static_cast<std::ptrdiff_t>(i), slots_.begin() + static_cast<std::ptrdiff_t>(count_),
                slots_.begin() + static_cast<std::ptrdiff_t>(count_) + 1);
    ++count_;
    slots_[i].first.assign(name);
    slots_[i].second.clear();
    return slots_[i].second;
}

void XMLNameList::push_back(std::wstring_view name) {
    if (count_ == slots_.size()) slots_.emplace_back();
    slots_[count_++].assign(name);
}

bool XMLNameList::operator==(const std::vector<std::wstring>& other) const {
    return std::equal(begin(), end(), other.begin(), other.end());
}
