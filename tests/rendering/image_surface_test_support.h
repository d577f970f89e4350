#pragma once
// A device with image surfaces as its images, on an adapter whose texture
// capabilities the test chooses, plus helpers that make images with known
// pixels and read texture pieces back.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "device_test_support.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/image_surface_factory.h"
#include "rendering/image/live_images.h"
#include "rendering/image/texture_tiles.h"

namespace testsupport {

inline plat::DeviceCaps Caps(bool pow2Only, uint32_t maxSize, uint32_t aspect = 0) {
    plat::DeviceCaps caps;
    caps.texturePow2Only = pow2Only;
    caps.maxTextureWidth = caps.maxTextureHeight = maxSize;
    caps.maxTextureAspectRatio = aspect;
    return caps;
}

// A pixel pattern no two neighbours share: opaque, distinct per position.
inline uint32_t PatternPixel(int x, int y) {
    return 0xFF000000u | (static_cast<uint32_t>(x * 37 + y * 11) & 0xFF) << 16 |
           (static_cast<uint32_t>(y * 53 + 7) & 0xFF) << 8 | (static_cast<uint32_t>(x * 5 + y * 3) & 0xFF);
}

inline std::vector<uint32_t> Pattern(int w, int h) {
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[static_cast<size_t>(y) * w + x] = PatternPixel(x, y);
    return px;
}

// Texels of a locked texture as ARGB words (A4R4G4B4 raw in the low 16 bits).
inline std::vector<uint32_t> ReadTexture(plat::Texture* texture) {
    plat::SurfaceDesc desc;
    texture->GetLevelDesc(0, &desc);
    plat::LockedRect locked;
    std::vector<uint32_t> out;
    if (plat::Failed(texture->LockRect(0, &locked, nullptr, plat::kLockReadOnly))) return out;
    for (uint32_t y = 0; y < desc.height; ++y) {
        const auto* row = static_cast<const uint8_t*>(locked.bits) + static_cast<size_t>(y) * locked.pitch;
        for (uint32_t x = 0; x < desc.width; ++x)
            out.push_back(desc.format == plat::Format::A4R4G4B4 ? reinterpret_cast<const uint16_t*>(row)[x]
                                                                : reinterpret_cast<const uint32_t*>(row)[x]);
    }
    texture->UnlockRect(0);
    return out;
}

class ImageDeviceTest : public testsupport::DeviceTest {
protected:
    void TearDown() override {
        images.clear();
        DeviceTest::TearDown();
    }

    void Start(const plat::DeviceCaps& caps) {
        plat::GraphicsConfig config = testsupport::OneAdapter();
        config.adapters[0].caps = caps;
        UseConfig(config);
        d3d->SetImageFactory(std::make_unique<ImageSurfaceFactory>());
        InitWindowed();
        BindDrawBuffer();
    }

    ImageSurface* Target() { return dynamic_cast<ImageSurface*>(d3d->GetDrawBuffer()); }

    ImageSurface* MakeImage(const std::vector<uint32_t>& px, int w, int h, uint32_t flags = 0) {
        images.push_back(std::make_unique<ImageSurface>());
        ImageSurface* image = images.back().get();
        image->SetFlags(flags);
        image->SetBits(px.data(), w, h, false);
        return image;
    }

    uint32_t Pixel(const std::vector<uint32_t>& px, int x, int y) const {
        return px[static_cast<size_t>(y) * host.screenW + x];
    }

    LiveImageSet imageSet;
    std::vector<std::unique_ptr<ImageSurface>> images;
    DrawState state;
};

}  // namespace testsupport
