// Present: the back buffer, or a render target of its size, becomes the
// shown frame. Without a window it is kept in memory (so headless runs and
// tests can read every frame); with one it is copied to the window's
// surface, scaled to its size if they differ.
#include <SDL.h>

#include <cstring>
#include <string>

#include "platform/gfx/device.h"
#include "platform/gfx/formats.h"

namespace plat {

namespace {

// The SDL format whose rows are a 32-bit back buffer's rows byte for byte
// (a format without alpha keeps whatever its unused byte holds).
uint32_t SdlFormatOf(Format format) {
    switch (format) {
        case Format::A8R8G8B8: return SDL_PIXELFORMAT_ARGB8888;
        case Format::X8R8G8B8: return SDL_PIXELFORMAT_RGB888;
        default: return SDL_PIXELFORMAT_UNKNOWN;
    }
}

// The frame's rows in the back buffer's format: copied as they are, or
// converted from a 32-bit ARGB source in the same pass.
void CopyFrameRow(const Surface& frame, int y, Format format, uint8_t* out, int width) {
    if (frame.GetFormat() == format)
        std::memcpy(out, frame.Row(y), static_cast<size_t>(width) * BytesPerPixel(format));
    else
        RowFromArgb(format, reinterpret_cast<const uint32_t*>(frame.Row(y)), out, width);
}

}  // namespace

bool Device::CanPresentFrom(const Surface& source) const {
    return source.Width() == backBuffer_->Width() && source.Height() == backBuffer_->Height() &&
           !source.IsDepthStencil() &&
           (source.GetFormat() == backBuffer_->GetFormat() || source.GetFormat() == Format::A8R8G8B8);
}

HResult Device::Present(Surface* source) {
    Record(Call::Present);
    if (inScene_) return kErrInvalidCall;
    Surface* frame = source ? source : backBuffer_;
    const int w = backBuffer_->Width(), h = backBuffer_->Height();
    const Format format = backBuffer_->GetFormat();
    if (source && !CanPresentFrom(*source)) return kErrInvalidCall;
    if (failNextPresent_ != kOk) {
        HResult r = failNextPresent_;
        failNextPresent_ = kOk;
        return r;
    }
    const size_t rowBytes = static_cast<size_t>(w) * BytesPerPixel(format);
    const Rect whole{0, 0, w, h};
    if (params_.window) {
        // The window's surface is the frame's one copy: the rows go there in
        // one pass where it has their size and bytes, and are kept in memory
        // only where it has not.
        if (SDL_Surface* shown = SDL_GetWindowSurface(params_.window); shown && shown->w == w && shown->h == h &&
                                                                       SdlFormatOf(format) != SDL_PIXELFORMAT_UNKNOWN &&
                                                                       shown->format->format == SdlFormatOf(format)) {
            ++presentCount_;
            return ShowOnWindow(shown, *frame);
        }
    }
    // Only the rows drawn since the last present are copied again, when the
    // frame comes from the same surface as last time; the frame is kept in
    // the back buffer's own format.
    Surface::RowSpan rows = frame->RowsToCopy(presentReader_, 0, whole, whole);
    if (keptWidth_ != w || keptHeight_ != h || keptFormat_ != format || shownDirectly_ || keptFrom_ != frame->Id()) {
        kept_.assign(rowBytes * h, 0);
        keptWidth_ = w;
        keptHeight_ = h;
        keptFormat_ = format;
        shownDirectly_ = false;
        keptFrom_ = frame->Id();
        rows = {0, h};
    }
    for (int y = rows.top; y < rows.bottom; ++y) CopyFrameRow(*frame, y, format, kept_.data() + rowBytes * y, w);
    frame->NoteCopied(presentReader_, 0);
    ++presentCount_;
    return params_.window ? BlitToWindow() : kOk;
}

// Every row, whatever changed: a surface the window made afresh (after a
// resize, say) holds nothing of the frames before.
HResult Device::ShowOnWindow(SDL_Surface* shown, const Surface& frame) {
    const int w = backBuffer_->Width(), h = backBuffer_->Height();
    const Format format = backBuffer_->GetFormat();
    if (SDL_MUSTLOCK(shown) && SDL_LockSurface(shown) != 0) {
        presentError_ = std::string("cannot lock the window surface: ") + SDL_GetError();
        return kErrDeviceLost;
    }
    auto* pixels = static_cast<uint8_t*>(shown->pixels);
    for (int y = 0; y < h; ++y) CopyFrameRow(frame, y, format, pixels + static_cast<size_t>(shown->pitch) * y, w);
    if (SDL_MUSTLOCK(shown)) SDL_UnlockSurface(shown);
    keptWidth_ = w;
    keptHeight_ = h;
    keptFormat_ = format;
    shownDirectly_ = true;
    if (SDL_UpdateWindowSurface(params_.window) != 0) {
        presentError_ = std::string("window update failed: ") + SDL_GetError();
        return kErrDeviceLost;
    }
    presentError_.clear();
    return kOk;
}

const std::vector<uint32_t>& Device::LastPresentedFrame() const {
    if (presentedCount_ != presentCount_) {
        const size_t rowBytes = static_cast<size_t>(keptWidth_) * BytesPerPixel(keptFormat_);
        presented_.resize(static_cast<size_t>(keptWidth_) * keptHeight_);
        // Shown on the window alone: its surface holds the frame until the
        // next present.
        SDL_Surface* shown = shownDirectly_ ? SDL_GetWindowSurface(params_.window) : nullptr;
        const bool onWindow = shown && shown->w == keptWidth_ && shown->h == keptHeight_;
        if (onWindow && SDL_MUSTLOCK(shown)) SDL_LockSurface(shown);
        for (int y = 0; y < keptHeight_; ++y) {
            const uint8_t* row =
                onWindow        ? static_cast<const uint8_t*>(shown->pixels) + static_cast<size_t>(shown->pitch) * y
                : kept_.empty() ? nullptr
                                : kept_.data() + rowBytes * y;
            if (row) RowToArgb(keptFormat_, row, presented_.data() + static_cast<size_t>(y) * keptWidth_, keptWidth_);
        }
        if (onWindow && SDL_MUSTLOCK(shown)) SDL_UnlockSurface(shown);
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
