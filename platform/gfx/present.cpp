// Present: the back buffer becomes the shown frame. It is kept in memory (so
// headless runs and tests can read every frame) and, when the device has a
// window, copied to the window's surface, scaled to its size if they differ.
#include <SDL.h>

#include <string>

#include "platform/gfx/device.h"
#include "platform/gfx/formats.h"

namespace plat {

HResult Device::Present() {
    Record(Call::Present);
    if (inScene_) return kErrInvalidCall;
    if (failNextPresent_ != kOk) {
        HResult r = failNextPresent_;
        failNextPresent_ = kOk;
        return r;
    }
    const int w = backBuffer_->Width(), h = backBuffer_->Height();
    presented_.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        RowToArgb(backBuffer_->GetFormat(), backBuffer_->Row(y), presented_.data() + static_cast<size_t>(y) * w, w);
    ++presentCount_;
    return params_.window ? BlitToWindow() : kOk;
}

HResult Device::BlitToWindow() {
    SDL_Surface* dst = SDL_GetWindowSurface(params_.window);
    if (!dst) {
        presentError_ = std::string("no window surface: ") + SDL_GetError();
        return kErrNotAvailable;
    }
    const int w = backBuffer_->Width(), h = backBuffer_->Height();
    // The kept frame already has opaque alpha where the format has none.
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(presented_.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!src) {
        presentError_ = std::string("cannot wrap the back buffer: ") + SDL_GetError();
        return kErrOutOfMemory;
    }
    SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
    int rc = (dst->w == w && dst->h == h) ? SDL_BlitSurface(src, nullptr, dst, nullptr)
                                          : SDL_BlitScaled(src, nullptr, dst, nullptr);
    SDL_FreeSurface(src);
    if (rc != 0 || SDL_UpdateWindowSurface(params_.window) != 0) {
        presentError_ = std::string("window update failed: ") + SDL_GetError();
        return kErrDeviceLost;
    }
    presentError_.clear();
    return kOk;
}

}  // namespace plat
