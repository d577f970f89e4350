#pragma once
// The buildings: every building type's picture (one row of cels; the grid
// mirrors it for the other orientation) as a piece of one atlas with each
// cel's visible box, its list icon "avatar_<type>", the pictures of the
// actions a level can set, and the coaster's cars.

#include <string>
#include <vector>

#include "tools/parkart/iso.h"

namespace parkart {

struct BuildingArt {
    std::string type;
    int size;  // square footprint, in tiles
    int cels;  // animation cels in the row
    Canvas (*draw)(int cel);
};

const std::vector<BuildingArt>& Buildings();

// The buildings go into one atlas, images/levels/park_buildings, whose
// assets.xml entry (pieces and frames) is handed back.
bool DrawBuildings(const std::string& root, std::string& assetsXml);

// A scene of the first level's ground with every building on it, for a look.
bool DrawScene(const std::string& path);

}  // namespace parkart
