#include <gtest/gtest.h>

#include <filesystem>

#include "rendering/imagefile/image_files.h"
#include "tests/rendering/image_test_support.h"

namespace {

using testsupport::Bytes;
using testsupport::TempDir;

// Every pixel gets a value from a formula of its position and a seed.
uint32_t Formula(int x, int y, uint32_t seed) {
    return (static_cast<uint32_t>(x * 73 + y * 151) * 2654435761u) ^ (seed * 0x9E3779B9u);
}

std::unique_ptr<ImageData> MakeImage(int w, int h, uint32_t seed) {
    auto image = std::make_unique<ImageData>();
    EXPECT_TRUE(image->Allocate(w, h, false));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image->Row(y)[x] = Formula(x, y, seed);
    return image;
}

void WritePng(const std::string& path, int w, int h, uint32_t seed) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(WritePNGImage(path, *MakeImage(w, h, seed)));
}

void WriteTga(const std::string& path, int w, int h, uint32_t seed) {
    Bytes out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(w), 0, static_cast<uint8_t>(h), 0, 32, 0x28};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int b = 0; b < 4; ++b) out.push_back(static_cast<uint8_t>(Formula(x, y, seed) >> (8 * b)));
    testsupport::WriteBytes(path, out);
}

void WriteGif(const std::string& path, int w, int h) {
    testsupport::GifLayout layout;
    layout.width = w;
    layout.height = h;
    layout.globalPalette = {0x000000, 0xFFFFFF};
    layout.minCodeSize = 2;
    layout.indices.assign(static_cast<size_t>(w * h), 1);
    testsupport::WriteBytes(path, testsupport::BuildGif(layout));
}

class ImageSearch : public ::testing::Test {
protected:
    std::string P(const std::string& name) const { return dir_.Path(name); }
    TempDir dir_;
};

TEST_F(ImageSearch, NameWithoutExtensionTriesFormatsInOrder) {
    // Each format gets its own size so the winner can be told apart.
    WriteGif(P("cursor.gif"), 3, 3);
    WriteTga(P("cursor.tga"), 5, 5, 1);
    ASSERT_TRUE(WriteJPEGImage(P("cursor.jpg"), *MakeImage(8, 8, 2)));
    auto width = [&] {
        auto image = GetImage(P("cursor"), false);
        return image ? image->GetWidth() : -1;
    };
    EXPECT_EQ(width(), 8);
    std::filesystem::remove(P("cursor.jpg"));
    EXPECT_EQ(width(), 3);
    std::filesystem::remove(P("cursor.gif"));
    EXPECT_EQ(width(), 5);
    WritePng(P("cursor.png"), 6, 6, 3);
    EXPECT_EQ(width(), 6);
    std::filesystem::remove(P("cursor.png"));
    std::filesystem::remove(P("cursor.tga"));
    EXPECT_EQ(width(), -1);
}

TEST_F(ImageSearch, ExtensionChoosesOneReaderWhateverItsCase) {
    WritePng(P("cursor.png"), 6, 6, 3);
    auto image = GetImage(P("cursor.PNG"), false);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 6);
    EXPECT_EQ(GetImage(P("cursor.gif"), false), nullptr);
    EXPECT_EQ(GetImage(P("cursor.bmp"), false), nullptr);

    // No JPEG 2000 codec is loaded, so those names find nothing even when
    // the files exist.
    testsupport::WriteBytes(P("photo.j2k"), {0xFF, 0x4F, 0xFF, 0x51});
    testsupport::WriteBytes(P("photo.jp2"), {0, 0, 0, 12, 'j', 'P', ' ', ' '});
    EXPECT_EQ(GetImage(P("photo.j2k"), false), nullptr);
    EXPECT_EQ(GetImage(P("photo"), false), nullptr);
    EXPECT_EQ(GetJ2KImage(P("photo.jp2")), nullptr);
    UnloadJ2KCodec();
}

TEST_F(ImageSearch, DotInFolderNameIsNoExtensionAndBackslashesSeparate) {
    WritePng(P("dir.v2/cursor.png"), 4, 4, 5);
    auto image = GetImage(P("dir.v2/cursor"), false);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetBits()[5], Formula(1, 1, 5));
    image = GetImage(P("dir.v2") + "\\cursor", false);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 4);
}

// Expected alpha of a merged pixel: the companion pixel's blue byte.
void ExpectMerged(const ImageData& image, uint32_t colourSeed, uint32_t alphaSeed) {
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x) {
            uint32_t expected = (Formula(x, y, colourSeed) & 0x00FFFFFFu) | (Formula(x, y, alphaSeed) & 0xFFu) << 24;
            ASSERT_EQ(image.Row(y)[x], expected) << x << "," << y;
        }
}

TEST_F(ImageSearch, AlphaCompanionWithLeadingUnderscoreComesFirst) {
    WritePng(P("images/ball.png"), 7, 5, 10);
    WriteTga(P("images/_ball.tga"), 7, 5, 11);
    WritePng(P("images/ball_.png"), 7, 5, 12);
    auto image = GetImage(P("images/ball.png"), true);
    ASSERT_NE(image, nullptr);
    ExpectMerged(*image, 10, 11);

    std::filesystem::remove(P("images/_ball.tga"));
    image = GetImage(P("images/ball"), true);
    ASSERT_NE(image, nullptr);
    ExpectMerged(*image, 10, 12);

    // Without asking for alpha the colour image comes back untouched.
    image = GetImage(P("images/ball"), false);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetBits()[3], Formula(3, 0, 10));

    // The companion lookup splits at a backslash too.
    WriteTga(P("images/_ball.tga"), 7, 5, 13);
    image = GetImage(P("images") + "\\ball", true);
    ASSERT_NE(image, nullptr);
    ExpectMerged(*image, 10, 13);
}

TEST_F(ImageSearch, CompanionOfAnotherSizeIsIgnored) {
    WritePng(P("ball.png"), 7, 5, 20);
    WritePng(P("_ball.png"), 5, 7, 21);
    auto image = GetImage(P("ball"), true);
    ASSERT_NE(image, nullptr);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(image->Row(y)[x], Formula(x, y, 20));
}

TEST_F(ImageSearch, CompanionAloneGivesWhiteCarryingItsBlueAsAlpha) {
    WriteTga(P("glow_.tga"), 4, 3, 30);
    auto image = GetImage(P("glow"), true);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->GetWidth(), 4);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) ASSERT_EQ(image->Row(y)[x], (Formula(x, y, 30) & 0xFFu) << 24 | 0x00FFFFFFu);
    EXPECT_EQ(GetImage(P("glow"), false), nullptr);
}

}  // namespace
