#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "rendering/imagefile/image_files.h"
#include "tests/rendering/image_test_support.h"

namespace {

using testsupport::Bytes;
using testsupport::GifLayout;
using testsupport::Lcg;
using testsupport::TempDir;

uint32_t Opaque(uint32_t rgb) { return 0xFF000000u | rgb; }

std::vector<uint32_t> GreyRamp(int n) {
    std::vector<uint32_t> p;
    for (int i = 0; i < n; ++i) {
        uint32_t v = static_cast<uint32_t>(i * 255 / (n - 1));
        p.push_back(v << 16 | (255 - v) << 8 | (v ^ 0x5A));
    }
    return p;
}

class GifFiles : public ::testing::Test {
protected:
    std::unique_ptr<ImageData> Load(const Bytes& bytes) {
        testsupport::WriteBytes(path_, bytes);
        return GetGIFImage(path_);
    }

    // Every pixel is the palette colour of its index, or 0 where the index is transparent.
    static void ExpectPixels(const ImageData& image, const GifLayout& layout, const std::vector<uint32_t>& palette) {
        ASSERT_EQ(image.GetWidth(), layout.width);
        ASSERT_EQ(image.GetHeight(), layout.height);
        for (int y = 0; y < layout.height; ++y)
            for (int x = 0; x < layout.width; ++x) {
                int index = layout.indices[static_cast<size_t>(y * layout.width + x)];
                uint32_t expected = index == layout.transparent ? 0u : Opaque(palette[static_cast<size_t>(index)]);
                ASSERT_EQ(image.Row(y)[x], expected) << x << "," << y;
            }
    }

    // A layout over a grey ramp palette of 2^minCodeSize colours; index(i) gives pixel i.
    static GifLayout Ramp(int width, int height, int minCodeSize, const std::function<int(int)>& index) {
        GifLayout layout;
        layout.width = width;
        layout.height = height;
        layout.minCodeSize = minCodeSize;
        layout.globalPalette = GreyRamp(1 << minCodeSize);
        for (int i = 0; i < width * height; ++i) layout.indices.push_back(static_cast<uint8_t>(index(i)));
        return layout;
    }

    void ExpectDecodes(const GifLayout& layout, const std::vector<uint32_t>& palette) {
        auto image = Load(testsupport::BuildGif(layout));
        ASSERT_NE(image, nullptr);
        ExpectPixels(*image, layout, palette);
    }

    TempDir dir_;
    std::string path_ = dir_.Path("test.gif");
};

TEST_F(GifFiles, SmallImageDecodesThroughGlobalTableAndExtensions) {
    GifLayout layout;
    layout.width = 5;
    layout.height = 3;
    layout.globalPalette = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
    layout.minCodeSize = 2;
    layout.extensionsBeforeImage = true;
    layout.indices = {0, 1, 2, 3, 3, 3, 3, 3, 2, 1, 0, 0, 0, 0, 1};
    auto image = Load(testsupport::BuildGif(layout));
    ASSERT_NE(image, nullptr);
    ExpectPixels(*image, layout, layout.globalPalette);

    // GIF87a files are read alike.
    Bytes old = testsupport::BuildGif(layout);
    old[4] = '7';
    image = Load(old);
    ASSERT_NE(image, nullptr);
    ExpectPixels(*image, layout, layout.globalPalette);
}

TEST_F(GifFiles, LocalTableWinsAndTransparentIndexGivesZero) {
    GifLayout layout = Ramp(4, 4, 3, [](int i) { return (i * 5) % 8; });
    layout.globalPalette = GreyRamp(4);
    layout.localPalette = {0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x666666, 0x777777, 0x888888};
    layout.transparent = 3;
    ExpectDecodes(layout, layout.localPalette);
}

TEST_F(GifFiles, InterlacedRowsLandInPlace) {
    EXPECT_EQ(testsupport::InterlacedRowOrder(10), (std::vector<int>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
    for (int height : {1, 2, 5, 10, 17}) {
        SCOPED_TRACE(height);
        GifLayout layout = Ramp(3, height, 5, [](int i) { return (i / 3 + i % 3) % 32; });
        layout.interlaced = true;
        ExpectDecodes(layout, layout.globalPalette);
    }
}

TEST_F(GifFiles, LargeImagesFillTheCodeTable) {
    // Noise fills the 4096-entry table many times over (the encoder clears
    // it each time); a flat image makes long chains and the code-equals-next case.
    Lcg rng(5);
    ExpectDecodes(Ramp(200, 150, 8, [&](int) { return rng.Next() % 256; }), GreyRamp(256));
    ExpectDecodes(Ramp(200, 150, 8, [](int i) { return (i / 7000) * 3; }), GreyRamp(256));
}

TEST_F(GifFiles, GifWithFullTableKeepsDecodingWithoutClear) {
    // An encoder may stop adding entries when the table is full and go on at
    // 12 bits; all of that image must arrive, not just the part before.
    Lcg rng(6);
    GifLayout layout = Ramp(200, 150, 8, [&](int) { return rng.Next() % 256; });
    layout.clearWhenFull = false;
    ExpectDecodes(layout, layout.globalPalette);
}

TEST_F(GifFiles, FilesWithoutAnImageOrColoursGiveNothing) {
    GifLayout layout = Ramp(2, 2, 2, [](int i) { return i % 3 == 0 ? 0 : 1; });
    layout.globalPalette = {0x000000, 0xFFFFFF};
    const Bytes good = testsupport::BuildGif(layout);

    Bytes trailerFirst(good.begin(), good.begin() + 13 + 6);  // header, screen, two-entry table
    trailerFirst.push_back(';');
    EXPECT_EQ(Load(trailerFirst), nullptr);

    Bytes magic = good;
    magic[2] = 'X';
    EXPECT_EQ(Load(magic), nullptr);

    GifLayout colourless = layout;
    colourless.globalPalette.clear();
    EXPECT_EQ(Load(testsupport::BuildGif(colourless)), nullptr);

    for (auto [w, h] : {std::pair{0, 2}, std::pair{2, 0}, std::pair{20000, 2}, std::pair{2, 65535}}) {
        Bytes sized = good;
        const size_t d = 13 + 6 + 1 + 4;  // width field of the image descriptor
        sized[d] = static_cast<uint8_t>(w);
        sized[d + 1] = static_cast<uint8_t>(w >> 8);
        sized[d + 2] = static_cast<uint8_t>(h);
        sized[d + 3] = static_cast<uint8_t>(h >> 8);
        EXPECT_EQ(Load(sized), nullptr) << w << "x" << h;
    }

    for (int minCodeSize : {0, 1, 9, 12, 255}) {
        Bytes odd = good;
        odd[13 + 6 + 10] = static_cast<uint8_t>(minCodeSize);
        EXPECT_EQ(Load(odd), nullptr) << minCodeSize;
    }
}

TEST_F(GifFiles, PixelsTheStreamNeverReachesAreCleared) {
    GifLayout layout = Ramp(16, 16, 4, [](int i) { return (i * 7) % 16; });
    const Bytes good = testsupport::BuildGif(layout);
    const size_t dataStart = 13 + 48 + 10 + 1;  // header, 16-entry table, descriptor, code size

    // Cut anywhere: no image before the code stream, and after it every
    // pixel is either right or 0.
    for (size_t n = 0; n < good.size(); ++n) {
        auto image = Load(Bytes(good.begin(), good.begin() + static_cast<long>(n)));
        if (n < dataStart) {
            ASSERT_EQ(image, nullptr) << n;
            continue;
        }
        ASSERT_NE(image, nullptr) << n;
        for (int i = 0; i < 256; ++i) {
            uint32_t p = image->GetBits()[i];
            ASSERT_TRUE(p == 0 || p == Opaque(layout.globalPalette[layout.indices[static_cast<size_t>(i)]]))
                << n << " " << i;
        }
    }

    // A code beyond the next free table slot stops decoding; the rest stays 0.
    // With code size 4 the codes are 5 bits: clear (16), index 1, then 31
    // while the next free slot is 18.
    const int stream = 16 | 1 << 5 | 31 << 10;
    Bytes bad(good.begin(), good.begin() + static_cast<long>(dataStart));
    bad.insert(bad.end(), {2, static_cast<uint8_t>(stream), static_cast<uint8_t>(stream >> 8), 0, ';'});
    auto image = Load(bad);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetBits()[0], Opaque(layout.globalPalette[1]));
    for (size_t i = 1; i < image->PixelCount(); ++i) ASSERT_EQ(image->GetBits()[i], 0u) << i;
}

// A 34-byte GIF claiming 16384 x 16384 made the reader allocate and clear
// 1 GB. The code stream gives no bound before decoding, so the size limit
// is the bound: 8,192 per side.
TEST_F(GifFiles, TinyFileClaimingAHugeImageAllocatesNoMoreThanTheLimit) {
    GifLayout layout = Ramp(2, 2, 2, [](int i) { return i % 4; });
    Bytes tiny = testsupport::BuildGif(layout);
    const size_t d = 13 + 12 + 1 + 4;      // width field of the image descriptor (after a 4-entry table)
    const size_t streamStart = d + 5 + 1;  // after the descriptor and the minimum code size
    tiny.resize(streamStart);
    tiny.insert(tiny.end(), {0, ';'});  // an empty code stream
    for (auto [w, h, readable] :
         {std::tuple{16384, 16384, false}, std::tuple{8193, 1, false}, std::tuple{ImageData::kMaxSide, 2, true}}) {
        Bytes sized = tiny;
        sized[d] = static_cast<uint8_t>(w);
        sized[d + 1] = static_cast<uint8_t>(w >> 8);
        sized[d + 2] = static_cast<uint8_t>(h);
        sized[d + 3] = static_cast<uint8_t>(h >> 8);
        testsupport::WriteBytes(path_, sized);
        std::unique_ptr<ImageData> image;
        const int64_t largest = testsupport::LargestAllocationDuring([&] { image = GetGIFImage(path_); });
        EXPECT_EQ(image != nullptr, readable) << w << "x" << h << " in " << sized.size() << " bytes";
        EXPECT_LE(largest, testsupport::kLimitPixelBytes) << w << "x" << h;
    }
}

TEST_F(GifFiles, RandomCorruptionNeverCrashes) {
    Lcg rng(7);
    GifLayout layout = Ramp(40, 30, 6, [&](int) { return rng.Next() % 64; });
    layout.interlaced = true;
    layout.transparent = 5;
    layout.extensionsBeforeImage = true;
    const Bytes good = testsupport::BuildGif(layout);
    for (int trial = 0; trial < 400; ++trial) {
        Bytes broken = good;
        for (int k = 0; k < 3; ++k) broken[rng.Next() % broken.size()] = static_cast<uint8_t>(rng.Next());
        auto image = Load(broken);
        if (image) {
            EXPECT_LE(image->GetWidth(), ImageData::kMaxSide);
            EXPECT_LE(image->GetHeight(), ImageData::kMaxSide);
        }
    }
}

}  // namespace
