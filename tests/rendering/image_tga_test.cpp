#include <gtest/gtest.h>

#include "rendering/imagefile/image_files.h"
#include "tests/rendering/image_test_support.h"

namespace {

using testsupport::Bytes;
using testsupport::TempDir;

struct TgaLayout {
    int idLength = 0;
    int colourMapType = 0;
    int imageType = 2;
    int colourMapLength = 0;
    int width = 3;
    int height = 2;
    int depth = 32;
    int descriptor = 0x28;
};

uint8_t PixelByte(size_t i) { return static_cast<uint8_t>(i * 37 + 11); }

Bytes BuildTga(const TgaLayout& s, size_t pixelBytes) {
    Bytes out = {static_cast<uint8_t>(s.idLength),
                 static_cast<uint8_t>(s.colourMapType),
                 static_cast<uint8_t>(s.imageType),
                 0,
                 0,
                 static_cast<uint8_t>(s.colourMapLength),
                 static_cast<uint8_t>(s.colourMapLength >> 8),
                 s.colourMapLength > 0 ? uint8_t{24} : uint8_t{0},
                 0,
                 0,
                 0,
                 0,
                 static_cast<uint8_t>(s.width),
                 static_cast<uint8_t>(s.width >> 8),
                 static_cast<uint8_t>(s.height),
                 static_cast<uint8_t>(s.height >> 8),
                 static_cast<uint8_t>(s.depth),
                 static_cast<uint8_t>(s.descriptor)};
    for (int i = 0; i < s.idLength; ++i) out.push_back('#');
    for (int i = 0; i < s.colourMapLength * 3; ++i) out.push_back(0x77);
    for (size_t i = 0; i < pixelBytes; ++i) out.push_back(PixelByte(i));
    return out;
}

class TgaFiles : public ::testing::Test {
protected:
    std::unique_ptr<ImageData> Load(const Bytes& bytes) {
        testsupport::WriteBytes(path_, bytes);
        return GetTGAImage(path_);
    }
    TempDir dir_;
    std::string path_ = dir_.Path("pic.tga");
};

TEST_F(TgaFiles, TopLeftThirtyTwoBitReadsBgraAfterTheImageId) {
    TgaLayout layout;
    layout.idLength = 5;
    auto image = Load(BuildTga(layout, 24));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->GetWidth(), 3);
    ASSERT_EQ(image->GetHeight(), 2);
    for (size_t i = 0; i < 6; ++i) {
        // File bytes B, G, R, A make the word A R G B.
        uint32_t expected = uint32_t{PixelByte(i * 4 + 3)} << 24 | uint32_t{PixelByte(i * 4 + 2)} << 16 |
                            uint32_t{PixelByte(i * 4 + 1)} << 8 | PixelByte(i * 4);
        EXPECT_EQ(image->GetBits()[i], expected) << i;
    }
}

TEST_F(TgaFiles, OtherLayoutsGiveNoImage) {
    TgaLayout depth24;
    depth24.depth = 24;
    EXPECT_EQ(Load(BuildTga(depth24, 18)), nullptr);
    TgaLayout bottomLeft;
    bottomLeft.descriptor = 0x08;
    EXPECT_EQ(Load(BuildTga(bottomLeft, 24)), nullptr);
    TgaLayout runLength;
    runLength.imageType = 10;
    EXPECT_EQ(Load(BuildTga(runLength, 24)), nullptr);
    TgaLayout mapped;
    mapped.colourMapType = 1;
    mapped.colourMapLength = 4;
    EXPECT_EQ(Load(BuildTga(mapped, 24)), nullptr);
}

TEST_F(TgaFiles, TruncatedOrAbsurdFilesGiveNoImage) {
    TgaLayout layout;
    const Bytes good = BuildTga(layout, 24);
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_EQ(Load(Bytes(good.begin(), good.begin() + static_cast<long>(n))), nullptr) << n;
    EXPECT_EQ(GetTGAImage(dir_.Path("missing.tga")), nullptr);

    for (auto [w, h] : {std::pair{0, 2}, std::pair{3, 0}, std::pair{65535, 65535}, std::pair{8193, 1}}) {
        TgaLayout big;
        big.width = w;
        big.height = h;
        EXPECT_EQ(Load(BuildTga(big, 24)), nullptr) << w << "x" << h;
    }
}

// An 18-byte header claiming 8192 x 8192 made the reader allocate 256 MB
// (1 GB before the limit came down) and only then find no pixels: the
// file's length is checked first.
TEST_F(TgaFiles, HeaderClaimingMorePixelsThanTheFileHoldsAllocatesNothingForThem) {
    TgaLayout big;
    big.width = big.height = ImageData::kMaxSide;
    for (size_t pixelBytes : {size_t{0}, size_t{4096}}) {
        const Bytes file = BuildTga(big, pixelBytes);
        testsupport::WriteBytes(path_, file);
        std::unique_ptr<ImageData> image;
        const int64_t largest = testsupport::LargestAllocationDuring([&] { image = GetTGAImage(path_); });
        EXPECT_EQ(image, nullptr) << file.size() << " bytes";
        if (largest < 0) GTEST_SKIP() << "allocations cannot be watched in this build";
        EXPECT_LT(largest, 1 << 20) << file.size() << " bytes";
    }
    // Exactly enough pixels is still an image.
    TgaLayout small;
    small.width = 64;
    small.height = 32;
    EXPECT_NE(Load(BuildTga(small, 64 * 32 * 4)), nullptr);
}

}  // namespace
