// Tree words through a managed tree: re-parenting that keeps the screen
// place and refuses cycles, the z-order pair and only that pair ending at
// "id1"/"id2", depth, size, removal of children, the input flags, the
// pass-flag masks and the random-point words.
#include <gtest/gtest.h>

#include <memory>

#include "tests/widgets/dynamic_widget_test_support.h"
#include "tests/widgets/script_test_support.h"
#include "widgets/tree/pass_flags.h"

namespace {

using testsupport::ScriptTest;

class TreeWordsTest : public ScriptTest {
protected:
    // The tree goes before the images its widgets show.
    ~TreeWordsTest() override {
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
    }
    Image* Keep(std::unique_ptr<ImageSurface> image) {
        images.push_back(std::move(image));
        return images.back().get();
    }
    // The interpreter, in the manager, running nothing yet.
    AnimationWidget* Interpreter() {
        auto* widget = new AnimationWidget(L"", 0, 0, false);
        mgr.AddWidget(widget);
        return widget;
    }
    // A widget known to the interpreter by `name`, as a script's object would be.
    DynamicWidget* Place(AnimationWidget& interpreter, WidgetContainer& parent, const wchar_t* name, float x, float y,
                         int w = 10, int h = 10) {
        auto* object = new DynamicWidget(0, 0, nullptr, 1.0f);
        object->Resize(x, y, w, h);
        object->SetId(name);
        parent.AddWidget(object);
        interpreter.SetVariable(name, PropertyValue::FromWidget(object));
        return object;
    }
    static void Run(AnimationWidget& interpreter, std::vector<AnimationStep> steps) {
        Define(L"script", std::move(steps));
        interpreter.PlayAnimationNamed(L"script");
    }
    static std::vector<std::wstring> Order(const WidgetContainer& parent) {
        std::vector<std::wstring> names;
        for (Widget* child : parent.GetChildren())
            if (auto* d = dynamic_cast<DynamicWidget*>(child)) names.push_back(d->GetIdText());
        return names;
    }

    std::vector<std::unique_ptr<ImageSurface>> images;
};

TEST_F(TreeWordsTest, AttachKeepsTheScreenPlaceAndRegistersUnderTheNewParent) {
    AnimationWidget* script = Interpreter();
    DynamicWidget* from = Place(*script, mgr, L"from", 100, 50);
    DynamicWidget* onto = Place(*script, mgr, L"onto", 40, 20);
    DynamicWidget* box = Place(*script, *from, L"box", 5, 7);
    Run(*script, {Step(L"attach", {{L"id", L"box"}, {L"to", L"onto"}})});
    EXPECT_EQ(box->GetParent(), onto);
    EXPECT_FLOAT_EQ(box->GetX(), 5 + 100 - 40);
    EXPECT_FLOAT_EQ(box->GetY(), 7 + 50 - 20);
    EXPECT_EQ(script->Objects().count(box->GetId()), 1u);
    EXPECT_EQ(script->Variables()[L"box"].ToWidget<DynamicWidget>(), box);
    EXPECT_EQ(box->GetRemovalListener(), script);
    host.DeleteDeferred();  // nothing was queued for deletion on the way
    EXPECT_EQ(box->GetParent(), onto);
}

TEST_F(TreeWordsTest, AttachIntoItselfOrItsOwnSubtreeIsRefusedWhole) {
    AnimationWidget* script = Interpreter();
    DynamicWidget* outer = Place(*script, mgr, L"outer", 30, 30);
    DynamicWidget* inner = Place(*script, *outer, L"inner", 5, 5);
    DynamicWidget* deepest = Place(*script, *inner, L"deepest", 1, 1);
    Run(*script, {Step(L"attach", {{L"id", L"outer"}, {L"to", L"deepest"}}),
                  Step(L"attach", {{L"id", L"outer"}, {L"to", L"outer"}}),
                  Step(L"attach", {{L"id", L"inner"}, {L"to", L"missing"}})});
    EXPECT_EQ(outer->GetParent(), &mgr);
    EXPECT_EQ(inner->GetParent(), outer);
    EXPECT_EQ(deepest->GetParent(), inner);
    EXPECT_FLOAT_EQ(outer->GetX(), 30);
    EXPECT_FLOAT_EQ(inner->GetX(), 5);
}

TEST_F(TreeWordsTest, OnlyTheZOrderPairEndsAtAStepNamingTwoWidgets) {
    AnimationWidget* script = Interpreter();
    Place(*script, *script, L"a", 0, 0);
    Place(*script, *script, L"b", 0, 0);
    Place(*script, *script, L"c", 0, 0);
    DynamicWidget* elsewhere = Place(*script, mgr, L"elsewhere", 0, 0);
    int laterWordRuns = 0;
    static int* runs = nullptr;
    runs = &laterWordRuns;
    ScriptWordTable().Register(WordGroup::kNoObjectFound, L"later-word",
                               [](AnimationWidget&, const AnimationStep&, DynamicWidget*) {
                                   ++*runs;
                                   return WordResult::kNext;
                               });
    Run(*script, {Step(L"put-in-front", {{L"id1", L"a"}, {L"id2", L"c"}})});
    EXPECT_EQ(Order(*script), (std::vector<std::wstring>{L"b", L"c", L"a"}));
    Run(*script, {Step(L"put-behind", {{L"id1", L"a"}, {L"id2", L"b"}}),
                  Step(L"put-behind", {{L"id1", L"c"}, {L"id2", L"nobody"}}),
                  Step(L"put-in-front", {{L"id1", L"elsewhere"}, {L"id2", L"a"}}),
                  Step(L"later-word", {{L"id1", L"a"}, {L"id2", L"b"}})});
    EXPECT_EQ(Order(*script), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(elsewhere->GetParent(), &mgr);
    EXPECT_EQ(laterWordRuns, 1);
    ScriptWordTable().Unregister(WordGroup::kNoObjectFound, L"later-word");
}

TEST_F(TreeWordsTest, DepthSizeVisibilityAndInputFlags) {
    AnimationWidget* script = Interpreter();
    DynamicWidget* a = Place(*script, *script, L"a", 0, 0, 20, 30);
    Place(*script, *script, L"b", 0, 0);
    Place(*script, *script, L"c", 0, 0);
    Run(*script,
        {Step(L"set-depth", {{L"id", L"a"}, {L"depth", L"5"}}), Step(L"resize", {{L"id", L"a"}, {L"height", L"7"}}),
         Step(L"hide", {{L"id", L"b"}}), Step(L"disable", {{L"id", L"c"}}), Step(L"mouse-visible", {{L"id", L"a"}}),
         Step(L"check-pixels", {{L"id", L"a"}}), Step(L"use-hand-cursor", {{L"id", L"a"}, {L"enable", L"1"}})});
    EXPECT_EQ(Order(*script), (std::vector<std::wstring>{L"b", L"c", L"a"}));
    EXPECT_EQ(a->GetWidth(), 20);
    EXPECT_EQ(a->GetHeight(), 7);
    EXPECT_TRUE(a->IsMouseVisible());
    EXPECT_TRUE(a->GetHandCursor());
    EXPECT_FALSE(dynamic_cast<DynamicWidget*>(script->GetChildren().front())->IsVisible());
    EXPECT_TRUE(dynamic_cast<DynamicWidget*>(*std::next(script->GetChildren().begin()))->IsDisabled());
    Run(*script, {Step(L"show", {{L"id", L"b"}}), Step(L"enable", {{L"id", L"c"}}),
                  Step(L"mouse-visible", {{L"id", L"a"}, {L"enable", L"false"}})});
    EXPECT_TRUE(dynamic_cast<DynamicWidget*>(script->GetChildren().front())->IsVisible());
    EXPECT_FALSE(dynamic_cast<DynamicWidget*>(*std::next(script->GetChildren().begin()))->IsDisabled());
    EXPECT_FALSE(a->IsMouseVisible());
}

TEST_F(TreeWordsTest, RemoveChildrenRemovesTheWholeSubtreeAndTheInterpreterForgetsIt) {
    AnimationWidget* script = Interpreter();
    DynamicWidget* holder = Place(*script, mgr, L"holder", 0, 0);
    Run(*script, {Step(L"set-layer", {{L"id", L"holder"}}), Step(L"make", {{L"name", L"kid"}})});
    ASSERT_EQ(holder->GetChildren().size(), 1u);
    Widget* kid = holder->GetChildren().front();
    Place(*script, *kid, L"grandchild", 0, 0);
    Run(*script, {Step(L"remove-children", {{L"id", L"holder"}})});
    EXPECT_TRUE(holder->GetChildren().empty());
    EXPECT_TRUE(kid->GetChildren().empty());
    EXPECT_TRUE(script->Objects().empty());
    EXPECT_FALSE(script->Variables().count(L"kid"));
}

struct FlagCase {
    const wchar_t* word;
    uint32_t bit;
};

class PassFlagWordsTest : public TreeWordsTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(PassFlagWordsTest, EachWordSwitchesOnlyItsOwnBitInTheMaskItNames) {
    const FlagCase c = GetParam();
    AnimationWidget* script = Interpreter();
    DynamicWidget* a = Place(*script, *script, L"a", 0, 0);
    a->SetFlagMasks(0xFFu, 0u);
    Run(*script, {Step(c.word, {{L"id", L"a"}, {L"enable", L"false"}, {L"disable", L"true"}})});
    EXPECT_EQ(a->GetAddFlags(), 0xFFu & ~c.bit);
    EXPECT_EQ(a->GetRemoveFlags(), c.bit);
    Run(*script, {Step(c.word, {{L"id", L"a"}, {L"enable", L"true"}}), Step(c.word, {{L"id", L"a"}})});
    EXPECT_EQ(a->GetAddFlags(), 0xFFu);
    EXPECT_EQ(a->GetRemoveFlags(), c.bit);
}

INSTANTIATE_TEST_SUITE_P(Words, PassFlagWordsTest,
                         ::testing::Values(FlagCase{L"update", pass_flag::kUpdate},
                                           FlagCase{L"allow-mouse", pass_flag::kMouse},
                                           FlagCase{L"batch", pass_flag::kBatching},
                                           FlagCase{L"batch-by-depth", pass_flag::kDrawOrderByPriority},
                                           FlagCase{L"crossfade", pass_flag::kOffscreen}));

// One opaque pixel at (3, 2) of an 8 x 8 image; the rest is clear.
std::unique_ptr<ImageSurface> OnePixelImage() {
    return testsupport::MakeImage(8, 8, [](int x, int y) { return x == 3 && y == 2 ? 0xFFFFFFFFu : 0u; });
}

TEST_F(TreeWordsTest, GetPointFindsTheOnlyHitPixelAndLeavesVariablesWhenNothingIsFound) {
    Image* dot = Keep(OnePixelImage());
    Image* clear = Keep(testsupport::SolidImage(8, 8, 0u));
    AnimationWidget* script = Interpreter();
    Place(*script, *script, L"dot", 0, 0)->SetImage(dot);
    Place(*script, *script, L"clear", 0, 0)->SetImage(clear);
    script->SetVariable(L"px", PropertyValue(-1));
    Run(*script,
        {Step(L"get-point", {{L"id", L"dot"}, {L"tries", L"5000"}, {L"x", L"px"}, {L"y", L"py"}, {L"found", L"ok"}})});
    EXPECT_EQ(script->Variables()[L"px"].ToInt(), 3);
    EXPECT_EQ(script->Variables()[L"py"].ToInt(), 2);
    EXPECT_TRUE(script->Variables()[L"ok"].ToBool());
    // No try at all, and a count far too large on a widget nothing hits:
    // both end at once without a point.
    for (const wchar_t* tries : {L"0", L"2000000000"}) {
        script->SetVariable(L"ok", PropertyValue(true));
        Run(*script, {Step(L"get-point",
                           {{L"id", L"clear"}, {L"tries", tries}, {L"x", L"px"}, {L"y", L"py"}, {L"found", L"ok"}})});
        EXPECT_FALSE(script->Variables()[L"ok"].ToBool());
        EXPECT_EQ(script->Variables()[L"px"].ToInt(), 3);
    }
}

TEST_F(TreeWordsTest, PickScattersAnimationsOverHitPointsIntoTheTargetWithTheOffset) {
    Image* dot = Keep(OnePixelImage());
    Image* clear = Keep(testsupport::SolidImage(8, 8, 0u));
    AnimationWidget* script = Interpreter();
    DynamicWidget* source = Place(*script, mgr, L"source", 100, 60);
    source->SetImage(dot);
    Place(*script, mgr, L"nothing", 0, 0)->SetImage(clear);
    DynamicWidget* target = Place(*script, mgr, L"target", 40, 20);
    Run(*script, {Step(L"pick", {{L"id", L"source"}, {L"target", L"target"}, {L"points", L"3"}, {L"tries", L"5000"}}),
                  Step(L"pick", {{L"id", L"nothing"}, {L"points", L"5"}, {L"tries", L"2000000000"}})});
    ASSERT_EQ(target->GetChildren().size(), 3u);
    for (Widget* made : target->GetChildren()) {
        EXPECT_NE(dynamic_cast<AnimationWidget*>(made), nullptr);
        EXPECT_FLOAT_EQ(made->GetX(), 3 + 100 - 40);
        EXPECT_FLOAT_EQ(made->GetY(), 2 + 60 - 20);
    }
    EXPECT_EQ(script->Objects().size(), 0u);  // not registered
    EXPECT_TRUE(script->RunningAnimations().empty());
}

}  // namespace

namespace {

TEST_F(TreeWordsTest, AttachingTheRunningWidgetMovesItAndItsScriptEnds) {
    AnimationWidget* script = Interpreter();
    DynamicWidget* holder = Place(*script, mgr, L"holder", 30, 20);
    script->Move(10, 10);
    Run(*script, {Step(L"attach", {{L"id", L"self"}, {L"to", L"holder"}}), Step(L"count")});
    EXPECT_EQ(script->GetParent(), holder);
    EXPECT_FLOAT_EQ(script->GetX(), 10 - 30);
    EXPECT_FLOAT_EQ(script->GetY(), 10 - 20);
    EXPECT_TRUE(script->IsScriptDone());
    script->RemoveSelf();
    host.DeleteDeferred();
}

}  // namespace
