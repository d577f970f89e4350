#pragma once
// The application's side of the device wrapper for benchmarks: a headless
// 1024 x 768 screen that accepts every request and records nothing.
#include "rendering/device/device_host.h"

namespace testsupport {

class HeadlessDeviceHost : public DeviceHost {
public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

    int ScreenWidth() const override { return kWidth; }
    int ScreenHeight() const override { return kHeight; }
    bool RefreshRateFallback() const override { return false; }
    void SetRefreshRateFallback(bool) override {}
    bool IsHidden() const override { return false; }
    bool IsMinimised() const override { return false; }
    void WriteAppRegistryString(std::string_view, std::string_view) override {}
    bool GetClientSize(plat::NativeWindow*, int* w, int* h) override {
        *w = kWidth;
        *h = kHeight;
        return true;
    }
    void GetDesktopSize(int* w, int* h) override {
        *w = kWidth;
        *h = kHeight;
    }
    void SetScreenLayout(const Rect&, const Rect&) override {}
    bool FindCursorHotspot(std::wstring_view, int*, int*) override { return false; }
    CursorHandle CreateCursor(const uint32_t*, int, int, int, int) override { return 0; }
    void SetCursor(CursorHandle) override {}
    void DestroyCursor(CursorHandle) override {}
};

}  // namespace testsupport
