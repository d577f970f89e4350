// The tutorial in the in-game display on the park's bench: steps that wait,
// show and end, the flags two steps share held through the wait, the last
// event and skipping ending it, and a saved step the file lacks, a step
// ended while it waited or a display left during a wait showing nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/game/frontend/hud_test_support.h"
#include "tests/platform/temp_folder.h"

namespace {

using testsupport::LevelBuilder;
using Log = std::vector<std::wstring>;

constexpr std::string_view kSteps = R"(<tutorial>
    <step name="one" proceed_when="open_build_menu" wait="5">
        <message-box/>
        <highlight col="1" row="1" width="2"/>
        <highlight col="20" row="1"/>
        <highlight col="2" row="1"/>
    </step>
    <step name="two" proceed_when="ok" wait="5" draggable="true"/>
    <step name="navigate" proceed_when="choose_challenge" wait="5" paused="false" skippable="false"/>
</tutorial>)";

class TutorialSteps : public testsupport::HudTest {
protected:
    // The display opened with the player at `step`, the tutorial started.
    void Open(int32_t step, std::string_view steps = kSteps) {
        testsupport::WriteBytes("properties/tutorial_data.xml", steps);
        Define(L"tutorial_wait", {Step(L"wait-for", {{L"time", L"time"}})});
        Logged({L"tutorial_add_message_box", L"tutorial_remove_message_box", L"tutorial_add_skip_button",
                L"tutorial_remove_skip_button", L"tutorial_one_start", L"tutorial_one_end", L"tutorial_two_start",
                L"tutorial_two_end", L"tutorial_navigate_start", L"tutorial_navigate_end", L"end_tutorial_callback"});
        Play(LevelBuilder(8, 8));
        player->tutorialStep = step;
        OpenHere();
        hud->DoAction(L"start_tutorial_action", L"", 0);
        TakeLog();
    }
    Tutorial& tutorial() { return hud->GetTutorial(); }
    bool Event(int32_t event) { return hud->OnTutorialEvent(event, hud->Grid()); }
    TileChar Material(int32_t col, int32_t row) { return hud->Grid().GetTileAt(col, row)->material; }
    bool Logs(const wchar_t* name) {
        const Log log = TakeLog();
        return std::find(log.begin(), log.end(), name) != log.end();
    }
};

TEST_F(TutorialSteps, StepsWaitShowAndEndWithTheFlagsTheyShareHeldThroughTheWait) {
    Open(0);
    KivraGrid& grid = hud->Grid();
    Advance(2);
    EXPECT_TRUE(TakeLog().empty()) << "nothing shows before the wait ends";
    EXPECT_EQ(Material(1, 1), 'S');
    Advance(6);
    EXPECT_EQ(TakeLog(), (Log{L"tutorial_add_message_box", L"tutorial_one_start", L"tutorial_add_skip_button"}));
    EXPECT_EQ(hud->GetLocalVariable(L"text_label").ToString(), L"t_instr_one");
    EXPECT_EQ(hud->GetLocalVariable(L"button_label").ToString(), L"t_btn_one");
    EXPECT_EQ(Material(1, 1), 'T');
    EXPECT_EQ(Material(2, 1), 'T');
    EXPECT_EQ(hud->GetLocalVariable(L"tiles_highlighted_count").ToInt(), 2)
        << "a tile outside the park is skipped, one marked twice counts once";
    EXPECT_TRUE(player->paused);
    EXPECT_FALSE(grid.IsDraggable());
    EXPECT_EQ(tutorial().GetStepName(0), L"one");
    EXPECT_FALSE(tutorial().HasReachedStep(L"navigate"));
    EXPECT_TRUE(tutorial().HasReachedStep(L"not_in_the_file"));

    EXPECT_FALSE(Event(7)) << "not the event the step waits for";
    EXPECT_TRUE(Event(5));
    EXPECT_EQ(TakeLog(), (Log{L"tutorial_remove_message_box", L"tutorial_one_end", L"tutorial_remove_skip_button"}));
    EXPECT_EQ(Material(1, 1), '_');
    EXPECT_EQ(player->tutorialStep, 1);
    EXPECT_TRUE(player->paused) << "both steps pause: the park stays still through the wait";
    EXPECT_FALSE(grid.IsDraggable()) << "a changed flag waits for the step to show";
    Advance(8);
    EXPECT_TRUE(grid.IsDraggable());
    EXPECT_EQ(TakeLog(), (Log{L"tutorial_two_start", L"tutorial_add_skip_button"})) << "no box: only its scripts";

    EXPECT_TRUE(Event(7));
    EXPECT_FALSE(player->paused) << "the next step does not pause: unpaused from the end of this one";
    EXPECT_TRUE(grid.IsDraggable()) << "both steps let the park be dragged";
    EXPECT_TRUE(tutorial().HasReachedStep(L"navigate"));
    Advance(8);
    EXPECT_FALSE(player->paused);
    EXPECT_EQ(TakeLog(), (Log{L"tutorial_remove_message_box", L"tutorial_two_end", L"tutorial_remove_skip_button",
                              L"tutorial_navigate_start"}))
        << "not skippable: no skip button";

    EXPECT_TRUE(Event(2)) << "the last step's event ends the tutorial";
    EXPECT_TRUE(Logs(L"end_tutorial_callback"));
    EXPECT_EQ(player->tutorialStep, -1);
    EXPECT_TRUE(tutorial().IsInactive());
    EXPECT_FALSE(tutorial().GetStepName(2).has_value());
    EXPECT_FALSE(Event(2));
}

// Skipping ends it from any step; the wait of a step that ended, or of a
// display that left, shows nothing.
TEST_F(TutorialSteps, SkippingEndsItResumingStartsTheSavedStepAndAnEndedOrLeftWaitShowsNothing) {
    Open(1);
    Advance(8);
    EXPECT_TRUE(Logs(L"tutorial_two_start")) << "a saved step goes on where it was";
    EXPECT_TRUE(Event(7));
    Open(0);
    Advance(8);
    EXPECT_EQ(Material(1, 1), 'T');
    hud->DoAction(L"end_tutorial_action", L"", 0);
    EXPECT_TRUE(Logs(L"end_tutorial_callback"));
    EXPECT_EQ(player->tutorialStep, -1);
    EXPECT_FALSE(player->paused);
    EXPECT_EQ(Material(1, 1), '_') << "the marked tiles go with the tutorial";
    EXPECT_TRUE(hud->Grid().IsDraggable());

    Open(0);
    EXPECT_TRUE(Event(5)) << "ended while it still waited";
    Advance(8);
    EXPECT_EQ(TakeLog(), (Log{L"tutorial_remove_message_box", L"tutorial_one_end", L"tutorial_remove_skip_button",
                              L"tutorial_two_start", L"tutorial_add_skip_button"}));
    EXPECT_TRUE(hud->Grid().IsDraggable());
    Open(0);
    hud->DoAction(L"quit_action", L"", 0);
    Advance(8);
    EXPECT_FALSE(Logs(L"tutorial_one_start"));
    EXPECT_EQ(TutorialStep::CurrentWait(), nullptr);
}

// A saved step past the file's steps, and a new player without the file,
// are no tutorial: no event indexes past the steps.
TEST_F(TutorialSteps, AStepOutsideTheFilesStepsIsNoTutorial) {
    for (auto [step, steps] : {std::pair{7, kSteps}, {0, std::string_view("<tutorial/>")}}) {
        Open(step, steps);
        EXPECT_TRUE(tutorial().IsInactive());
        EXPECT_FALSE(tutorial().GetStepName(0).has_value());
        EXPECT_TRUE(tutorial().HasReachedStep(L"navigate"));
        EXPECT_FALSE(Event(kUnknownTutorialEvent));
        Advance(8);
        EXPECT_TRUE(TakeLog().empty()) << step;
    }
}

}  // namespace
