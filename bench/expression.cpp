// Evaluations per second of the expressions scene scripts evaluate every frame.

#include <benchmark/benchmark.h>

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
    for (auto _ : state) benchmark::DoNotOptimize(evaluator.Evaluate(text));
    state.SetItemsProcessed(state.iterations());
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
