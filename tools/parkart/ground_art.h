#pragma once
// The ground: the tile materials and state marks the grid draws, the ocean's
// water cels and the sunlight over them, and each level's backdrop.

#include <string>
#include <vector>

#include "tools/parkart/iso.h"

namespace parkart {

// What a level's pictures must agree with in levels.xml: its name, its tile
// counts and its backdrop's size (the grid centres its diamond in it).
struct LevelLook {
    const char* name;
    int cols, rows;
    int width, height;
    bool ocean;
    Rgba accent;  // the colour its sign, splash and bunting share
};

const std::vector<LevelLook>& Levels();

// The screen point of tile (col, row)'s centre in a level's backdrop.
Point TileCentre(const LevelLook& level, float col, float row);

// images/park/tile_materials and tile_states, and the walkway avatars under images/levels/.
bool DrawGround(const std::string& root);
// Under images/levels/: each level's backdrop, the sea's cels and the sunlight over them.
bool DrawBackdrops(const std::string& root);

// One material tile (0 concrete, 1 cobblestone, 2 sandstone, 3 pier, 4 the
// tutorial's highlight) in look 0, 1 or 2, as a tile cel.
Canvas MaterialTile(int material, int look);

}  // namespace parkart
