// The developer's function keys, live while debug-key mode is on (Ctrl+Alt+D):
// vsync and overlay toggles, the profiler, video statistics, slow motion and
// single steps, screenshots and the image dump.

#include <algorithm>
#include <climits>
#include <cstdio>

#include "app/services/image_memory.h"
#include "app/shell/vorn_app_base.h"
#include "foundation/system/profiler.h"
#include "foundation/system/sound_manager.h"
#include "foundation/system/string_utils.h"
#include "foundation/system/text.h"
#include "platform/gfx/device.h"
#include "platform/system/directory_search.h"
#include "platform/system/file_system.h"
#include "platform/window/virtual_keys.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/image_surface.h"
#include "rendering/imagefile/image_files.h"

namespace vk = plat::vk;

namespace {

constexpr int KeyF(int n) { return static_cast<int>(vk::kF1) + n - 1; }

std::wstring Kilobytes(int64_t bytes) {
    return CommaSeparate(static_cast<int>(std::min<int64_t>(bytes / 1024, INT_MAX)));
}

}  // namespace

bool VornAppBase::DebugKeyDown(int key) {
    if (!debugKeyMode_) return false;
    const bool shift = widgetManager_->IsKeyDown(static_cast<int>(vk::kShift));
    const bool control = widgetManager_->IsKeyDown(static_cast<int>(vk::kControl));
    if (key == KeyF(1)) {
        if (settings_) settings_->Values().waitForVsync = !settings_->Values().waitForVsync;
        return true;
    }
    if (key == KeyF(2)) {
        if (!Profiler::IsRunning()) {
            pacer_.ResetTiming();
            Profiler::Start();
        } else {
            Profiler::Stop();
            ShowMessageBox(L"Perf Results", text::FromUtf8(Profiler::GetReport()));
            pacer_.ResetTiming();
        }
        return false;
    }
    if (key == KeyF(3)) {
        if (shift) {
            overlayOn_ = true;
            overlayKind_ = (overlayKind_ + 1) % 2;
        } else {
            overlayOn_ = !overlayOn_;
        }
        widgetManager_->MarkAllDirty();
        if (overlayOn_) overlayResetRequested_ = true;
        return true;
    }
    if (key == KeyF(5)) {
        pacer_.ResetTiming();
        return false;
    }
    if (key == KeyF(8)) {
        ShowVideoStats();
        return true;
    }
    if (key == KeyF(10)) {
        if (control) {
            pacer_.speed_ = pacer_.speed_ == 1.0 ? 0.25 : 1.0;
        } else if (shift) {
            pacer_.stepMode_ = FramePacer::kStepOff;
            pacer_.ResetTiming();
        } else {
            pacer_.stepMode_ = FramePacer::kStepPending;
        }
        return true;
    }
    if (key == KeyF(11)) {
        if (shift)
            DumpImages();
        else
            SaveScreenshot();
        return true;
    }
    return false;
}

void VornAppBase::ShowVideoStats() {
    const std::vector<ImageSurface*> images = imageSet_.Snapshot();
    int textures = 0, surfaces = 0, inMemory = 0;
    int64_t textureBytes = 0, surfaceBytes = 0, memoryBytes = 0;
    const bool surface32 = d3d_ && d3d_->GetSurfaceFormat() == plat::Format::A8R8G8B8;
    for (ImageSurface* image : images) {
        const ImageMemory m = MeasureImage(*image);
        if (m.hasTexture) {
            ++textures;
            textureBytes += m.textureBytes;
        }
        if (m.hasSurface) {
            ++surfaces;
            surfaceBytes += static_cast<int64_t>(image->width) * image->height * (surface32 ? 4 : 2);
        }
        if (m.hasBits) {
            ++inMemory;
            memoryBytes += m.bitsBytes;
        }
    }
    const int64_t available = d3d_ && d3d_->GetDevice() ? d3d_->GetDevice()->GetAvailableTextureMem() : 0;
    std::wstring report;
    report += text::WFormat(L"Num Images: %d\r\n", static_cast<int>(images.size()));
    report += text::WFormat(L"Num Sounds: %d\r\n", soundManager_ ? soundManager_->CountLoadedSounds() : 0);
    report += L"Available Texture Memory: " + Kilobytes(available) + L" KB\r\n";
    report += text::WFormat(L"Texture A8R8G8B8: %d - ", textures) + Kilobytes(textureBytes) + L" KB\r\n";
    report += std::wstring(L"Surface ") + (surface32 ? L"A8R8G8B8" : L"A4R4G4B4") +
              text::WFormat(L": %d - ", surfaces) + Kilobytes(surfaceBytes) + L" KB\r\n";
    report += text::WFormat(L"RAM: %d - ", inMemory) + Kilobytes(memoryBytes) + L" KB\r\n";
    ShowMessageBox(L"Video Stats", report);
}

bool VornAppBase::SaveScreenshot() {
    if (!d3d_ || !d3d_->IsReady()) return false;
    const std::string folder = diagnosticsFolder_ + "_screenshots";
    if (!plat::IsDirectory(folder)) plat::CreateDirectory(folder);
    int highest = 0;
    plat::DirectorySearch search;
    plat::FindData found;
    for (bool more = search.First(folder + "/image*.png", found); more; more = search.Next(found)) {
        int number = 0;
        char tail = 0;
        // Only "image<digits>.png" takes part; anything else is someone else's file.
        if (std::sscanf(found.fileName.c_str(), "image%d.pn%c", &number, &tail) == 2 && number > highest &&
            number < INT_MAX)
            highest = number;
    }
    search.Close();

    std::unique_ptr<DeviceImage> screen = d3d_->CaptureScreen();
    if (!screen) return false;
    const uint32_t* bits = screen->GetBits();
    ImageData picture;
    if (!bits || !picture.Allocate(screen->GetWidth(), screen->GetHeight(), false)) return false;
    // The screen is opaque whatever the draw buffer's alpha says.
    for (size_t i = 0; i < picture.PixelCount(); ++i) picture.GetBits()[i] = bits[i] | 0xFF000000u;
    const bool written = WritePNGImage(folder + "/image" + std::to_string(highest + 1) + ".png", picture);
    pacer_.ResetTiming();
    return written;
}
