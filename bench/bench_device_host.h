#pragma once
// An application stand-in for benchmarks that start the device wrapper
// headless: a fixed screen size, no window, no cursors, nothing recorded.

#include "rendering/device_host.h"

class BenchDeviceHost : public DeviceHost {
public:
    BenchDeviceHost(int width = 1024, int height = 768) : width_(width), height_(height) {}
    int ScreenWidth() const override { return width_; }
    int ScreenHeight() const override { return height_; }
    bool RefreshRateFallback() const override { return false; }
    void SetRefreshRateFallback(bool) override {}
    bool IsHidden() const override { return false; }
    bool IsMinimised() const override { return false; }
    void WriteAppRegistryString(std::string_view, std::string_view) override {}
    bool GetClientSize(plat::NativeWindow*, int* w, int* h) override {
        *w = width_;
        *h = height_;
        return true;
    }
    void GetDesktopSize(int* w, int* h) override {
        *w = width_;
        *h = height_;
    }
    void SetScreenLayout(const Rect&, const Rect&) override {}
    bool FindCursorHotspot(std::wstring_view, int*, int*) override { return false; }
    CursorHandle CreateCursor(const uint32_t*, int, int, int, int) override { return 0; }
    void SetCursor(CursorHandle) override {}
    void DestroyCursor(CursorHandle) override {}

private:
    int width_, height_;
};
