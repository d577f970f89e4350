// The options dialog: sliders act at once, boxes on close, the full-screen
// box governs the mouse and stretch controls.
#include <gtest/gtest.h>

#include "game/frontend/menus/in_game_display.h"
#include "game/frontend/menus/options_menu.h"
#include "tests/game/frontend/frontend_test_support.h"
#include "widgets/screens/notice_menu.h"

namespace {

using namespace testsupport;

class ExitRecorder : public InGameDisplay {
public:
    Widget* FocusTarget() override { return nullptr; }
    void ExitToMenu(Menu* next) override { exits.push_back(next); }
    std::vector<Menu*> exits;
};

class OptionsTest : public FrontendTest {
protected:
    void Open(InGameDisplay* opener = nullptr) {
        options = new OptionsMenu(L"main_menu", opener);
        menus.AddMenu(options);
        // The dialog takes clicks once its fade-in has ended.
        Updates(200);
    }
    // Clicks the slider's track at the fraction of its length.
    void ClickSlider(Slider* slider, double fraction) {
        const FRect r = slider->MapRectToScreen(
            FRect(0, 0, static_cast<float>(slider->GetWidth()), static_cast<float>(slider->GetHeight())));
        Click(static_cast<int>(r.x + r.w * fraction), static_cast<int>(r.y + r.h / 2));
    }

    OptionsMenu* options = nullptr;
};

TEST(MouseSpeedScale, SliderValuesRoundToTheNearestSpeedAndBack) {
    EXPECT_EQ(OptionsMenu::ValueToMouseSpeed(0.5), 11);
    for (int speed = 1; speed <= 20; ++speed)
        EXPECT_EQ(OptionsMenu::ValueToMouseSpeed(OptionsMenu::MouseSpeedToValue(speed)), speed);
}

TEST_F(OptionsTest, SlidersActAtOnceAndTheMouseSliderSnapsOnRelease) {
    app.SwitchScreenMode(false, false);
    Open();
    EXPECT_TRUE(options->GetLocalVariable(L"main_menu").ToBool());
    EXPECT_TRUE(options->GetMouseSlider()->IsVisible());

    ClickSlider(options->GetMusicSlider(), 0.9);
    EXPECT_GT(app.GetTrackVolume(L"music"), 0.5);
    EXPECT_DOUBLE_EQ(app.GetTrackVolume(L"music"), options->GetMusicSlider()->GetValue());
    ClickSlider(options->GetSoundSlider(), 0.1);
    EXPECT_LT(app.GetSfxVolume(), 0.5);
    EXPECT_EQ(app.calls.back(), L"sound feedback_general");

    options->SliderChanged(options->GetMouseSlider(), 0.5);
    EXPECT_EQ(app.GetMouseSpeed(), 11);
    options->SliderCommitted(options->GetMouseSlider(), 0.5);
    EXPECT_DOUBLE_EQ(options->GetMouseSlider()->GetValue(), 10.0 / 19.0);
}

TEST_F(OptionsTest, BoxesApplyOnlyOnCloseAndFullScreenGovernsTheOtherControls) {
    app.SwitchScreenMode(false, false);
    app.SetCustomCursors(true);
    Open();
    EXPECT_TRUE(options->GetStretchBox()->IsVisible());
    ClickOn(options->GetFullScreenBox());
    ClickOn(options->GetCursorsBox());
    EXPECT_FALSE(options->GetFullScreenBox()->IsChecked());
    EXPECT_FALSE(options->GetMouseSlider()->IsVisible());
    EXPECT_FALSE(options->GetStretchBox()->IsVisible());
    EXPECT_FALSE(app.IsWindowed());
    EXPECT_TRUE(app.UsesCustomCursors());

    options->DoAction(L"close", L"", 0);
    EXPECT_TRUE(app.IsWindowed());
    EXPECT_FALSE(app.UsesCustomCursors());
    EXPECT_FALSE(IsOpen(options));
    // Written as soon as the dialog closes, with the boxes applied.
    ASSERT_FALSE(app.calls.empty());
    EXPECT_EQ(app.calls.back(), L"save settings");
}

TEST_F(OptionsTest, WithoutAWindowedModeUncheckingFullScreenShowsANoticeAndStaysChecked) {
    app.SwitchScreenMode(false, false);
    app.windowedModePossible = false;
    Open();
    ClickOn(options->GetFullScreenBox());
    EXPECT_NE(OpenOf<NoticeMenu>(), nullptr);
    EXPECT_TRUE(options->GetFullScreenBox()->IsChecked());
    EXPECT_TRUE(options->GetMouseSlider()->IsVisible());
}

TEST_F(OptionsTest, StretchingIsNotOfferedOnADesktopOfTheGamesShape) {
    app.SwitchScreenMode(false, false);
    app.sameShape = true;
    Open();
    EXPECT_TRUE(options->GetStretchBox()->IsDisabled());
    EXPECT_FALSE(options->GetStretchBox()->IsVisible());
}

TEST_F(OptionsTest, CloseQuitAppliesAndLeavesTheLevelOfTheOpener) {
    ExitRecorder display;
    Open(&display);
    options->DoAction(L"close_quit", L"", 0);
    EXPECT_EQ(display.exits, std::vector<Menu*>{nullptr});
    EXPECT_FALSE(IsOpen(options));
}

}  // namespace
