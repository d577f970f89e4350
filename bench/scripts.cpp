// Scene scripts: 1,000 animation widgets each playing a short script (a
// property change, a loop of assignments, a wait) and taking one fixed
// update; and the step rate of one tight loop, measured over one step budget.
// The word families are not part of this program, so it registers stand-ins
// of the same shape: each reads its attributes through the widget's helpers.

#include <benchmark/benchmark.h>

#include <vector>

#include "widgets/script/animation_widget.h"
#include "widgets/script/script_words.h"
#include "widgets/tree/widget_manager.h"

namespace {

AnimationStep Step(const wchar_t* word, std::vector<std::pair<std::wstring, std::wstring>> attributes = {},
                   std::vector<AnimationStep> children = {}) {
    AnimationStep step;
    step.name = word;
    for (auto& [name, value] : attributes) step.attributes[name] = value;
    step.children = std::move(children);
    return step;
}

WordResult Change(AnimationWidget& w, const AnimationStep&, DynamicWidget* object) {
    object->TweenProperty(L"move", w.StepAttributeText(L"property"), w.StepAttributeFloat(L"end"),
                          w.StepAttributeFloat(L"time"), L"in_out_quad", false);
    return WordResult::kNext;
}

WordResult Loop(AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
    AnimationWidget::LoopRecord loop;
    loop.list = w.CursorList();
    loop.index = w.CursorIndex();
    loop.blockDepth = static_cast<int>(w.BlockDepth());
    loop.count = w.StepAttributeIntOr(L"count", -1);
    w.Loops().push_back(loop);
    return WordResult::kNext;
}

WordResult Assign(AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
    w.SetVariable(w.StepAttributeText(L"name"), w.EvalStepAttribute(L"value"));
    return WordResult::kNext;
}

WordResult Wait(AnimationWidget& w, const AnimationStep&, DynamicWidget*) {
    w.SetWaitKind(AnimationWidget::kCondition);
    return WordResult::kStop;
}

struct Words {
    Words() {
        ScriptWords& words = ScriptWordTable();
        words.Register(WordGroup::kObject, L"change", Change);
        words.Register(WordGroup::kNoObjectFound, L"loop", Loop);
        words.Register(WordGroup::kNoObject, L"assign", Assign);
        words.Register(WordGroup::kNoObject, L"wait-for", Wait);
        // n is defined first: an undefined bare word is its own text, and
        // "n + 1" would then grow a string.
        FindAnimation(L"short")->steps = {
            Step(L"assign", {{L"name", L"n"}, {L"value", L"0"}}),
            Step(L"change", {{L"id", L"self"}, {L"property", L"x"}, {L"end", L"100"}, {L"time", L"50"}}),
            Step(L"loop", {{L"count", L"8"}}, {Step(L"assign", {{L"name", L"n"}, {L"value", L"n + 1"}})}),
            Step(L"wait-for", {{L"cond", L"0"}})};
        FindAnimation(L"tight")->steps = {
            Step(L"assign", {{L"name", L"n"}, {L"value", L"0"}}),
            Step(L"loop", {}, {Step(L"assign", {{L"name", L"n"}, {L"value", L"n + 1"}})})};
    }
};

void BM_ThousandWidgetsPlayAndUpdate(benchmark::State& state) {
    static Words words;
    WidgetManager mgr;
    std::vector<AnimationWidget*> widgets;
    for (int i = 0; i < 1000; ++i) {
        auto* w = new AnimationWidget(L"", (i % 40) * 20, (i / 40) * 20, false);
        mgr.AddWidget(w);
        widgets.push_back(w);
    }
    AnimationDefinition* script = FindAnimation(L"short");
    for (auto _ : state) {
        for (AnimationWidget* w : widgets) w->PlayAnimation(script);
        mgr.UpdateFrame();
        mgr.UpdateFractionFrame(1.0f);
    }
    state.counters["share_of_10ms_step"] = benchmark::Counter(
        static_cast<double>(state.iterations()) / 100.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ThousandWidgetsPlayAndUpdate)->Unit(benchmark::kMicrosecond);

void BM_TightLoopSteps(benchmark::State& state) {
    static Words words;
    WidgetManager mgr;
    auto* w = new AnimationWidget(L"", 0, 0, false);
    mgr.AddWidget(w);
    AnimationDefinition* script = FindAnimation(L"tight");
    for (auto _ : state) w->PlayAnimation(script);  // halts after one step budget
    state.SetItemsProcessed(state.iterations() * AnimationWidget::kStepBudget);
}
BENCHMARK(BM_TightLoopSteps)->Unit(benchmark::kMillisecond);

}  // namespace
