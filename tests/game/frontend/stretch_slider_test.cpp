// The game's sliders: the stretched track's size and the scroll bar that
// moves its canvas inside the window.
#include <gtest/gtest.h>

#include "game/frontend/menus/stretch_slider.h"
#include "tests/game/frontend/frontend_test_support.h"
#include "widgets/dynamic/dynamic_widget.h"

namespace {

using namespace testsupport;

class SliderTest : public FrontendTest {
protected:
    Image* Track() { return dynamic_cast<Image*>(assets.images[L"Slider"]); }
    Image* Thumb() { return dynamic_cast<Image*>(assets.images[L"Slider_Thumb"]); }
};

TEST_F(SliderTest, ANegativeSpanTakesTheTrackLengthAndTheThumbSetsTheThickness) {
    StretchSlider across(Track(), Thumb(), nullptr, true, -1);
    EXPECT_EQ(across.GetWidth(), 100);
    EXPECT_EQ(across.GetHeight(), 20);
    StretchSlider down(Track(), Thumb(), nullptr, false, 250);
    EXPECT_EQ(down.GetWidth(), 20);
    EXPECT_EQ(down.GetHeight(), 250);
}

TEST_F(SliderTest, TheCanvasScrollsByTheOverhangAndANewSliderOpensWhereTheLastWasLeft) {
    auto* canvas = new DynamicWidget(0, 0, nullptr, 1.0f);
    canvas->Resize(0, 0, 50, 100);
    auto* far = new DynamicWidget(0, 0, nullptr, 1.0f);
    far->Resize(0, 300, 50, 100);  // content reaches 400 down
    canvas->AddWidget(far);
    mgr.AddWidget(canvas);

    KivraSlider bar(canvas, {10, 20, 50, 150}, Track(), Thumb(), nullptr, false, 150);
    EXPECT_FLOAT_EQ(bar.ContentHeight(), 400.0f);
    bar.SetValue(0.5);
    bar.Update();
    EXPECT_FLOAT_EQ(canvas->GetY(), 20.0f - (400.0f - 150.0f) * 0.5f);
    EXPECT_FLOAT_EQ(canvas->abs_clip[3], 170.0f);

    KivraSlider next(nullptr, {}, Track(), Thumb(), nullptr, false, 150);
    EXPECT_DOUBLE_EQ(next.GetValue(), 0.5);
}

TEST_F(SliderTest, ContentSmallerThanTheWindowDoesNotScroll) {
    auto* canvas = new DynamicWidget(0, 0, nullptr, 1.0f);
    canvas->Resize(0, 0, 40, 60);
    mgr.AddWidget(canvas);
    KivraSlider bar(canvas, {5, 7, 50, 150}, Track(), Thumb(), nullptr, true, 150);
    bar.SetValue(1.0);
    bar.Update();
    EXPECT_FLOAT_EQ(canvas->GetX(), 5.0f);
}

}  // namespace
