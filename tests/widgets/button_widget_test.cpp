// A push button as a player uses it: hovering, pressing, double clicks,
// disabling; its state animations, sounds, state fonts and label layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/expression/localization_map.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/sys_font.h"
#include "tests/widgets/controls_test_support.h"
#include "tests/widgets/dynamic_widget_test_support.h"
#include "tests/widgets/script_test_support.h"
#include "widgets/controls/button_widget.h"

namespace {

using namespace testsupport;

class RecordingListener : public ButtonListener {
public:
    void ButtonPressCount(int, int count) override { events.push_back("press " + std::to_string(count)); }
    void ButtonRelease(int) override { events.push_back("release"); }
    void ButtonMouseEnter(int) override { events.push_back("enter"); }
    void ButtonMouseLeave(int) override { events.push_back("leave"); }
    std::vector<std::string> events;
};

class ButtonTest : public ScriptTest {
protected:
    ButtonTest() {
        image = SolidImage(100, 40, 0xFFFFFFFFu);
        app.images[L"ok"] = image.get();
        app.sounds[L"Highlight"] = 4;
        app.sounds[L"Button"] = 5;
    }
    ~ButtonTest() override {
        mgr.RemoveAllWidgets(true, false);  // while the listener lives
        LocalizationMap().clear();
    }

    // A button named "ok" at (100, 100), 100 x 40, reporting to `listener`.
    ButtonWidget* Add(std::wstring_view name = L"ok") {
        auto* b = new ButtonWidget(100, 100, name, L"Play", false);
        b->SetButtonListener(&listener);
        mgr.AddWidget(b);
        return b;
    }
    void Click(int code = 1) {
        mgr.WindowMouseMove(120, 110);
        mgr.WindowMouseDown(120, 110, code);
        mgr.WindowMouseUp(120, 110, code);
    }
    // The baseline the label's first line is drawn at and its left edge.
    static FixedFont::Drawn DrawLabel(ButtonWidget* b) {
        Graphics g(nullptr);
        b->Draw(&g);
        auto* font = dynamic_cast<FixedFont*>(b->GetCurrentFont());
        EXPECT_NE(font, nullptr);
        return font && !font->drawn.empty() ? font->drawn.back() : FixedFont::Drawn{};
    }

    ControlsApp app;
    ScopedFonts fonts;
    std::unique_ptr<ImageSurface> image;
    RecordingListener listener;
};

TEST_F(ButtonTest, StateAnimationsPreferTheButtonsOwnThenTheSharedOne) {
    Define(L"button_down", {Step(L"note", {{L"text", L"D"}})});
    Define(L"ok_hover", {Step(L"note", {{L"text", L"H"}})});
    Define(L"button_hover", {Step(L"note", {{L"text", L"h"}})});
    ButtonWidget* ok = Add();
    ButtonWidget* unnamed = Add(L"");
    unnamed->Move(300, 300);
    unnamed->Resize(300, 300, 50, 50);
    Click();
    EXPECT_EQ(Trace(*ok), L"HD");  // its own hover, the shared down, no up defined
    mgr.WindowMouseMove(310, 310);
    mgr.WindowMouseDown(310, 310, 1);
    mgr.WindowMouseUp(310, 310, 1);
    EXPECT_EQ(Trace(*unnamed), L"");  // an empty name never runs state animations
    EXPECT_EQ(listener.events,
              (std::vector<std::string>{"enter", "press 1", "release", "leave", "enter", "press 1", "release"}));
}

TEST_F(ButtonTest, DoubleClickNeitherPressesNorReleasesAgain) {
    Define(L"button_down", {Step(L"note", {{L"text", L"D"}})});
    ButtonWidget* b = Add();
    Click(1);
    mgr.WindowMouseDown(120, 110, 2);
    EXPECT_FALSE(b->IsDown());
    EXPECT_FALSE(b->GetProperty(L"mouse_down").ToBool());
    mgr.WindowMouseUp(120, 110, 2);
    mgr.WindowMouseDown(120, 110, -1);  // the right button: no press either
    mgr.WindowMouseUp(120, 110, -1);
    EXPECT_EQ(Trace(*b), L"D");
    EXPECT_EQ(listener.events, (std::vector<std::string>{"enter", "press 1", "release"}));
}

TEST_F(ButtonTest, SoundsPlayOnlyWhileEnabledButAnimationsAlwaysRun) {
    Define(L"button_hover", {Step(L"note", {{L"text", L"h"}})});
    Define(L"button_leave", {Step(L"note", {{L"text", L"l"}})});
    ButtonWidget* b = Add();
    Click();
    EXPECT_EQ(app.played, (std::vector<int>{4, 5}));
    EXPECT_EQ(app.volumes, (std::vector<double>{1.0, 1.0}));
    app.played.clear();
    b->SetDisabled(true);
    EXPECT_TRUE(b->GetProperty(L"disabled").ToBool());
    // The manager sends nothing to a disabled widget; the calls come straight.
    b->MouseEnter();
    b->MouseDown(5, 5, 1);
    b->MouseUpAt(5, 5);
    b->MouseLeave();
    EXPECT_TRUE(app.played.empty());
    EXPECT_EQ(Trace(*b), L"hlhl");
    b->SetPlaySounds(false);
    b->SetDisabled(false);
    Click();
    EXPECT_TRUE(app.played.empty());
}

TEST_F(ButtonTest, StateWithoutAFontKeepsTheFontInUse) {
    FixedFont* normal = fonts.Add(L"button", 10);
    FixedFont disabledFont(7);
    ButtonWidget* b = Add();
    ASSERT_NE(b->GetCurrentFont(), nullptr);
    EXPECT_NE(b->GetCurrentFont(), normal);  // a copy of the font map's "button"
    Font* initial = b->GetCurrentFont();
    mgr.WindowMouseMove(120, 110);
    EXPECT_TRUE(b->GetProperty(L"mouse_over").ToBool());
    EXPECT_EQ(b->GetCurrentFont(), initial);  // no over font
    EXPECT_EQ(b->GetState(), ButtonWidget::kNormal);
    b->SetStateFont(ButtonWidget::kDisabled, &disabledFont);
    b->SetDisabled(true);
    EXPECT_EQ(b->GetState(), ButtonWidget::kDisabled);
    EXPECT_EQ(b->GetCurrentFont()->StringWidth(L"a"), 7.0f);
    // Enabled again under the pointer: no over font, but not the disabled look.
    b->SetDisabled(false);
    EXPECT_TRUE(b->IsOver());
    EXPECT_EQ(b->GetState(), ButtonWidget::kNormal);
    EXPECT_EQ(b->GetCurrentFont()->StringWidth(L"a"), 10.0f);
}

TEST_F(ButtonTest, LabelLayoutFollowsTheFormula) {
    fonts.Add(L"button", 10);
    ButtonWidget* b = Add();
    // Ascent 16, font height 20 and no padding; one line is 20 high.
    const int ascent = 16, fontHeight = 20, height = 40, wrapped = 20;
    const int baseline = static_cast<int>((ascent + height - ascent / 6 - 1) * 0.5 - (wrapped - fontHeight) * 0.5);
    FixedFont::Drawn drawn = DrawLabel(b);
    EXPECT_EQ(drawn.text, L"Play");
    EXPECT_EQ(drawn.y, baseline);
    EXPECT_EQ(drawn.x, (100 - 40) / 2);  // centred over the button's width
    EXPECT_EQ(drawn.color, Color::White);

    // Pressed (down and over): the down offsets move it; text offsets always do.
    b->SetTextOffset(3, -2);
    mgr.WindowMouseMove(120, 110);
    mgr.WindowMouseDown(120, 110, 1);
    drawn = DrawLabel(b);
    EXPECT_EQ(drawn.x, (100 - 40) / 2 + 3 + 1);
    EXPECT_EQ(drawn.y, baseline - 2 + 1);
    mgr.WindowMouseUp(120, 110, 1);

    // A negative wrap width wraps at 4096, centred from (width - 4096) / 2.
    b->SetTextOffset(0, 0);
    b->SetWrapWidth(-1);
    drawn = DrawLabel(b);
    EXPECT_EQ(drawn.x, (100 - 4096) / 2 + (4096 - 40) / 2);
}

TEST_F(ButtonTest, LabelWithoutAnyFontIsDrawnInTheDefaultSystemFont) {
    LocalizationMap()[L"play_key"] = L"Play";
    auto* b = new ButtonWidget(0, 0, L"ok", L"play_key", true);
    mgr.AddWidget(b);
    EXPECT_EQ(b->GetLabel(), L"Play");
    EXPECT_EQ(b->GetCurrentFont(), nullptr);
    Graphics g(nullptr);
    b->Draw(&g);
    auto* font = dynamic_cast<SysFont*>(b->GetCurrentFont());
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetFace(), "Arial Unicode MS");
}

TEST_F(ButtonTest, ImagelessButtonTakesTheSizeOfItsLabel) {
    fonts.Add(L"button", 10);
    auto* b = new ButtonWidget(0, 0, L"none", L"Quit", false);
    mgr.AddWidget(b);
    EXPECT_EQ(b->GetWidth(), 40);
    EXPECT_EQ(b->GetHeight(), 20);
}

// Sizes and offsets a script gives are any int: the label's place is
// computed wide and kept where two coordinates still add up.
TEST_F(ButtonTest, LabelOfAHugeButtonOrOffsetStaysWithinRange) {
    fonts.Add(L"button", 10);
    ButtonWidget* b = Add();
    b->Resize(100, 100, 100, 2147483647);
    FixedFont::Drawn drawn = DrawLabel(b);
    EXPECT_FLOAT_EQ(drawn.y, static_cast<float>((1 << 30) - 1));  // as far down as the height asks, kept in range
    EXPECT_FLOAT_EQ(drawn.x, (100 - 40) / 2);
    b->Resize(100, 100, 100, 40);
    b->SetTextOffset(2147483647, -2147483647 - 1);
    b->SetDownTextOffset(2147483647, 2147483647);
    mgr.WindowMouseMove(120, 110);
    mgr.WindowMouseDown(120, 110, 1);  // pressed: the down offsets add to the others
    drawn = DrawLabel(b);
    EXPECT_GT(drawn.x, 1 << 29);   // both horizontal offsets push it far right
    EXPECT_FLOAT_EQ(drawn.y, 26);  // (16 + 40 - 2 - 1) / 2, the two vertical offsets cancelling
    b->Resize(100, 100, -2147483647 - 1, 40);
    EXPECT_FALSE(DrawLabel(b).text.empty());  // drawn, one piece at a time
    b->SetWrapWidth(2147483647);
    drawn = DrawLabel(b);
    EXPECT_EQ(drawn.text, L"Play");
}

// Buttons made by code (not by a script) keep both flags set: an image with
// the cels shows them, one without keeps its only cel.
TEST_F(ButtonTest, ButtonsMadeInCodeShowTheirStateCels) {
    auto cels = SolidImage(300, 40, 0xFFFFFFFFu, 1, 3);
    app.images[L"three"] = cels.get();
    ButtonWidget* lit = Add(L"three");
    ButtonWidget* plain = Add();
    plain->Move(400, 400);
    mgr.WindowMouseMove(120, 110);
    EXPECT_EQ(lit->GetFrame(), 1);
    mgr.WindowMouseDown(120, 110, 1);
    EXPECT_EQ(lit->GetFrame(), 2);
    lit->SetDisabled(true);
    EXPECT_EQ(lit->GetFrame(), 0);
    lit->SetDisabled(false);
    mgr.WindowMouseUp(120, 110, 1);
    mgr.WindowMouseMove(410, 410);
    EXPECT_EQ(lit->GetFrame(), 0);
    EXPECT_EQ(plain->GetFrame(), 0);
    mgr.RemoveAllWidgets(true, false);
    host.DeleteDeferred();
}

}  // namespace
