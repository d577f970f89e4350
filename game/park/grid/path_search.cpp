#include "game/park/grid/path_search.h"

#include <algorithm>
#include <bit>

#include "game/park/base/grid_filter.h"

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

// The eight neighbours by index (column offset + 1) * 3 + (row offset + 1),
// the order they are met in; 4 is the tile taken. A diagonal step cuts past
// the two tiles whose bits its entry holds.
constexpr uint32_t Bit(int32_t i) { return 1u << i; }
constexpr uint32_t kCutPast[9] = {Bit(1) | Bit(3), 0, Bit(5) | Bit(1), 0, 0, 0, Bit(3) | Bit(7), 0, Bit(5) | Bit(7)};
constexpr uint32_t kStraight = Bit(1) | Bit(3) | Bit(5) | Bit(7);
constexpr uint32_t kAround = 0x1ffu & ~Bit(4);

// The diagonal steps both of whose cut-past tiles are enterable.
uint32_t DiagonalsPast(uint32_t enterable) {
    uint32_t open = 0;
    for (int32_t k : {0, 2, 6, 8})
        if ((enterable & kCutPast[k]) == kCutPast[k]) open |= Bit(k);
    return open;
}

}  // namespace

// The entry that leaves later: by the order, then by the column, the only
// part of a tile's place the order leaves out (rows and columns are never
// negative, so their unsigned order is theirs). Equal entries are of one
// tile under one key.
inline bool PathSearch::LeavesLater(const OpenEntry& a, const OpenEntry& b) {
    if (a.order != b.order) return a.order > b.order;
    return a.tile->Col() > b.tile->Col();
}

// A binary heap, its first entry the one that leaves first; each entry
// moved is moved into the hole the step before left.
inline void PathSearch::Open(GridTile& tile) {
    const OpenEntry e{OrderOf(KeyOf(tile.search), tile.Row()), &tile};
    open_.push_back(e);
    SiftUp(open_.size() - 1, e);
}

// Puts the entry in the hole at i or above it, the entries it leaves
// before moved down into the hole.
inline void PathSearch::SiftUp(size_t i, const OpenEntry& e) {
    while (i > 0) {
        const size_t up = (i - 1) / 2;
        if (!LeavesLater(open_[up], e)) break;
        open_[i] = open_[up];
        i = up;
    }
    open_[i] = e;
}

GridTile* PathSearch::TakeFirst() {
    while (!open_.empty()) {
        const OpenEntry first = open_.front();
        const OpenEntry last = open_.back();
        open_.pop_back();
        const size_t n = open_.size();
        if (n != 0) {
            // The hole goes down the earlier child to the bottom, and the last
            // entry up from there to its place: most come to rest near the bottom.
            size_t i = 0;
            for (size_t down = 1; down < n; down = 2 * i + 1) {
                if (down + 1 < n && LeavesLater(open_[down], open_[down + 1])) ++down;
                open_[i] = open_[down];
                i = down;
            }
            SiftUp(i, last);
        }
        // An entry left behind by a cheaper way, or by a tile already taken.
        const TileSearch& s = first.tile->search;
        if (s.state == TileSearch::kClosed || (first.order >> 32) != KeyBits(KeyOf(s))) continue;
        return first.tile;
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
    // Every step but the straight one (into the neighbour opposite the
    // parent) turns; a tile without a parent turns on none.
    const uint32_t turns =
        here.parent != at ? kAround & ~Bit((at.col - here.parent.col + 1) * 3 + (at.row - here.parent.row + 1)) : 0;
    // The two costs a step can have, worked out as each step would.
    const float factor = from.GetCost();
    const float straight = factor * 1.0f + here.cost;
    const float diagonal = factor * kDiagonalStep + here.cost;
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
    uint32_t steps = enterable & kStraight;
    if (query.allowDiagonal) steps |= enterable & DiagonalsPast(enterable);
    for (uint32_t left = steps; left != 0; left &= left - 1) {
        const int32_t k = std::countr_zero(left);
        GridTile* next = around[k];
        TileSearch& s = next->search;
        if (s.state == TileSearch::kClosed) continue;
        float g = (Bit(k) & kStraight) != 0 ? straight : diagonal;
        if ((turns & Bit(k)) != 0) g += kTurnPenalty;
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
    // Most tiles a search takes hold no building, and a filter of doors
    // (as most are) would refuse each of them only after asking it.
    const bool buildingTilesOnly = query.filter != nullptr && query.filter->OnlyBuildingTiles();
    uint32_t matches = 0;
    while (GridTile* u = TakeFirst()) {
        // The target counts once, even when the filter would accept it too.
        if ((query.target && u->Position() == *query.target) ||
            (query.filter != nullptr && !(buildingTilesOnly && u->GetBuildings().empty()) && query.filter->Accept(u))) {
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
