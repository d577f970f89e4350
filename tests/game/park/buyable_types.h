#pragma once
// The building types a player may buy on a level, in name order: the
// level's own word where it gives one, else the type's. The gate is never
// bought.

#include <string>
#include <vector>

#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/item_types.h"
#include "game/data/progress/kivra_level.h"

namespace testsupport {

inline std::vector<std::wstring> BuyableBuildingTypes(KivraItemStats& items, const KIVRA_LEVEL& level) {
    std::vector<std::wstring> types;
    for (const auto& [name, record] : items.Types()) {
        const auto* building = dynamic_cast<const KIVRA_BUILDING_TYPE*>(record);
        if (building == nullptr || name == L"front_gate") continue;
        const auto it = level.availability.find(name);
        if (it != level.availability.end() && it->second >= 0 ? it->second != 0 : building->availabletobuy)
            types.push_back(name);
    }
    return types;
}

}  // namespace testsupport
