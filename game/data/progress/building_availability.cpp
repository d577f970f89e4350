#include "game/data/progress/building_availability.h"

#include "game/data/catalogues/item_types.h"
#include "game/data/progress/kivra_level.h"

bool CanBuildBuildingType(KIVRA_LEVEL& level, const KIVRA_BUILDING_TYPE& type) {
    if (auto it = level.availability.find(type.type); it != level.availability.end()) return it->second != 0;
    if (!type.availabletobuy) return false;
    level.availability.emplace(type.type, -1);
    return true;
}
