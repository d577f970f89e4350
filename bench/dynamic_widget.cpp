// A frame of 2,000 dynamic widgets (32 x 32 cels of one atlas, frame
// animators running) on the software device at 1024 x 768: the per-frame
// update pass, the draw pass through the drawing context, both together,
// and the same with every widget turned and scaled. The yardstick is the
// same 2,000 cels drawn straight through the drawing context, batched, so
// the difference is what the widget layer adds.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "foundation/values/transform.h"
#include "image_scene.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/image_surface_factory.h"
#include "rendering/image/texture_tiles.h"
#include "widgets/dynamic/dynamic_widget.h"
#include "widgets/tree/widget_manager.h"

namespace {

constexpr int kW = testsupport::HeadlessDeviceHost::kWidth, kH = testsupport::HeadlessDeviceHost::kHeight;
constexpr int kWidgets = 2000;

struct Scene : testsupport::ImageScene {
    std::unique_ptr<WidgetManager> manager = std::make_unique<WidgetManager>();
    std::vector<DynamicWidget*> widgets;

    explicit Scene(bool transformed) {
        for (int i = 0; i < kWidgets; ++i) {
            auto* w = new DynamicWidget(i * 37 % (kW + 16) - 16, i * 53 % (kH + 16) - 16, atlas.get(), 1.0f);
            w->SetFrame(i % 256);
            w->CycleFrames(0, 4.0f + static_cast<float>(i % 5), 0, 0.0f, 0, 255, 0.0f, 1);
            if (i % 3 == 0) w->opacity = 0.75f;
            if (transformed) {
                w->angle = static_cast<float>(i % 360);
                w->scale_x = w->scale_y = 0.75f + static_cast<float>(i % 4) * 0.25f;
                w->PropertiesChanged(change_bit::kTransform);
            }
            manager->AddWidget(w);
            widgets.push_back(w);
        }
    }

    void Update() {
        manager->UpdateFrame();
        manager->UpdateFractionFrame(1.0f);
    }

    void Draw() {
        Graphics g(screen);
        manager->DrawWidgetsTo(&g);
    }
};

void BM_DynamicWidgets2000Update(benchmark::State& state) {
    Scene s(false);
    for (auto _ : state) s.Update();
    state.SetItemsProcessed(state.iterations() * kWidgets);
}
BENCHMARK(BM_DynamicWidgets2000Update)->Unit(benchmark::kMicrosecond);

void BM_DynamicWidgets2000Draw(benchmark::State& state) {
    Scene s(false);
    for (auto _ : state) s.Draw();
    state.SetItemsProcessed(state.iterations() * kWidgets);
}
BENCHMARK(BM_DynamicWidgets2000Draw)->Unit(benchmark::kMicrosecond);

void BM_DynamicWidgets2000UpdateAndDraw(benchmark::State& state) {
    Scene s(false);
    for (auto _ : state) {
        s.Update();
        s.Draw();
    }
    state.SetItemsProcessed(state.iterations() * kWidgets);
}
BENCHMARK(BM_DynamicWidgets2000UpdateAndDraw)->Unit(benchmark::kMicrosecond);

void BM_DynamicWidgets2000TransformedUpdateAndDraw(benchmark::State& state) {
    Scene s(true);
    for (auto _ : state) {
        s.Update();
        s.Draw();
    }
    state.SetItemsProcessed(state.iterations() * kWidgets);
}
BENCHMARK(BM_DynamicWidgets2000TransformedUpdateAndDraw)->Unit(benchmark::kMicrosecond);

// The yardsticks: the same cels at the same places, with the same tints
// (and turns), straight through the context.
void DrawCelsDirectly(Scene& s, bool transformed) {
    const FRect cel(0, 0, 32, 32);
    Graphics g(s.screen);
    g.SetBatching(true);
    for (DynamicWidget* w : s.widgets) {
        const bool tinted = w->opacity < 1.0f;
        g.SetColorizeImages(tinted);
        if (tinted) g.SetColor(Color::FromFloats(w->opacity, w->opacity, w->opacity, w->opacity));
        if (transformed) {
            Transform t = w->ComposeTransform();
            g.DrawImageTransformRect(s.atlas.get(), &t, cel, w->GetX() + 16.0f, w->GetY() + 16.0f, w->GetFrame());
        } else {
            g.DrawImage(s.atlas.get(), w->GetX(), w->GetY(), w->GetFrame(), cel);
        }
    }
}

void BM_Graphics2000CelsBatched(benchmark::State& state) {
    Scene s(false);
    for (auto _ : state) DrawCelsDirectly(s, false);
    state.SetItemsProcessed(state.iterations() * kWidgets);
}
BENCHMARK(BM_Graphics2000CelsBatched)->Unit(benchmark::kMicrosecond);

void BM_Graphics2000CelsTransformedBatched(benchmark::State& state) {
    Scene s(true);
    for (auto _ : state) DrawCelsDirectly(s, true);
    state.SetItemsProcessed(state.iterations() * kWidgets);
}
BENCHMARK(BM_Graphics2000CelsTransformedBatched)->Unit(benchmark::kMicrosecond);

}  // namespace
