// The in-game display's core on the real park: what it stands for while it
// runs, the calendar, saving and leaving the level.
#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/localization_map.h"
#include "foundation/files/path_utils.h"
#include "foundation/values/field_handle.h"
#include "game/data/progress/kivra_profile_manager.h"
#include "game/frontend/menus/beat_level_menu.h"
#include "game/frontend/menus/level_select_menu.h"
#include "game/park/people/person.h"
#include "tests/game/frontend/blockable_data_folder.h"
#include "tests/game/frontend/hud_test_support.h"
#include "tests/platform/temp_folder.h"
#include "widgets/script/animation_stats.h"

namespace {

using testsupport::HudTest;
using testsupport::LevelBuilder;

class HudCore : public HudTest {
protected:
    template <class M>
    M* OpenMenuOf() const {
        for (const auto& [id, menu] : menus.open)
            if (auto* found = dynamic_cast<M*>(menu)) return found;
        return nullptr;
    }
};

TEST_F(HudCore, StandsForTheParkWhileItRunsAndLeavesForTheMap) {
    Open(LevelBuilder(8, 8).Item(L"hut", 4, 4));
    EXPECT_EQ(ParkDisplay::Current(), hud);
    EXPECT_EQ(GoalDisplay::Current(), hud);
    EXPECT_EQ(UserInterface::Current(), hud);
    EXPECT_TRUE(level->ever_been_loaded);
    // The park is the display's child, started with its items.
    EXPECT_EQ(hud->GetLocalVariable(L"grid").ToWidget<KivraGrid>(), &hud->Grid());
    EXPECT_EQ(hud->Grid().GetParent(), hud);
    EXPECT_TRUE(hud->Grid().ItemsStarted());
    EXPECT_EQ(hud->GetLocalVariable(L"market_radio_index").ToInt(), -1);
    EXPECT_EQ(hud->GetLocalVariable(L"player_state").ToPropertyInterface(),
              dynamic_cast<ExtendedPropertyInterface*>(player.get()));

    hud->DoAction(L"quit_action", L"", 0);
    EXPECT_NE(OpenMenuOf<LevelSelectMenu>(), nullptr);
    EXPECT_EQ(OpenMenuOf<UserInterface>(), nullptr);
    EXPECT_EQ(player->CurrentLevelName(), L"");
    Advance();
    EXPECT_EQ(ParkDisplay::Current(), nullptr) << "a deleted display answers for the park no more";
}

// A trophies goal reached in a park saved while its count was lost opens
// won: no trophy is left in the park to count it again.
TEST_F(HudCore, ATrophiesGoalReachedBeforeTheParkOpensIsWonAsItOpens) {
    Play(LevelBuilder(8, 8));
    MagazineRecord magazine{L"m", {}};
    ChallengeRecord& bronze = magazine.challenges.emplace_back();
    bronze.unlocked = true;
    ObjectiveRecord& built = bronze.objectives.emplace_back();
    built.completed = true;
    built.check = L"buildings_exist";
    built.type = L"hut";
    ChallengeRecord& silver = magazine.challenges.emplace_back();
    silver.unlocked = true;
    silver.coins = 50;
    silver.objectives.emplace_back().check = L"trophies_earned";
    level->goals_tracker.AddMagazine(magazine, level->chosen_challenge);
    level->goals_tracker.CountWonTrophies();
    level->money = 100;
    OpenHere();
    EXPECT_TRUE(level->goals_tracker.FindChallenge(L"m_silver")->completed);
    EXPECT_EQ(level->money, 150);
}

// The game's scripts, and profiles.xml in a folder of its own; blocked, a
// file stands where that folder should be, and no save can be written.
class HudSaving : public HudCore {
protected:
    HudSaving() {
        {
            testsupport::CurrentDirectoryGuard data(HALVARO_SOURCE_DIR "/data");
            AnimationStats library(false);
        }
        LocalizationMap()[L"hud_saved"] = L"saved";
        LocalizationMap()[L"hud_save_failed"] = L"not saved";
        profiles_.Load();
        Open(LevelBuilder(8, 8).Item(L"hut", 4, 4));
    }
    void Block(bool blocked) { data_.Block(blocked); }
    // The display's note shown now, if any.
    std::wstring Toast() {
        auto* toast = hud->GetLocalVariable(L"toast").ToWidget<AnimationWidget>();
        return toast ? toast->GetLocalVariable(L"text").ToString() : std::wstring(L"no note");
    }
    // The display's note after the script ran, if any.
    std::wstring Note(const wchar_t* script) {
        hud->RunAnimationNamed(script);
        Advance();
        return Toast();
    }

    testsupport::BlockableDataFolder data_;
    KivraProfileManager profiles_;
};

// The save button's note tells whether the park reached the disk: a file
// that could not be written is not "saved".
TEST_F(HudSaving, TheSaveNoteTellsWhetherTheParkWasWritten) {
    EXPECT_EQ(Note(L"hud_save"), L"saved");
    Block(true);
    EXPECT_EQ(Note(L"hud_save"), L"not saved");
}

// Saving and leaving, and finishing the park, leave only once the park is
// saved: a failed save says so and the park stays, to be saved again or left
// from the options.
TEST_F(HudSaving, LeavingStaysInTheParkWhenItCouldNotBeSaved) {
    for (const std::wstring action : {L"save_and_quit_action", L"complete_level_action"}) {
        SCOPED_TRACE(action);
        const bool finishing = action == L"complete_level_action";
        auto left = [&] {
            return finishing ? OpenMenuOf<BeatLevelMenu>() != nullptr : OpenMenuOf<LevelSelectMenu>() != nullptr;
        };
        // The fixture opened the park for the first; the first left it.
        if (finishing) Open(LevelBuilder(8, 8).Item(L"hut", 4, 4));
        Block(true);
        hud->DoAction(action, L"", 0);
        Advance();
        EXPECT_FALSE(left());
        ASSERT_NE(OpenMenuOf<UserInterface>(), nullptr);
        EXPECT_EQ(player->CurrentLevelName(), level->name);
        EXPECT_EQ(Toast(), L"not saved");
        Block(false);
        hud->DoAction(action, L"", 0);
        EXPECT_TRUE(left());
        EXPECT_EQ(OpenMenuOf<UserInterface>(), nullptr);
    }
}

// On profiles that can be written (the fixture opens the same park).
TEST_F(HudSaving, SavingWritesTheParkIntoItsLevelAndCompletingShowsTheLevelsOwnScreen) {
    level->items.Clear();
    hud->DoAction(L"save_action", L"", 0);
    ASSERT_EQ(level->items.Size(), 1u);
    EXPECT_EQ(level->items.At(0)->type, L"hut");

    hud->DoAction(L"complete_level_action", L"", 0);
    auto* beaten = OpenMenuOf<BeatLevelMenu>();
    ASSERT_NE(beaten, nullptr);
    // Built while the level was still current.
    EXPECT_EQ(beaten->SplashGroup(), L"bg_splash_test_level");
    EXPECT_EQ(player->CurrentLevelName(), L"");
}

// The building in hand is no part of the park yet: a save while it is
// carried keeps the park as it stands.
TEST_F(HudCore, SavingInTheMiddleOfAnEditSavesNoUnpaidOrDisplacedBuilding) {
    Open(LevelBuilder(8, 8).Item(L"hut", 4, 4));
    KivraGrid& park = hud->Grid();
    auto* hut = dynamic_cast<KivraBuilding*>(park.Items().front());
    ASSERT_NE(hut, nullptr);
    const int32_t turned = hut->GetOrientation();
    hud->DoAction(L"buy_building_action", L"hut", 0);
    ASSERT_EQ(park.GetEditMode(), KivraGrid::kNewBuilding);
    park.GetHeldBuilding()->MoveTo({1, 1});
    const struct {
        const wchar_t *start, *cancel;
    } edits[] = {{nullptr, L"cancel_build_action"},
                 {L"move_building_action", L"cancel_move_action"},
                 {L"start_rotate_action", L"cancel_rotate_action"}};
    for (const auto& edit : edits) {
        if (edit.start) {
            hud->DoAction(edit.start, L"", 0);
            park.OnBuildingClicked(*hut);
            ASSERT_EQ(park.GetHeldBuilding(), hut);
            hut->MoveTo({1, 6});
        }
        hud->DoAction(L"save_action", L"", 0);
        SCOPED_TRACE(testing::PrintToString(std::wstring(edit.cancel)));
        ASSERT_EQ(level->items.Size(), 1u);
        EXPECT_EQ(level->items.At(0)->col, 4);
        EXPECT_EQ(level->items.At(0)->row, 4);
        EXPECT_EQ(level->items.At(0)->orientation, turned);
        hud->DoAction(edit.cancel, L"", 0);
        Advance();
    }
    EXPECT_EQ(level->money, 1000) << "nothing was bought";
}

// A save in play (the save button, the tutorial skipped, a script's save)
// writes the park without its visitors but leaves them walking: the week's
// visitors came in once and would not come again. Leaving keeps none.
TEST_F(HudCore, SavingInPlayLeavesTheVisitorsInTheParkAndOutOfTheRecord) {
    Open(LevelBuilder(8, 8).Item(L"hut", 4, 4).Item(L"walker", 1, 1).Item(L"walker", 2, 1));
    auto persons = [this] {
        return std::count_if(hud->Grid().Items().begin(), hud->Grid().Items().end(),
                             [](GridItem* item) { return dynamic_cast<Person*>(item) != nullptr; });
    };
    auto savedTypes = [this] {
        std::vector<std::wstring> types;
        for (size_t i = 0; i < level->items.Size(); ++i) types.push_back(level->items.At(i)->type);
        return types;
    };
    ASSERT_EQ(persons(), 2);
    for (const wchar_t* action : {L"save_action", L"end_tutorial_action"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(action)));
        level->items.Clear();
        hud->DoAction(action, L"", 0);
        Advance();
        EXPECT_EQ(persons(), 2);
        EXPECT_EQ(savedTypes(), std::vector<std::wstring>{L"hut"});
    }
    hud->DoAction(L"quit_action", L"", 0);
    Advance();
    EXPECT_EQ(savedTypes(), std::vector<std::wstring>{L"hut"});
}

TEST_F(HudCore, CallbacksRunAtOnceOverThePersistingScriptAndQueueBehindABusyOne) {
    Define(L"ui", {Step(L"log", {{L"text", L"ui"}}), Step(L"persist")});
    Define(L"busy", {Step(L"log", {{L"text", L"busy"}}), Step(L"wait-for", {{L"time", L"5"}}),
                     Step(L"log", {{L"text", L"done"}})});
    Logged({L"first", L"second"});
    Open(LevelBuilder(4, 4));
    hud->RunAnimationNamed(L"first");
    EXPECT_EQ(TakeLog(), (std::vector<std::wstring>{L"ui", L"first"}));
    hud->RunAnimationNamed(L"busy");
    hud->RunAnimationNamed(L"second");
    EXPECT_EQ(TakeLog(), std::vector<std::wstring>{L"busy"});
    Advance(10);
    EXPECT_EQ(TakeLog(), (std::vector<std::wstring>{L"done", L"second"}));
}

struct CalendarCase {
    int32_t weeksPlayed;
    float timer;
    int32_t weekDuration;
    int32_t years, months, weeks, days;
};

TEST_F(HudCore, CalendarFollowsTheWeeksPlayedAndTheTimer) {
    Open(LevelBuilder(4, 4));
    const CalendarCase cases[] = {
        {0, 30.0f, 30, 1, 1, 1, 1},    // the week's first moment
        {0, 0.01f, 30, 1, 1, 1, 7},    // just before nightfall
        {0, 15.0f, 30, 1, 1, 1, 4},    // mid-week
        {47, 30.0f, 30, 1, 12, 4, 1},  // the year's last week
        {48, 30.0f, 30, 2, 1, 1, 1},   // a new year
        {101, 30.0f, 30, 3, 2, 2, 1},  // 2 years, 1 month and 1 week on
        {5, 12.0f, 0, 1, 2, 2, 1},     // a week of no length: its first day, no division
        {5, 12.0f, -3, 1, 2, 2, 1},
    };
    const int32_t days = hud->GetProperty(L"level_days_ptr").ToInt();
    const int32_t years = hud->GetProperty(L"level_years_ptr").ToInt();
    for (const CalendarCase& c : cases) {
        level->weeks_played = c.weeksPlayed;
        ConstantsMap()[L"week_duration"] = PropertyValue::FromInt(c.weekDuration);
        hud->UpdateCalendar(c.timer);
        SCOPED_TRACE(testing::Message() << c.weeksPlayed << " weeks, timer " << c.timer);
        EXPECT_EQ(hud->Years(), c.years);
        EXPECT_EQ(hud->Months(), c.months);
        EXPECT_EQ(hud->Weeks(), c.weeks);
        EXPECT_EQ(hud->Days(), c.days);
        // Scripts follow the live fields through their handles.
        EXPECT_EQ(FieldHandle::ReadInt(days), c.days);
        EXPECT_EQ(FieldHandle::ReadInt(years), c.years);
    }
    ConstantsMap().erase(L"week_duration");
}

}  // namespace
