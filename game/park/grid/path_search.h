#pragma once
// The way across the park: one best-first search over the grid's tiles that
// finds the cheapest way to a target tile, or to the n-th tile a filter
// accepts in the order the search reaches them (nearest first by way cost).
//
// Rules the walkers rely on: a step to any of the eight neighbours enters a
// tile the walker can walk on (its own test when given, else the tile's);
// a diagonal step needs the grid's diagonals on and both tiles it cuts past
// enterable, and costs 1.4143 where a straight one costs 1, each times the
// cost factor of the tile left; every change of direction adds 0.1; only a
// strictly cheaper way replaces a known one, so of two equal ways the one
// met first (column offset outer, row offset inner) stays. Candidates leave
// the open set by way cost plus straight-line estimate in single precision,
// then row, then column, and count as matches only when they leave it.
//
// The working record lives in the tiles (the walker's answer for each tile
// among it: the walkable test runs once per tile and search); every tile
// the search touched is reset before it returns, so no search sees
// another's record, nor an answer from before a tile changed. A start
// outside the grid finds nothing. Main thread only: two searches over the
// same tiles must never overlap.

#include <cstdint>
#include <optional>
#include <vector>

#include "game/park/base/tile_geometry.h"
#include "game/park/grid/grid_tile.h"

class GridTileFilter;

// From the first step after the start to the goal, both included.
using TilePath = std::vector<TilePoint>;

// Who walks decides where it may walk (a person that keeps off some tiles).
class PathWalker {
public:
    virtual bool CanWalkOn(TilePoint position) = 0;

protected:
    ~PathWalker() = default;
};

struct PathQuery {
    TilePoint start;
    std::optional<TilePoint> target;
    GridTileFilter* filter = nullptr;  // matches: tiles it accepts
    PathWalker* walker = nullptr;      // null: the tiles' own IsWalkable
    uint32_t matchesWanted = 1;        // 0 finishes on the first tile taken
    bool allowDiagonal = false;
};

// Keeps its working lists between searches, so a search allocates only
// while it explores more than any before it.
class PathSearch {
public:
    // `path` is cleared first and stays empty when nothing was found, or
    // when the start itself completes the count.
    void Find(GridTileColumns& tiles, const PathQuery& query, TilePath& path);

private:
    // `order` holds the key's bits (as ordered as the keys themselves: see
    // OrderOf) above the row, so that one comparison of integers orders
    // nearly every pair; the tile's column breaks what ties remain.
    struct OpenEntry {
        uint64_t order;
        GridTile* tile;
    };
    static bool LeavesLater(const OpenEntry& a, const OpenEntry& b);

    void Open(GridTile& tile);
    void SiftUp(size_t i, const OpenEntry& e);
    GridTile* TakeFirst();
    bool CanEnter(GridTile& tile, PathWalker* walker);
    bool AskEnter(GridTile& tile, PathWalker* walker);
    void Expand(GridTileColumns& tiles, GridTile& from, const PathQuery& query);
    static void Rebuild(const GridTileColumns& tiles, const GridTile& goal, TilePoint start, TilePath& path);

    // A binary heap (see Open) with stale entries left in place: a tile whose way got
    // cheaper is pushed again and its old entry skipped when it surfaces, so
    // the order is that of an ordered set holding each open tile once.
    std::vector<OpenEntry> open_;
    std::vector<GridTile*> touched_;
};
