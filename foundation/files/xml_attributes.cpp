#include "foundation/files/xml_attributes.h"

#include <algorithm>

namespace {

// Names are a few characters long: compared here, inline, they cost less than
// the library call std::wstring_view's comparison makes for each. The same
// order as that comparison.
bool NameLess(std::wstring_view a, std::wstring_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t k = 0; k < n; ++k)
        if (a[k] != b[k]) return a[k] < b[k];
    return a.size() < b.size();
}

bool NameEqual(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k)
        if (a[k] != b[k]) return false;
    return true;
}

}  // namespace

size_t XMLAttributes::LowerBound(std::wstring_view name) const {
    size_t lo = 0, hi = count_;
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (NameLess(slots_[mid].first, name))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

const XMLAttributes::Entry* XMLAttributes::find(std::wstring_view name) const {
    size_t i = LowerBound(name);
    return i < count_ && NameEqual(slots_[i].first, name) ? &slots_[i] : end();
}

std::wstring& XMLAttributes::operator[](std::wstring_view name) {
    size_t i = LowerBound(name);
    if (i < count_ && NameEqual(slots_[i].first, name)) return slots_[i].second;
    if (count_ == slots_.size()) slots_.emplace_back();
    // The spare slot past the used ones moves into place, its storage with it.
    // Swapped down one place at a time: std::rotate by one place moves through
    // a temporary whose storage is freed at the end, a free and an allocation
    // per attribute.
    for (size_t k = count_; k > i; --k) {
        slots_[k].first.swap(slots_[k - 1].first);
        slots_[k].second.swap(slots_[k - 1].second);
    }
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
