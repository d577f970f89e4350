#pragma once
// The saved form of a placed building: a level item that also remembers
// which upgrades were bought and how long each boost still runs.

#include <cstdint>
#include <map>
#include <string>

#include "game/data/catalogues/level_records.h"

struct KIVRA_BUILDING_LEVEL_ITEM : LEVEL_ITEM {
    std::map<std::wstring, bool> upgrades;   // label -> purchased
    std::map<std::wstring, int32_t> boosts;  // label -> ticks remaining, -1 when not running
};
