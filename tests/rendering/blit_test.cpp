// Blitters on the software device: pixels read back from the draw buffer,
// device calls counted through the recorder.
#include <gtest/gtest.h>

#include "image_surface_test_support.h"
#include "rendering/image/blitters.h"

namespace {

using plat::Call;
using testsupport::ImageDeviceTest;
using testsupport::PatternPixel;

class BlitTest : public ImageDeviceTest {
protected:
    // An image split into 2 x 2 pieces: 64-texel textures on a
    // power-of-two device, 100 x 80 pixels.
    ImageSurface* FourPieceImage() {
        ImageSurface* image = MakeImage(testsupport::Pattern(100, 80), 100, 80);
        EXPECT_TRUE(PrepareImageTexture(*d3d, image));
        EXPECT_EQ(4u, image->GetTextures()->pieces.size());
        return image;
    }
    void ExpectDrawn(const std::vector<uint32_t>& px, int atX, int atY, const FRect& src) {
        for (int y = 0; y < static_cast<int>(src.h); ++y)
            for (int x = 0; x < static_cast<int>(src.w); ++x)
                ASSERT_EQ(PatternPixel(static_cast<int>(src.x) + x, static_cast<int>(src.y) + y),
                          Pixel(px, atX + x, atY + y))
                    << x << "," << y;
    }
    int LitPixels(const std::vector<uint32_t>& px) {
        int n = 0;
        for (uint32_t p : px) n += p != 0;
        return n;
    }
    plat::CallLog log;
};

TEST_F(BlitTest, FourPieceImageIsReproducedExactly) {
    Start(testsupport::Caps(true, 64));
    ImageSurface* image = FourPieceImage();
    Target()->DrawImage(image, 10, 20, FRect(0, 0, 100, 80), Color::White, &state);
    const std::vector<uint32_t> px = DrawBufferPixels();
    ExpectDrawn(px, 10, 20, FRect(0, 0, 100, 80));
    EXPECT_EQ(100 * 80, LitPixels(px));
}

TEST_F(BlitTest, SourceAcrossAPieceEdgeDrawsTwoQuadsThatMeet) {
    Start(testsupport::Caps(true, 64));
    ImageSurface* image = FourPieceImage();
    Device()->SetRecorder(&log);
    Target()->DrawImage(image, 0, 0, FRect(50, 10, 30, 20), Color::White, &state);
    Device()->SetRecorder(nullptr);
    EXPECT_EQ(2u, log.Count(Call::DrawPrimitive));
    ExpectDrawn(DrawBufferPixels(), 0, 0, FRect(50, 10, 30, 20));
}

TEST_F(BlitTest, EmptySourceIssuesNoDeviceCall) {
    Start(testsupport::Caps(true, 64));
    ImageSurface* image = FourPieceImage();
    Device()->SetRecorder(&log);
    Blt(*d3d, image, 0, 0, FRect(0, 0, 0, 10), Color::White, &state);
    Device()->SetRecorder(nullptr);
    EXPECT_TRUE(log.Calls().empty()) << log.Dump();
}

// A source reaching past the image (a bad frame or cel record) used to pick
// pieces of the next row or walk without end; only the inside is drawn now.
TEST_F(BlitTest, SourceOutsideTheImageIsClippedNotWrappedOrLooped) {
    Start(testsupport::Caps(true, 64));
    ImageSurface* image = FourPieceImage();
    Target()->DrawImage(image, 0, 0, FRect(90, 70, 40, 40), Color::White, &state);
    std::vector<uint32_t> px = DrawBufferPixels();
    ExpectDrawn(px, 0, 0, FRect(90, 70, 10, 10));
    EXPECT_EQ(100, LitPixels(px));
    Target()->Clear();
    Target()->DrawImage(image, 0, 0, FRect(300, 0, 50, 50), Color::White, &state);
    // The destination moves with the clipped source: image pixel (0, 0) lands at (0, 0).
    Target()->DrawImage(image, -1000, -1000, FRect(-1000, -1000, 3000, 3000), Color::White, &state);
    Target()->DrawImage(image, 0, 0, FRect(0, 0, 1e-6f, 1e30f), Color::White, &state);
    px = DrawBufferPixels();
    EXPECT_EQ(100 * 80, LitPixels(px));  // only the huge rectangle drew, clipped to the image
}

TEST_F(BlitTest, GetPieceAtAnswersNullOutsideTheGrid) {
    Start(testsupport::Caps(true, 64));
    ImageSurface* image = FourPieceImage();
    const TexturePieces& pieces = *image->GetTextures();
    PiecePart part;
    ASSERT_TRUE(GetPieceAt(pieces, 70, 10, 100, 5, &part));
    EXPECT_EQ(1, part.index);
    EXPECT_FLOAT_EQ(58.0f, part.width);  // up to the texture's edge; the walk clips to the image first
    EXPECT_FALSE(GetPieceAt(pieces, 130, 10, 5, 5, &part));  // right of the grid, not the next row
    EXPECT_FALSE(GetPieceAt(pieces, -1, 10, 5, 5, &part));
    EXPECT_FALSE(GetPieceAt(pieces, 10, 200, 5, 5, &part));
}

TEST_F(BlitTest, TransformedBlitIsCentredOnItsPosition) {
    Start(testsupport::Caps(false, 4096));
    ImageSurface* image = MakeImage(testsupport::Pattern(20, 10), 20, 10);
    Matrix4 identity;
    Target()->DrawImageTransformed(image, 50, 40, identity, nullptr, Color::White, &state, FRect(0, 0, 20, 10));
    ExpectDrawn(DrawBufferPixels(), 40, 35, FRect(0, 0, 20, 10));
}

TEST_F(BlitTest, MaskedBlitMultipliesByTheMask) {
    Start(testsupport::Caps(false, 4096));
    ImageSurface* image = MakeImage(std::vector<uint32_t>(16 * 16, 0xFFFFFFFFu), 16, 16);
    std::vector<uint32_t> maskPx(16 * 16, 0);
    for (int i = 0; i < 16 * 8; ++i) maskPx[static_cast<size_t>(i)] = 0xFFFFFFFFu;  // top half opaque
    ImageSurface* mask = MakeImage(maskPx, 16, 16);
    Target()->DrawImageMasked(image, 0, 0, FRect(0, 0, 16, 16), mask, FRect(0, 0, 16, 16), Color::White, &state);
    const std::vector<uint32_t> px = DrawBufferPixels();
    EXPECT_EQ(0xFFFFFFFFu, Pixel(px, 3, 2));
    EXPECT_EQ(0u, Pixel(px, 3, 12));
}

// A script's mask rectangle may lie anywhere: outside a multi-piece mask
// nothing is drawn, and no rectangle makes the walk go on for ever.
TEST_F(BlitTest, MaskRectangleOutsideTheMaskDrawsNothing) {
    Start(testsupport::Caps(true, 64));
    ImageSurface* image = MakeImage(std::vector<uint32_t>(16 * 16, 0xFFFFFFFFu), 16, 16);
    ImageSurface* mask = FourPieceImage();
    Target()->DrawImageMasked(image, 0, 0, FRect(0, 0, 16, 16), mask, FRect(500, -300, 16, 16), Color::White, &state);
    Target()->DrawImageMasked(image, 0, 0, FRect(0, 0, 16, 16), mask, FRect(60, 0, 16, 16), Color::White, &state);
    Target()->DrawImageMaskedClipped(image, 0, 0, FRect(0, 0, 0, 16), mask, FRect(0, 0, 16, 16), FRect(0, 0, 100, 100),
                                     Color::White, &state);
    const std::vector<uint32_t> px = DrawBufferPixels();
    EXPECT_EQ(0, LitPixels(px));
}

TEST_F(BlitTest, QuadBatchIsOneDrawPerPiece) {
    Start(testsupport::Caps(true, 64));
    ImageSurface* image = FourPieceImage();
    std::vector<QuadBatchItem> items(3);
    for (QuadBatchItem& item : items) item.color = Color::White;
    items[0].x = 0, items[0].y = 0, items[0].source = FRect(0, 0, 10, 10);
    items[1].x = 20, items[1].y = 0, items[1].source = FRect(60, 0, 10, 10);  // two pieces
    items[2].x = 40, items[2].y = 0, items[2].source = FRect(5, 5, 0, 10);    // nothing
    Device()->SetRecorder(&log);
    Target()->DrawTriangles(image, items, &state);
    Device()->SetRecorder(nullptr);
    EXPECT_EQ(2u, log.Count(Call::DrawIndexedPrimitive));
    const std::vector<uint32_t> px = DrawBufferPixels();
    ExpectDrawn(px, 0, 0, FRect(0, 0, 10, 10));
    ExpectDrawn(px, 20, 0, FRect(60, 0, 10, 10));
}

// 16-bit indices used to wrap past 65,536 vertices, drawing the later
// quads with the first quads' corners.
TEST_F(BlitTest, QuadBatchPast65536VerticesSplitsInsteadOfWrapping) {
    Start(testsupport::Caps(false, 4096));
    ImageSurface* image = MakeImage(testsupport::Pattern(4, 4), 4, 4);
    std::vector<QuadBatchItem> items(20000);  // 80,000 vertices
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].x = static_cast<float>(i % 80) * 4;
        items[i].y = static_cast<float>(i / 80 % 60) * 4;
        items[i].source = FRect(0, 0, 4, 4);
        items[i].color = Color::White;
    }
    items.back().x = 300, items.back().y = 200;
    Device()->SetRecorder(&log);
    Target()->DrawTriangles(image, items, &state);
    Device()->SetRecorder(nullptr);
    EXPECT_EQ(2u, log.Count(Call::DrawIndexedPrimitive));
    ExpectDrawn(DrawBufferPixels(), 300, 200, FRect(0, 0, 4, 4));
}

TEST_F(BlitTest, MaskedBatchNeedsASinglePieceMask) {
    Start(testsupport::Caps(true, 64));
    ImageSurface* image = MakeImage(std::vector<uint32_t>(16 * 16, 0xFFFFFFFFu), 16, 16);
    ImageSurface* mask = FourPieceImage();
    std::vector<MaskedBatchItem> items(1);
    items[0].source = FRect(0, 0, 16, 16);
    items[0].maskSource = FRect(0, 0, 16, 16);
    items[0].color = Color::White;
    Device()->SetRecorder(&log);
    Target()->DrawMaskedTriangles(image, mask, items, &state);
    Device()->SetRecorder(nullptr);
    EXPECT_EQ(0u, log.Count(Call::DrawIndexedPrimitive));
    ImageSurface* wholeMask = MakeImage(std::vector<uint32_t>(16 * 16, 0xFFFFFFFFu), 16, 16);
    Target()->DrawMaskedTriangles(image, wholeMask, items, &state);
    EXPECT_EQ(0xFFFFFFFFu, Pixel(DrawBufferPixels(), 8, 8));
}

TEST_F(BlitTest, MeshVertexColourZeroTakesTheDrawColour) {
    Start(testsupport::Caps(false, 4096));
    ImageSurface* image = MakeImage(std::vector<uint32_t>(8 * 8, 0xFFFFFFFFu), 8, 8);
    // Two triangles side by side, the right one with a colour of its own.
    const std::vector<MeshVertex> v = {{0, 0, 0, 0, 0},
                                       {10, 0, 1, 0, 0},
                                       {0, 10, 0, 1, 0},
                                       {20, 0, 0, 0, 0xFF00FF00u},
                                       {30, 0, 1, 0, 0xFF00FF00u},
                                       {20, 10, 0, 1, 0xFF00FF00u}};
    Target()->DrawImageMesh(image, v, {0, 1, 2, 3, 4, 5}, 0, 0, Color::FromRGB(255, 0, 0), &state, nullptr);
    const std::vector<uint32_t> px = DrawBufferPixels();
    EXPECT_EQ(0xFFFF0000u, Pixel(px, 2, 2));
    EXPECT_EQ(0xFF00FF00u, Pixel(px, 22, 2));
}

TEST_F(BlitTest, GridMeshCountsAndSplitsLargeGrids) {
    Start(testsupport::Caps(false, 4096));
    ImageSurface* image = MakeImage(testsupport::Pattern(20, 10), 20, 10);
    GridMeshArgs args;
    args.source = FRect(0, 0, 20, 10);
    args.cols = 2;
    args.rows = 1;
    args.x = 10;
    args.y = 5;
    Device()->SetRecorder(&log);
    Target()->DrawImageGridMesh(image, args, nullptr, Color::White, &state);
    ASSERT_EQ(1u, log.Count(Call::DrawIndexedPrimitive));
    for (const plat::RecordedCall& c : log.Calls())
        if (c.call == Call::DrawIndexedPrimitive) {
            EXPECT_EQ(4u, c.b);  // triangles
            EXPECT_EQ(6u, c.c);  // vertices
        }
    ExpectDrawn(DrawBufferPixels(), 0, 0, FRect(0, 0, 20, 10));
    // 300 x 300 cells need 90,601 vertices: more than one draw.
    log.Clear();
    args.cols = args.rows = 300;
    Target()->DrawImageGridMesh(image, args, nullptr, Color::White, &state);
    Device()->SetRecorder(nullptr);
    EXPECT_EQ(2u, log.Count(Call::DrawIndexedPrimitive));
    ExpectDrawn(DrawBufferPixels(), 0, 0, FRect(0, 0, 20, 10));
}

}  // namespace
