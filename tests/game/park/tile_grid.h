#pragma once
// Tile columns for the park's tests, built the way the grid builds them:
// by column, then row, each tile knowing its own position.

#include <memory>

#include "game/park/grid/grid_tile.h"

namespace testsupport {

// `cols` columns of `rows` plain tiles of one material.
inline GridTileColumns MakeTileGrid(int cols, int rows, TileChar material = '_') {
    GridTileColumns tiles(static_cast<size_t>(cols));
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r)
            tiles[static_cast<size_t>(c)].push_back(std::make_unique<GridTile>(material, c, r));
    return tiles;
}

}  // namespace testsupport
