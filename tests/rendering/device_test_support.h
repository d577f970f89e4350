#pragma once
// Doubles and a fixture for the device wrapper's tests: an application host
// that records what the device asks of it, an image that counts residency
// calls, and a device made on the software graphics system with an adapter
// the test describes.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/gfx.h"
#include "rendering/device/d3d_interface.h"

namespace testsupport {

// Records what the device asks of the application; installed while it lives.
class FakeDeviceHost : public NullDeviceHost {
public:
    int screenW = 320, screenH = 240;
    int clientW = 320, clientH = 240;
    int desktopW = 1024, desktopH = 768;
    bool fallback = false, hidden = false, minimised = false;
    std::map<std::string, std::string> registry;
    Rect layoutSource, layoutPresentation;
    std::map<std::wstring, std::pair<int, int>> hotspots;
    int cursorsCreated = 0, cursorsDestroyed = 0;
    CursorHandle shownCursor = 0;
    std::vector<uint32_t> lastCursorPixels;

    int ScreenWidth() const override { return screenW; }
    int ScreenHeight() const override { return screenH; }
    bool RefreshRateFallback() const override { return fallback; }
    void SetRefreshRateFallback(bool f) override { fallback = f; }
    bool IsHidden() const override { return hidden; }
    bool IsMinimised() const override { return minimised; }
    void WriteAppRegistryString(std::string_view name, std::string_view text) override {
        registry[std::string(name)] = std::string(text);
    }
    bool GetClientSize(plat::NativeWindow*, int* w, int* h) override {
        *w = clientW;
        *h = clientH;
        return true;
    }
    void GetDesktopSize(int* w, int* h) override {
        *w = desktopW;
        *h = desktopH;
    }
    void SetScreenLayout(const Rect& source, const Rect& presentation) override {
        layoutSource = source;
        layoutPresentation = presentation;
    }
    bool FindCursorHotspot(std::wstring_view name, int* x, int* y) override {
        auto it = hotspots.find(std::wstring(name));
        if (it == hotspots.end()) return false;
        *x = it->second.first;
        *y = it->second.second;
        return true;
    }
    CursorHandle CreateCursor(const uint32_t* argb, int w, int h, int, int) override {
        lastCursorPixels.assign(argb, argb + static_cast<size_t>(w) * h);
        return static_cast<CursorHandle>(++cursorsCreated);
    }
    void SetWindowCursor(CursorHandle c) override { shownCursor = c; }
    void DestroyCursor(CursorHandle) override { ++cursorsDestroyed; }

private:
    ScopedService<DeviceHost> installed_{this};
};

// A shader program that counts how often the device applies and releases it.
class CountingShader : public DeviceShaderProgram {
public:
    int applies = 0, releases = 0;
    void Apply() override { ++applies; }
    void Release() override { ++releases; }
};

// An image in system memory only; counts what the device asks of it.
class FakeImage : public DeviceImage {
public:
    FakeImage(std::wstring name, int w, int h, bool withBits) : name_(std::move(name)), w_(w), h_(h) {
        if (withBits) bits_.assign(static_cast<size_t>(w) * h, 0xFF00FF00u);
    }
    int commits = 0, moves = 0, trims = 0;

    const std::wstring& GetImageName() const override { return name_; }
    int GetWidth() const override { return w_; }
    int GetHeight() const override { return h_; }
    int GetCelWidth() const override { return w_; }
    int GetCelHeight() const override { return h_; }
    bool IsPremultiplied() const override { return true; }
    uint32_t* GetBits() override { return bits_.empty() ? nullptr : bits_.data(); }
    plat::Surface* GetD3DSurface() override { return nullptr; }
    bool BindRenderTarget() override { return false; }
    void Clear() override {}
    void CommitBits() override { ++commits; }
    void MoveToSystemMemory() override { ++moves; }
    void ReleaseExtraCopies() override { ++trims; }

    std::vector<uint32_t> bits_;

private:
    std::wstring name_;
    int w_, h_;
};

inline plat::GraphicsConfig OneAdapter(unsigned desktopW = 1024, unsigned desktopH = 768, unsigned refresh = 60) {
    plat::AdapterConfig a;
    a.desktop = {desktopW, desktopH, refresh, plat::Format::X8R8G8B8};
    static const unsigned kSizes[][2] = {{640, 480},  {800, 600},   {1024, 768},  {1280, 800}, {1280, 1024},
                                         {1440, 900}, {1680, 1050}, {1920, 1080}, {1920, 1200}};
    for (const auto& s : kSizes) a.modes.push_back({s[0], s[1], refresh, plat::Format::X8R8G8B8});
    plat::GraphicsConfig c;
    c.adapters.push_back(a);
    return c;
}

// A host, a device wrapper on it, and the software graphics system described
// by `config`; nothing is initialised until the test says so.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override { plat::GraphicsSystem::SetConfigForTesting(OneAdapter()); }
    void TearDown() override {
        d3d.reset();
        plat::GraphicsSystem::SetConfigForTesting(std::nullopt);
    }

    void UseConfig(const plat::GraphicsConfig& config) { plat::GraphicsSystem::SetConfigForTesting(config); }

    // Windowed at the client size, headless.
    void InitWindowed() { ASSERT_EQ(RESULT_OK, d3d->Init(nullptr, true, false)); }

    plat::Device* Device() const { return d3d->GetDevice(); }

    // Binds draw buffer B and clears it.
    void BindDrawBuffer() {
        ASSERT_TRUE(d3d->GetDrawBuffer()->BindRenderTarget());
        d3d->ClearRect(Rect(0, 0, host.screenW, host.screenH));
    }

    std::vector<uint32_t> DrawBufferPixels() {
        const uint32_t* bits = d3d->GetDrawBuffer()->GetBits();
        return std::vector<uint32_t>(bits, bits + static_cast<size_t>(host.screenW) * host.screenH);
    }

    FakeDeviceHost host;
    std::unique_ptr<D3DInterface> d3d = std::make_unique<D3DInterface>(&host);
};

}  // namespace testsupport
