// Display widgets: text labels anchored on their block, live expression
// labels, counting numbers following a field handle, overlays, and the
// colour rule's overbright passes (bounded whatever the script asks).
#include <gtest/gtest.h>

#include <memory>

#include "foundation/values/field_handle.h"
#include "rendering/draw/graphics.h"
#include "tests/widgets/controls_test_support.h"
#include "tests/widgets/dynamic_widget_test_support.h"
#include "tests/widgets/script_test_support.h"
#include "widgets/controls/expression_text_widget.h"
#include "widgets/controls/numerical_text_widget.h"
#include "widgets/controls/overlay_animation.h"
#include "widgets/controls/rect_widget.h"
#include "widgets/controls/text_label.h"

namespace {

using namespace testsupport;

class DisplayTest : public ScriptTest {
protected:
    DisplayTest() { font = fonts.Add(L"f"); }

    ControlsApp app;
    ScopedFonts fonts;
    FixedFont* font = nullptr;
};

// The fills a rectangle makes, as colours.
std::vector<Color> Fills(RectWidget& rect) {
    RecordingTarget target(800, 600);
    {
        Graphics g(&target);
        rect.Draw(&g);
    }
    std::vector<Color> fills;
    for (const TargetCall& call : target.calls)
        if (call.op == "fill") fills.push_back(call.color);
    return fills;
}

TEST_F(DisplayTest, OverbrightRectangleDrawsOncePerWholeUnitAndStaysBounded) {
    RectWidget rect(Color::FromRGBA(255, 255, 255, 255), 0, 0, 10, 10);
    rect.red = 2.5f;
    const std::vector<Color> fills = Fills(rect);
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[0], Color::FromFloats(1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_EQ(fills[1], Color::FromFloats(1.0f, 0.0f, 0.0f, 0.0f));  // what lies above 1, added
    EXPECT_EQ(fills[2], Color::FromFloats(0.5f, 0.0f, 0.0f, 0.0f));

    // Opacity multiplies every factor; the own colour multiplies the result.
    rect.red = 1.0f;
    rect.opacity = 0.5f;
    rect.SetColor(Color::FromRGBA(255, 0, 255, 255));
    EXPECT_EQ(Fills(rect), (std::vector<Color>{Color::Multiply(Color::FromRGBA(255, 0, 255, 255),
                                                               Color::FromFloats(0.5f, 0.5f, 0.5f, 0.5f))}));

    // No channel can show more than 255 added draws, whatever is asked.
    rect.opacity = 5000.0f;
    EXPECT_LE(Fills(rect).size(), 256u);
    rect.opacity = 1.0f;
    rect.green = 1e30f;
    EXPECT_LE(Fills(rect).size(), 256u);
}

TEST_F(DisplayTest, RectangleGivesScriptsAnImageOfItsColourToDrawInto) {
    RectWidget rect(Color::FromRGBA(255, 0, 0, 255), 5, 6, 4, 3);
    ImageSurface* image = rect.GetWritableImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(rect.GetImage(), image);
    EXPECT_EQ(rect.GetWidth(), 4);
    EXPECT_EQ(image->GetBits()[11], 0xFFFF0000u);
    EXPECT_EQ(rect.GetWritableImage(), image);  // the same image from then on
    RectWidget huge(Color::White, 0, 0, 1 << 30, 1 << 30);
    EXPECT_EQ(huge.GetWritableImage(), nullptr);
}

TEST_F(DisplayTest, LabelAnchorsPlaceTheBlockAroundThePosition) {
    // Ten characters of 10 pixels: a 100-pixel block, one 20-pixel line.
    TextLabel centred(0, 0, L"abcdefghij", L"f", 0, 0, 0, 0);
    EXPECT_EQ(centred.GetTextWidth(), 100);
    EXPECT_EQ(centred.GetTextX(), -50);
    EXPECT_EQ(centred.GetTextY(), 16 - 10);
    TextLabel right(0, 0, L"abcdefghij", L"f", 0, 0, 1, 1);
    EXPECT_EQ(right.GetTextX(), -100);
    EXPECT_EQ(right.GetTextY(), 16 - 20);
    TextLabel left(0, 0, L"abcdefghij", L"f", 0, 0, -1, -1);
    EXPECT_EQ(left.GetTextX(), 0);
    EXPECT_EQ(left.GetTextY(), 16);
    // A wrap width of 0 wraps at 10000; 50 wraps into two lines.
    TextLabel narrow(0, 0, L"abcde fghij", L"f", 50, 0, -1, -1);
    EXPECT_EQ(narrow.GetTextHeight(), 40);

    // The pointer hits the drawn block, which starts an ascent above the baseline.
    EXPECT_TRUE(left.HitTest(0.0f, 0.0f));
    EXPECT_TRUE(left.HitTest(99.5f, 19.9f));
    EXPECT_FALSE(left.HitTest(100.0f, 5.0f));
    EXPECT_FALSE(left.HitTest(5.0f, 20.0f));

    Graphics g(nullptr);
    centred.red = 2.0f;
    centred.Draw(&g);
    ASSERT_EQ(font->drawn.size(), 2u);  // overbright: drawn twice, batched
    EXPECT_TRUE(font->drawn[0].batching);
    EXPECT_EQ(font->drawn[0].x, -50.0f);
    EXPECT_FALSE(g.IsBatching());  // the previous setting is back
}

TEST_F(DisplayTest, ExpressionLabelLaysOutAgainOnlyWhenTheTextChanges) {
    struct Counting : ExpressionTextWidget {
        using ExpressionTextWidget::ExpressionTextWidget;
        void MarkDirty() override {
            ++marks;
            ExpressionTextWidget::MarkDirty();
        }
        int marks = 0;
    };
    auto* owner = new AnimationWidget(L"", 0, 0, false);
    mgr.AddWidget(owner);
    owner->SetVariable(L"score", PropertyValue(7));
    auto* label = new Counting(owner, L"score * 2", 0, 0, L"f", 0, 0, -1, -1);
    owner->RegisterObject(L"label", label);
    EXPECT_EQ(label->GetText(), L"14");
    label->marks = 0;
    label->UpdateFraction(1.0f);
    EXPECT_EQ(label->marks, 0);
    owner->SetVariable(L"score", PropertyValue(50));
    label->UpdateFraction(1.0f);
    EXPECT_EQ(label->GetText(), L"100");
    EXPECT_EQ(label->GetTextWidth(), 30);
    EXPECT_EQ(label->marks, 1);
}

TEST_F(DisplayTest, CountingNumberStepsByDecadesAndFollowsAHandleUntilItDies) {
    app.sounds[L"up"] = 3;
    auto money = std::make_unique<int32_t>(0);
    auto handle = std::make_unique<FieldHandle>(money.get());
    NumericalTextWidget number(0, 0, -1, L"f", L"$%d", handle->Id(), 1, 2);
    number.SetCountUpSound(3);
    EXPECT_EQ(number.GetShownText(), L"$0");
    EXPECT_EQ(number.GetHeight(), 20);
    *money = 5000;
    number.Update();  // the first of two updates per tick
    EXPECT_EQ(number.GetShownValue(), 0);
    std::vector<int> steps;
    int last = 0;
    for (int i = 0; i < 2000 && number.GetShownValue() != 5000; ++i) {
        number.Update();
        if (number.GetShownValue() != last) {
            steps.push_back(number.GetShownValue() - last);
            last = number.GetShownValue();
        }
    }
    ASSERT_EQ(number.GetShownValue(), 5000);
    // While at least 1000 remain the step is 100, then 10 while 100 remain, then 1.
    int remaining = 5000;
    for (int step : steps) {
        EXPECT_EQ(step, remaining >= 1000 ? 100 : remaining >= 100 ? 10 : 1) << remaining;
        remaining -= step;
    }
    EXPECT_EQ(app.played.size(), steps.size());
    EXPECT_EQ(number.GetShownText(), L"$5000");

    // The followed field goes: the handle reads 0 and the number counts down to it.
    handle.reset();
    money.reset();
    for (int i = 0; i < 4000 && number.GetShownValue() != 0; ++i) number.Update();
    EXPECT_EQ(number.GetShownValue(), 0);
}

TEST_F(DisplayTest, CountingNumberWithoutAStepJumpsAtOnce) {
    int32_t hearts = 3;
    FieldHandle handle(&hearts);
    NumericalTextWidget number(0, 0, 0, L"f", L"%d hearts", handle.Id(), 0, 1);
    hearts = -2000000000;
    number.Update();
    EXPECT_EQ(number.GetShownText(), L"-2000000000 hearts");
    hearts = 2000000000;
    NumericalTextWidget stepped(0, 0, 0, L"f", L"%d", handle.Id(), 1, 1);
    hearts = -2000000000;  // a distance beyond any int
    int ticks = 0;
    for (; ticks < 5000 && stepped.GetShownValue() != hearts; ++ticks) stepped.Update();
    EXPECT_EQ(stepped.GetShownValue(), hearts);
    EXPECT_LT(ticks, 1000);  // about a hundred steps per decade
}

TEST_F(DisplayTest, OverlayCoversTheScreenWhateverItsParentAndSortsAbove) {
    Define(L"cover", {Step(L"halt")});
    auto* parent = new Widget();
    parent->Resize(30, 40, 10, 10);
    mgr.AddWidget(parent);
    auto* sibling = new Widget();
    parent->AddWidget(sibling);
    auto* overlay = new OverlayAnimation(L"cover");
    parent->AddWidget(overlay);
    parent->AddWidget(new Widget());
    EXPECT_EQ(parent->GetChildren().back(), overlay);
    const FRect origin = overlay->MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f});
    EXPECT_EQ(origin.x, 0.0f);
    EXPECT_EQ(origin.y, 0.0f);
    EXPECT_EQ(overlay->GetWidth(), 800);
    EXPECT_EQ(overlay->GetHeight(), 600);
    EXPECT_TRUE(overlay->IsMouseVisible());
    EXPECT_EQ(overlay->GetOverlayThreshold(), 1073741824);
}

}  // namespace
