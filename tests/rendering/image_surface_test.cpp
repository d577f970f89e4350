// The image family: properties, cel geometry and records, pixels and their
// checks, registration, and drawing into an image.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "image_surface_test_support.h"
#include "rendering/image/image_atlas_region.h"
#include "rendering/image/image_child.h"
#include "rendering/image/image_data.h"
#include "rendering/image/image_packed.h"

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

// Fresh bits are no longer cleared before the pixels given are written over
// them: each pixel is still the given one, premultiplied or not, every time
// the size changes; without pixels a fresh image is still clear.
TEST(ImageSurfaceBits, EveryPixelGivenIsWrittenIntoFreshBits) {
    ImageSurface image;
    for (const auto& [w, h] : {std::pair{3, 2}, std::pair{17, 5}, std::pair{64, 33}}) {
        std::vector<uint32_t> px = testsupport::Pattern(w, h);
        for (size_t i = 0; i < px.size(); ++i) px[i] = (px[i] & 0xFFFFFFu) | static_cast<uint32_t>(i * 29 % 256) << 24;
        for (bool premultiply : {false, true}) {
            ASSERT_TRUE(image.SetBits(px.data(), w, h, premultiply));
            const uint32_t* bits = image.GetBits();
            ASSERT_NE(nullptr, bits);
            for (size_t i = 0; i < px.size(); ++i)
                ASSERT_EQ(premultiply ? PremultiplyPixel(px[i]) : px[i], bits[i]) << w << "x" << h << " at " << i;
            EXPECT_EQ(kBitsGuardWord, bits[px.size()]);
        }
    }
    ImageSurface blank;
    ASSERT_TRUE(blank.SetBits(nullptr, 9, 7, false));
    const uint32_t* bits = blank.GetBits();
    ASSERT_NE(nullptr, bits);
    for (int i = 0; i < 9 * 7; ++i) ASSERT_EQ(0u, bits[i]) << i;
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

// Sizes from scripts reached the allocator unchecked: a 200000 x 200000
// image ended the program out of memory. Images keep the image files' limit.
TEST(ImageSurfaceBits, SizesBeyondTheImageLimitFailByReturnValue) {
    ImageSurface image;
    EXPECT_FALSE(image.Create(200000, 200000));
    EXPECT_EQ(0, image.width);
    EXPECT_TRUE(image.Create(ImageData::kMaxSide, 2));
    EXPECT_FALSE(image.Create(ImageData::kMaxSide + 1, 2));
    EXPECT_FALSE(image.Create(2, ImageData::kMaxSide + 1));
    EXPECT_EQ(ImageData::kMaxSide, image.width);  // a refusal changes nothing
    const std::vector<uint32_t> px(4, 0xFF102030u);
    ASSERT_TRUE(image.SetBits(px.data(), 2, 2, false));
    EXPECT_FALSE(image.SetBits(nullptr, 200000, 200000, false));
    EXPECT_EQ(0xFF102030u, image.GetPixel(1, 1, 0));
    // However a size got there, no bits are made for it.
    ImageSurface sized;
    sized.SetSize(200000, 200000);
    EXPECT_EQ(nullptr, sized.GetBits());
    EXPECT_EQ(0u, sized.GetPixel(1, 1, 0));
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

// Two pieces of 10 x 20 cels side by side: "walk" (cels 0, 1), "jump" (2, 3).
void TwoPieceAtlas(ImageSurface& atlas) {
    atlas.SetSize(40, 20);
    CelDataRecord walk, jump;
    walk.name = L"walk";
    jump.name = L"jump";
    walk.cols = jump.cols = 2;
    walk.cels = {{0, 0, 10, 20, 0, 0, 10, 20}, {10, 0, 10, 20, 0, 0, 10, 20}};
    jump.cels = {{20, 0, 10, 20, 0, 0, 10, 20}, {30, 0, 10, 20, 0, 0, 10, 20}};
    atlas.SetCelRects({walk, jump});
    atlas.SetBits(testsupport::Pattern(40, 20).data(), 40, 20, false);
}

// A piece named is the record of that name, wherever it stands among the
// atlas's records; a name the atlas lacks gives a piece with no cels.
TEST(ImageCels, AtlasPieceByNameFindsItsRecord) {
    ImageSurface atlas;
    TwoPieceAtlas(atlas);
    ImageAtlasPiece jump(&atlas, L"jump");
    EXPECT_EQ(L"jump", jump.name);
    EXPECT_EQ(testsupport::PatternPixel(30 + 4, 7), jump.GetPixel(4, 7, 1));
    ImageAtlasPiece none(&atlas, L"run");
    EXPECT_EQ(0, none.GetCelCount());
    EXPECT_EQ(nullptr, none.ResolveCel(0, nullptr, nullptr, nullptr, nullptr));
}

// The duplicate of a piece was a child of the whole atlas with the piece's
// rows and columns but not its first cel: it drew another piece's frames.
TEST(ImageCels, DuplicatedAtlasPieceDrawsThePiecesOwnFrames) {
    ImageSurface atlas;
    TwoPieceAtlas(atlas);
    ImageAtlasPiece jump(&atlas, 1);
    std::unique_ptr<Image> copy(jump.Duplicate());
    EXPECT_NE(nullptr, dynamic_cast<ImageSurface*>(copy.get()));  // a private image can be drawn into
    EXPECT_EQ(2, copy->GetCelCount());
    EXPECT_EQ(10, copy->GetCelWidth());
    for (int cel : {0, 1}) {
        FRect want(0, 0, 10, 20), got(0, 0, 10, 20);
        float wx = 0, wy = 0, gx = 0, gy = 0;
        EXPECT_EQ(jump.ResolveCel(cel, &wx, &wy, &want, nullptr), copy->ResolveCel(cel, &gx, &gy, &got, nullptr));
        EXPECT_EQ(FRect(static_cast<float>(20 + 10 * cel), 0, 10, 20), got) << cel;
        EXPECT_EQ(want, got) << cel;
        EXPECT_EQ(testsupport::PatternPixel(20 + 10 * cel + 4, 7), copy->GetPixel(4, 7, cel)) << cel;
    }
    EXPECT_EQ(nullptr, copy->ResolveCel(2, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, copy->GetPixel(4, 7, 2));
}

// The visible box of a cel: its stored part where the image carries boxes,
// the whole cel otherwise, nothing for a cel the image lacks; pieces and
// duplicates answer for the cels they present.
TEST(ImageCels, CelBoxIsTheTrimmedPartOrTheWholeCel) {
    ImageSurface sheet;
    TrimmedSheet(sheet);
    ImageAtlasPiece piece(&sheet, 0);
    std::unique_ptr<Image> copy(piece.Duplicate());
    ImageSurface plain;
    plain.SetSize(60, 20);
    plain.SetRowsCols(1, 3);
    struct Case {
        const char* label;
        const Image* image;
        int cel;
        bool boxed;
        FRect box;
    };
    for (const Case& c :
         {Case{"sheet 0", &sheet, 0, true, FRect(0, 0, 20, 20)}, Case{"sheet 1", &sheet, 1, true, FRect(3, 5, 10, 10)},
          Case{"sheet beyond", &sheet, 2, false, FRect()}, Case{"piece 1", &piece, 1, true, FRect(3, 5, 10, 10)},
          Case{"piece beyond", &piece, 2, false, FRect()}, Case{"copy 1", copy.get(), 1, true, FRect(3, 5, 10, 10)},
          Case{"plain 2", &plain, 2, false, FRect(0, 0, 20, 20)}, Case{"plain beyond", &plain, -1, false, FRect()}}) {
        SCOPED_TRACE(c.label);
        FRect box(9, 9, 9, 9);
        EXPECT_EQ(c.boxed, c.image->GetCelBox(c.cel, &box));
        EXPECT_EQ(c.box, box);
    }
}

TEST(ImageRegistration, EverySurfaceJoinsTheLiveSetWhileItLives) {
    LiveImageSet set;
    {
        ImageSurface image;
        ImageChild child(&image);
        EXPECT_EQ(2u, set.Size());
        EXPECT_TRUE(set.Contains(&child));
        EXPECT_THAT(set.Snapshot(), testing::UnorderedElementsAre(&image, &child));
    }
    EXPECT_EQ(0u, set.Size());
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

// A duplicate drawn into showed its new pixels while hit tests still read
// its parent's: the two disagreed about what the player sees.
TEST_F(ImageDrawTest, DuplicateDrawnIntoHitTestsThePixelsItShows) {
    Start(testsupport::Caps(false, 4096));
    ImageSurface* parent = MakeImage(testsupport::Pattern(16, 8), 16, 8);
    parent->SetRowsCols(1, 2);
    std::unique_ptr<Image> duplicate(parent->Duplicate());
    auto* child = dynamic_cast<ImageSurface*>(duplicate.get());
    ASSERT_NE(nullptr, child);
    auto drawnAt = [&](int cel, int cx, int cy) {
        Target()->Clear();
        FRect source(0, 0, 8, 8);
        float x = 40, y = 40;
        ImageSurface* shown = child->ResolveCel(cel, &x, &y, &source, nullptr);
        Target()->DrawImage(shown, x, y, source, Color::White, &state);
        return Pixel(DrawBufferPixels(), 40 + cx, 40 + cy);
    };
    // Untouched, it shows its parent's pixels.
    EXPECT_EQ(testsupport::PatternPixel(8 + 3, 2), drawnAt(1, 3, 2));
    EXPECT_EQ(drawnAt(1, 3, 2), child->GetPixel(3, 2, 1));
    // Drawn into, as a widget's private image is, it shows its own.
    child->FillRect(Rect(8, 0, 8, 4), Color::FromRGB(255, 0, 0), &state);
    EXPECT_EQ(0xFFFF0000u, drawnAt(1, 3, 2));
    EXPECT_EQ(drawnAt(1, 3, 2), child->GetPixel(3, 2, 1));
    EXPECT_EQ(drawnAt(1, 3, 6), child->GetPixel(3, 6, 1));
    EXPECT_EQ(drawnAt(0, 3, 2), child->GetPixel(3, 2, 0));
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
