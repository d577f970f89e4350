// Switching between a window and the full screen: the window is made again
// for the new mode and the device follows it; images move to system memory
// in between and come back on their next draw.

#include "app/shell/vorn_app_base.h"
#include "foundation/system/sound_manager.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/image_surface.h"

void VornAppBase::SwitchScreenMode(bool windowed, bool forced) {
    if (forceFullscreen_) windowed = false;
    if (!settings_) return;
    AppSettings& values = settings_->Values();
    if (windowed == values.windowed && !forced) return;
    values.windowed = windowed;
    if (!windows_ || mainWindow_ == plat::kNoWindow) return;  // applied when the window is made

    const plat::WindowHandle previous = mainWindow_;
    widgetManager_->SetScreenImage(nullptr);
    if (d3d_) d3d_->Cleanup();
    if (!CreateMainWindow()) return;
    if (previous != mainWindow_) windows_->DestroyWindow(previous);
    if (urlPending_) {
        // The browser keeps the foreground it was given.
        windows_->ShowWindow(mainWindow_, plat::ShowCommand::ShowNoActivate);
    } else {
        windows_->ShowWindow(mainWindow_, plat::ShowCommand::ShowNormal);
        windows_->SetForegroundWindow(mainWindow_);
    }
    if (soundManager_) soundManager_->SetCooperativeWindow(windows_->GetNativeWindow(mainWindow_));
    lastRedrawTime_ = Now();
}

void VornAppBase::ReapplyScreenMode() {
    if (settings_) SwitchScreenMode(settings_->Values().windowed, true);
}

void VornAppBase::SetStretchScreen(bool stretch) {
    if (!settings_ || settings_->Values().stretchScreen == stretch) return;
    settings_->Values().stretchScreen = stretch;
    // The presentation rectangle only matters in full screen.
    if (!currentModeWindowed_ && d3d_ && d3d_->IsReady()) d3d_->LogDisplayMode(stretch);
}
