#pragma once
// The main loop without the application: a frame pacer driving a widget
// manager on the headless 1024 x 768 software device. Each Frame() moves the
// loop's clock one 10 ms step and runs passes until one frame was drawn:
// input, one fixed update, the fractional update, the repaint (the whole
// screen when `repaint`, else only what changed) and the present. Sleeping
// is skipped, so what a bench measures is the work alone.

#include <memory>

#include "app/shell/deferred_delete.h"
#include "app/shell/frame_pacer.h"
#include "bench_host.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/image_surface_factory.h"
#include "widgets/tree/widget_manager.h"

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

    // Frames until `settled` holds (at most `limit`), then `after` more, so
    // every fade has ended; the frames run.
    template <class Settled>
    int RunUntil(Settled settled, int limit, int after) {
        int frames = 0;
        while (frames < limit && !settled()) Frame(), ++frames;
        for (int i = 0; i < after; ++i) Frame(), ++frames;
        return frames;
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
