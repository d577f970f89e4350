// The device wrapper's per-draw and per-frame costs: a draw-state change that
// the cache skips, a small filled rectangle, and presenting a 1024 x 768
// frame (composition into the back buffer and present).
#include <benchmark/benchmark.h>

#include "rendering/d3d_interface.h"

namespace {

class BenchHost : public DeviceHost {
public:
    int ScreenWidth() const override { return 1024; }
    int ScreenHeight() const override { return 768; }
    bool RefreshRateFallback() const override { return false; }
    void SetRefreshRateFallback(bool) override {}
    bool IsHidden() const override { return false; }
    bool IsMinimised() const override { return false; }
    void WriteAppRegistryString(std::string_view, std::string_view) override {}
    bool GetClientSize(plat::NativeWindow*, int* w, int* h) override {
        *w = 1024;
        *h = 768;
        return true;
    }
    void GetDesktopSize(int* w, int* h) override {
        *w = 1024;
        *h = 768;
    }
    void SetScreenLayout(const Rect&, const Rect&) override {}
    bool FindCursorHotspot(std::wstring_view, int*, int*) override { return false; }
    CursorHandle CreateCursor(const uint32_t*, int, int, int, int) override { return 0; }
    void SetCursor(CursorHandle) override {}
    void DestroyCursor(CursorHandle) override {}
};

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
