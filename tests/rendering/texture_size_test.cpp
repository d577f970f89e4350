// Texture sizes and piece layouts under the device's texture limits.
#include <gtest/gtest.h>

#include "rendering/device/display_layout.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/texture_tiles.h"

namespace {

TextureLimits Limits(bool pow2, int max, int aspect = 65536) {
    TextureLimits l;
    l.powerOfTwoOnly = pow2;
    l.maxWidth = l.maxHeight = max;
    l.minWidth = l.minHeight = 2;
    l.maxAspectRatio = aspect;
    return l;
}

// The rule written out by doubling: the smallest power of two at or above
// n, or the one below when rounding up wastes more than 64 texels.
int ExpectedTableEntry(int n) {
    int p = 1;
    while (p < n) p *= 2;
    return p - n > 64 ? p / 2 : p;
}

TEST(TextureSize, SizeTableRoundsUpOnlyWhenLittleIsWasted) {
    const TextureLimits limits = Limits(true, 2048);
    EXPECT_EQ(128, TextureSizeTableEntry(100, limits));
    EXPECT_EQ(128, TextureSizeTableEntry(129, limits));
    EXPECT_EQ(256, TextureSizeTableEntry(200, limits));
    EXPECT_EQ(256, TextureSizeTableEntry(300, limits));
    for (int n = 1; n < 2048; ++n) ASSERT_EQ(ExpectedTableEntry(n), TextureSizeTableEntry(n, limits)) << n;
}

TEST(TextureSize, NextPowerOfTwo) {
    EXPECT_EQ(1, NextPowerOfTwo(1));
    EXPECT_EQ(64, NextPowerOfTwo(44));
    EXPECT_EQ(64, NextPowerOfTwo(64));
    EXPECT_EQ(128, NextPowerOfTwo(65));
}

TEST(TextureSize, ChoicesForEachKindOfDevice) {
    int w = 101, h = 37;
    ChooseTextureSize(&w, &h, false, false, 0, Limits(false, 4096));
    EXPECT_EQ(102, w);  // non-power-of-two devices round up to even sizes
    EXPECT_EQ(38, h);
    w = 5000, h = 10;
    ChooseTextureSize(&w, &h, false, false, 0, Limits(false, 4094));
    EXPECT_EQ(4094, w);
    w = 300, h = 100;
    ChooseTextureSize(&w, &h, false, true, 0, Limits(true, 2048));
    EXPECT_EQ(256, w);
    EXPECT_EQ(128, h);
    w = 300, h = 100;
    ChooseTextureSize(&w, &h, false, true, kImageWholePieces, Limits(true, 2048));
    EXPECT_EQ(512, w);  // whole-image pieces always round up
    EXPECT_EQ(128, h);
    w = 44, h = 100;
    ChooseTextureSize(&w, &h, true, true, 0, Limits(true, 2048));
    EXPECT_EQ(64, w);  // edge pieces round up too
    w = 512, h = 16;
    ChooseTextureSize(&w, &h, false, true, 0, Limits(true, 2048, 8));
    EXPECT_EQ(512, w);
    EXPECT_EQ(64, h);  // only the smaller side grows for the aspect limit
    w = 1, h = 1;
    ChooseTextureSize(&w, &h, false, true, 0, Limits(true, 2048));
    EXPECT_EQ(2, w);  // the minimum size
}

struct LayoutCase {
    bool pow2;
    int max;
    int imageW, imageH;
    int cols, rows;
};

class TextureLayout : public ::testing::TestWithParam<LayoutCase> {};

// Every layout covers the image exactly: pieces of the full piece size
// tile it, the last column and row hold at least the remainder, and no
// texture breaks the device's limits.
TEST_P(TextureLayout, PiecesCoverTheImageWithinTheLimits) {
    const LayoutCase& c = GetParam();
    const TextureLimits limits = Limits(c.pow2, c.max);
    ImageSurface image;
    image.SetSize(c.imageW, c.imageH);
    TexturePieces pieces(&image);
    pieces.Layout(c.imageW, c.imageH, limits);
    ASSERT_EQ(c.cols, pieces.cols);
    ASSERT_EQ(c.rows, pieces.rows);
    ASSERT_EQ(static_cast<size_t>(c.cols * c.rows), pieces.pieces.size());
    for (int r = 0; r < pieces.rows; ++r) {
        for (int col = 0; col < pieces.cols; ++col) {
            const TexturePiece& p = pieces.pieces[static_cast<size_t>(r * pieces.cols + col)];
            const int needW = std::min(pieces.pieceWidth, c.imageW - col * pieces.pieceWidth);
            const int needH = std::min(pieces.pieceHeight, c.imageH - r * pieces.pieceHeight);
            EXPECT_GE(p.width, needW);
            EXPECT_GE(p.height, needH);
            EXPECT_LE(p.width, c.max);
            EXPECT_LE(p.height, c.max);
            if (c.pow2) {
                EXPECT_EQ(p.width, NextPowerOfTwo(p.width));
                EXPECT_EQ(p.height, NextPowerOfTwo(p.height));
            }
        }
    }
    EXPECT_FLOAT_EQ(static_cast<float>(c.imageW) / static_cast<float>(pieces.pieceWidth), pieces.textureScaleX);
}

INSTANTIATE_TEST_SUITE_P(Limits, TextureLayout,
                         ::testing::Values(LayoutCase{true, 2048, 300, 100, 2, 1},
                                           LayoutCase{false, 4094, 101, 37, 1, 1}, LayoutCase{true, 64, 200, 150, 4, 3},
                                           LayoutCase{false, 62, 200, 150, 4, 3}, LayoutCase{true, 32, 33, 33, 2, 2},
                                           LayoutCase{true, 2048, 1024, 768, 1, 2}));

TEST(TextureLayout, EdgePieceOfAPowerOfTwoDevice) {
    ImageSurface image;
    image.SetSize(300, 100);
    TexturePieces pieces(&image);
    pieces.Layout(300, 100, Limits(true, 2048));
    ASSERT_EQ(2u, pieces.pieces.size());
    EXPECT_EQ(256, pieces.pieces[0].width);
    EXPECT_EQ(128, pieces.pieces[0].height);
    EXPECT_EQ(64, pieces.pieces[1].width);  // 44 columns left, rounded up
    EXPECT_EQ(128, pieces.pieces[1].height);
}

TEST(TextureLayout, SheetsOfCelsGetCelSizedPieces) {
    ImageSurface image;
    image.SetSize(256, 64);
    image.SetRowsCols(2, 8);
    TexturePieces pieces(&image);
    pieces.Layout(256, 64, Limits(true, 2048));
    EXPECT_EQ(32, pieces.pieceWidth);
    EXPECT_EQ(32, pieces.pieceHeight);
    EXPECT_EQ(16u, pieces.pieces.size());
    // Odd cel sizes cannot be pieces of their own.
    ImageSurface odd;
    odd.SetSize(99, 33);
    odd.SetRowsCols(1, 3);
    TexturePieces oddPieces(&odd);
    oddPieces.Layout(99, 33, Limits(false, 4094));
    EXPECT_EQ(100, oddPieces.pieceWidth);
    EXPECT_EQ(1u, oddPieces.pieces.size());
}

}  // namespace
