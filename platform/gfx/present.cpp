// Present: the back buffer becomes the shown frame. It is kept in memory (so
// headless runs and tests can read every frame) and, when the device has a
// window, copied to the window's surface, scaled to its size if they differ.
#include <SDL.h>

#include <cstring>
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
    const Format format = backBuffer_->GetFormat();
    const size_t rowBytes = static_cast<size_t>(w) * BytesPerPixel(format);
    const Rect whole{0, 0, w, h};
    // Only the rows drawn since the last present are copied again; the frame
    // is kept in the back buffer's own format, so nothing is converted here.
    Surface::RowSpan rows = backBuffer_->RowsToCopy(presentReader_, 0, whole, whole);
    if (keptWidth_ != w || keptHeight_ != h || keptFormat_ != format) {
        kept_.assign(rowBytes * h, 0);
        keptWidth_ = w;
        keptHeight_ = h;
        keptFormat_ = format;
        rows = {0, h};
    }
    for (int y = rows.top; y < rows.bottom; ++y)
        std::memcpy(kept_.data() + rowBytes * y, backBuffer_->Row(y), rowBytes);
    backBuffer_->NoteCopied(presentReader_, 0);
    ++presentCount_;
    return params_.window ? BlitToWindow() : kOk;
}

const std::vector<uint32_t>& Device::LastPresentedFrame() const {
    if (presentedCount_ != presentCount_) {
        const size_t rowBytes = static_cast<size_t>(keptWidth_) * BytesPerPixel(keptFormat_);
        presented_.resize(static_cast<size_t>(keptWidth_) * keptHeight_);
        for (int y = 0; y < keptHeight_; ++y)
            RowToArgb(keptFormat_, kept_.data() + rowBytes * y, presented_.data() + static_cast<size_t>(y) * keptWidth_,
                      keptWidth_);
        presentedCount_ = presentCount_;
    }
    return presented_;
}

HResult Device::BlitToWindow() {
    SDL_Surface* dst = SDL_GetWindowSurface(params_.window);
    if (!dst) {
        presentError_ = std::string("no window surface: ") + SDL_GetError();
        return kErrNotAvailable;
    }
    const int w = keptWidth_, h = keptHeight_;
    // 32-bit rows are shown as they are kept (a format without alpha opaque,
    // whatever its unused byte holds); others through their ARGB widening.
    const bool raw = keptFormat_ == Format::A8R8G8B8 || keptFormat_ == Format::X8R8G8B8;
    void* pixels = raw ? static_cast<void*>(kept_.data()) : const_cast<uint32_t*>(LastPresentedFrame().data());
    const uint32_t sdlFormat = keptFormat_ == Format::X8R8G8B8 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_ARGB8888;
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(pixels, w, h, 32, w * 4, sdlFormat);
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
