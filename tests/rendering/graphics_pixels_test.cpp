// Pixels drawn through the drawing context on the software device, checked
// against the blending formulas: premultiplied "over" (src + dst * (1 - src
// alpha)), modulation by the image colour (x * c / 255), additive
// accumulation off-screen, and the two-texture modulation of the blend draws.

#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/values/transform.h"
#include "image_surface_test_support.h"
#include "rendering/draw/graphics.h"
#include "tests/support/pixels.h"

namespace {

using namespace testsupport;

Argb Add(Argb x, Argb y) {
    return {std::min(255, x.a + y.a), std::min(255, x.r + y.r), std::min(255, x.g + y.g), std::min(255, x.b + y.b)};
}

class GraphicsPixelTest : public testsupport::ImageDeviceTest {
protected:
    void SetUp() override {
        ImageDeviceTest::SetUp();
        Start(plat::DeviceCaps{});
    }

    // The colour is given premultiplied.
    ImageSurface* Solid(int w, int h, Argb c) {
        ImageSurface* image = MakeImage(std::vector<uint32_t>(static_cast<size_t>(w) * h, Pack(c)), w, h);
        image->premultiplied = true;
        return image;
    }

    // Fills the whole draw buffer with an opaque colour.
    void Background(Argb c) {
        Graphics g(Target());
        g.SetColor(Color::FromRGBAFlag(c.r, c.g, c.b, c.a, true));
        g.FillRect(0, 0, host.screenW, host.screenH);
    }

    uint32_t At(int x, int y) { return Target()->GetBits()[static_cast<size_t>(y) * host.screenW + x]; }
};

TEST_F(GraphicsPixelTest, PlainDrawLandsTranslatedAndClipped) {
    const Argb red{255, 200, 30, 40};
    ImageSurface* sprite = Solid(20, 20, red);
    {
        Graphics g(Target());
        g.Translate(10, 5);
        g.SetClipRect(0, 0, 25, 12);                        // (10, 5) .. (35, 17)
        g.DrawImage(sprite, 8, 0, 0, FRect(0, 0, 20, 20));  // (18, 5) .. (38, 25)
    }
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) {
            const bool inside = x >= 18 && x < 35 && y >= 5 && y < 17;
            ASSERT_TRUE(Near(inside ? red : Argb{0, 0, 0, 0}, At(x, y), 0)) << x << "," << y;
        }
}

TEST_F(GraphicsPixelTest, TintedTranslucentImageBlendsOverTheBackground) {
    const Argb background{255, 40, 120, 200};
    const Argb texel{128, 100, 60, 20};  // premultiplied
    const Argb tint{255, 255, 128, 64};
    Background(background);
    ImageSurface* sprite = Solid(8, 8, texel);
    {
        Graphics g(Target());
        g.SetColorizeImages(true);
        g.SetColor(Color::FromRGBA(tint.r, tint.g, tint.b, tint.a));
        g.DrawImage(sprite, 30, 30, 0, FRect(0, 0, 8, 8));
    }
    EXPECT_TRUE(Near(Over(Modulate(texel, tint), background), At(33, 33), 2));
    EXPECT_TRUE(Near(background, At(29, 33), 0));
}

TEST_F(GraphicsPixelTest, BatchedDrawsStackByDrawOrderNotByCallOrder) {
    const Argb top{255, 250, 0, 0}, bottom{255, 0, 0, 250};
    ImageSurface* topImage = Solid(10, 10, top);
    ImageSurface* bottomImage = Solid(10, 10, bottom);
    {
        Graphics g(Target());
        g.SetBatching(true);
        g.OffsetDrawOrder(1);
        g.DrawImage(topImage, 5, 5, 0, FRect(0, 0, 10, 10));
        g.OffsetDrawOrder(-1);
        g.DrawImage(bottomImage, 10, 10, 0, FRect(0, 0, 10, 10));
        // Half off the left edge of the clip: only the visible half is queued.
        g.SetClipRect(40, 0, 100, 100);
        g.DrawImage(topImage, 35, 0, 0, FRect(0, 0, 10, 10));
    }
    EXPECT_TRUE(Near(top, At(12, 12), 0));  // overlap: the later order wins
    EXPECT_TRUE(Near(bottom, At(17, 17), 0));
    EXPECT_TRUE(Near(top, At(7, 7), 0));
    EXPECT_TRUE(Near({0, 0, 0, 0}, At(38, 5), 0));
    EXPECT_TRUE(Near(top, At(42, 5), 0));
}

TEST_F(GraphicsPixelTest, OffscreenDrawsAddUpAndCompositeOverTheDestination) {
    const Argb background{255, 0, 100, 200};
    const Argb first{100, 80, 20, 0}, second{100, 0, 40, 60};
    Background(background);
    ImageSurface* a = Solid(10, 10, first);
    ImageSurface* b = Solid(10, 10, second);
    {
        Graphics g(Target());
        g.SetOffscreen(true);
        g.DrawImage(a, 20, 20, 0, FRect(0, 0, 10, 10));
        g.DrawImage(b, 25, 20, 0, FRect(0, 0, 10, 10));
        g.SetOffscreen(false);
    }
    FreeScratchSurfaces();
    EXPECT_TRUE(Near(Over(first, background), At(22, 22), 2));
    EXPECT_TRUE(Near(Over(Add(first, second), background), At(27, 22), 2));
    EXPECT_TRUE(Near(Over(second, background), At(32, 22), 2));
    EXPECT_TRUE(Near(background, At(40, 22), 0));
}

// A screen capture holds the device's premultiplied pixels; drawn as straight
// alpha, a capture of an opaque frame faded to half came out at half
// brightness, and every transition built on a capture darkened midway.
TEST_F(GraphicsPixelTest, HalfFadedScreenCaptureKeepsItsBrightness) {
    const Argb frame{255, 100, 100, 100};
    Background(frame);
    std::unique_ptr<DeviceImage> shot = d3d->CaptureScreen();
    auto* capture = dynamic_cast<ImageSurface*>(shot.get());
    ASSERT_NE(nullptr, capture);
    EXPECT_TRUE(capture->IsPremultiplied());
    Target()->Clear();
    const Argb fade{128, 255, 255, 255};  // the fade colour, premultiplied
    {
        Graphics g(Target());
        g.SetColorizeImages(true);
        g.SetColor(Color::FromRGBAFlag(fade.r, fade.g, fade.b, fade.a, true));
        g.DrawImage(capture, 0, 0, 0, FRect(0, 0, 20, 20));
    }
    EXPECT_TRUE(Near(Over(Modulate(frame, fade), Argb{0, 0, 0, 0}), At(10, 10), 2));
}

// A blend shader that leaves the fixed pipeline's work in place: the image
// (first texture) modulated by the background copy (second texture).
class PassThroughShader : public DeviceShaderProgram {
public:
    void Apply() override { ++applied; }
    void Release() override {}
    int applied = 0;
};

// Only multiply has a shader. The shader is not registered with the device,
// so neither the device nor its table ever deletes it.
class BlendPixelTest : public GraphicsPixelTest {
protected:
    void SetUp() override {
        GraphicsPixelTest::SetUp();
        d3d->GetBlendShaders().Set(kDrawMultiply, &shader);
    }

    PassThroughShader shader;
};

TEST_F(BlendPixelTest, BlendDrawReadsTheDestinationUnderTheImage) {
    const Argb background{255, 200, 100, 50}, texel{255, 128, 255, 64};
    Background(background);
    ImageSurface* sprite = Solid(6, 6, texel);
    {
        Graphics g(Target());
        g.SetDrawMode(kDrawOverlay);  // no shader in the table: nothing drawn
        g.DrawToScratch(sprite, 0, FRect(0, 0, 6, 6), 10, 10);
        g.SetDrawMode(kDrawMultiply);
        g.Translate(40, 0);
        g.DrawToScratch(sprite, 0, FRect(0, 0, 6, 6), 10, 10);
    }
    EXPECT_TRUE(Near(background, At(12, 12), 0));
    EXPECT_TRUE(Near(Modulate(texel, background), At(52, 12), 2));
    EXPECT_TRUE(Near(background, At(49, 12), 0));
    EXPECT_GT(shader.applied, 0);
}

TEST_F(BlendPixelTest, BlendDrawsThroughScratchKeepTheImageWhenTheClipIsNotAtTheOrigin) {
    const Argb background{255, 60, 180, 240}, texel{255, 255, 128, 200};
    Background(background);
    ImageSurface* sprite = Solid(10, 10, texel);
    {
        Graphics g(Target());
        g.SetClipRect(40, 30, 50, 40);
        g.SetDrawMode(kDrawMultiply);
        Transform t;
        t.Scale(2, 2);  // 20 x 20 centred on (60, 50): (50, 40) .. (70, 60)
        g.DrawViaScratch(sprite, &t, FRect(0, 0, 10, 10), 60, 50, 0);
    }
    EXPECT_TRUE(Near(Modulate(texel, background), At(52, 42), 2));
    EXPECT_TRUE(Near(Modulate(texel, background), At(68, 58), 2));
    EXPECT_TRUE(Near(background, At(30, 50), 0));  // outside the clip: untouched
    EXPECT_TRUE(Near(background, At(60, 75), 0));
}

}  // namespace
