// Grid items: the turning plan, the image row of each orientation, and an
// item turned, dragged and dropped on a grid in a widget manager.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "game/park/base/task_sequence.h"
#include "game/park/grid/grid_footprint.h"
#include "tests/game/park/grid_test_support.h"

namespace testsupport {
namespace {

TEST(RotationPlanTest, PlansByRowsAndMirroring) {
    using Op = RotationPlan::Op;
    constexpr Op N = Op::kNone, C = Op::kAboutCentre, P = Op::kPlain;
    struct Case {
        int degrees, orientation, rows;
        bool autoFlip;
        RotationPlan expected;
    };
    const Case cases[] = {{0, 0, 4, false, {}},
                          {360, 1, 4, false, {}},
                          {-360, 2, 0, false, {}},
                          {-90, 0, 4, false, {C, N, 270, 0, -1}},
                          {90, 1, 0, false, {C, N, 90, 0, -1}},
                          {180, 0, 1, false, {C, N, 180, 0, -1}},
                          // Fewer rows, mirrored: the orientation's axis picks the kind of each operation.
                          {90, 0, 2, true, {C, N, 90, 0, -1}},
                          {180, 0, 2, true, {C, P, 90, 90, -1}},
                          {270, 0, 2, true, {N, P, 0, 270, -1}},
                          {90, 1, 1, true, {P, N, 90, 0, -1}},
                          {180, 3, 1, true, {P, C, 90, 90, -1}},
                          {270, 1, 1, true, {N, C, 0, 270, -1}},
                          // Two rows without mirroring: a planned orientation besides the turn.
                          {90, 0, 2, false, {C, N, 270, 0, 1}},
                          {180, 0, 2, false, {N, N, 0, 0, 2}},
                          {90, 1, 2, false, {C, N, 90, 0, 2}},
                          {90, 3, 2, false, {C, N, 90, 0, 0}},
                          {90, 0, 3, false, {}}};
    for (const Case& c : cases) {
        const RotationPlan plan = PlanRotation(c.degrees, c.orientation, c.rows, c.autoFlip);
        const RotationPlan& e = c.expected;
        const auto where = ::testing::Message() << c.degrees << " from " << c.orientation << ", rows " << c.rows;
        EXPECT_EQ(plan.first, e.first) << where;
        EXPECT_EQ(plan.second, e.second) << where;
        EXPECT_EQ(plan.first == N ? 0 : plan.firstAngle, e.firstAngle) << where;
        EXPECT_EQ(plan.second == N ? 0 : plan.secondAngle, e.secondAngle) << where;
        EXPECT_EQ(plan.target, e.target) << where;
    }
}

TEST(FrameRowTest, RowsAndMirrors) {
    struct Case {
        int orientation, rows;
        bool autoFlip;
        FrameRow expected;
    };
    for (const Case& c : std::vector<Case>{{0, 1, false, {0, true}},
                                           {1, 1, false, {0, false}},
                                           {2, 1, true, {0, true}},
                                           {0, 2, true, {0, false}},
                                           {1, 2, true, {1, false}},
                                           {2, 2, true, {1, true}},
                                           {3, 2, true, {0, true}},
                                           {0, 2, false, {1, false}},
                                           {3, 2, false, {0, false}},
                                           {3, 4, false, {3, false}},
                                           {2, 3, true, {0, false}}}) {
        const FrameRow row = RowForOrientation(c.orientation, c.rows, c.autoFlip);
        EXPECT_EQ(row.row, c.expected.row) << c.orientation << " " << c.rows;
        EXPECT_EQ(row.mirrored, c.expected.mirrored) << c.orientation << " " << c.rows;
    }
}

class GridItemTest : public GridBench {};

TEST_F(GridItemTest, TurningMovesFootprintTilesAndFrame) {
    Grid* grid = EnterGrid(LevelBuilder(6, 6).Item(L"bench", 4, 2).Item(L"walker", 1, 1).Item(L"hut", 0, 0));
    GridItem& bench = *grid->Items()[0];
    GridItem& walker = *grid->Items()[1];
    // Partly outside the grid: only the tile inside is linked.
    EXPECT_EQ(grid->Items()[2]->LinkedTiles().size(), 1u);

    EXPECT_FALSE(bench.SetRotation(0));
    EXPECT_FALSE(bench.SetRotation(-360));
    bench.SetOrientation(1);  // no image: about the centre of the 3 x 1 rectangle
    EXPECT_EQ(bench.GetOrientation(), 1);
    EXPECT_EQ(bench.GetFootprintRect(), (TileRect{3, 3, 1, 3}));
    EXPECT_EQ(bench.LinkedTiles().size(), 3u);
    EXPECT_TRUE(grid->GetTileAt(3, 1)->HasItem(&bench));
    EXPECT_FALSE(grid->GetTileAt(4, 2)->HasItem(&bench));
    EXPECT_TRUE(grid->IsDepthDirty());

    // Four rows of two frames: the row of the orientation, the frame within it kept.
    walker.SetFrame(1);
    walker.SetOrientation(3);
    EXPECT_EQ(walker.GetFirstFrame(), 6);
    EXPECT_EQ(walker.GetFrame(), 7);
    EXPECT_EQ(walker.GetProperty(L"first_frame").ToInt(), 6);
    walker.FaceDirection(0.5f, -2.0f);
    EXPECT_EQ(walker.GetOrientation(), 0);
    walker.FaceDirection(-3.0f, 1.0f);
    EXPECT_EQ(walker.GetOrientation(), 3);
    walker.FaceItem(bench, true);  // before the bench's first column (side 3): facing it is 1
    EXPECT_EQ(walker.GetOrientation(), 1);
}

TEST_F(GridItemTest, DragPausesLiftsAndDropsOnTheTileUnderIt) {
    Grid* grid = EnterGrid(LevelBuilder(6, 6).Item(L"walker", 2, 2).Item(L"walker", 2, 3));
    GridItem& walker = *grid->Items()[0];
    walker.AddTask(walker.CreateTask(L"stroll"), 0.5f);
    EXPECT_EQ(walker.GetProperty(L"task").ToString(), L"stroll");
    EXPECT_EQ(walker.GetProperty(L"type").ToString(), L"walker");

    walker.BeginDrag(0, 0);
    EXPECT_TRUE(walker.IsHeld());
    EXPECT_TRUE(walker.GetProperty(L"overlay").ToBool());
    EXPECT_TRUE(walker.LinkedTiles().empty());
    EXPECT_FALSE(grid->GetTileAt(2, 2)->HasItem(&walker));
    EXPECT_TRUE(walker.GetSequence()->IsTaskPaused());
    grid->SortItemsByDepth();
    EXPECT_EQ(walker.GetPriority(), kUnorderedPriority);
    EXPECT_EQ(grid->Items()[1]->GetPriority(), 0);

    // Carried over tile (4, 1): its foot point lands there.
    const PixelPoint p = grid->TileToScreen(4, 1);
    walker.Move(p.x - walker.GetWidth() * 0.5f, p.y - walker.GetHeight() + kTileH * 0.5f + 3.0f);
    walker.EndDrag();
    EXPECT_FALSE(walker.IsHeld());
    EXPECT_EQ(walker.GetGridPosition(), (TilePoint{4, 1}));
    EXPECT_TRUE(grid->GetTileAt(4, 1)->HasItem(&walker));
    EXPECT_FALSE(walker.GetSequence()->IsTaskPaused());
    EXPECT_EQ(walker.GetProperty(L"col").ToInt(), 4);
    EXPECT_EQ(walker.GetProperty(L"tiles").ToInt(), 1);
}

// The tile under an item's foot is a matter of the item and its grid alone:
// wherever the grid is scrolled, far offsets included, an item carried in
// small steps across a tile and its neighbours finds the same tiles.
TEST_F(GridItemTest, TheTileUnderAnItemDoesNotDependOnTheGridsScroll) {
    Grid* grid = EnterGrid(LevelBuilder(6, 6).Item(L"walker", 2, 2));
    GridItem& walker = *grid->Items()[0];
    const PixelPoint centre = grid->TileToScreen(2, 2);
    const auto sweep = [&] {
        std::vector<TilePoint> tiles;
        for (int i = -40; i <= 40; ++i)
            for (int j = -20; j <= 20; j += 5) {
                walker.Move(centre.x - walker.GetWidth() * 0.5f + static_cast<float>(i) * 0.8125f,
                            centre.y - walker.GetHeight() + static_cast<float>(j) * 0.8125f + 0.3f);
                tiles.push_back(walker.GetTileUnder(0.0f, 0.0f));
            }
        return tiles;
    };
    const std::vector<TilePoint> unscrolled = sweep();
    // The sweep crosses the tile's edges.
    EXPECT_TRUE(std::any_of(unscrolled.begin(), unscrolled.end(), [&](TilePoint t) { return t != unscrolled[0]; }));
    const std::pair<float, float> scrolls[] = {{-768.0f, -416.0f}, {0.375f, 8388608.0f}, {-8388608.0f, 1048576.5f}};
    for (const auto& [x, y] : scrolls) {
        grid->Move(x, y);
        EXPECT_EQ(sweep(), unscrolled) << x << ", " << y;
    }
}

// The key's box against the widget's own mapping of its corners and the
// library's min and max, whose NaN rule the depth order depends on: a
// corner that is not a number gives way to the other.
TEST_F(GridItemTest, DepthKeyBoxFollowsTheMappedCornersAndTheirNaNRule) {
    Grid* grid = EnterGrid(LevelBuilder(4, 4).Item(L"walker", 1, 1).Item(L"walker", 2, 2).Item(L"walker", 3, 3));
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    struct Case {
        float x, y;
        int width, height;
    };
    const Case cases[] = {{10.0f, 20.0f, 30, 40}, {-5.5f, 0.0f, -8, -3}, {-0.0f, -0.0f, 0, 0},
                          {kNaN, 7.0f, 12, 5},    {3.0f, kNaN, 4, 9},    {kNaN, kNaN, 2, 2},
                          {kInf, -kInf, 6, 1},    {-kInf, kInf, -6, -1}, {1e30f, -1e30f, 1 << 30, 1},
                          {kInf, 0.0f, 30, 4},    {-kInf, 0.0f, 30, 4}};
    const auto same = [](float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    // Plain; mirrored at half the width (a box the offset alone would not
    // give); mirrored past the largest float, where one corner of an
    // infinite box can be infinite and the other not a number. A walker each.
    constexpr float kHuge = 1e38f;
    const float scales[] = {0.0f, 0.5f, kHuge};
    for (size_t mode = 0; mode < 3; ++mode) {
        GridItem& walker = *grid->Items()[mode];
        const float scale = scales[mode];
        const bool flipped = scale != 0.0f;
        walker.SetTransformChildren(flipped);
        if (flipped) {
            walker.scale_x = scale;
            walker.Flip(false);
        }
        for (const Case& c : cases) {
            walker.Resize(c.x, c.y, c.width, c.height);
            const FRect a = walker.MapRectToParent({0.0f, 0.0f, 1.0f, 1.0f});
            const FRect b =
                walker.MapRectToParent({static_cast<float>(c.width), static_cast<float>(c.height), 1.0f, 1.0f});
            const DepthKey key = walker.GetDepthKey();
            const auto where = ::testing::Message()
                               << c.x << "," << c.y << " " << c.width << "x" << c.height << " scale " << scale;
            EXPECT_TRUE(same(key.left, std::fmin(a.x, b.x))) << where << " left " << key.left;
            EXPECT_TRUE(same(key.right, std::fmax(a.x, b.x))) << where << " right " << key.right;
            EXPECT_TRUE(same(key.bottom, std::fmax(a.y, b.y))) << where << " bottom " << key.bottom;
            EXPECT_EQ(key.id, walker.GetId());
            EXPECT_EQ(key.footprint, walker.GetFootprint());
            if (c.width == 30 && std::isfinite(c.x) && scale != kHuge) {
                EXPECT_FLOAT_EQ(key.right - key.left, flipped ? 15.0f : 30.0f);
            }
        }
    }
}

}  // namespace
}  // namespace testsupport
