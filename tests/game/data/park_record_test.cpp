#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "foundation/expression/localization_map.h"
#include "foundation/values/field_handle.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/kivra_level_stats.h"
#include "tests/game/data/catalogue_test_support.h"
#include "tests/game/data/park_test_support.h"

namespace {

class ParkRecord : public CatalogueTest {
protected:
    ParkRecord() {
        LocalizationMap().clear();
        WriteProperty("items.xml", R"(<items><ride><building type="wheel">
            <upgrade label="lights"/><upgrade label="bulbs"/><boost label="fast"/></building></ride></items>)");
        items_.Load();
    }
    ~ParkRecord() override { LocalizationMap().clear(); }

    void Read(KivraLevelStats& stats, const std::wstring& levels) {
        stats.ParseFile(WriteFile("saved.xml", L"<profile>\n" + levels + L"</profile>\n"));
    }
    static std::wstring Write(KivraLevelStats& stats) {
        std::wstring out;
        stats.WriteLevels(out, L"\t\t");
        return out;
    }

    testsupport::LetterMaterials materials_;
    KivraItemStats items_;
    KivraLevelStats stats_;
};

// A saved park in the exact text the writer produces: every element the park
// adds to a level, texts that need escaping, an appeal between the named
// levels and counters beyond the signed range.
const std::wstring kSavedPark =
    LR"(		<level name="bay" background="bay_sky" grid_x="-2" grid_y="0" camera_x="10" camera_y="20" display_name="Bay &quot;&amp;&lt;Co&gt;" ever_been_loaded="1" sidewalk="brick" trophies_required="3" ocean="true" money="-50" hearts="7" marketing_slots="2" ticketprice_base="15" chosen_challenge="funbooks_silver" weeks_played="4">
			<marketing customer="kids" value="3"/>
			<marketing customer="teens" value="-1"/>
			<marketing customer="seniors" value="bonus"/>
			<marketing customer="adults" value="bonus"/>
			<disallow type="shack"/>
			<combo-learned name="garden"/>
			<building-type type="cart" availabletobuy="false"/>
			<building-type type="wheel" availabletobuy="true"/>
			<research name="r1" param="wheel" effect="unlock_building" coincost="100" coinincrement="50" heartcost="0" heartincrement="10" cycles="-1" tickstofinish="1500" unlocked="true" purchased="false"/>
			<research name="r2" param="garden" effect="learn_combo" coincost="4294967196" coinincrement="0" heartcost="2" heartincrement="1" cycles="0" tickstofinish="0" unlocked="false" purchased="true"/>
			<stats block="week" money_earned="10" money_spent="4294967295" hearts_earned="0" hearts_spent="1" visitors="5"/>
			<stats block="all_time" money_earned="100" money_spent="20" hearts_earned="3" hearts_spent="1" visitors="50"/>

			<magazine name="funbooks">
				<challenge unlocked="true">
					<objective check="buildings_exist" count="2" category="concession" completed="true"/>
					<reward coins="500"/>
					<reward building="wheel"/>
					<reward research="r1"/>
				</challenge>

				<challenge unlocked="true">
					<objective check="zones_exist" count="1" zone_name="a&amp;b" unique="true"/>
					<objective check="weekly_earnings" amount="300"/>
					<reward hearts="-5"/>
				</challenge>

				<challenge unlocked="false">
					<objective check="trophies_earned" count="2" type="silver"/>
					<objective check="marketing_slots" count="1"/>
					<objective check="buildings_exist" count="1" type="wheel" fully_upgraded="true" appeal="2.500000"/>
					<reward magazine="tidypure"/>
				</challenge>

			</magazine>

			<magazine name="tidypure">
				<challenge unlocked="false">
					<objective check="buildings_exist" count="1" appeal="high"/>
				</challenge>

			</magazine>

			<metric name="visits" value="3"/>
			<item type="wheel" col="1" row="2" orientation="0" action="">
				<upgrade label="bulbs" purchased="false"/>
				<upgrade label="lights" purchased="true"/>
				<boost label="fast" time_remaining="-1"/>
			</item>
			<item type="bench" col="0" row="0" orientation="1" action="sit"/>
			<tiles>
				@a
				b@
			</tiles>
		</level>

)";

TEST_F(ParkRecord, SavedParkReadsAndWritesBackByteForByte) {
    ConstantsMap()[L"appeal_high_threshold"] = PropertyValue(6.0f);
    Read(stats_, kSavedPark);
    EXPECT_EQ(Write(stats_), kSavedPark);

    const KIVRA_LEVEL& bay = *stats_.FindParkLevel(L"bay");
    EXPECT_EQ(bay.display_name, L"Bay \"&<Co>");
    EXPECT_EQ(bay.sidewalk, L'b');
    EXPECT_EQ(bay.ticketprice, 15);  // the current price starts at the base
    EXPECT_EQ(bay.stats.week.money_spent, -1);
    EXPECT_EQ(bay.bought_research.at(0).coincost, -100);
    EXPECT_EQ(bay.marketing_bonus.entries, (std::vector<std::wstring>{L"seniors", L"adults"}));
    EXPECT_EQ(bay.spawn_points, (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 1}}));
    const Challenge& gold = *bay.goals_tracker.FindChallenge(L"funbooks_gold");
    EXPECT_FLOAT_EQ(static_cast<const BuildingsExist&>(*gold.objectives[2]).appeal, 2.5f);
    const auto& tidy =
        static_cast<const BuildingsExist&>(*bay.goals_tracker.FindChallenge(L"tidypure_bronze")->objectives[0]);
    EXPECT_EQ(tidy.appeal, 6.0f);

    // A deep copy is independent and writes the same text.
    KivraLevelStats copy;
    copy.CopyLevelsFrom(stats_);
    EXPECT_EQ(Write(copy), kSavedPark);
    copy.FindParkLevel(L"bay")->goals_tracker.ActivateChallenge(L"funbooks_gold");
    EXPECT_FALSE(bay.goals_tracker.FindChallenge(L"funbooks_gold")->unlocked);
}

TEST_F(ParkRecord, MissingAttributesTakeTheirDefaults) {
    LocalizationMap()[L"land_cove"] = L"The Cove";
    ConstantsMap()[L"week_duration"] = PropertyValue(10);
    Countdown::ForgetCachedValues();
    Read(stats_,
         LR"(<level name="cove"><item type="wheel"/><stats money_earned="9"/>
        <research name="r" timetofinish="2"/><building-type type="cart"/></level>)");
    const KIVRA_LEVEL& cove = *stats_.FindParkLevel(L"cove");
    Countdown::ForgetCachedValues();
    EXPECT_EQ(cove.display_name, L"The Cove");
    EXPECT_EQ(std::tie(cove.money, cove.hearts, cove.marketing_slots), std::make_tuple(1000, 0, 1));
    EXPECT_EQ(cove.sidewalk, L'c');  // "concrete"
    EXPECT_EQ(cove.stats.allTime.money_earned, 9);
    EXPECT_EQ(cove.availability.at(L"cart"), -1);
    const RESEARCH_OPTION& r = cove.available_research.at(0);
    EXPECT_EQ(std::tie(r.coinincrement, r.heartincrement, r.cycles, r.ticks), std::make_tuple(1000, 10, 1, 2000));
    // A building saved without its improvements gets every one its type offers.
    const auto& wheel = dynamic_cast<const KIVRA_BUILDING_LEVEL_ITEM&>(*cove.items.At(0));
    EXPECT_EQ(wheel.upgrades, (std::map<std::wstring, bool>{{L"bulbs", false}, {L"lights", false}}));
    EXPECT_EQ(wheel.boosts, (std::map<std::wstring, int32_t>{{L"fast", -1}}));
}

TEST_F(ParkRecord, NamedLevelsDropRetiredContentAndRefundWhatWasBought) {
    Read(stats_,
         LR"(<level name="america" money="100" hearts="1">
        <building-type type="kiddie_ship" availabletobuy="true"/>
        <combo-learned name="spectacle"/><combo-learned name="garden"/>
        <research name="spectacle_zone" coincost="500" heartcost="2" purchased="true"/>
        <research name="kiddie_ship" coincost="70" purchased="false"/>
        <research name="other" coincost="5" purchased="true"/>
        <magazine name="vacationspot"><challenge/><challenge><reward building="kiddie_ship"/></challenge>
          <challenge><reward building="kiddie_ship"/><reward building="kiddie_ship"/><reward building="carousel"/></challenge>
          <challenge><reward building="kiddie_ship"/></challenge></magazine>
        <magazine name="tidypure"><challenge/><challenge/><challenge><reward research="spectacle_zone"/></challenge>
        </magazine></level>
      <level name="forest"><combo-learned name="splash"/><research name="splash_zone" coincost="9"/>
        <magazine name="splashresort"><challenge/><challenge><reward research="x"/><reward research="splash_zone"/>
        </challenge></magazine></level>
      <level name="forest2"/>)");
    const KIVRA_LEVEL& america = *stats_.FindParkLevel(L"america");
    EXPECT_EQ(std::tie(america.money, america.hearts), std::make_tuple(600, 3));
    EXPECT_EQ(america.learned_combos, (std::set<std::wstring>{L"garden"}));
    EXPECT_TRUE(america.available_research.empty());
    ASSERT_EQ(america.bought_research.size(), 1u);
    const KivraGoalTracker& goals = america.goals_tracker;
    EXPECT_EQ(goals.FindChallenge(L"vacationspot_silver")->buildingRewards,
              (std::vector<std::wstring>{L"kiddie_ship"}));
    // Each reward element is checked as it is read: both kiddie_ship rewards went.
    EXPECT_EQ(goals.FindChallenge(L"vacationspot_gold")->buildingRewards, (std::vector<std::wstring>{L"carousel"}));
    EXPECT_TRUE(goals.FindChallenge(L"tidypure_gold")->researchRewards.empty());
    const KIVRA_LEVEL& forest = *stats_.FindParkLevel(L"forest");
    EXPECT_TRUE(forest.learned_combos.empty() && forest.available_research.empty());
    EXPECT_EQ(forest.money, 1000);  // not bought: nothing to pay back
    EXPECT_EQ(forest.goals_tracker.FindChallenge(L"splashresort_silver")->researchRewards,
              (std::vector<std::wstring>{L"x"}));
    EXPECT_EQ(forest.availability.at(L"shootinggallery"), 1);
    EXPECT_FALSE(stats_.FindParkLevel(L"forest2")->availability.contains(L"shootinggallery"));
}

TEST_F(ParkRecord, NamedLevelsKeepWhatTheCorrectionsDoNotName) {
    Read(stats_,
         LR"(<level name="america"><building-type type="kiddie_ship" availabletobuy="false"/>
        <research name="kiddie_ship"/>
        <magazine name="vacationspot"><challenge/><challenge/>
          <challenge><reward building="carousel"/><reward research="kiddie_ship"/></challenge></magazine></level>
      <level name="forest"><building-type type="shootinggallery" availabletobuy="0"/></level>)");
    const KIVRA_LEVEL& america = *stats_.FindParkLevel(L"america");
    EXPECT_EQ(america.available_research.size(), 1u);
    const Challenge& gold = *america.goals_tracker.FindChallenge(L"vacationspot_gold");
    EXPECT_EQ(gold.buildingRewards, (std::vector<std::wstring>{L"carousel"}));
    EXPECT_EQ(gold.researchRewards, (std::vector<std::wstring>{L"kiddie_ship"}));
    EXPECT_EQ(stats_.FindParkLevel(L"forest")->availability.at(L"shootinggallery"), 0);
}

TEST_F(ParkRecord, StatisticsHandlesFollowTheLiveCounters) {
    Read(stats_, LR"(<level name="bay"><stats block="week" visitors="4"/></level>)");
    KIVRA_LEVEL& bay = *stats_.FindParkLevel(L"bay");
    ExtendedPropertyInterface* week = bay.GetProperty(L"week_stats").ToPropertyInterface();
    ASSERT_EQ(week, &bay.stats.week);
    const int32_t handle = week->GetProperty(L"visitors_ptr").ToInt();
    EXPECT_EQ(FieldHandle::ReadInt(handle), 4);
    bay.stats.week.visitors = 9;
    EXPECT_EQ(FieldHandle::ReadInt(handle), 9);
    EXPECT_EQ(week->GetProperty(L"visitors").ToInt(), 9);
    EXPECT_EQ(bay.stats.week.Reset(), 0);
    EXPECT_EQ(FieldHandle::ReadInt(handle), 0);
}

TEST_F(ParkRecord, BonusListViewResetsAnIndexPastTheEnd) {
    StatsQuery<std::wstring> bonus;
    EXPECT_EQ(bonus.GetProperty(L"current").ToString(), L"");  // empty: no entry to read
    EXPECT_TRUE(bonus.GetProperty(L"is_last").ToBool());
    bonus.entries = {L"kids", L"teens"};
    bonus.index = 5;
    EXPECT_EQ(bonus.GetProperty(L"current").ToString(), L"kids");
    EXPECT_EQ(bonus.GetProperty(L"index").ToInt(), 0);
    EXPECT_TRUE(bonus.GetProperty(L"is_first").ToBool());
    bonus.index = 1;
    EXPECT_TRUE(bonus.GetProperty(L"is_last").ToBool());
    EXPECT_EQ(bonus.GetProperty(L"1").ToString(), L"teens");
    EXPECT_FALSE(bonus.GetProperty(L"2").ToBool());
}

TEST_F(ParkRecord, RereadingAMagazineOfTheSameNameReplacesItsGoalsWhole) {
    Read(stats_,
         LR"(<level name="bay">
        <magazine name="m"><challenge unlocked="1"><objective check="weekly_earnings" amount="5"/></challenge></magazine>
        <magazine name="m"><challenge unlocked="1"><objective check="zones_exist"/></challenge></magazine></level>)");
    KivraGoalTracker& goals = stats_.FindParkLevel(L"bay")->goals_tracker;
    EXPECT_TRUE(goals.ObjectivesOf(KivraGoalTracker::kEarnings).empty());
    goals.OnMoneyEarned(10);  // the replaced objective is gone, not left pointing at a deleted challenge
    testsupport::TestZone zone(L"z");
    goals.OnZoneCreated(zone);
    EXPECT_TRUE(goals.FindChallenge(L"m_bronze")->completed);
}

TEST(ShippedParks, EveryShippedLevelReadsAsAParkAndWritesBackUnchanged) {
    testsupport::CurrentDirectoryGuard cwd(HALVARO_SOURCE_DIR "/data");
    testsupport::ErrorBoxRecorder services;
    ConstantsMap().clear();
    KivraItemStats items;
    items.Load();
    KivraLevelStats levels;
    levels.Load();
    ASSERT_GE(levels.Levels().Size(), 2u);
    for (const auto& [name, record] : levels.Levels()) {
        const auto& level = dynamic_cast<const KIVRA_LEVEL&>(*record);
        size_t spawns = 0;
        for (const auto& column : level.tiles)
            spawns += static_cast<size_t>(std::count(column.begin(), column.end(), L'@'));
        EXPECT_EQ(level.spawn_points.size(), spawns) << text::ToUtf8(name);
        for (const auto& item : level.items)
            EXPECT_NE(dynamic_cast<const KIVRA_BUILDING_LEVEL_ITEM*>(item.get()), nullptr) << text::ToUtf8(item->type);
    }
    std::wstring written;
    levels.WriteLevels(written, L"\t");
    testsupport::TempFolder folder;
    testsupport::WriteBytes(folder.Path() / "parks.xml", text::ToUtf8(L"<levels>\n" + written + L"</levels>\n"));
    KivraLevelStats again;
    again.ParseFile((folder.Path() / "parks.xml").string());
    std::wstring rewritten;
    again.WriteLevels(rewritten, L"\t");
    EXPECT_EQ(rewritten, written);
    EXPECT_TRUE(services.boxes.empty());
    ConstantsMap().clear();
}

}  // namespace
