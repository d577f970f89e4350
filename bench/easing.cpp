// Evaluations per second of the curves and waves every running controller
// and oscillation evaluates each update, with the heap allocations each
// evaluation makes (reported as allocs_per_eval; named curves and waves
// must make none).

#include <benchmark/benchmark.h>

#include "allocation_counter.h"

#include <memory>

#include "foundation/system/noise.h"
#include "foundation/system/random.h"
#include "widgets/motion/easing_factory.h"
#include "widgets/motion/easing_formula.h"
#include "widgets/motion/waves.h"

namespace {

// Steps through the range like a tween's progress, so nothing folds away.
template <class Evaluate>
void Run(benchmark::State& state, Evaluate&& evaluate) {
    double t = 0.0;
    long before = testsupport::g_allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(evaluate(t));
        t += 0.0009765625;
        if (t > 1.0) t -= 1.0;
    }
    long made = testsupport::g_allocations.load() - before;
    state.SetItemsProcessed(state.iterations());
    state.counters["allocs_per_eval"] = static_cast<double>(made) / static_cast<double>(state.iterations());
}

void NamedCurve(benchmark::State& state, const wchar_t* name) {
    auto curve = MakeEasingCurve(name);
    Run(state, [&](double t) { return curve->Evaluate(static_cast<float>(t)); });
}
BENCHMARK_CAPTURE(NamedCurve, in_out_cubic, L"in_out_cubic");
BENCHMARK_CAPTURE(NamedCurve, out_elastic, L"out_elastic");
BENCHMARK_CAPTURE(NamedCurve, out_in_bounce, L"out_in_bounce");

void FormulaCurve(benchmark::State& state, const wchar_t* text) {
    VariableMap locals;
    locals[L"self"] = PropertyValue(0);
    locals[L"state"] = PropertyValue(2);
    locals[L"label"] = PropertyValue(L"button_up");
    ExpressionCurve formula(text, &locals);
    Run(state, [&](double t) { return formula.Evaluate(static_cast<float>(t)); });
}
BENCHMARK_CAPTURE(FormulaCurve, smoothstep, L"t * t * (3 - 2 * t)");
BENCHMARK_CAPTURE(FormulaCurve, with_call, L"sin(t * 90)");

template <class Wave>
void BM_Wave(benchmark::State& state) {
    SeedRandom(4357);
    InitNoiseTables();
    Wave wave;
    Run(state, [&](double phase) { return wave.Evaluate(phase * 3.0); });
}
BENCHMARK_TEMPLATE(BM_Wave, SineWave);
BENCHMARK_TEMPLATE(BM_Wave, ZigZagWave);
BENCHMARK_TEMPLATE(BM_Wave, NoiseWave);

}  // namespace
