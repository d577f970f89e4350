#pragma once
// The item type records of items.xml: one per kind of thing that can stand on
// the park grid, shared by every placed item of that type. Fields carry their
// XML attribute names, and scripts read them by those names (GetProperty).
//
//   ITEM_TYPE                 name, group, image, footprint size
//     PERSON_TYPE             walking speed and foot offset
//       KIVRA_PERSON_TYPE     a visitor's preferences and limits
//     BUILDING_TYPE           doors, relative to the footprint's far corner
//       KIVRA_BUILDING_TYPE   prices, appeal, use, upgrades and boosts

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "game/data/catalogues/catalogue_base.h"
#include "game/data/catalogues/characteristics.h"

struct ITEM_TYPE : Indexable {
    bool Matches(std::wstring_view text) const override { return type == text; }
    PropertyValue GetProperty(std::wstring_view name) override;

    std::wstring type;      // the type's name and catalogue key
    std::wstring category;  // the group element around the type, empty when none
    std::wstring image;
    int32_t width = 1;
    int32_t height = 1;
    bool auto_flip_x = false;
};

struct PERSON_TYPE : ITEM_TYPE {
    PropertyValue GetProperty(std::wstring_view name) override;

    float path_speed = 0.0f;
    float foot_offset = 0.0f;
};

struct Door {
    int32_t col = 0;
    int32_t row = 0;
    wchar_t code = 0;

    bool operator==(const Door&) const = default;
};

struct BUILDING_TYPE : ITEM_TYPE {
    PropertyValue GetProperty(std::wstring_view name) override;

    std::vector<Door> doors;
};

// What an upgrade or boost costs and adds to the building's named properties.
struct IMPROVEMENT_STATS {
    virtual ~IMPROVEMENT_STATS() = default;

    std::wstring label;
    int32_t coincost = 0;
    int32_t heartcost = 0;
    std::map<std::wstring, int32_t> offsets;  // building property name -> amount added
};

struct UPGRADE_STATS : IMPROVEMENT_STATS {
    int32_t coinincrement = 1000;
    int32_t heartincrement = 10;
};

struct BOOST_STATS : IMPROVEMENT_STATS {
    int32_t duration = 1;
};

struct KIVRA_PERSON_TYPE : PERSON_TYPE {
    // "characteristic<n>" and "<kind>_max" on top of PERSON_TYPE's names.
    PropertyValue GetProperty(std::wstring_view name) override;

    KivraCharacteristics preferred;
    float energy = 50.0f;
    float needed_appeal_level = 0.0f;
    std::set<std::wstring> preferred_categories;
    std::map<std::wstring, int32_t> maxima;  // per building kind, -1 when not limited
    int32_t ride_preference_percentage = 5;
    float search_food_energy = 50.0f;
};

struct KIVRA_BUILDING_TYPE : BUILDING_TYPE {
    PropertyValue GetProperty(std::wstring_view name) override;

    KivraCharacteristics characteristics;
    int32_t capacity = 8;
    float appeal = 1.0f;
    int32_t buycost = 100;
    bool availabletobuy = true;
    float appealbuff = 0.0f;
    int32_t ticketprice = 0;
    int32_t zone_width = -1;
    int32_t zone_height = -1;
    bool stationary = false;
    int32_t timeperuse = 500;
    int32_t costperuse = 0;
    float energyperuse = -10.0f;
    std::map<std::wstring, UPGRADE_STATS> upgrades;
    std::map<std::wstring, BOOST_STATS> boosts;
};

// The five kinds of building, in the order the person attributes are read.
inline constexpr std::wstring_view kBuildingKinds[] = {L"ride", L"attraction", L"snack", L"restaurant", L"store"};
