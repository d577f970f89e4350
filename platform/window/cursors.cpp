// Mouse capture, the pointer position and cursors: the desktop's own shapes
// and ones made from 32-bit pixels.
#include <algorithm>

#include "platform/window/window_internal.h"

namespace plat {
namespace {

constexpr int kMaxCursorSide = 256;

SDL_SystemCursor SdlCursor(SystemCursor kind) {
    switch (kind) {
        case SystemCursor::Arrow: return SDL_SYSTEM_CURSOR_ARROW;
        case SystemCursor::Hand: return SDL_SYSTEM_CURSOR_HAND;
        case SystemCursor::Wait: return SDL_SYSTEM_CURSOR_WAIT;
        case SystemCursor::AppStarting: return SDL_SYSTEM_CURSOR_WAITARROW;
        case SystemCursor::IBeam: return SDL_SYSTEM_CURSOR_IBEAM;
        case SystemCursor::No: return SDL_SYSTEM_CURSOR_NO;
        case SystemCursor::SizeAll: return SDL_SYSTEM_CURSOR_SIZEALL;
        case SystemCursor::SizeNESW: return SDL_SYSTEM_CURSOR_SIZENESW;
        case SystemCursor::SizeNS: return SDL_SYSTEM_CURSOR_SIZENS;
        case SystemCursor::SizeNWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
        case SystemCursor::SizeWE: return SDL_SYSTEM_CURSOR_SIZEWE;
        case SystemCursor::Cross: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    }
    return SDL_SYSTEM_CURSOR_ARROW;
}

// Desktop cursors take straight alpha; a colour stored multiplied by its
// alpha is divided back out, rounding to nearest.
uint32_t Unpremultiply(uint32_t p) {
    const uint32_t a = p >> 24;
    if (a == 0) return 0;
    if (a == 255) return p;
    auto channel = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
    return (a << 24) | (channel((p >> 16) & 0xFF) << 16) | (channel((p >> 8) & 0xFF) << 8) | channel(p & 0xFF);
}

}  // namespace

WindowHandle WindowSystem::SetCapture(WindowHandle window) {
    const WindowHandle previous = capture_;
    if (!Find(window)) return previous;
    capture_ = window;
    // Not every desktop can capture (the headless ones cannot); the messages
    // still go to the capturing window.
    if (ready_) SDL_CaptureMouse(SDL_TRUE);
    return previous;
}

void WindowSystem::ReleaseCapture() {
    if (!capture_) return;
    capture_ = kNoWindow;
    if (ready_) SDL_CaptureMouse(SDL_FALSE);
}

bool WindowSystem::GetCursorPos(int* x, int* y) const {
    if (!x || !y) return false;
    std::lock_guard<std::mutex> hold(lock_);
    *x = pointerScreenX_;
    *y = pointerScreenY_;
    return true;
}

CursorHandle WindowSystem::LoadSystemCursor(SystemCursor kind) {
    if (auto it = systemCursors_.find(kind); it != systemCursors_.end()) return it->second;
    auto rec = std::make_unique<CursorRecord>();
    rec->shared = true;
    if (ready_) rec->sdl = SDL_CreateSystemCursor(SdlCursor(kind));
    const CursorHandle handle = nextCursor_++;
    cursors_.emplace(handle, std::move(rec));
    systemCursors_.emplace(kind, handle);
    return handle;
}

CursorHandle WindowSystem::CreateCursor(const CursorImage& image) {
    if (!image.argb || image.width <= 0 || image.height <= 0 || image.width > kMaxCursorSide ||
        image.height > kMaxCursorSide) {
        Fail("a cursor needs pixels and a size of 1 to 256 on each side");
        return 0;
    }
    if (image.hotX < 0 || image.hotY < 0 || image.hotX >= image.width || image.hotY >= image.height) {
        Fail("the cursor's hot spot lies outside its image");
        return 0;
    }
    auto rec = std::make_unique<CursorRecord>();
    rec->width = image.width;
    rec->height = image.height;
    rec->hotX = image.hotX;
    rec->hotY = image.hotY;
    rec->argb.assign(image.argb, image.argb + static_cast<size_t>(image.width) * image.height);
    if (image.premultiplied)
        for (uint32_t& p : rec->argb) p = Unpremultiply(p);
    if (ready_) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(rec->argb.data(), image.width, image.height, 32,
                                                                  image.width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (surface) {
            // Null where the desktop has no cursors of its own; the cursor
            // still exists, so callers behave the same everywhere.
            rec->sdl = SDL_CreateColorCursor(surface, image.hotX, image.hotY);
            SDL_FreeSurface(surface);
        }
    }
    const CursorHandle handle = nextCursor_++;
    cursors_.emplace(handle, std::move(rec));
    return handle;
}

bool WindowSystem::DestroyCursor(CursorHandle cursor) {
    auto it = cursors_.find(cursor);
    if (it == cursors_.end() || it->second->shared) return false;
    if (cursor_ == cursor) {
        // The desktop must never be left showing a freed cursor.
        cursor_ = LoadSystemCursor(SystemCursor::Arrow);
        ApplyCursor();
    }
    cursors_.erase(it);
    return true;
}

CursorHandle WindowSystem::SetCursor(CursorHandle cursor) {
    const CursorHandle previous = cursor_;
    if (cursor != 0 && !cursors_.count(cursor)) return previous;
    cursor_ = cursor;
    ApplyCursor();
    return previous;
}

int WindowSystem::ShowCursor(bool show) {
    cursorCount_ += show ? 1 : -1;
    ApplyCursor();
    return cursorCount_;
}

bool WindowSystem::IsCursorShown() const { return cursorCount_ >= 0 && cursor_ != 0; }

void WindowSystem::ApplyCursor() {
    if (!ready_) return;
    auto it = cursors_.find(cursor_);
    if (IsCursorShown() && it != cursors_.end() && it->second->sdl) SDL_SetCursor(it->second->sdl);
    SDL_ShowCursor(IsCursorShown() ? SDL_ENABLE : SDL_DISABLE);
}

bool WindowSystem::GetCursorPixels(CursorHandle cursor, std::vector<uint32_t>* argb, int* hotX, int* hotY) const {
    auto it = cursors_.find(cursor);
    if (it == cursors_.end() || it->second->shared) return false;
    if (argb) *argb = it->second->argb;
    if (hotX) *hotX = it->second->hotX;
    if (hotY) *hotY = it->second->hotY;
    return true;
}

}  // namespace plat
