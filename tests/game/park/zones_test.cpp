// The park's zones on stand-in buildings: neighbours, buffs and clashes with
// the active-flag split, combinations and their offsets, learning, goal
// counts and popups, and join-then-leave identity over random parks. Then on
// the park grid with its own buildings: zones formed, grown, split and
// dissolved by placing and removing, the park's start and end, and the
// announcement of a new combination.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "foundation/expression/localization_map.h"
#include "game/data/catalogues/game_stats.h"
#include "game/data/progress/resource_range.h"
#include "game/park/parkgrid/park_zones.h"
#include "tests/game/park/park_grid_bench.h"
#include "tests/game/park/zone_test_park.h"

namespace {

using testsupport::ShownPopup;
using testsupport::ZoneTestBuilding;
using testsupport::ZoneTestPark;

TileRect At(int32_t col, int32_t row, int32_t size = 1) { return {col, row, size, size}; }

std::vector<std::wstring> Names(const std::vector<ShownPopup>& popups) {
    std::vector<std::wstring> names;
    for (const ShownPopup& p : popups) names.push_back(std::to_wstring(p.over) + L":" + p.animation);
    return names;
}

const PropertyValue* Variable(const ShownPopup& popup, std::wstring_view name) {
    for (const auto& [key, value] : popup.variables) {
        if (key == name) return &value;
    }
    return nullptr;
}

class ZonesTest : public ::testing::Test {
protected:
    ZoneTestPark park;
    ParkZones zones{park};
};

TEST_F(ZonesTest, NeighboursShareAZoneTileCornersIncluded) {
    // Zone 1 around a 2x2 footprint anchored at (5,5) spans columns and rows 3..6.
    ZoneTestBuilding& a = park.Add(1, L"a", L"ride", At(5, 5, 2));
    const struct {
        TileRect footprint;
        bool neighbours;  // zones share a tile
        bool contained;   // a's zone holds the footprint
    } cases[] = {
        {At(3, 3), true, true},   {At(2, 2), true, false},  {At(7, 5), true, false},
        {At(7, 7), true, false},  {At(8, 8), false, false}, {At(9, 9), false, false},
        {At(9, 4), false, false}, {At(6, 6), true, true},   {At(6, 2), true, false},
    };
    for (const auto& c : cases) {
        ZoneTestBuilding b(2, L"b", L"ride", c.footprint, 1, &park.started);
        EXPECT_EQ(a.ZoneOverlaps(b), c.neighbours) << c.footprint.col << "," << c.footprint.row;
        EXPECT_EQ(b.ZoneOverlaps(a), c.neighbours);
        EXPECT_EQ(a.ZoneContains(b), c.contained) << c.footprint.col << "," << c.footprint.row;
    }
    ZoneTestBuilding& corner = park.Add(3, L"c", L"ride", At(7, 7));  // zones meet at tile (6,6) only
    ZoneTestBuilding& apart = park.Add(4, L"d", L"ride", At(9, 9));
    park.Start(zones);
    EXPECT_EQ(a.Neighbours(), (std::vector<ZoneBuilding*>{&corner}));
    EXPECT_EQ(corner.Neighbours(), (std::vector<ZoneBuilding*>{&a, &apart}));
    EXPECT_EQ(park.stamps, (std::vector<std::wstring>{L"+1", L"+3", L"+4"}));
}

// Noisy beside quiet, each giving a buff (the quiet one a useless negative
// one), placed at the park's start (inactive) and later (active): the same
// appeal either way, each buff and each penalty taken exactly once.
TEST_F(ZonesTest, BuffAndClashSplitByTheActiveFlag) {
    ZoneTestBuilding& noisy = park.Add(1, L"drum", L"ride", At(2, 2));
    ZoneTestBuilding& quiet = park.Add(2, L"pond", L"ride", At(3, 3));
    noisy.characteristics.AddCharacteristic(L"noisy");
    quiet.characteristics.AddCharacteristic(L"quiet");
    noisy.buff = 1.0f;
    quiet.buff = -0.5f;

    zones.UpdateZones(noisy, false);  // inactive: gives its buff, takes its penalty, nothing more
    EXPECT_EQ(quiet.appeal, 1.0f);
    EXPECT_EQ(noisy.appeal, -0.25f);
    zones.UpdateZones(quiet, false);
    EXPECT_EQ(quiet.appeal, 0.75f);
    EXPECT_EQ(noisy.appeal, -0.25f);

    park.started = true;
    park.Lift(zones, quiet, false);
    EXPECT_EQ(quiet.appeal, 0.0f);
    EXPECT_EQ(noisy.appeal, 0.0f);
    EXPECT_TRUE(noisy.Neighbours().empty());

    park.popups.clear();
    park.Place(zones, quiet, true);  // active: both sides in one call
    EXPECT_EQ(quiet.appeal, 0.75f);
    EXPECT_EQ(noisy.appeal, -0.25f);
    ASSERT_EQ(Names(park.popups),
              (std::vector<std::wstring>{L"2:show_appeal_up", L"1:show_appeal_down", L"2:show_appeal_down"}));
    EXPECT_EQ(Variable(park.popups[1], L"clash")->ToString(), L"noisy");
    EXPECT_EQ(Variable(park.popups[2], L"clash")->ToString(), L"quiet");

    park.popups.clear();
    park.Lift(zones, quiet, true);  // the removed building gets no popup, and no clash is named
    EXPECT_EQ(Names(park.popups), (std::vector<std::wstring>{L"1:show_appeal_up"}));
    EXPECT_EQ(noisy.appeal, 0.0f);
}

TEST_F(ZonesTest, DecorationsShowLossesOnlyWithTheirClash) {
    park.started = true;
    ZoneTestBuilding& hedge = park.Make(1, L"hedge", L"decoration", At(2, 2));
    ZoneTestBuilding& lamp = park.Make(2, L"lamp", L"food", At(3, 3));
    hedge.characteristics.AddCharacteristic(L"dark");
    lamp.characteristics.AddCharacteristic(L"bright");
    lamp.buff = 0.5f;
    park.Place(zones, hedge, false);
    park.Place(zones, lamp, true);
    // The hedge's raised appeal (the lamp's buff) shows nothing: decorations show only clashes.
    ASSERT_EQ(Names(park.popups), (std::vector<std::wstring>{L"1:show_appeal_down", L"2:show_appeal_down"}));
    EXPECT_TRUE(Variable(park.popups[0], L"hide_appeal")->ToBool());
    EXPECT_EQ(Variable(park.popups[0], L"clash")->ToString(), L"dark");
    EXPECT_EQ(Variable(park.popups[1], L"hide_appeal"), nullptr);
    // Taking the lamp away takes its buff from the hedge: no clash names, so no popup.
    park.popups.clear();
    park.Lift(zones, lamp, true);
    EXPECT_TRUE(park.popups.empty());
    EXPECT_EQ(hedge.appeal, 0.0f);
}

class ComboTest : public ZonesTest {
protected:
    ComboTest() {
        park.started = true;
        park.Define(L"garden", 5, {L"swing", L"slide", L"cafe"});
        swing = &park.Make(30, L"swing", L"ride", At(2, 2));
        slide = &park.Make(20, L"slide", L"ride", At(3, 3));
        cafe = &park.Make(10, L"cafe", L"food", At(3, 2));
        for (ZoneTestBuilding* b : {swing, slide, cafe}) b->ticketPrice = 7;
    }
    // The last one placed shows its popups when asked.
    void PlaceTriple(bool lastShows = false) {
        for (ZoneTestBuilding* b : {swing, slide, cafe}) park.Place(zones, *b, lastShows && b == cafe);
    }
    ZoneTestBuilding* swing;
    ZoneTestBuilding* slide;
    ZoneTestBuilding* cafe;
};

// Whichever building comes last, the triple forms once, its members in
// widget-id order (not memory or placement order), and every clause of
// forming: offsets, fee, learning, goal count and popups.
TEST_F(ComboTest, ATripleFormsOnceWhicheverComesLast) {
    std::vector<ZoneTestBuilding*> order{swing, slide, cafe};
    std::sort(order.begin(), order.end());
    do {
        ZoneTestPark fresh;
        fresh.started = true;
        fresh.Define(L"garden", 5, {L"swing", L"slide", L"cafe"});
        ParkZones z(fresh);
        for (ZoneTestBuilding* b : order) fresh.Place(z, *b, b == order.back());
        ASSERT_EQ(z.Combos().size(), 1u);
        EXPECT_EQ(z.Combos()[0]->Members(), (std::vector<ZoneBuilding*>{cafe, slide, swing}));
        EXPECT_EQ(z.Members(), (std::vector<ZoneBuilding*>{cafe, slide, swing}));
        EXPECT_EQ(swing->ticketPrice, 12);
        EXPECT_EQ(cafe->costPerUse, 5);
        EXPECT_EQ(cafe->ticketPrice, 7);
        EXPECT_EQ(fresh.level.ticketprice, 21 + 10);
        EXPECT_EQ(fresh.announced, (std::vector<std::wstring>{L"garden"}));
        EXPECT_EQ(fresh.CountedZones(), 1u);
        // The pair reached again along the other chain is no near miss: no "show_compatible".
        const std::vector<std::wstring> shown{L"10:show_profits_up",  L"20:show_profits_up",  L"30:show_profits_up",
                                              L"10:show_zonecreated", L"20:show_zonecreated", L"30:show_zonecreated"};
        EXPECT_EQ(Names(fresh.popups), shown);
        EXPECT_EQ(Variable(fresh.popups.back(), L"label")->ToString(), L"L:gardenx1;");
        for (ZoneTestBuilding* b : order) fresh.Lift(z, *b, false);
        EXPECT_EQ(swing->ticketPrice, 7);
        EXPECT_EQ(cafe->costPerUse, 0);
        EXPECT_EQ(fresh.level.ticketprice, 0);
        EXPECT_EQ(fresh.CountedZones(), 0u);
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(ZonesChain, EndsOutOfEachOthersZoneFormNothingButShowCompatible) {
    ZoneTestPark line;
    line.started = true;
    line.Define(L"garden", 5, {L"swing", L"slide", L"cafe"});
    ZoneTestBuilding& x = line.Make(1, L"swing", L"ride", At(0, 0), 2);
    ZoneTestBuilding& y = line.Make(2, L"slide", L"ride", At(2, 0), 2);
    ZoneTestBuilding& z = line.Make(3, L"cafe", L"food", At(4, 0), 2);
    ParkZones lineZones(line);
    line.Place(lineZones, x, false);
    line.Place(lineZones, y, false);
    line.Place(lineZones, z, true);
    EXPECT_TRUE(lineZones.Combos().empty());
    EXPECT_TRUE(x.ZoneOverlaps(z));
    EXPECT_EQ(Names(line.popups), (std::vector<std::wstring>{L"3:show_compatible", L"2:show_compatible"}));
}

TEST_F(ComboTest, LearnedOnceResearchDroppedAndGoneWithAMember) {
    RESEARCH_OPTION teach;
    teach.effect = RESEARCH_OPTION::kLearnCombo;
    teach.param = L"garden";
    RESEARCH_OPTION other = teach;
    other.param = L"fair";
    park.level.available_research = {other, teach};
    park.level.bought_research = {teach, teach};
    PlaceTriple();
    EXPECT_EQ(park.level.available_research.size(), 1u);
    EXPECT_EQ(park.level.available_research[0].param, L"fair");
    EXPECT_EQ(park.level.bought_research.size(), 1u);
    EXPECT_TRUE(park.level.learned_combos.count(L"garden"));

    // Picking up a member: the zone, its count and every offset go; no popup over the member.
    park.popups.clear();
    park.Lift(zones, *slide, true);
    EXPECT_TRUE(zones.Combos().empty());
    EXPECT_TRUE(swing->Combos().empty());
    EXPECT_EQ(park.CountedZones(), 0u);
    EXPECT_EQ(park.level.ticketprice, 14);
    EXPECT_EQ(Names(park.popups), (std::vector<std::wstring>{L"10:show_profits_down", L"30:show_profits_down"}));

    // A held building stays out of the zones.
    park.held = cafe;
    zones.RemoveFromZones(*cafe, false);
    EXPECT_EQ(cafe->Neighbours().size(), 1u);
    park.held = nullptr;
}

// The research given back for a zone formed first by building saturates as
// every other sum of money and hearts does: near the top it wrapped to debt.
TEST_F(ComboTest, TheResearchGivenBackStopsAtTheTopOfTheRange) {
    RESEARCH_OPTION teach;
    teach.effect = RESEARCH_OPTION::kLearnCombo;
    teach.param = L"garden";
    teach.coincost = 500;
    teach.heartcost = 3;
    park.level.bought_research = {teach};
    park.level.money = kMostResource - 100;
    park.level.hearts = kMostResource - 1;
    PlaceTriple();
    EXPECT_EQ(park.level.money, kMostResource);
    EXPECT_EQ(park.level.hearts, kMostResource);
}

TEST_F(ComboTest, BystandersCarryTheOffsetWhileTheyStandInAZone) {
    ZoneTestBuilding& early = park.Make(40, L"kiosk", L"food", At(1, 1));
    ZoneTestBuilding& late = park.Make(50, L"wheel", L"ride", At(4, 4));
    ZoneTestBuilding& free = park.Make(60, L"cart", L"food", At(7, 7));
    park.Place(zones, early, false);
    PlaceTriple();
    EXPECT_EQ(early.costPerUse, 5);
    park.Place(zones, late, false);
    park.Place(zones, free, false);
    EXPECT_EQ(late.ticketPrice, 5);
    EXPECT_EQ(park.level.ticketprice, 21 + 10 + 5);
    EXPECT_EQ(free.costPerUse, 0);
    park.Lift(zones, late, false);
    EXPECT_EQ(late.ticketPrice, 0);
    park.Lift(zones, *swing, false);
    EXPECT_EQ(early.costPerUse, 0);
    EXPECT_EQ(park.level.ticketprice, 14);
}

// Leaving twice (picked up, then removed) or joining twice took the price
// off the fee twice and linked, buffed and charged twice.
TEST_F(ComboTest, RepeatedJoinOrLeaveChangesNothing) {
    slide->buff = 0.5f;
    PlaceTriple();
    const float appeal = swing->appeal;
    zones.UpdateZones(*slide, true);
    EXPECT_EQ(swing->appeal, appeal);
    EXPECT_EQ(park.level.ticketprice, 31);
    EXPECT_EQ(zones.Combos().size(), 1u);
    EXPECT_EQ(swing->Neighbours().size(), 2u);
    park.Lift(zones, *slide, false);
    zones.RemoveFromZones(*slide, false);
    EXPECT_EQ(park.level.ticketprice, 14);
    EXPECT_EQ(swing->appeal, 0.0f);
    EXPECT_EQ(park.stamps, (std::vector<std::wstring>{L"+30", L"+20", L"+10", L"-20"}));
}

TEST_F(ComboTest, ZeroOffsetChangesNothingAndShowsNothing) {
    park.definitions[0]->money_offset = 0;
    PlaceTriple(true);
    EXPECT_EQ(zones.Combos().size(), 1u);
    EXPECT_EQ(swing->ticketPrice, 7);
    EXPECT_EQ(cafe->costPerUse, 0);
    for (const ShownPopup& p : park.popups) EXPECT_EQ(p.animation.find(L"profits"), std::wstring::npos);
}

// Random parks: started all at once, then torn down and rebuilt in random
// orders. Every statistic comes back exactly, and the built park does not
// depend on the order (values are exact binary fractions, so sums are exact).
TEST(ZonesProperty, JoinThenLeaveIsTheIdentityInAnyOrder) {
    const std::wstring types[] = {L"swing", L"slide", L"cafe", L"bench"};
    const std::wstring categories[] = {L"ride", L"food", L"decoration"};
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
        ZoneTestPark park;
        park.Define(L"garden", 3, {L"swing", L"slide", L"cafe"});
        park.Define(L"rides", -2, {L"swing", L"slide", L"bench"});
        park.Define(L"any", 1, {L"bench"}).AddType(L"cafe");
        const int count = 6 + pick(10);
        for (int i = 0; i < count; ++i) {
            auto& b =
                park.Add(100 - i * 3, types[pick(4)], categories[pick(3)], At(pick(8), pick(8), 1 + pick(2)), pick(3));
            b.characteristics = KivraCharacteristics(static_cast<uint32_t>(pick(16)));
            b.buff = 0.25f * static_cast<float>(pick(5) - 1);
            b.ticketPrice = pick(9);
            b.costPerUse = pick(4);
        }
        using Stats = std::vector<std::tuple<float, int32_t, int32_t>>;
        const auto stats = [&] {
            Stats s;
            for (const auto& b : park.owned) s.emplace_back(b->appeal, b->ticketPrice, b->costPerUse);
            return s;
        };
        const Stats bare = stats();
        ParkZones zones(park);
        park.Start(zones);
        const Stats built = stats();
        const int32_t fee = park.level.ticketprice;
        const size_t formed = zones.Combos().size();
        EXPECT_EQ(park.CountedZones(), formed);

        for (int round = 0; round < 3; ++round) {
            std::vector<ZoneTestBuilding*> order;
            for (const auto& b : park.owned) order.push_back(b.get());
            std::shuffle(order.begin(), order.end(), random);
            for (ZoneTestBuilding* b : order) park.Lift(zones, *b, pick(2) == 0);
            ASSERT_EQ(stats(), bare) << "seed " << seed;
            ASSERT_EQ(park.level.ticketprice, 0) << "seed " << seed;
            ASSERT_TRUE(zones.Combos().empty());
            ASSERT_EQ(park.CountedZones(), 0u);
            std::shuffle(order.begin(), order.end(), random);
            for (ZoneTestBuilding* b : order) park.Place(zones, *b, pick(2) == 0);
            ASSERT_EQ(stats(), built) << "seed " << seed;
            ASSERT_EQ(park.level.ticketprice, fee) << "seed " << seed;
            ASSERT_EQ(zones.Combos().size(), formed) << "seed " << seed;
            ASSERT_EQ(park.CountedZones(), formed);
            // Moving a few while the rest stand.
            std::shuffle(order.begin(), order.end(), random);
            order.resize(1 + order.size() / 3);
            for (ZoneTestBuilding* b : order) park.Lift(zones, *b, true);
            std::shuffle(order.begin(), order.end(), random);
            for (ZoneTestBuilding* b : order) park.Place(zones, *b, true);
            ASSERT_EQ(stats(), built) << "seed " << seed;
            ASSERT_EQ(park.level.ticketprice, fee) << "seed " << seed;
            ASSERT_EQ(park.CountedZones(), formed);
        }
        for (ZoneBuilding* b : park.standing) zones.RemoveFromZones(*b, false);
    }
}

// ---- On the park grid ---------------------------------------------------------

using testsupport::LevelBuilder;
using Lines = std::vector<std::wstring>;

// A hut, a bench and flowers standing in each other's zones make a "play" zone.
constexpr std::string_view kPlayZone = R"(<game><combo name="play" money_offset="2">
  <building type="hut"/><building type="bench"/><building type="flowers_red"/></combo></game>)";

class ZonesOnThePark : public testsupport::ParkGridBench {
protected:
    ZonesOnThePark() {
        std::ofstream("properties/game.xml") << kPlayZone;
        game.Load();
        LocalizationMap()[L"label_play_zone"] = L"Play";
        for (const wchar_t* popup : {L"show_profits_up", L"show_profits_down", L"show_compatible"})
            Define(popup, {Step(L"log", {{L"text", popup}})});
        Define(L"show_zonecreated", {Step(L"log", {{L"text", L"zone"}, {L"value", L"label"}}), Step(L"persist")});
    }
    ~ZonesOnThePark() override {
        // The park goes before the catalogue its zones point into.
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
        LocalizationMap().clear();
    }

    // Placed by the player; the copy handed over is put back.
    KivraBuilding* Place(const wchar_t* type, TilePoint at) {
        grid->PreviewNewBuilding(type);
        ClickAt(at);
        grid->CancelCurrentMode();
        return grid->GetTileOccupant(at);
    }
    // The display's announcements, the rest of its log dropped.
    Lines Announced() {
        Lines announced;
        for (const std::wstring& line : display.TakeLog())
            if (line.starts_with(L"brand_new_zone_callback")) announced.push_back(line);
        return announced;
    }
    size_t Zones() { return grid->GetZones().Combos().size(); }

    GameStats game;
};

// Forming, growing by a second triple, splitting and dissolving as the
// buildings come and go; learned and announced once; the offsets, the
// entry fee, the tiles' occupants and the popups over the members follow.
TEST_F(ZonesOnThePark, ZonesFormGrowSplitAndDissolve) {
    EnterPark(LevelBuilder(12, 12, L'_'), 10000);
    grid->StartItems();
    display.TakeLog();
    KivraBuilding* hut = Place(L"hut", {5, 5});
    KivraBuilding* bench = Place(L"bench", {6, 6});
    ASSERT_TRUE(hut && bench);
    EXPECT_EQ(Zones(), 0u);
    EXPECT_EQ(TakeLog(), (Lines{L"show_compatible", L"show_compatible"}));
    EXPECT_EQ(level->ticketprice, 3);

    KivraBuilding* flowers = Place(L"flowers_red", {6, 3});
    ASSERT_NE(flowers, nullptr);
    EXPECT_EQ(Zones(), 1u);
    EXPECT_EQ(Announced().size(), 1u);
    EXPECT_TRUE(level->learned_combos.contains(L"play"));
    EXPECT_EQ(hut->CostPerUse(), 2);
    EXPECT_EQ(TakeLog(), (Lines{L"show_profits_up", L"show_profits_up", L"show_profits_up", L"zone=Play", L"zone=Play",
                                L"zone=Play"}));
    // The popup stands over the visible middle of the building, above the park's items.
    const auto* popup = dynamic_cast<const AnimationWidget*>(grid->GetChildren().back());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->GetPriority(), 1048576);
    EXPECT_EQ(popup->GetX(), static_cast<int>(flowers->GetX() + flowers->GetWidth() * 0.5f));
    EXPECT_EQ(popup->GetLocalVariable(L"num_zone_tokens").ToInt(), 1);

    // While another is carried, the members show their zones.
    grid->PreviewNewBuilding(L"flowers_red");
    EXPECT_TRUE(hut->ZoneHighlighted() && bench->ZoneHighlighted() && flowers->ZoneHighlighted());
    ClickAt({5, 5});  // the hut's tile is taken
    EXPECT_EQ(grid->GetTileOccupant({5, 5}), hut);
    ClickAt({5, 6});
    grid->CancelCurrentMode();
    KivraBuilding* more = grid->GetTileOccupant({5, 6});
    ASSERT_NE(more, nullptr);
    EXPECT_FALSE(hut->ZoneHighlighted());
    EXPECT_EQ(Zones(), 2u);  // grown: a second triple shares the hut and the bench
    EXPECT_EQ(hut->CostPerUse(), 4);
    EXPECT_TRUE(Announced().empty());

    grid->RemoveWidget(flowers);  // split: the other triple stays
    EXPECT_EQ(Zones(), 1u);
    EXPECT_EQ(grid->GetTileOccupant({6, 3}), nullptr);
    EXPECT_EQ(hut->CostPerUse(), 2);
    grid->RemoveWidget(hut);  // dissolved
    EXPECT_EQ(Zones(), 0u);
    EXPECT_EQ(bench->CostPerUse(), 0);
    EXPECT_EQ(more->CostPerUse(), 0);
    EXPECT_EQ(level->ticketprice, 0);

    // Formed again: offsets and popups, but no second announcement.
    TakeLog();
    hut = Place(L"hut", {5, 5});
    EXPECT_EQ(Zones(), 1u);
    EXPECT_EQ(hut->CostPerUse(), 2);
    EXPECT_TRUE(Announced().empty());
    EXPECT_EQ(TakeLog().back(), L"zone=Play");
}

// The level's own buildings join silently when the park starts, and the park
// gives everything back when it is left. The new "play" zone is learned, but
// not announced: the tutorial's playhouse step explains it while it holds the park.
TEST_F(ZonesOnThePark, TheParkStartsWithItsLevelsZonesAndGivesThemBack) {
    EnterPark(LevelBuilder(12, 12, L'_').Item(L"hut", 5, 5, 1).Item(L"bench", 6, 6, 1).Item(L"flowers_red", 6, 3, 1),
              0);
    display.tutorialStep = L"place_playhouse";
    player->paused = true;
    grid->StartItems();
    EXPECT_EQ(Zones(), 1u);
    EXPECT_EQ(grid->GetTileOccupant({4, 4})->GetType(), L"hut");
    EXPECT_EQ(level->ticketprice, 3);
    EXPECT_TRUE(level->learned_combos.contains(L"play"));
    const Lines log = display.TakeLog();
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](auto& l) { return l.starts_with(L"brand_new_zone"); }), 0);
    EXPECT_EQ(log.back(), L"request_naming: discovered_combo=");
    EXPECT_TRUE(TakeLog().empty());  // no popups

    mgr.RemoveWidget(grid);
    EXPECT_EQ(level->ticketprice, 0);
    EXPECT_EQ(Zones(), 0u);
    EXPECT_EQ(level->items.Size(), 3u);
}

// A zone goal's hint rings the pieces of the zones this park knows (learned,
// or taught by its research), or of the zone it names: it rang the pieces
// of zones only another park knows.
TEST_F(ZonesOnThePark, AZoneHintRingsOnlyPiecesOfZonesTheParkKnows) {
    std::ofstream("properties/game.xml") << R"(<game><combo name="garden">
  <building type="wide"/><building type="oak_tree"/></combo></game>)";
    game.Load();
    EnterPark(LevelBuilder(16, 16, L'_'), 0);
    KivraBuilding* hut = grid->CreateAndPlaceBuilding(L"hut", 3, 3, 0, L"");
    KivraBuilding* wide = grid->CreateAndPlaceBuilding(L"wide", 10, 10, 0, L"");
    RESEARCH_OPTION teachesGarden;
    teachesGarden.effect = RESEARCH_OPTION::kLearnCombo;
    teachesGarden.param = L"garden";
    struct Row {
        const wchar_t* zone;
        std::vector<RESEARCH_OPTION> offered;
        bool hutRinged, wideRinged;
    };
    for (const Row& r :
         {Row{L"", {}, true, false}, Row{L"", {teachesGarden}, true, true}, Row{L"garden", {}, false, true}}) {
        level->learned_combos = {L"play"};
        level->available_research = r.offered;
        grid->ShowGoalZoneRings(r.zone);
        EXPECT_EQ(hut->ZoneHighlighted(), r.hutRinged) << r.zone << r.offered.size();
        EXPECT_EQ(wide->ZoneHighlighted(), r.wideRinged) << r.zone << r.offered.size();
        grid->HideGoalZoneRings();
    }
}

}  // namespace
