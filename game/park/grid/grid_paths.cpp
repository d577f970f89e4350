#include "game/park/grid/grid.h"

void Grid::FindPath(TilePath& path, TilePoint start, std::optional<TilePoint> target, GridTileFilter* filter,
                    PathWalker* walker, uint32_t matchesWanted) {
    pathSearch_.Find(tiles_,
                     {.start = start,
                      .target = target,
                      .filter = filter,
                      .walker = walker,
                      .matchesWanted = matchesWanted,
                      .allowDiagonal = allowDiagonal_},
                     path);
}
