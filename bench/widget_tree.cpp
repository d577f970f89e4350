// The widget tree's per-frame work on a screen-sized tree of 5,000 widgets:
// one fixed-step update pass, one draw pass to no target, and 1,000 hit tests.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "widgets/tree/widget.h"
#include "widgets/tree/widget_manager.h"

namespace {

class CountingWidget : public Widget {
public:
    CountingWidget(float x, float y, int w, int h) {
        Resize(x, y, w, h);
        SetMouseVisible(true);
    }
    void Update() override { ++updates; }
    void Draw(Graphics*) override { ++draws; }
    static inline long updates = 0;
    static inline long draws = 0;
};

// 50 panels of 20 x 5 cells (99 cells each, one slot left empty): 5,000 widgets.
struct Screen {
    Screen() {
        mgr.SetScreenLayout({0, 0, 1024, 768}, {0, 0, 1024, 768});
        for (int p = 0; p < 50; ++p) {
            auto* panel =
                new CountingWidget(static_cast<float>((p % 5) * 200), static_cast<float>((p / 5) * 75), 200, 75);
            panel->SetPriority(p % 3);
            for (int c = 0; c < 99; ++c)
                panel->AddWidget(
                    new CountingWidget(static_cast<float>((c % 20) * 10), static_cast<float>((c / 20) * 15), 9, 14));
            mgr.AddWidget(panel);
        }
        std::mt19937 rng(4357);
        std::uniform_int_distribution<int> x(0, 1023), y(0, 767);
        for (int i = 0; i < 1000; ++i) points.push_back({x(rng), y(rng)});
    }
    WidgetManager mgr;
    std::vector<ScreenPoint> points;
};

void BM_UpdatePass(benchmark::State& state) {
    Screen s;
    for (auto _ : state) benchmark::DoNotOptimize(s.mgr.UpdateFrame());
}
BENCHMARK(BM_UpdatePass)->Unit(benchmark::kMicrosecond);

void BM_DrawPassToNoTarget(benchmark::State& state) {
    Screen s;
    for (auto _ : state) {
        s.mgr.MarkAllDirty();
        benchmark::DoNotOptimize(s.mgr.DrawScreen());
    }
}
BENCHMARK(BM_DrawPassToNoTarget)->Unit(benchmark::kMicrosecond);

void BM_ThousandHitTests(benchmark::State& state) {
    Screen s;
    for (auto _ : state) {
        int found = 0;
        for (const ScreenPoint& p : s.points)
            found +=
                s.mgr.FindWidgetAtPoint(static_cast<float>(p.x), static_cast<float>(p.y), nullptr, nullptr) != nullptr;
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_ThousandHitTests)->Unit(benchmark::kMicrosecond);

// One fixed step of the whole frame: update, draw, and a pointer move.
void BM_FrameWithPointerMove(benchmark::State& state) {
    Screen s;
    size_t i = 0;
    for (auto _ : state) {
        const ScreenPoint& p = s.points[i++ % s.points.size()];
        s.mgr.WindowMouseMove(p.x, p.y);
        s.mgr.UpdateFrame();
        s.mgr.MarkAllDirty();
        s.mgr.DrawScreen();
    }
}
BENCHMARK(BM_FrameWithPointerMove)->Unit(benchmark::kMicrosecond);

}  // namespace
