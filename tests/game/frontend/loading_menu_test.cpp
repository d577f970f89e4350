// The title screen while the data loads and after, and the introduction.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "game/frontend/menus/enter_name_menu.h"
#include "game/frontend/menus/loading_menu.h"
#include "rendering/draw/graphics.h"
#include "tests/game/frontend/frontend_test_support.h"
#include "tests/rendering/graphics_test_support.h"

namespace {

using namespace testsupport;

class LoadingMenuTest : public FrontendTest {
protected:
    LoadingMenuTest() {
        AddImage(L"PlayGame", 266, 60);
        loading = new LoadingMenu();
        menus.AddMenu(loading);
    }
    // The draws of one image in one frame of the title screen alone.
    std::vector<TargetCall> DrawsOf(const ImageSurface* image) {
        RecordingTarget target(loading->GetWidth(), loading->GetHeight());
        {
            Graphics g(&target);
            loading->Draw(&g);
        }
        std::vector<TargetCall> found;
        std::copy_if(target.calls.begin(), target.calls.end(), std::back_inserter(found),
                     [&](const TargetCall& c) { return c.image == image; });
        return found;
    }

    ImageSurface* logo = AddImage(L"GameLogo", 300, 80);
    ImageSurface* base = AddImage(L"Loadingbar_base", 210, 12);
    ImageSurface* top = AddImage(L"Loadingbar_Top", 200, 10);
    LoadingMenu* loading;
};

TEST_F(LoadingMenuTest, TheBarFillsWithTheProgressCutToWholePixels) {
    const int w = loading->GetWidth();
    for (double progress : {0.0, 0.004, 0.337, 1.0}) {
        app.SetLoadingProgress(progress);
        ASSERT_EQ(DrawsOf(base).size(), 1u);
        EXPECT_EQ(DrawsOf(base)[0].x, static_cast<float>((w - 210) / 2 + 5));
        const auto tops = DrawsOf(top);
        const int filled = static_cast<int>(std::trunc(progress * 200));
        if (filled == 0) {
            EXPECT_TRUE(tops.empty()) << progress;
            continue;
        }
        ASSERT_EQ(tops.size(), 1u) << progress;
        EXPECT_EQ(tops[0].x, static_cast<float>((w - 200) / 2 - 4));
        EXPECT_EQ(tops[0].y, 603.0f);
        EXPECT_EQ(tops[0].source, FRect(0, 0, static_cast<float>(filled), 10));
    }
    EXPECT_EQ(DrawsOf(logo).size(), 1u);
}

TEST_F(LoadingMenuTest, NothingLeavesTheScreenBeforeLoadingEnds) {
    EXPECT_EQ(loading->GetPlayButton(), nullptr);
    for (int y = 0; y < loading->GetHeight(); y += 40) Click(loading->GetWidth() / 2 - 100, y);
    EXPECT_TRUE(IsOpen(loading));
    EXPECT_EQ(OpenOf<EnterNameMenu>(), nullptr);
    EXPECT_EQ(startup.titleDone, 0);
}

TEST_F(LoadingMenuTest, AfterLoadingThePulsingButtonReplacesTheBarAndOtherButtonsAreIgnored) {
    app.SetLoadingProgress(1.0);
    loading->LoadingFinished();
    ButtonWidget* play = loading->GetPlayButton();
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->GetX(), static_cast<float>(loading->GetWidth() / 2 - 133));
    EXPECT_EQ(play->GetY(), static_cast<float>(loading->GetHeight() / 2 + 30));
    EXPECT_TRUE(DrawsOf(base).empty());
    EXPECT_TRUE(DrawsOf(top).empty());

    // Amplitude 0.25 about 1, a period of 150 updates.
    float low = 2, high = 0;
    for (int i = 0; i < 150; ++i) {
        Updates(1);
        for (float channel : {play->red, play->green, play->blue}) {
            low = std::min(low, channel);
            high = std::max(high, channel);
        }
    }
    EXPECT_NEAR(high, 1.25f, 0.01f);
    EXPECT_NEAR(low, 0.75f, 0.01f);
    EXPECT_NEAR(play->red, 1.0f, 0.01f);

    ButtonWidget* other = loading->AddButton(10, 10, L"PlayGame", L"", false);
    ClickOn(other);
    EXPECT_TRUE(IsOpen(loading));
    EXPECT_TRUE(loading->ShowsLogo());
    EXPECT_EQ(OpenOf<EnterNameMenu>(), nullptr);
    EXPECT_EQ(startup.titleDone, 0);
}

TEST_F(LoadingMenuTest, WithoutANameTheTitleStaysUnderTheNameEntryWithItsButtonFading) {
    loading->LoadingFinished();
    ButtonWidget* play = loading->GetPlayButton();
    ClickOn(play);
    EXPECT_NE(OpenOf<EnterNameMenu>(), nullptr);
    EXPECT_TRUE(IsOpen(loading));
    EXPECT_FALSE(loading->ShowsLogo());
    EXPECT_TRUE(DrawsOf(logo).empty());
    EXPECT_EQ(startup.titleDone, 0);
    Updates(11);
    EXPECT_GT(play->opacity, 0.0f);
    EXPECT_LT(play->opacity, 1.0f);
    const float red = play->red;
    Updates(12);
    EXPECT_EQ(play->opacity, 0.0f);
    EXPECT_EQ(play->red, red);  // the pulse stopped with the press
}

TEST_F(LoadingMenuTest, WithANameThePlayButtonClosesTheTitle) {
    app.SetPlayerName(L"Dee");
    loading->LoadingFinished();
    ClickOn(loading->GetPlayButton());
    EXPECT_EQ(startup.titleDone, 1);
    EXPECT_FALSE(IsOpen(loading));
    EXPECT_EQ(OpenOf<EnterNameMenu>(), nullptr);
}

TEST_F(FrontendTest, TheIntroLeavesAndAsksForThePlayMenuOnceWhenItsScriptEnds) {
    // A script missing from the data must not leave a blank screen for good.
    for (bool scripted : {true, false}) {
        app.calls.clear();
        AnimationLibrary().erase(L"intro_menu");
        if (scripted) Define(L"intro_menu", {Step(L"note", {{L"text", L"a"}})});
        auto* intro = new IntroMenu();
        EXPECT_TRUE(app.calls.empty());
        // The script runs, and ends, as the intro joins the tree.
        menus.AddMenu(intro);
        Updates(5);
        EXPECT_FALSE(IsOpen(intro)) << scripted;
        EXPECT_EQ(app.calls, std::vector<std::wstring>{L"play menu"}) << scripted;
    }
}

}  // namespace
