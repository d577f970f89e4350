// Saved parks: a park saved into its level and built again from it is the
// same park (random parks, fixed seed), and saving twice writes the same
// records; the goals and spawn spots of a level entered again.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <tuple>

#include "game/data/catalogues/building_level_item.h"
#include "game/data/progress/objectives.h"
#include "tests/game/park/park_grid_bench.h"

namespace {

using testsupport::LevelBuilder;

// What a saved park holds of one item, comparable.
struct Saved {
    std::wstring type;
    int32_t col, row, orientation;
    std::wstring action;
    std::map<std::wstring, bool> upgrades;
    std::map<std::wstring, int32_t> boosts;
    bool operator==(const Saved&) const = default;
};

std::vector<Saved> Records(const LEVEL& level) {
    std::vector<Saved> out;
    for (size_t i = 0; i < level.items.Size(); ++i) {
        const LEVEL_ITEM& item = *level.items.At(i);
        Saved s{item.type, item.col, item.row, item.orientation, item.action, {}, {}};
        if (const auto* b = dynamic_cast<const KIVRA_BUILDING_LEVEL_ITEM*>(&item)) {
            s.upgrades = b->upgrades;
            s.boosts = b->boosts;
        }
        out.push_back(std::move(s));
    }
    return out;
}

// The hut and the wide ride with upgrades and boosts.
constexpr std::string_view kImprovedItems = R"(<items>
  <people><person type="walker"/></people>
  <rides>
    <building type="hut" buycost="100" capacity="4" appeal="1">AA AA
      <upgrade label="paint" coincost="5" property="appeal" offset="2"/>
      <upgrade label="roof" coincost="5" property="capacity, appeal" offset="1, 1"/>
      <boost label="music" coincost="5" duration="1" property="appeal" offset="3"/>
    </building>
    <building type="bench" buycost="40" capacity="0" stationary="true">AAA</building>
    <building type="wide" buycost="1">AAAA AAAA AAAA
      <boost label="lights" coincost="5" duration="2" property="capacity" offset="5"/>
    </building>
  </rides>
  <decorations><building type="flowers_red" buycost="10">A</building></decorations>
</items>)";

class SavedPark : public testsupport::ParkGridBench {
protected:
    SavedPark() {
        std::ofstream("properties/items.xml") << kImprovedItems;
        items.Load();
    }
    void Leave() {
        mgr.RemoveWidget(grid);
        host.DeleteDeferred();
        grid = nullptr;
    }
    void Reenter() {
        grid = new testsupport::OpenParkGrid();
        mgr.AddWidget(grid);
    }
    // What the park shows of its items now, in the order it holds them.
    std::vector<Saved> Shown() const {
        std::vector<Saved> out;
        for (GridItem* item : grid->Items()) {
            const TilePoint at = item->GetGridPosition();
            Saved shown{item->GetType(), at.col, at.row, item->GetOrientation(), item->GetAction(), {}, {}};
            if (auto* b = dynamic_cast<KivraBuilding*>(item)) {
                for (const Upgrade& u : b->Upgrades()) shown.upgrades[u.record->label] = u.purchased;
                for (const Boost& boost : b->Boosts()) shown.boosts[boost.record->label] = boost.TimeRemaining();
            }
            out.push_back(std::move(shown));
        }
        return out;
    }
    // Each building's statistics the improvements change, and its count.
    std::vector<std::tuple<float, int32_t, int32_t, bool>> Stats() const {
        std::vector<std::tuple<float, int32_t, int32_t, bool>> out;
        for (GridItem* item : grid->Items())
            if (auto* b = dynamic_cast<KivraBuilding*>(item))
                out.emplace_back(b->Appeal(), b->Capacity(), b->UpgradesPurchased(), b->IsFullyUpgraded());
        return out;
    }
    std::vector<std::wstring> Materials() const {
        std::vector<std::wstring> out;
        for (const auto& column : grid->Tiles()) {
            std::wstring text;
            for (const auto& tile : column) text += static_cast<wchar_t>(tile->material);
            out.push_back(text);
        }
        return out;
    }
};

// Random parks: buildings of every kind at random places, turned and acting
// at random, tiles painted at random, a visitor walking about. Built again
// from the saved level the park shows the same; saved again it writes the
// same records.
TEST_F(SavedPark, RandomParksComeBackTheSame) {
    std::mt19937 rng(4357);
    const wchar_t* types[] = {L"hut", L"bench", L"flowers_red", L"wide"};
    const wchar_t* actions[] = {L"", L"idle", L"open"};
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        EnterPark(LevelBuilder(24, 24, L'_'), 0);
        const int count = 1 + static_cast<int>(rng() % 12);
        for (int i = 0; i < count; ++i)
            grid->CreateAndPlaceBuilding(types[rng() % 4], 1 + static_cast<int>(rng() % 22),
                                         1 + static_cast<int>(rng() % 22), static_cast<int32_t>(rng() % 4),
                                         actions[rng() % 3]);
        // Upgrades bought and boosts running at random.
        for (GridItem* item : grid->Items()) {
            auto* b = dynamic_cast<KivraBuilding*>(item);
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
        std::vector<Saved> before = Shown();
        before.pop_back();  // visitors are not saved
        const std::vector<std::wstring> materials = Materials();
        const auto stats = Stats();

        Leave();
        const std::vector<Saved> saved = Records(*level);
        Reenter();
        grid->StartItems();
        EXPECT_EQ(Shown(), before);
        EXPECT_EQ(Materials(), materials);
        EXPECT_EQ(Stats(), stats);
        Leave();
        EXPECT_EQ(Records(*level), saved);
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
    }
}

// A saved building comes back with its bought upgrades applied once and its
// boosts running for the time they had left; labels items.xml no longer
// defines are skipped.
TEST_F(SavedPark, UpgradesAndBoostsComeBackOnce) {
    Play(LevelBuilder(12, 12, L'_'));
    auto record = std::make_unique<KIVRA_BUILDING_LEVEL_ITEM>();
    record->type = L"hut";
    record->col = record->row = 4;
    record->upgrades = {{L"gone", true}, {L"paint", true}, {L"roof", false}};
    record->boosts = {{L"music", 300}, {L"vanished", 20}};
    level->items.Add(std::move(record));
    auto idle = std::make_unique<KIVRA_BUILDING_LEVEL_ITEM>();
    idle->type = L"wide";
    idle->col = idle->row = 9;
    idle->boosts = {{L"lights", -1}};
    level->items.Add(std::move(idle));
    Reenter();
    auto* hut = dynamic_cast<KivraBuilding*>(grid->Items()[0]);
    auto* wide = dynamic_cast<KivraBuilding*>(grid->Items()[1]);
    EXPECT_EQ(hut->UpgradesPurchased(), 1);
    EXPECT_FLOAT_EQ(hut->Appeal(), 1.0f + 2.0f + 3.0f);
    EXPECT_EQ(hut->Boosts()[0].TimeRemaining(), 300);
    EXPECT_EQ(wide->Boosts()[0].TimeRemaining(), -1);
    const int32_t capacity = wide->Capacity();
    Advance();
    EXPECT_EQ(wide->Capacity(), capacity);  // an idle boost added nothing to withdraw
    Leave();
    EXPECT_EQ(Records(*level)[0].upgrades, (std::map<std::wstring, bool>{{L"paint", true}, {L"roof", false}}));
    EXPECT_EQ(Records(*level)[0].boosts, (std::map<std::wstring, int32_t>{{L"music", 299}}));  // one step ran
}

// A park left and entered again counts each of its buildings once towards
// the goals; an objective completed stays completed.
TEST_F(SavedPark, EnteringAgainCountsEachBuildingOnce) {
    EnterPark(LevelBuilder(12, 12, L'_').Item(L"hut", 3, 3, 1).Item(L"hut", 7, 7, 1).Item(L"flowers_red", 9, 2, 1), 0);
    MagazineRecord magazine{L"m", {ChallengeRecord{}}};
    magazine.challenges[0].unlocked = true;
    for (const auto& [type, amount] : {std::pair{L"hut", 3}, std::pair{L"flowers_red", 1}}) {
        ObjectiveRecord objective;
        objective.check = L"buildings_exist";
        objective.type = type;
        objective.amount = amount;
        magazine.challenges[0].objectives.push_back(objective);
    }
    std::wstring chosen;
    level->goals_tracker.AddMagazine(magazine, chosen);
    Leave();
    Reenter();
    const auto& objectives = level->goals_tracker.ObjectivesOf(KivraGoalTracker::kBuildings);
    auto& huts = dynamic_cast<BuildingsExist&>(*objectives[0]);
    auto& flowers = dynamic_cast<BuildingsExist&>(*objectives[1]);
    ASSERT_TRUE(flowers.completed);
    for (int visit = 0; visit < 3; ++visit) {
        Leave();
        Reenter();
        EXPECT_EQ(huts.CountedBuildings(), 2u);
        EXPECT_FALSE(huts.completed);
        EXPECT_TRUE(flowers.completed);
    }
}

// Spots laid while the park's items are placed (a saved open gate opens
// again) stay beside the level's own, each listed once.
TEST_F(SavedPark, SpawnSpotsLaidWhilePlacingStay) {
    class GateLikePark : public testsupport::OpenParkGrid {
        GridItem* PlaceLevelItem(const LEVEL_ITEM& record) override {
            AddSpawnSpot({5, 5});
            AddSpawnSpot({1, 1});
            return OpenParkGrid::PlaceLevelItem(record);
        }
    };
    Play(LevelBuilder(12, 12, L'_').Item(L"hut", 3, 3, 1));
    level->spawn_points = {{1, 1}, {2, 1}};
    for (int visit = 0; visit < 2; ++visit) {
        grid = new GateLikePark();
        mgr.AddWidget(grid);
        EXPECT_EQ(grid->SpawnSpotList(), (std::vector<TilePoint>{{1, 1}, {2, 1}, {5, 5}}));
        Leave();
    }
}

}  // namespace
