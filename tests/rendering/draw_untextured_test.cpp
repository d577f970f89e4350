// Untextured drawing on the software device, checked by reading the draw
// buffer's pixels back.
#include <gtest/gtest.h>

#include "device_test_support.h"

namespace {

using plat::Call;
using testsupport::DeviceTest;

class DrawUntexturedTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        InitWindowed();
        BindDrawBuffer();
    }
    uint32_t Pixel(const std::vector<uint32_t>& px, int x, int y) const {
        return px[static_cast<size_t>(y) * host.screenW + x];
    }
    // Pixels that differ from 0 inside (0, 0) .. (w, h).
    int CountLit(const std::vector<uint32_t>& px, int w, int h) const {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) n += Pixel(px, x, y) != 0 ? 1 : 0;
        return n;
    }
    DrawState state;
};

TEST_F(DrawUntexturedTest, FillRectCoversExactlyItsPixels) {
    const Color blue = Color::FromRGB(0, 0, 255);
    d3d->FillRect(&blue, &state, Rect(0, 0, 10, 10));
    const std::vector<uint32_t> px = DrawBufferPixels();
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) EXPECT_EQ((x < 10 && y < 10) ? 0xFF0000FFu : 0u, Pixel(px, x, y)) << x << "," << y;
    EXPECT_EQ(100, CountLit(px, host.screenW, host.screenH));
}

TEST_F(DrawUntexturedTest, FillRectBlendsPremultipliedColourOverTarget) {
    const Color grey = Color::FromRGB(100, 100, 100);
    DrawState opaque;
    opaque.mode = kDrawOpaque;
    d3d->FillRect(&grey, &opaque, Rect(5, 7, 3, 4));
    // Half-transparent red in normal mode: src + dst * (255 - a) / 255 per channel.
    const Color red = Color::FromRGBA(255, 0, 0, 128);
    d3d->FillRect(&red, &state, Rect(5, 7, 3, 4));
    const int a = 128, r = 255 * a / 255;
    const int inv = 255 - a;
    const std::vector<uint32_t> px = DrawBufferPixels();
    const uint32_t got = Pixel(px, 6, 8);
    EXPECT_NEAR(r + 100 * inv / 255, static_cast<int>((got >> 16) & 0xFF), 1);
    EXPECT_NEAR(100 * inv / 255, static_cast<int>((got >> 8) & 0xFF), 1);
    EXPECT_NEAR(a + 255 * inv / 255, static_cast<int>(got >> 24), 1);
    EXPECT_EQ(12, CountLit(px, 20, 20));
}

TEST_F(DrawUntexturedTest, DrawLineWithFewerThanTwoPointsDrawsNothing) {
    plat::CallLog log;
    Device()->SetRecorder(&log);
    const Color white = Color::FromRGB(255, 255, 255);
    d3d->DrawLine(nullptr, &white, &state, {});
    d3d->DrawLine(nullptr, &white, &state, {5.0f, 5.0f});
    d3d->DrawLine(nullptr, &white, &state, {5.0f, 5.0f, 6.0f});  // an unpaired coordinate is no point
    Device()->SetRecorder(nullptr);
    EXPECT_EQ(0u, log.Count(Call::DrawPrimitive)) << log.Dump();
    EXPECT_TRUE(host.registry.empty());
    EXPECT_EQ(0, CountLit(DrawBufferPixels(), 20, 20));
}

TEST_F(DrawUntexturedTest, DrawLineLightsItsRowOnly) {
    const Color white = Color::FromRGB(255, 255, 255);
    d3d->DrawLine(nullptr, &white, &state, {2.0f, 5.0f, 9.0f, 5.0f, 9.0f, 9.0f});
    const std::vector<uint32_t> px = DrawBufferPixels();
    for (int x = 3; x < 9; ++x) EXPECT_EQ(0xFFFFFFFFu, Pixel(px, x, 5)) << x;
    for (int y = 6; y < 9; ++y) EXPECT_EQ(0xFFFFFFFFu, Pixel(px, 9, y)) << y;
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(0u, Pixel(px, x, 4));
        if (x < 9) {
            EXPECT_EQ(0u, Pixel(px, x, 7));
        }
    }
    EXPECT_TRUE(host.registry.empty());
}

TEST_F(DrawUntexturedTest, FillPolygonDropsTrianglesWithIndicesOutsideThePoints) {
    const Color green = Color::FromRGB(0, 255, 0);
    // A 6 x 4 rectangle at (3, 2) from two triangles, a third triangle naming
    // a point that does not exist, and two stray indices.
    const std::vector<float> xy = {0, 0, 6, 0, 6, 4, 0, 4};
    const std::vector<uint16_t> indices = {0, 1, 2, 0, 9, 3, 0, 2, 3, 1, 2};
    d3d->FillPolygon(nullptr, &green, &state, xy, indices, 2.5f, 1.5f);
    EXPECT_TRUE(host.registry.empty()) << host.registry.begin()->second;
    const std::vector<uint32_t> px = DrawBufferPixels();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ((x >= 3 && x < 9 && y >= 2 && y < 6) ? 0xFF00FF00u : 0u, Pixel(px, x, y)) << x << "," << y;
}

TEST_F(DrawUntexturedTest, ClearRectClearsOnlyItsRectangle) {
    const Color white = Color::FromRGB(255, 255, 255);
    d3d->FillRect(&white, &state, Rect(0, 0, 10, 10));
    d3d->ClearRect(Rect(2, 3, 4, 5));
    const std::vector<uint32_t> px = DrawBufferPixels();
    EXPECT_EQ(100 - 20, CountLit(px, 20, 20));
    EXPECT_EQ(0u, Pixel(px, 2, 3));
    EXPECT_EQ(0u, Pixel(px, 5, 7));
    EXPECT_EQ(0xFFFFFFFFu, Pixel(px, 6, 7));
}

TEST_F(DrawUntexturedTest, ClearStencilWithoutDepthSurfaceIsRecorded) {
    d3d->ClearStencil();
    ASSERT_EQ(1u, host.registry.count("Dure3V\\RuntimeError"));
    EXPECT_EQ(0u, host.registry["Dure3V\\RuntimeError"].rfind("Clear Stencil: ", 0));
}

TEST_F(DrawUntexturedTest, MinimisedWindowDrawsNothingIntoTheFrame) {
    host.minimised = true;
    d3d->Redraw();  // closes the scene
    BindDrawBuffer();
    const Color white = Color::FromRGB(255, 255, 255);
    d3d->FillRect(&white, &state, Rect(0, 0, 10, 10));
    host.minimised = false;
    EXPECT_EQ(0, CountLit(DrawBufferPixels(), 20, 20));
}

}  // namespace
