// The week on the park grid: its phases driven by the timer and the
// display's signals, the calendar, and bought research counting down only
// while a week runs.
#include <gtest/gtest.h>

#include "foundation/expression/constants_map.h"
#include "tests/game/park/park_grid_bench.h"

namespace {

using testsupport::LevelBuilder;
using Lines = std::vector<std::wstring>;

class WeekCycle : public testsupport::ParkGridBench {
protected:
    WeekCycle() {
        EnterPark(LevelBuilder(8, 8), 500);
        display.sceneParent = &mgr;
        // A short week; without the display setting the timer night would fall at once.
        display.widget.onRun = [this](std::wstring_view name) {
            if (name == L"week_start_shared") grid->SetWeekTimer(2.0f);
        };
    }
    static RESEARCH_OPTION Research(std::wstring name, int32_t effect, std::wstring param, int32_t ticks) {
        RESEARCH_OPTION option;
        option.name = std::move(name);
        option.effect = effect;
        option.param = std::move(param);
        option.ticks = ticks;
        return option;
    }
};

// Week, nightfall, the review (the night's scene signals its end), the open
// park and the next week; goals and week statistics reset at the first start
// and at opening only; the calendar and research only while a week runs.
TEST_F(WeekCycle, RunsThroughNightfallOpeningAndSunrise) {
    Define(L"nightfall", {Step(L"signal", {{L"message", L"finish_reviewing_week_action"}})});
    level->weeks_played = 2;
    level->stats.week.money_earned = 40;
    level->bought_research.push_back(Research(L"slow", RESEARCH_OPTION::kUnlockMarketing, L"", 100));

    grid->StartItems();
    EXPECT_EQ(display.TakeLog(), (Lines{L"week_start_shared", L"request_naming"}));
    EXPECT_EQ(level->stats.week.money_earned, 0);
    const int calendar = display.calendarUpdates;
    Advance(3);
    EXPECT_EQ(grid->GetParkState(), KivraGrid::kWeekRunning);
    EXPECT_EQ(display.calendarUpdates, calendar + 3);
    EXPECT_EQ(level->bought_research[0].ticks, 97);

    // The scripts bring the timer to 0: the display closes what is open,
    // night falls once, and the review ends.
    level->stats.week.money_earned = 40;
    grid->SetWeekTimer(0.0f);
    Advance(1);
    EXPECT_EQ(display.TakeLog(),
              (Lines{L"nightfall_callback", L"scene nightfall", L"signal finish_reviewing_week_action"}));
    EXPECT_EQ(level->weeks_played, 3);
    EXPECT_EQ(grid->GetParkState(), KivraGrid::kParkOpen);
    EXPECT_TRUE(display.widget.GetLocalVariable(L"park_open").ToBool());
    EXPECT_EQ(level->stats.week.money_earned, 0);

    // The open park: no calendar, no research, no second nightfall.
    level->stats.week.money_earned = 25;
    Advance(5);
    EXPECT_EQ(display.calendarUpdates, calendar + 3);
    EXPECT_EQ(level->bought_research[0].ticks, 97);
    EXPECT_EQ(level->weeks_played, 3);

    // Sunrise: the next week, without a reset.
    display.AnimationSignal(0, L"finish_sunrise");
    EXPECT_EQ(display.TakeLog(), (Lines{L"signal finish_sunrise", L"week_start_shared: park_open=true"}));
    Advance(1);
    EXPECT_EQ(grid->GetParkState(), KivraGrid::kWeekRunning);
    EXPECT_EQ(level->stats.week.money_earned, 25);
    EXPECT_EQ(level->bought_research[0].ticks, 96);
}

// Records of 1, 0 and fewer ticks finish at the next step, in list order,
// each once; their effects go into this level, never the type records.
TEST_F(WeekCycle, ResearchFinishesOnceIntoTheLevel) {
    grid->StartItems();
    level->marketing_slots = 1;
    level->availability[L"hut"] = 0;
    level->bought_research = {
        Research(L"ads", RESEARCH_OPTION::kUnlockMarketing, L"", 1),
        Research(L"later", RESEARCH_OPTION::kLearnCombo, L"later_combo", 3),
        Research(L"huts", RESEARCH_OPTION::kUnlockBuilding, L"hut", 0),
        Research(L"combo", RESEARCH_OPTION::kLearnCombo, L"kids_corner", -5),
        Research(L"odd", 7, L"bench", 1),
    };
    display.TakeLog();
    Advance(1);
    EXPECT_EQ(display.TakeLog(), (Lines{L"research_finished ads", L"research_finished huts", L"research_finished combo",
                                        L"research_finished odd"}));
    ASSERT_EQ(level->bought_research.size(), 1u);
    EXPECT_EQ(level->bought_research[0].ticks, 2);
    EXPECT_EQ(level->marketing_slots, 2);
    EXPECT_EQ(level->availability[L"hut"], 1);
    EXPECT_FALSE(level->availability.contains(L"bench"));
    EXPECT_TRUE(dynamic_cast<KIVRA_BUILDING_TYPE*>(FindRecordByName(&items, L"hut"))->availabletobuy);
    EXPECT_EQ(level->learned_combos, (std::set<std::wstring>{L"kids_corner"}));
    Advance(2);
    EXPECT_EQ(display.TakeLog(), (Lines{L"research_finished later"}));
    EXPECT_TRUE(level->learned_combos.contains(L"later_combo"));
    EXPECT_EQ(level->marketing_slots, 2);
}

// A save edited to the far end of the numbers: the week's count and the
// marketing slots go on past it as the park's other counts do, wrapping,
// never into undefined arithmetic.
TEST_F(WeekCycle, CountsAtTheFarEndOfTheNumbersWrap) {
    Define(L"nightfall", {Step(L"signal", {{L"message", L"finish_reviewing_week_action"}})});
    level->weeks_played = INT32_MAX;
    level->marketing_slots = INT32_MAX;
    level->bought_research.push_back(Research(L"ads", RESEARCH_OPTION::kUnlockMarketing, L"", 1));
    grid->StartItems();
    Advance(1);
    grid->SetWeekTimer(0.0f);
    Advance(1);
    EXPECT_EQ(level->weeks_played, INT32_MIN);
    EXPECT_EQ(level->marketing_slots, INT32_MIN);
}

}  // namespace
