// Scene scripts with the real word families: 1,000 animation widgets each
// playing a short script (a property change, a loop of assignments, a wait)
// and taking one fixed update; 1,000 widgets each waiting on time under an
// oscillation, updated in their steady state; and the step rate of one tight
// loop, measured over one step budget.

#include <benchmark/benchmark.h>

#include <vector>

#include "widgets/script/animation_widget.h"
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

struct Scripts {
    Scripts() {
        // n is defined first: an undefined bare word is its own text, and
        // "n + 1" would then grow a string. "assign" evaluates its name, so
        // the name is written as a literal.
        FindAnimation(L"short")->steps = {
            Step(L"assign", {{L"name", L"literal(n)"}, {L"value", L"0"}}),
            Step(L"change", {{L"id", L"self"},
                             {L"property", L"x"},
                             {L"end", L"100"},
                             {L"time", L"50"},
                             {L"curve", L"in_out_quad"},
                             {L"controller", L"move"}}),
            Step(L"loop", {{L"count", L"8"}}, {Step(L"assign", {{L"name", L"literal(n)"}, {L"value", L"n + 1"}})}),
            Step(L"wait-for", {{L"cond", L"0"}})};
        FindAnimation(L"tight")->steps = {
            Step(L"assign", {{L"name", L"literal(n)"}, {L"value", L"0"}}),
            Step(L"loop", {}, {Step(L"assign", {{L"name", L"literal(n)"}, {L"value", L"n + 1"}})})};
        FindAnimation(L"bob")->steps = {
            Step(L"oscillate", {{L"id", L"self"}, {L"property", L"y"}, {L"amplitude", L"5"}, {L"rate", L"100"}}),
            Step(L"wait-for", {{L"time", L"1000000"}, {L"timed_out", L"late"}})};
    }
};

void BM_ThousandWidgetsPlayAndUpdate(benchmark::State& state) {
    static Scripts scripts;
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
    static Scripts scripts;
    WidgetManager mgr;
    auto* w = new AnimationWidget(L"", 0, 0, false);
    mgr.AddWidget(w);
    AnimationDefinition* script = FindAnimation(L"tight");
    for (auto _ : state) w->PlayAnimation(script);  // halts after one step budget
    state.SetItemsProcessed(state.iterations() * AnimationWidget::kStepBudget);
}
BENCHMARK(BM_TightLoopSteps)->Unit(benchmark::kMillisecond);

void BM_ThousandWidgetsWaitUnderOscillation(benchmark::State& state) {
    static Scripts scripts;
    WidgetManager mgr;
    for (int i = 0; i < 1000; ++i) mgr.AddWidget(new AnimationWidget(L"bob", (i % 40) * 20, (i / 40) * 20, false));
    for (auto _ : state) {
        mgr.UpdateFrame();
        mgr.UpdateFractionFrame(1.0f);
    }
    state.counters["share_of_10ms_step"] = benchmark::Counter(
        static_cast<double>(state.iterations()) / 100.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ThousandWidgetsWaitUnderOscillation)->Unit(benchmark::kMicrosecond);

}  // namespace
