#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/files/pak_interface.h"
#include "foundation/files/pak_writer.h"
#include "rendering/imagefile/image_files.h"
#include "tests/rendering/image_test_support.h"

namespace {

using testsupport::Bytes;
using testsupport::TempDir;

uint32_t Pixel(int x, int y) {
    return 0xFF000000u | static_cast<uint32_t>(x * 40) << 16 | static_cast<uint32_t>(y * 50) << 8 | 0x33;
}

// Images packed into a pack file and read back by relative data name, with
// no loose copy on disk: every reader must go through the pack layer.
TEST(ImagePack, EveryFormatAndCompanionReadsFromThePack) {
    TempDir dir;
    const std::string source = dir.Path("src");
    const std::string folder = source + "/halvaro_packed_art";

    ImageData colour;
    ASSERT_TRUE(colour.Allocate(5, 4, false));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) colour.Row(y)[x] = Pixel(x, y);
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(WritePNGImage(folder + "/ball.png", colour));
    ASSERT_TRUE(WriteJPEGImage(folder + "/photo.jpg", colour));

    // A TGA with an image ID, so the reader must seek inside the packed entry.
    Bytes tga = {3, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 4, 0, 32, 0x28, 'i', 'd', '!'};
    for (int i = 0; i < 20; ++i)
        for (int b = 0; b < 4; ++b) tga.push_back(static_cast<uint8_t>(i * 11 + b * 60));  // blue = i * 11
    testsupport::WriteBytes(folder + "/_ball.tga", tga);

    testsupport::GifLayout gif;
    gif.width = 3;
    gif.height = 2;
    gif.minCodeSize = 2;
    gif.globalPalette = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
    gif.indices = {0, 1, 2, 3, 2, 1};
    testsupport::WriteBytes(folder + "/icon.gif", testsupport::BuildGif(gif));

    const std::string pack = dir.Path("images.pak");
    ASSERT_TRUE(BuildPack(source, pack).ok);
    std::filesystem::remove_all(source);

    PakInterface pak;
    ASSERT_EQ(GetPakPtr(), &pak);
    pak.Mount(pack);

    auto ball = GetImage("halvaro_packed_art\\ball", true);
    ASSERT_NE(ball, nullptr);
    ASSERT_EQ(ball->GetWidth(), 5);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(ball->GetBits()[i], (Pixel(i % 5, i / 5) & 0x00FFFFFFu) | static_cast<uint32_t>(i * 11) << 24) << i;

    auto photo = GetImage("halvaro_packed_art/photo.jpg", false);
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->GetWidth(), 5);
    EXPECT_EQ(photo->GetHeight(), 4);

    auto icon = GetImage("HALVARO_PACKED_ART\\ICON", false);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->Row(1)[0], 0xFFA0B0C0u);
}

}  // namespace
