#pragma once
// The device wrapper on image surfaces at 1024 x 768, headless, with the
// screen's draw buffer and a 16 x 16 atlas of 32 x 32 cels with varied alpha,
// uploaded: what the drawing benchmarks draw from and into.
#include <cstdint>
#include <memory>
#include <vector>

#include "bench_host.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/image_surface_factory.h"
#include "rendering/image/texture_tiles.h"

namespace testsupport {

struct ImageScene {
    HeadlessDeviceHost host;
    std::unique_ptr<D3DInterface> d3d = std::make_unique<D3DInterface>(&host);
    ImageSurface* screen = nullptr;
    std::unique_ptr<ImageSurface> atlas = std::make_unique<ImageSurface>();

    ImageScene() {
        d3d->SetImageFactory(std::make_unique<ImageSurfaceFactory>());
        d3d->Init(nullptr, true, false);
        screen = dynamic_cast<ImageSurface*>(d3d->GetDrawBuffer());
        std::vector<uint32_t> px(512 * 512);
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x)
                px[static_cast<size_t>(y) * 512 + x] = static_cast<uint32_t>(128 + (x + y) % 128) << 24 |
                                                       static_cast<uint32_t>(x * 3 % 256) << 16 |
                                                       static_cast<uint32_t>(y % 256) << 8;
        atlas->SetRowsCols(16, 16);
        atlas->SetBits(px.data(), 512, 512, true);
        PrepareImageTexture(*d3d, atlas.get());
    }
};

}  // namespace testsupport
