// Evaluations per second of the expressions scene scripts evaluate every frame,
// with the heap allocations each evaluation makes (allocs_per_eval; a
// condition on numbers must make none).

#include <benchmark/benchmark.h>

#include "allocation_counter.h"

#include <string>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/expression.h"

namespace {

VariableMap MakeVariables() {
    VariableMap vars;
    vars[L"state"] = PropertyValue(2);
    vars[L"timer"] = PropertyValue(37.5f);
    vars[L"count"] = PropertyValue(4);
    vars[L"label"] = PropertyValue(L"button_up");
    return vars;
}

void Run(benchmark::State& state, const wchar_t* text) {
    ConstantsMap()[L"fade_time"] = PropertyValue(50);
    VariableMap vars = MakeVariables();
    ExpressionEvaluator evaluator(vars);
    const std::wstring stored = text;  // as scripts hold their texts
    evaluator.Evaluate(stored);        // compiled once, outside the count
    long before = testsupport::g_allocations.load();
    for (auto _ : state) benchmark::DoNotOptimize(evaluator.Evaluate(stored));
    long made = testsupport::g_allocations.load() - before;
    state.SetItemsProcessed(state.iterations());
    state.counters["allocs_per_eval"] = static_cast<double>(made) / static_cast<double>(state.iterations());
}

// A typical step condition: variables, a comparison, a built-in call.
void BM_StepCondition(benchmark::State& state) {
    Run(state, L"state == 2 && timer > constant(fade_time) * 0.5 && min(count, 3) >= 2");
}
BENCHMARK(BM_StepCondition);

void BM_SimpleComparison(benchmark::State& state) { Run(state, L"count > 3"); }
BENCHMARK(BM_SimpleComparison);

void BM_TextAndFormat(benchmark::State& state) { Run(state, L"format(literal(%d of %d), count, 7) + label"); }
BENCHMARK(BM_TextAndFormat);

}  // namespace
