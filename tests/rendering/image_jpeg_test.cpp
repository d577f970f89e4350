#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "foundation/files/pak_interface.h"
#include "rendering/imagefile/image_files.h"
#include "tests/rendering/image_test_support.h"

namespace {

using testsupport::Bytes;
using testsupport::TempDir;

// Smooth ramps, the kind JPEG keeps well (all within 0..255 for 64 x 48).
uint32_t Channel(int x, int y, int c) {
    int v = c == 0 ? 30 + x * 3 : c == 1 ? 20 + y * 4 : 100 + x + y;
    return static_cast<uint32_t>(v);
}

std::unique_ptr<ImageData> Gradient(int w, int h) {
    auto image = std::make_unique<ImageData>();
    EXPECT_TRUE(image->Allocate(w, h, false));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->Row(y)[x] = 0x7F000000u | Channel(x, y, 0) << 16 | Channel(x, y, 1) << 8 | Channel(x, y, 2);
    return image;
}

// Writes a JPEG straight through libjpeg with the given colour layout.
void WriteJpegDirect(const std::string& path, int w, int h, int components, J_COLOR_SPACE space,
                     int (*sample)(int x, int y, int c)) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    Bytes row(static_cast<size_t>(w * components));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < components; ++c)
                row[static_cast<size_t>(x * components + c)] = static_cast<uint8_t>(sample(x, y, c));
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(f);
}

// The first value of the first quantisation table in the file.
int FirstQuantValue(const Bytes& file) {
    for (size_t i = 2; i + 5 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xDB) return file[i + 5];
    return -1;
}

TEST(JpegFiles, RoundTripStaysWithinToleranceAtQualityEighty) {
    TempDir dir;
    auto image = Gradient(64, 48);
    const std::string path = dir.Path("photo.jpg");
    ASSERT_TRUE(WriteJPEGImage(path, *image));

    Bytes file = testsupport::ReadByteVector(path);
    ASSERT_GE(file.size(), 4u);
    EXPECT_EQ(file[0], 0xFF);
    EXPECT_EQ(file[1], 0xD8);
    // Quality 80 scales the standard luminance DC step 16 by 40%: (16 * 40 + 50) / 100.
    EXPECT_EQ(FirstQuantValue(file), (16 * 40 + 50) / 100);

    auto back = GetJPEGImage(path);
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->GetWidth(), 64);
    ASSERT_EQ(back->GetHeight(), 48);
    double total = 0;
    int worst = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            uint32_t p = back->Row(y)[x];
            ASSERT_EQ(p >> 24, 0xFFu);  // JPEG has no alpha: always opaque
            for (int c = 0; c < 3; ++c) {
                int got = static_cast<int>((p >> (16 - 8 * c)) & 0xFF);
                int diff = std::abs(got - static_cast<int>(Channel(x, y, c)));
                total += diff;
                worst = std::max(worst, diff);
            }
        }
    EXPECT_LT(total / (64 * 48 * 3), 2.0);
    EXPECT_LE(worst, 12);
}

TEST(JpegFiles, OneComponentGivesOpaqueGrey) {
    TempDir dir;
    const std::string path = dir.Path("grey.jpg");
    WriteJpegDirect(path, 16, 16, 1, JCS_GRAYSCALE, [](int x, int, int) { return x < 8 ? 60 : 200; });
    auto image = GetJPEGImage(path);
    ASSERT_NE(image, nullptr);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint32_t p = image->Row(y)[x];
            uint32_t g = p & 0xFF;
            EXPECT_EQ(p, 0xFF000000u | g << 16 | g << 8 | g);
            EXPECT_NEAR(static_cast<int>(g), x < 8 ? 60 : 200, 12);
        }
}

TEST(JpegFiles, FourComponentFileGivesNoImage) {
    TempDir dir;
    const std::string path = dir.Path("cmyk.jpg");
    WriteJpegDirect(path, 8, 8, 4, JCS_CMYK, [](int x, int y, int c) { return x * 20 + y + c; });
    EXPECT_EQ(GetJPEGImage(path), nullptr);
}

TEST(JpegFiles, HostileFilesNeverCrash) {
    TempDir dir;
    auto image = Gradient(32, 24);
    const std::string good = dir.Path("good.jpg");
    ASSERT_TRUE(WriteJPEGImage(good, *image));
    const Bytes bytes = testsupport::ReadByteVector(good);
    const std::string path = dir.Path("bad.jpg");

    EXPECT_EQ(GetJPEGImage(dir.Path("missing.jpg")), nullptr);
    testsupport::WriteBytes(path, Bytes{});
    EXPECT_EQ(GetJPEGImage(path), nullptr);
    Bytes magic = bytes;
    magic[1] = 0x00;
    testsupport::WriteBytes(path, magic);
    EXPECT_EQ(GetJPEGImage(path), nullptr);

    // A file cut inside the scan still shows what arrived; cut inside the
    // header it shows nothing. Either way the size is the header's.
    bool sawPartial = false;
    for (size_t n = 0; n < bytes.size(); n += 7) {
        testsupport::WriteBytes(path, Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n)));
        auto result = GetJPEGImage(path);
        if (!result) continue;
        EXPECT_EQ(result->GetWidth(), 32);
        EXPECT_EQ(result->GetHeight(), 24);
        sawPartial = true;
    }
    EXPECT_TRUE(sawPartial);

    // Frame header: FFC0, length, precision, then height and width.
    size_t sof = 0;
    for (size_t i = 2; i + 1 < bytes.size() && sof == 0; ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) sof = i;
    ASSERT_NE(sof, 0u);
    for (auto [w, h] : {std::pair{20000, 2}, std::pair{2, 16385}, std::pair{65000, 65000}}) {
        Bytes big = bytes;
        big[sof + 5] = static_cast<uint8_t>(h >> 8);
        big[sof + 6] = static_cast<uint8_t>(h);
        big[sof + 7] = static_cast<uint8_t>(w >> 8);
        big[sof + 8] = static_cast<uint8_t>(w);
        testsupport::WriteBytes(path, big);
        EXPECT_EQ(GetJPEGImage(path), nullptr) << w << "x" << h;
    }

    testsupport::Lcg rng(9);
    for (int trial = 0; trial < 200; ++trial) {
        Bytes broken = bytes;
        for (int k = 0; k < 4; ++k) broken[rng.Next() % broken.size()] = static_cast<uint8_t>(rng.Next());
        testsupport::WriteBytes(path, broken);
        auto result = GetJPEGImage(path);
        if (result) {
            EXPECT_LE(result->PixelCount(), size_t{1} << 28);
        }
    }
}

// Counts the reads that reach the file layer, for loose files as for packed ones.
class CountingPak : public PakInterface {
public:
    size_t Read(void* buffer, size_t elementSize, size_t count, PakFile* file) override {
        ++reads;
        return PakInterface::Read(buffer, elementSize, count, file);
    }
    int reads = 0;
};

// A marker segment with its two length bytes and `body` bytes after them.
Bytes Segment(uint8_t marker, size_t body) {
    const size_t length = body + 2;
    Bytes s = {0xFF, marker, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
    s.resize(s.size() + body, 0x20);
    return s;
}

// A skipped segment that claims more than the file holds used to be
// skipped two invented bytes at a time, each a read of the exhausted file.
TEST(JpegFiles, AMarkerRunningPastTheEndIsRejectedAfterAFewReads) {
    TempDir dir;
    const std::string path = dir.Path("short.jpg");
    Bytes file = {0xFF, 0xD8};
    Bytes segment = Segment(0xE1, 0xFFFD);  // the longest a length can say
    file.insert(file.end(), segment.begin(), segment.begin() + 12);
    testsupport::WriteBytes(path, file);

    CountingPak pak;
    ASSERT_EQ(GetPakPtr(), &pak);
    EXPECT_EQ(GetJPEGImage(path), nullptr);
    // The whole file in one read, then one that finds its end.
    EXPECT_LE(pak.reads, 3);

    // A long segment that the file does hold is skipped across refills as before.
    auto image = Gradient(16, 8);
    const std::string good = dir.Path("good.jpg");
    ASSERT_TRUE(WriteJPEGImage(good, *image));
    Bytes bytes = testsupport::ReadByteVector(good);
    const Bytes comment = Segment(0xFE, 60000);
    bytes.insert(bytes.begin() + 2, comment.begin(), comment.end());
    testsupport::WriteBytes(path, bytes);
    pak.reads = 0;
    auto back = GetJPEGImage(path);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetWidth(), 16);
    EXPECT_EQ(back->GetHeight(), 8);
    EXPECT_LE(static_cast<size_t>(pak.reads), bytes.size() / 4096 + 3);
}

}  // namespace
