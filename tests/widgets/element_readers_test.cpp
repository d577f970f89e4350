// The script element readers as a script uses them: labels sized, placed and
// written from their attributes, the colour reader, the button-config reader
// and the list and variable helpers.
#include <gtest/gtest.h>

#include "foundation/expression/localization_map.h"
#include "rendering/image/image_surface.h"
#include "tests/widgets/controls_test_support.h"
#include "tests/widgets/dynamic_widget_test_support.h"
#include "tests/widgets/script_test_support.h"
#include "widgets/controls/button_widget.h"
#include "widgets/script/script_host.h"

namespace {

using namespace testsupport;

// "label" runs the label reader with the step's aTextDY and aPaddingBottom
// and keeps what it returned in `made`; "colour" keeps the colour reader's
// result; "config" configures the button its "id" finds.
class ReaderTest : public ScriptTest {
protected:
    ReaderTest() {
        made = nullptr;
        ScriptWords& words = ScriptWordTable();
        words.Register(WordGroup::kNoObject, L"label", [](AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
            made = w.ReadLabelElement(w.StepAttributeIntOr(L"aTextDY", 0), w.StepAttributeIntOr(L"aPaddingBottom", 0));
            return WordResult::kNext;
        });
        words.Register(WordGroup::kNoObject, L"colour", [](AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
            colour = w.ReadColor();
            return WordResult::kNext;
        });
        words.Register(WordGroup::kObject, L"config", [](AnimationWidget& w, const AnimationStep&, DynamicWidget* o) {
            w.ReadButtonConfig(dynamic_cast<ButtonWidget*>(o));
            return WordResult::kNext;
        });
        font = fonts.Add(L"f");
    }
    ~ReaderTest() override {
        for (const wchar_t* name : {L"label", L"colour"}) ScriptWordTable().Unregister(WordGroup::kNoObject, name);
        ScriptWordTable().Unregister(WordGroup::kObject, L"config");
        LocalizationMap().clear();
    }

    // Runs one step on a fresh script widget in the manager.
    AnimationWidget* Run(AnimationStep step) {
        Define(L"test", {std::move(step)});
        auto* w = new AnimationWidget(L"test", 0, 0, false);
        mgr.AddWidget(w);
        return w;
    }
    // What the label's text was written as, in the label's image.
    const FixedFont::Drawn& LastText() const { return font->drawn.back(); }

    static inline DynamicWidget* made = nullptr;
    static inline Color colour;
    ControlsApp app;
    ScopedFonts fonts;
    FixedFont* font = nullptr;
    std::vector<std::unique_ptr<ImageSurface>> pieces;
};

TEST_F(ReaderTest, LabelTextIsLookedUpUnlessToldNotAndMissingKeysShowNothing) {
    LocalizationMap()[L"greet"] = L"Hello [player]!";
    struct Named : NullScriptHost {
        std::wstring PlayerName() override { return L"Ada"; }
        ScopedService<ScriptHost> installed{this};
    } host;
    Run(Step(L"label", {{L"text", L"greet"}, {L"font", L"f"}, {L"id", L"a"}}));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(LastText().text, L"Hello Ada!");
    EXPECT_EQ(made->GetIdText(), L"a");

    Run(Step(L"label", {{L"text", L"greet"}, {L"lookup", L"false"}, {L"font", L"f"}}));
    EXPECT_EQ(LastText().text, L"greet");

    const size_t before = font->drawn.size();
    Run(Step(L"label", {{L"text", L"absent_key"}, {L"font", L"f"}}));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(font->drawn.size(), before);  // an empty text draws nothing
    EXPECT_EQ(made->GetWidth(), 64);        // and takes the empty label's size
    EXPECT_EQ(made->GetHeight(), 64);
}

TEST_F(ReaderTest, LabelSizeAndPlacementFollowAlignmentWithAndWithoutABox) {
    // One line of the fixed font is 20 high; without a box 8 more, plus the bottom spacing.
    Run(Step(L"label", {{L"text", L"abc"},
                        {L"lookup", L"false"},
                        {L"font", L"f"},
                        {L"width", L"200"},
                        {L"force_width", L"true"},
                        {L"align", L"right"},
                        {L"valign", L"center"},
                        {L"x", L"500"},
                        {L"y", L"300"},
                        {L"aPaddingBottom", L"23"}}));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetWidth(), 200);
    EXPECT_EQ(made->GetHeight(), 51);
    EXPECT_EQ(made->GetX(), 300.0f);
    EXPECT_EQ(made->GetY(), 300.0f - 25 - 4);
    // The text's first line starts 4 below the top, right-justified in the width.
    EXPECT_EQ(LastText().x, 0.0f);
    EXPECT_EQ(LastText().y, 4.0f + 16.0f);

    // Without force_width the label is as wide as the wrapped text: "abc" is 30.
    Run(Step(L"label", {{L"text", L"abc"},
                        {L"lookup", L"false"},
                        {L"font", L"f"},
                        {L"width", L"200"},
                        {L"align", L"center"},
                        {L"x", L"100"}}));
    EXPECT_EQ(made->GetWidth(), 30);
    EXPECT_EQ(made->GetX(), 85.0f);

    // A box of 5-pixel top and bottom caps and 6-pixel side columns: no margin.
    for (const wchar_t* piece : {L"lt", L"ct", L"rt", L"lc", L"cc", L"rc", L"lb", L"cb", L"rb"}) {
        pieces.push_back(SolidImage(6, 5, 0xFF808080u));
        app.images[std::wstring(L"box_") + piece] = pieces.back().get();
    }
    Run(Step(L"label", {{L"text", L"abc"},
                        {L"lookup", L"false"},
                        {L"font", L"f"},
                        {L"textbox", L"box"},
                        {L"valign", L"center"},
                        {L"y", L"300"},
                        {L"aPaddingBottom", L"21"},
                        {L"aTextDY", L"3"}}));
    EXPECT_EQ(made->GetHeight(), 51);
    EXPECT_EQ(made->GetWidth(), 30 + 12);
    EXPECT_EQ(made->GetY(), 275.0f);
    // The text sits inside the frame, moved down by the text offset.
    EXPECT_EQ(LastText().x, 6.0f);
    EXPECT_EQ(LastText().y, 5.0f + 3 + 16);
}

TEST_F(ReaderTest, LabelIntoAnObjectThatDoesNotExistIsSkipped) {
    AnimationWidget* w =
        Run(Step(L"label", {{L"text", L"abc"}, {L"lookup", L"false"}, {L"font", L"f"}, {L"to", L"nobody"}}));
    EXPECT_EQ(made, nullptr);
    EXPECT_TRUE(w->Objects().empty());
    EXPECT_TRUE(font->drawn.empty());
}

TEST_F(ReaderTest, LabelIntoAnObjectDrawsInTheScriptsCoordinates) {
    pieces.push_back(SolidImage(100, 50, 0xFF000000u));
    auto* w = new AnimationWidget(L"", 40, 0, false);
    mgr.AddWidget(w);
    auto* target = new DynamicWidget(10, 0, pieces.back().get(), 1.0f);
    w->RegisterObject(L"target", target);
    Define(L"test",
           {Step(L"label",
                 {{L"text", L"abc"}, {L"lookup", L"false"}, {L"font", L"f"}, {L"to", L"target"}, {L"x", L"30"}})});
    w->PlayAnimationNamed(L"test");
    ASSERT_EQ(made, target);
    EXPECT_TRUE(target->IsImagePrivate());  // the shared image stays as it was
    EXPECT_NE(target->GetImage(), pieces.back().get());
    EXPECT_EQ(w->Objects().size(), 1u);  // nothing new registered
    // x 30 in the script's space is x 20 in an object standing at 10.
    EXPECT_EQ(LastText().x + LastText().transX, 20.0f);
}

TEST_F(ReaderTest, ColourReaderStartsWhiteAndTruncatesEachGivenChannel) {
    Run(Step(L"colour", {{L"red", L"0.5"}}));
    EXPECT_EQ(colour, Color::FromRGBA(127, 255, 255, 255));
    Run(Step(L"colour", {{L"green", L"0"}, {L"blue", L"0.999"}, {L"alpha", L"0.25"}}));
    EXPECT_EQ(colour, Color::FromRGBA(255, 0, 254, 63));
    Run(Step(L"colour", {{L"red", L"-2"}, {L"green", L"1e30"}}));
    EXPECT_EQ(colour, Color::FromRGBA(0, 255, 255, 255));
}

TEST_F(ReaderTest, ButtonConfigAppliesOnlyWhatTheStepHas) {
    app.sounds[L"click"] = 7;
    FixedFont* over = fonts.Add(L"over", 12);
    auto* button = new ButtonWidget(0, 0, L"", L"", false);
    button->SetStateFont(ButtonWidget::kOver, over);
    button->SetTextOffset(3, 4);
    Define(L"test", {Step(L"config", {{L"id", L"b"}, {L"font", L"f"}, {L"width", L"90"}, {L"sound_down", L"click"}}),
                     Step(L"config", {{L"id", L"b"}, {L"font_over", L"over"}, {L"text_offset_y", L"9"}})});
    auto* w = new AnimationWidget(L"", 0, 0, false);
    w->RegisterObject(L"b", button);
    mgr.AddWidget(w);
    w->PlayAnimationNamed(L"test");
    // "font" sets every state, then "font_over" gives the over state its own again.
    EXPECT_EQ(button->GetStateFont(ButtonWidget::kNormal)->StringWidth(L"a"), 10.0f);
    EXPECT_EQ(button->GetStateFont(ButtonWidget::kDisabled)->StringWidth(L"a"), 10.0f);
    EXPECT_EQ(button->GetStateFont(ButtonWidget::kOver)->StringWidth(L"a"), 12.0f);
    EXPECT_EQ(button->GetWrapWidth(), 90);
    EXPECT_EQ(button->GetPressSound(), 7);
    EXPECT_EQ(button->GetHoverSound(), -1);  // no "Highlight" registered, none given
    EXPECT_EQ(button->GetTextOffsetX(), 3);
    EXPECT_EQ(button->GetTextOffsetY(), 9);
    EXPECT_EQ(button->GetDownTextOffsetX(), 1);
    EXPECT_TRUE(button->GetPlaySounds());
}

TEST_F(ReaderTest, ListsVariablesAndRectangleUnion) {
    // The run halts at the step, which stays current for the readers.
    auto* w = Run(Step(L"halt", {{L"values", L"1 + 1, 4, 3 * 2"}}));
    const std::vector<PropertyValue> evaluated = w->ResolvePropertyPtr(L"values", false);
    ASSERT_EQ(evaluated.size(), 3u);
    EXPECT_EQ(evaluated[0].ToInt(), 2);
    EXPECT_EQ(evaluated[2].ToInt(), 6);
    const std::vector<PropertyValue> split = w->ResolvePropertyPtr(L"values", true);
    ASSERT_EQ(split.size(), 3u);
    EXPECT_EQ(split[0].ToString(), L"1 + 1");
    EXPECT_TRUE(w->ResolvePropertyPtr(L"absent", false).empty());

    w->SetVariable(L"n", PropertyValue(1));
    EXPECT_EQ(w->GetLocalVariable(L"n").ToInt(), 1);
    EXPECT_EQ(w->UndefineVariable(L"n"), 1);
    EXPECT_EQ(w->UndefineVariable(L"n"), 0);
    EXPECT_EQ(w->GetLocalVariable(L"n").ToString(), PropertyValue().ToString());
    EXPECT_FALSE(w->Variables().contains(L"n"));  // reading did not enter it

    EXPECT_EQ(Rect(10, 20, 5, 5).Union(Rect(-3, 22, 4, 40)), Rect(-3, 20, 18, 42));
    EXPECT_EQ(Rect(0, 0, 2147483647, 1).Union(Rect(-10, 0, 1, 1)).w, 2147483647);
}

}  // namespace
