// The tutorial's file: its grammar and defaults, the event table, and a
// file that is missing.
#include <gtest/gtest.h>

#include <limits>

#include "game/frontend/hud/tutorial_data.h"
#include "tests/platform/temp_folder.h"

namespace {

using testsupport::CurrentDirectoryGuard;
using testsupport::TempFolder;
using testsupport::WriteBytes;

class TutorialFile : public ::testing::Test {
protected:
    TutorialData Read(std::string_view xml) {
        WriteBytes(folder_.Path() / "properties" / "tutorial_data.xml", xml);
        return ReadTutorialData("tutorial_data.xml");
    }

private:
    TempFolder folder_;
    CurrentDirectoryGuard cwd_{folder_.Path()};
};

TEST_F(TutorialFile, ReadsStepsBoxesAndHighlightsWithTheirDefaults) {
    const TutorialData data = Read(R"(<tutorial>
        <highlight col="1" row="1"/><message-box/>
        <step name="hello"/>
        <step name="build" proceed_when="open_build_menu" wait="25" paused="false" skippable="false" pushable="true" draggable="true">
            <message-box text_label="own_text" button_label="" x="10" y="20" width="300" height="90" block_mouse="true"/>
            <highlight col="4" row="5" width="2" height="3"/>
            <unknown col="0" row="0"/>
            <highlight col="9" row="9"/>
            <highlight col="2147483647" row="2147483646" width="2" height="3"/>
            <highlight col="0" row="0" width="100000" height="100000"/>
        </step>
        <step name="boxes" proceed_when="no such event">
            <message-box text_label="first" block_mouse="true"/>
            <message-box/>
        </step>
        <step name="hello" proceed_when="close_finish_research"/>
    </tutorial>)");
    ASSERT_EQ(data.steps.size(), 4u);

    const TutorialStep& hello = *data.steps[0];
    EXPECT_EQ(hello.Name(), L"hello");
    EXPECT_EQ(hello.ProceedEvent(), kUnknownTutorialEvent) << "no proceed_when: an event nothing sends";
    EXPECT_EQ(hello.Wait(), 0);
    EXPECT_TRUE(hello.GetFlags().paused && hello.GetFlags().skippable);
    EXPECT_FALSE(hello.GetFlags().pushable || hello.GetFlags().draggable);
    EXPECT_FALSE(hello.MessageBox().has_value()) << "the box and highlight before any step went nowhere";
    EXPECT_TRUE(hello.Highlights().empty());

    const TutorialStep& build = *data.steps[1];
    EXPECT_EQ(build.ProceedEvent(), 5);
    EXPECT_EQ(build.Wait(), 25);
    EXPECT_FALSE(build.GetFlags().paused || build.GetFlags().skippable);
    EXPECT_TRUE(build.GetFlags().pushable && build.GetFlags().draggable);
    ASSERT_TRUE(build.MessageBox().has_value());
    const TutorialMessageBox& box = *build.MessageBox();
    EXPECT_EQ(box.textLabel, L"own_text");
    EXPECT_EQ(box.buttonLabel, L"") << "an explicit empty label means no button";
    EXPECT_TRUE(box.blockMouse);
    EXPECT_EQ((std::vector<int32_t>{box.x, box.y, box.width, box.height}), (std::vector<int32_t>{10, 20, 300, 90}));
    // Column by column, then the 1 x 1 default; tiles that lie in no park are
    // left out, so a highlight larger than any park keeps one park's worth.
    const std::vector<TilePoint>& tiles = build.Highlights();
    ASSERT_EQ(tiles.size(), 7u + kParkSideBound * kParkSideBound);
    EXPECT_EQ(std::vector<TilePoint>(tiles.begin(), tiles.begin() + 8),
              (std::vector<TilePoint>{{4, 5}, {4, 6}, {4, 7}, {5, 5}, {5, 6}, {5, 7}, {9, 9}, {0, 0}}));
    EXPECT_EQ(tiles.back(), (TilePoint{kParkSideBound - 1, kParkSideBound - 1}));

    // A later box replaces the earlier one whole; its keys follow the step's name.
    const TutorialStep& boxes = *data.steps[2];
    EXPECT_EQ(boxes.ProceedEvent(), kUnknownTutorialEvent);
    ASSERT_TRUE(boxes.MessageBox().has_value());
    EXPECT_EQ(boxes.MessageBox()->textLabel, L"t_instr_boxes");
    EXPECT_EQ(boxes.MessageBox()->buttonLabel, L"t_btn_boxes");
    EXPECT_FALSE(boxes.MessageBox()->blockMouse);
    EXPECT_EQ(boxes.MessageBox()->x, -1);
    EXPECT_EQ(boxes.MessageBox()->height, -1);

    // The later step of a name takes the name; indexes outside the steps find none.
    EXPECT_EQ(data.steps[3]->ProceedEvent(), 39);
    EXPECT_EQ(data.indexByName.at(L"hello"), 3);
    EXPECT_EQ(data.indexByName.at(L"build"), 1);
    EXPECT_EQ(data.At(1), &build);
    EXPECT_EQ(data.At(-1), nullptr);
    EXPECT_EQ(data.At(4), nullptr);
}

TEST_F(TutorialFile, AMissingOrEmptyFileHasNoSteps) {
    EXPECT_TRUE(ReadTutorialData("tutorial_data.xml").steps.empty());
    EXPECT_TRUE(Read("<tutorial/>").steps.empty());
}

// The names the game's code sends, by number; exact comparison.
TEST(TutorialEvents, NamesGiveTheirNumbers) {
    const std::vector<std::pair<std::wstring_view, int32_t>> table = {
        {L"name_park", 0},
        {L"open_goals_menu", 1},
        {L"choose_challenge", 2},
        {L"drag_to_ticket_gate", 3},
        {L"open_main_menu", 4},
        {L"open_build_menu", 5},
        {L"show_bouncy_castle_details", 6},
        {L"ok", 7},
        {L"hover_bouncy_castle", 8},
        {L"place_bouncy_castle", 9},
        {L"start_painting_sidewalk", 10},
        {L"paint_all_highlights", 11},
        {L"finish_painting_sidewalk", 12},
        {L"show_rewards", 19},
        {L"show_goals_list", 20},
        {L"place_flowers_red", 31},
        {L"close_finish_research", 39},
        {L"OK", 40},
        {L"open_build_menu ", 40},
        {L"", 40},
    };
    for (const auto& [name, number] : table)
        EXPECT_EQ(TutorialEventNumber(name), number) << std::string(name.begin(), name.end());
}

}  // namespace
