// Graphics: off-screen composition through the pool of scratch render
// targets.
#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "foundation/system/critical_section.h"
#include "rendering/draw/graphics.h"
#include "rendering/draw/scratch_internal.h"
#include "rendering/image/image_surface.h"

namespace {

struct ScratchSurfacePool {
    CriticalSection lock;
    std::vector<std::unique_ptr<ImageSurface>> surfaces;  // last returned at the back
};

ScratchSurfacePool& Pool() {
    static ScratchSurfacePool pool;
    return pool;
}

}  // namespace

ImageSurface* AcquireScratchSurface(int w, int h) {
    std::unique_ptr<ImageSurface> surface;
    {
        ScratchSurfacePool& pool = Pool();
        std::lock_guard lock(pool.lock);
        if (!pool.surfaces.empty()) {
            surface = std::move(pool.surfaces.back());
            pool.surfaces.pop_back();
        }
    }
    if (!surface) surface = std::make_unique<ImageSurface>(true);
    // Beyond the image size limit Create refuses and the surface keeps its size.
    if (surface->width < w || surface->height < h) {
        surface->Create(std::max(w, surface->width), std::max(h, surface->height));
    }
    // A re-created render target holds no defined pixels either.
    surface->Clear();
    return surface.release();
}

void ReleaseScratchSurface(ImageSurface* surface) {
    if (!surface) return;
    ScratchSurfacePool& pool = Pool();
    std::lock_guard lock(pool.lock);
    pool.surfaces.emplace_back(surface);
}

void FreeScratchSurfaces() {
    std::vector<std::unique_ptr<ImageSurface>> freed;
    {
        ScratchSurfacePool& pool = Pool();
        std::lock_guard lock(pool.lock);
        freed.swap(pool.surfaces);
    }
    freed.clear();
}

ImageSurface* Graphics::GetScratchSurface() { return AcquireScratchSurface(DestinationWidth(), DestinationHeight()); }

void Graphics::SetOffscreen(bool on) {
    if (on == state_.offscreen) return;
    // Queued draws belong to the target they were issued for.
    FlushBatch();
    if (on) {
        state_.drawState.mode = kDrawAdditive;
        savedDestination_ = destination_;
        state_.offscreenRect = Rect(0, 0, DestinationWidth(), DestinationHeight());
        scratch_ = AcquireScratchSurface(state_.offscreenRect.w, state_.offscreenRect.h);
        destination_ = scratch_;
        state_.offscreen = true;
        return;
    }
    const Rect& r = state_.offscreenRect;
    DrawState composite;  // mode 0: premultiplied blending, nothing else
    savedDestination_->DrawImage(scratch_, static_cast<float>(r.x), static_cast<float>(r.y),
                                 FRect(0, 0, static_cast<float>(r.w), static_cast<float>(r.h)), Color::White,
                                 &composite);
    ReleaseScratchSurface(scratch_);
    scratch_ = nullptr;
    state_.transX += static_cast<float>(r.x);
    state_.transY += static_cast<float>(r.y);
    destination_ = savedDestination_;
    savedDestination_ = nullptr;
    state_.drawState.mode = kDrawNormal;
    state_.offscreen = false;
}
