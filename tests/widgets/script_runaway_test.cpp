// Scripts that would take the program down: a layer or an awaited child
// removed under the script, work without bound inside one update, scripts
// that start themselves, and a script restarted while it waits for a child.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/widgets/script_words_test_support.h"
#include "widgets/controls/button_widget.h"

namespace {

using testsupport::WordsTest;

// How many scripts, each the first object of the one before, hang below `root`.
int ChainDepth(AnimationWidget* root) {
    int depth = 0;
    while (root && !root->Objects().empty()) {
        root = dynamic_cast<AnimationWidget*>(root->Objects().begin()->second);
        ++depth;
    }
    return depth;
}

int CountWidgets(const WidgetContainer& container) {
    int count = 0;
    for (const Widget* child : container.GetChildren()) count += 1 + CountWidgets(*child);
    return count;
}

TEST_F(WordsTest, ALayerThatIsGoneFallsBackToTheWidgetItself) {
    Play({Step(L"add-rect", {{L"id", L"holder"}, {L"width", L"10"}, {L"height", L"10"}}),
          Step(L"set-layer", {{L"id", L"holder"}}), Step(L"push-layer"), Step(L"add-rect", {{L"id", L"inside"}}),
          Step(L"remove", {{L"id", L"holder"}}),
          Step(L"wait-for", {{L"time", L"1"}}),  // the holder is deleted meanwhile
          Step(L"add-rect", {{L"id", L"after"}}), Step(L"pop-layer"), Step(L"add-rect", {{L"id", L"popped"}})});
    EXPECT_EQ(Var(L"after").ToWidget<DynamicWidget>(), nullptr);
    host.DeleteDeferred();
    Tick(2);
    ASSERT_NE(Var(L"popped").ToWidget<DynamicWidget>(), nullptr);
    EXPECT_EQ(Var(L"holder").ToWidget<DynamicWidget>(), nullptr);
    EXPECT_EQ(Var(L"after").ToWidget<DynamicWidget>()->GetParent(), runner);
    EXPECT_EQ(Var(L"popped").ToWidget<DynamicWidget>()->GetParent(), runner);
    EXPECT_EQ(runner->GetProperty(L"layer").ToWidget<AnimationWidget>(), runner);
}

// Restarting removes the objects; the removed child must not wake the wait
// that the old run stood in, or every removal plays a new child.
TEST_F(WordsTest, RestartingAScriptThatWaitsForItsChildEnds) {
    Define(L"kid", {Step(L"wait-for", {{L"cond", L"0"}})});
    Play({Step(L"loop", {},
               {Step(L"count"), Step(L"play", {{L"animation", L"kid"}, {L"id", L"k"}, {L"remove", L"0"}}),
                Step(L"wait-for", {{L"id", L"k"}, {L"event", L"animation"}})})});
    EXPECT_EQ(Count(*runner), 1);
    runner->RestartAnimation();
    EXPECT_EQ(Count(*runner), 2);
    EXPECT_EQ(runner->Objects().size(), 1u);
    EXPECT_EQ(runner->GetWaitKind(), AnimationWidget::kAnimation);  // for the new child
}

// Nothing a hit test accepts: every try of "pick" fails.
class Untouchable : public DynamicWidget {
public:
    Untouchable() : DynamicWidget(0, 0, nullptr, 1.0f) { Resize(0, 0, 100, 100); }
    bool HitTest(float, float) override {
        ++tests;
        return false;
    }
    long tests = 0;
};

TEST_F(WordsTest, HugePicksAreCutByTheWorkBudgetAndTheScriptGoesOnNextUpdate) {
    auto* box = new Untouchable();
    runner->RegisterObject(L"box", box);
    Define(L"dot", {});
    Play({Step(L"pick", {{L"id", L"box"}, {L"points", L"1000"}, {L"tries", L"10000"}, {L"animation", L"dot"}}),
          Step(L"note", {{L"text", L"after"}})});
    EXPECT_LE(box->tests, AnimationWidget::kStepBudget);
    EXPECT_GT(box->tests, AnimationWidget::kStepBudget / 2);
    EXPECT_TRUE(runner->IsHaltedByBudget());
    EXPECT_EQ(Trace(*runner), L"");
    Tick();
    EXPECT_EQ(Trace(*runner), L"after");  // the cut step counts as done
    EXPECT_LE(box->tests, AnimationWidget::kStepBudget + 1);
}

// A script that starts itself inside AddWidget, at every update: the chain
// stops at the nesting cap and stays there.
TEST_F(WordsTest, AScriptStartingItselfStopsAtTheCapForGood) {
    Define(L"nest", {Step(L"count"), Step(L"play", {{L"animation", L"nest"}, {L"id", L"c"}, {L"remove", L"0"}})});
    auto* root = new AnimationWidget(L"nest", 0, 0, false);
    mgr.AddWidget(root);
    EXPECT_EQ(ChainDepth(root), AnimationWidget::kMaxNesting);
    Tick(5);
    EXPECT_EQ(ChainDepth(root), AnimationWidget::kMaxNesting);
}

// Every button plays the animation of its type; one whose animation makes
// another such button is a self-starting chain too.
TEST_F(WordsTest, AButtonWhoseAnimationMakesAnotherButtonIsBounded) {
    Define(L"b_init", {Step(L"add-button", {{L"type", L"b"}})});
    auto* first = new ButtonWidget(0, 0, L"b", L"", false);
    mgr.AddWidget(first);
    const int made = CountWidgets(mgr);
    EXPECT_LE(made, AnimationWidget::kMaxNesting + 2);
    Tick(5);
    EXPECT_EQ(CountWidgets(mgr), made);
}

// Many scripts cut by their own budget would each take a fresh one at every
// update: together they still do no more than one update's worth.
TEST_F(WordsTest, AllScriptsOfOneUpdateShareItsBudget) {
    Define(L"runaway", {Step(L"endless", {}, {Step(L"count")})});
    std::vector<AnimationWidget*> scripts;
    for (int i = 0; i < 12; ++i) {
        scripts.push_back(new AnimationWidget(L"runaway", 0, 0, false));
        mgr.AddWidget(scripts.back());
    }
    auto total = [&] {
        long sum = 0;
        for (AnimationWidget* script : scripts) sum += Count(*script);
        return sum;
    };
    const long first = total();
    EXPECT_LE(first, AnimationWidget::kUpdateBudget);
    EXPECT_EQ(Count(*scripts.back()), 0);  // nothing left for it in this update
    mgr.UpdateFrame();
    EXPECT_LE(total() - first, AnimationWidget::kUpdateBudget);
    EXPECT_GT(total() - first, AnimationWidget::kUpdateBudget / 2);
}

// Scripts that make two of themselves grow without bound in breadth, not
// depth: once the process holds that many widgets, no script does anything
// until widgets go.
TEST_F(WordsTest, NoScriptRunsWhileTheProcessHoldsTooManyWidgets) {
    std::vector<std::unique_ptr<Widget>> crowd;
    while (Widget::CountAlive() < AnimationWidget::kMostWidgets) crowd.push_back(std::make_unique<Widget>());
    Play({Step(L"count")});
    EXPECT_EQ(Count(*runner), 0);
    EXPECT_TRUE(runner->IsHaltedByBudget());
    crowd.clear();
    Tick();
    EXPECT_EQ(Count(*runner), 1);
}

}  // namespace
