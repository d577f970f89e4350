// The typical step condition through the engine's evaluator beside muParser,
// which compiles the text once and then only evaluates; the ratio of the two
// is the figure that counts.
#include <benchmark/benchmark.h>
#include <muParser.h>

#include <string>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/expression.h"

namespace {

const wchar_t* const kCondition = L"state == 2 && timer > constant(fade_time) * 0.5 && min(count, 3) >= 2";

// The condition's variables and constant.
VariableMap StepVariables() {
    ConstantsMap()[L"fade_time"] = PropertyValue(50);
    VariableMap vars;
    vars[L"state"] = PropertyValue(2);
    vars[L"timer"] = PropertyValue(37.5f);
    vars[L"count"] = PropertyValue(4);
    return vars;
}

// The condition as a script holds it: a stored text, passed as a view.
void BM_HalvaroStepCondition(benchmark::State& state) {
    VariableMap vars = StepVariables();
    ExpressionEvaluator evaluator(vars);
    const std::wstring text = kCondition;
    for (auto _ : state) benchmark::DoNotOptimize(evaluator.Evaluate(text));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HalvaroStepCondition);

// The same from a zero-terminated literal, which adds measuring its length
// to every evaluation.
void BM_HalvaroStepConditionFromLiteral(benchmark::State& state) {
    VariableMap vars = StepVariables();
    ExpressionEvaluator evaluator(vars);
    for (auto _ : state) benchmark::DoNotOptimize(evaluator.Evaluate(kCondition));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HalvaroStepConditionFromLiteral);

void BM_MuParserStepCondition(benchmark::State& state) {
    double stateVar = 2, timer = 37.5, count = 4;
    mu::Parser parser;
    parser.DefineVar("state", &stateVar);
    parser.DefineVar("timer", &timer);
    parser.DefineVar("count", &count);
    parser.DefineConst("fade_time", 50);
    parser.SetExpr("state == 2 && timer > fade_time * 0.5 && min(count, 3) >= 2");
    for (auto _ : state) benchmark::DoNotOptimize(parser.Eval());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MuParserStepCondition);

}  // namespace
