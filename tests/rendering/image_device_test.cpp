// The device wrapper running on image surfaces: its draw buffers, back
// buffer and captures are image surfaces, frames are presented, and a lost
// device comes back with every image's pixels.
#include <gtest/gtest.h>

#include "image_surface_test_support.h"

namespace {

using testsupport::ImageDeviceTest;
using testsupport::PatternPixel;

class ImageDeviceWrapperTest : public ImageDeviceTest {};

TEST_F(ImageDeviceWrapperTest, FramesDrawnIntoTheImageDrawBufferArePresented) {
    Start(plat::DeviceCaps{});
    ASSERT_NE(nullptr, Target());
    EXPECT_TRUE(Target()->GetFlags() & kImageRenderTarget);
    EXPECT_TRUE(Target()->IsBackBuffer());
    EXPECT_TRUE(imageSet.Contains(Target()));
    ImageSurface* sprite = MakeImage(testsupport::Pattern(16, 16), 16, 16);
    Target()->DrawImage(sprite, 30, 40, FRect(0, 0, 16, 16), Color::White, &state);
    ASSERT_TRUE(d3d->Redraw());
    const std::vector<uint32_t>& frame = Device()->LastPresentedFrame();
    ASSERT_EQ(static_cast<size_t>(host.screenW) * host.screenH, frame.size());
    EXPECT_EQ(PatternPixel(5, 6) & 0x00FFFFFFu, frame[static_cast<size_t>(46 * host.screenW + 35)] & 0x00FFFFFFu);

    std::unique_ptr<DeviceImage> capture = d3d->CaptureScreen();
    ASSERT_NE(nullptr, capture);
    ASSERT_NE(nullptr, dynamic_cast<ImageSurface*>(capture.get()));
    EXPECT_EQ(PatternPixel(5, 6), capture->GetBits()[46 * host.screenW + 35]);
}

TEST_F(ImageDeviceWrapperTest, LostPresentIsRecoveredWithTheImagesPixels) {
    Start(plat::DeviceCaps{});
    ImageSurface* sprite = MakeImage(testsupport::Pattern(16, 16), 16, 16);
    sprite->CommitBits();
    Target()->DrawImage(sprite, 0, 0, FRect(0, 0, 16, 16), Color::White, &state);
    ASSERT_FALSE(sprite->HasBits());
    Device()->FailNextPresent();
    EXPECT_FALSE(d3d->Redraw());
    // What the application does after a failed present.
    d3d->Cleanup();
    ASSERT_EQ(RESULT_OK, d3d->Init(nullptr, true, false));
    ASSERT_TRUE(Target()->BindRenderTarget());
    Target()->DrawImage(sprite, 50, 50, FRect(0, 0, 16, 16), Color::White, &state);
    ASSERT_TRUE(d3d->Redraw());
    const std::vector<uint32_t>& frame = Device()->LastPresentedFrame();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(PatternPixel(x, y) & 0x00FFFFFFu,
                      frame[static_cast<size_t>((50 + y) * host.screenW + 50 + x)] & 0x00FFFFFFu);
}

TEST_F(ImageDeviceWrapperTest, CaptureOnPowerOfTwoOnlyDeviceIsNotSkewed) {
    plat::DeviceCaps caps;
    caps.texturePow2Only = true;
    caps.textureNonPow2Conditional = false;
    Start(caps);
    ImageSurface* sprite = MakeImage(testsupport::Pattern(16, 16), 16, 16);
    Target()->DrawImage(sprite, 30, 40, FRect(0, 0, 16, 16), Color::White, &state);
    std::unique_ptr<DeviceImage> capture = d3d->CaptureScreen();
    ASSERT_NE(nullptr, capture);
    ASSERT_EQ(host.screenW, capture->GetWidth());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(PatternPixel(x, y), capture->GetBits()[(40 + y) * host.screenW + 30 + x]) << x << "," << y;
}

}  // namespace
