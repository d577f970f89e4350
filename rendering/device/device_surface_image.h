#pragma once
// The device's own images until the image family provides its factory: the
// back buffer's wrapper, render-target draw buffers and plain images made
// from pixels (screen captures). Each holds one device surface; render
// targets are never moved to system memory, so the residency operations do
// nothing. All device work happens under the device lock.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/gfx.h"
#include "rendering/device/device_resources.h"

class D3DInterface;

class DeviceSurfaceImage : public DeviceImage {
public:
    // Takes its own reference on `surface` (may be null: made on demand).
    DeviceSurfaceImage(D3DInterface& d3d, plat::Surface* surface, int width, int height, bool renderTarget);
    ~DeviceSurfaceImage() override;

    void SetPixels(const uint32_t* argb);

    const std::wstring& GetImageName() const override { return name_; }
    int GetWidth() const override { return width_; }
    int GetHeight() const override { return height_; }
    int GetCelWidth() const override { return width_; }
    int GetCelHeight() const override { return height_; }
    bool IsPremultiplied() const override { return true; }
    uint32_t* GetBits() override;
    plat::Surface* GetD3DSurface() override;
    bool BindRenderTarget() override;
    void Clear() override;
    void CommitBits() override {}
    void MoveToSystemMemory() override {}
    void ReleaseExtraCopies() override {}

private:
    D3DInterface& d3d_;
    std::wstring name_;
    plat::Surface* surface_ = nullptr;
    int width_, height_;
    bool renderTarget_;
    std::vector<uint32_t> bits_;
};

class DeviceSurfaceImageFactory : public DeviceImageFactory {
public:
    explicit DeviceSurfaceImageFactory(D3DInterface& d3d) : d3d_(d3d) {}
    std::unique_ptr<DeviceImage> WrapBackBuffer(plat::Surface* backBuffer) override;
    std::unique_ptr<DeviceImage> CreateDrawBuffer(int width, int height) override;
    std::unique_ptr<DeviceImage> CreateImage(int width, int height, const uint32_t* argb) override;

private:
    D3DInterface& d3d_;
};

// Reads a render-target surface's pixels as ARGB rows through a system-memory
// copy; false (and `out` untouched) when the device refuses.
bool ReadSurfacePixels(D3DInterface& d3d, plat::Surface* surface, std::vector<uint32_t>* out);

// The projection that maps a width x height target's pixels one to one at depth 0.
plat::Matrix PixelProjection(int width, int height, int surfaceWidth, int surfaceHeight);
