// The maps between tiles and the grid's pixels: the isometric defaults, the
// constants, centring, the round trip over every tile, and the answers that
// must never come from a converted non-finite float.
#include <gtest/gtest.h>

#include <cmath>

#include "game/park/grid/grid_transform.h"

namespace {

// Tile step 64 x 32 (half 32 x 16), 5 x 3 tiles on a 400 x 200 widget:
// the centred origin is ((400 - 8 * 32) / 2, (200 - 8 * 16) / 2) = (72, 36).
constexpr GridLayout kIso{.tileStepW = 64, .tileStepH = 32, .cols = 5, .rows = 3, .width = 400, .height = 200};

GridLayout With(GridLayout l, auto change) {
    change(l);
    return l;
}

TEST(GridTransformTest, PlacesTilesAndFindsEveryTileBack) {
    struct Case {
        const char* name;
        GridLayout layout;
        PixelPoint origin, nextCol;  // where tiles (0, 0) and (1, 0) land
    };
    // Defaults: x = 32 col - 32 row + 32 * 3 + ox, y = 16 col + 16 row + 16 + oy. Any
    // non-zero constant selects all four (m00 = -a, m10 = b, m01 = -c, m11 = d),
    // the translation still from the tile step.
    const Case cases[] = {
        {"centred", kIso, {168, 52}, {200, 68}},
        {"origin", With(kIso, [](GridLayout& l) { l.originX = 10, l.originY = -4; }), {106, 12}, {138, 28}},
        {"constants",
         With(kIso, [](GridLayout& l) { l.toNextX = -40, l.toNextY = 20, l.prevToX = 40, l.prevToY = 20; }),
         {168, 52},
         {208, 72}},
        {"truncated", With(kIso, [](GridLayout& l) { l.width = 401; }), {168, 52}, {200, 68}},  // 72.5 -> 72
    };
    for (const Case& c : cases) {
        GridTransform t;
        t.Build(c.layout);
        EXPECT_FLOAT_EQ(t.TileToScreen(0, 0).x, c.origin.x) << c.name;
        EXPECT_FLOAT_EQ(t.TileToScreen(0, 0).y, c.origin.y) << c.name;
        EXPECT_FLOAT_EQ(t.TileToScreen(1, 0).x, c.nextCol.x) << c.name;
        EXPECT_FLOAT_EQ(t.TileToScreen(1, 0).y, c.nextCol.y) << c.name;
        for (int col = 0; col < c.layout.cols; ++col)
            for (int row = 0; row < c.layout.rows; ++row) {
                const PixelPoint p = t.TileToScreen(col, row);
                EXPECT_EQ(t.ScreenToTile(p.x, p.y), (TilePoint{col, row})) << c.name << " " << col << "," << row;
            }
    }
}

TEST(GridTransformTest, RoundingKeepsColumnZeroFromMinusOneAndAHalf) {
    GridTransform t;
    t.Build(kIso);
    // Points at fractional columns, on row 1, through the forward map.
    const auto at = [&](float u) {
        const Matrix4& m = t.TileToScreenMatrix();
        return t.ScreenToTile(m[0] * u + m[1] + m[3], m[4] * u + m[5] + m[7]).col;
    };
    EXPECT_EQ(at(0.49f), 0);
    EXPECT_EQ(at(-1.4f), 0);
    EXPECT_EQ(at(0.51f), 1);
    EXPECT_EQ(at(-1.6f), -1);
}

// A map that cannot be inverted (one constant alone; all four 1; no tile
// step) or a point far away answers a position outside any grid, never the
// conversion of inf or NaN.
TEST(GridTransformTest, SingularMapOrFarPointAnswersFarOutside) {
    const GridLayout singular[] = {
        With(kIso, [](GridLayout& l) { l.toNextY = 10; }),
        With(kIso, [](GridLayout& l) { l.toNextX = l.toNextY = l.prevToX = l.prevToY = 1.0f; }),
        With(kIso, [](GridLayout& l) { l.tileStepW = l.tileStepH = 0; }),
    };
    for (const GridLayout& layout : singular) {
        GridTransform t;
        t.Build(layout);
        EXPECT_FALSE(t.IsInvertible());
        EXPECT_LE(t.ScreenToTile(100.0f, 100.0f).col, -GridTransform::kFarTile);
        EXPECT_LE(t.ScreenToTile(100.0f, 100.0f).row, -GridTransform::kFarTile);
    }
    GridTransform lone;
    lone.Build(singular[0]);  // columns step straight down, rows stay
    EXPECT_FLOAT_EQ(lone.TileToScreen(2, 1).x, 168.0f);
    EXPECT_FLOAT_EQ(lone.TileToScreen(2, 1).y, 72.0f);

    GridTransform t;
    t.Build(kIso);
    EXPECT_EQ(t.ScreenToTile(1e30f, 1e30f), (TilePoint{GridTransform::kFarTile, GridTransform::kFarTile}));
    EXPECT_EQ(t.ScreenToTile(std::nanf(""), 0.0f).col, -GridTransform::kFarTile);
}

}  // namespace
