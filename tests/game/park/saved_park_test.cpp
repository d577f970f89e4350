// Saved parks: random parks saved into their level and built again from it
// come back the same, and saving twice writes the same records; improvements
// come back once; the goals and spawn spots of a level entered again.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "game/data/catalogues/building_level_item.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/data/progress/objectives.h"
#include "game/park/buildings/front_gate.h"
#include "tests/game/park/park_grid_bench.h"
#include "tests/game/park/shipped_park.h"

namespace {

using testsupport::LevelBuilder;

constexpr std::string_view kImprovedItems = R"(<items><people><person type="walker"/></people><rides>
    <building type="hut" buycost="100" capacity="4" appeal="1">AA AA
      <upgrade label="paint" coincost="5" property="appeal" offset="2"/>
      <upgrade label="roof" coincost="5" property="capacity, appeal" offset="1, 1"/>
      <boost label="music" coincost="5" duration="1" property="appeal" offset="3"/></building>
    <building type="wide" buycost="1">AAAA AAAA AAAA
      <boost label="lights" coincost="5" duration="2" property="capacity" offset="5"/></building>
    <building type="flowers_red" buycost="10">A</building>
    <building type="slide" buycost="1" ticketprice="3">AA AA
      <upgrade label="longer" coincost="5" property="ticketcost" offset="2"/>
      <boost label="rush" coincost="5" duration="1" property="ticketcost" offset="4"/></building></rides></items>)";

// The profile writer's form of a saved park.
struct Writer : KivraLevelStats {
    using KivraLevelStats::WriteLevelBody;
};

class SavedPark : public testsupport::ParkGridBench {
protected:
    SavedPark() {
        std::ofstream("properties/items.xml") << kImprovedItems;
        items.Load();
    }
    void Leave() {
        mgr.RemoveWidget(grid);
        host.DeleteDeferred();
    }
    void Reenter() { mgr.AddWidget(grid = new testsupport::OpenParkGrid()); }
    // Each building as one line: where and how it stands, its statistics,
    // improvements (bought, ticks left) and the tiles' materials.
    std::vector<std::wstring> Park() const {
        std::vector<std::wstring> out;
        for (GridItem* item : grid->Items()) {
            auto* b = dynamic_cast<KivraBuilding*>(item);
            if (b == nullptr) continue;
            std::wstring line = item->GetType() + L"@" + std::to_wstring(item->GetGridPosition().col) + L"," +
                                std::to_wstring(item->GetGridPosition().row) + L"/" +
                                std::to_wstring(item->GetOrientation()) + L" " + item->GetAction() + L" appeal " +
                                std::to_wstring(b->Appeal()) + L" capacity " + std::to_wstring(b->Capacity()) +
                                L" bought " + std::to_wstring(b->UpgradesPurchased());
            for (const Upgrade& u : b->Upgrades()) line += L" " + u.record->label + L"=" + (u.purchased ? L"1" : L"0");
            for (const Boost& boost : b->Boosts())
                line += L" " + boost.record->label + L"=" + std::to_wstring(boost.TimeRemaining());
            out.push_back(line);
        }
        for (const auto& column : grid->Tiles())
            for (const auto& tile : column) out.back() += static_cast<wchar_t>(tile->material);
        return out;
    }
};

// Buildings placed, turned and acting at random, improvements bought and
// boosts running at random, tiles painted and a visitor walking about.
TEST_F(SavedPark, RandomParksComeBackTheSame) {
    std::mt19937 rng(4357);
    const wchar_t* types[] = {L"hut", L"flowers_red", L"wide"};
    const wchar_t* actions[] = {L"", L"idle", L"open"};
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        EnterPark(LevelBuilder(24, 24, L'_'), 0);
        for (int i = 0, n = 1 + static_cast<int>(rng() % 12); i < n; ++i) {
            KivraBuilding* b = grid->CreateAndPlaceBuilding(types[rng() % 3], 1 + static_cast<int>(rng() % 22),
                                                            1 + static_cast<int>(rng() % 22),
                                                            static_cast<int32_t>(rng() % 4), actions[rng() % 3]);
            // As a player builds it: no building stands on another.
            const TileRect r = b->GetFootprintRect();
            if (std::ranges::any_of(grid->Items(), [&](GridItem* o) {
                    const TileRect q = o->GetFootprintRect();
                    return o != b && q.Left() <= r.col && r.Left() <= q.col && q.Top() <= r.row && r.Top() <= q.row;
                })) {
                grid->RemoveWidget(b);
                continue;
            }
            for (Upgrade& u : b->Upgrades())
                if (rng() % 2) b->ApplyImprovementStats(u);
            for (Boost& boost : b->Boosts())
                if (rng() % 2) b->SetBoostActive(boost, rng() % 3 ? static_cast<int32_t>(rng() % 5000) : -2);
        }
        for (int i = 0; i < 20; ++i)
            grid->SetTileMaterial({static_cast<int32_t>(rng() % 24), static_cast<int32_t>(rng() % 24)},
                                  rng() % 2 ? L'#' : L'S');
        grid->CreateAndPlaceItem(L"walker", 3, 3, 0, L"");
        grid->StartItems();
        Advance(3);
        const std::vector<std::wstring> before = Park();
        Leave();
        const size_t saved = level->items.Size();
        std::wstring first, second;
        Writer().WriteLevelBody(*level, first, L"");
        Reenter();
        grid->StartItems();
        EXPECT_EQ(Park(), before);
        EXPECT_EQ(grid->Items().size(), saved);  // the visitor stayed behind
        Leave();
        Writer().WriteLevelBody(*level, second, L"");
        EXPECT_EQ(second, first);
        mgr.RemoveAllWidgets(true, false);
    }
}

// Bought upgrades apply once, boosts run for the time they had left, labels
// items.xml no longer defines are skipped.
TEST_F(SavedPark, ImprovementsComeBackOnce) {
    Play(LevelBuilder(12, 12, L'_'));
    auto saved = std::make_unique<KIVRA_BUILDING_LEVEL_ITEM>();
    saved->type = L"hut";
    saved->col = saved->row = 4;
    saved->upgrades = {{L"gone", true}, {L"paint", true}, {L"roof", false}};
    saved->boosts = {{L"music", 300}, {L"vanished", 20}};
    level->items.Add(std::move(saved));
    Reenter();
    auto* hut = dynamic_cast<KivraBuilding*>(grid->Items()[0]);
    EXPECT_EQ(hut->UpgradesPurchased(), 1);
    EXPECT_FLOAT_EQ(hut->Appeal(), 1.0f + 2.0f + 3.0f);
    EXPECT_EQ(hut->Boosts()[0].TimeRemaining(), 300);
    Leave();
    const auto& again = dynamic_cast<const KIVRA_BUILDING_LEVEL_ITEM&>(*level->items.At(0));
    EXPECT_EQ(again.upgrades, (std::map<std::wstring, bool>{{L"paint", true}, {L"roof", false}}));
    EXPECT_EQ(again.boosts, (std::map<std::wstring, int32_t>{{L"music", 300}}));
}

// Each building counts once towards the goals however often the park is
// entered; a completed objective stays completed. Spawn spots laid while
// the items are placed (a saved open gate opening again) stay beside the
// level's own, each listed once.
TEST_F(SavedPark, EnteringAgainCountsOnceAndKeepsSpawnSpots) {
    class GateLikePark : public testsupport::OpenParkGrid {
        GridItem* PlaceLevelItem(const LEVEL_ITEM& record) override {
            AddSpawnSpot({5, 5}), AddSpawnSpot({1, 1});
            return OpenParkGrid::PlaceLevelItem(record);
        }
    };
    Play(LevelBuilder(12, 12, L'_').Item(L"hut", 3, 3, 1).Item(L"hut", 7, 7, 1).Item(L"flowers_red", 9, 2, 1));
    level->spawn_points = {{1, 1}, {2, 1}};
    MagazineRecord magazine{L"m", {ChallengeRecord{}}};
    magazine.challenges[0].unlocked = true;
    for (const auto& [type, amount] : {std::pair{L"hut", 3}, std::pair{L"flowers_red", 1}}) {
        magazine.challenges[0].objectives.emplace_back().check = L"buildings_exist";
        magazine.challenges[0].objectives.back().type = type;
        magazine.challenges[0].objectives.back().amount = amount;
    }
    std::wstring chosen;
    level->goals_tracker.AddMagazine(magazine, chosen);
    const auto& objectives = level->goals_tracker.ObjectivesOf(KivraGoalTracker::kBuildings);
    for (int visit = 0; visit < 3; ++visit) {
        mgr.AddWidget(grid = new GateLikePark());
        EXPECT_EQ(dynamic_cast<BuildingsExist&>(*objectives[0]).CountedBuildings(), 2u);
        EXPECT_FALSE(objectives[0]->completed);
        EXPECT_TRUE(objectives[1]->completed);
        EXPECT_EQ(grid->SpawnSpotList(), (std::vector<TilePoint>{{1, 1}, {2, 1}, {5, 5}}));
        Leave();
    }
}

// The entry fee counts each building's ticket price once, its bought ticket
// upgrade and running ticket boost with it, however often the park is
// entered; leaving takes it all off again.
TEST_F(SavedPark, EntryFeeCountsEachTicketOnce) {
    EnterPark(LevelBuilder(12, 12, L'_'), 100);
    level->ticketprice_base = level->ticketprice = 10;
    grid->StartItems();
    KivraBuilding* slide = grid->CreateAndPlaceBuilding(L"slide", 4, 4, 1, L"");
    grid->UpdateZones(*slide, false);
    ASSERT_NE(slide->PurchaseUpgrade(L"longer"), nullptr);
    ASSERT_NE(slide->PurchaseBoost(L"rush"), nullptr);
    ASSERT_EQ(level->ticketprice, 10 + 3 + 2 + 4);
    for (int visit = 0; visit < 3; ++visit) {
        SCOPED_TRACE(visit);
        Leave();
        EXPECT_EQ(level->ticketprice, 10);
        Reenter();
        grid->StartItems();
        EXPECT_EQ(level->ticketprice, 10 + 3 + 2 + 4);
    }
}

class ShippedSavedPark : public testsupport::ShippedPark {};

// A shipped park played: a building bought, upgraded and boosted, the gate
// opened, a flower bed removed; left and entered again, the park is as it
// was left and nothing was refunded.
TEST_F(ShippedSavedPark, APlayedParkComesBackAsLeft) {
    EnterPark();
    grid->PreviewNewBuilding(L"bouncy_castle");
    grid->GetHeldBuilding()->MoveTo({15, 10});
    ASSERT_TRUE(grid->TryPlaceHeldItem(true));
    grid->CancelCurrentMode();
    auto* castle = FirstOfType(L"bouncy_castle");
    ASSERT_NE(castle->PurchaseUpgrade(L"extra_towers"), nullptr);
    ASSERT_NE(castle->PurchaseBoost(L"party_balloons"), nullptr);
    ASSERT_NE(FirstOfType(L"front_gate")->PurchaseUpgrade(L"open"), nullptr);
    const std::vector<TilePoint> spots = grid->SpawnSpotList();
    const int32_t price = FrontGate::MoneyToOpen();
    grid->OnRemoveSelect();
    grid->RemoveBuilding(*FirstOfType(L"flowers_red"));
    grid->CancelCurrentMode();
    Advance(10);
    const float appeal = castle->Appeal();
    const int32_t boostLeft = castle->Boosts()[0].TimeRemaining();
    const int32_t money = level->money, hearts = level->hearts;
    const size_t items = grid->Items().size();
    mgr.RemoveWidget(grid);
    host.DeleteDeferred();

    EnterPark();
    castle = FirstOfType(L"bouncy_castle");
    ASSERT_NE(castle, nullptr);
    EXPECT_EQ(castle->GetGridPosition(), (TilePoint{15, 10}));
    EXPECT_TRUE(castle->IsFullyUpgraded());
    EXPECT_FLOAT_EQ(castle->Appeal(), appeal);
    EXPECT_EQ(castle->Boosts()[0].TimeRemaining(), boostLeft);
    EXPECT_EQ(grid->Items().size(), items);
    EXPECT_EQ(level->money, money);
    EXPECT_EQ(level->hearts, hearts);
    // The gate opens again, its spots listed once, its price not raised.
    EXPECT_TRUE(FirstOfType<FrontGate>(L"front_gate")->IsOpen());
    EXPECT_EQ(grid->SpawnSpotList(), spots);
    EXPECT_EQ(FrontGate::MoneyToOpen(), price);
}

}  // namespace
