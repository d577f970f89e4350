// VornAppBase: drawing a frame, presenting it with recovery from a lost
// device, the screen-saver pause and the diagnostic overlays.
#include <algorithm>
#include <cmath>

#include "app/shell/vorn_app_base.h"
#include "foundation/system/text.h"
#include "platform/system/debug_output.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/sys_font.h"
#include "rendering/image/image_surface.h"

namespace {

constexpr uint32_t kScreenSaverCheckMs = 1000;
constexpr uint32_t kFullRepaintMs = 999;
constexpr uint32_t kDeviceRetryMs = 1000;
constexpr int kOverlayWidth = 50;
constexpr int kOverlayMargin = 10;

// The desktop's answers as SDL gives them: its screen saver is either
// allowed or held off for as long as the game's window exists; neither the
// timeout nor the desktop's last input time can be read.
class DesktopScreenSaver : public ScreenSaverSystem {
public:
    explicit DesktopScreenSaver(plat::WindowSystem* windows) : windows_(windows) {}
    bool ReadSettings(int* timeoutSeconds, bool* enabled) override {
        if (!windows_) return false;
        *enabled = windows_->ScreenSaverAllowed();
        *timeoutSeconds = static_cast<int>(ScreenSaverWatch::kDefaultTimeoutMs / 1000);
        return true;
    }
    bool LastInputTime(uint32_t, uint32_t*) override { return false; }
    bool IsRunning(bool*) override { return false; }

private:
    plat::WindowSystem* windows_;
};

}  // namespace

ScreenSaverSystem& VornAppBase::SystemScreenSaver() {
    if (!desktopScreenSaver_) desktopScreenSaver_ = std::make_unique<DesktopScreenSaver>(windows_.get());
    return *desktopScreenSaver_;
}

bool VornAppBase::Redraw() {
    auto drawNothing = [this] {
        pacer_.lastDrawEmpty_ = true;
        pacer_.needsRedraw_ = false;
        return false;
    };
    if (deviceLost_) {
        PresentFrame();
        return drawNothing();
    }
    if (overlayOn_) BuildOverlay();

    const uint32_t start = Now();
    if (start - lastScreenSaverCheck_ > kScreenSaverCheckMs) {
        lastScreenSaverCheck_ = start;
        if (!commandLine_.screensaverMode && currentModeWindowed_ &&
            screenSaverWatch_.Check(start, lastInputTime_, SystemScreenSaver()))
            widgetManager_->MarkAllDirty();
    }
    if (screenSaverWatch_.Active()) return drawNothing();
    if (start - lastRedrawTime_ > kFullRepaintMs) widgetManager_->MarkAllDirty();

    drawing_ = true;
    bool drew = d3d_ && widgetManager_->DrawScreen();
    if (forcedDrawRequested_) drew = true;
    drawing_ = false;
    if (!drew || static_cast<int32_t>(start - nextDrawAllowed_) < 0) return drawNothing();

    ++drawCount_;
    pacer_.lastDrawEmpty_ = false;
    drawTime_ += Now() - start;
    if (overlayOn_ && overlayImage_) {
        if (auto* screen = dynamic_cast<ImageSurface*>(d3d_->GetDrawBuffer())) {
            Graphics g(screen);
            g.DrawImageWhole(overlayImage_.get(),
                             static_cast<float>(width_ - overlayImage_->GetWidth() - kOverlayMargin),
                             static_cast<float>(height_ - overlayImage_->GetHeight() - kOverlayMargin));
        }
    }
    lastRedrawTime_ = Now();
    PresentFrame();
    const uint32_t now = Now();
    // Beside the loading time: how long a player looks at nothing. The log
    // opens only once loading has read the constants, usually after this
    // frame, so the time is written with the run's statistics.
    if (drawCount_ == 1) firstFrameTime_ = now - timeLoaded_;
    pacer_.AccumulateTime(now);
    lastPresentTime_ = now - lastRedrawTime_;
    if (LoadingThrottle()) {
        // While loading, frames are spaced by the drawing time plus 35 ms,
        // so the loading thread keeps most of the processor.
        nextDrawAllowed_ += std::max<uint32_t>(now - start, 15) + 35;
        if (static_cast<int32_t>(nextDrawAllowed_ - now) < 0) nextDrawAllowed_ = now;
    } else {
        nextDrawAllowed_ = now;
    }
    pacer_.needsRedraw_ = false;
    forcedDrawRequested_ = false;
    return true;
}

void VornAppBase::PresentFrame() {
    // A hidden full-screen game presents nothing; that is no loss of the device.
    if (drawing_ || shuttingDown_ || screenSaverWatch_.Active() || !d3d_ || hidden_) return;
    if (d3d_->Redraw()) {
        if (deviceLost_) {
            deviceLost_ = false;
            lastDeviceAttempt_ = 0;
        }
        return;
    }
    deviceLost_ = true;
    const bool minimisedWindow = windows_ && windows_->IsMinimised(mainWindow_);
    const uint32_t now = Now();
    if (minimisedWindow || !(active_ || (now - lastDeviceAttempt_ > kDeviceRetryMs && currentModeWindowed_))) return;
    lastDeviceAttempt_ = now;
    RecoverDevice();
}

bool VornAppBase::RecoverDevice() {
    widgetManager_->SetScreenImage(nullptr);
    int desktopWidth = 0, desktopHeight = 0;
    GetDesktopSize(&desktopWidth, &desktopHeight);
    const bool roomForWindow = desktopWidth > width_ && desktopHeight > height_;
    if (!roomForWindow && settings_->Values().windowed) {
        if (fullscreenUnavailable_) {
            ShowFatalErrorWide(L"Please set your desktop color depth to 16 bit.");
            Shutdown();
        } else {
            forceFullscreen_ = true;
            SwitchScreenMode(false, false);
        }
        return false;
    }
    d3d_->Cleanup();
    if (InitDevice() != 0) return false;
    widgetManager_->SetScreenImage(dynamic_cast<ImageSurface*>(d3d_->GetDrawBuffer()));
    widgetManager_->MarkAllDirty();
    lastRedrawTime_ = 0;
    return true;
}

int VornAppBase::InitDevice() {
    PreDeviceInit();
    const int result = d3d_->Init(windows_ ? windows_->GetNativeWindow(mainWindow_) : nullptr, currentModeWindowed_,
                                  settings_->Values().stretchScreen);
    if (d3d_->GetRefreshRate() > 0) pacer_.refreshRate_ = static_cast<int>(d3d_->GetRefreshRate());
    if (result == 0) PostDeviceInit();
    return result;
}

void VornAppBase::BuildOverlay() {
    if (!overlayFont_) overlayFont_ = std::make_unique<SysFont>(this, "Tahoma", 8);
    const int height = static_cast<int>(overlayFont_->GetHeight()) + 4;
    if (!overlayImage_) {
        overlayImage_ = std::make_unique<ImageSurface>();
        if (!overlayImage_->Create(kOverlayWidth, height)) {
            overlayImage_.reset();
            return;
        }
    }
    std::wstring label;
    if (overlayKind_ == 0) {
        ++fpsFrames_;
        const uint32_t now = Now();
        if (fpsStart_ == 0) fpsStart_ = now;
        const uint32_t elapsed = now - fpsStart_;
        const bool reset = TakeOverlayReset();
        if (elapsed < 1000 && !reset) return;
        fps_ = reset || elapsed == 0 ? 0 : static_cast<int>(std::lround(fpsFrames_ * 1000.0 / elapsed));
        fpsStart_ = now;
        fpsFrames_ = 0;
        label = text::WFormat(L"FPS: %d", fps_);
    } else {
        const ScreenPoint mouse = widgetManager_->GetPointerPosition(0);
        label = text::WFormat(L"%d,%d", mouse.x, mouse.y);
    }
    Graphics g(overlayImage_.get());
    g.SetColor(Color{0, 0, 0, 255});
    g.FillRect(0, 0, overlayImage_->GetWidth(), overlayImage_->GetHeight());
    g.SetColor(Color{255, 255, 255, 255});
    g.SetFont(overlayFont_.get());
    g.DrawString(label, 2, static_cast<int>(overlayFont_->GetAscent()));
}
