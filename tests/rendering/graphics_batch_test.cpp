// Image draws through the drawing context: cels, translation and clipping,
// transformed and masked draws, and the batch with its order (draw order,
// then draw mode, then texture) and the changes that flush it.

#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/values/transform.h"
#include "graphics_test_support.h"

namespace {

using testsupport::RecordingTarget;
using testsupport::StraightSolidImage;

class GraphicsImageTest : public ::testing::Test {
protected:
    RecordingTarget target{200, 100};
    Graphics g{&target};
    std::unique_ptr<ImageSurface> a = StraightSolidImage(20, 10);
    std::unique_ptr<ImageSurface> b = StraightSolidImage(20, 10);
    FRect whole{0, 0, 20, 10};
};

TEST_F(GraphicsImageTest, DirectDrawsAreTranslatedAndCarryTheClip) {
    g.Translate(5, 6);
    g.ClipRect(0, 0, 50, 50);
    g.DrawImage(a.get(), 1, 2, 0, whole);
    ASSERT_EQ(1u, target.calls.size());
    const testsupport::TargetCall& c = target.calls[0];
    EXPECT_EQ("clipped", c.op);
    EXPECT_EQ(a.get(), c.image);
    EXPECT_EQ(6, c.x);
    EXPECT_EQ(8, c.y);
    EXPECT_EQ(whole, c.source);
    EXPECT_EQ(FRect(5, 6, 50, 50), c.clip);
}

TEST_F(GraphicsImageTest, CelsSelectTheirPartAndMissingCelsDrawNothing) {
    auto sheet = StraightSolidImage(40, 30, 0xFFFFFFFF, 3, 4);  // cels of 10 x 10
    g.DrawImage(sheet.get(), 0, 0, 6, FRect(1, 2, 5, 5));       // column 2, row 1
    g.DrawImage(sheet.get(), 0, 0, 12, FRect(0, 0, 10, 10));
    g.DrawImage(sheet.get(), 0, 0, -1, FRect(0, 0, 10, 10));
    g.DrawImage(nullptr, 0, 0, 0, FRect(0, 0, 10, 10));
    ASSERT_EQ(1u, target.calls.size());
    EXPECT_EQ(FRect(21, 12, 5, 5), target.calls[0].source);

    target.calls.clear();
    g.DrawImageWhole(sheet.get(), 3, 4);  // a sheet is drawn whole
    g.DrawImageWhole(a.get(), 3, 4);
    ASSERT_EQ(2u, target.calls.size());
    EXPECT_EQ(FRect(0, 0, 40, 30), target.calls[0].source);
    EXPECT_EQ(whole, target.calls[1].source);
}

TEST_F(GraphicsImageTest, TrimmedCelsDrawTheirStoredPartAtItsOffset) {
    // Cel 0 is 20 x 20, of which only (3, 5, 10, 10) is stored.
    auto trimmed = testsupport::TrimmedImage(3, 5);
    g.DrawImage(trimmed.get(), 100, 50, 0, FRect(0, 0, 20, 20));
    ASSERT_EQ(1u, target.calls.size());
    EXPECT_EQ(103, target.calls[0].x);
    EXPECT_EQ(55, target.calls[0].y);
    EXPECT_EQ(FRect(0, 0, 10, 10), target.calls[0].source);
}

TEST_F(GraphicsImageTest, TranslationTransformsCentreTheSourceAndOthersGoThroughTheMatrix) {
    Transform moved;
    moved.tx = 4;
    moved.ty = -2;
    g.DrawImageTransformFull(a.get(), &moved, 50, 50, 0);
    ASSERT_EQ(1u, target.calls.size());
    EXPECT_EQ("clipped", target.calls[0].op);
    EXPECT_EQ(50 + 4 - 10, target.calls[0].x);
    EXPECT_EQ(50 - 2 - 5, target.calls[0].y);

    target.calls.clear();
    g.Translate(1, 1);
    g.DrawImageScaled(a.get(), 10, 20, 40, 30, 0);
    ASSERT_EQ(1u, target.calls.size());
    const testsupport::TargetCall& c = target.calls[0];
    EXPECT_EQ("transformed", c.op);
    EXPECT_EQ(1 + 10 + 20, c.x);  // centred: x + w / 2, plus the translation
    EXPECT_EQ(1 + 20 + 15, c.y);
    EXPECT_EQ(40.0f / 20, c.matrix[0]);
    EXPECT_EQ(30.0f / 10, c.matrix[5]);
    EXPECT_EQ(whole, c.source);

    target.calls.clear();
    g.DrawImageStretched(a.get(), FRect(0, 0, 10, 10), FRect(0, 0, 20, 5));
    ASSERT_EQ(1u, target.calls.size());
    EXPECT_EQ(0.5f, target.calls[0].matrix[0]);
    EXPECT_EQ(2.0f, target.calls[0].matrix[5]);
    EXPECT_EQ(1 + 5, target.calls[0].x);
    g.DrawImageStretched(a.get(), FRect(0, 0, 10, 10), FRect(0, 0, 0, 5));  // no scale maps an empty source
    EXPECT_EQ(1u, target.calls.size());
}

TEST_F(GraphicsImageTest, GridMeshesAreTranslatedAndNeverQueued) {
    Transform t;
    t.Rotate(30, 0, 0, 1);
    g.SetBatching(true);
    g.Translate(2, 3);
    g.DrawImageTransformCel(a.get(), 0, 4, 2, &t, 10, 10, whole);
    ASSERT_EQ(1u, target.calls.size());
    EXPECT_EQ("grid", target.calls[0].op);
    EXPECT_EQ(12, target.calls[0].x);
    EXPECT_EQ(13, target.calls[0].y);
    EXPECT_TRUE(target.calls[0].matrix.Equals(t.GetMatrix()));
}

TEST_F(GraphicsImageTest, BatchIsDrawnByOrderThenModeThenTexture) {
    ImageSurface* first = std::min(a.get(), b.get());
    ImageSurface* second = std::max(a.get(), b.get());
    g.SetBatching(true);
    g.OffsetDrawOrder(5);
    g.DrawImage(a.get(), 0, 0, 0, whole);
    g.OffsetDrawOrder(-4);
    g.SetDrawMode(kDrawAdditive);
    g.DrawImage(second, 0, 0, 0, whole);
    g.SetDrawMode(kDrawNormal);
    g.DrawImage(second, 1, 0, 0, whole);
    g.DrawImage(first, 2, 0, 0, whole);
    g.DrawImage(second, 3, 0, 0, whole);
    g.SetDrawMode(kDrawMultiply);
    EXPECT_TRUE(target.calls.empty());
    g.FlushBatch();

    ASSERT_EQ(4u, target.calls.size());
    EXPECT_EQ((std::vector<ImageSurface*>{first, second, second, a.get()}),
              (std::vector<ImageSurface*>{target.calls[0].image, target.calls[1].image, target.calls[2].image,
                                          target.calls[3].image}));
    EXPECT_EQ(kDrawNormal, target.calls[0].state.mode);
    EXPECT_EQ(kDrawNormal, target.calls[1].state.mode);
    EXPECT_EQ(kDrawAdditive, target.calls[2].state.mode);
    EXPECT_EQ(kDrawNormal, target.calls[3].state.mode);
    // One call per group, the group's draws in the order they were issued.
    ASSERT_EQ(2u, target.calls[1].quads.size());
    EXPECT_EQ(1, target.calls[1].quads[0].x);
    EXPECT_EQ(3, target.calls[1].quads[1].x);
    EXPECT_EQ(kDrawMultiply, g.GetDrawMode());  // the mode set before the flush comes back
    g.FlushBatch();
    EXPECT_EQ(4u, target.calls.size());
}

TEST_F(GraphicsImageTest, BatchedPlainDrawsKeepOnlyTheirVisiblePart) {
    g.SetBatching(true);
    g.SetClipRect(10, 0, 100, 100);
    g.SetColor(Color::FromRGBA(1, 2, 3, 255));
    g.SetColorizeImages(true);
    g.DrawImage(a.get(), 0, 20, 0, whole);    // left half clipped away
    g.DrawImage(a.get(), 150, 20, 0, whole);  // wholly outside
    g.DrawImage(a.get(), 30, 20, 0, whole);   // wholly inside
    g.FlushBatch();
    ASSERT_EQ(1u, target.calls.size());
    const auto& quads = target.calls[0].quads;
    ASSERT_EQ(2u, quads.size());
    EXPECT_EQ(10, quads[0].x);
    EXPECT_EQ(FRect(10, 0, 10, 10), quads[0].source);
    EXPECT_EQ(Color::FromRGBA(1, 2, 3, 255), quads[0].color);
    EXPECT_EQ(1, quads[0].pureTranslation);
    EXPECT_EQ(30, quads[1].x);
    EXPECT_EQ(whole, quads[1].source);

    // With a view matrix the device clips: the draw is queued whole.
    Matrix4 view;
    g.ApplyTransform(view);
    g.DrawImage(a.get(), 0, 20, 0, whole);
    g.FlushBatch();
    ASSERT_EQ(2u, target.calls.size());
    EXPECT_EQ(whole, target.calls[1].quads[0].source);
}

TEST_F(GraphicsImageTest, TransformedDrawsAreQueuedOnlyWhenTheClipLeavesThemWhole) {
    Transform t;
    t.Rotate(90, 0, 0, 1);
    g.SetBatching(true);
    g.DrawImageTransformFull(a.get(), &t, 5, 5, 0);  // whole target clip: queued whatever it covers
    EXPECT_TRUE(target.calls.empty());

    g.SetClipRect(20, 20, 60, 60);
    // Rotated a quarter turn the 20 x 10 image spans 10 x 20 around (50, 50).
    g.DrawImageTransformFull(a.get(), &t, 50, 50, 0);
    EXPECT_TRUE(target.calls.empty());
    // Around (50, 28) its top corners reach y = 17.5, above the clip.
    g.DrawImageTransformFull(a.get(), &t, 50, 28, 0);
    ASSERT_EQ(2u, target.calls.size());
    EXPECT_EQ("triangles", target.calls[0].op);
    ASSERT_EQ(2u, target.calls[0].quads.size());
    EXPECT_EQ(0, target.calls[0].quads[1].pureTranslation);
    EXPECT_EQ(50, target.calls[0].quads[1].x);
    EXPECT_EQ("transformed", target.calls[1].op);
    EXPECT_EQ(28, target.calls[1].y);

    // A matrix with depth terms is never checked against a partial clip.
    Transform tilted;
    tilted.Rotate(10, 1, 0, 0);
    g.DrawImageTransformFull(a.get(), &tilted, 50, 50, 0);
    EXPECT_EQ("transformed", target.calls.back().op);
}

TEST_F(GraphicsImageTest, ChangesTheQueuedDrawsDependOnFlushFirst) {
    struct NoShader : DeviceShaderProgram {
        void Apply() override {}
        void Release() override {}
    } shader;
    auto queueOne = [&] { g.DrawImage(a.get(), 0, 0, 0, whole); };
    g.SetBatching(true);

    queueOne();
    g.SetShader(nullptr);  // unchanged: stays queued
    g.SetCulling(0);
    g.SetDrawMode(kDrawAdditive);  // queued draws keep their own mode
    EXPECT_TRUE(target.calls.empty());
    g.SetShader(&shader);
    EXPECT_EQ(1u, target.calls.size());
    EXPECT_EQ(nullptr, target.calls[0].state.shader);
    EXPECT_EQ(kDrawNormal, target.calls[0].state.mode);

    queueOne();
    g.SetCulling(1);
    EXPECT_EQ(2u, target.calls.size());
    EXPECT_EQ(0, target.calls[1].state.cull);

    queueOne();
    g.ApplyTransform(Matrix4());
    EXPECT_EQ(3u, target.calls.size());

    queueOne();
    GraphicsState same = g.GetState();
    same.transX = 40;
    g.SetState(same);  // still batching with the same matrix and shader
    EXPECT_EQ(3u, target.calls.size());
    GraphicsState other = same;
    other.drawState.matrix.Translate(1, 0, 0);
    g.SetState(other);
    EXPECT_EQ(4u, target.calls.size());

    queueOne();
    g.SetBatching(false);
    EXPECT_EQ(5u, target.calls.size());
    {
        Graphics scoped(&target);
        scoped.SetBatching(true);
        scoped.DrawImage(a.get(), 0, 0, 0, whole);
    }
    EXPECT_EQ(6u, target.calls.size());
}

TEST_F(GraphicsImageTest, MaskedDrawsCutImageAndMaskInProportion) {
    auto mask = StraightSolidImage(40, 20);  // twice the image's size
    g.Translate(0, 5);
    g.DrawImageMasked(10, 0, a.get(), 0, whole, mask.get(), 0, FRect(0, 0, 40, 20));
    ASSERT_EQ(1u, target.calls.size());
    EXPECT_EQ("masked", target.calls[0].op);
    EXPECT_EQ(mask.get(), target.calls[0].mask);
    EXPECT_EQ(10, target.calls[0].x);
    EXPECT_EQ(5, target.calls[0].y);

    g.SetBatching(true);
    g.SetClipRect(10, -5, 5, 100);  // keeps x 10..15 of the 10..30 image: its left quarter
    g.DrawImageMasked(10, 0, a.get(), 0, whole, mask.get(), 0, FRect(0, 0, 40, 20));
    g.DrawImageMasked(100, 0, a.get(), 0, whole, mask.get(), 0, FRect(0, 0, 40, 20));  // outside
    g.FlushBatch();
    ASSERT_EQ(2u, target.calls.size());
    EXPECT_EQ("masked triangles", target.calls[1].op);
    ASSERT_EQ(1u, target.calls[1].masked.size());
    const MaskedBatchItem& m = target.calls[1].masked[0];
    EXPECT_EQ(FRect(0, 0, 5, 10), m.source);
    EXPECT_EQ(FRect(0, 0, 10, 20), m.maskSource);
}

TEST_F(GraphicsImageTest, TrimmedImageCelMovesTheMaskRectangleWithIt) {
    auto trimmed = testsupport::TrimmedImage(4, 2);
    auto mask = StraightSolidImage(40, 40);
    // The mask covers the full 20 x 20 cel at twice its size.
    g.DrawImageMasked(0, 0, trimmed.get(), 0, FRect(0, 0, 20, 20), mask.get(), 0, FRect(0, 0, 40, 40));
    ASSERT_EQ(1u, target.calls.size());
    const testsupport::TargetCall& c = target.calls[0];
    EXPECT_EQ(4, c.x);
    EXPECT_EQ(2, c.y);
    EXPECT_EQ(FRect(0, 0, 10, 10), c.source);
    EXPECT_EQ(FRect(8, 4, 20, 20), c.maskSource);
}

}  // namespace
