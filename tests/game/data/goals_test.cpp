#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/expression/localization_map.h"
#include "game/data/progress/kivra_level_stats.h"
#include "tests/game/data/catalogue_test_support.h"
#include "tests/game/data/park_test_support.h"

namespace {

using testsupport::TestBuilding;
using testsupport::TestHud;
using testsupport::TestParkPlayer;
using testsupport::TestZone;
using Payment = TestParkPlayer::Payment;

class Goals : public CatalogueTest {
protected:
    Goals() { LocalizationMap().clear(); }
    ~Goals() override { LocalizationMap().clear(); }

    KIVRA_LEVEL& Read(const std::string& levelBody) {
        stats_.ParseFile(
            WriteFile("level.xml", text::FromUtf8("<levels><level name=\"bay\">" + levelBody + "</level></levels>")));
        KIVRA_LEVEL* level = stats_.FindParkLevel(L"bay");
        EXPECT_NE(level, nullptr);
        return *level;
    }
    static Challenge& Chal(KIVRA_LEVEL& level, std::wstring_view name) {
        Challenge* challenge = level.goals_tracker.FindChallenge(name);
        EXPECT_NE(challenge, nullptr) << text::ToUtf8(name);
        return *challenge;
    }

    KivraLevelStats stats_;
};

// Three metals of one magazine and a second magazine unlocked by the silver
// reward. Building the second concession wins bronze; its coins feed the
// weekly earnings that, with the zone built while silver was locked, win
// silver at its activation; the two trophies then win gold.
constexpr const char* kFunbooks = R"(
    <magazine name="funbooks">
        <challenge unlocked="true">
            <objective check="buildings_exist" category="concession" count="2"/>
            <reward coins="500" building="wheel"/><reward research="r1"/><reward research="unknown"/>
        </challenge>
        <challenge>
            <objective check="zones_exist"/>
            <objective check="weekly_earnings" amount="300"/>
            <reward hearts="5" magazine="tidypure"/>
        </challenge>
        <challenge>
            <objective check="trophies_earned" count="2"/>
            <reward coins="100"/>
        </challenge>
    </magazine>
    <magazine name="tidypure">
        <challenge><objective check="buildings_exist" type="wheel"/><reward coins="40"/></challenge>
    </magazine>
    <research name="r1" effect="unlock_building" param="wheel"/>)";

TEST_F(Goals, EventsWinEveryMetalOnceAndPayEachRewardExactlyOnce) {
    ConstantsMap()[L"v1_3_hearts_patch_silver"] = PropertyValue(2);
    KIVRA_LEVEL& level = Read(kFunbooks);
    TestParkPlayer player(&level);
    TestHud hud;
    EXPECT_EQ(level.chosen_challenge, L"funbooks_bronze");  // the first unlocked open challenge
    const int32_t money = level.money;

    TestBuilding snack(L"cart", L"snack"), restaurant(L"diner", L"restaurant"), store(L"shop", L"store");
    TestZone garden(L"garden");
    KivraGoalTracker& goals = level.goals_tracker;
    goals.OnZoneCreated(garden);  // silver is locked: counted, not completed
    EXPECT_FALSE(Chal(level, L"funbooks_silver").objectives[0]->completed);
    goals.OnBuildingChanged(snack);
    goals.OnBuildingChanged(snack);  // the same building counts once
    goals.OnBuildingChanged(store);  // not a concession
    EXPECT_TRUE(player.payments.empty());
    goals.OnBuildingChanged(restaurant);

    for (const wchar_t* metal : {L"funbooks_bronze", L"funbooks_silver", L"funbooks_gold"})
        EXPECT_TRUE(Chal(level, metal).completed) << text::ToUtf8(metal);
    // Bronze pays before it activates silver, silver before gold.
    EXPECT_EQ(player.payments, (std::vector<Payment>{{L"money", 500},
                                                     {L"hearts", 0},
                                                     {L"money", 0},
                                                     {L"hearts", 7},  // 5 and the silver patch
                                                     {L"money", 100},
                                                     {L"hearts", 0}}));
    EXPECT_EQ(level.money, money + 600);
    EXPECT_EQ(level.availability.at(L"wheel"), 1);
    EXPECT_TRUE(level.available_research.at(0).unlocked);
    EXPECT_TRUE(Chal(level, L"tidypure_bronze").unlocked);
    EXPECT_FALSE(Chal(level, L"tidypure_bronze").completed);
    EXPECT_EQ(goals.GetCompletionPercent(), 75);
    EXPECT_EQ(goals.IsAllCompleted(), 0);

    // Only the chosen challenge shows its splash, with its own prizes.
    EXPECT_EQ(hud.Count(L"show_won_trophy_splash"), 1);
    const VariableMap& locals = hud.widget.Variables();
    EXPECT_EQ(locals.at(L"trophychal").ToString(), L"bronze");
    EXPECT_EQ(locals.at(L"trophymag").ToString(), L"funbooks");
    EXPECT_EQ(locals.at(L"moneyprize").ToInt(), 500);
    EXPECT_EQ(locals.at(L"buildingprize").ToString(), L"wheel");
    EXPECT_EQ(locals.at(L"researchunlock").ToString(), L"r1");
    EXPECT_FALSE(locals.contains(L"heartprize"));
    EXPECT_FALSE(locals.contains(L"magazineunlock"));

    // The debug completion wins what is left, once; won challenges pay nothing again.
    player.payments.clear();
    goals.CompleteAllObjectives();
    goals.CompleteAllObjectives();
    EXPECT_EQ(player.payments, (std::vector<Payment>{{L"money", 40}, {L"hearts", 0}}));
    EXPECT_EQ(goals.IsAllCompleted(), 2);
    EXPECT_EQ(goals.IsAllCompleted(), 1);
    EXPECT_EQ(level.GetProperty(L"completion_percent").ToInt(), 100);
    EXPECT_EQ(level.GetProperty(L"trophies_earned").ToInt(), 4);
}

// Trophies won before a save still count for a trophies goal after it is
// read back: a goal of as many trophies as the level's other challenges
// stays within reach. A challenge of no known objective won nothing.
TEST_F(Goals, TrophiesWonBeforeASaveCountAfterItIsReadBack) {
    KIVRA_LEVEL& level = Read(R"(
        <magazine name="m">
            <challenge unlocked="true"><objective check="buildings_exist" type="a"/></challenge>
            <challenge><objective check="buildings_exist" type="b"/></challenge>
            <challenge><objective check="buildings_exist" type="c"/></challenge>
        </magazine>
        <magazine name="n"><challenge unlocked="true"><objective check="unknown"/></challenge></magazine>
        <magazine name="t"><challenge unlocked="true">
            <objective check="trophies_earned" count="3"/><objective check="trophies_earned" type="silver" count="2"/>
        </challenge></magazine>)");
    TestParkPlayer player(&level);
    TestBuilding a(L"a", L"ride"), b(L"b", L"ride"), c(L"c", L"ride");
    level.goals_tracker.OnBuildingChanged(a);
    level.goals_tracker.OnBuildingChanged(b);
    auto trophies = [](KIVRA_LEVEL& l) {
        const auto& goal = Chal(l, L"t_bronze").objectives;
        return std::pair{static_cast<TrophiesEarned&>(*goal[0]).Trophies(),
                         static_cast<TrophiesEarned&>(*goal[1]).Trophies()};
    };
    EXPECT_EQ(trophies(level), std::pair(2, 1));

    std::wstring written;
    stats_.WriteLevels(written, L"\t");
    KivraLevelStats again;
    again.ParseFile(WriteFile("saved.xml", L"<levels>\n" + written + L"</levels>\n"));
    KIVRA_LEVEL& read = *again.FindParkLevel(L"bay");
    EXPECT_EQ(trophies(read), trophies(level));
    TestParkPlayer back(&read);
    read.goals_tracker.OnBuildingChanged(c);
    EXPECT_TRUE(Chal(read, L"m_gold").completed);
    EXPECT_TRUE(Chal(read, L"t_bronze").objectives[0]->completed);
    EXPECT_FALSE(Chal(read, L"t_bronze").objectives[1]->completed);
}

TEST_F(Goals, TutorialAtThePlayhouseStepHoldsBackTheFirstSplash) {
    for (const auto& [step, splashes] :
         {std::pair{std::optional<std::wstring>(L"place_playhouse"), 0},
          std::pair{std::optional<std::wstring>(L"open_park"), 1}, std::pair{std::optional<std::wstring>(), 1}}) {
        KivraLevelStats stats;
        stats.ParseFile(WriteFile("l.xml",
                                  LR"(<level name="bay"><magazine name="funbooks"><challenge unlocked="1">
            <objective check="weekly_earnings" amount="10"/><reward hearts="3"/></challenge></magazine></level>)"));
        KIVRA_LEVEL& level = *stats.FindParkLevel(L"bay");
        TestParkPlayer player(&level);
        TestHud hud;
        hud.tutorialStep = step;
        hud.widget.Variables()[L"goals_goals_list_aggregate"] = PropertyValue(true);
        hud.widget.Variables()[L"goals_present_goal_aggregate"] = PropertyValue(true);
        level.goals_tracker.OnMoneyEarned(10);
        EXPECT_EQ(hud.Count(L"show_won_trophy_splash"), splashes);
        EXPECT_EQ(hud.Count(L"show_goals_list_data"), 1);                // shown whatever the tutorial
        EXPECT_EQ(hud.widget.Variables().at(L"heartprize").ToInt(), 3);  // no patch constant: 0
        EXPECT_EQ(player.payments, (std::vector<Payment>{{L"money", 0}, {L"hearts", 3}}));
    }
}

TEST_F(Goals, ActiveObjectiveIsTheFirstOpenOneOfTheChallenge) {
    LocalizationMap() = {{L"weekly_earnings_prefix", L"Earn"}, {L"weekly_earnings_postfix_plural", L"coins"},
                         {L"goal_remaining_prefix", L"("},     {L"goal_remaining_postfix", L"to go)"},
                         {L"goal_all_completed", L"All done"}, {L"goal_no_active_objective", L"Nothing"}};
    KIVRA_LEVEL& level = Read(R"(<magazine name="m"><challenge unlocked="true">
        <objective check="marketing_slots" completed="true"/><objective check="weekly_earnings" amount="300"/>
        </challenge></magazine>)");
    TestParkPlayer player(&level);
    KivraGoalTracker& goals = level.goals_tracker;
    Objective* active = nullptr;
    std::wstring text = L"untouched";
    EXPECT_EQ(goals.GetActiveObjective(L"", &active, &text), -1);
    EXPECT_EQ(text, L"untouched");
    goals.OnMoneyEarned(120);
    EXPECT_EQ(goals.GetActiveObjective(L"m_bronze", &active, &text), 1);
    EXPECT_EQ(active, Chal(level, L"m_bronze").objectives[1]);
    EXPECT_EQ(text, L"Earn 300 coins (180 to go)");
    goals.OnMoneyEarned(180);
    EXPECT_EQ(goals.GetActiveObjective(L"m_bronze", &active, &text), -2);
    EXPECT_EQ(active, nullptr);
    EXPECT_EQ(text, L"All done");
}

TEST_F(Goals, BuildingChecksFollowCategoryAppealAndUpgrades) {
    ConstantsMap()[L"appeal_high_threshold"] = PropertyValue(5.0f);
    KIVRA_LEVEL& level = Read(R"(<magazine name="m"><challenge>
        <objective check="buildings_exist" category="snack" count="3"/>
        <objective check="buildings_exist" appeal="high" fully_upgraded="true" count="3"/>
        </challenge></magazine>)");
    auto& snacks = static_cast<BuildingsExist&>(*Chal(level, L"m_bronze").objectives[0]);
    auto& fine = static_cast<BuildingsExist&>(*Chal(level, L"m_bronze").objectives[1]);
    EXPECT_FLOAT_EQ(fine.appeal, 5.0f);
    TestBuilding concession(L"stand", L"concession", 6.0f, true), cart(L"cart", L"snack", 4.0f, true);
    TestBuilding plain(L"hut", L"store", 9.0f, false);
    for (const TestBuilding* b : {&concession, &cart, &plain}) level.goals_tracker.OnBuildingChanged(*b);
    EXPECT_EQ(snacks.CountedBuildings(), 1u);  // a snack objective takes no concession
    EXPECT_EQ(fine.CountedBuildings(), 1u);    // only the upgraded one at high appeal
    concession.appeal_ = 4.0f;
    level.goals_tracker.OnBuildingAppealChanged(concession);
    EXPECT_EQ(fine.CountedBuildings(), 0u);
    cart.appeal_ = 5.0f;
    level.goals_tracker.OnBuildingChanged(cart);
    EXPECT_EQ(fine.CountedBuildings(), 1u);
    level.goals_tracker.OnBuildingRemoved(cart);
    EXPECT_EQ(snacks.CountedBuildings() + fine.CountedBuildings(), 0u);
}

TEST_F(Goals, ZonesTrophiesAndCompletionCompareAsUnsigned) {
    KIVRA_LEVEL& level = Read(R"(<magazine name="m"><challenge unlocked="true">
        <objective check="zones_exist" unique="true" count="2"/>
        <objective check="zones_exist" count="3"/>
        <objective check="trophies_earned" type="gold" count="1"/>
        <objective check="weekly_earnings" amount="-1"/>
        </challenge></magazine>)");
    auto& objectives = Chal(level, L"m_bronze").objectives;
    auto& unique = static_cast<CombosExist&>(*objectives[0]);
    auto& any = static_cast<CombosExist&>(*objectives[1]);
    TestZone a(L"a"), b(L"b"), a2(L"a");
    for (const TestZone* zone : {&a, &a2, &b}) level.goals_tracker.OnZoneCreated(*zone);
    EXPECT_TRUE(unique.completed);
    EXPECT_TRUE(any.completed);
    Challenge bronze, silver;
    bronze.metal = 0;
    silver.metal = 2;
    auto& trophies = static_cast<TrophiesEarned&>(*objectives[2]);
    level.goals_tracker.OnTrophyEarned(bronze);
    EXPECT_EQ(trophies.Trophies(), 0);
    level.goals_tracker.OnTrophyEarned(silver);
    EXPECT_TRUE(trophies.completed);
    // A requirement of -1 is 4294967295 as unsigned: no week's earnings reach it.
    level.goals_tracker.OnMoneyEarned(2000000000);
    EXPECT_FALSE(objectives[3]->completed);
}

TEST_F(Goals, MarketingCountsTheCurrentLevelsEntriesAndTheWeekStartsEarningsAfresh) {
    KIVRA_LEVEL& level = Read(R"(<marketing customer="kids" value="bonus"/><magazine name="m"><challenge unlocked="1">
        <objective check="marketing_slots" count="2"/><objective check="weekly_earnings" amount="300"/>
        </challenge></magazine>)");
    TestParkPlayer player(&level);
    KivraGoalTracker& goals = level.goals_tracker;
    const Challenge& bronze = Chal(level, L"m_bronze");
    goals.OnMarketingSlotsChanged();
    EXPECT_FALSE(bronze.objectives[0]->completed);
    level.marketing_bonus.entries.push_back(L"teens");
    goals.OnMarketingSlotsChanged();
    EXPECT_TRUE(bronze.objectives[0]->completed);
    goals.OnMoneyEarned(200);
    goals.ResetWeeklyEarnings();
    goals.OnMoneyEarned(200);
    EXPECT_FALSE(bronze.objectives[1]->completed);
    goals.OnMoneyEarned(100);
    EXPECT_TRUE(bronze.completed);
}

// A park's usual mix of visitors fills no marketing slot: a goal to fill
// one is won by filling it, not when its challenge opens.
TEST_F(Goals, OnlyFilledSlotsCountForAMarketingGoal) {
    LocalizationMap() = {{L"marketing_slots_prefix", L"Fill"},
                         {L"marketing_slots_postfix", L"slot."},
                         {L"goal_remaining_prefix", L"("},
                         {L"goal_remaining_postfix", L"to go)"}};
    KIVRA_LEVEL& level = Read(R"(<marketing customer="kids" value="30"/><marketing customer="teens" value="10"/>
        <magazine name="m"><challenge><objective check="marketing_slots" count="1"/></challenge></magazine>)");
    TestParkPlayer player(&level);
    Objective& fill = *Chal(level, L"m_bronze").objectives[0];
    level.goals_tracker.ActivateChallenge(L"m_bronze");
    EXPECT_FALSE(fill.completed);
    std::wstring text;
    fill.Describe(text, true);
    EXPECT_NE(text.find(L"(1 to go)"), std::wstring::npos) << text::ToUtf8(text);
    level.marketing_bonus.entries.push_back(L"kids");
    level.goals_tracker.OnMarketingSlotsChanged();
    EXPECT_TRUE(fill.completed);
}

TEST_F(Goals, RemovingAZoneOfAUniqueNameDropsTheName) {
    CombosExist unique(5, L"", true), counting(5, L"", false);
    TestZone a(L"a"), a2(L"a");
    for (CombosExist* o : {&unique, &counting}) {
        o->OnZoneCreated(a);
        o->OnZoneCreated(a2);
        o->OnZoneRemoved(a);
    }
    EXPECT_EQ(unique.Progress(), 0u);
    EXPECT_EQ(counting.Progress(), 1u);
}

TEST_F(Goals, DescriptionsUseSingularOnlyForOne) {
    LocalizationMap() = {{L"trophies_earned_prefix", L"Win"},        {L"trophies_earned_gold", L"gold trophy"},
                         {L"trophies_earned_gold_plural", L"golds"}, {L"zones_exist_prefix", L"Make"},
                         {L"label_garden_zone", L"garden"},          {L"label_garden_zone_plural", L"gardens"},
                         {L"zones_exist_postfix", L"zones"}};
    const std::pair<int, std::wstring> cases[] = {{0, L"Win 0 golds"}, {1, L"Win 1 gold trophy"}, {2, L"Win 2 golds"}};
    for (const auto& [count, expected] : cases) {
        TrophiesEarned objective(count, L"gold");
        std::wstring text;
        objective.Describe(text, false);
        EXPECT_EQ(text, expected);
    }
    CombosExist zones(1, L"garden", false);
    EXPECT_EQ(zones.GetProperty(L"description").ToString(), L"Make 1 garden zones");
}

TEST_F(Goals, AppealNamesMatchThresholdsWithinOneHundredth) {
    ConstantsMap()[L"appeal_average_threshold"] = PropertyValue(2.0f);
    ConstantsMap()[L"appeal_amazing_threshold"] = PropertyValue(8.25f);
    EXPECT_EQ(AppealLevelName(2.009f, false), L"average");
    EXPECT_EQ(AppealLevelName(8.2401f, true), L"amazing");
    EXPECT_EQ(AppealLevelName(3.75f, false), L"3.750000");
    EXPECT_EQ(AppealLevelName(3.75f, true), L"3.75");
    EXPECT_FLOAT_EQ(AppealRequirementFromText(L"amazing"), 8.25f);
    // A number between the named levels stays the requirement it was.
    EXPECT_FLOAT_EQ(AppealRequirementFromText(AppealLevelName(3.75f, false)), 3.75f);
    EXPECT_EQ(AppealRequirementFromText(L"dazzling"), kNoAppealRequirement);
    EXPECT_EQ(AppealRequirementFromText(L""), kNoAppealRequirement);
}

TEST_F(Goals, CopiedTrackerKeepsProgressAndOrdersObjectivesByName) {
    std::string objectives;
    for (int i = 0; i < 11; ++i) objectives += R"(<objective check="weekly_earnings" amount="50"/>)";
    KIVRA_LEVEL& level = Read(R"(<magazine name="m"><challenge>)" + objectives + "</challenge></magazine>");
    KivraGoalTracker& goals = level.goals_tracker;
    goals.OnMoneyEarned(30);
    KivraGoalTracker copy;
    copy.Assign(goals);
    copy.Assign(copy);  // assigning itself keeps everything
    std::vector<std::wstring> names;
    for (const Objective* o : Chal(level, L"m_bronze").objectives) names.push_back(o->name);
    std::sort(names.begin(), names.end());  // ordinal: objective10 before objective2
    const Challenge& copied = *copy.FindChallenge(L"m_bronze");
    ASSERT_EQ(copied.objectives.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(copied.objectives[i]->name, names[i]);
        EXPECT_EQ(copied.objectives[i]->challenge, &copied);
        EXPECT_EQ(static_cast<WeeklyEarnings&>(*copied.objectives[i]).Earned(), 30);
    }
    // The copy's objectives are its own.
    copy.ActivateChallenge(L"m_bronze");
    copy.OnMoneyEarned(20);
    EXPECT_TRUE(copied.completed);
    EXPECT_FALSE(Chal(level, L"m_bronze").completed);
}

TEST_F(Goals, ChallengeAndMagazineNames) {
    EXPECT_EQ(MagazineNameFromChallenge(L"funbooks_silver"), L"funbooks");
    EXPECT_EQ(MagazineNameFromChallenge(L"funbooks_platinum"), L"");
    KIVRA_LEVEL& level = Read(R"(<magazine name="m"><challenge><objective check="nothing"/>
        <objective check="marketing_slots" count="4"/></challenge></magazine>)");
    Challenge& bronze = Chal(level, L"m_bronze");
    ASSERT_EQ(bronze.objectives.size(), 1u);  // the unknown check is skipped, its index kept
    EXPECT_EQ(bronze.objectives[0]->name, L"m_bronze_objective1");
    EXPECT_EQ(bronze.GetProperty(L"objective0").ToPropertyInterface(), bronze.objectives[0]);
    EXPECT_FALSE(bronze.GetProperty(L"objective1").ToBool());
    EXPECT_EQ(bronze.GetProperty(L"metal").ToString(), L"bronze");
    EXPECT_EQ(bronze.objectives[0]->GetProperty(L"count").ToInt(), 4);
}

}  // namespace
