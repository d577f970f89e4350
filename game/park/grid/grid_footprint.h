#pragma once
// The rectangle of tiles a grid item covers: where it stands (its anchor is
// the far corner, the covered tile of largest column and row), how large it
// is, which way it faces (quarter turns 0..3) and the two characters it
// stamps on its tiles: a state for the placement highlight, a material for
// ground that an item changes.
//
// Stamping writes even a 0 character (callers decide whether to stamp) and
// skips tiles outside the grid, whose rows are bounded by the first
// column's length; a grid without columns, or a footprint of no size,
// stamps nothing.
//
// Beside the rectangle it answers the tile geometry between items: the
// depth test that orders their drawing (IsInFrontOf), which side of it a
// point lies on, and three distances. Held by value in its item, so no kind
// of footprint derives from it (an item's copy would lose what a derived one
// added). Main thread only.

#include <cstdint>

#include "game/park/base/tile_geometry.h"
#include "game/park/grid/grid_tile.h"

class GridFootprint final {
public:
    enum class Field { kState, kMaterial };

    GridFootprint() = default;
    virtual ~GridFootprint() = default;

    virtual TileRect GetRect() const { return {col_, row_, cols_, rows_}; }
    virtual void SetBounds(int32_t col, int32_t row, int32_t cols, int32_t rows) { SetRect({col, row, cols, rows}); }
    virtual void SetRect(const TileRect& rect);
    virtual void SetSize(int32_t cols, int32_t rows);
    virtual void MoveTo(int32_t col, int32_t row) { SetPosition(col, row); }
    virtual void SetPosition(int32_t col, int32_t row);
    virtual void SetOrientation(int32_t orientation) { orientation_ = orientation; }
    // Turns the rectangle about its centre; at right angles the anchor moves
    // to the turned rectangle's far corner. Whether col, row, cols or rows changed.
    virtual bool RotateAboutCentre(int32_t degrees);
    // Swaps the sides, at any angle, about a fixed anchor. Whether the
    // shape changed (the sides differed).
    virtual bool Rotate(int32_t degrees);
    virtual void StampState(GridTileColumns& tiles) { StampField(tiles, Field::kState); }
    virtual void StampMaterial(GridTileColumns& tiles) { StampField(tiles, Field::kMaterial); }
    virtual void StampField(GridTileColumns& tiles, Field which);

    // True when this footprint must be drawn after (in front of) the other.
    // Inline: the depth order asks it for most pairs of items it compares.
    bool IsInFrontOf(const GridFootprint& other) const;
    // 1 when the point lies past the last column, else 2 past the last row,
    // else 3 before the first column, else 0 (inside too).
    int32_t SideOf(TilePoint point) const;
    // The side opposite SideOf.
    int32_t SideFacing(TilePoint point) const { return (SideOf(point) + 2) % 4; }
    // 0 when the rectangles share a tile; else counted between their nearest rows,
    // columns or corner tiles.
    float DistanceTo(const GridFootprint& other, bool squared) const;
    // From the nearest covered tile to the point.
    float DistanceToPoint(TilePoint point, bool squared) const;

    int32_t Col() const { return col_; }
    int32_t Row() const { return row_; }
    int32_t Cols() const { return cols_; }
    int32_t Rows() const { return rows_; }
    int32_t Left() const { return col_ - cols_ + 1; }
    int32_t Top() const { return row_ - rows_ + 1; }
    int32_t Orientation() const { return orientation_; }

    TileChar stampState = 0;
    TileChar stampMaterial = 0;

private:
    // The orientation after a turn by `degrees`: whole quarter turns only,
    // truncated toward zero, brought into 0..3.
    int32_t TurnedOrientation(int32_t degrees) const;

    int32_t orientation_ = 0;
    int32_t col_ = 0;
    int32_t row_ = 0;
    int32_t cols_ = 0;
    int32_t rows_ = 0;
};

// The test on two rectangles as footprints hold them, for callers that keep
// a copy of the rectangles and need not reach the footprints. Each step
// returns at once; the bounds are widened to 64 bits, so gaps and sums never
// wrap, and the column gaps count from -1, so a gap of 0 means the one
// footprint starts in the column right after the other ends.
inline bool RectIsInFrontOf(const TileRect& a, const TileRect& b) {
    const int64_t aCol = a.col, aRow = a.row, aL = aCol - a.cols + 1, aT = aRow - a.rows + 1;
    const int64_t bCol = b.col, bRow = b.row, bL = bCol - b.cols + 1, bT = bRow - b.rows + 1;
    if (aCol >= bL && aRow >= bT && aL <= bCol && aT <= bRow) return false;
    const int64_t gapA = aL - 1 - bCol;
    const int64_t gapB = bL - 1 - aCol;
    if (gapA < 0 && aT <= bRow) return false;
    if (gapB < 0 && bT <= aRow) return true;
    if (gapA != 0 && gapB != 0) return false;
    if (aT - 1 != bRow && bT - 1 != aRow) return false;
    const int64_t s1 = gapB != 0 ? int64_t{a.rows} - b.rows : int64_t{a.cols} - b.cols;
    const int64_t s2 = gapA != 0 ? int64_t{b.rows} - a.rows : int64_t{b.cols} - a.cols;
    if (s1 < s2) return true;
    if (s2 < s1) return false;
    const int64_t sumA = aCol + aRow;
    const int64_t sumB = bCol + bRow;
    if (sumA != sumB) return sumA > sumB;
    return gapA == 0;
}

inline bool GridFootprint::IsInFrontOf(const GridFootprint& other) const {
    return RectIsInFrontOf({col_, row_, cols_, rows_}, {other.col_, other.row_, other.cols_, other.rows_});
}
