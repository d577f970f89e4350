// What the display's scripts signal, the words typed at it, and the goal
// and magazine panels, on the real park.
#include <gtest/gtest.h>

#include "foundation/expression/localization_map.h"
#include "game/park/people/person.h"
#include "rendering/draw/graphics.h"
#include "tests/game/frontend/hud_test_support.h"

namespace {

using testsupport::HudTest;
using testsupport::LevelBuilder;
using Lines = std::vector<std::wstring>;

class HudSignals : public HudTest {
protected:
    HudSignals() {
        Logged({L"refresh_level_display_name", L"close_park_naming", L"show_new_goal_task", L"show_new_goal_magazine",
                L"player_money_increase_callback", L"player_hearts_increase_callback"});
    }
    void Signal(const std::wstring& message) { RunStep(Step(L"signal", {{L"message", L"literal(" + message + L")"}})); }
    int Persons() const {
        int n = 0;
        for (GridItem* item : hud->Grid().Items()) n += dynamic_cast<Person*>(item) != nullptr;
        return n;
    }
    void DrawFrame() {
        auto target = std::make_unique<ImageSurface>();
        target->Create(16, 16);
        Graphics g(target.get());
        hud->Draw(&g);
        Advance();
    }
    // A magazine whose bronze challenge wants money earned twice, then once more.
    void AddMagazine() {
        MagazineRecord magazine{L"zoo", std::vector<ChallengeRecord>(1)};
        magazine.challenges[0].unlocked = true;
        for (int32_t amount : {50, 80}) {
            ObjectiveRecord earn;
            earn.check = L"weekly_earnings";
            earn.amount = amount;
            magazine.challenges[0].objectives.push_back(earn);
        }
        level->goals_tracker.AddMagazine(magazine, level->chosen_challenge);
    }
};

TEST_F(HudSignals, SignalsDriveTheParkTheLevelAndTheNameField) {
    Open(LevelBuilder(8, 8).Item(L"hut", 4, 4).Item(L"walker", 1, 1).Item(L"walker", 2, 1));
    TakeLog();
    ASSERT_EQ(Persons(), 2);
    Signal(L"remove_people");
    EXPECT_EQ(Persons(), 0);
    EXPECT_EQ(hud->Grid().Items().size(), 1u) << "the buildings stay";

    level->items.Clear();
    Signal(L"save_level");
    ASSERT_EQ(level->items.Size(), 1u);

    struct NameCase {
        std::wstring signal, name;
    };
    for (const NameCase& c :
         {NameCase{L"finished_text_input_Sea_side", L"Sea_side"}, NameCase{L"finished_text_input_", L""}}) {
        level->display_name = L"old";
        Signal(c.signal);
        EXPECT_EQ(level->display_name, c.name);
        // No tutorial takes the naming: the naming panel closes.
        EXPECT_EQ(TakeLog(), (Lines{L"refresh_level_display_name", L"close_park_naming"}));
    }
    // Anything else goes on to the display's parent like any widget's.
    Signal(L"unheard_of");
    EXPECT_EQ(level->display_name, L"");
}

TEST_F(HudSignals, TheWeeksSignalsAndWordsOpenTheParkAndMakeAndRemoveItsSpawner) {
    Logged({L"week_start_shared"});
    Open(LevelBuilder(6, 6));
    KivraGrid& park = hud->Grid();
    TakeLog();
    for (bool word : {false, true}) {
        word ? RunStep(Step(L"add-customer-spawner")) : Signal(L"add_customer_spawner");
        EXPECT_NE(park.GetSpawner(), nullptr) << word;
        word ? RunStep(Step(L"remove-customer-spawner")) : Signal(L"remove_customer_spawner");
        EXPECT_EQ(park.GetSpawner(), nullptr) << word;
    }
    Signal(L"finish_reviewing_week_action");
    EXPECT_EQ(park.GetParkState(), KivraGrid::kParkOpen);
    // The next week starts through its script (which here sets no timer, so
    // night falls again at once).
    Signal(L"finish_sunrise");
    EXPECT_NE(park.GetParkState(), KivraGrid::kParkOpen);
    EXPECT_EQ(TakeLog(), Lines{L"week_start_shared"});
}

TEST_F(HudSignals, DeveloperWordsActOnceForTheCharacterThatCompletesThem) {
    Open(LevelBuilder(4, 4));
    TakeLog();
    Type(L"wimbolamwimbolam");
    Type(L"xwimbolah");
    const std::vector<testsupport::TestParkPlayer::Payment> twice{
        {L"money", 100000000}, {L"money", 100000000}, {L"hearts", 1000}};
    EXPECT_EQ(player->payments, twice);
    EXPECT_FALSE(hud->AllBuildingsAvailable());
    Type(L"wimbolab");
    EXPECT_TRUE(hud->AllBuildingsAvailable());

    // With another menu holding the keyboard, the display hears nothing.
    Menu* other = new Menu(L"");
    menus.AddMenu(other);
    Type(L"wimbolam");
    EXPECT_EQ(player->payments.size(), 3u);
}

TEST_F(HudSignals, TheGoalPanelFollowsTheChosenChallengeOutsideEditModes) {
    Play(LevelBuilder(6, 6));
    level->money = 1000;
    AddMagazine();
    ASSERT_EQ(level->chosen_challenge, L"zoo_bronze");
    OpenHere();
    // Opening shows the magazine, and the next frame its first open objective.
    ASSERT_NE(hud->ShownGoal(), nullptr);
    EXPECT_EQ(hud->ShownGoal()->name, L"zoo_bronze_objective0");
    AnimationWidget* magazine = hud->MagazinePanel();
    ASSERT_NE(magazine, nullptr);
    EXPECT_EQ(magazine->GetLocalVariable(L"magazinename").ToString(), L"zoo");
    EXPECT_TRUE(magazine->GetLocalVariable(L"play_sound").ToBool());
    DrawFrame();
    AnimationWidget* task = hud->GoalTaskPanel();
    ASSERT_NE(task, nullptr);
    auto shows = [task](int32_t number, bool out, bool in) {
        EXPECT_EQ(task->GetLocalVariable(L"tasknum").ToInt(), number);
        EXPECT_EQ(task->GetLocalVariable(L"do_slide_out").ToBool(), out);
        EXPECT_EQ(task->GetLocalVariable(L"do_slide_in").ToBool(), in);
    };
    shows(1, false, true);
    EXPECT_EQ(task->GetPriority(), 1 << 30);
    EXPECT_EQ(hud->GoalPanelStateValue(), 0);
    TakeLog();

    // Progress while the player carries a building shows once it is down.
    hud->Grid().PreviewNewBuilding(L"hut");
    ASSERT_EQ(hud->Grid().GetEditMode(), KivraGrid::kNewBuilding);
    level->goals_tracker.OnMoneyEarned(10);
    DrawFrame();
    EXPECT_EQ(hud->GoalPanelStateValue(), 1);
    hud->Grid().CancelNewBuilding();
    DrawFrame();
    shows(1, false, false);
    EXPECT_EQ(TakeLog(), Lines{L"show_new_goal_task"});

    // The shown objective completes: the same panel slides the next one in.
    level->goals_tracker.OnMoneyEarned(40);
    EXPECT_EQ(hud->ShownGoal()->name, L"zoo_bronze_objective1");
    DrawFrame();
    EXPECT_EQ(hud->GoalTaskPanel(), task);
    shows(2, true, true);

    // At a week's start the next refresh is skipped, progress or not.
    TakeLog();
    hud->ResetGoalPanel();
    level->goals_tracker.OnMoneyEarned(10);
    EXPECT_EQ(hud->GoalPanelStateValue(), 3);
    DrawFrame();
    EXPECT_EQ(hud->GoalPanelStateValue(), 0);
    EXPECT_EQ(TakeLog(), Lines{});

    // The magazine again: one panel, its script played anew.
    hud->ShowNewGoalMagazine(L"zoo_bronze", false);
    EXPECT_EQ(hud->MagazinePanel(), magazine);
    EXPECT_FALSE(magazine->GetLocalVariable(L"play_sound").ToBool());
    EXPECT_EQ(TakeLog(), Lines{L"show_new_goal_magazine"});

    // Nothing left open: the hint button goes off.
    auto* hint = new DynamicWidget(0, 0, nullptr, 1.0f);
    hud->RegisterObject(L"btn_hint", hint);
    DrawFrame();
    EXPECT_FALSE(hint->IsDisabled());
    level->goals_tracker.OnMoneyEarned(80);
    DrawFrame();
    EXPECT_TRUE(hint->IsDisabled());
}

// Completing every goal at once (the developer word) leaves the objectives'
// own flags unset: the card still moves on from the won challenge.
TEST_F(HudSignals, TheGoalCardMovesOnWhenEveryGoalIsCompletedAtOnce) {
    Play(LevelBuilder(6, 6));
    AddMagazine();
    OpenHere();
    DrawFrame();
    AnimationWidget* task = hud->GoalTaskPanel();
    ASSERT_NE(task, nullptr);
    ASSERT_EQ(task->GetLocalVariable(L"tasknum").ToInt(), 1);
    level->goals_tracker.CompleteAllObjectives();
    DrawFrame();
    EXPECT_EQ(task->GetLocalVariable(L"tasknum").ToInt(), -1);
    EXPECT_TRUE(task->GetLocalVariable(L"do_slide_in").ToBool());
    EXPECT_EQ(task->GetLocalVariable(L"description").ToString(), LocalizeLookup(L"goal_all_completed"));
}

}  // namespace
