// The device wrapper's per-draw and per-frame costs: a draw-state change that
// the cache skips, a small filled rectangle, and presenting a 1024 x 768
// frame (composition into the back buffer and present).
#include <benchmark/benchmark.h>

#include "bench_host.h"
#include "rendering/device/d3d_interface.h"

namespace {

using BenchHost = testsupport::HeadlessDeviceHost;

struct Bench {
    BenchHost host;
    D3DInterface d3d{&host};
    Bench() {
        d3d.Init(nullptr, true, false);
        d3d.GetDrawBuffer()->BindRenderTarget();
    }
};

void BM_SetupDrawModeUnchanged(benchmark::State& state) {
    Bench b;
    DrawState s;
    b.d3d.SetupDrawMode(kDrawKindBlit, true, &s);
    for (auto _ : state) b.d3d.SetupDrawMode(kDrawKindBlit, true, &s);
}
BENCHMARK(BM_SetupDrawModeUnchanged);

void BM_FillRect16(benchmark::State& state) {
    Bench b;
    DrawState s;
    const Color c = Color::FromRGBA(200, 100, 50, 128);
    for (auto _ : state) b.d3d.FillRect(&c, &s, Rect(100, 100, 16, 16));
}
BENCHMARK(BM_FillRect16);

void BM_Redraw1024x768(benchmark::State& state) {
    Bench b;
    for (auto _ : state) benchmark::DoNotOptimize(b.d3d.Redraw());
}
BENCHMARK(BM_Redraw1024x768)->Unit(benchmark::kMillisecond);

}  // namespace
