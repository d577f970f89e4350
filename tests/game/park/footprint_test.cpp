#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <set>
#include <utility>

#include "game/park/grid/grid_footprint.h"
#include "tests/game/park/tile_grid.h"

namespace {

using testsupport::MakeTileGrid;

GridFootprint Footprint(TileRect r) {
    GridFootprint f;
    f.SetRect(r);
    return f;
}

// The tiles whose state or material is `mark`, as (col, row).
std::set<std::pair<int, int>> Marked(const GridTileColumns& tiles, TileChar mark, GridFootprint::Field field) {
    std::set<std::pair<int, int>> marked;
    for (const auto& column : tiles)
        for (const auto& tile : column)
            if ((field == GridFootprint::Field::kState ? tile->state : tile->material) == mark)
                marked.emplace(tile->Col(), tile->Row());
    return marked;
}

TEST(Footprint, StampsEveryCoveredTileInsideTheGridAndNothingElse) {
    struct Case {
        TileRect rect;
        std::set<std::pair<int, int>> expected;
    };
    const Case cases[] = {
        {{5, 5, 2, 3}, {{4, 3}, {4, 4}, {4, 5}, {5, 3}, {5, 4}, {5, 5}}},
        {{0, 0, 2, 3}, {{0, 0}}},          // only the anchor lies inside
        {{7, 1, 3, 1}, {{5, 1}, {6, 1}}},  // the column 7 is past the 7-column grid
        {{3, 3, 0, 2}, {}},                // no size covers nothing
        {{-1, 2, 1, 1}, {}},               // wholly outside
        {{2, 1, INT_MAX, INT_MAX}, {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}}},
    };
    for (const Case& c : cases) {
        for (const auto field : {GridFootprint::Field::kState, GridFootprint::Field::kMaterial}) {
            GridTileColumns tiles = MakeTileGrid(7, 6);
            GridFootprint f = Footprint(c.rect);
            f.stampState = 'g';
            f.stampMaterial = 'C';
            if (field == GridFootprint::Field::kState)
                f.StampState(tiles);
            else
                f.StampMaterial(tiles);
            EXPECT_EQ(Marked(tiles, field == GridFootprint::Field::kState ? 'g' : 'C', field), c.expected)
                << c.rect.col << "," << c.rect.row << " " << c.rect.cols << "x" << c.rect.rows;
        }
    }
}

TEST(Footprint, StampsEvenTheNoneCharacter) {
    GridTileColumns tiles = MakeTileGrid(3, 3);
    for (const auto& column : tiles)
        for (const auto& tile : column) tile->state = 'r';
    GridFootprint f = Footprint({1, 1, 1, 1});
    f.StampState(tiles);
    EXPECT_EQ(tiles[1][1]->state, 0);
    EXPECT_EQ(tiles[0][0]->state, 'r');
}

// The rows were bounded by the first column alone: a grid without columns
// was read at its first column, and a shorter later column past its end.
TEST(Footprint, StampingAGridWithoutColumnsOrWithAShortColumnStaysInside) {
    GridTileColumns none;
    GridFootprint f = Footprint({1, 1, 2, 2});
    f.stampState = 'g';
    f.StampState(none);
    EXPECT_TRUE(none.empty());

    GridTileColumns ragged = MakeTileGrid(2, 3);
    ragged[1].resize(1);  // a grid half taken down
    f.StampState(ragged);
    EXPECT_EQ(Marked(ragged, 'g', GridFootprint::Field::kState),
              (std::set<std::pair<int, int>>{{0, 0}, {0, 1}, {1, 0}}));
}

TEST(Footprint, RotateSwapsTheSidesAtAnyAngleAboutAFixedAnchor) {
    struct Case {
        int32_t cols, rows, orientation, degrees;
        int32_t cols2, rows2, orientation2;
        bool changed;
    };
    const Case cases[] = {
        {2, 3, 0, 90, 3, 2, 1, true},   {2, 2, 0, 90, 2, 2, 1, false}, {2, 3, 0, 180, 3, 2, 2, true},
        {2, 3, 0, -90, 3, 2, 3, true},  {1, 4, 3, 90, 4, 1, 0, true},  {1, 4, 1, -270, 4, 1, 2, true},
        {2, 3, 2, 45, 3, 2, 2, true},    // 45 / 90 truncates to no turn
        {2, 3, 1, -135, 3, 2, 0, true},  // -1.5 truncates to -1
    };
    for (const Case& c : cases) {
        GridFootprint f = Footprint({6, 7, c.cols, c.rows});
        f.SetOrientation(c.orientation);
        EXPECT_EQ(f.Rotate(c.degrees), c.changed) << c.degrees;
        EXPECT_EQ(f.GetRect(), (TileRect{6, 7, c.cols2, c.rows2})) << c.degrees;
        EXPECT_EQ(f.Orientation(), c.orientation2) << c.degrees;
    }
}

TEST(Footprint, RotateAboutCentreReanchorsOnlyAtRightAngles) {
    struct Case {
        TileRect before;
        int32_t degrees;
        TileRect after;
        int32_t orientation;
        bool changed;
    };
    const Case cases[] = {
        {{5, 5, 2, 1}, 90, {5, 6, 1, 2}, 1, true},    // (5, 5) turns to (4.5, 5.5), rounded (5, 6)
        {{5, 5, 2, 2}, 90, {5, 5, 2, 2}, 1, false},   // a square turns in place
        {{5, 5, 3, 1}, 90, {4, 6, 1, 3}, 1, true},    // about (4, 5): column 4, rows 4..6
        {{5, 5, 3, 1}, 180, {5, 5, 3, 1}, 2, false},  // a half turn covers the same tiles
        {{5, 5, 3, 1}, 270, {4, 6, 1, 3}, 3, true},  {{5, 5, 2, 1}, 180, {5, 5, 2, 1}, 2, false},
        {{5, 5, 2, 1}, 45, {5, 6, 2, 1}, 0, true},  // turned, not re-anchored
        {{5, 5, 2, 1}, -90, {5, 5, 2, 1}, 3, false}, {{3, 3, 1, 1}, 90, {3, 3, 1, 1}, 1, false},
    };
    for (const Case& c : cases) {
        GridFootprint f = Footprint(c.before);
        EXPECT_EQ(f.RotateAboutCentre(c.degrees), c.changed) << c.degrees;
        EXPECT_EQ(f.GetRect(), c.after) << c.before.cols << "x" << c.before.rows << " by " << c.degrees;
        EXPECT_EQ(f.Orientation(), c.orientation);
    }
}

// Every early return of the depth test, each pair tried in both orders.
TEST(Footprint, IsInFrontOfDecidesAtEachStepInBothOrders) {
    struct Case {
        const char* step;
        TileRect a, b;
        bool aInFront, bInFront;
    };
    const Case cases[] = {
        {"overlap", {5, 5, 2, 2}, {6, 6, 2, 2}, false, false},
        {"shared column, A above B (3) / B below A (4)", {2, 2, 1, 1}, {2, 5, 1, 1}, false, true},
        {"overlapping columns, A below", {3, 5, 3, 1}, {5, 2, 3, 1}, true, false},
        {"after in both axes", {5, 5, 1, 1}, {2, 2, 1, 1}, true, false},
        {"apart in columns, crossed rows (5)", {5, 2, 1, 1}, {2, 5, 1, 1}, false, false},
        {"adjacent columns, rows apart (6)", {3, 2, 1, 1}, {2, 6, 1, 1}, false, false},
        {"corner touch, sizes decide (7)", {3, 2, 1, 1}, {2, 4, 1, 2}, true, false},
        {"corner touch, equal sums: the gap decides (8)", {3, 2, 1, 1}, {2, 3, 1, 1}, true, false},
        {"corner touch, the larger sum wins (8)", {4, 3, 2, 1}, {2, 4, 2, 1}, true, false},
    };
    for (const Case& c : cases) {
        const GridFootprint a = Footprint(c.a);
        const GridFootprint b = Footprint(c.b);
        EXPECT_EQ(a.IsInFrontOf(b), c.aInFront) << c.step;
        EXPECT_EQ(b.IsInFrontOf(a), c.bInFront) << c.step;
    }
}

TEST(Footprint, SideOfAndSideFacing) {
    const GridFootprint f = Footprint({5, 5, 2, 2});  // columns and rows 4..5
    const struct {
        TilePoint point;
        int32_t side, facing;
    } cases[] = {
        {{6, 0}, 1, 3}, {{6, 6}, 1, 3}, {{5, 6}, 2, 0}, {{3, 5}, 3, 1}, {{3, 9}, 2, 0}, {{4, 4}, 0, 2}, {{4, 0}, 0, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(f.SideOf(c.point), c.side) << c.point.col << "," << c.point.row;
        EXPECT_EQ(f.SideFacing(c.point), c.facing) << c.point.col << "," << c.point.row;
    }
}

// The squared distances equal the smallest squared distance between any
// two covered tiles (between the point and any covered tile), found by
// trying every pair.
TEST(Footprint, SquaredDistancesMatchTheNearestTilesByExhaustion) {
    auto nearest = [](const TileRect& a, const TileRect& b) {
        int best = INT_MAX;
        for (int c1 = a.Left(); c1 <= a.col; ++c1)
            for (int r1 = a.Top(); r1 <= a.row; ++r1)
                for (int c2 = b.Left(); c2 <= b.col; ++c2)
                    for (int r2 = b.Top(); r2 <= b.row; ++r2)
                        best = std::min(best, (c1 - c2) * (c1 - c2) + (r1 - r2) * (r1 - r2));
        return best;
    };
    uint32_t seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(n));
    };
    for (int i = 0; i < 400; ++i) {
        const TileRect a{next(9), next(9), 1 + next(3), 1 + next(3)};
        const TileRect b{next(9), next(9), 1 + next(3), 1 + next(3)};
        const float squared = Footprint(a).DistanceTo(Footprint(b), true);
        EXPECT_EQ(squared, static_cast<float>(nearest(a, b)))
            << a.col << "," << a.row << " " << a.cols << "x" << a.rows << " to " << b.col << "," << b.row << " "
            << b.cols << "x" << b.rows;
        EXPECT_FLOAT_EQ(Footprint(a).DistanceTo(Footprint(b), false), std::sqrt(squared));
        const TilePoint p{next(12) - 2, next(12) - 2};
        const float toPoint = Footprint(a).DistanceToPoint(p, true);
        EXPECT_EQ(toPoint, static_cast<float>(nearest(a, {p.col, p.row, 1, 1})));
        EXPECT_FLOAT_EQ(Footprint(a).DistanceToPoint(p, false), std::sqrt(toPoint));
    }
}

TEST(TileGeometry, RoundsToTheNearestHalfThenHalvesUp) {
    const std::pair<float, int32_t> cases[] = {{0.24f, 0},  {0.25f, 1},  {1.25f, 2},   {2.74f, 3},  {4.5f, 5},
                                               {-0.25f, 0}, {-0.75f, 0}, {-0.76f, -1}, {-1.5f, -1}, {3.0f, 3}};
    for (const auto& [v, expected] : cases) EXPECT_EQ(RoundTileCoordinate(v), expected) << v;
}

// About a whole-tile centre a quarter turn is exact: (dc, dr) becomes (-dr, dc).
TEST(TileGeometry, RotatePointsMatchesExactQuarterTurns) {
    const std::vector<TilePoint> start = {{2, 3}, {5, 3}, {2, 7}, {-1, 0}, {4, 4}};
    const TileCentre centre{2.0f, 3.0f};
    for (int32_t degrees : {0, 90, 180, 270, 360, -90, 450, -720}) {
        std::vector<TilePoint> points = start;
        RotatePoints(centre, points, degrees);
        const int32_t quarters = ((degrees / 90) % 4 + 4) % 4;
        for (size_t i = 0; i < start.size(); ++i) {
            int dc = start[i].col - 2, dr = start[i].row - 3;
            for (int q = 0; q < quarters; ++q) dc = std::exchange(dr, dc) * -1;
            EXPECT_EQ(points[i], (TilePoint{2 + dc, 3 + dr})) << degrees << " point " << i;
        }
    }
    std::vector<TilePoint> half = {{5, 5}};
    RotatePoints({4.5f, 5.0f}, half, 90);
    EXPECT_EQ(half[0], (TilePoint{5, 6}));
}

TEST(TileGeometry, TransposePointsMirrorsAcrossTheDiagonal) {
    std::vector<TilePoint> points = {{2, 3}, {0, 0}, {-4, 1}};
    TransposePoints({0.0f, 0.0f}, points);
    EXPECT_EQ(points, (std::vector<TilePoint>{{3, 2}, {0, 0}, {1, -4}}));
    std::vector<TilePoint> door = {{5, 5}};
    TransposePoints({4.5f, 5.0f}, door);
    EXPECT_EQ(door[0], (TilePoint{5, 6}));  // (4.5, 5.5) rounded up
}

}  // namespace
