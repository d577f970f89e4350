#pragma once
// The two maps between tile positions (col, row) and the grid's own pixels.
//
// Tile to pixel is an affine map held as a Matrix4: either the isometric
// diamond built from the tile step (columns run down to the right, rows down
// to the left, a tile position lands on the centre of its image) or the four
// "grid_..." constants when any of them is non-zero. Pixel to tile is its
// inverse, rounded to the nearest tile.
//
// Promises: ScreenToTile never converts a non-finite or out-of-range float:
// a map that cannot be inverted, or a point whose tile lies beyond
// kFarTile, answers a position at least kFarTile away, outside every grid.
// Plain value; any thread.

#include <cstdint>

#include "foundation/values/matrix4.h"
#include "game/park/base/tile_geometry.h"

struct PixelPoint {
    float x = 0.0f;
    float y = 0.0f;
};

// What the map is built from.
struct GridLayout {
    int32_t tileStepW = 0, tileStepH = 0;  // pixels between neighbouring tiles
    int32_t cols = 0, rows = 0;
    int32_t width = 0, height = 0;         // the grid widget's size
    int32_t originX = 0, originY = 0;      // 0: the diamond is centred on that axis
    float toNextX = 0.0f, toNextY = 0.0f;  // "grid_origin_to_next_x", "..._y"
    float prevToX = 0.0f, prevToY = 0.0f;  // "grid_prev_to_origin_x", "..._y"
};

// The layout with the four constants read from the constants map.
GridLayout LayoutWithConstants(GridLayout layout);

class GridTransform {
public:
    static constexpr int32_t kFarTile = 1 << 30;

    void Build(const GridLayout& layout);

    PixelPoint TileToScreen(int32_t col, int32_t row) const;
    TilePoint ScreenToTile(float x, float y) const;

    const Matrix4& TileToScreenMatrix() const { return tileToScreen_; }
    bool IsInvertible() const { return invertible_; }

private:
    Matrix4 tileToScreen_;
    Matrix4 screenToTile_;
    bool invertible_ = true;
};
