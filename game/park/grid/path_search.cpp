#include "game/park/grid/path_search.h"

#include <algorithm>
#include <bit>

#include "game/park/tasks/grid_filter.h"

namespace {

constexpr float kDiagonalStep = 1.4143f;
constexpr float kTurnPenalty = 0.1f;

float KeyOf(const TileSearch& s) { return s.cost + s.estimate; }

float Estimate(TilePoint at, const std::optional<TilePoint>& target) {
    return target ? PointDistance(at, *target) : 0.0f;
}

// The key's bits, turned so that they order as the keys do: a negative
// key (a tile with a negative cost factor) inverted whole, any other with
// its sign set; -0 counts as 0, as it compares.
uint32_t KeyBits(float key) {
    const auto bits = std::bit_cast<uint32_t>(key + 0.0f);
    return (bits >> 31) != 0 ? ~bits : bits | 0x80000000u;
}

uint64_t OrderOf(float key, int32_t row) { return uint64_t{KeyBits(key)} << 32 | static_cast<uint32_t>(row); }

// Heap order: the entry that leaves first sits at the front; rows and
// columns are never negative, so their unsigned order is theirs.
struct LeavesLater {
    template <class Entry>
    bool operator()(const Entry& a, const Entry& b) const {
        if (a.order != b.order) return a.order > b.order;
        return a.col > b.col;
    }
};

// The eight neighbours by index (column offset + 1) * 3 + (row offset + 1),
// the order they are met in; 4 is the tile taken. A diagonal step cuts past
// the two tiles whose bits its entry holds.
constexpr uint32_t Bit(int32_t i) { return 1u << i; }
constexpr uint32_t kCutPast[9] = {Bit(1) | Bit(3), 0, Bit(5) | Bit(1), 0, 0, 0, Bit(3) | Bit(7), 0, Bit(5) | Bit(7)};

}  // namespace

inline void PathSearch::Open(GridTile& tile) {
    open_.push_back({OrderOf(KeyOf(tile.search), tile.Row()), tile.Col(), &tile});
    std::push_heap(open_.begin(), open_.end(), LeavesLater{});
}

GridTile* PathSearch::TakeFirst() {
    while (!open_.empty()) {
        std::pop_heap(open_.begin(), open_.end(), LeavesLater{});
        const OpenEntry e = open_.back();
        open_.pop_back();
        // An entry left behind by a cheaper way, or by a tile already taken.
        const TileSearch& s = e.tile->search;
        if (s.state == TileSearch::kClosed || (e.order >> 32) != KeyBits(KeyOf(s))) continue;
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
    // The neighbour a straight step enters: no turn penalty there.
    const int32_t ahead = (at.col - here.parent.col + 1) * 3 + (at.row - here.parent.row + 1);
    const float factor = from.GetCost();
    // The eight neighbours, each asked once whether it can be entered: a
    // diagonal step reads the answers of the two tiles it cuts past. Each
    // column is looked up once for its three tiles; an offset off the grid
    // wraps, as an unsigned index, past every size.
    GridTile* around[9];
    uint32_t enterable = 0;
    for (int32_t i = 0; i < 3; ++i) {
        const auto col = static_cast<size_t>(at.col + i - 1);
        if (col >= tiles.size()) continue;
        const auto& column = tiles[col];
        for (int32_t j = 0; j < 3; ++j) {
            const auto row = static_cast<size_t>(at.row + j - 1);
            const int32_t k = i * 3 + j;
            if (k == 4 || row >= column.size()) continue;
            GridTile* t = column[row].get();
            around[k] = t;
            if (CanEnter(*t, query.walker)) enterable |= Bit(k);
        }
    }
    for (uint32_t left = enterable; left != 0; left &= left - 1) {
        const int32_t k = std::countr_zero(left);
        GridTile* next = around[k];
        TileSearch& s = next->search;
        if (s.state == TileSearch::kClosed) continue;
        float step = 1.0f;
        if (kCutPast[k] != 0) {
            if (!query.allowDiagonal || (enterable & kCutPast[k]) != kCutPast[k]) continue;
            step = kDiagonalStep;
        }
        float g = factor * step + here.cost;
        if (hasParent && k != ahead) g += kTurnPenalty;
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
