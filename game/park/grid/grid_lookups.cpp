// Lookups and searches over the grid's tiles and items.
#include <algorithm>
#include <vector>

#include "foundation/system/random.h"
#include "game/park/base/grid_filter.h"
#include "game/park/grid/grid.h"
#include "game/park/grid/grid_footprint.h"

GridTile* Grid::GetTileAt(int32_t col, int32_t row) const { return TileAt(tiles_, col, row); }

bool Grid::IsWalkableAt(int32_t col, int32_t row) const {
    const GridTile* tile = GetTileAt(col, row);
    return tile != nullptr && tile->IsWalkable();
}

bool Grid::RectInside(int32_t col, int32_t row, int32_t cols, int32_t rows) const {
    // In 64 bits: a damaged footprint's size cannot wrap the first column round.
    return int64_t{col} - cols + 1 >= 0 && int64_t{row} - rows + 1 >= 0 && col < cols_ && row < rows_;
}

bool Grid::CanPlaceFootprint(const GridFootprint& footprint) const {
    const TileRect r = footprint.GetRect();
    if (!RectInside(r.col, r.row, r.cols, r.rows)) return false;
    for (int32_t col = r.Left(); col <= r.col; ++col)
        for (int32_t row = r.Top(); row <= r.row; ++row) {
            const GridTile* tile = GetTileAt(col, row);
            if (tile == nullptr || !tile->IsBuildable()) return false;
        }
    return true;
}

namespace {

// Appends an accepted candidate; one the filter prefers to the front takes
// its place and the old front goes to the end.
template <class T, class Filter>
void Offer(std::vector<T*>& out, Filter& filter, T* candidate) {
    if (!filter.Accept(candidate)) return;
    if (!out.empty() && filter.Prefer(candidate, out.front()) == candidate) {
        out.push_back(out.front());
        out.front() = candidate;
        return;
    }
    out.push_back(candidate);
}

template <class T>
T* Pick(const std::vector<T*>& found, bool random) {
    if (found.empty()) return nullptr;
    return random ? found[static_cast<size_t>(RandomInt(static_cast<int32_t>(found.size())))] : found.front();
}

}  // namespace

void Grid::FindItems(std::vector<GridItem*>& out, GridItemFilter* filter) const {
    if (filter == nullptr) {
        out = items_;
        return;
    }
    out.clear();
    for (GridItem* item : items_) Offer(out, *filter, item);
}

void Grid::FindTiles(std::vector<GridTile*>& out, GridTileFilter* filter) const {
    out.clear();
    // A search for a building's doors, as every visitor arriving at the
    // gate makes, asks a few tiles instead of every tile of the park.
    if (std::vector<TilePoint> only; filter != nullptr && filter->OnlyTiles(only)) {
        // In the order of the walk over every tile below, each once: the
        // tiles offered, and the one preferred first, come as they came.
        std::sort(only.begin(), only.end(),
                  [](TilePoint a, TilePoint b) { return a.col != b.col ? a.col < b.col : a.row < b.row; });
        only.erase(std::unique(only.begin(), only.end()), only.end());
        for (const TilePoint at : only)
            if (GridTile* tile = GetTileAt(at.col, at.row)) Offer(out, *filter, tile);
        return;
    }
    for (const auto& column : tiles_)
        for (const auto& tile : column) {
            if (filter == nullptr)
                out.push_back(tile.get());
            else
                Offer(out, *filter, tile.get());
        }
}

GridItem* Grid::FindItem(GridItemFilter* filter, bool random) const {
    std::vector<GridItem*> found;
    FindItems(found, filter);
    return Pick(found, random);
}

GridTile* Grid::FindTile(GridTileFilter* filter, bool random) const {
    std::vector<GridTile*> found;
    FindTiles(found, filter);
    return Pick(found, random);
}
