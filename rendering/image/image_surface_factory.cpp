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
    // Device pixels are premultiplied already: copied as they are, and drawn
    // as premultiplied, not as straight alpha.
    image->SetBits(argb, width, height, false);
    image->premultiplied = true;
    return image;
}
