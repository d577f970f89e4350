// Packed cel storage: round trips of the three forms, run limits and the
// decoders' safety on damaged data.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "image_surface_test_support.h"
#include "rendering/image/image_packed.h"

namespace {

std::vector<uint32_t> Unpacked(const PackedCelRecord& record, size_t count) {
    std::vector<uint32_t> out(count, 0xDEADBEEFu);
    UnpackCel(record, out.data(), static_cast<int>(count));
    return out;
}

// The A4R4G4B4 image of a pixel as the packer keeps it: the top nibble of
// each channel, widened back by shifting it into the top of its byte.
uint32_t Nibbles(uint32_t p) { return p & 0xF0F0F0F0u; }

// A cel with long transparent runs, short ones and opaque pixels in few colours.
std::vector<uint32_t> RunnyCel(size_t count) {
    std::vector<uint32_t> px(count, 0);
    for (size_t i = 0; i < count; ++i) {
        if (i < 70000) continue;  // a run longer than any 16-bit count
        if (i % 7 == 0) continue;
        px[i] = 0xFF000000u | static_cast<uint32_t>((i % 5) * 0x303030);
    }
    return px;
}

class PackedRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(PackedRoundTrip, LongTransparentRunsSurvive) {
    const int kind = GetParam();
    const std::vector<uint32_t> px = RunnyCel(80000);
    PackedCelRecord record;
    ASSERT_TRUE(PackCel(px.data(), static_cast<int>(px.size()), kind, &record));
    EXPECT_EQ(kind, record.kind);
    const std::vector<uint32_t> out = Unpacked(record, px.size());
    for (size_t i = 0; i < px.size(); ++i) ASSERT_EQ(kind == 4 ? px[i] : Nibbles(px[i]), out[i]) << "pixel " << i;
}

INSTANTIATE_TEST_SUITE_P(Kinds, PackedRoundTrip, ::testing::Values(4, 2, 1));

TEST(PackedCel, TwoByteRunsAreCutAt4096) {
    const std::vector<uint32_t> px(5000, 0);
    PackedCelRecord record;
    ASSERT_TRUE(PackCel(px.data(), 5000, 2, &record));
    ASSERT_EQ(2, record.count);
    uint16_t units[2];
    std::memcpy(units, record.data.data(), sizeof units);
    EXPECT_EQ(4095, units[0]);
    EXPECT_EQ(903, units[1]);
}

// Run counts of the one-byte form were read back as signed 16-bit numbers,
// so a run of more than 32,768 pixels came out negative.
TEST(PackedCel, OneByteRunsAbove32768ReadBackUnsigned) {
    std::vector<uint32_t> px(50000, 0);
    px.back() = 0xFFFFFFFFu;
    PackedCelRecord record;
    ASSERT_TRUE(PackCel(px.data(), 50000, 1, &record));
    EXPECT_EQ(4, record.count);  // one run of 49,999 and one index byte
    const std::vector<uint32_t> out = Unpacked(record, px.size());
    EXPECT_EQ(0u, out[49998]);
    EXPECT_EQ(0xF0F0F0F0u, out[49999]);
}

// A four-byte cel wrote transparent pixels with colour bits as they were,
// and the decoder then read such a pixel as a run of that many pixels.
TEST(PackedCel, FourByteAlphaZeroPixelsArePackedAsTransparent) {
    const std::vector<uint32_t> px = {0xFF112233u, 0x00FFFFFFu, 0x00000005u, 0xFF445566u};
    PackedCelRecord record;
    ASSERT_TRUE(PackCel(px.data(), 4, 4, &record));
    const std::vector<uint32_t> out = Unpacked(record, 4);
    EXPECT_EQ((std::vector<uint32_t>{0xFF112233u, 0, 0, 0xFF445566u}), out);
}

TEST(PackedCel, DamagedRunsNeverWritePastTheCel) {
    PackedCelRecord record;
    record.kind = 4;
    const uint32_t units[] = {0x00FFFFFFu, 0xFFFFFFFFu};  // a run of 16 million pixels
    record.data.assign(reinterpret_cast<const uint8_t*>(units), reinterpret_cast<const uint8_t*>(units) + 8);
    record.count = 1000;  // more entries than the data holds
    std::vector<uint32_t> out(17, 0xDEADBEEFu);
    UnpackCel(record, out.data(), 16);
    EXPECT_EQ(0u, out[15]);
    EXPECT_EQ(0xDEADBEEFu, out[16]);
    record.kind = 1;
    record.data = {0xFF, 0x10};  // a run marker cut short
    record.count = 2;
    UnpackCel(record, out.data(), 16);
    EXPECT_EQ(0u, out[0]);
    EXPECT_EQ(0xDEADBEEFu, out[16]);
}

// The palette form has 254 usable indices (0xFF starts a run); a cel with
// more colours used to overflow the palette.
TEST(PackedCel, ImagesWithMoreThan254ColoursTakeTheTwoByteForm) {
    ImageSurface image;
    image.SetFlags(kImagePacked | kImagePalette | kImageFormat4444);
    image.SetRowsCols(1, 2);
    std::vector<uint32_t> px(2 * 300, 0);
    for (uint32_t i = 0; i < 300; ++i)  // cel 0: 300 colours, distinct in their top nibbles
        px[i] = 0xFF000000u | (i & 0xF) << 4 | ((i >> 4) & 0xF) << 12 | ((i >> 8) & 0xF) << 20;
    for (int i = 300; i < 600; ++i) px[static_cast<size_t>(i)] = (i % 2) ? 0xFFFFFFFFu : 0u;  // cel 1: 1 colour
    // Cels side by side: the image is 600 x 1 with two 300 x 1 cels.
    image.SetBits(px.data(), 600, 1, false);
    ASSERT_EQ(2u, image.GetPackedCels().size());
    EXPECT_EQ(2, image.GetPackedCels()[0].kind);
    EXPECT_EQ(1, image.GetPackedCels()[1].kind);
    EXPECT_FALSE(image.HasBits());
    EXPECT_EQ(nullptr, image.GetBits());
    EXPECT_EQ(0u, image.GetPixel(1, 0, 0));  // packed images answer 0
    for (int cel = 0; cel < 2; ++cel) {
        const std::vector<uint32_t> out = Unpacked(image.GetPackedCels()[static_cast<size_t>(cel)], 300);
        for (int i = 0; i < 300; ++i)
            ASSERT_EQ(Nibbles(px[static_cast<size_t>(cel * 300 + i)]), out[static_cast<size_t>(i)]) << cel << "/" << i;
    }
}

class PackedUploadTest : public testsupport::ImageDeviceTest {};

// A packed sheet draws each cel from its own texture.
TEST_F(PackedUploadTest, PackedCelsDrawTheirPixels) {
    Start(testsupport::Caps(false, 4096));
    const std::vector<uint32_t> px = testsupport::Pattern(32, 16);
    ImageSurface* image = MakeImage({}, 0, 0, kImagePacked);
    image->SetRowsCols(1, 2);
    image->SetBits(px.data(), 32, 16, false);
    for (int cel = 0; cel < 2; ++cel) {
        float x = 0, y = 0;
        FRect source(0, 0, 16, 16);
        ImageSurface* surface = image->ResolveCel(cel, &x, &y, &source, nullptr);
        ASSERT_EQ(image, surface);
        Target()->DrawImage(surface, static_cast<float>(cel * 20), 0, source, Color::White, &state);
    }
    const std::vector<uint32_t> out = DrawBufferPixels();
    for (int cel = 0; cel < 2; ++cel)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(testsupport::PatternPixel(cel * 16 + x, y), Pixel(out, cel * 20 + x, y)) << cel;
}

// The row form against the pixel one for every alpha and every byte in each
// colour place: c * a / 255 rounded down, the pixel itself at alpha 255 and
// nothing at alpha 0, whatever its colour bytes hold.
TEST(Premultiply, TheRowFormIsThePixelFormForEveryAlphaAndByte) {
    std::vector<uint32_t> pixels;
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t c = 0; c < 256; ++c) {
            pixels.push_back(a << 24 | c << 16 | (255 - c) << 8 | (c ^ 0x5Au));
            pixels.push_back(a << 24 | (c * 7 & 0xFFu) << 16 | c << 8 | (255 - c));
        }
    std::vector<uint32_t> row(pixels.size() + 1, 0xDEADBEEFu);
    PremultiplyRow(pixels.data(), row.data(), pixels.size());
    int differing = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
        if (row[i] != PremultiplyPixel(pixels[i]) && ++differing <= 5)
            ADD_FAILURE() << std::hex << pixels[i] << " -> " << row[i] << ", not " << PremultiplyPixel(pixels[i]);
    EXPECT_EQ(0, differing);
    EXPECT_EQ(0xDEADBEEFu, row.back());  // nothing past the row
}

}  // namespace
