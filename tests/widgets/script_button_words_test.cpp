// "add-button" and "config-button": the binding each button gets, when it
// acts (press or release, from the cels of its image), where it lands, and
// clicks through the widget manager reaching launch, call and action.
#include <gtest/gtest.h>

#include <tuple>

#include "rendering/font/font.h"
#include "tests/widgets/script_device_test_support.h"
#include "widgets/controls/button_widget.h"

namespace {

using testsupport::ScriptDeviceTest;

class ButtonWordsTest : public ScriptDeviceTest {
protected:
    void SetUp() override {
        ScriptDeviceTest::SetUp();
        Solid(40, 20, 0xFF808080u, L"two")->SetRowsCols(1, 2);
        Solid(60, 20, 0xFF808080u, L"three")->SetRowsCols(1, 3);
        // "wait-here" holds the script at its step; "bump" counts in "n".
        ScriptWordTable().Register(
            WordGroup::kNoObject, L"wait-here",
            [](AnimationWidget&, const AnimationStep&, DynamicWidget*) { return WordResult::kStop; });
        ScriptWordTable().Register(WordGroup::kNoObject, L"bump",
                                   [](AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
                                       w.SetVariable(L"n", PropertyValue(w.Variables()[L"n"].ToInt() + 1));
                                       return WordResult::kNext;
                                   });
    }
    void TearDown() override {
        ScriptWordTable().Unregister(WordGroup::kNoObject, L"wait-here");
        ScriptWordTable().Unregister(WordGroup::kNoObject, L"bump");
        ScriptDeviceTest::TearDown();
    }
    ButtonWidget* Button(const wchar_t* id) { return dynamic_cast<ButtonWidget*>(Object(id)); }
    const ButtonBinding& BindingOf(const wchar_t* id) { return script->Buttons().at(Object(id)->GetId()); }
    void Click(Widget& button) {
        const FRect r = button.MapRectToScreen(FRect(1.0f, 1.0f, 1.0f, 1.0f));
        mgr->WindowMouseMove(static_cast<int>(r.x), static_cast<int>(r.y));
        mgr->WindowMouseDown(static_cast<int>(r.x), static_cast<int>(r.y), 1);
        pressed = script->Variables()[L"n"].ToInt();
        mgr->WindowMouseUp(static_cast<int>(r.x), static_cast<int>(r.y), 1);
    }
    int pressed = 0;
};

TEST_F(ButtonWordsTest, BindingKindTargetAndWhenItActsFollowTheStep) {
    Run({Step(L"add-button", {{L"type", L"two"},
                              {L"id", L"a"},
                              {L"launch", L"menu"},
                              {L"action", L"close"},
                              {L"parameter", L"p"},
                              {L"object", L"7"},
                              {L"hover", L"glow"},
                              {L"leave", L"dim"}}),
         Step(L"add-button", {{L"type", L"three"}, {L"id", L"b"}, {L"call", L"literal()"}, {L"action", L"close"}}),
         Step(L"add-button", {{L"type", L"three"}, {L"id", L"c"}, {L"depress", L"0"}}),
         Step(L"add-button", {{L"type", L"two"}, {L"id", L"d"}, {L"image", L"literal(three)"}})});
    const ButtonBinding& a = BindingOf(L"a");
    EXPECT_EQ(a.kind, ButtonBinding::kLaunch);
    EXPECT_EQ(a.target, L"menu");
    EXPECT_EQ(a.parameter, L"p");
    EXPECT_EQ(a.number, 7);
    EXPECT_EQ(a.hoverAnimation, L"glow");
    EXPECT_EQ(a.leaveAnimation, L"dim");
    EXPECT_EQ(a.name, L"a");
    EXPECT_FALSE(a.depress);  // two cels: acts on press
    EXPECT_EQ(BindingOf(L"b").kind, ButtonBinding::kAction);
    EXPECT_EQ(BindingOf(L"b").target, L"close");
    EXPECT_TRUE(BindingOf(L"b").depress);  // three cels: on release
    EXPECT_EQ(BindingOf(L"c").kind, ButtonBinding::kNothing);
    EXPECT_FALSE(BindingOf(L"c").depress);
    EXPECT_TRUE(BindingOf(L"d").depress);  // the replacing image's cels count
    EXPECT_EQ(Button(L"a")->GetButtonListener(), script);
    EXPECT_EQ(Button(L"a")->GetParent(), script);
    EXPECT_EQ(script->Objects().size(), 4u);
}

TEST_F(ButtonWordsTest, DirectAlignmentAndACaptionSizedButtonWithoutImage) {
    Run({Step(L"add-button", {{L"type", L"two"},
                              {L"id", L"a"},
                              {L"x", L"100"},
                              {L"y", L"50"},
                              {L"align", L"center"},
                              {L"valign", L"bottom"},
                              {L"depth", L"6"}}),
         Step(L"add-button", {{L"id", L"t"},
                              {L"text", L"literal(Go on)"},
                              {L"lookup", L"0"},
                              {L"font", L"test"},
                              {L"x", L"10"},
                              {L"align", L"right"},
                              {L"justification", L"left"}})});
    EXPECT_FLOAT_EQ(Button(L"a")->GetX(), 100 - 20 / 2);  // cels of 20 x 20
    EXPECT_FLOAT_EQ(Button(L"a")->GetY(), 50 - 20);
    EXPECT_EQ(Button(L"a")->GetPriority(), 6);
    ButtonWidget* t = Button(L"t");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetLabel(), L"Go on");
    EXPECT_NEAR(t->GetWidth(), font->StringWidth(L"Go on"), 1.0);
    EXPECT_GT(t->GetHeight(), 0);
    EXPECT_FLOAT_EQ(t->GetX(), static_cast<float>(10 - t->GetWidth()));
}

// Records the actions its buttons' scripts pass up.
class ActionRecorder : public AnimationWidget {
public:
    using AnimationWidget::AnimationWidget;
    void DoAction(std::wstring_view action, std::wstring_view parameter, int number) override {
        actions.push_back(std::wstring(action) + L"/" + std::wstring(parameter) + L"/" + std::to_wstring(number));
    }
    std::vector<std::wstring> actions;
};

TEST_F(ButtonWordsTest, ClicksThroughTheManagerLaunchCallAndPassActionsUp) {
    auto* parent = new ActionRecorder(L"", 0, 0, false);
    mgr->AddWidget(parent);
    script->RemoveSelfKeep();
    parent->AddWidget(script);
    FindAnimation(L"menu")->steps = {
        Step(L"add-button", {{L"type", L"two"},
                             {L"id", L"act"},
                             {L"x", L"10"},
                             {L"action", L"close"},
                             {L"parameter", L"now"},
                             {L"object", L"3"}}),
        Step(L"add-button", {{L"type", L"three"}, {L"id", L"sub"}, {L"x", L"100"}, {L"call", L"count"}}),
        Step(L"add-button", {{L"type", L"two"}, {L"id", L"go"}, {L"x", L"200"}, {L"launch", L"other"}}),
        Step(L"wait-here", {})};
    FindAnimation(L"count")->steps = {Step(L"bump", {})};
    FindAnimation(L"other")->steps = {Step(L"bump", {})};
    script->PlayAnimationNamed(L"menu");
    ASSERT_EQ(script->Objects().size(), 3u);

    Click(*Object(L"act"));
    EXPECT_EQ(parent->actions, std::vector<std::wstring>{L"close/now/3"});
    EXPECT_EQ(script->Variables()[L"button_id"].ToString(), L"act");

    Click(*Object(L"sub"));
    EXPECT_EQ(pressed, 0);  // three cels: nothing on the press
    EXPECT_EQ(script->Variables()[L"n"].ToInt(), 1);

    Click(*Object(L"go"));
    EXPECT_EQ(script->Variables()[L"n"].ToInt(), 2);
    EXPECT_EQ(script->GetDefinition()->name, L"other");
}

TEST_F(ButtonWordsTest, ConfigButtonReReadsTheLookOfButtonsOnly) {
    DynamicWidget* plain = Place(*script, L"plain", 0, 0, nullptr);
    Run({Step(L"add-button", {{L"type", L"two"}, {L"id", L"a"}, {L"text", L"literal(Old)"}, {L"lookup", L"0"}}),
         Step(L"config-button", {{L"id", L"a"},
                                 {L"text", L"literal(New)"},
                                 {L"lookup", L"0"},
                                 {L"font", L"test"},
                                 {L"text_offset_x", L"4"}}),
         Step(L"config-button", {{L"id", L"plain"}, {L"text", L"literal(New)"}})});
    ButtonWidget* a = Button(L"a");
    EXPECT_EQ(a->GetLabel(), L"New");
    EXPECT_EQ(a->GetTextOffsetX(), 4);
    ASSERT_NE(a->GetCurrentFont(), nullptr);
    EXPECT_FLOAT_EQ(a->GetCurrentFont()->GetHeight(), font->GetHeight());
    EXPECT_EQ(plain->GetWidth(), 0);
}

// The frame-use flags follow the cels: three or more show the pointer-over
// and pressed cels, fewer leave the cel to the scripts alone.
TEST_F(ButtonWordsTest, HoverAndPressedCelsShowOnlyOnAButtonWithStateFrames) {
    Run({Step(L"add-button", {{L"type", L"three"}, {L"id", L"lit"}, {L"x", L"10"}}),
         Step(L"add-button", {{L"type", L"two"}, {L"id", L"flat"}, {L"x", L"200"}}), Step(L"wait-here", {})});
    for (const auto& [id, over, down] : {std::tuple{L"lit", 1, 2}, std::tuple{L"flat", 0, 0}}) {
        auto* button = Button(id);
        ASSERT_NE(button, nullptr);
        const FRect r = button->MapRectToScreen(FRect(1.0f, 1.0f, 1.0f, 1.0f));
        const int x = static_cast<int>(r.x), y = static_cast<int>(r.y);
        EXPECT_EQ(button->GetFrame(), 0) << id;
        mgr->WindowMouseMove(x, y);
        EXPECT_EQ(button->GetFrame(), over) << id;
        mgr->WindowMouseDown(x, y, 1);
        EXPECT_EQ(button->GetFrame(), down) << id;
        mgr->WindowMouseUp(x, y, 1);
        EXPECT_EQ(button->GetFrame(), over) << id;
        mgr->WindowMouseMove(700, 500);
        EXPECT_EQ(button->GetFrame(), 0) << id;
    }
    EXPECT_TRUE(Button(L"lit")->UsesOverFrame() && Button(L"lit")->UsesDownFrame());
    EXPECT_FALSE(Button(L"flat")->UsesOverFrame() || Button(L"flat")->UsesDownFrame());
}

}  // namespace
