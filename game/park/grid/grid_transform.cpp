#include "game/park/grid/grid_transform.h"

#include <array>
#include <cmath>

#include "foundation/expression/constants_map.h"

namespace {

// Truncation toward zero that saturates at +-kFarTile (NaN goes far negative).
int32_t TruncateTile(float v) {
    constexpr float kFar = static_cast<float>(GridTransform::kFarTile);
    if (!(v > -kFar)) return -GridTransform::kFarTile;
    if (v >= kFar) return GridTransform::kFarTile;
    return static_cast<int32_t>(v);
}

// A centred origin: half of what the diamond leaves of the widget, truncated.
int32_t CentredOrigin(int32_t size, int32_t tiles, float half) {
    return TruncateTile((static_cast<float>(size) - static_cast<float>(tiles) * half) * 0.5f);
}

}  // namespace

GridLayout LayoutWithConstants(GridLayout layout) {
    layout.toNextX = GetConstant(L"grid_origin_to_next_x").ToReal();
    layout.toNextY = GetConstant(L"grid_origin_to_next_y").ToReal();
    layout.prevToX = GetConstant(L"grid_prev_to_origin_x").ToReal();
    layout.prevToY = GetConstant(L"grid_prev_to_origin_y").ToReal();
    return layout;
}

void GridTransform::Build(const GridLayout& layout) {
    const float hw = static_cast<float>(layout.tileStepW) * 0.5f;
    const float hh = static_cast<float>(layout.tileStepH) * 0.5f;
    const int32_t tiles = layout.cols + layout.rows;
    const int32_t ox = layout.originX != 0 ? layout.originX : CentredOrigin(layout.width, tiles, hw);
    const int32_t oy = layout.originY != 0 ? layout.originY : CentredOrigin(layout.height, tiles, hh);

    Matrix4& m = tileToScreen_;
    m.SetIdentity();
    if (layout.toNextX == 0.0f && layout.toNextY == 0.0f && layout.prevToX == 0.0f && layout.prevToY == 0.0f) {
        m[0] = hw;
        m[4] = hh;
        m[1] = -hw;
        m[5] = hh;
    } else {
        m[0] = -layout.toNextX;
        m[4] = layout.toNextY;
        m[1] = -layout.prevToX;
        m[5] = layout.prevToY;
    }
    m[3] = hw * static_cast<float>(layout.rows) + static_cast<float>(ox);
    m[7] = hh + static_cast<float>(oy);

    // Inverse leaves its output alone for a singular matrix: start from NaN
    // so that case (and an overflowing one) shows as non-finite entries.
    screenToTile_.m.fill(std::nanf(""));
    tileToScreen_.Inverse(screenToTile_);
    invertible_ = true;
    for (float v : screenToTile_.m) invertible_ = invertible_ && std::isfinite(v);
}

PixelPoint GridTransform::TileToScreen(int32_t col, int32_t row) const {
    const float in[4] = {static_cast<float>(col), static_cast<float>(row), 0.0f, 1.0f};
    float out[4];
    tileToScreen_.TransformVector4(out, in);
    return {out[0], out[1]};
}

TilePoint GridTransform::ScreenToTile(float x, float y) const {
    if (!invertible_) return {-kFarTile, -kFarTile};
    // The two rows of the product that give the tile, each summed in the
    // order the whole product sums a row, so the tile is the same to the
    // last bit: every walking person asks this at every update.
    const std::array<float, 16>& m = screenToTile_.m;
    const float col = m[0] * x + m[1] * y + m[2] * 0.0f + m[3] * 1.0f;
    const float row = m[4] * x + m[5] * y + m[6] * 0.0f + m[7] * 1.0f;
    return {TruncateTile(col + 0.5f), TruncateTile(row + 0.5f)};
}
