// The maps between tiles and the grid's pixels: the isometric defaults, the
// constants, centring, the round trip over every tile, and the answers that
// must never come from a converted non-finite float.
#include <gtest/gtest.h>

#include <cmath>

#include "game/park/grid/grid_transform.h"

namespace {

struct LayoutCase {
    const char* name;
    GridLayout layout;
    // Where tile (0, 0) and tile (1, 0) land.
    PixelPoint origin, nextCol;
};

class TransformTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(TransformTable, PlacesTilesAndFindsEveryTileBack) {
    const LayoutCase& c = GetParam();
    GridTransform t;
    t.Build(c.layout);
    EXPECT_FLOAT_EQ(t.TileToScreen(0, 0).x, c.origin.x);
    EXPECT_FLOAT_EQ(t.TileToScreen(0, 0).y, c.origin.y);
    EXPECT_FLOAT_EQ(t.TileToScreen(1, 0).x, c.nextCol.x);
    EXPECT_FLOAT_EQ(t.TileToScreen(1, 0).y, c.nextCol.y);
    for (int col = 0; col < c.layout.cols; ++col)
        for (int row = 0; row < c.layout.rows; ++row) {
            const PixelPoint p = t.TileToScreen(col, row);
            EXPECT_EQ(t.ScreenToTile(p.x, p.y), (TilePoint{col, row})) << col << "," << row;
        }
}

// Tile step 64 x 32 (half 32 x 16), 5 x 3 tiles on a 400 x 200 widget:
// the centred origin is ((400 - 8 * 32) / 2, (200 - 8 * 16) / 2) = (72, 36).
constexpr GridLayout kIso{.tileStepW = 64, .tileStepH = 32, .cols = 5, .rows = 3, .width = 400, .height = 200};

INSTANTIATE_TEST_SUITE_P(Layouts, TransformTable,
                         ::testing::Values(
                             // x = 32 col - 32 row + 32 * 3 + 72, y = 16 col + 16 row + 16 + 36.
                             LayoutCase{"centred_defaults", kIso, {168, 52}, {200, 68}},
                             LayoutCase{"given_origin",
                                        [] {
                                            GridLayout l = kIso;
                                            l.originX = 10;
                                            l.originY = -4;
                                            return l;
                                        }(),
                                        {106, 12},
                                        {138, 28}},
                             // Any non-zero constant selects all four: m00 = -a, m10 = b, m01 = -c, m11 = d;
                             // the translation still comes from the tile step.
                             LayoutCase{"constants",
                                        [] {
                                            GridLayout l = kIso;
                                            l.toNextX = -40;
                                            l.toNextY = 20;
                                            l.prevToX = 40;
                                            l.prevToY = 20;
                                            return l;
                                        }(),
                                        {168, 52},
                                        {208, 72}},
                             LayoutCase{"truncated_centre",
                                        [] {
                                            GridLayout l = kIso;
                                            l.width = 401;  // (401 - 256) / 2 = 72.5, truncated
                                            return l;
                                        }(),
                                        {168, 52},
                                        {200, 68}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GridTransformTest, OneConstantAloneLeavesTheOthersZero) {
    GridLayout l = kIso;
    l.toNextY = 10;  // the other three read 0: columns step straight down, rows do not move
    GridTransform t;
    t.Build(l);
    EXPECT_FALSE(t.IsInvertible());
    EXPECT_FLOAT_EQ(t.TileToScreen(2, 1).x, 168.0f);
    EXPECT_FLOAT_EQ(t.TileToScreen(2, 1).y, 72.0f);
}

TEST(GridTransformTest, RoundingKeepsColumnZeroFromMinusOneAndAHalf) {
    GridTransform t;
    t.Build(kIso);
    // Points at fractional columns, on row 1, through the forward map.
    const auto at = [&](float u) {
        const Matrix4& m = t.TileToScreenMatrix();
        const float x = m[0] * u + m[1] * 1.0f + m[3], y = m[4] * u + m[5] * 1.0f + m[7];
        return t.ScreenToTile(x, y).col;
    };
    EXPECT_EQ(at(0.49f), 0);
    EXPECT_EQ(at(-1.4f), 0);
    EXPECT_EQ(at(0.51f), 1);
    EXPECT_EQ(at(-1.6f), -1);
}

// A singular map (all four constants 1) or a point far away must answer a
// position outside any grid, never the conversion of inf or NaN.
TEST(GridTransformTest, SingularMapOrFarPointAnswersFarOutside) {
    GridLayout l = kIso;
    l.toNextX = l.toNextY = l.prevToX = l.prevToY = 1.0f;
    GridTransform singular;
    singular.Build(l);
    EXPECT_FALSE(singular.IsInvertible());
    const TilePoint nowhere = singular.ScreenToTile(100.0f, 100.0f);
    EXPECT_LE(nowhere.col, -GridTransform::kFarTile);
    EXPECT_LE(nowhere.row, -GridTransform::kFarTile);

    GridTransform t;
    t.Build(kIso);
    const TilePoint far = t.ScreenToTile(1e30f, 1e30f);
    EXPECT_EQ(std::abs(far.col), GridTransform::kFarTile);
    EXPECT_EQ(far.row, GridTransform::kFarTile);
    const TilePoint nan = t.ScreenToTile(std::nanf(""), 0.0f);
    EXPECT_EQ(nan.col, -GridTransform::kFarTile);

    GridLayout none = kIso;
    none.tileStepW = none.tileStepH = 0;  // tile images missing: no diamond
    GridTransform flat;
    flat.Build(none);
    EXPECT_LE(flat.ScreenToTile(0.0f, 0.0f).col, -GridTransform::kFarTile);
}

}  // namespace
