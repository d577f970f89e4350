#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/expression/expression.h"
#include "foundation/values/field_handle.h"
#include "game/data/progress/kivra_player_state.h"
#include "tests/game/data/profile_test_support.h"

namespace {

using testsupport::TestHud;

class KivraPlayer : public testsupport::ProfileTest {
protected:
    KivraPlayer() {
        player_.MakeCurrent();
        player_.SetCurrentLevel(L"bay");
    }
    KIVRA_LEVEL& Bay() { return *player_.GetCurrentLevel(); }

    KivraPlayerState player_;
};

TEST_F(KivraPlayer, StartsWithItsOwnCopyOfEveryCatalogueLevel) {
    ASSERT_NE(player_.GetCurrentLevel(), nullptr);
    EXPECT_NE(player_.GetCurrentLevel(), levels_.FindParkLevel(L"bay"));
    EXPECT_NE(player_.FindParkLevel(L"cove"), nullptr);
    Bay().money = 1;
    EXPECT_EQ(levels_.FindParkLevel(L"bay")->money, 1000);
    ConstantsMap()[L"ignore_tutorial"] = PropertyValue(true);
    EXPECT_EQ(KivraPlayerState().tutorial_step, -1);
}

TEST_F(KivraPlayer, SpendingCountsInBothBlocksAndLeavesTheWeeklyGoalsAlone) {
    TestHud hud;
    player_.ChangeResource(L"money", -300, true, &hud.widget);
    EXPECT_EQ(Bay().money, 700);
    EXPECT_EQ(Bay().stats.week.money_spent, 300);
    EXPECT_EQ(Bay().stats.allTime.money_spent, 300);
    const auto& earnings =
        static_cast<const WeeklyEarnings&>(*Bay().goals_tracker.ObjectivesOf(KivraGoalTracker::kEarnings)[0]);
    EXPECT_EQ(earnings.Earned(), 0);
    EXPECT_TRUE(hud.widget.animations.empty());  // no increase: no callback

    player_.ChangeResource(L"hearts", 0, true, &hud.widget);
    player_.ChangeResource(L"hearts", -4, false, nullptr);
    EXPECT_EQ(Bay().hearts, 6);
    EXPECT_EQ(Bay().stats.week.hearts_spent, 4);
    EXPECT_EQ(Bay().stats.allTime.hearts_spent, 4);
    EXPECT_TRUE(hud.widget.animations.empty());
}

TEST_F(KivraPlayer, EarningFeedsTheGoalsBeforeTheStatsAndRunsTheCallbackOnlyWhenAsked) {
    TestHud hud;
    player_.ChangeResource(L"money", 200, false, &hud.widget);
    EXPECT_TRUE(hud.widget.animations.empty());
    // 300 earned this week wins bronze, whose 50 coins come in through the same call.
    player_.ChangeResource(L"money", 100, true, &hud.widget);
    EXPECT_TRUE(Bay().goals_tracker.FindChallenge(L"funbooks_bronze")->completed);
    EXPECT_EQ(Bay().money, 1350);
    EXPECT_EQ(Bay().stats.week.money_earned, 350);
    EXPECT_EQ(Bay().stats.allTime.money_earned, 350);
    EXPECT_EQ(hud.Count(L"player_money_increase_callback"), 2);  // the reward's and ours
    // Another resource name changes nothing but still announces an increase.
    player_.ChangeResource(L"stars", 3, true, &hud.widget);
    EXPECT_EQ(hud.Count(L"player_stars_increase_callback"), 1);
    EXPECT_EQ(Bay().hearts, 10);
}

TEST_F(KivraPlayer, ResourcesWithoutACurrentLevelChangeNothing) {
    TestHud hud;
    player_.SetCurrentLevel(L"atlantis");
    player_.ChangeResource(L"money", 5, true, &hud.widget);
    EXPECT_TRUE(hud.widget.animations.empty());
    RESEARCH_OPTION bought;
    EXPECT_FALSE(player_.PurchaseResearch(L"r1", bought));
    EXPECT_EQ(player_.GetProperty(L"money").GetTag(), PropertyValue::Tag::Bool);
}

TEST_F(KivraPlayer, ResearchGrowsDearerUntilItsCyclesRunOut) {
    RESEARCH_OPTION bought;
    ASSERT_TRUE(player_.PurchaseResearch(L"r1", bought));
    EXPECT_EQ(bought.coincost, 100);
    EXPECT_EQ(bought.cycles, 2);
    ASSERT_TRUE(player_.PurchaseResearch(L"r1", bought));
    EXPECT_EQ(bought.coincost, 150);  // the copy from before the second purchase
    EXPECT_EQ(Bay().money, 1000 - 100 - 150);
    EXPECT_EQ(Bay().hearts, 10 - 2 - 3);
    ASSERT_EQ(Bay().bought_research.size(), 2u);
    EXPECT_EQ(Bay().bought_research[1].coincost, 150);
    EXPECT_EQ(Bay().available_research.size(), 1u);  // r1 is gone
    EXPECT_FALSE(player_.PurchaseResearch(L"r1", bought));
    // A negative cycle count never runs out.
    Bay().money = 100000;
    Bay().hearts = 100;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(player_.PurchaseResearch(L"r2", bought));
    EXPECT_EQ(Bay().available_research.at(0).coincost, 10 + 3 * 1000);
}

TEST_F(KivraPlayer, ResearchOutOfReachShowsTheDialogNamingWhatIsShort) {
    TestHud hud;
    RESEARCH_OPTION bought;
    Bay().money = 99;
    EXPECT_FALSE(player_.PurchaseResearch(L"r1", bought));
    VariableMap& locals = hud.widget.Variables();
    EXPECT_EQ(locals.at(L"resource").ToString(), L"money");
    EXPECT_EQ(locals.at(L"label").ToString(), L"label_r1");
    EXPECT_EQ(locals.at(L"lookup").ToString(), L"true");
    Bay().money = 100;
    Bay().hearts = 1;
    EXPECT_FALSE(player_.PurchaseResearch(L"r1", bought));
    EXPECT_EQ(locals.at(L"resource").ToString(), L"hearts");
    EXPECT_EQ(hud.Count(L"show_no_resources_dialog"), 2);
    EXPECT_EQ(Bay().money, 100);
    EXPECT_TRUE(Bay().bought_research.empty());
}

// The handle a script copies reads the live field through the expression
// language, and reads 0 once the level it belonged to is gone.
TEST_F(KivraPlayer, PointerPropertiesAreHandlesTheExpressionLanguageFollows) {
    VariableMap variables;
    variables[L"money"] = player_.GetProperty(L"money_ptr");
    variables[L"price"] = player_.GetProperty(L"ticketprice_ptr");
    ExpressionEvaluator evaluator(variables);
    Bay().money = 4321;
    EXPECT_EQ(evaluator.Evaluate(L"intptr(money)").ToInt(), 4321);
    EXPECT_EQ(evaluator.Evaluate(L"intptr(price)").ToInt(), 15);
    EXPECT_EQ(player_.GetProperty(L"money_ptr").ToInt(), variables[L"money"].ToInt());
    player_.CopyLevelsFrom(levels_);
    EXPECT_EQ(evaluator.Evaluate(L"intptr(money)").ToInt(), 0);
    EXPECT_EQ(player_.GetProperty(L"money").ToInt(), 1000);  // the fresh copy, found again by name
}

TEST_F(KivraPlayer, ScriptPropertiesReadTheCurrentLevelAndThePlayersLevels) {
    EXPECT_EQ(player_.GetProperty(L"level_name").ToString(), L"bay");
    EXPECT_EQ(player_.GetProperty(L"sidewalk").ToString(), L"brick");
    EXPECT_EQ(player_.GetProperty(L"sidewalk_character").ToString(), L"b");
    EXPECT_TRUE(player_.GetProperty(L"ocean").ToBool());
    EXPECT_EQ(player_.GetProperty(L"ticketprice").ToInt(), 15);
    EXPECT_EQ(player_.GetProperty(L"level").ToPropertyInterface(), &Bay());
    EXPECT_EQ(player_.GetProperty(L"level_cove").ToPropertyInterface(), player_.FindParkLevel(L"cove"));
    EXPECT_EQ(player_.GetProperty(L"level_atlantis").ToPropertyInterface(), nullptr);
    EXPECT_EQ(player_.FindLevel(L"atlantis"), nullptr);  // the lookup added nothing
    EXPECT_EQ(player_.GetProperty(L"chosen_challenge").ToPropertyInterface(),
              Bay().goals_tracker.FindChallenge(L"funbooks_bronze"));
    EXPECT_EQ(player_.GetProperty(L"week_stats").ToPropertyInterface(), &Bay().stats.week);
    EXPECT_EQ(player_.GetProperty(L"total_weeks_played").ToInt(), 2);
    EXPECT_FALSE(player_.GetProperty(L"level_completed").ToBool());
    // Without a HUD no tutorial runs; with one the tutorial answers.
    EXPECT_TRUE(player_.GetProperty(L"finished_tutorial").ToBool());
    EXPECT_EQ(player_.GetProperty(L"tutorial_step").ToString(), L"completed");
    TestHud hud;
    hud.tutorialStep = L"place_playhouse";
    hud.reachedSteps = {L"intro"};
    EXPECT_FALSE(player_.GetProperty(L"finished_tutorial").ToBool());
    EXPECT_EQ(player_.GetProperty(L"tutorial_step").ToString(), L"place_playhouse");
    EXPECT_TRUE(player_.GetProperty(L"tutorial_reached_intro").ToBool());
    EXPECT_FALSE(player_.GetProperty(L"tutorial_reached_outro").ToBool());
    EXPECT_FALSE(player_.GetProperty(L"unknown").ToBool());
}

TEST_F(KivraPlayer, BeatGameNeedsEveryLevelCompleted) {
    // "cove" has no goals: complete from the start. "bay" has open challenges.
    EXPECT_FALSE(player_.GetProperty(L"beat_game").ToBool());
    player_.CompleteAllGoals();
    EXPECT_TRUE(player_.GetProperty(L"beat_game").ToBool());
    EXPECT_TRUE(player_.GetProperty(L"level_completed").ToBool());
}

TEST_F(KivraPlayer, LevelResourcesNameTheBuildingsTheSidewalkTheOceanAndTheMusic) {
    AssetNameSets group;
    player_.CollectLevelResources(Bay(), group);
    // "cart" is disallowed in the bay.
    EXPECT_EQ(group.images, (std::set<std::wstring>{L"bay_sky", L"wheel", L"avatar_wheel", L"avatar_walkway_brick",
                                                    L"ocean", L"sun_shine"}));
    EXPECT_EQ(group.tracks, (std::set<std::wstring>{L"bay_bgm"}));
    ConstantsMap()[L"all_buildings_available_to_build"] = PropertyValue(true);
    AssetNameSets all;
    player_.CollectLevelResources(Bay(), all);
    EXPECT_TRUE(all.images.contains(L"avatar_cart"));
}

}  // namespace
