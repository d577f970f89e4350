// The typical step condition through the engine's evaluator beside muParser,
// which compiles the text once and then only evaluates; the ratio of the two
// is the figure that counts. BM_StepConditionOverMuParser times both in turn
// within every iteration, so that both meet the same load on a shared
// machine.
#include <benchmark/benchmark.h>
#include <muParser.h>

#include <chrono>
#include <string>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/expression.h"
#include "thread_clock.h"

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

// The condition as a script's step holds it: a stored text, known again by
// its number.
void BM_HalvaroStepCondition(benchmark::State& state) {
    VariableMap vars = StepVariables();
    ExpressionEvaluator evaluator(vars);
    const ExpressionText text{std::wstring(kCondition)};
    for (auto _ : state) benchmark::DoNotOptimize(evaluator.Evaluate(text));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HalvaroStepCondition);

// The same from a plain text passed as a view, known again by its characters.
void BM_HalvaroStepConditionFromView(benchmark::State& state) {
    VariableMap vars = StepVariables();
    ExpressionEvaluator evaluator(vars);
    const std::wstring text = kCondition;
    for (auto _ : state) benchmark::DoNotOptimize(evaluator.Evaluate(std::wstring_view(text)));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HalvaroStepConditionFromView);

// The same from a zero-terminated literal, which adds measuring its length
// to every evaluation.
void BM_HalvaroStepConditionFromLiteral(benchmark::State& state) {
    VariableMap vars = StepVariables();
    ExpressionEvaluator evaluator(vars);
    for (auto _ : state) benchmark::DoNotOptimize(evaluator.Evaluate(kCondition));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HalvaroStepConditionFromLiteral);

// The same condition compiled once by muParser, on the same values.
struct MuCondition {
    MuCondition() {
        parser.DefineVar("state", &stateVar);
        parser.DefineVar("timer", &timer);
        parser.DefineVar("count", &count);
        parser.DefineConst("fade_time", 50);
        parser.SetExpr("state == 2 && timer > fade_time * 0.5 && min(count, 3) >= 2");
    }
    MuCondition(const MuCondition&) = delete;
    MuCondition& operator=(const MuCondition&) = delete;

    double stateVar = 2, timer = 37.5, count = 4;
    mu::Parser parser;
};

void BM_MuParserStepCondition(benchmark::State& state) {
    MuCondition mu;
    for (auto _ : state) benchmark::DoNotOptimize(mu.parser.Eval());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MuParserStepCondition);

// A block of evaluations through each, in turn within every iteration; the
// ratio of their sums is below 1 where the engine is the faster.
void BM_StepConditionOverMuParser(benchmark::State& state) {
    using Clock = ThreadClock;
    constexpr int kBlock = 1000;
    VariableMap vars = StepVariables();
    ExpressionEvaluator evaluator(vars);
    const ExpressionText text{std::wstring(kCondition)};
    MuCondition mu;
    if (evaluator.Evaluate(text).ToBool() != (mu.parser.Eval() != 0)) {
        state.SkipWithError("the two forms disagree");
        return;
    }
    Clock::duration ours{}, theirs{};
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        for (int i = 0; i < kBlock; ++i) benchmark::DoNotOptimize(mu.parser.Eval());
        const Clock::time_point t1 = Clock::now();
        for (int i = 0; i < kBlock; ++i) benchmark::DoNotOptimize(evaluator.Evaluate(text));
        ours += Clock::now() - t1;
        theirs += t1 - t0;
    }
    const double n = static_cast<double>(state.iterations()) * kBlock;
    state.counters["ours_ns"] = std::chrono::duration<double, std::nano>(ours).count() / n;
    state.counters["muparser_ns"] = std::chrono::duration<double, std::nano>(theirs).count() / n;
    state.counters["ratio"] = std::chrono::duration<double>(ours) / std::chrono::duration<double>(theirs);
}
BENCHMARK(BM_StepConditionOverMuParser);

}  // namespace
