#pragma once
// The records of a saved park that the park leaves out when it opens, kept in
// the save unchanged: an item of a type the item catalogue lacks, an item
// off the grid, and a building on a building read before it. Records told
// already (LEVEL_ITEM::told) are passed over and cover no tile.
//
// A building covers, whichever way it faces, the square of its shorter side
// at its far corner (its anchor); only those squares are compared. The park
// turns a longer footprint as its picture allows, which the data does not
// know, so such a building may stand on one more than is found here, never
// less. Without a catalogue, types and stacking are not judged.

#include <string>
#include <vector>

#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/level_records.h"

struct LeftOutItem {
    LEVEL_ITEM* record;
    std::wstring why;
};

// In the level's order.
std::vector<LeftOutItem> FindLeftOutItems(const LEVEL& level, const ItemStats* catalogue);
