#include "game/park/grid/grid_footprint.h"

#include <algorithm>
#include <utility>
#include <vector>

void GridFootprint::SetRect(const TileRect& rect) {
    SetPosition(rect.col, rect.row);
    SetSize(rect.cols, rect.rows);
}

void GridFootprint::SetSize(int32_t cols, int32_t rows) {
    cols_ = cols;
    rows_ = rows;
}

void GridFootprint::SetPosition(int32_t col, int32_t row) {
    col_ = col;
    row_ = row;
}

int32_t GridFootprint::TurnedOrientation(int32_t degrees) const {
    const int32_t turned = (orientation_ + degrees / 90) % 4;
    return turned < 0 ? turned + 4 : turned;
}

bool GridFootprint::Rotate(int32_t degrees) {
    const bool changed = cols_ != rows_;
    std::swap(cols_, rows_);
    orientation_ = TurnedOrientation(degrees);
    return changed;
}

bool GridFootprint::RotateAboutCentre(int32_t degrees) {
    const TileRect before = GetRect();
    const TileCentre centre{static_cast<float>(col_) - static_cast<float>(cols_) * 0.5f + 0.5f,
                            static_cast<float>(row_) - static_cast<float>(rows_) * 0.5f + 0.5f};
    std::vector<TilePoint> anchor{{col_, row_}};
    RotatePoints(centre, anchor, degrees);
    orientation_ = TurnedOrientation(degrees);
    // Only right angles are re-anchored; any other angle just turns the point.
    if (degrees == 90 || degrees == 270) std::swap(cols_, rows_);
    if (degrees == 90 || degrees == 180) anchor[0].col += cols_ - 1;
    if (degrees == 180 || degrees == 270) anchor[0].row += rows_ - 1;
    col_ = anchor[0].col;
    row_ = anchor[0].row;
    return !(GetRect() == before);
}

void GridFootprint::StampField(GridTileColumns& tiles, Field which) {
    if (tiles.empty()) return;
    const auto gridCols = static_cast<int64_t>(tiles.size());
    const auto gridRows = static_cast<int64_t>(tiles.front().size());
    // Only the offsets that land inside the grid are walked, so a huge
    // footprint costs no more than the grid.
    const int64_t firstI = std::max<int64_t>(0, int64_t{col_} - (gridCols - 1));
    const int64_t endI = std::min<int64_t>(cols_, int64_t{col_} + 1);
    const int64_t firstJ = std::max<int64_t>(0, int64_t{row_} - (gridRows - 1));
    const int64_t endJ = std::min<int64_t>(rows_, int64_t{row_} + 1);
    for (int64_t i = firstI; i < endI; ++i) {
        for (int64_t j = firstJ; j < endJ; ++j) {
            const int64_t c = int64_t{col_} - i;
            const int64_t r = int64_t{row_} - j;
            // A column shorter than the first (a grid half taken down) has no tile there.
            GridTile* tile = TileAt(tiles, static_cast<int32_t>(c), static_cast<int32_t>(r));
            if (tile == nullptr) continue;
            if (which == Field::kState)
                tile->state = stampState;
            else
                tile->material = stampMaterial;
        }
    }
}
