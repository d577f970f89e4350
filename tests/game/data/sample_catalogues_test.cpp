// The sample catalogues (fixtures/sample): they load without complaint,
// agree with each other, and the levels survive a write and a re-read.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "game/data/catalogues/game_stats.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/level_stats.h"
#include "tests/game/data/catalogue_test_support.h"

namespace {

using testsupport::PlacedType;

class SampleCatalogues : public ::testing::Test {
protected:
    SampleCatalogues() : cwd_(HALVARO_TEST_DATA_DIR "/sample") {
        ConstantsMap().clear();
        items_.Load();
        game_.Load();
        levels_.Load();
    }
    const KIVRA_BUILDING_TYPE& Building(std::wstring_view name) {
        auto* record = dynamic_cast<KIVRA_BUILDING_TYPE*>(FindRecordByName(&items_, name));
        EXPECT_NE(record, nullptr) << text::ToUtf8(name);
        return *record;
    }
    bool Matches(std::wstring_view combo, std::initializer_list<std::wstring_view> types) {
        std::vector<PlacedType> placed;
        for (std::wstring_view type : types) placed.emplace_back(Building(type));
        std::vector<const ComboBuilding*> group;
        for (const PlacedType& p : placed) group.push_back(&p);
        return game_.FindCombo(combo)->MatchesBuildings(group, {});
    }

    testsupport::CurrentDirectoryGuard cwd_;
    testsupport::ErrorBoxRecorder services_;
    KivraItemStats items_;
    GameStats game_;
    LevelStats levels_;
};

TEST_F(SampleCatalogues, ItemsHoldEveryGroupDoorsImprovementsAndVisitors) {
    EXPECT_TRUE(services_.boxes.empty());
    std::set<std::wstring> groups;
    int persons = 0;
    for (const auto& [name, record] : items_.Types()) {
        if (dynamic_cast<KIVRA_PERSON_TYPE*>(record))
            ++persons;
        else
            groups.insert(record->category);
    }
    EXPECT_EQ(groups, (std::set<std::wstring>{L"attraction", L"restaurant", L"ride", L"snack", L"store"}));
    EXPECT_EQ(persons, 2);
    const KIVRA_BUILDING_TYPE& kettle = Building(L"spinning_kettle");
    EXPECT_EQ(std::tie(kettle.width, kettle.height), std::make_tuple(2, 2));
    EXPECT_EQ(kettle.doors, (std::vector<Door>{{1, -1, L'd'}}));
    EXPECT_EQ(kettle.upgrades.size(), 2u);
    EXPECT_EQ(kettle.boosts.size(), 1u);
    const auto* stroller = dynamic_cast<KIVRA_PERSON_TYPE*>(FindRecordByName(&items_, L"stroller"));
    ASSERT_NE(stroller, nullptr);
    EXPECT_EQ(stroller->preferred_categories, (std::set<std::wstring>{L"restaurant", L"snack"}));
}

TEST_F(SampleCatalogues, CombosNameRealBuildingsAndMatchThem) {
    for (const auto& combo : game_.Combos()) {
        if (combo->RequirementKind() != KivraComboStats::kTypes) continue;
        for (const std::wstring& type : *combo->RequirementList()) EXPECT_NE(FindRecordByName(&items_, type), nullptr);
    }
    EXPECT_TRUE(Matches(L"fairground_row", {L"pretzel_cart", L"lemonade_stand", L"pretzel_cart"}));
    EXPECT_TRUE(Matches(L"food_court", {L"noodle_house", L"pretzel_cart"}));
    EXPECT_FALSE(Matches(L"food_court", {L"lemonade_stand", L"pretzel_cart"}));
    EXPECT_TRUE(Matches(L"lantern_lane", {L"lantern_garden"}));
    EXPECT_FALSE(Matches(L"lantern_lane", {L"lantern_garden", L"mirror_hall"}));
    EXPECT_TRUE(Matches(L"thrill_corner", {L"spinning_kettle", L"sky_swing"}));
}

TEST_F(SampleCatalogues, LevelsPlaceKnownBuildingsAndRoundTrip) {
    ASSERT_GE(levels_.Levels().Size(), 2u);
    for (const auto& [name, level] : levels_.Levels()) {
        int spawns = 0;
        for (const auto& column : level->tiles)
            spawns += static_cast<int>(std::count(column.begin(), column.end(), L'@'));
        EXPECT_GT(spawns, 0) << text::ToUtf8(name);
        EXPECT_FALSE(level->goals.Empty());
        for (const auto& item : level->items)
            EXPECT_NE(dynamic_cast<KIVRA_BUILDING_TYPE*>(FindRecordByName(&items_, item->type)), nullptr);
    }
    std::wstring written;
    levels_.WriteLevels(written, L"\t");
    testsupport::TempFolder folder;
    const auto path = folder.Path() / "levels.xml";
    testsupport::WriteBytes(path, text::ToUtf8(L"<levels>\n" + written + L"</levels>\n"));
    LevelStats again;
    again.ParseFile(path.string());
    std::wstring rewritten;
    again.WriteLevels(rewritten, L"\t");
    EXPECT_EQ(rewritten, written);
    EXPECT_FLOAT_EQ(FindRecordByName(&again, L"meadow_park")->goals.At(2)->requirement, 1500000.0f);
    EXPECT_TRUE(services_.boxes.empty());
}

}  // namespace
