// What a dynamic widget draws on the software device, checked pixel by pixel
// against formulas: premultiplied "over" onto a cleared buffer, modulation
// by the colour (x * c / 255), the extra additive pass of factors above 1,
// transforms about the middle, clips, masks, post-render colouring of a
// subtree and the subtree cache.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "dynamic_widget_test_support.h"
#include "rendering/draw/graphics.h"
#include "tests/rendering/image_surface_test_support.h"
#include "tests/support/pixels.h"
#include "widgets/tree/widget_host.h"

namespace {

using namespace testsupport;

// Colour factors as the drawing context turns them into bytes.
int Byte(float f) { return static_cast<int>(f * 255.0f + 0.5f); }

class DynamicPixelTest : public testsupport::ImageDeviceTest {
protected:
    void SetUp() override {
        ImageDeviceTest::SetUp();
        Start(plat::DeviceCaps{});
    }
    void TearDown() override {
        widgetHost.DeleteDeferred();
        ImageDeviceTest::TearDown();
    }

    ImageSurface* Keep(std::unique_ptr<ImageSurface> image) {
        images.push_back(std::move(image));
        return images.back().get();
    }

    // Draws the widget as the tree would: translated to its position.
    void Draw(DynamicWidget& w) {
        Graphics g(Target());
        g.Translate(w.GetX(), w.GetY());
        PassFlags flags;
        flags.normal = pass_flag::kDraw;
        w.DrawAll(flags, &g);
    }

    void Clear() {
        Graphics g(Target());
        g.ClearRect(0, 0, host.screenW, host.screenH);
    }

    uint32_t At(int x, int y) { return Target()->GetBits()[static_cast<size_t>(y) * host.screenW + x]; }

    // Removed widgets wait here until the test ends; the screen is the
    // device host's.
    NullWidgetHost widgetHost;
    ScopedService<WidgetHost> widgetHostInstalled{&widgetHost};

    static uint32_t PatternPixel(int x, int y) {
        return 0xFF000000u | static_cast<uint32_t>(20 + x * 23) << 16 | static_cast<uint32_t>(30 + y * 19) << 8 |
               static_cast<uint32_t>(x * 7 + y * 5);
    }
};

TEST_F(DynamicPixelTest, ImageLandsAtThePositionWithItsOwnPixels) {
    ImageSurface* image = Keep(testsupport::MakeImage(10, 8, PatternPixel));
    DynamicWidget w(20, 30, image, 1.0f);
    Draw(w);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_TRUE(Near(Unpack(PatternPixel(x, y)), At(20 + x, 30 + y), 0));
    EXPECT_EQ(At(19, 30), 0u);
    EXPECT_EQ(At(30, 30), 0u);
    EXPECT_EQ(At(20, 38), 0u);
}

TEST_F(DynamicPixelTest, TesselatedImageDrawsTheSamePixelsInPlace) {
    ImageSurface* image = Keep(testsupport::MakeImage(12, 8, PatternPixel));
    DynamicWidget w(20, 30, image, 1.0f);
    w.Tesselate(3, 2);
    EXPECT_TRUE(image->GetFlags() & kImageWholePieces);
    Draw(w);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) ASSERT_TRUE(Near(Unpack(PatternPixel(x, y)), At(20 + x, 30 + y), 1));
    EXPECT_EQ(At(32, 30), 0u);
}

TEST_F(DynamicPixelTest, OpacityAndColourFactorsModulateThePixels) {
    const Argb texel{255, 200, 100, 50};
    ImageSurface* image = Keep(testsupport::SolidImage(6, 6, Pack(texel)));
    DynamicWidget w(10, 10, image, 0.8f);
    w.red = 0.5f;
    w.alpha = 0.75f;
    Draw(w);
    const Argb colour{Byte(0.75f * 0.8f), Byte(0.5f * 0.8f), Byte(0.8f), Byte(0.8f)};
    EXPECT_TRUE(Near(Modulate(texel, colour), At(12, 12), 2));
}

TEST_F(DynamicPixelTest, AFactorAboveOneDrawsUntintedThenAddsTheExcess) {
    const Argb texel{255, 100, 90, 80};
    ImageSurface* image = Keep(testsupport::SolidImage(6, 6, Pack(texel)));
    DynamicWidget w(10, 10, image, 1.0f);
    w.red = 1.5f;
    Draw(w);
    // First pass: the texel itself; second: texel x (0.5, 0, 0, 0) with alpha 0, adding red only.
    const Argb extra = Modulate(texel, {0, Byte(0.5f), 0, 0});
    EXPECT_TRUE(Near({255, texel.r + extra.r, texel.g, texel.b}, At(12, 12), 2));
}

// Exposes the colour loop, to count the draws it asks for.
class ColourLoopProbe : public DynamicWidget {
public:
    static int Draws(Graphics* g, float r, float gr, float b, float a) {
        int draws = 0;
        ColourLoop(g, r, gr, b, a, [&draws] { ++draws; });
        return draws;
    }
};

// Each further draw adds the image once more: once a channel has been added
// 255 times the faintest non-zero value is saturated, so no more can show.
TEST_F(DynamicPixelTest, HugeOrInvalidColourFactorsDrawABoundedNumberOfTimes) {
    Graphics g(Target());
    EXPECT_EQ(ColourLoopProbe::Draws(&g, 1.5f, 1.0f, 1.0f, 1.0f), 2);
    EXPECT_EQ(ColourLoopProbe::Draws(&g, 1.0f, 40.0f, 1.0f, 1.0f), 40);
    ASSERT_EQ(ColourLoopProbe::Draws(&g, 1.0f, 1.0f, 5000.0f, 1.0f), 255);
    EXPECT_EQ(ColourLoopProbe::Draws(&g, 1e30f, 1.0f, 1.0f, 1.0f), 255);
    EXPECT_EQ(ColourLoopProbe::Draws(&g, 1.0f, std::numeric_limits<float>::infinity(), 1.0f, 1.0f), 255);
    EXPECT_EQ(ColourLoopProbe::Draws(&g, std::nanf(""), 1.0f, 1.0f, 1.0f), 1);

    // What shows: a huge factor saturates its channel, a NaN one draws none of it.
    const Argb texel{255, 100, 90, 80};
    ImageSurface* image = Keep(testsupport::SolidImage(6, 6, Pack(texel)));
    DynamicWidget w(10, 10, image, 1.0f);
    w.red = 1e30f;
    Draw(w);
    EXPECT_TRUE(Near({255, 255, texel.g, texel.b}, At(12, 12), 2));
    Clear();
    w.red = 1.0f;
    w.blue = std::nanf("");
    Draw(w);
    EXPECT_TRUE(Near({255, texel.r, texel.g, 0}, At(12, 12), 2));
}

TEST_F(DynamicPixelTest, CrossFadeWeighsThePreviousAndCurrentFrames) {
    // Two cels side by side: red, then blue.
    ImageSurface* image = Keep(testsupport::MakeImage(
        8, 4, [](int x, int) { return x < 4 ? 0xFFFF0000u : 0xFF0000FFu; }, 1, 2));
    DynamicWidget w(10, 10, image, 1.0f);
    w.SetFrame(1);
    w.SetFade(0, 0.25f);
    Draw(w);
    // Each frame with its weight, truncated to a byte, added together.
    const int before = static_cast<int>(0.25f * 255.0f), now = static_cast<int>(0.75f * 255.0f);
    EXPECT_TRUE(Near({before + now, before, 0, now}, At(11, 11), 2));
    EXPECT_EQ(At(14, 11), 0u);  // only the cel's own size is drawn
    Clear();
    w.SetFade(0, 1.0f);  // all the way back: the previous frame alone
    Draw(w);
    EXPECT_EQ(At(11, 11), 0xFFFF0000u);
}

TEST_F(DynamicPixelTest, FadeToFrameBlendsOverTimeThenShowsTheNewFrame) {
    ImageSurface* image = Keep(testsupport::MakeImage(
        8, 4, [](int x, int) { return x < 4 ? 0xFFFF0000u : 0xFF0000FFu; }, 1, 2));
    DynamicWidget w(10, 10, image, 1.0f);
    w.FadeToFrame(1, 4.0f);
    Draw(w);
    EXPECT_EQ(At(11, 11), 0xFFFF0000u);  // the fade starts on the old frame
    w.UpdateFraction(1.0f);              // a quarter of the way: weight 0.75 on the old frame
    Clear();
    Draw(w);
    const int before = static_cast<int>(0.75f * 255.0f), now = static_cast<int>(0.25f * 255.0f);
    EXPECT_TRUE(Near({before + now, before, 0, now}, At(11, 11), 2));
    w.UpdateFraction(3.0f);
    Clear();
    Draw(w);
    EXPECT_EQ(At(11, 11), 0xFF0000FFu);
}

TEST_F(DynamicPixelTest, ScaleGrowsTheImageAboutItsMiddle) {
    const uint32_t red = 0xFFFF0000;
    ImageSurface* image = Keep(testsupport::SolidImage(10, 10, red));
    DynamicWidget w(50, 50, image, 1.0f);
    w.scale_x = 2.0f;
    w.scale_y = 0.5f;
    w.PropertiesChanged(change_bit::kTransform);
    Draw(w);
    // Middle (55, 55): x spans 45..65, y spans 52.5..57.5.
    EXPECT_EQ(At(46, 55), red);
    EXPECT_EQ(At(63, 55), red);
    EXPECT_EQ(At(43, 55), 0u);
    EXPECT_EQ(At(66, 55), 0u);
    EXPECT_EQ(At(55, 51), 0u);
    EXPECT_EQ(At(55, 58), 0u);
    EXPECT_EQ(At(55, 54), red);
}

TEST_F(DynamicPixelTest, AQuarterTurnSwapsTheExtentsAboutTheMiddle) {
    ImageSurface* image = Keep(testsupport::SolidImage(20, 4, 0xFF00FF00));
    DynamicWidget w(100, 100, image, 1.0f);
    w.angle = 90.0f;
    w.PropertiesChanged(change_bit::kTransform);
    Draw(w);
    // Middle (110, 102): after the turn x spans 108..112 and y 92..112.
    EXPECT_EQ(At(110, 93), 0xFF00FF00u);
    EXPECT_EQ(At(110, 110), 0xFF00FF00u);
    EXPECT_EQ(At(109, 102), 0xFF00FF00u);
    EXPECT_EQ(At(101, 102), 0u);
    EXPECT_EQ(At(118, 102), 0u);
    EXPECT_EQ(At(110, 90), 0u);
}

TEST_F(DynamicPixelTest, FlipMirrorsThePixelsInPlace) {
    ImageSurface* image = Keep(testsupport::MakeImage(10, 6, PatternPixel));
    DynamicWidget w(40, 20, image, 1.0f);
    w.Flip(false);
    Draw(w);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_TRUE(Near(Unpack(PatternPixel(9 - x, y)), At(40 + x, 20 + y), 1));
    Clear();
    DynamicWidget v(40, 20, image, 1.0f);
    v.Flip(true);
    Draw(v);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_TRUE(Near(Unpack(PatternPixel(x, 5 - y)), At(40 + x, 20 + y), 1));
}

TEST_F(DynamicPixelTest, AbsoluteAndRelativeClipsIntersect) {
    ImageSurface* image = Keep(testsupport::SolidImage(20, 20, 0xFFFFFFFF));
    DynamicWidget w(30, 40, image, 1.0f);
    w.abs_clip[0] = 35.0f;  // parent coordinates: widget column 5
    w.rel_clip[2] = 12.0f;  // widget coordinates
    w.rel_clip[1] = 3.0f;
    Draw(w);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 5 && x < 12 && y >= 3;
            ASSERT_EQ(At(30 + x, 40 + y), inside ? 0xFFFFFFFFu : 0u) << x << "," << y;
        }
}

TEST_F(DynamicPixelTest, ClipsThatDoNotOverlapDrawNothing) {
    ImageSurface* image = Keep(testsupport::SolidImage(20, 20, 0xFFFFFFFF));
    DynamicWidget w(30, 40, image, 1.0f);
    w.abs_clip[2] = 35.0f;  // right edge at widget column 5
    w.rel_clip[0] = 10.0f;  // left edge at column 10
    Draw(w);
    for (int x = 25; x < 55; ++x) ASSERT_EQ(At(x, 45), 0u) << x;
}

// Beyond the integer range a plain conversion is undefined (and in practice
// turned the edge into the far other side, hiding the widget).
TEST_F(DynamicPixelTest, ClipEdgesBeyondTheIntegerRangeClipNothingOnTheirSide) {
    ImageSurface* image = Keep(testsupport::SolidImage(20, 20, 0xFFFFFFFF));
    DynamicWidget w(30, 40, image, 1.0f);
    w.abs_clip[2] = 3e9f;
    Draw(w);
    ASSERT_EQ(At(49, 59), 0xFFFFFFFFu);
    Clear();
    const float inf = std::numeric_limits<float>::infinity();
    w.abs_clip = {-3e9f, -1e30f, 3e9f, inf};
    w.rel_clip = {5.0f, -inf, 1e30f, 4e9f};  // one ordinary edge: column 5
    Draw(w);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(At(30 + x, 40 + y), x >= 5 ? 0xFFFFFFFFu : 0u) << x << "," << y;
}

TEST_F(DynamicPixelTest, MaskAlphaCutsTheImage) {
    ImageSurface* image = Keep(testsupport::SolidImage(8, 8, 0xFFC08040));
    // Left half transparent, right half opaque.
    ImageSurface* mask = Keep(testsupport::MakeImage(8, 8, [](int x, int) { return x < 4 ? 0u : 0xFFFFFFFFu; }));
    DynamicWidget w(60, 60, image, 1.0f);
    w.SetMask(mask);
    Draw(w);
    EXPECT_EQ(At(61, 63), 0u);
    EXPECT_TRUE(Near(Unpack(0xFFC08040), At(66, 63), 1));
}

TEST_F(DynamicPixelTest, OpacityZeroHidesTheImageButNotTheChildrenUnlessPostRenderTwo) {
    ImageSurface* big = Keep(testsupport::SolidImage(30, 30, 0xFF0000FF));
    ImageSurface* small = Keep(testsupport::SolidImage(4, 4, 0xFFFF0000));
    DynamicWidget parent(10, 10, big, 0.0f);
    auto* child = new DynamicWidget(5, 5, small, 1.0f);
    parent.AddWidget(child);
    Draw(parent);
    EXPECT_EQ(At(12, 12), 0u);
    EXPECT_EQ(At(16, 16), 0xFFFF0000u);
    Clear();
    parent.SetPostRender(2);
    Draw(parent);
    EXPECT_EQ(At(16, 16), 0u);
    // Post-render 2 with opacity: the subtree is modulated as it is drawn.
    Clear();
    parent.opacity = 0.5f;
    Draw(parent);
    const Argb half{Byte(0.5f), Byte(0.5f), Byte(0.5f), Byte(0.5f)};
    const Argb blue = Modulate(Unpack(0xFF0000FF), half);
    EXPECT_TRUE(Near(Over(Modulate(Unpack(0xFFFF0000), half), blue), At(16, 16), 2));
    EXPECT_TRUE(Near(blue, At(12, 12), 2));
}

TEST_F(DynamicPixelTest, PostRenderOneColoursTheWholeSubtreeOnce) {
    ImageSurface* big = Keep(testsupport::SolidImage(20, 20, 0xFF0000FF));
    ImageSurface* small = Keep(testsupport::SolidImage(4, 4, 0xFFFF0000));
    DynamicWidget parent(10, 10, big, 0.5f);
    auto* child = new DynamicWidget(5, 5, small, 1.0f);
    parent.AddWidget(child);
    parent.SetPostRender(1);
    Draw(parent);
    // The child covers the parent inside the picture; the picture is then halved once.
    const Argb half{Byte(0.5f), Byte(0.5f), Byte(0.5f), Byte(0.5f)};
    EXPECT_TRUE(Near(Modulate(Unpack(0xFFFF0000), half), At(16, 16), 2));
    EXPECT_TRUE(Near(Modulate(Unpack(0xFF0000FF), half), At(12, 12), 2));
    EXPECT_EQ(At(31, 12), 0u);
}

TEST_F(DynamicPixelTest, TransformChildrenTurnsTheSubtreeAboutTheMiddle) {
    ImageSurface* frame = Keep(testsupport::SolidImage(20, 20, 0x00000000));
    ImageSurface* dot = Keep(testsupport::SolidImage(4, 4, 0xFF00FF00));
    DynamicWidget parent(100, 100, frame, 1.0f);
    auto* child = new DynamicWidget(0, 8, dot, 1.0f);  // at the left edge, vertically centred
    parent.AddWidget(child);
    parent.SetTransformChildren(true);
    parent.angle = 180.0f;
    parent.PropertiesChanged(change_bit::kTransform);
    Draw(parent);
    // A half turn about (110, 110) carries x 100..104 to 116..120.
    EXPECT_EQ(At(118, 110), 0xFF00FF00u);
    EXPECT_EQ(At(102, 110), 0u);
}

TEST_F(DynamicPixelTest, CacheKeepsDrawingTheRenderedSubtreeUntilMarkedDirty) {
    ImageSurface* dot = Keep(testsupport::SolidImage(4, 4, 0xFF00FF00));
    DynamicWidget parent(10, 10, nullptr, 1.0f);
    auto* child = new DynamicWidget(5, 5, dot, 1.0f);
    parent.AddWidget(child);
    parent.SetCache(true, true);
    ASSERT_NE(parent.GetCache(), nullptr);
    Draw(parent);  // countdown 1 -> 0: rendered into the cache and drawn from it
    EXPECT_EQ(parent.GetCacheCountdown(), 0);
    EXPECT_EQ(At(16, 16), 0xFF00FF00u);
    // Moved without telling anyone: the cache still shows the old picture.
    uint32_t mask = 0;
    *child->GetPropertyPtr(L"x", mask) = 40.0f;
    Clear();
    Draw(parent);
    EXPECT_EQ(At(16, 16), 0xFF00FF00u);
    EXPECT_EQ(At(51, 16), 0u);
    // A change marks the cache stale: drawn live until it settles again.
    child->MarkDirty();
    EXPECT_EQ(parent.GetCacheCountdown(), 30);
    Clear();
    Draw(parent);
    EXPECT_EQ(At(16, 16), 0u);
    EXPECT_EQ(At(51, 16), 0xFF00FF00u);
    parent.SetCache(false, false);
    EXPECT_EQ(parent.GetCache(), nullptr);
}

}  // namespace

namespace {

// A 2 x 2 sheet of 4 x 3 cels, each pixel telling its place in the sheet.
uint32_t SheetPixel(int x, int y) { return 0xFF000000u | static_cast<uint32_t>(x * 30) << 16 | (y * 40) << 8 | 0x11u; }

TEST_F(DynamicPixelTest, DrawImageAtCelSizeDrawsOneCelAtItsOwnSize) {
    ImageSurface* sheet = Keep(testsupport::MakeImage(8, 6, SheetPixel, 2, 2));
    Graphics g(Target());
    DrawImageAtCelSize(&g, sheet, 20, 30, 3);  // second row, second column
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) ASSERT_TRUE(Near(Unpack(SheetPixel(4 + x, 3 + y)), At(20 + x, 30 + y), 0));
    EXPECT_EQ(At(24, 30), 0u);
    EXPECT_EQ(At(20, 33), 0u);
    EXPECT_EQ(At(19, 30), 0u);
    DrawImageAtCelSize(&g, sheet, 40, 30, 4);  // no such cel
    DrawImageAtCelSize(&g, nullptr, 40, 30, 0);
    DrawImageAtCelSize(nullptr, sheet, 40, 30, 0);
    for (int y = 28; y < 36; ++y)
        for (int x = 38; x < 46; ++x) ASSERT_EQ(At(x, y), 0u);
}

TEST_F(DynamicPixelTest, AFrameOutsideTheCelsDrawsNothingAndIsKept) {
    ImageSurface* image = Keep(testsupport::MakeImage(
        8, 4, [](int x, int) { return x < 4 ? 0xFFFF0000u : 0xFF0000FFu; }, 1, 2));
    DynamicWidget w(10, 10, image, 1.0f);
    for (int frame : {2, 99, -1}) {
        w.SetFrame(frame);
        Clear();
        Draw(w);
        for (int y = 8; y < 16; ++y)
            for (int x = 8; x < 20; ++x) ASSERT_EQ(At(x, y), 0u) << frame;
        EXPECT_EQ(w.GetFrame(), frame);
    }
    // Half way through a fade from a frame that does not exist, only the new frame's weight shows.
    w.FadeToFrame(1, 2.0f);
    w.UpdateFraction(1.0f);
    Clear();
    Draw(w);
    const int now = static_cast<int>(0.5f * 255.0f);
    EXPECT_TRUE(Near({now, 0, 0, now}, At(11, 11), 2));
}

}  // namespace
