// How two footprints, or a footprint and a point, stand to each other: the
// side and the distances (the drawing order is inline in the header).
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/park/grid/grid_footprint.h"

namespace {

// The bounds of a footprint widened to 64 bits, so gaps and sums never wrap.
struct Bounds {
    int64_t l, t, col, row, cols, rows;
};

Bounds BoundsOf(const GridFootprint& f) {
    const int64_t col = f.Col(), row = f.Row(), cols = f.Cols(), rows = f.Rows();
    return {col - cols + 1, row - rows + 1, col, row, cols, rows};
}

}  // namespace

int32_t GridFootprint::SideOf(TilePoint point) const {
    if (col_ < point.col) return 1;
    if (row_ < point.row) return 2;
    if (point.col < int64_t{col_} - cols_ + 1) return 3;
    return 0;
}

float GridFootprint::DistanceTo(const GridFootprint& other, bool squared) const {
    const Bounds a = BoundsOf(*this);
    const Bounds b = BoundsOf(other);
    const bool colsOverlap = a.l <= b.col && b.l <= a.col;
    const bool rowsOverlap = a.t <= b.row && b.t <= a.row;
    if (colsOverlap && rowsOverlap) return 0.0f;
    if (colsOverlap || rowsOverlap) {
        const int64_t d = colsOverlap ? std::min(std::llabs(b.t - 1 - a.row), std::llabs(a.t - 1 - b.row)) + 1
                                      : std::min(std::llabs(b.l - 1 - a.col), std::llabs(a.l - 1 - b.col)) + 1;
        const auto fd = static_cast<float>(d);
        return squared ? fd * fd : fd;
    }
    // Neither overlaps: between the nearest corner tiles.
    const int64_t rowA = b.row < a.t ? a.t : a.row;
    const int64_t rowB = b.row >= a.t ? b.t : b.row;
    const bool bAfterA = a.l <= b.col;
    const int64_t colA = bAfterA ? a.col : a.l;
    const int64_t colB = bAfterA ? b.l : b.col;
    const auto dc = static_cast<float>(colA - colB);
    const auto dr = static_cast<float>(rowA - rowB);
    const float e = dc * dc + dr * dr;
    return squared ? e : std::sqrt(e);
}

float GridFootprint::DistanceToPoint(TilePoint point, bool squared) const {
    const Bounds a = BoundsOf(*this);
    const int64_t nearCol = std::min(std::max<int64_t>(point.col, a.l), a.col);
    const int64_t nearRow = std::min(std::max<int64_t>(point.row, a.t), a.row);
    return OffsetDistance(point.col - nearCol, point.row - nearRow, squared);
}
