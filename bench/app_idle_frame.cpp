// One idle frame of the main loop against its 10 ms update step: input pass,
// one fixed update of an empty screen, the fractional update, a full repaint
// of the 1024 x 768 draw buffer and the present to the headless device. The
// loop's clock is advanced one step per frame so that every frame updates;
// sleeping is skipped, so the time measured is the work alone. Compare the
// time per frame with the 10 ms step.

#include <benchmark/benchmark.h>

#include "idle_loop.h"

namespace {

// Argument 1: the whole screen is repainted and presented (as once a second);
// 0: nothing changed, so nothing is drawn or presented.
void BM_IdleFrame(benchmark::State& state) {
    IdleLoop loop;
    loop.repaint = state.range(0) != 0;
    for (int i = 0; i < 5; ++i) loop.Frame();
    const int updatesBefore = loop.pacer.UpdateCount();
    for (auto _ : state) loop.Frame();
    state.counters["updates/frame"] =
        benchmark::Counter(static_cast<double>(loop.pacer.UpdateCount() - updatesBefore) / state.iterations());
}
BENCHMARK(BM_IdleFrame)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
