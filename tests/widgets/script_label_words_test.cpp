// Labels, rectangles, counters, overlays and the label form of "add",
// through a managed tree with a device: the widget each makes, the texts as
// the player sees them, the alignment conventions and registration.
#include <gtest/gtest.h>

#include "foundation/expression/localization_map.h"
#include "tests/widgets/script_device_test_support.h"
#include "widgets/controls/expression_text_widget.h"
#include "widgets/controls/numerical_text_widget.h"
#include "widgets/controls/overlay_animation.h"
#include "widgets/controls/rect_widget.h"
#include "widgets/controls/text_label.h"
#include "widgets/script/script_host.h"

namespace {

using testsupport::ScriptDeviceTest;

class PlayerNamed : public NullScriptHost {
public:
    std::wstring PlayerName() override { return L"Ann"; }

private:
    ScopedService<ScriptHost> installed_{this};
};

class LabelWordsTest : public ScriptDeviceTest {
protected:
    void TearDown() override {
        LocalizationMap().clear();
        ScriptDeviceTest::TearDown();
    }
    PlayerNamed player;
};

TEST_F(LabelWordsTest, FixedLabelsShowThePlayersTextAndExpressionLabelsFollowVariables) {
    LocalizationMap()[L"greet"] = L"Hello [player]";
    script->SetVariable(L"score", PropertyValue(21));
    Run({Step(L"add-label", {{L"text", L"greet"},
                             {L"font", L"test"},
                             {L"x", L"200"},
                             {L"y", L"40"},
                             {L"align", L"right"},
                             {L"depth", L"5"},
                             {L"opacity", L"0.5"},
                             {L"id", L"fixed"}}),
         Step(L"add-label", {{L"text", L"greet"}, {L"lookup", L"0"}, {L"id", L"raw"}}),
         Step(L"add-label", {{L"expression", L"score * 2"}, {L"font", L"test"}, {L"id", L"live"}})});
    auto* fixed = dynamic_cast<TextLabel*>(Object(L"fixed"));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->GetText(), L"Hello Ann");
    EXPECT_EQ(fixed->GetTextX(), -fixed->GetTextWidth());  // anchored at its right edge
    EXPECT_GT(fixed->GetTextWidth(), 0);
    EXPECT_EQ(fixed->GetPriority(), 5);
    EXPECT_FLOAT_EQ(fixed->opacity, 0.5f);
    EXPECT_FLOAT_EQ(fixed->GetX(), 200.0f);
    EXPECT_EQ(dynamic_cast<TextLabel*>(Object(L"raw"))->GetText(), L"greet");
    auto* live = dynamic_cast<ExpressionTextWidget*>(Object(L"live"));
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(live->GetText(), L"42");
    script->SetVariable(L"score", PropertyValue(5));
    live->UpdateFraction(1.0f);
    EXPECT_EQ(live->GetText(), L"10");
}

TEST_F(LabelWordsTest, ConfigLabelChangesLabelsOnly) {
    DynamicWidget* plain = Place(*script, L"plain", 0, 0, nullptr);
    Run({Step(L"add-label", {{L"text", L"literal(old)"}, {L"lookup", L"0"}, {L"id", L"a"}}),
         Step(L"config-label",
              {{L"id", L"a"}, {L"font", L"test"}, {L"text", L"literal(Hi [player])"}, {L"lookup", L"0"}}),
         Step(L"config-label", {{L"id", L"plain"}, {L"text", L"literal(x)"}})});
    auto* a = dynamic_cast<TextLabel*>(Object(L"a"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetText(), L"Hi Ann");
    EXPECT_EQ(a->GetFont(), font);
    EXPECT_EQ(plain->GetWidth(), 0);
}

TEST_F(LabelWordsTest, RectanglesTakeFractionsOfColourAndTheDirectAlignment) {
    Run({Step(L"add-rect", {{L"x", L"100"},
                            {L"y", L"60"},
                            {L"width", L"31"},
                            {L"height", L"11"},
                            {L"red", L"0.5"},
                            {L"align", L"center"},
                            {L"valign", L"bottom"},
                            {L"id", L"r"}}),
         Step(L"add-rect", {{L"x", L"100"},
                            {L"width", L"31"},
                            {L"alpha", L"0.25"},
                            {L"blue", L"1"},
                            {L"align", L"right"},
                            {L"opacity", L"0.5"},
                            {L"depth", L"2"},
                            {L"id", L"s"}})});
    auto* r = dynamic_cast<RectWidget*>(Object(L"r"));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->GetColor().r, 127);
    EXPECT_EQ(r->GetColor().g, 0);
    EXPECT_EQ(r->GetColor().a, 255);
    EXPECT_FLOAT_EQ(r->GetX(), 100 - 31 / 2);
    EXPECT_FLOAT_EQ(r->GetY(), 60 - 11);
    EXPECT_EQ(r->GetWidth(), 31);
    EXPECT_EQ(r->GetPriority(), 0);
    auto* s = dynamic_cast<RectWidget*>(Object(L"s"));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetColor().b, 255);
    EXPECT_EQ(s->GetColor().a, 63);
    EXPECT_FLOAT_EQ(s->GetX(), 100 - 31);
    EXPECT_FLOAT_EQ(s->opacity, 0.5f);
    EXPECT_EQ(s->GetPriority(), 2);
}

TEST_F(LabelWordsTest, CounterFollowsALiveFieldHandleAndNothingElse) {
    DynamicWidget* source = Place(*script, L"source", 1234, 0, nullptr);
    Run({Step(L"add", {{L"template", L"literal(%d coins)"},
                       {L"lookup", L"0"},
                       {L"integer", L"source.x_ptr"},
                       {L"font", L"test"},
                       {L"x", L"10"},
                       {L"y", L"100"},
                       {L"id", L"money"}}),
         Step(L"add", {{L"template", L"literal(%d)"}, {L"lookup", L"0"}, {L"integer", L"4096"}, {L"id", L"stray"}}),
         Step(L"add", {{L"template", L"literal(%d)"}, {L"lookup", L"0"}, {L"id", L"none"}})});
    auto* money = dynamic_cast<NumericalTextWidget*>(Object(L"money"));
    ASSERT_NE(money, nullptr);
    EXPECT_EQ(money->GetShownText(), L"1234 coins");
    EXPECT_FLOAT_EQ(money->GetY(), 96.0f);
    EXPECT_FALSE(script->Variables().count(L"stray"));
    EXPECT_FALSE(script->Variables().count(L"none"));
    source->Move(1240, 0);
    for (int tick = 0; tick < 6; ++tick) money->Update();
    EXPECT_EQ(money->GetShownValue(), 1240);
}

TEST_F(LabelWordsTest, OverlayGetsTheOtherAttributesAsVariablesAndJoinsTheRoot) {
    FindAnimation(L"cover")->steps = {Step(L"wait-forever", {})};
    ScriptWordTable().Register(
        WordGroup::kNoObject, L"wait-forever",
        [](AnimationWidget&, const AnimationStep&, DynamicWidget*) { return WordResult::kStop; });
    script->SetVariable(L"base", PropertyValue(1));
    Run({Step(L"overlay", {{L"animation", L"missing"}, {L"id", L"nothing"}}),
         Step(L"overlay", {{L"animation", L"cover"}, {L"id", L"top"}, {L"score", L"base + 2"}})});
    ScriptWordTable().Unregister(WordGroup::kNoObject, L"wait-forever");
    EXPECT_FALSE(script->Variables().count(L"nothing"));
    auto* overlay = dynamic_cast<OverlayAnimation*>(Object(L"top"));
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->Variables()[L"score"].ToInt(), 3);
    EXPECT_FALSE(overlay->Variables().count(L"animation"));
    EXPECT_FALSE(overlay->Variables().count(L"id"));
    EXPECT_EQ(overlay->GetParent(), mgr.get());
    EXPECT_EQ(overlay->GetPriority(), 1073741824);
    EXPECT_EQ(overlay->GetIdText(), L"");
    EXPECT_EQ(script->Objects().count(overlay->GetId()), 1u);
    EXPECT_EQ(script->RunningAnimations().count(overlay->GetId()), 1u);
    overlay->RemoveSelf();
    EXPECT_TRUE(script->Objects().empty());
    EXPECT_TRUE(script->RunningAnimations().empty());
}

TEST_F(LabelWordsTest, TheLabelFormAndTheTextBoxFormOfAdd) {
    Solid(4, 10, 0xFFFF0000u, L"cap_left");
    Solid(1, 10, 0xFF00FF00u, L"cap_center");
    Solid(6, 10, 0xFF0000FFu, L"cap_right");
    Run({Step(L"add", {{L"text", L"literal(Hi)"}, {L"lookup", L"0"}, {L"font", L"test"}, {L"id", L"label"}}),
         Step(L"add", {{L"textends", L"cap"},
                       {L"text", L"literal(Hi)"},
                       {L"lookup", L"0"},
                       {L"min_width", L"30"},
                       {L"id", L"box"}})});
    DynamicWidget* label = Object(L"label");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->IsImagePrivate());
    EXPECT_GT(label->GetWidth(), 0);
    DynamicWidget* box = Object(L"box");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetWidth(), 4 + 30 + 6);
}

}  // namespace
