#pragma once
// Small hand-drawn grids for the path search's tests, and the search's
// rules written out literally (an ordered set of open tiles, as the rules
// read) to check the fast form against on random grids.
//
// A map is a list of rows, one character per column: '#' a wall, '.' open
// ground, 'M' open ground a test filter accepts, '5' open ground that costs
// five times as much to leave, '0' open ground that costs nothing to leave
// and '-' open ground whose leaving takes half a step off the way's cost.

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "game/park/base/grid_filter.h"
#include "game/park/grid/grid_tile.h"
#include "game/park/grid/path_search.h"

namespace testsupport {

class MapTile : public GridTile {
public:
    MapTile(TileChar c, int32_t col, int32_t row) : GridTile(c, col, row) {}
    bool IsWalkable() const override { return material != '#'; }
    float GetCost() const override {
        switch (material) {
            case '5': return 5.0f;
            case '0': return 0.0f;
            case '-': return -0.5f;
            default: return 1.0f;
        }
    }
};

inline GridTileColumns MakeMapGrid(const std::vector<std::string>& map) {
    GridTileColumns tiles(map.empty() ? 0 : map[0].size());
    for (size_t c = 0; c < tiles.size(); ++c)
        for (size_t r = 0; r < map.size(); ++r)
            tiles[c].push_back(std::make_unique<MapTile>(map[r][c], static_cast<int32_t>(c), static_cast<int32_t>(r)));
    return tiles;
}

// Accepts the tiles of one material.
class MaterialMatch : public GridTileFilter {
public:
    explicit MaterialMatch(TileChar m) : m_(m) {}
    bool Accept(GridTile* t) override { return t->material == m_; }

private:
    TileChar m_;
};

// Every tile's search record is as ResetSearch leaves it.
inline bool AllRecordsReset(const GridTileColumns& tiles) {
    for (const auto& column : tiles)
        for (const auto& t : column) {
            const TileSearch& s = t->search;
            if (s.state != 0 || s.cost != -1.0f || s.estimate != -1.0f || s.parent != t->Position() ||
                s.enterable != -1)
                return false;
        }
    return true;
}

// The rules as they read: one ordered set, an open tile taken out under its
// old key before its cost changes.
inline TilePath LiteralFindPath(GridTileColumns& tiles, const PathQuery& q) {
    TilePath path;
    auto at = [&](int32_t c, int32_t r) { return TileAt(tiles, c, r); };
    auto est = [&](const GridTile* t) { return q.target ? PointDistance(t->Position(), *q.target) : 0.0f; };
    auto before = [](const GridTile* a, const GridTile* b) {
        const float ka = a->search.cost + a->search.estimate, kb = b->search.cost + b->search.estimate;
        if (ka != kb) return ka < kb;
        if (a->Row() != b->Row()) return a->Row() < b->Row();
        return a->Col() < b->Col();
    };
    auto enter = [&](GridTile* t) { return q.walker ? q.walker->CanWalkOn(t->Position()) : t->IsWalkable(); };
    std::set<GridTile*, decltype(before)> open(before);
    std::vector<GridTile*> touched;
    GridTile* s = at(q.start.col, q.start.row);
    if (s == nullptr) return path;
    s->search.cost = 0.0f;
    s->search.estimate = est(s);
    open.insert(s);
    touched.push_back(s);
    uint32_t matches = 0;
    while (!open.empty()) {
        GridTile* u = *open.begin();
        open.erase(open.begin());
        if (q.target && u->Position() == *q.target)
            ++matches;
        else if (q.filter && q.filter->Accept(u))
            ++matches;
        if (matches >= q.matchesWanted) {
            for (TilePoint p = u->Position(); p != q.start; p = at(p.col, p.row)->search.parent)
                path.insert(path.begin(), p);
            break;
        }
        for (int dc = -1; dc <= 1; ++dc)
            for (int dr = -1; dr <= 1; ++dr) {
                if (dc == 0 && dr == 0) continue;
                GridTile* n = at(u->Col() + dc, u->Row() + dr);
                if (n == nullptr || !enter(n) || n->search.state == 2) continue;
                float step = 1.0f;
                if (dc != 0 && dr != 0) {
                    GridTile* a = at(u->Col(), u->Row() + dr);
                    GridTile* b = at(u->Col() + dc, u->Row());
                    if (!q.allowDiagonal || !enter(a) || !enter(b)) continue;
                    step = 1.4143f;
                }
                float g = u->GetCost() * step + u->search.cost;
                const TilePoint par = u->search.parent;
                if (par != u->Position() && (dc != u->Col() - par.col || dr != u->Row() - par.row)) g += 0.1f;
                if (n->search.state == 0) touched.push_back(n);
                if (n->search.state == 1 && n->search.cost <= g) continue;
                if (n->search.state == 1) open.erase(n);
                n->search.parent = u->Position();
                n->search.cost = g;
                n->search.estimate = est(n);
                open.insert(n);
                n->search.state = 1;
            }
        u->search.state = 2;
    }
    for (GridTile* t : touched) t->ResetSearch();
    return path;
}

}  // namespace testsupport
