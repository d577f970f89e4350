#pragma once
// The application's side of the device wrapper for benchmarks: a headless
// 1024 x 768 screen that accepts every request and records nothing.
// Installed while it lives.
#include "rendering/device/device_host.h"

namespace testsupport {

class HeadlessDeviceHost : public NullDeviceHost {
public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

    int ScreenWidth() const override { return kWidth; }
    int ScreenHeight() const override { return kHeight; }
    bool GetClientSize(plat::NativeWindow*, int* w, int* h) override {
        *w = kWidth;
        *h = kHeight;
        return true;
    }
    void GetDesktopSize(int* w, int* h) override {
        *w = kWidth;
        *h = kHeight;
    }

private:
    ScopedService<DeviceHost> installed_{this};
};

}  // namespace testsupport
