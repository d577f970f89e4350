#pragma once
// The device's images made as image surfaces: the back buffer's wrapper (an
// attached surface, never moved to system memory), the render-target draw
// buffers and screen captures. Installed with D3DInterface::SetImageFactory
// by the application before the device starts. Drawing thread only.

#include <memory>

#include "rendering/device/device_resources.h"

class ImageSurfaceFactory : public DeviceImageFactory {
public:
    std::unique_ptr<DeviceImage> WrapBackBuffer(plat::Surface* backBuffer) override;
    std::unique_ptr<DeviceImage> CreateDrawBuffer(int width, int height) override;
    std::unique_ptr<DeviceImage> CreateImage(int width, int height, const uint32_t* argb) override;
};
