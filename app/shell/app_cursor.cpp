// VornAppBase: cursor kinds, custom cursor images and the thread that moves
// the device's cursor between frames.
#include <chrono>
#include <climits>

#include "app/shell/cursor_kinds.h"
#include "app/shell/vorn_app_base.h"
#include "foundation/files/config_stats.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/image.h"
#include "rendering/image/image_surface.h"

namespace {

constexpr auto kCursorPollPeriod = std::chrono::milliseconds(10);

}  // namespace

void VornAppBase::SetCursor(int kind) {
    if (commandLine_.screensaverMode) kind = commandLine_.previewParent != 0 ? kCursorPointer : kCursorNone;
    cursorKind_ = kind;
    UpdateCursor();
}

void VornAppBase::SetCustomCursors(bool on) {
    if (settings_) settings_->Values().customCursors = on;
    UpdateCursor();
}

void VornAppBase::SetCustomCursorImage(int kind, Image* image) {
    if (kind < 0 || kind >= kCursorKindCount) return;
    customCursorImages_[kind] = image;
    if (kind == cursorKind_) UpdateCursor();
}

void VornAppBase::UpdateCursor() {
    if (!d3d_ || !windows_) return;
    const bool custom = settings_ && settings_->Values().customCursors;
    const bool inRange = cursorKind_ >= 0 && cursorKind_ < kCursorKindCount;
    if (!hidden_ && mouseInWindow_ && inRange) {
        Image* image = customCursorImages_[cursorKind_];
        ImageSurface* surface = image ? image->GetSurface() : nullptr;
        if (surface && (custom || cursorKind_ == kCursorImageOnly)) {
            if (surface != deviceCursorImage_) RequestForcedDraw();
            deviceCursorImage_ = surface;
            bool software = false;
            d3d_->SetCursorImage(surface, &software);
            // A hardware cursor is the window's own cursor, which the device
            // has just set; a drawn one needs the window's hidden.
            if (software) windows_->SetCursor(0);
            return;
        }
    }
    plat::CursorHandle cursor = 0;
    if (hidden_ || !mouseInWindow_) {
        cursor = windows_->LoadSystemCursor(plat::SystemCursor::Arrow);
    } else if (urlPending_) {
        cursor = windows_->LoadSystemCursor(plat::SystemCursor::AppStarting);
    } else {
        const CursorChoice choice = ChooseCursor(cursorKind_);
        switch (choice.source) {
            case CursorChoice::Source::kSystem: cursor = windows_->LoadSystemCursor(choice.system); break;
            case CursorChoice::Source::kBuiltin: cursor = BuiltinCursor(choice.builtin); break;
            case CursorChoice::Source::kNone: cursor = 0; break;
        }
    }
    windows_->SetCursor(cursor);
    if (deviceCursorImage_) {
        deviceCursorImage_ = nullptr;
        d3d_->SetCursorImage(nullptr, nullptr);
        RequestForcedDraw();
    }
}

plat::CursorHandle VornAppBase::BuiltinCursor(int which) {
    const int index = which == 1 ? 1 : 0;
    if (!builtinCursors_[index] && windows_) {
        std::vector<uint32_t> pixels;
        builtinCursors_[index] = windows_->CreateCursor(BuiltinCursorImage(index, pixels));
    }
    return builtinCursors_[index];
}

DeviceHost::CursorHandle VornAppBase::CreateCursor(const uint32_t* argb, int width, int height, int hotX, int hotY) {
    if (!windows_) return 0;
    plat::CursorImage image;
    image.argb = argb;
    image.width = width;
    image.height = height;
    image.hotX = hotX;
    image.hotY = hotY;
    image.premultiplied = true;
    return windows_->CreateCursor(image);
}

bool VornAppBase::FindCursorHotspot(std::wstring_view imageName, int* x, int* y) {
    const auto& hotspots = CursorHotspots();
    const auto found = hotspots.find(std::wstring(imageName));
    if (found == hotspots.end()) return false;
    *x = found->second.x;
    *y = found->second.y;
    return true;
}

void VornAppBase::SetWindowCursor(CursorHandle cursor) {
    if (windows_) windows_->SetCursor(static_cast<plat::CursorHandle>(cursor));
}

void VornAppBase::DestroyCursor(CursorHandle cursor) {
    if (windows_) windows_->DestroyCursor(static_cast<plat::CursorHandle>(cursor));
}

void VornAppBase::StartCursorThread() {
    if (cursorThreadRunning_ || !windows_) return;
    cursorThreadRunning_ = true;
    cursorThreadStop_ = false;
    cursorWindow_ = mainWindow_;
    cursorThread_ = std::thread([this] { CursorThreadBody(); });
}

// Moves the device's cursor to the pointer between frames, so a drawn cursor
// follows the mouse at 100 Hz even when frames are slower. Reads only what
// the window system allows from any thread, and the device's cursor position,
// which the device keeps for this thread.
void VornAppBase::CursorThreadBody() {
    D3DInterface* device = d3d_.get();
    plat::WindowSystem* windows = windows_.get();
    int lastX = INT_MIN, lastY = INT_MIN;
    while (!cursorThreadStop_) {
        int x = 0, y = 0;
        const plat::WindowHandle window = cursorWindow_;
        if (device && window != plat::kNoWindow && windows->GetCursorPos(&x, &y) &&
            windows->ScreenToClient(window, &x, &y) && (x != lastX || y != lastY)) {
            device->SetCursorPos(x, y);
            lastX = x;
            lastY = y;
        }
        std::this_thread::sleep_for(kCursorPollPeriod);
    }
    cursorThreadRunning_ = false;
}

void VornAppBase::StopCursorThread() {
    cursorThreadStop_ = true;
    if (cursorThread_.joinable()) cursorThread_.join();
}
