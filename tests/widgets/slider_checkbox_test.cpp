// Slider and check box as a player uses them: dragging the thumb, clicking
// the track, releasing without a move, toggling with any button; and the
// colour palette the edit field builds on.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/widgets/controls_test_support.h"
#include "tests/widgets/dynamic_widget_test_support.h"
#include "tests/widgets/widget_test_support.h"
#include "widgets/controls/checkbox.h"
#include "widgets/controls/color_widget.h"
#include "widgets/controls/slider.h"

namespace {

using namespace testsupport;

class RecordingSliderListener : public SliderListener {
public:
    void SliderChanged(Slider*, double v) override { calls.push_back("changed " + std::to_string(v)); }
    void SliderCommitted(Slider*, double v) override { calls.push_back("committed " + std::to_string(v)); }
    std::vector<std::string> calls;
};

std::string Changed(double v) { return "changed " + std::to_string(v); }
std::string Committed(double v) { return "committed " + std::to_string(v); }

class SliderTest : public ManagerTest {
protected:
    // A 200 x 20 slider at (0, 100) with a 20 x 20 thumb.
    Slider* Add() {
        auto* s = new Slider(track.get(), thumb.get(), &listener);
        s->Resize(0, 100, 200, 20);
        mgr.AddWidget(s);
        return s;
    }
    ~SliderTest() override { mgr.RemoveAllWidgets(true, false); }

    std::unique_ptr<ImageSurface> track = SolidImage(180, 4, 0xFF808080u);
    std::unique_ptr<ImageSurface> thumb = SolidImage(20, 20, 0xFFFFFFFFu);
    RecordingSliderListener listener;
};

TEST_F(SliderTest, SetValueClampsAndNeverNotifies) {
    Slider* s = Add();
    s->SetValue(1.7);
    EXPECT_EQ(s->GetValue(), 1.0);
    s->SetValue(-3.0);
    EXPECT_EQ(s->GetValue(), 0.0);
    s->SetValue(0.25);
    s->SetValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(s->GetValue(), 0.0);
    EXPECT_TRUE(listener.calls.empty());
}

TEST_F(SliderTest, DraggingTheThumbReportsChangesAndCommitsOnRelease) {
    Slider* s = Add();
    mgr.WindowMouseMove(10, 110);
    EXPECT_EQ(host.cursor, 2);  // over the thumb
    mgr.WindowMouseDown(10, 110, 1);
    EXPECT_TRUE(s->IsDragging());
    mgr.WindowMouseMove(100, 110);  // grabbed 10 into the thumb: (100 - 10) / 180
    mgr.WindowMouseMove(100, 150);  // off the slider, same x: no change
    mgr.WindowMouseMove(400, 150);  // beyond the end
    mgr.WindowMouseUp(400, 150, 1);
    EXPECT_FALSE(s->IsDragging());
    EXPECT_EQ(host.cursor, 0);
    EXPECT_EQ(s->GetValue(), 1.0);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{Changed(0.5), Changed(1.0), Changed(1.0), Committed(1.0)}));
}

TEST_F(SliderTest, ReleaseWithoutAMoveOnlyReportsTheValue) {
    Add();
    mgr.WindowMouseMove(10, 110);
    mgr.WindowMouseDown(10, 110, 1);
    mgr.WindowMouseUp(10, 110, 1);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{Changed(0.0)}));
}

TEST_F(SliderTest, TrackClickJumpsThereAndReportsBoth) {
    Slider* s = Add();
    mgr.WindowMouseMove(150, 110);
    EXPECT_EQ(host.cursor, 0);          // over the track, not the thumb
    mgr.WindowMouseDown(150, 110, -1);  // any button
    EXPECT_EQ(s->GetValue(), 0.75);
    mgr.WindowMouseUp(150, 110, -1);
    s->MouseDown(200, 5, 1);  // the far end of the track
    EXPECT_EQ(s->GetValue(), 1.0);
    EXPECT_EQ(listener.calls,
              (std::vector<std::string>{Changed(0.75), Committed(0.75), Changed(0.75), Changed(1.0), Committed(1.0)}));
    s->SetClickJumps(false);
    s->MouseDown(10, 5, 1);
    EXPECT_EQ(s->GetValue(), 1.0);
}

TEST_F(SliderTest, SliderWithoutRoomIgnoresPressesAndDrags) {
    Slider* s = Add();
    s->Resize(0, 100, 0, 20);
    s->SetValue(0.5);
    s->MouseDown(15, 5, 1);  // off the thumb: no length to jump along
    EXPECT_FALSE(s->IsDragging());
    EXPECT_EQ(s->GetValue(), 0.5);
    EXPECT_TRUE(listener.calls.empty());
    // As long as its thumb: the press grabs the thumb, the drag has nowhere to go.
    s->Resize(0, 100, 20, 20);
    s->MouseDown(5, 5, 1);
    ASSERT_TRUE(s->IsDragging());
    s->MouseDrag(15, 5);
    EXPECT_EQ(s->GetValue(), 0.5);
    s->MouseUpAt(15, 5);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{Changed(0.5)}));
}

TEST_F(SliderTest, VerticalSliderUsesHeights) {
    Slider* s = Add();
    s->SetHorizontal(false);
    s->Resize(0, 100, 20, 200);
    s->MouseDown(5, 50, 1);
    EXPECT_EQ(s->GetValue(), 0.25);
    s->MouseDown(5, 50 + 5, 1);  // on the thumb now (45 .. 65): a drag starts
    ASSERT_TRUE(s->IsDragging());
    s->MouseDrag(5, 10 + 135);  // grabbed 10 into the thumb
    EXPECT_EQ(s->GetValue(), 0.75);
}

class RecordingCheckboxListener : public CheckboxListener {
public:
    void CheckboxChecked(int id, bool checked) override { calls.emplace_back(id, checked); }
    std::vector<std::pair<int, bool>> calls;
};

class CheckboxTest : public ManagerTest {
protected:
    CheckboxTest() {
        app.sounds[L"Highlight"] = 1;
        app.sounds[L"Button"] = 2;
    }
    ~CheckboxTest() override { mgr.RemoveAllWidgets(true, false); }
    Checkbox* Add() {
        auto* c = new Checkbox(images[0].get(), images[1].get(), images[2].get(), images[3].get(), &listener);
        c->Resize(10, 10, 16, 16);
        mgr.AddWidget(c);
        return c;
    }

    ControlsApp app;
    std::unique_ptr<ImageSurface> images[6] = {SolidImage(16, 16, 0xFF000001u), SolidImage(16, 16, 0xFF000002u),
                                               SolidImage(16, 16, 0xFF000003u), SolidImage(16, 16, 0xFF000004u),
                                               SolidImage(16, 16, 0xFF000005u), SolidImage(16, 16, 0xFF000006u)};
    RecordingCheckboxListener listener;
};

TEST_F(CheckboxTest, AnyButtonTogglesAndADoubleClickTogglesTwice) {
    Checkbox* c = Add();
    EXPECT_EQ(c->CurrentImage(), images[0].get());
    mgr.WindowMouseMove(15, 15);
    EXPECT_EQ(c->CurrentImage(), images[1].get());  // unchecked, under the pointer
    mgr.WindowMouseDown(15, 15, -1);                // the right button
    mgr.WindowMouseUp(15, 15, -1);
    EXPECT_TRUE(c->IsChecked());
    EXPECT_EQ(c->CurrentImage(), images[3].get());
    mgr.WindowMouseDown(15, 15, 1);
    mgr.WindowMouseUp(15, 15, 1);
    mgr.WindowMouseDown(15, 15, 2);
    mgr.WindowMouseUp(15, 15, 2);
    EXPECT_TRUE(c->IsChecked());
    const int id = c->GetId();
    EXPECT_EQ(listener.calls, (std::vector<std::pair<int, bool>>{{id, true}, {id, false}, {id, true}}));
    EXPECT_EQ(app.played, (std::vector<int>{1, 2, 2, 2}));
    mgr.WindowMouseMove(100, 100);
    EXPECT_EQ(c->CurrentImage(), images[2].get());
}

TEST_F(CheckboxTest, SetCheckedNotifiesOnlyWhenAskedAndDisabledImagesShowWhenSet) {
    Checkbox* c = Add();
    c->SetChecked(true, false);
    EXPECT_TRUE(listener.calls.empty());
    c->SetChecked(false, true);
    EXPECT_EQ(listener.calls.size(), 1u);
    c->SetDisabled(true);
    EXPECT_EQ(c->CurrentImage(), images[0].get());  // no disabled images: the normal one
    c->SetDisabledImages(images[4].get(), images[5].get());
    EXPECT_EQ(c->CurrentImage(), images[4].get());
    c->SetChecked(true, false);
    EXPECT_EQ(c->CurrentImage(), images[5].get());
    EXPECT_TRUE(app.played.empty());  // setting is silent
}

TEST(ColorWidgetTest, SettingARowBeyondThePaletteGrowsIt) {
    struct Palette : ColorWidget {
        using ColorWidget::ResetPalette;
    } widget;
    widget.ResetPalette();
    ASSERT_EQ(widget.GetColorCount(), 5);
    EXPECT_EQ(widget.GetColor(0), Color::FromRGB(255, 255, 255));
    EXPECT_EQ(widget.GetColor(3), Color::FromRGB(0, 0, 0));
    widget.SetColor(7, Color::FromRGB(1, 2, 3));
    EXPECT_EQ(widget.GetColorCount(), 8);
    EXPECT_EQ(widget.GetColor(7), Color::FromRGB(1, 2, 3));
    EXPECT_EQ(widget.GetColor(5), Color());
    widget.SetColor(-1, Color::White);
    EXPECT_EQ(widget.GetColorCount(), 8);
}

}  // namespace
