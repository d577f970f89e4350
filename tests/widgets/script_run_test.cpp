// The step loop through a managed tree: order of a step tree, conditions,
// hooks, superseding plays, removal, the step budget and the objects table.
#include <gtest/gtest.h>

#include <memory>

#include "tests/widgets/script_test_support.h"
#include "widgets/script/script_host.h"

namespace {

using testsupport::ScriptTest;

using testsupport::Note;

TEST_F(ScriptTest, StepTreeWithUnknownWordsRunsToTheEndInOneUpdateOnlyInsideTheManager) {
    Define(L"tree", {Step(L"misspelt", {{L"x", L"1"}}), Note(L"a"),
                     Note(L"b", {}, {Note(L"c"), Step(L"breakpoint"), Note(L"d", {}, {Note(L"e")})}), Note(L"f"),
                     Note(L"x", {{L"if", L"1 == 2"}}), Note(L"y", {{L"unless", L"1"}}), Note(L"g", {{L"if", L"1"}}),
                     Step(L"bogus", {{L"id", L"self"}})});
    auto* holder = new Widget();
    auto* widget = new AnimationWidget(L"tree", 0, 0, false);
    holder->AddWidget(widget);
    EXPECT_EQ(Trace(*widget), L"");  // no manager, no run
    mgr.AddWidget(holder);
    EXPECT_EQ(Trace(*widget), L"abcdefg");
    EXPECT_TRUE(widget->IsScriptDone());
}

TEST_F(ScriptTest, NewerPlaySupersedesTheRunOnTheStack) {
    Define(L"first", {Note(L"1"), Step(L"replay", {{L"name", L"second"}}), Note(L"never")});
    Define(L"second", {Note(L"2"), Step(L"halt"), Note(L"3")});
    auto* widget = new AnimationWidget(L"first", 0, 0, false);
    mgr.AddWidget(widget);
    EXPECT_EQ(Trace(*widget), L"12");
    EXPECT_EQ(widget->GetPlayCounter(), 2);
    widget->ExecuteSteps(true);  // a halted script goes on after the step
    EXPECT_EQ(Trace(*widget), L"123");
}

// A hook answering 1 stops the run at the step; 2 handles it and goes on.
class HookedWidget : public AnimationWidget {
public:
    using AnimationWidget::AnimationWidget;
    int HandleCustomCommand(const AnimationStep& step) override {
        if (step.name == L"note" && step.attributes.at(L"text") == L"stop") return hook_result::kStopHere;
        if (step.name == L"note" && step.attributes.at(L"text") == L"skip") return hook_result::kHandled;
        return AnimationWidget::HandleCustomCommand(step);
    }
};

TEST_F(ScriptTest, HookResultOneStopsAtTheStepAndTwoGoesOn) {
    static_assert(hook_result::kStopHere == 1 && hook_result::kHandled == 2);
    Define(L"hooked", {Note(L"a"), Note(L"skip"), Note(L"b"), Note(L"stop"), Note(L"c")});
    auto* widget = new HookedWidget(L"hooked", 0, 0, false);
    mgr.AddWidget(widget);
    EXPECT_EQ(Trace(*widget), L"ab");
    widget->ExecuteSteps(false);  // the step runs again and stops again
    EXPECT_EQ(Trace(*widget), L"ab");
    widget->ExecuteSteps(true);
    EXPECT_EQ(Trace(*widget), L"abc");
}

TEST_F(ScriptTest, RemovingAnAwaitedObjectResumesAndARemovedWidgetsScriptEnds) {
    Define(L"waiter", {Step(L"make", {{L"name", L"box"}}), Step(L"wait-gone", {{L"id", L"box"}}), Note(L"resumed"),
                       Step(L"halt"), Note(L"never")});
    auto* widget = new AnimationWidget(L"waiter", 0, 0, false);
    mgr.AddWidget(widget);
    ASSERT_EQ(widget->Objects().size(), 1u);
    DynamicWidget* box = widget->Objects().begin()->second;
    EXPECT_EQ(widget->FindObject(L"id"), box);  // the waiting step names it
    EXPECT_EQ(Trace(*widget), L"");
    box->RemoveSelf();
    EXPECT_EQ(Trace(*widget), L"resumed");
    EXPECT_TRUE(widget->Objects().empty());
    EXPECT_FALSE(widget->Variables().count(L"box"));

    widget->RemoveSelf();
    EXPECT_TRUE(widget->IsScriptDone());
    mgr.UpdateFrame();
    host.DeleteDeferred();
    EXPECT_EQ(mgr.GetChildren().size(), 0u);
}

TEST_F(ScriptTest, StepBudgetHaltsARunawayLoopAndTheNextUpdateResumesIt) {
    Define(L"runaway", {Step(L"endless", {}, {Step(L"count")})});
    auto* widget = new AnimationWidget(L"runaway", 0, 0, false);
    mgr.AddWidget(widget);
    EXPECT_TRUE(widget->IsHaltedByBudget());
    EXPECT_EQ(Count(*widget), AnimationWidget::kStepBudget - 1);  // the first step opened the loop
    mgr.UpdateFrame();
    EXPECT_EQ(Count(*widget), 2 * AnimationWidget::kStepBudget - 1);
    widget->ResetScript();
    mgr.UpdateFrame();
    EXPECT_EQ(Count(*widget), 2 * AnimationWidget::kStepBudget - 1);
}

TEST_F(ScriptTest, ScriptsStartingEachOtherAreCappedInDepth) {
    Define(L"nest", {Step(L"count"), Step(L"spawn-self")});
    auto* root = new AnimationWidget(L"nest", 0, 0, false);
    mgr.AddWidget(root);
    int depth = 0;
    AnimationWidget* deepest = root;
    while (!deepest->Objects().empty()) {
        deepest = dynamic_cast<AnimationWidget*>(deepest->Objects().begin()->second);
        ++depth;
    }
    EXPECT_EQ(depth, AnimationWidget::kMaxNesting);
    // The last link was started too deep: it never runs, now or later.
    EXPECT_EQ(deepest->GetStartDepth(), AnimationWidget::kMaxNesting);
    EXPECT_FALSE(deepest->IsHaltedByBudget());
    EXPECT_EQ(Count(*deepest), 0);
    mgr.UpdateFrame();
    EXPECT_EQ(Count(*deepest), 0);
    EXPECT_TRUE(deepest->Objects().empty());
}

TEST_F(ScriptTest, RemoveObjectsEndsWhenAnObjectStaysAndSkipsOneAlreadyDeleted) {
    Define(L"maker", {Step(L"make", {{L"name", L"kept"}}), Step(L"make", {{L"name", L"gone"}})});
    auto* widget = new AnimationWidget(L"maker", 0, 0, false);
    mgr.AddWidget(widget);
    auto* kept = widget->Variables()[L"kept"].ToWidget<DynamicWidget>();
    auto* gone = widget->Variables()[L"gone"].ToWidget<DynamicWidget>();
    ASSERT_TRUE(kept && gone);
    // Both leave without a report; RemoveSelf of a widget without a parent
    // changes nothing, which used to keep RemoveObjects going for ever.
    kept->RemoveSelfKeep();
    gone->RemoveSelfKeep();
    std::unique_ptr<DynamicWidget> keptOwner(kept);
    delete gone;
    widget->RemoveObjects(false);
    EXPECT_TRUE(widget->Objects().empty());
    EXPECT_EQ(kept->GetParent(), nullptr);
}

TEST_F(ScriptTest, WidgetValuesInCopiedVariablesReadNullOnceTheWidgetIsGone) {
    Define(L"maker", {Step(L"make", {{L"name", L"box"}})});
    auto* widget = new AnimationWidget(L"maker", 0, 0, false);
    mgr.AddWidget(widget);
    VariableMap copy = widget->Variables();
    EXPECT_EQ(copy[L"box"].ToString(), L"box");  // written as its name, never an address
    widget->RemoveObjects(true);
    host.DeleteDeferred();
    EXPECT_EQ(copy[L"box"].ToWidget<DynamicWidget>(), nullptr);
    EXPECT_EQ(copy[L"box"].ToString(), L"");
}

TEST_F(ScriptTest, LayersSelfAndUnknownActionsGoToTheParent) {
    class Parent : public AnimationWidget {
    public:
        using AnimationWidget::AnimationWidget;
        void DoAction(std::wstring_view action, std::wstring_view, int number) override {
            actions += std::wstring(action) + std::to_wstring(number);
        }
        std::wstring actions;
    };
    Define(L"layered",
           {Step(L"make", {{L"name", L"holder"}}), Step(L"push-layer"), Step(L"set-layer", {{L"id", L"holder"}}),
            Step(L"make", {{L"name", L"inner"}}), Step(L"pop-layer"), Step(L"make", {{L"name", L"outer"}})});
    auto* parent = new Parent(L"", 0, 0, false);
    mgr.AddWidget(parent);
    auto* widget = new AnimationWidget(L"layered", 0, 0, false);
    parent->AddWidget(widget);
    auto* holder = widget->Variables()[L"holder"].ToWidget<DynamicWidget>();
    EXPECT_EQ(widget->Variables()[L"inner"].ToWidget<DynamicWidget>()->GetParent(), holder);
    EXPECT_EQ(widget->Variables()[L"outer"].ToWidget<DynamicWidget>()->GetParent(), widget);
    EXPECT_EQ(widget->Variables()[L"self"].ToWidget<AnimationWidget>(), widget);
    EXPECT_EQ(widget->GetProperty(L"layer").ToWidget<AnimationWidget>(), widget);
    widget->DoAction(L"close", L"", 7);
    EXPECT_EQ(parent->actions, L"close7");
}

}  // namespace

namespace {

using testsupport::ScriptTest;

AnimationStep Say(const wchar_t* text) { return ScriptTest::Step(L"note", {{L"text", text}}); }

TEST_F(ScriptTest, PushedAnimationWaitsForTheScriptAndRunResetsAPersistingOne) {
    Define(L"main", {Say(L"m"), Step(L"halt"), Say(L"n")});
    Define(L"queued", {Say(L"q")});
    auto* widget = new AnimationWidget(L"main", 0, 0, false);
    mgr.AddWidget(widget);
    widget->PushAnimationNamed(L"queued");
    EXPECT_EQ(Trace(*widget), L"m");  // still halted in main
    widget->ExecuteSteps(true);
    EXPECT_EQ(Trace(*widget), L"mnq");
    widget->PushAnimationNamed(L"queued");  // idle: runs at once
    EXPECT_EQ(Trace(*widget), L"mnqq");

    widget->PlayAnimationNamed(L"main");
    widget->SetWaitKind(AnimationWidget::kPersist);
    widget->RunAnimationNamed(L"queued");  // the persisting step is dropped
    EXPECT_EQ(Trace(*widget), L"mnqqmq");
    EXPECT_TRUE(widget->IsScriptDone());
}

TEST_F(ScriptTest, CallButtonRunsASubroutineThenTheWaitingStepAgainAndLaunchReplaces) {
    Define(L"menu",
           {Step(L"make", {{L"name", L"box"}}), Say(L"w"), Step(L"wait-gone", {{L"id", L"box"}}), Say(L"after")});
    Define(L"sub", {Say(L"s")});
    Define(L"other", {Say(L"o")});
    auto* widget = new AnimationWidget(L"menu", 0, 0, false);
    mgr.AddWidget(widget);
    const int box = widget->Objects().begin()->first;
    ButtonBinding call;
    call.kind = ButtonBinding::kCall;
    call.name = L"box";
    call.target = L"sub";
    widget->Buttons()[box] = call;
    widget->ButtonPress(box);
    EXPECT_EQ(Trace(*widget), L"ws");
    EXPECT_EQ(widget->GetWaitKind(), AnimationWidget::kObjectGone);  // waiting again
    EXPECT_EQ(widget->Variables()[L"button_id"].ToString(), L"box");

    ButtonBinding launch = call;
    launch.kind = ButtonBinding::kLaunch;
    launch.target = L"other";
    launch.depress = true;
    widget->Buttons()[box] = launch;
    widget->ButtonPress(box);  // acts on release only
    EXPECT_EQ(Trace(*widget), L"ws");
    widget->ButtonRelease(box);
    EXPECT_EQ(Trace(*widget), L"wso");
    EXPECT_EQ(widget->GetLastButtonId(), box);
}

TEST_F(ScriptTest, ParentWatchesAChildAnimationUntilItLeaves) {
    Define(L"child", {Step(L"halt")});
    auto* parent = new AnimationWidget(L"", 0, 0, false);
    mgr.AddWidget(parent);
    auto* child = new AnimationWidget(L"child", 0, 0, false);
    parent->AddWidget(child);
    EXPECT_EQ(child->GetAnimationListener(), parent);
    parent->RunningAnimations()[child->GetId()] = child;
    parent->SetWaitKind(AnimationWidget::kAnimation);
    parent->SetWaitTargetId(child->GetId());
    child->RemoveSelf();
    EXPECT_TRUE(parent->RunningAnimations().empty());
    EXPECT_EQ(parent->GetWaitKind(), AnimationWidget::kRunning);  // the wait ended
}

}  // namespace

namespace {

// The application's look comes second: after the widget's own hook declined.
class StoppingHost : public NullScriptHost {
public:
    int HandleScriptStep(const AnimationStep& step, AnimationWidget&) override {
        ++seen;
        auto text = step.attributes.find(L"text");
        return text != step.attributes.end() && text->second == L"app" ? hook_result::kStopHere
                                                                       : hook_result::kNotHandled;
    }
    int seen = 0;

private:
    ScopedService<ScriptHost> installed_{this};
};

TEST_F(ScriptTest, ApplicationHookSeesStepsTheWidgetLeftAndMayStopThere) {
    StoppingHost app;
    Define(L"hooked", {ScriptTest::Step(L"note", {{L"text", L"skip"}}), ScriptTest::Step(L"note", {{L"text", L"a"}}),
                       ScriptTest::Step(L"note", {{L"text", L"app"}}), ScriptTest::Step(L"note", {{L"text", L"b"}})});
    auto* widget = new HookedWidget(L"hooked", 0, 0, false);
    mgr.AddWidget(widget);
    EXPECT_EQ(Trace(*widget), L"a");
    EXPECT_EQ(app.seen, 2);  // "skip" was handled by the widget
    widget->ExecuteSteps(true);
    EXPECT_EQ(Trace(*widget), L"ab");
}

}  // namespace
