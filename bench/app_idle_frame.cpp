// One idle frame of the main loop against its 10 ms update step: input pass,
// one fixed update of an empty screen, the fractional update, a full repaint
// of the 1024 x 768 draw buffer and the present to the headless device. The
// loop's clock is advanced one step per frame so that every frame updates;
// sleeping is skipped, so the time measured is the work alone. Compare the
// time per frame with the 10 ms step.

#include <benchmark/benchmark.h>

#include <memory>

#include "app/shell/deferred_delete.h"
#include "app/shell/frame_pacer.h"
#include "bench_host.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/image_surface_factory.h"
#include "widgets/tree/widget_manager.h"

namespace {

class IdleLoop : public FrameHost {
public:
    IdleLoop() : pacer(*this) {
        d3d->SetImageFactory(std::make_unique<ImageSurfaceFactory>());
        d3d->Init(nullptr, true, false);
        manager.SetScreenLayout({0, 0, kW, kH}, {0, 0, kW, kH});
        manager.SetScreenImage(dynamic_cast<ImageSurface*>(d3d->GetDrawBuffer()));
    }

    uint32_t Now() override { return now; }
    void Sleep(uint32_t) override {}
    void PumpWindowMessages() override {}
    bool DispatchQueuedInput() override { return false; }
    bool UpdateStep() override {
        manager.UpdateFrame();
        return true;
    }
    void UpdateFrameFraction(float fraction) override { manager.UpdateFractionFrame(fraction); }
    bool Redraw() override {
        if (repaint) manager.MarkAllDirty();
        // As in the real loop, nothing is presented when nothing was drawn.
        if (manager.DrawScreen()) d3d->Redraw();
        pacer.AccumulateTime(now);
        pacer.needsRedraw_ = false;
        ++draws;
        return true;
    }
    void DeleteDueObjects() override { deferred.DeleteDue(pacer.NestingDepth()); }
    bool ShuttingDown() override { return false; }
    void HandleQuitRequest() override {}
    bool WantsVsync() override { return false; }
    bool LoadingThrottle() override { return false; }
    bool LoadingCompletionHandled() override { return true; }

    // Runs passes until the next frame has been drawn.
    void Frame() {
        now += 10;
        const long target = draws + 1;
        bool updated = false;
        while (draws < target) pacer.PumpMessagesAndStep(updated);
    }

    static constexpr int kW = testsupport::HeadlessDeviceHost::kWidth;
    static constexpr int kH = testsupport::HeadlessDeviceHost::kHeight;
    testsupport::HeadlessDeviceHost host;
    std::unique_ptr<D3DInterface> d3d = std::make_unique<D3DInterface>(&host);
    WidgetManager manager;
    DeferredDeleteList deferred;
    FramePacer pacer;
    uint32_t now = 1;
    bool repaint = true;
    long draws = 0;
};

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
