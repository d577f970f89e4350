#include "game/data/catalogues/combo_stats.h"

#include <algorithm>

#include "foundation/values/property_value.h"
#include "game/data/catalogues/catalogue_base.h"
#include "game/data/catalogues/text_lists.h"

namespace {

bool TypeNamesDistinct(const std::vector<const ComboBuilding*>& buildings) {
    std::set<std::wstring_view> seen;
    for (const ComboBuilding* building : buildings)
        if (!seen.insert(building->TypeName()).second) return false;
    return true;
}

}  // namespace

void KivraComboStats::SetCharacteristic(std::wstring_view characteristic) {
    if (kind_ != kCharacteristic) {
        ClearRequirement();
        kind_ = kCharacteristic;
    }
    if (!set_) set_.emplace();
    set_->AddCharacteristic(characteristic);
}

void KivraComboStats::AddToRequirementList(int32_t kind, std::wstring_view text) {
    if (kind_ != kind) {
        ClearRequirement();
        kind_ = kind;
    }
    if (!list_) list_.emplace();
    list_->emplace_back(text);
}

void KivraComboStats::ClearRequirement() {
    set_.reset();
    list_.reset();
    kind_ = kTypes;
}

bool KivraComboStats::Equals(const KivraComboStats& other) const {
    if (this == &other) return true;
    if (kind_ != other.kind_) return false;
    switch (kind_) {
        case kTypes:
        case kCategories: return list_ == other.list_;
        case kCharacteristic: return set_ == other.set_;
        default: return false;
    }
}

bool KivraComboStats::MatchesBuildings(const std::vector<const ComboBuilding*>& buildings,
                                       const std::set<std::wstring>& names) const {
    if (kind_ == kCharacteristic) {
        if (!set_ || !TypeNamesDistinct(buildings)) return false;
        return std::all_of(buildings.begin(), buildings.end(), [this](const ComboBuilding* building) {
            return building->Characteristics().HasAll(set_->GetBits());
        });
    }
    if ((kind_ != kTypes && kind_ != kCategories) || !list_) return false;
    const auto key = [this](const ComboBuilding* building) -> const std::wstring& {
        return kind_ == kTypes ? building->TypeName() : building->Category();
    };
    if (list_->size() == 1) {
        if (kind_ == kCategories && !TypeNamesDistinct(buildings)) return false;
        return std::all_of(buildings.begin(), buildings.end(),
                           [&](const ComboBuilding* building) { return key(building) == list_->front(); });
    }
    // Each building uses up one entry; the definition itself stays as it is.
    std::vector<std::wstring> left = *list_;
    for (const ComboBuilding* building : buildings) {
        auto it = std::find(left.begin(), left.end(), key(building));
        if (it == left.end()) return false;
        left.erase(it);
    }
    return std::none_of(left.begin(), left.end(),
                        [&names](const std::wstring& entry) { return names.count(entry) != 0; });
}

PropertyValue KivraComboStats::GetProperty(std::wstring_view property) {
    using T = PropertyTable<KivraComboStats>;
    static const T table{
        T::Value(L"name", [](KivraComboStats& c) { return PropertyValue::FromWString(c.name); }),
    };
    if (auto value = ReadRecordProperty(table, *this, property)) return *value;
    constexpr std::wstring_view kBuilding = L"building_";
    if (property.substr(0, kBuilding.size()) == kBuilding) {
        if (const std::optional<int32_t> n = ParseDecimalInt(property.substr(kBuilding.size()))) {
            if (kind_ == kCharacteristic) return PropertyValue(L"any_" + (set_ ? set_->FormatNames() : std::wstring()));
            if (!list_ || list_->empty()) return PropertyValue(std::wstring());
            // Counted from 1; anything below gives the first entry, anything past the end nothing.
            const size_t index = *n <= 1 ? 0 : static_cast<size_t>(*n) - 1;
            if (index >= list_->size()) return PropertyValue(std::wstring());
            const std::wstring& entry = (*list_)[index];
            return PropertyValue(kind_ == kCategories ? L"any_" + entry : entry);
        }
    }
    return ExtendedPropertyInterface::GetProperty(property);
}
