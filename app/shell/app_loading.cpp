// The application's side of the loading thread: starting it, its progress
// for the loading screen, and the completion handled on the main thread.

#include <mutex>

#include "app/shell/vorn_app_base.h"
#include "foundation/system/text.h"
#include "platform/system/debug_output.h"
#include "rendering/device/d3d_interface.h"

void VornAppBase::StartLoadingThread() {
    loading_.Start([this] {
        LoadResources();
        plat::OutputDebugText(text::Format("Resource Loading Time: %u\r\n", Now() - timeLoaded_));
    });
}

double VornAppBase::GetLoadingProgress() const { return loading_.Progress(); }

void VornAppBase::HandleLoadingDone() {
    if (loading_.TakeCompletion()) LoadingThreadCompleted();
}

void VornAppBase::LoadingThreadCompleted() {
    if (!d3d_) return;
    std::lock_guard lock(d3d_->GetDeviceLock());
    d3d_->FreeBlitBuffers();
}
