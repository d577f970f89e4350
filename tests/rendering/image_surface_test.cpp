// The image family: properties, cel geometry and records, pixels and their
// checks, registration, and drawing into an image.
#include <gtest/gtest.h>

#include "image_surface_test_support.h"
#include "rendering/image/image_atlas_region.h"
#include "rendering/image/image_child.h"

namespace {

using testsupport::ImageDeviceTest;

TEST(ImageProperties, ScriptsReadTheCelGrid) {
    ImageSurface image;
    image.name = L"ball";
    image.SetSize(100, 60);
    image.SetRowsCols(3, 4);
    EXPECT_EQ(L"ball", image.GetProperty(L"name").ToString());
    EXPECT_EQ(12, image.GetProperty(L"frames").ToInt());
    EXPECT_EQ(25, image.GetProperty(L"frame_width").ToInt());
    EXPECT_EQ(20, image.GetProperty(L"frame_height").ToInt());
    EXPECT_EQ(4, image.GetProperty(L"cols").ToInt());
    EXPECT_EQ(3, image.GetProperty(L"rows").ToInt());
    const PropertyValue other = image.GetProperty(L"Frames");  // names compare exactly
    EXPECT_TRUE(other.Is(PropertyValue::Tag::Bool));
    EXPECT_FALSE(other.ToBool());
}

TEST(ImageSurfaceBits, PremultiplyAndGuardWord) {
    ImageSurface image;
    const std::vector<uint32_t> px = {0x00FF8040u, 0xFF123456u, 0x80FF8040u, 0x01FFFFFFu};
    image.SetBits(px.data(), 2, 2, true);
    const uint32_t* bits = image.GetBits();
    ASSERT_NE(nullptr, bits);
    EXPECT_EQ(0u, bits[0]);
    EXPECT_EQ(0xFF123456u, bits[1]);
    // c * a / 255, truncated: 255*128/255 = 128, 128*128/255 = 64, 64*128/255 = 32.
    EXPECT_EQ(0x80804020u, bits[2]);
    EXPECT_EQ(0x01010101u, bits[3]);
    EXPECT_EQ(kBitsGuardWord, bits[4]);
    EXPECT_TRUE(image.premultiplied);
}

// Setting pixels of an unchanged size after the bits were freed wrote
// through a null pointer.
TEST(ImageSurfaceBits, SetBitsOfTheSameSizeAfterTheBitsWereFreed) {
    ImageSurface image;
    const std::vector<uint32_t> a(4, 0xFF0000FFu), b(4, 0xFF00FF00u);
    image.SetBits(a.data(), 2, 2, false);
    image.SetTargetNewer();  // what a draw into the image does: the bits go
    ASSERT_FALSE(image.HasBits());
    image.SetBits(b.data(), 2, 2, false);
    ASSERT_TRUE(image.HasBits());
    EXPECT_EQ(0xFF00FF00u, image.GetBits()[3]);
    EXPECT_EQ(kBitsGuardWord, image.GetBits()[4]);
}

ImageSurface* TrimmedSheet(ImageSurface& image) {
    // Two 20 x 20 cels; cel 1 keeps only (3, 5, 10, 10), stored at (20, 0).
    image.SetSize(40, 20);
    CelDataRecord record;
    record.name = L"walk";
    record.cols = 2;
    record.cels = {{0, 0, 20, 20, 0, 0, 20, 20}, {20, 0, 10, 10, 3, 5, 20, 20}};
    image.SetCelRects({record});
    std::vector<uint32_t> px(40 * 20, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) px[static_cast<size_t>(y * 40 + 20 + x)] = testsupport::PatternPixel(x, y);
    image.SetBits(px.data(), 40, 20, false);
    return &image;
}

TEST(ImageCels, TrimmedCelMovesToItsOffset) {
    ImageSurface image;
    TrimmedSheet(image);
    EXPECT_EQ(20, image.GetCelWidth());
    float x = 100, y = 50;
    FRect source(0, 0, 20, 20);
    ASSERT_EQ(&image, image.ResolveCel(1, &x, &y, &source, nullptr));
    EXPECT_FLOAT_EQ(103, x);
    EXPECT_FLOAT_EQ(55, y);
    EXPECT_TRUE(source == FRect(20, 0, 10, 10));
    // Through a matrix the offset becomes a translation about the quad's centre.
    Matrix4 m;
    source = FRect(0, 0, 20, 20);
    image.ResolveCel(1, nullptr, nullptr, &source, &m);
    EXPECT_FLOAT_EQ(3 + (10 - 20) * 0.5f, m[3]);
    EXPECT_FLOAT_EQ(5 + (10 - 20) * 0.5f, m[7]);
    // Pixels answer in full-cel coordinates; outside the stored part, 0.
    EXPECT_EQ(testsupport::PatternPixel(2, 1), image.GetPixel(5, 6, 1));
    EXPECT_EQ(0u, image.GetPixel(1, 1, 1));
    EXPECT_EQ(0u, image.GetPixel(25, 6, 1));
}

// Cel numbers come from scripts; one outside the image used to read and
// draw whatever lay beyond the last cel.
TEST(ImageCels, CelOutsideTheImageDrawsNothingAndHitTestsFalse) {
    ImageSurface image;
    const std::vector<uint32_t> px(8 * 4, 0xFFFFFFFFu);
    image.SetBits(px.data(), 8, 4, false);
    image.SetRowsCols(1, 2);
    FRect source(0, 0, 4, 4);
    float x = 0, y = 0;
    EXPECT_EQ(nullptr, image.ResolveCel(2, &x, &y, &source, nullptr));
    EXPECT_EQ(nullptr, image.ResolveCel(-1, &x, &y, &source, nullptr));
    EXPECT_EQ(0u, image.GetPixel(1, 1, 2));
    EXPECT_EQ(0u, image.GetPixel(1, 1, -5));
    EXPECT_EQ(0xFFFFFFFFu, image.GetPixel(1, 1, 1));
    ImageSurface records;
    TrimmedSheet(records);
    EXPECT_EQ(nullptr, records.ResolveCel(2, &x, &y, &source, nullptr));
    EXPECT_EQ(0u, records.GetPixel(0, 0, 7));
}

TEST(ImageCels, AtlasPieceAndChildPresentTheirSurface) {
    ImageSurface atlas;
    atlas.path = "images\\atlas";
    TrimmedSheet(atlas);
    ImageAtlasPiece piece(&atlas, 0);
    EXPECT_EQ(L"walk", piece.name);
    EXPECT_EQ("images\\atlas\\walk", piece.path);
    EXPECT_EQ(20, piece.width);
    EXPECT_EQ(2, piece.GetCelCount());
    EXPECT_EQ(&atlas, piece.GetSurface());
    EXPECT_EQ(testsupport::PatternPixel(2, 1), piece.GetPixel(5, 6, 1));
    EXPECT_EQ(nullptr, piece.ResolveCel(2, nullptr, nullptr, nullptr, nullptr));
    ImageAtlasPiece missing(&atlas, 5);
    EXPECT_EQ(nullptr, missing.ResolveCel(0, nullptr, nullptr, nullptr, nullptr));

    std::unique_ptr<Image> child(atlas.Duplicate());
    EXPECT_EQ(atlas.name + L"____CHILD", child->name);
    EXPECT_EQ(20, child->GetCelWidth());
    EXPECT_EQ(testsupport::PatternPixel(2, 1), child->GetPixel(5, 6, 1));
    std::unique_ptr<Image> fromPiece(piece.Duplicate());
    EXPECT_EQ(2, fromPiece->cols);
}

TEST(ImageRegistration, EverySurfaceJoinsTheApplicationSetWhileItLives) {
    testsupport::FakeImageSet set;
    {
        ImageSurface image;
        ImageChild child(&image);
        EXPECT_EQ(2u, set.images.size());
        EXPECT_EQ(1u, set.images.count(&child));
    }
    EXPECT_TRUE(set.images.empty());
}

class ImageDrawTest : public ImageDeviceTest {};

TEST_F(ImageDrawTest, DrawingIntoAnImageFreesItsBitsAndReadingBringsThemBack) {
    Start(testsupport::Caps(false, 4096));
    ImageSurface* canvas = MakeImage(std::vector<uint32_t>(16 * 16, 0), 16, 16);
    ImageSurface* sprite = MakeImage(testsupport::Pattern(8, 8), 8, 8);
    canvas->DrawImage(sprite, 4, 4, FRect(0, 0, 8, 8), Color::White, &state);
    EXPECT_FALSE(canvas->HasBits());
    EXPECT_TRUE(canvas->TargetNewer());
    const int generation = canvas->GetGeneration();
    const uint32_t* bits = canvas->GetBits();
    ASSERT_NE(nullptr, bits);
    EXPECT_GT(canvas->GetGeneration(), generation);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 4 && x < 12 && y >= 4 && y < 12;
            ASSERT_EQ(inside ? testsupport::PatternPixel(x - 4, y - 4) : 0u, bits[y * 16 + x]) << x << "," << y;
        }
    // The canvas draws what was drawn into it.
    Target()->DrawImage(canvas, 100, 100, FRect(0, 0, 16, 16), Color::White, &state);
    EXPECT_EQ(testsupport::PatternPixel(0, 0), Pixel(DrawBufferPixels(), 104, 104));
}

TEST_F(ImageDrawTest, ClippedDrawsCutTheSourceOrDrawNothing) {
    Start(testsupport::Caps(false, 4096));
    ImageSurface* sprite = MakeImage(testsupport::Pattern(8, 8), 8, 8);
    Target()->DrawImageClipped(sprite, 10, 10, FRect(0, 0, 8, 8), FRect(50, 50, 10, 10), Color::White, &state);
    std::vector<uint32_t> px = DrawBufferPixels();
    int lit = 0;
    for (uint32_t p : px) lit += p != 0;
    EXPECT_EQ(0, lit);
    Target()->DrawImageClipped(sprite, 10, 10, FRect(0, 0, 8, 8), FRect(14, 12, 10, 10), Color::White, &state);
    px = DrawBufferPixels();
    EXPECT_EQ(0u, Pixel(px, 13, 12));
    EXPECT_EQ(testsupport::PatternPixel(4, 2), Pixel(px, 14, 12));
    EXPECT_EQ(testsupport::PatternPixel(7, 7), Pixel(px, 17, 17));
}

TEST_F(ImageDrawTest, RenderTargetImagesDrawAndReadBack) {
    Start(testsupport::Caps(true, 2048));
    images.push_back(std::make_unique<ImageSurface>(true));
    ImageSurface* target = images.back().get();
    target->Create(30, 20);
    target->FillRect(Rect(0, 0, 30, 20), Color::FromRGB(0, 0, 255), &state);
    target->DrawLine(0, 5, 29, 5, Color::FromRGB(255, 0, 0), &state);
    EXPECT_TRUE(target->GetFlags() & kImageSurfaceIsTexture);  // drawn straight into its texture
    EXPECT_EQ(32u, target->GetSurfaceDesc().width);
    const uint32_t* bits = target->GetBits();
    ASSERT_NE(nullptr, bits);
    EXPECT_EQ(0xFF0000FFu, bits[0]);
    EXPECT_EQ(0xFFFF0000u, bits[5 * 30 + 29]);  // the end pixel is lit
    Target()->DrawImage(target, 0, 0, FRect(0, 0, 30, 20), Color::White, &state);
    EXPECT_EQ(0xFF0000FFu, Pixel(DrawBufferPixels(), 29, 19));
    target->Clear();
    EXPECT_EQ(0u, target->GetBits()[0]);
}

// Render-target textures cannot be locked; pixels given to a render-target
// image reach them through a system-memory copy.
TEST_F(ImageDrawTest, PixelsGivenToARenderTargetImageAreDrawn) {
    Start(testsupport::Caps(false, 4096));
    images.push_back(std::make_unique<ImageSurface>(true));
    ImageSurface* target = images.back().get();
    const std::vector<uint32_t> px = testsupport::Pattern(20, 10);
    target->SetBits(px.data(), 20, 10, false);
    Target()->DrawImage(target, 7, 3, FRect(0, 0, 20, 10), Color::White, &state);
    const std::vector<uint32_t> out = DrawBufferPixels();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(testsupport::PatternPixel(x, y), Pixel(out, 7 + x, 3 + y)) << x << "," << y;
}

}  // namespace
