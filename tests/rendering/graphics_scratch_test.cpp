// Scratch render targets belong to the device's lifetime: the release pass
// empties the pool, and releasing the device deletes the blend targets.
#include <gtest/gtest.h>

#include "image_surface_test_support.h"
#include "rendering/draw/graphics.h"

namespace {

class GraphicsScratchTest : public testsupport::ImageDeviceTest {};

TEST_F(GraphicsScratchTest, ReleasePassEmptiesTheScratchPool) {
    Start(plat::DeviceCaps{});
    const size_t before = imageSet.Size();
    ImageSurface* scratch = AcquireScratchSurface(64, 32);
    ASSERT_NE(nullptr, scratch);
    EXPECT_GE(scratch->GetWidth(), 64);
    ReleaseScratchSurface(scratch);
    EXPECT_EQ(before + 1, imageSet.Size());  // pooled, still alive
    d3d->ReleaseDeviceObjects(true);
    EXPECT_EQ(before, imageSet.Size());
}

TEST_F(GraphicsScratchTest, ReleasingTheDeviceDeletesBothBlendTargets) {
    Start(plat::DeviceCaps{});
    d3d->SetScratchRenderTarget(0, std::make_unique<ImageSurface>(true));
    d3d->SetScratchRenderTarget(1, std::make_unique<ImageSurface>(true));
    ASSERT_NE(nullptr, d3d->GetScratchRenderTarget(1));
    d3d->ReleaseDevice();
    EXPECT_EQ(nullptr, d3d->GetScratchRenderTarget(0));
    EXPECT_EQ(nullptr, d3d->GetScratchRenderTarget(1));
}

}  // namespace
