// One per-frame update pass over 2,000 dynamic widgets, each with a running
// tween on x and a sine oscillation on y (and, in the third case, a clamp
// on opacity as well). The widgets stand outside a tree so no tree walk is
// measured. The yardstick is the same pass over the same widgets with no
// motion at all: the difference is what the controllers, the oscillation
// and the offset layering cost per frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "widgets/dynamic/dynamic_widget.h"

namespace {

constexpr int kWidgets = 2000;

enum class Motion { None, TweenAndOscillation, WithClamp };

struct Scene {
    std::vector<std::unique_ptr<DynamicWidget>> widgets;

    explicit Scene(Motion motion) {
        for (int i = 0; i < kWidgets; ++i) {
            widgets.push_back(std::make_unique<DynamicWidget>(i * 37 % 1024, i * 53 % 768, nullptr, 1.0f));
            DynamicWidget* w = widgets.back().get();
            w->Resize(w->GetX(), w->GetY(), 32, 32);
            if (motion == Motion::None) continue;
            // Long enough never to finish while the benchmark runs.
            w->TweenProperty(L"", L"x", 2000.0f, 1.0e9f, nullptr, false);
            w->Oscillate(L"", L"y", 8.0f, 40.0f + static_cast<float>(i % 7), PropertyValue(0.0f), nullptr);
            if (motion == Motion::WithClamp)
                w->AddClamp(std::make_unique<Clamp>(L"", w, std::vector<ClampTarget>{{&w->opacity, 0.0f, 1.0f}}));
        }
    }
};

void Run(benchmark::State& state, Motion motion) {
    Scene s(motion);
    for (auto _ : state)
        for (auto& w : s.widgets) w->UpdateFraction(1.0f);
    state.SetItemsProcessed(state.iterations() * kWidgets);
}

void BM_Update2000NoMotion(benchmark::State& state) { Run(state, Motion::None); }
void BM_Update2000TweenAndOscillation(benchmark::State& state) { Run(state, Motion::TweenAndOscillation); }
void BM_Update2000TweenOscillationAndClamp(benchmark::State& state) { Run(state, Motion::WithClamp); }

BENCHMARK(BM_Update2000NoMotion)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Update2000TweenAndOscillation)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Update2000TweenOscillationAndClamp)->Unit(benchmark::kMicrosecond);

}  // namespace
