// A flushed batch gives the device's pixels however its quads are drawn:
// random quads of one image, at whole and half pixels, plain and turned, in
// several colours and modes, queued in one batch and flushed into the
// software draw buffer, against the same batch handed to the device. An
// image of several texture pieces, whose quads the device draws piece by
// piece, keeps that order.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "foundation/values/transform.h"
#include "rendering/draw/graphics.h"
#include "tests/rendering/device_only_target.h"
#include "tests/rendering/image_surface_test_support.h"

namespace {

class BatchRowsTest : public testsupport::ImageDeviceTest {
protected:
    struct Quad {
        float x = 0, y = 0;
        FRect source;
        Color color;
        int mode = kDrawNormal;
        float turn = 0;  // degrees; 0 queues a plain quad
    };

    // A translucent pattern, premultiplied as the game's images are.
    ImageSurface* PatternImage(int w, int h) {
        std::vector<uint32_t> px = testsupport::Pattern(w, h);
        for (size_t i = 0; i < px.size(); ++i)
            px[i] = (px[i] & 0x00FFFFFFu) | static_cast<uint32_t>(i * 29 % 256) << 24;
        ImageSurface* image = MakeImage(px, w, h);
        image->SetBits(px.data(), w, h, true);
        return image;
    }

    // Quads of at most `most` pixels a side, placed within `area` pixels of the screen's top-left.
    std::vector<Quad> RandomQuads(int imageW, int imageH, int count, int most, int area) {
        std::vector<Quad> quads;
        for (int i = 0; i < count; ++i) {
            Quad q;
            const int sw = Pick(1, std::min(most, imageW)), sh = Pick(1, std::min(most, imageH));
            q.source = FRect(static_cast<float>(Pick(0, imageW - sw)), static_cast<float>(Pick(0, imageH - sh)),
                             static_cast<float>(sw), static_cast<float>(sh));
            q.x = static_cast<float>(Pick(-10, std::min(area, host.screenW) - 10));
            q.y = static_cast<float>(Pick(-10, std::min(area, host.screenH) - 10));
            if (Pick(0, 5) == 0) q.x += 0.5f;  // between pixels: the device's to draw
            q.color = Pick(0, 2) == 0 ? Color::White
                                      : Color::FromRGBA(Pick(0, 255), Pick(0, 255), Pick(0, 255), Pick(0, 255));
            if (Pick(0, 7) == 0) q.mode = kDrawAdditive;
            if (Pick(0, 9) == 0) q.turn = static_cast<float>(Pick(1, 359));
            quads.push_back(q);
        }
        return quads;
    }

    std::vector<uint32_t> Draw(ImageSurface* image, const std::vector<Quad>& quads, bool deviceOnly) {
        {
            Graphics clear(Target());
            clear.SetColor(Color::FromRGBAFlag(40, 60, 80, 255, true));
            clear.FillRect(0, 0, host.screenW, host.screenH);
        }
        testsupport::DeviceOnlyTarget device(*Target());
        Graphics g(deviceOnly ? static_cast<ImageRenderTarget*>(&device) : Target());
        g.SetBatching(true);
        g.SetColorizeImages(true);
        for (const Quad& q : quads) {
            g.SetDrawMode(q.mode);
            g.SetColor(q.color);
            if (q.turn == 0) {
                g.DrawImage(image, q.x, q.y, 0, q.source);
            } else {
                Transform t;
                t.Rotate(q.turn, 0, 0, 1);
                g.DrawImageTransform(image, &t, q.source, q.x, q.y, 0);
            }
        }
        g.FlushBatch();
        return DrawBufferPixels();
    }

    void ExpectTheDevicesPixels(ImageSurface* image, int imageW, int imageH, int most, int area) {
        for (int round = 0; round < 4; ++round) {
            const std::vector<Quad> quads = RandomQuads(imageW, imageH, 80, most, area);
            // Drawn once before, so the image's pieces are made for both draws alike.
            Draw(image, quads, true);
            const std::vector<uint32_t> device = Draw(image, quads, true);
            const std::vector<uint32_t> flushed = Draw(image, quads, false);
            ASSERT_EQ(device.size(), flushed.size());
            size_t differing = 0, inked = 0;
            for (size_t i = 0; i < device.size(); ++i) {
                differing += device[i] != flushed[i];
                inked += device[i] != 0xFF283C50u;
            }
            EXPECT_EQ(differing, 0u) << "round " << round;
            EXPECT_GT(inked, 500u) << "round " << round;  // the quads reached the screen
        }
    }

    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }

    std::mt19937 random{20261210};
};

TEST_F(BatchRowsTest, OnePieceImageGivesTheDevicesPixels) {
    Start(plat::DeviceCaps{});
    ExpectTheDevicesPixels(PatternImage(48, 40), 48, 40, 48, 10000);
}

TEST_F(BatchRowsTest, ImageOfSeveralPiecesKeepsTheDevicesOrder) {
    Start(testsupport::Caps(false, 32));
    ImageSurface* image = PatternImage(60, 50);
    // Small quads crowded together, each within one piece, overlap quads of other pieces.
    ExpectTheDevicesPixels(image, 60, 50, 12, 40);
    ASSERT_NE(image->GetTextures(), nullptr);
    EXPECT_GT(image->GetTextures()->pieces.size(), 1u);
}

}  // namespace
