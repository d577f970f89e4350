// Grid items: the turning plan, the image row of each orientation, and an
// item turned, dragged and dropped on a grid in a widget manager.
#include <gtest/gtest.h>

#include "game/park/grid/grid_footprint.h"
#include "game/park/tasks/task_sequence.h"
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

}  // namespace
}  // namespace testsupport
