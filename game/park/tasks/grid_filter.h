#pragma once
// The roots of the grid's filters: predicates and preferences over grid
// items or grid tiles, handed to the grid's searches (Grid::FindItems and the
// others), which keep the most preferred candidate in front.
//
// Accept tells whether a candidate qualifies; Prefer(a, b) answers a, b, or
// null for no preference (the default). A filter never changes the grid; it
// is built for one search, used and destroyed by whoever built it, and its
// Accept and Prefer change nothing in it. Main thread only.

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
};

class GridTileFilter : public GridFilter {
public:
    virtual bool Accept(GridTile* candidate) = 0;
    virtual GridTile* Prefer(GridTile* /*a*/, GridTile* /*b*/) { return nullptr; }
};
