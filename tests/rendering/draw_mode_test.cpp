// The draw-state cache: a device state is set only when something differs,
// stencil before blending, the straight-alpha substitution, and clipping.
#include <gtest/gtest.h>

#include "device_test_support.h"

namespace {

using plat::Blend;
using plat::Call;
using plat::CallLog;
using plat::RenderState;
using testsupport::CountingShader;
using testsupport::DeviceTest;

constexpr uint32_t U(auto v) { return static_cast<uint32_t>(v); }

class DrawModeTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        InitWindowed();
        BindDrawBuffer();
        Device()->SetRecorder(&log);
    }
    void TearDown() override {
        if (Device()) Device()->SetRecorder(nullptr);
        DeviceTest::TearDown();
    }
    uint32_t State(RenderState s) {
        uint32_t v = 0;
        Device()->GetRenderState(s, &v);
        return v;
    }
    // Position of the first SetRenderState of `s` in the log, or -1.
    int FirstIndexOf(RenderState s) {
        const auto& calls = log.Calls();
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i].call == Call::SetRenderState && calls[i].a == U(s)) return static_cast<int>(i);
        return -1;
    }
    static DrawState Mode(int mode, int stencilTest = 0) {
        DrawState s;
        s.mode = mode;
        s.stencilTest = stencilTest;
        return s;
    }

    CallLog log;
};

TEST_F(DrawModeTest, EqualStatesInARowIssueNoDeviceCall) {
    const DrawState s = Mode(kDrawAdditive);
    d3d->SetupDrawMode(kDrawKindBlit, true, &s);
    EXPECT_GT(log.Count(Call::SetRenderState), 0u);
    log.Clear();
    d3d->SetupDrawMode(kDrawKindBlit, true, &s);
    d3d->SetupDrawMode(kDrawKindBlit, true, &s);
    EXPECT_TRUE(log.Calls().empty()) << log.Dump();

    // Two fills with one state: the second sets no render state at all.
    const Color red = Color::FromRGB(255, 0, 0);
    d3d->FillRect(&red, &s, Rect(0, 0, 4, 4));
    log.Clear();
    d3d->FillRect(&red, &s, Rect(4, 4, 4, 4));
    EXPECT_EQ(0u, log.Count(Call::SetRenderState)) << log.Dump();
    EXPECT_EQ(0u, log.Count(Call::SetTransform));
    EXPECT_EQ(1u, log.Count(Call::DrawPrimitive));
}

TEST_F(DrawModeTest, OnlyWhatDiffersIsSet) {
    DrawState s = Mode(kDrawNormal);
    d3d->SetupDrawMode(kDrawKindBlit, true, &s);
    log.Clear();

    s.cull = 1;
    d3d->SetupDrawMode(kDrawKindBlit, true, &s);
    ASSERT_EQ(1u, log.Calls().size()) << log.Dump();
    EXPECT_EQ(U(plat::Cull::Clockwise), log.LastRenderState(RenderState::CullMode, 0));

    log.Clear();
    s.matrixSet = 1;
    s.matrix.Translate(7, 9, 0);
    d3d->SetupDrawMode(kDrawKindBlit, true, &s);
    ASSERT_EQ(1u, log.Calls().size()) << log.Dump();
    const plat::RecordedCall& c = log.Calls()[0];
    EXPECT_EQ(Call::SetTransform, c.call);
    EXPECT_EQ(U(plat::TransformState::View), c.a);
    // The device takes row vectors: the translation sits in the last row.
    EXPECT_EQ(7.0f, c.matrix.m[3][0]);
    EXPECT_EQ(9.0f, c.matrix.m[3][1]);
    EXPECT_EQ(0.0f, c.matrix.m[0][3]);

    log.Clear();
    s.matrixSet = 0;
    d3d->SetupDrawMode(kDrawKindBlit, true, &s);
    ASSERT_EQ(1u, log.Count(Call::SetTransform));
    EXPECT_TRUE(log.Calls()[0].matrix == plat::Matrix::Identity());
}

TEST_F(DrawModeTest, ViewProjectionAppliesTheDrawStateViewBeforeTheTargetProjection) {
    DrawState s = Mode(kDrawNormal);
    s.matrixSet = 1;
    s.matrix.Translate(7, 9, 0);
    d3d->SetupDrawMode(kDrawKindBlit, true, &s);
    Matrix4 viewProjection;
    ASSERT_TRUE(d3d->GetViewProjection(&viewProjection));

    // The point moved by the draw state's view, then through the bound
    // target's projection, as the device applies them one after the other.
    plat::Matrix projection;
    Device()->GetTransform(plat::TransformState::Projection, &projection);
    const float moved[4] = {10 + 7, 20 + 9, 0, 1};
    float expected[4];
    plat::TransformPoint(projection, moved, expected);
    const float point[4] = {10, 20, 0, 1};
    for (int c = 0; c < 4; ++c) {
        float got = 0;
        for (int r = 0; r < 4; ++r) got += point[r] * viewProjection[r * 4 + c];  // row vector
        EXPECT_NEAR(expected[c], got, 1e-5) << "column " << c;
    }

    d3d->ReleaseDevice();
    Matrix4 untouched;
    untouched[0] = 5;
    EXPECT_FALSE(d3d->GetViewProjection(&untouched));
    EXPECT_EQ(5.0f, untouched[0]);
}

TEST_F(DrawModeTest, StencilStatesComeBeforeBlendStates) {
    const DrawState set = Mode(kDrawStencilSet, 1);
    d3d->SetupDrawMode(kDrawKindBlit, true, &set);
    const int stencil = FirstIndexOf(RenderState::StencilEnable);
    const int blend = FirstIndexOf(RenderState::AlphaBlendEnable);
    ASSERT_GE(stencil, 0);
    ASSERT_GE(blend, 0);
    EXPECT_LT(stencil, blend);
    // The mode's row comes last and wins: nothing passes, the reference is stored.
    EXPECT_EQ(U(plat::Compare::Never), State(RenderState::StencilFunc));
    EXPECT_EQ(1u, State(RenderState::StencilRef));
    EXPECT_EQ(U(plat::StencilOp::Replace), State(RenderState::StencilFail));
}

TEST_F(DrawModeTest, LeavingAStencilModeFollowsTheStencilTest) {
    const DrawState set = Mode(kDrawStencilSet);
    d3d->SetupDrawMode(kDrawKindBlit, true, &set);
    EXPECT_EQ(1u, State(RenderState::StencilEnable));
    const DrawState plain = Mode(kDrawNormal, 0);
    d3d->SetupDrawMode(kDrawKindBlit, true, &plain);
    EXPECT_EQ(0u, State(RenderState::StencilEnable));

    d3d->SetupDrawMode(kDrawKindBlit, true, &set);
    const DrawState tested = Mode(kDrawNormal, 1);
    d3d->SetupDrawMode(kDrawKindBlit, true, &tested);
    EXPECT_EQ(1u, State(RenderState::StencilEnable));
    EXPECT_EQ(U(plat::Compare::NotEqual), State(RenderState::StencilFunc));
    EXPECT_EQ(0u, State(RenderState::StencilRef));
    EXPECT_EQ(U(plat::StencilOp::Keep), State(RenderState::StencilFail));

    const DrawState zeroTest = Mode(kDrawNormal, 2);
    d3d->SetupDrawMode(kDrawKindBlit, true, &zeroTest);
    EXPECT_EQ(U(plat::Compare::Equal), State(RenderState::StencilFunc));
}

TEST_F(DrawModeTest, NormalModeOnStraightAlphaImageBlendsAsModeNineAndBack) {
    const DrawState normal = Mode(kDrawNormal);
    d3d->SetupDrawMode(kDrawKindBlit, true, &normal);
    EXPECT_EQ(U(Blend::One), State(RenderState::SrcBlend));

    d3d->SetupDrawMode(kDrawKindBlit, false, &normal);
    EXPECT_EQ(1u, State(RenderState::SeparateAlphaBlendEnable));
    EXPECT_EQ(U(Blend::SrcAlpha), State(RenderState::SrcBlend));
    EXPECT_EQ(U(Blend::One), State(RenderState::SrcBlendAlpha));
    EXPECT_EQ(U(Blend::InvSrcAlpha), State(RenderState::DestBlend));
    EXPECT_EQ(U(Blend::InvSrcAlpha), State(RenderState::DestBlendAlpha));

    // A second straight-alpha draw in a row changes nothing.
    log.Clear();
    d3d->SetupDrawMode(kDrawKindBlit, false, &normal);
    EXPECT_EQ(0u, log.Count(Call::SetRenderState)) << log.Dump();

    d3d->SetupDrawMode(kDrawKindBlit, true, &normal);
    EXPECT_EQ(0u, State(RenderState::SeparateAlphaBlendEnable));
    EXPECT_EQ(U(Blend::One), State(RenderState::SrcBlend));
    EXPECT_EQ(U(Blend::InvSrcAlpha), State(RenderState::DestBlend));
}

struct ModeRow {
    int mode;
    uint32_t alphaBlend, blendOp, src, dest, stencil;
};

class DrawModeTableTest : public DrawModeTest, public ::testing::WithParamInterface<ModeRow> {};

TEST_P(DrawModeTableTest, ModeSetsItsBlendRow) {
    const ModeRow& row = GetParam();
    // Start from a mode that shares nothing with the row.
    const DrawState before = Mode(row.mode == kDrawAdditive ? kDrawSubtractive : kDrawAdditive);
    d3d->SetupDrawMode(kDrawKindBlit, true, &before);
    const DrawState s = Mode(row.mode);
    d3d->SetupDrawMode(kDrawKindBlit, true, &s);
    EXPECT_EQ(row.alphaBlend, State(RenderState::AlphaBlendEnable));
    EXPECT_EQ(row.stencil, State(RenderState::StencilEnable));
    EXPECT_EQ(0u, State(RenderState::SeparateAlphaBlendEnable));
    if (row.alphaBlend && !row.stencil) {
        EXPECT_EQ(row.blendOp, State(RenderState::BlendOp));
        EXPECT_EQ(row.src, State(RenderState::SrcBlend));
        EXPECT_EQ(row.dest, State(RenderState::DestBlend));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DrawModeTableTest,
    ::testing::Values(ModeRow{kDrawNormal, 1, U(plat::BlendOp::Add), U(Blend::One), U(Blend::InvSrcAlpha), 0},
                      ModeRow{kDrawAdditive, 1, U(plat::BlendOp::Add), U(Blend::One), U(Blend::One), 0},
                      ModeRow{kDrawSubtractive, 1, U(plat::BlendOp::RevSubtract), U(Blend::One), U(Blend::One), 0},
                      ModeRow{kDrawStencilClear, 1, 0, 0, 0, 1}, ModeRow{kDrawStencilInvert, 1, 0, 0, 0, 1},
                      ModeRow{kDrawOpaque, 0, 0, 0, 0, 0}));

TEST_F(DrawModeTest, ShaderProgramIsAppliedOnceForEqualStates) {
    CountingShader shader;
    DrawState s = Mode(kDrawNormal);
    s.shader = &shader;
    d3d->SetupDrawMode(kDrawKindBlit, true, &s);
    d3d->SetupDrawMode(kDrawKindBlit, true, &s);
    EXPECT_EQ(1, shader.applies);

    // Without a shader the cache also depends on the draw kind.
    const DrawState plain = Mode(kDrawNormal);
    d3d->SetupDrawMode(kDrawKindBlit, true, &plain);
    log.Clear();
    d3d->SetupDrawMode(kDrawKindMaskedBlit, true, &plain);
    EXPECT_TRUE(log.Calls().empty()) << log.Dump();
}

TEST_F(DrawModeTest, ClipCoveringTheWholeTargetTurnsScissorOff) {
    const FRect clip(1.7f, 2.2f, 10.6f, 5.9f);
    d3d->SetClip(&clip);
    EXPECT_EQ(1u, State(RenderState::ScissorTestEnable));
    plat::Rect r;
    Device()->GetScissorRect(&r);
    EXPECT_EQ(1, r.left);
    EXPECT_EQ(2, r.top);
    EXPECT_EQ(12, r.right);  // 1.7 + 10.6 truncated
    EXPECT_EQ(8, r.bottom);

    log.Clear();
    d3d->SetClip(&clip);
    EXPECT_TRUE(log.Calls().empty());

    const FRect whole(0, 0, static_cast<float>(host.screenW), static_cast<float>(host.screenH));
    d3d->SetClip(&whole);
    EXPECT_EQ(0u, State(RenderState::ScissorTestEnable));
    log.Clear();
    d3d->SetClip(&whole);
    d3d->SetClip(nullptr);
    EXPECT_TRUE(log.Calls().empty());
}

TEST_F(DrawModeTest, ScissorRectSurvivesRenderTargetRebind) {
    const Color white = Color::FromRGB(255, 255, 255);
    const DrawState s = Mode(kDrawOpaque);
    const FRect clip(10, 10, 5, 5);
    const std::vector<float> square = {0, 0, 40, 0, 40, 40, 0, 40};
    const std::vector<uint16_t> tris = {0, 1, 2, 0, 2, 3};
    d3d->FillPolygon(&clip, &white, &s, square, tris, 0, 0);
    // Presenting binds the back buffer; binding a target resets the
    // device's scissor rectangle while the cache still holds the clip.
    ASSERT_TRUE(d3d->Redraw());
    BindDrawBuffer();
    d3d->FillPolygon(&clip, &white, &s, square, tris, 0, 0);
    const std::vector<uint32_t> px = DrawBufferPixels();
    int lit = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 10 && x < 15 && y >= 10 && y < 15;
            if (px[static_cast<size_t>(y) * host.screenW + x] != 0) ++lit;
            if (inside) {
                EXPECT_EQ(0xFFFFFFFFu, px[static_cast<size_t>(y) * host.screenW + x]) << x << "," << y;
            }
        }
    EXPECT_EQ(25, lit);
}

}  // namespace
