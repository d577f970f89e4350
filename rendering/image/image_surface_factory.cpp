#include "rendering/image/image_surface_factory.h"

#include "rendering/image/image_surface.h"

std::unique_ptr<DeviceImage> ImageSurfaceFactory::WrapBackBuffer(plat::Surface* backBuffer) {
    auto image = std::make_unique<ImageSurface>(false);
    image->AttachSurface(backBuffer);
    image->SetBackBuffer();
    return image;
}

std::unique_ptr<DeviceImage> ImageSurfaceFactory::CreateDrawBuffer(int width, int height) {
    auto image = std::make_unique<ImageSurface>(true);
    image->Create(width, height);
    image->SetBackBuffer();
    return image;
}

std::unique_ptr<DeviceImage> ImageSurfaceFactory::CreateImage(int width, int height, const uint32_t* argb) {
    auto image = std::make_unique<ImageSurface>(false);
    image->SetBits(argb, width, height, false);
    return image;
}
