#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include "rendering/imagefile/image_files.h"
#include "tests/rendering/image_test_support.h"

namespace {

using testsupport::Bytes;
using testsupport::Lcg;
using testsupport::PngLayout;
using testsupport::TempDir;

uint32_t ArgbWord(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

std::unique_ptr<ImageData> RandomImage(int width, int height, uint32_t seed) {
    auto image = std::make_unique<ImageData>();
    EXPECT_TRUE(image->Allocate(width, height, false));
    Lcg rng(seed);
    for (size_t i = 0; i < image->PixelCount(); ++i) image->GetBits()[i] = rng.Next() * 2654435761u;
    return image;
}

// A 16-bit sample value that differs in both bytes across x, y and channel.
uint32_t Sample16(int x, int y, int channel) {
    return static_cast<uint32_t>(x * 4099 + y * 771 + channel * 12345 + 17) & 0xFFFF;
}

TEST(PngFiles, WrittenFileRoundTripsExactlyAndIsStandardRgba) {
    TempDir dir;
    auto image = RandomImage(37, 23, 1);
    const std::string path = dir.Path("shot.png");
    ASSERT_TRUE(WritePNGImage(path, *image));

    // Read back independently through libpng's simplified reader as R, G, B, A.
    png_image raw{};
    raw.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&raw, path.c_str()));
    raw.format = PNG_FORMAT_RGBA;
    Bytes rgba(PNG_IMAGE_SIZE(raw));
    ASSERT_TRUE(png_image_finish_read(&raw, nullptr, rgba.data(), 0, nullptr));
    ASSERT_EQ(raw.width, 37u);
    ASSERT_EQ(raw.height, 23u);
    for (size_t i = 0; i < image->PixelCount(); ++i) {
        uint32_t p = image->GetBits()[i];
        ASSERT_EQ(ArgbWord(rgba[i * 4 + 3], rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2]), p) << i;
    }

    auto back = GetPNGImage(path);
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->GetWidth(), 37);
    ASSERT_EQ(back->GetHeight(), 23);
    EXPECT_TRUE(std::equal(back->GetBits(), back->GetBits() + back->PixelCount(), image->GetBits()));
}

TEST(PngFiles, WriterRefusesEmptyImageAndUnwritablePath) {
    TempDir dir;
    ImageData empty;
    EXPECT_FALSE(WritePNGImage(dir.Path("empty.png"), empty));
    auto image = RandomImage(4, 4, 2);
    EXPECT_FALSE(WritePNGImage(dir.Path("no/such/folder/x.png"), *image));
}

TEST(PngFiles, SixteenBitChannelsDoNotOverflowRowBuffer) {
    TempDir dir;
    for (bool withAlpha : {false, true}) {
        PngLayout layout;
        layout.width = 19;
        layout.height = 7;
        layout.bitDepth = 16;
        layout.colorType = withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
        const int channels = withAlpha ? 4 : 3;
        for (int y = 0; y < layout.height; ++y) {
            Bytes row;
            for (int x = 0; x < layout.width; ++x)
                for (int c = 0; c < channels; ++c) {
                    uint32_t s = Sample16(x, y, c);
                    row.push_back(static_cast<uint8_t>(s >> 8));
                    row.push_back(static_cast<uint8_t>(s));
                }
            layout.rows.push_back(row);
        }
        const std::string path = dir.Path(withAlpha ? "deep_rgba.png" : "deep_rgb.png");
        testsupport::WritePngDirect(path, layout);

        auto image = GetPNGImage(path);
        ASSERT_NE(image, nullptr);
        ASSERT_EQ(image->GetWidth(), 19);
        for (int y = 0; y < layout.height; ++y)
            for (int x = 0; x < layout.width; ++x) {
                uint32_t a = withAlpha ? Sample16(x, y, 3) >> 8 : 0xFF;
                uint32_t expected = ArgbWord(a, Sample16(x, y, 0) >> 8, Sample16(x, y, 1) >> 8, Sample16(x, y, 2) >> 8);
                ASSERT_EQ(image->Row(y)[x], expected) << x << "," << y;
            }
    }
}

TEST(PngFiles, InterlacedPngDecodesEveryPixelInPlace) {
    TempDir dir;
    // Odd sizes leave some of the seven passes partly or wholly empty.
    for (auto [w, h] : {std::pair{13, 11}, std::pair{1, 1}, std::pair{3, 9}}) {
        PngLayout layout;
        layout.width = w;
        layout.height = h;
        layout.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        layout.interlaced = true;
        for (int y = 0; y < h; ++y) {
            Bytes row;
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 4; ++c) row.push_back(static_cast<uint8_t>(x * 19 + y * 7 + c * 61));
            layout.rows.push_back(row);
        }
        const std::string path = dir.Path("adam7.png");
        testsupport::WritePngDirect(path, layout);
        auto image = GetPNGImage(path);
        ASSERT_NE(image, nullptr);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                auto v = [&](int c) { return static_cast<uint32_t>((x * 19 + y * 7 + c * 61) & 0xFF); };
                ASSERT_EQ(image->Row(y)[x], ArgbWord(v(3), v(0), v(1), v(2)))
                    << w << "x" << h << " at " << x << "," << y;
            }
    }
}

TEST(PngFiles, GreyLowBitAndPaletteFilesExpandToArgb) {
    TempDir dir;
    PngLayout grey;  // 4-bit grey: two samples per byte, values 0..15 scale by 17
    grey.width = 6;
    grey.height = 2;
    grey.bitDepth = 4;
    grey.colorType = PNG_COLOR_TYPE_GRAY;
    grey.rows = {{0x01, 0x23, 0x45}, {0xFE, 0xDC, 0xBA}};
    testsupport::WritePngDirect(dir.Path("grey.png"), grey);
    auto g = GetPNGImage(dir.Path("grey.png"));
    ASSERT_NE(g, nullptr);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x) {
            uint32_t nibble = (grey.rows[y][x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF;
            EXPECT_EQ(g->Row(y)[x], ArgbWord(0xFF, nibble * 17, nibble * 17, nibble * 17));
        }

    PngLayout pal;  // 2-bit palette whose transparency chunk covers only the first two entries
    pal.width = 4;
    pal.height = 1;
    pal.bitDepth = 2;
    pal.colorType = PNG_COLOR_TYPE_PALETTE;
    pal.palette = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
    pal.paletteAlpha = {0x00, 0x80};
    pal.rows = {{0x1B}};  // indices 0, 1, 2, 3
    testsupport::WritePngDirect(dir.Path("pal.png"), pal);
    auto p = GetPNGImage(dir.Path("pal.png"));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Row(0)[0], 0x00102030u);
    EXPECT_EQ(p->Row(0)[1], 0x80405060u);
    EXPECT_EQ(p->Row(0)[2], 0xFF708090u);
    EXPECT_EQ(p->Row(0)[3], 0xFFA0B0C0u);

    PngLayout ga;  // grey with alpha
    ga.width = 2;
    ga.height = 1;
    ga.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    ga.rows = {{0x33, 0x44, 0xEE, 0x11}};
    testsupport::WritePngDirect(dir.Path("ga.png"), ga);
    auto q = GetPNGImage(dir.Path("ga.png"));
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->Row(0)[0], 0x44333333u);
    EXPECT_EQ(q->Row(0)[1], 0x11EEEEEEu);
}

// Rewrites the IHDR size fields and the chunk's CRC so that only the size is wrong.
Bytes WithHeaderSize(Bytes file, uint32_t width, uint32_t height) {
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
    };
    put32(16, width);
    put32(20, height);
    uLong crc = crc32(0, file.data() + 12, 17);  // chunk type and 13 data bytes
    put32(29, static_cast<uint32_t>(crc));
    return file;
}

// A 68-byte interlaced PNG claiming 16384 x 16384 made the reader allocate
// and clear 1 GB before reading any pixel. Rows say nothing of the size
// until they are decoded, so the size limit bounds what a header may ask.
TEST(PngFiles, TinyInterlacedFileClaimingAHugeImageAllocatesNoMoreThanTheLimit) {
    TempDir dir;
    PngLayout layout;
    layout.width = layout.height = 2;
    layout.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    layout.interlaced = true;
    layout.rows = {Bytes(8, 0x40), Bytes(8, 0x80)};
    const std::string small = dir.Path("small.png");
    testsupport::WritePngDirect(small, layout);
    const Bytes bytes = testsupport::ReadByteVector(small);
    const std::string path = dir.Path("claims.png");
    for (auto [w, h] : {std::pair{16384u, 16384u}, std::pair{8193u, 64u}}) {
        testsupport::WriteBytes(path, WithHeaderSize(bytes, w, h));
        std::unique_ptr<ImageData> image;
        const int64_t largest = testsupport::LargestAllocationDuring([&] { image = GetPNGImage(path); });
        EXPECT_EQ(image, nullptr) << w << "x" << h << " in " << bytes.size() << " bytes";
        EXPECT_LE(largest, testsupport::kLimitPixelBytes) << w << "x" << h;
    }
}

TEST(PngFiles, HostileFilesGiveNoImage) {
    TempDir dir;
    auto image = RandomImage(8, 8, 3);
    const std::string good = dir.Path("good.png");
    ASSERT_TRUE(WritePNGImage(good, *image));
    const Bytes bytes = testsupport::ReadByteVector(good);
    const std::string path = dir.Path("bad.png");

    EXPECT_EQ(GetPNGImage(dir.Path("missing.png")), nullptr);
    Bytes magic = bytes;
    magic[1] = 'Q';
    testsupport::WriteBytes(path, magic);
    EXPECT_EQ(GetPNGImage(path), nullptr);

    for (size_t n = 0; n < bytes.size() - 12; ++n) {  // the last 12 bytes are the end chunk
        testsupport::WriteBytes(path, Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n)));
        ASSERT_EQ(GetPNGImage(path), nullptr) << "cut at " << n;
    }

    for (auto [w, h] :
         {std::pair{8193u, 1u}, std::pair{1u, 16385u}, std::pair{0x7FFFFFFFu, 0x7FFFFFFFu}, std::pair{0u, 8u}}) {
        testsupport::WriteBytes(path, WithHeaderSize(bytes, w, h));
        EXPECT_EQ(GetPNGImage(path), nullptr) << w << "x" << h;
    }
    // The size check alone, at its limits: 8,192 per side, what the game's
    // largest images need.
    EXPECT_TRUE(ImageData::SizeAllowed(8192, 8192));
    EXPECT_FALSE(ImageData::SizeAllowed(8193, 2));
    EXPECT_FALSE(ImageData::SizeAllowed(2, 8193));
    EXPECT_FALSE(ImageData::SizeAllowed(0, 2));

    Lcg rng(4);
    for (int trial = 0; trial < 300; ++trial) {
        Bytes broken = bytes;
        for (int k = 0; k < 3; ++k) broken[rng.Next() % broken.size()] ^= static_cast<uint8_t>(1 + rng.Next() % 255);
        testsupport::WriteBytes(path, broken);
        auto result = GetPNGImage(path);
        if (result) {
            EXPECT_EQ(result->PixelCount(), 64u);
        }
    }
}

}  // namespace
