#pragma once
// The roots of the grid's filters: predicates and preferences over grid
// items or grid tiles, handed to the grid's searches (Grid::FindItems and the
// others), which keep the most preferred candidate in front.
//
// Accept tells whether a candidate qualifies; Prefer(a, b) answers a, b, or
// null for no preference (the default). A filter never changes the grid; it
// is built for one search, used and destroyed by whoever built it, and its
// Accept and Prefer change nothing in it. Main thread only.
//
// A filter that knows, without asking each candidate, the few it can accept
// says so (OnlyItem, OnlyTiles), so that a search asks those alone; it
// asks Accept of each of them still, in the order of the whole walk.

#include <vector>

#include "game/park/base/tile_geometry.h"

class GridItem;
class GridTile;

class GridFilter {
public:
    GridFilter() = default;
    GridFilter(const GridFilter&) = delete;
    GridFilter& operator=(const GridFilter&) = delete;
    virtual ~GridFilter() = default;
};

class GridItemFilter : public GridFilter {
public:
    virtual bool Accept(GridItem* candidate) = 0;
    virtual GridItem* Prefer(GridItem* /*a*/, GridItem* /*b*/) { return nullptr; }
    // True where no item but `item` can be accepted (null: none at all).
    virtual bool OnlyItem(const GridItem*& /*item*/) const { return false; }
};

class GridTileFilter : public GridFilter {
public:
    virtual bool Accept(GridTile* candidate) = 0;
    virtual GridTile* Prefer(GridTile* /*a*/, GridTile* /*b*/) { return nullptr; }
    // True where no tile but those at the points added can be accepted (in
    // any order, any of them more than once); false, adding none, where any
    // tile may be.
    virtual bool OnlyTiles(std::vector<TilePoint>& /*points*/) const { return false; }
    // True where no tile without a building standing on it can be accepted:
    // a path search asks the filter about no other tile it takes.
    virtual bool OnlyBuildingTiles() const { return false; }
};
