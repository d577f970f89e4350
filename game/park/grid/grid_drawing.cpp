// Drawing the grid: the two tile layers and the items' depth order.
#include <limits>

#include "game/park/grid/grid.h"
#include "game/park/grid/grid_item.h"
#include "rendering/draw/graphics.h"

void Grid::Draw(Graphics* g) {
    if (depthDirty_) SortItemsByDepth();
    // A pass without a target still orders the items; there is nothing to draw.
    if (g == nullptr) return;
    // The ground goes down at once, under whatever is drawn after it: a
    // batch sends its quads by draw mode and image, not in call order.
    const bool batching = g->IsBatching();
    g->SetBatching(false);
    if (!ground_.Draw(*g, *this)) {
        DrawBackground(*g);
        DrawTiles(*g);
    }
    g->SetBatching(batching);
}

void Grid::DrawBackground(Graphics& g) { DragWidget::Draw(&g); }

void Grid::DrawTiles(Graphics& g) {
    // Every material before any state, so no neighbour's ground covers a marking.
    const auto layer = [&](auto draw) {
        for (int32_t col = 0; col < static_cast<int32_t>(tiles_.size()); ++col) {
            auto& column = tiles_[static_cast<size_t>(col)];
            for (int32_t row = 0; row < static_cast<int32_t>(column.size()); ++row) {
                const PixelPoint p = transform_.TileToScreen(col, row);
                draw(*column[static_cast<size_t>(row)], static_cast<int>(p.x), static_cast<int>(p.y));
            }
        }
    };
    g.SetBatching(true);
    layer([&](GridTile& tile, int x, int y) { tile.DrawMaterial(g, x, y); });
    g.SetBatching(false);
    g.SetBatching(true);
    layer([&](GridTile& tile, int x, int y) { tile.DrawState(g, x, y); });
    g.SetBatching(false);
}

void Grid::SortItemsByDepth() {
    const size_t n = items_.size();
    if (n < 2) return;
    depthNodes_.resize(n);
    // An item the numbering leaves out keeps its priority as it stands, so
    // none is read here: its entry says so instead, and it is not written.
    constexpr int kKeepsPriority = std::numeric_limits<int>::min();
    depthPriorities_.assign(n, kKeepsPriority);
    constexpr size_t kAhead = 8;
    for (size_t i = 0; i < n; ++i) {
        if (i + kAhead < n) items_[i + kAhead]->PrefetchDepthKey();
        GridItem& item = *items_[i];
        DepthNode& node = depthNodes_[i];
        node.key = item.GetDepthKey();
        node.held = item.IsHeld();
        node.takesPart = item.IsVisible() && !node.held;
    }
    depthOrder_.Sort(depthNodes_, depthPriorities_);
    for (size_t i = 0; i < n; ++i)
        if (depthPriorities_[i] != kKeepsPriority) items_[i]->SetPriority(depthPriorities_[i]);
    SortChildren();
    depthDirty_ = false;
}
