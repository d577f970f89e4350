// The drawing context's state: defaults, translation and clipping of draws,
// colours, saving and restoring the whole state, and off-screen drawing.

#include <gtest/gtest.h>

#include <climits>

#include "graphics_test_support.h"

namespace {

using testsupport::RecordingTarget;
using testsupport::StraightSolidImage;

TEST(GraphicsStateTest, NullDestinationClipsToOnePixelAndSwallowsDraws) {
    Graphics g(nullptr);
    EXPECT_EQ(FRect(0, 0, 1, 1), g.GetClipRect());
    EXPECT_EQ(&ImageRenderTarget::Default(), g.GetDestination());
    auto image = StraightSolidImage(4, 4);
    g.SetBatching(true);
    g.DrawImage(image.get(), 0, 0, 0, FRect(0, 0, 4, 4));
    g.FillRect(0, 0, 10, 10);
    g.SetBatching(false);  // flushes into the default target, which ignores it
}

TEST(GraphicsStateTest, NewContextStartsAtTheTargetsSizeInBlack) {
    RecordingTarget target(200, 100);
    Graphics g(&target);
    const GraphicsState& s = g.GetState();
    EXPECT_EQ(FRect(0, 0, 200, 100), s.clipRect);
    EXPECT_EQ(Color::Black, s.color);
    EXPECT_EQ(nullptr, s.font);
    EXPECT_EQ(0, s.drawOrder);
    EXPECT_EQ(kDrawNormal, s.drawState.mode);
    EXPECT_FALSE(s.batching || s.offscreen || s.colorizeImages || s.hasModulation || s.drawState.matrixSet);
}

TEST(GraphicsStateTest, ClipRectsFollowTheTranslationAndStayInsideTheTarget) {
    RecordingTarget target(200, 100);
    Graphics g(&target);
    g.Translate(10, 20);
    g.Translate(5, 0);
    g.SetClipRect(-30, 10, 100, 200);
    // (15 - 30, 20 + 10, 100, 200) within (0, 0, 200, 100): x 0..85, y 30..100.
    EXPECT_EQ(FRect(0, 30, 85, 70), g.GetClipRect());
    g.ClipRect(20, 10, 500, 15);  // (35, 30, 500, 15) within the clip: x 35..85, y 30..45
    EXPECT_EQ(FRect(35, 30, 50, 15), g.GetClipRect());
    g.ClipRectR(FRect(20, 10, 10.9f, 12.7f));  // sizes truncate: x 35..45, y 30..42
    EXPECT_EQ(FRect(35, 30, 10, 12), g.GetClipRect());
    g.SetClipRectR(Rect(0, 0, 1000, 1000));
    EXPECT_EQ(FRect(15, 20, 185, 80), g.GetClipRect());
    g.ClipRect(500, 500, 10, 10);  // disjoint: nothing is left
    EXPECT_EQ(0, g.GetClipRect().w);
}

TEST(GraphicsStateTest, RectanglesAreTranslatedTruncatedAndClipped) {
    RecordingTarget target(200, 100);
    Graphics g(&target);
    g.Translate(10.7f, 5.2f);
    g.SetClipRect(0, 0, 50, 50);  // (10.7, 5.2, 50, 50), truncated (10, 5, 50, 50)
    g.SetColor(Color::FromRGB(1, 2, 3));
    g.FillRect(-5, 0, 30, 100);
    g.ClearRectR(Rect(100, 100, 5, 5));  // outside: the target is still told
    ASSERT_EQ(2u, target.calls.size());
    EXPECT_EQ(Rect(10, 5, 25, 50), target.calls[0].rect);
    EXPECT_EQ(Color::FromRGB(1, 2, 3), target.calls[0].color);
    EXPECT_EQ("clear", target.calls[1].op);
    EXPECT_EQ(0, target.calls[1].rect.w);
}

// Script sizes near INT_MAX overflowed the translated rectangle's right edge.
TEST(GraphicsStateTest, RectanglesOfScriptSizesNearIntMaxStayInsideTheClip) {
    RecordingTarget target(200, 100);
    Graphics g(&target);
    g.Translate(10, 5);
    g.FillRect(0, 0, INT_MAX, INT_MAX);
    g.ClearRect(-20, -20, INT_MAX, INT_MAX);
    ASSERT_EQ(2u, target.calls.size());
    EXPECT_EQ(Rect(10, 5, 190, 95), target.calls[0].rect);
    EXPECT_EQ(Rect(0, 0, 200, 100), target.calls[1].rect);
}

// Float sizes beyond the int range used to wrap to INT_MIN: a clip 3e9 wide
// shut the clip, and the whole of a target as wide as an int clipped away.
TEST(GraphicsStateTest, FloatSizesBeyondTheIntRangeSaturate) {
    RecordingTarget target(200, 100);
    Graphics g(&target);
    volatile float huge = 3e9f;  // a value known only at run time, as a script's is
    g.ClipRectR(FRect(10, 10, huge, huge));
    EXPECT_EQ(FRect(10, 10, 190, 90), g.GetClipRect());

    RecordingTarget vast(INT_MAX, INT_MAX);
    Graphics whole(&vast);
    whole.FillRect(5, 5, 100, 100);
    ASSERT_EQ(1u, vast.calls.size());
    EXPECT_EQ(Rect(5, 5, 100, 100), vast.calls[0].rect);
}

TEST(GraphicsStateTest, OutlinesStartAtTheTranslation) {
    RecordingTarget target;
    Graphics g(&target);
    g.Translate(3, 4);
    g.DrawRect(10, 5);
    ASSERT_EQ(1u, target.calls.size());
    EXPECT_EQ((std::vector<float>{3, 4, 12, 4, 12, 8, 3, 8, 3, 4}), target.calls[0].points);
    EXPECT_EQ(g.GetClipRect(), target.calls[0].clip);
}

TEST(GraphicsStateTest, ModulationPremultipliesOnceAndMultipliesAfter) {
    RecordingTarget target;
    Graphics g(&target);
    const Color c(Color::FromRGBA(200, 100, 40, 255));
    EXPECT_EQ(c, g.GetFinalColor(c));
    g.ModulateColor(Color::FromRGBA(255, 128, 255, 102));
    g.ModulateColor(Color::FromRGBA(255, 255, 255, 128));
    // Straight colours are premultiplied (channel * alpha / 255) before they
    // are multiplied channel by channel (x * y / 255).
    auto pre = [](int ch, int alpha) { return ch * alpha / 255; };
    auto mul = [](int x, int y) { return x * y / 255; };
    const int mr = mul(pre(255, 102), pre(255, 128)), mg = mul(pre(128, 102), pre(255, 128));
    const int ma = mul(102, 128);
    const Color m = g.GetState().modulation;
    EXPECT_EQ(mr, m.r);
    EXPECT_EQ(mg, m.g);
    EXPECT_EQ(ma, m.a);
    const Color f = g.GetFinalColor(c);
    EXPECT_EQ(mul(200, mr), f.r);
    EXPECT_EQ(mul(100, mg), f.g);
    EXPECT_EQ(mul(255, ma), f.a);
}

TEST(GraphicsStateTest, SetStateRestoresEverythingSaved) {
    RecordingTarget target;
    testsupport::FixedFont font;
    Graphics g(&target);
    g.Translate(7, 8);
    g.SetColor(Color::FromRGB(9, 9, 9));
    const GraphicsState saved = g.GetState();

    g.Translate(100, 100);
    g.ClipRect(0, 0, 5, 5);
    g.SetColor(Color::White);
    g.SetFont(&font);
    g.SetDrawMode(kDrawMultiply);
    g.SetCulling(1);
    g.SetColorizeImages(true);
    g.ModulateColor(Color::FromRGBA(1, 2, 3, 4));
    g.OffsetDrawOrder(12);
    Matrix4 m;
    m.Scale(2, 2, 1);
    g.ApplyTransform(m);

    g.SetState(saved);
    const GraphicsState& s = g.GetState();
    EXPECT_EQ(7, s.transX);
    EXPECT_EQ(8, s.transY);
    EXPECT_EQ(FRect(0, 0, 200, 100), s.clipRect);
    EXPECT_EQ(Color::FromRGB(9, 9, 9), s.color);
    EXPECT_EQ(nullptr, s.font);
    EXPECT_EQ(saved.drawState, s.drawState);
    EXPECT_FALSE(s.colorizeImages || s.hasModulation);
    EXPECT_EQ(0, s.drawOrder);
}

class OffscreenTest : public ::testing::Test {
protected:
    void TearDown() override { FreeScratchSurfaces(); }
    RecordingTarget target{200, 100};
    std::unique_ptr<ImageSurface> image = StraightSolidImage(8, 8);
};

TEST_F(OffscreenTest, DrawsAccumulateAdditivelyOffTargetAndAreCompositedOnce) {
    Graphics g(&target);
    g.SetDrawMode(kDrawMultiply);
    g.Translate(4, 6);
    g.SetOffscreen(true);
    EXPECT_EQ(kDrawAdditive, g.GetDrawMode());
    g.SetDrawMode(kDrawSubtractive);  // ignored while off-screen
    EXPECT_EQ(kDrawAdditive, g.GetDrawMode());
    g.DrawImage(image.get(), 0, 0, 0, FRect(0, 0, 8, 8));
    g.FillRect(0, 0, 4, 4);
    EXPECT_TRUE(target.calls.empty());  // drawn into the scratch surface

    g.SetOffscreen(false);
    ASSERT_EQ(1u, target.calls.size());
    const testsupport::TargetCall& c = target.calls[0];
    EXPECT_EQ("image", c.op);
    EXPECT_NE(nullptr, c.image);
    EXPECT_EQ(0, c.x);
    EXPECT_EQ(0, c.y);
    EXPECT_EQ(FRect(0, 0, 200, 100), c.source);
    EXPECT_EQ(Color::White, c.color);
    EXPECT_EQ(DrawState(), c.state);
    EXPECT_EQ(kDrawNormal, g.GetDrawMode());
    EXPECT_EQ(4, g.GetState().transX);  // grows by the composite's origin (0, 0)
}

TEST_F(OffscreenTest, RestoringAStateEndsOrStartsOffscreenDrawing) {
    Graphics g(&target);
    const GraphicsState onScreen = g.GetState();
    g.SetOffscreen(true);
    const GraphicsState offScreen = g.GetState();
    g.SetState(onScreen);
    EXPECT_EQ(1u, target.calls.size());
    EXPECT_FALSE(g.GetState().offscreen);
    g.SetState(offScreen);
    EXPECT_TRUE(g.GetState().offscreen);
    g.DrawImage(image.get(), 0, 0, 0, FRect(0, 0, 8, 8));
    EXPECT_EQ(1u, target.calls.size());
}

TEST_F(OffscreenTest, DestructionEndsOffscreenDrawing) {
    {
        Graphics g(&target);
        g.SetOffscreen(true);
    }
    EXPECT_EQ((std::vector<std::string>{"image"}), target.Ops());
}

// Draws queued before off-screen drawing starts were issued for the real
// target; those queued while off-screen must be in the scratch before it is
// composited.
TEST_F(OffscreenTest, QueuedDrawsReachTheTargetTheyWereIssuedFor) {
    Graphics g(&target);
    g.SetBatching(true);
    g.DrawImage(image.get(), 0, 0, 0, FRect(0, 0, 8, 8));
    g.SetOffscreen(true);
    EXPECT_EQ((std::vector<std::string>{"triangles"}), target.Ops());
    g.DrawImage(image.get(), 0, 0, 0, FRect(0, 0, 8, 8));
    g.SetOffscreen(false);
    g.FlushBatch();
    EXPECT_EQ((std::vector<std::string>{"triangles", "image"}), target.Ops());
}

TEST_F(OffscreenTest, ScratchPoolReusesTheLastReturnedSurfaceAndGrowsIt) {
    ImageSurface* a = AcquireScratchSurface(30, 20);
    ASSERT_NE(nullptr, a);
    EXPECT_GE(a->width, 30);
    EXPECT_GE(a->height, 20);
    ImageSurface* b = AcquireScratchSurface(10, 10);  // pool empty: a new one
    EXPECT_NE(a, b);
    ReleaseScratchSurface(b);
    ReleaseScratchSurface(a);
    EXPECT_EQ(a, AcquireScratchSurface(5, 5));  // last in, first out; kept at its size
    EXPECT_EQ(30, a->width);
    ImageSurface* c = AcquireScratchSurface(40, 5);
    EXPECT_EQ(b, c);
    EXPECT_EQ(40, c->width);
    EXPECT_EQ(10, c->height);
    ReleaseScratchSurface(a);
    ReleaseScratchSurface(c);
}

}  // namespace
