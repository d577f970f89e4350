#include "game/park/grid/path_search.h"

#include <algorithm>

#include "game/park/tasks/grid_filter.h"

namespace {

constexpr float kDiagonalStep = 1.4143f;
constexpr float kTurnPenalty = 0.1f;

float KeyOf(const TileSearch& s) { return s.cost + s.estimate; }

float Estimate(TilePoint at, const std::optional<TilePoint>& target) {
    return target ? PointDistance(at, *target) : 0.0f;
}

}  // namespace

bool PathSearch::LeavesLater(const OpenEntry& a, const OpenEntry& b) {
    if (a.key != b.key) return a.key > b.key;
    if (a.row != b.row) return a.row > b.row;
    return a.col > b.col;
}

void PathSearch::Open(GridTile& tile) {
    open_.push_back({KeyOf(tile.search), tile.Row(), tile.Col(), &tile});
    std::push_heap(open_.begin(), open_.end(), LeavesLater);
}

GridTile* PathSearch::TakeFirst() {
    while (!open_.empty()) {
        std::pop_heap(open_.begin(), open_.end(), LeavesLater);
        const OpenEntry e = open_.back();
        open_.pop_back();
        // An entry left behind by a cheaper way, or by a tile already taken.
        if (e.tile->search.state == TileSearch::kClosed || e.key != KeyOf(e.tile->search)) continue;
        return e.tile;
    }
    return nullptr;
}

bool PathSearch::AskEnter(GridTile& tile, PathWalker* walker) {
    const bool enterable = walker != nullptr ? walker->CanWalkOn(tile.Position()) : tile.IsWalkable();
    tile.search.enterable = enterable ? 1 : 0;
    // Its record changed: reset with the others when the search ends.
    touched_.push_back(&tile);
    return enterable;
}

inline bool PathSearch::CanEnter(GridTile& tile, PathWalker* walker) {
    const int32_t known = tile.search.enterable;
    return known >= 0 ? known != 0 : AskEnter(tile, walker);
}

void PathSearch::Expand(GridTileColumns& tiles, GridTile& from, const PathQuery& query) {
    const TilePoint at = from.Position();
    const TileSearch& here = from.search;
    const bool hasParent = here.parent != at;
    const int32_t inDc = at.col - here.parent.col;
    const int32_t inDr = at.row - here.parent.row;
    const float factor = from.GetCost();
    // The eight neighbours, each asked once whether it can be entered: a
    // diagonal step reads the answers of the two tiles it cuts past.
    // Each column is looked up once for its three tiles; the middle tile is
    // the one taken, no neighbour.
    GridTile* around[3][3];
    bool enterable[3][3];
    for (int32_t dc = -1; dc <= 1; ++dc) {
        const int32_t col = at.col + dc;
        const auto* column =
            col >= 0 && static_cast<size_t>(col) < tiles.size() ? &tiles[static_cast<size_t>(col)] : nullptr;
        for (int32_t dr = -1; dr <= 1; ++dr) {
            const int32_t row = at.row + dr;
            const bool inside = column != nullptr && row >= 0 && static_cast<size_t>(row) < column->size();
            GridTile* t = (dc == 0 && dr == 0) || !inside ? nullptr : (*column)[static_cast<size_t>(row)].get();
            around[dc + 1][dr + 1] = t;
            enterable[dc + 1][dr + 1] = t != nullptr && CanEnter(*t, query.walker);
        }
    }
    for (int32_t dc = -1; dc <= 1; ++dc) {
        for (int32_t dr = -1; dr <= 1; ++dr) {
            if (dc == 0 && dr == 0) continue;
            GridTile* next = around[dc + 1][dr + 1];
            if (!enterable[dc + 1][dr + 1] || next->search.state == TileSearch::kClosed) continue;
            float step = 1.0f;
            if (dc != 0 && dr != 0) {
                if (!query.allowDiagonal || !enterable[1][dr + 1] || !enterable[dc + 1][1]) continue;
                step = kDiagonalStep;
            }
            float g = factor * step + here.cost;
            if (hasParent && (dc != inDc || dr != inDr)) g += kTurnPenalty;
            TileSearch& s = next->search;
            // Untouched tiles that pass here were asked CanEnter, which listed them.
            if (s.state == TileSearch::kUntouched) {
                s.estimate = Estimate(next->Position(), query.target);
            } else if (s.cost <= g) {
                continue;
            }
            s.parent = at;
            s.cost = g;
            s.state = TileSearch::kOpen;
            Open(*next);
        }
    }
}

void PathSearch::Rebuild(const GridTileColumns& tiles, const GridTile& goal, TilePoint start, TilePath& path) {
    for (TilePoint p = goal.Position(); p != start; p = TileAt(tiles, p.col, p.row)->search.parent) path.push_back(p);
    std::reverse(path.begin(), path.end());
}

void PathSearch::Find(GridTileColumns& tiles, const PathQuery& query, TilePath& path) {
    path.clear();
    GridTile* start = TileAt(tiles, query.start.col, query.start.row);
    if (start == nullptr) return;
    open_.clear();
    touched_.clear();
    // The start stays untouched until it is taken, as the rules ask.
    start->search.cost = 0.0f;
    start->search.estimate = Estimate(query.start, query.target);
    touched_.push_back(start);
    Open(*start);
    uint32_t matches = 0;
    while (GridTile* u = TakeFirst()) {
        // The target counts once, even when the filter would accept it too.
        if ((query.target && u->Position() == *query.target) || (query.filter != nullptr && query.filter->Accept(u))) {
            ++matches;
        }
        if (matches >= query.matchesWanted) {
            Rebuild(tiles, *u, query.start, path);
            break;
        }
        Expand(tiles, *u, query);
        u->search.state = TileSearch::kClosed;
    }
    for (GridTile* t : touched_) t->ResetSearch();
    open_.clear();
}
