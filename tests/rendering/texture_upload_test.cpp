// Texture upload, refresh and read-back on the software device.
#include <gtest/gtest.h>

#include "image_surface_test_support.h"

namespace {

using testsupport::ImageDeviceTest;
using testsupport::PatternPixel;

class TextureUploadTest : public ImageDeviceTest {
protected:
    std::vector<uint32_t> FirstPiece(ImageSurface* image) {
        return testsupport::ReadTexture(image->GetTextures()->pieces[0].texture);
    }
};

TEST_F(TextureUploadTest, EdgeTexelsRepeatTheLastColumnAndRow) {
    Start(testsupport::Caps(false, 4096));
    ImageSurface* image = MakeImage(testsupport::Pattern(101, 37), 101, 37);
    ASSERT_TRUE(PrepareImageTexture(*d3d, image));
    ASSERT_EQ(1u, image->GetTextures()->pieces.size());
    EXPECT_EQ(102, image->GetTextures()->pieces[0].width);
    EXPECT_EQ(38, image->GetTextures()->pieces[0].height);
    const std::vector<uint32_t> texels = FirstPiece(image);
    for (int y = 0; y < 37; ++y) {
        EXPECT_EQ(PatternPixel(0, y), texels[static_cast<size_t>(y * 102)]);
        EXPECT_EQ(PatternPixel(100, y), texels[static_cast<size_t>(y * 102 + 101)]) << y;
    }
    for (int x = 0; x < 101; ++x) EXPECT_EQ(PatternPixel(x, 36), texels[static_cast<size_t>(37 * 102 + x)]) << x;
    EXPECT_EQ(PatternPixel(100, 36), texels[static_cast<size_t>(37 * 102 + 101)]);
    EXPECT_EQ(102 * 38 * 4, image->GetTextures()->textureBytes);
}

// A4R4G4B4 texels read back with each nibble n as n << 4, so a pixel read
// back packs into the very texel it came from.
TEST_F(TextureUploadTest, FourBitTexelsRoundTripThroughReadBack) {
    Start(testsupport::Caps(false, 4096));
    ImageSurface* image = MakeImage({0xFF80A010u, 0xFFFFFFFFu, 0x12345678u, 0u}, 2, 2, kImageFormat4444);
    image->CommitBits();
    ASSERT_TRUE(PrepareImageTexture(*d3d, image));
    EXPECT_FALSE(image->HasBits());  // the textures hold the pixels now
    const std::vector<uint32_t> texels = FirstPiece(image);
    EXPECT_EQ(0xF8A1u, texels[0]);
    EXPECT_EQ(2 * 2 * 2, image->GetTextures()->textureBytes);
    const uint32_t* bits = image->GetBits();
    ASSERT_NE(nullptr, bits);
    EXPECT_EQ(0xF080A010u, bits[0]);
    EXPECT_EQ(0xF0F0F0F0u, bits[1]);  // opaque white reads back as 240 in every channel
    EXPECT_EQ(0x10305070u, bits[2]);
    EXPECT_EQ(ArgbTo4444(bits[0]), texels[0]);
    EXPECT_EQ(ArgbTo4444(bits[2]), texels[2]);
}

TEST_F(TextureUploadTest, ChangedPixelsReachTheTextures) {
    Start(testsupport::Caps(true, 64));
    ImageSurface* image = MakeImage(testsupport::Pattern(100, 80), 100, 80);
    ASSERT_TRUE(PrepareImageTexture(*d3d, image));
    image->GetBits()[99] = 0xFF123456u;  // last pixel of row 0, in the second piece
    image->CommitBits();
    ASSERT_TRUE(PrepareImageTexture(*d3d, image));
    const std::vector<uint32_t> texels = testsupport::ReadTexture(image->GetTextures()->pieces[1].texture);
    EXPECT_EQ(0xFF123456u, texels[99 - 64]);
    EXPECT_EQ(0xFF123456u, texels[99 - 64 + 1]);  // and its repeat beside it
    EXPECT_FALSE(image->HasBits());
    image->CommitBits();  // nothing to commit: the textures must not be refilled from nothing
    Target()->DrawImage(image, 0, 0, FRect(0, 0, 100, 80), Color::White, &state);
    const std::vector<uint32_t> px = DrawBufferPixels();
    EXPECT_EQ(0xFF123456u, Pixel(px, 99, 0));
    EXPECT_EQ(PatternPixel(10, 70), Pixel(px, 10, 70));
}

TEST_F(TextureUploadTest, RefreshOnDirtyOnlyIgnoresTheChangeCounter) {
    Start(testsupport::Caps(false, 4096));
    ImageSurface* image = MakeImage({0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu}, 2, 2, kTexRefreshOnDirty);
    ASSERT_TRUE(PrepareImageTexture(*d3d, image));
    image->GetBits()[0] = 0xFFFF0000u;
    image->DiscardSurface();  // the change counter moves
    ASSERT_TRUE(PrepareImageTexture(*d3d, image));
    EXPECT_EQ(0xFF0000FFu, FirstPiece(image)[0]);
    image->SetDirty(true);
    ASSERT_TRUE(PrepareImageTexture(*d3d, image));
    EXPECT_EQ(0xFFFF0000u, FirstPiece(image)[0]);
}

TEST_F(TextureUploadTest, DeviceLossAndRecoveryKeepThePixels) {
    Start(testsupport::Caps(true, 64));
    const std::vector<uint32_t> px = testsupport::Pattern(100, 80);
    ImageSurface* image = MakeImage(px, 100, 80);
    image->CommitBits();
    Target()->DrawImage(image, 0, 0, FRect(0, 0, 100, 80), Color::White, &state);
    ASSERT_FALSE(image->HasBits());  // only the textures hold the pixels
    d3d->Cleanup();
    EXPECT_EQ(nullptr, image->GetTextures());
    ASSERT_TRUE(image->HasBits());
    EXPECT_TRUE(std::equal(px.begin(), px.end(), image->RawBits()));
    ASSERT_EQ(RESULT_OK, d3d->Init(nullptr, true, false));
    BindDrawBuffer();
    Target()->DrawImage(image, 5, 5, FRect(0, 0, 100, 80), Color::White, &state);
    const std::vector<uint32_t> out = DrawBufferPixels();
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_EQ(PatternPixel(x, y), Pixel(out, 5 + x, 5 + y)) << x << "," << y;
}

TEST_F(TextureUploadTest, ReleasePassKeepsTheSmallerCopy) {
    Start(testsupport::Caps(false, 4096));
    // Same-sized 32-bit textures: the textures go, the bits stay.
    ImageSurface* full = MakeImage(testsupport::Pattern(10, 10), 10, 10);
    ASSERT_TRUE(PrepareImageTexture(*d3d, full));
    // Half-sized 16-bit textures: the bits go.
    ImageSurface* half = MakeImage(testsupport::Pattern(10, 10), 10, 10, kImageFormat4444);
    ASSERT_TRUE(PrepareImageTexture(*d3d, half));
    d3d->ReleaseDeviceObjects(false);
    EXPECT_TRUE(full->HasBits());
    EXPECT_EQ(nullptr, full->GetTextures());
    EXPECT_FALSE(half->HasBits());
    EXPECT_NE(nullptr, half->GetTextures());
    EXPECT_EQ(PatternPixel(3, 4) & 0xF0F0F0F0u, half->GetPixel(3, 4, 0));
}

}  // namespace
