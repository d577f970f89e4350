// The shipped tutorial's marked tiles against the first park's layout: every
// tile inside the park, the placing step's tiles taking the castle the step
// sells exactly, the sidewalk step's tiles paintable, and that sidewalk
// joining the castle's door to the open gate.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/frontend/hud/tutorial_data.h"
#include "game/park/buildings/front_gate.h"
#include "tests/game/park/shipped_park.h"

namespace {

using ShippedTutorial = testsupport::ShippedPark;

TEST_F(ShippedTutorial, MarkedTilesLieInTheFirstParkWhereTheirStepsNeedThem) {
    EnterPark();
    const TutorialData tutorial = ReadTutorialData("tutorial_data.xml");
    ASSERT_FALSE(tutorial.steps.empty());
    auto marked = [&](const wchar_t* step) {
        const auto found = tutorial.indexByName.find(step);
        return found == tutorial.indexByName.end() ? std::vector<TilePoint>()
                                                   : tutorial.At(found->second)->Highlights();
    };
    size_t total = 0;
    for (const auto& step : tutorial.steps)
        for (const TilePoint& tile : step->Highlights()) {
            ++total;
            EXPECT_NE(grid->GetTileAt(tile.col, tile.row), nullptr) << text::ToUtf8(step->Name());
        }
    const std::vector<TilePoint> castleTiles = marked(L"place_fun_bounce");
    const std::vector<TilePoint> walk = marked(L"sidewalk3");
    EXPECT_EQ(total, castleTiles.size() + walk.size()) << "only the placing and sidewalk steps mark tiles";
    ASSERT_FALSE(castleTiles.empty());
    ASSERT_FALSE(walk.empty());

    // The castle as bought, carried so its footprint's far corner is the
    // marked tiles' far corner: it covers them exactly, on buildable ground.
    TilePoint corner = castleTiles.front();
    for (const TilePoint& t : castleTiles) corner = {std::max(corner.col, t.col), std::max(corner.row, t.row)};
    grid->PreviewNewBuilding(L"bouncy_castle");
    KivraBuilding* castle = grid->GetHeldBuilding();
    ASSERT_NE(castle, nullptr);
    castle->MoveTo(corner);
    const TileRect r = castle->GetFootprintRect();
    EXPECT_EQ(static_cast<size_t>(r.cols * r.rows), castleTiles.size());
    for (const TilePoint& t : castleTiles) EXPECT_TRUE(r.Covers(t)) << t.col << "," << t.row;
    EXPECT_TRUE(castle->CanPlace());
    EXPECT_TRUE(grid->TryPlaceHeldItem(false));
    grid->CancelNewBuilding();

    // The walk: each tile can take sidewalk; painted, and the gate open, the castle is reached.
    for (const TilePoint& t : walk) {
        const TileChar m = MaterialAt(t);
        EXPECT_TRUE(m != level->sidewalk && m != '#' && m != 'X' && m != '@') << t.col << "," << t.row;
        EXPECT_EQ(grid->GetTileOccupant(t), nullptr);
    }
    auto* gate = FirstOfType<FrontGate>(L"front_gate");
    ASSERT_NE(gate, nullptr);
    ASSERT_NE(gate->PurchaseUpgrade(L"open"), nullptr);
    Advance(static_cast<int>(grid->Items().size()) + 1);
    EXPECT_FALSE(castle->IsReachable()) << "reached without the walk: the step teaches nothing";
    grid->BeginSidewalk();
    for (const TilePoint& t : walk) grid->PaintSidewalk(t);
    grid->CancelSidewalk();
    for (const TilePoint& t : walk) EXPECT_EQ(MaterialAt(t), level->sidewalk);
    Advance(static_cast<int>(grid->Items().size()) + 1);
    EXPECT_TRUE(castle->IsReachable());
}

}  // namespace
