#pragma once
// One combo of game.xml: a named group of buildings that, placed together,
// earns an appeal and money bonus. Its requirement is one of three kinds: a
// characteristic set every building must hold (0), a list of building types
// (1) or of building categories (2); entries of another kind than the current
// one start the requirement afresh. The park asks MatchesBuildings of its
// groups; the definition is never changed by a query.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/values/property_interface.h"
#include "game/data/catalogues/characteristics.h"

// What a combo needs to know of a placed building; the park's buildings
// provide it.
class ComboBuilding {
public:
    virtual ~ComboBuilding() = default;
    virtual const std::wstring& TypeName() const = 0;
    virtual const std::wstring& Category() const = 0;
    virtual const KivraCharacteristics& Characteristics() const = 0;
};

class KivraComboStats : public ExtendedPropertyInterface {
public:
    enum Kind : int32_t { kCharacteristic = 0, kTypes = 1, kCategories = 2 };

    // "name" and "building_<n>"; see the .cpp for the texts.
    PropertyValue GetProperty(std::wstring_view name) override;

    void AddType(std::wstring_view text) { AddToRequirementList(kTypes, text); }
    void AddCategory(std::wstring_view text) { AddToRequirementList(kCategories, text); }
    // Characteristics accumulate in one set.
    void SetCharacteristic(std::wstring_view name);
    void AddToRequirementList(int32_t kind, std::wstring_view text);
    // Frees the payload; the kind becomes the type list, with no list yet.
    void ClearRequirement();

    // Same kind and the same payload (a payload on one side only differs).
    bool Equals(const KivraComboStats& other) const;
    bool NotEquals(const KivraComboStats& other) const { return !Equals(other); }

    // Whether the buildings form this combo. `names` are entries the group may
    // not leave unused (the caller decides which).
    bool MatchesBuildings(const std::vector<const ComboBuilding*>& buildings,
                          const std::set<std::wstring>& names) const;

    int32_t RequirementKind() const { return kind_; }
    const std::vector<std::wstring>* RequirementList() const { return list_ ? &*list_ : nullptr; }
    const KivraCharacteristics* RequiredCharacteristics() const { return set_ ? &*set_ : nullptr; }

    std::wstring name;
    float appeal_offset = 0.0f;
    int32_t money_offset = 0;

private:
    int32_t kind_ = kTypes;
    std::optional<KivraCharacteristics> set_;        // kind 0
    std::optional<std::vector<std::wstring>> list_;  // kinds 1 and 2
};
