// Blending and stencil, checked against the blend equations in floating point.
#include <functional>
#include <string>

#include "gfx_test_util.h"

namespace {

using namespace testsupport;
using plat::Blend;
using plat::BlendOp;
using plat::RenderState;

struct BlendCase {
    std::string name;
    std::function<void(plat::Device*)> setup;
    // Expected channel from source s, destination d (0..255) and the alphas.
    std::function<double(double s, double d, double sa, double da, bool alpha)> formula;
};

void Set(plat::Device* dev, RenderState s, auto v) { dev->SetRenderState(s, static_cast<uint32_t>(v)); }

std::vector<BlendCase> Cases() {
    auto on = [](plat::Device* d, Blend src, Blend dst, BlendOp op) {
        Set(d, RenderState::AlphaBlendEnable, 1);
        Set(d, RenderState::SeparateAlphaBlendEnable, 0);
        Set(d, RenderState::SrcBlend, src);
        Set(d, RenderState::DestBlend, dst);
        Set(d, RenderState::BlendOp, op);
    };
    return {
        {"Normal", [=](plat::Device* d) { on(d, Blend::One, Blend::InvSrcAlpha, BlendOp::Add); },
         [](double s, double d, double sa, double, bool) { return s + d * (1 - sa / 255); }},
        {"Additive", [=](plat::Device* d) { on(d, Blend::One, Blend::One, BlendOp::Add); },
         [](double s, double d, double, double, bool) { return std::min(255.0, s + d); }},
        {"Subtractive", [=](plat::Device* d) { on(d, Blend::One, Blend::One, BlendOp::RevSubtract); },
         [](double s, double d, double, double, bool) { return std::max(0.0, d - s); }},
        {"Multiply", [=](plat::Device* d) { on(d, Blend::DestColor, Blend::InvSrcAlpha, BlendOp::Add); },
         [](double s, double d, double sa, double, bool) { return std::min(255.0, s * d / 255 + d * (1 - sa / 255)); }},
        {"Subtract", [=](plat::Device* d) { on(d, Blend::SrcAlpha, Blend::One, BlendOp::Subtract); },
         [](double s, double d, double sa, double, bool) { return std::max(0.0, s * sa / 255 - d); }},
        {"InvDestAlpha", [=](plat::Device* d) { on(d, Blend::InvDestAlpha, Blend::DestAlpha, BlendOp::Add); },
         [](double s, double d, double, double da, bool) { return s * (1 - da / 255) + d * da / 255; }},
        {"SrcColour", [=](plat::Device* d) { on(d, Blend::SrcColor, Blend::InvSrcColor, BlendOp::Add); },
         [](double s, double d, double, double, bool) { return s * s / 255 + d * (1 - s / 255); }},
        {"MinMax", [=](plat::Device* d) { on(d, Blend::One, Blend::One, BlendOp::Max); },
         [](double s, double d, double, double, bool) { return std::max(s, d); }},
        {"StraightAlpha",
         [=](plat::Device* d) {
             on(d, Blend::SrcAlpha, Blend::InvSrcAlpha, BlendOp::Add);
             Set(d, RenderState::SeparateAlphaBlendEnable, 1);
             Set(d, RenderState::BlendOpAlpha, BlendOp::Add);
             Set(d, RenderState::SrcBlendAlpha, Blend::One);
             Set(d, RenderState::DestBlendAlpha, Blend::InvSrcAlpha);
         },
         [](double s, double d, double sa, double, bool alpha) {
             return alpha ? s + d * (1 - sa / 255) : s * sa / 255 + d * (1 - sa / 255);
         }},
        {"Opaque", [](plat::Device* d) { Set(d, RenderState::AlphaBlendEnable, 0); },
         [](double s, double, double, double, bool) { return s; }},
    };
}

class GfxBlendTest : public GfxTest, public ::testing::WithParamInterface<BlendCase> {};

TEST_P(GfxBlendTest, BlendOfKnownColoursMatchesEquation) {
    const uint32_t dsts[] = {0xFF808080u, 0x80402010u, 0x00000000u, 0xFFFFFFFFu, 0xC0306090u};
    const uint32_t srcs[] = {0x80400000u, 0xFF10E070u, 0x00000000u, 0x40404040u, 0xC0C08040u};
    const BlendCase& c = GetParam();
    int col = 0;
    for (uint32_t d : dsts)
        for (uint32_t s : srcs) {
            Set(device_, RenderState::AlphaBlendEnable, 0);
            Quad(float(col), 0, 1, 1, d);
            c.setup(device_);
            Quad(float(col), 0, 1, 1, s);
            ++col;
        }
    auto px = Read();
    col = 0;
    for (uint32_t d : dsts)
        for (uint32_t s : srcs) {
            const uint32_t got = At(px, col++, 0);
            for (int sh : {0, 8, 16, 24}) {
                const double want = c.formula(Ch(s, sh), Ch(d, sh), Ch(s, 24), Ch(d, 24), sh == 24);
                EXPECT_NEAR(std::clamp(want, 0.0, 255.0), Ch(got, sh), 1.0)
                    << c.name << " src " << std::hex << s << " dst " << d << " channel " << std::dec << sh;
            }
        }
}

INSTANTIATE_TEST_SUITE_P(Modes, GfxBlendTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<BlendCase>& i) { return i.param.name; });

TEST_F(GfxTest, NormalBlendOnSixteenBitTargetKeepsTopBitsOfTheResult) {
    TearDown();
    Open(16, 16, plat::Format::R5G6B5);
    Clear(0xFF808080u);
    BlendNormal();
    Quad(0, 0, 4, 4, 0x80400000u);
    auto px = Read();
    // s + d (1 - 128/255) per channel, within the 5- and 6-bit steps.
    const uint32_t got = At(px, 1, 1);
    const double keep = 1 - 128.0 / 255;
    EXPECT_NEAR(0x40 + 0x80 * keep, Ch(got, 16), 8);
    EXPECT_NEAR(0x80 * keep, Ch(got, 8), 4);
    EXPECT_NEAR(0x80 * keep, Ch(got, 0), 8);
}

class GfxStencilTest : public GfxTest {
protected:
    void SetUp() override {
        GfxTest::SetUp();
        ASSERT_EQ(plat::kOk, device_->CreateDepthStencilSurface(kW, kH, plat::Format::D24S8, true, &ds_));
        device_->SetDepthStencilSurface(ds_);
        ASSERT_EQ(plat::kOk, device_->Clear(0, nullptr, plat::kClearStencil | plat::kClearZBuffer, 0, 0, 0));
    }
    void TearDown() override {
        if (ds_) ds_->Release();
        GfxTest::TearDown();
    }
    // The engine's stencil-writing modes: nothing passes, the failing
    // pixels store the reference or invert the stored value.
    void WriteMode(plat::StencilOp op, uint32_t ref) {
        Set(device_, RenderState::StencilEnable, 1);
        Set(device_, RenderState::StencilFunc, plat::Compare::Never);
        Set(device_, RenderState::StencilRef, ref);
        Set(device_, RenderState::StencilFail, op);
    }
    void TestMode(plat::Compare func) {
        Set(device_, RenderState::StencilEnable, 1);
        Set(device_, RenderState::StencilRef, 0);
        Set(device_, RenderState::StencilFunc, func);
        Set(device_, RenderState::StencilFail, plat::StencilOp::Keep);
        Set(device_, RenderState::StencilZFail, plat::StencilOp::Keep);
        Set(device_, RenderState::StencilPass, plat::StencilOp::Keep);
    }
    plat::Surface* ds_ = nullptr;
};

TEST_F(GfxStencilTest, StencilSetThenTestDrawsInsideOrOutside) {
    WriteMode(plat::StencilOp::Replace, 1);
    Quad(10, 10, 20, 10, 0xFFFFFFFFu);  // writes stencil only
    EXPECT_EQ(0u, At(Read(), 15, 15)) << "a stencil write must not touch colour";
    TestMode(plat::Compare::NotEqual);  // draw where the stencil is not 0
    Quad(0, 0, kW, kH / 2, 0xFFFF0000u);
    TestMode(plat::Compare::Equal);  // draw where it is 0
    Quad(0, kH / 2, kW, kH / 2, 0xFF0000FFu);
    auto px = Read();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const bool in = x >= 10 && x < 30 && y >= 10 && y < 20;
            const uint32_t want = y < kH / 2 ? (in ? 0xFFFF0000u : 0u) : (in ? 0u : 0xFF0000FFu);
            ASSERT_EQ(want, At(px, x, y)) << x << "," << y;
        }
}

TEST_F(GfxStencilTest, InvertTwiceRestoresAndClearResets) {
    WriteMode(plat::StencilOp::Invert, 0);
    Quad(0, 0, 10, 10, 0xFFFFFFFFu);
    Quad(5, 0, 10, 10, 0xFFFFFFFFu);  // overlap 5..9 inverted twice
    TestMode(plat::Compare::NotEqual);
    Quad(0, 0, kW, kH, 0xFF00FF00u);
    auto px = Read();
    EXPECT_EQ(0xFF00FF00u, At(px, 2, 2));
    EXPECT_EQ(0u, At(px, 7, 2));
    EXPECT_EQ(0xFF00FF00u, At(px, 12, 2));
    EXPECT_EQ(0u, At(px, 20, 2));
    device_->Clear(0, nullptr, plat::kClearStencil | plat::kClearZBuffer, 0, 0, 0);
    Clear(0);
    Quad(0, 0, kW, kH, 0xFF00FF00u);
    EXPECT_EQ(0u, At(Read(), 2, 2));
}

TEST_F(GfxStencilTest, StencilClearWithoutDepthStencilSurfaceFails) {
    device_->SetDepthStencilSurface(nullptr);
    EXPECT_EQ(plat::kErrInvalidCall, device_->Clear(0, nullptr, plat::kClearStencil, 0, 0, 0));
}

}  // namespace

namespace {

// Whole rows blended at once (the vectorised path) against the equations.
class GfxSpanBlendTest : public GfxTest, public ::testing::WithParamInterface<bool> {};

TEST_P(GfxSpanBlendTest, WideBlitBlendsEveryPixelByTheEquation) {
    const bool additive = GetParam();
    const int w = 29, h = 5;
    auto dst = Noise(w * h, 21, true);
    auto src = Noise(w * h, 22, false);
    for (uint32_t& p : src) {  // premultiply: no channel above alpha
        const uint32_t a = p >> 24;
        uint32_t q = a << 24;
        for (int sh : {0, 8, 16}) q |= ((p >> sh & 0xFF) * a / 255) << sh;
        p = q;
    }
    plat::Texture* td = MakeTexture(w, h, dst);
    plat::Texture* ts = MakeTexture(w, h, src);
    device_->SetTexture(0, td);
    Quad(3, 2, w, h, 0xFFFFFFFFu);
    BlendNormal();
    if (additive) device_->SetRenderState(RenderState::DestBlend, static_cast<uint32_t>(Blend::One));
    device_->SetTexture(0, ts);
    Quad(3, 2, w, h, 0xFFFFFFFFu);
    auto px = Read();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t s = src[size_t(y * w + x)], d = dst[size_t(y * w + x)], got = At(px, 3 + x, 2 + y);
            for (int sh : {0, 8, 16, 24}) {
                const double want = additive ? std::min(255.0, double(Ch(s, sh) + Ch(d, sh)))
                                             : Ch(s, sh) + Ch(d, sh) * (1 - Ch(s, 24) / 255.0);
                ASSERT_NEAR(want, Ch(got, sh), 1.0) << x << "," << y << " channel " << sh;
            }
        }
    td->Release();
    ts->Release();
}

INSTANTIATE_TEST_SUITE_P(Ops, GfxSpanBlendTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) {
                             return std::string(i.param ? "Additive" : "Normal");
                         });

}  // namespace

namespace {

TEST_F(GfxTest, TargetWithoutAlphaReadsOpaqueAsDestinationAlpha) {
    TearDown();
    Open(8, 8, plat::Format::X8R8G8B8);
    Clear(0x00204060u);
    device_->SetRenderState(RenderState::AlphaBlendEnable, 1);
    device_->SetRenderState(RenderState::SrcBlend, static_cast<uint32_t>(Blend::InvDestAlpha));
    device_->SetRenderState(RenderState::DestBlend, static_cast<uint32_t>(Blend::DestAlpha));
    Quad(0, 0, 8, 8, 0xFFFFFFFFu);
    // Destination alpha 1: the source counts for nothing, the target stays.
    EXPECT_EQ(0xFF204060u, At(Read(), 3, 3));
}

}  // namespace
