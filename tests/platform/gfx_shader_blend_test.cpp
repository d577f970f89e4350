// The game's multiply, overlay and softlight shaders drawn through the
// device as the engine draws them: stage 0 the image, stage 1 a copy of the
// pixels under it, blending off, bilinear clamped sampling. Every pixel is
// compared with the blend formula (tests/support/blend_modes.h).
#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/platform/gfx_shader_test_util.h"
#include "tests/support/blend_modes.h"

namespace {

using testsupport::Ch;

struct Straight {
    float r, g, b, a;
};

using testsupport::Color4;
using Mode = testsupport::BlendMode;

const Straight kImages[] = {{1, 0, 0, 1},          {0.2f, 0.4f, 0.6f, 1}, {0.9f, 0.8f, 0.1f, 0.5f},
                            {0.5f, 0.5f, 0.5f, 1}, {0, 0, 0, 0},          {1, 1, 1, 0.25f}};
const Straight kBackgrounds[] = {{0.3f, 0.6f, 0.9f, 1},    {1, 1, 1, 1}, {0, 0, 0, 1}, {0.49f, 0.51f, 0.25f, 1},
                                 {0.7f, 0.2f, 0.5f, 0.6f}, {0, 0, 0, 0}};
constexpr int kN = 6;

// The 8-bit premultiplied pixel of a straight colour.
uint32_t PremultipliedPixel(const Straight& p) {
    const uint32_t a = static_cast<uint32_t>(std::lround(p.a * 255));
    auto ch = [&](float c) { return static_cast<uint32_t>(std::lround(c * p.a * 255)); };
    return (a << 24) | (ch(p.r) << 16) | (ch(p.g) << 8) | ch(p.b);
}

Color4 Unit(uint32_t argb) {
    return {Ch(argb, 16) / 255.0f, Ch(argb, 8) / 255.0f, Ch(argb, 0) / 255.0f, Ch(argb, 24) / 255.0f};
}

class GfxShaderBlendTest : public testsupport::GfxShaderTest, public testing::WithParamInterface<Mode> {
protected:
    // Stage 0 holds image i in column i, stage 1 background j in row j.
    void BindImageAndBackground() {
        std::vector<uint32_t> image(kN * kN), background(kN * kN);
        for (int j = 0; j < kN; ++j)
            for (int i = 0; i < kN; ++i) {
                image[j * kN + i] = PremultipliedPixel(kImages[i]);
                background[j * kN + i] = PremultipliedPixel(kBackgrounds[j]);
            }
        image_ = testsupport::Ref<plat::Texture>(MakeTexture(kN, kN, image));
        background_ = testsupport::Ref<plat::Texture>(MakeTexture(kN, kN, background));
        device_->SetTexture(0, image_.get());
        device_->SetTexture(1, background_.get());
        for (uint32_t stage : {0u, 1u}) Sampling(stage, plat::TextureFilter::Linear, plat::TextureAddress::Clamp);
    }

    // Draws the grid at (x, y) with the tint and checks every pixel.
    void DrawAndCheck(const Mode& mode, int x, int y, uint32_t tint) {
        Quad2(float(x), float(y), kN, kN, tint);
        const auto px = Read();
        const Color4 t = Unit(tint);
        for (int j = 0; j < kN; ++j)
            for (int i = 0; i < kN; ++i) {
                Color4 S = Unit(PremultipliedPixel(kImages[i]));
                for (int c = 0; c < 4; ++c) S[c] *= t[c];
                const Color4 want = testsupport::BlendOver(mode.blend, S, Unit(PremultipliedPixel(kBackgrounds[j])));
                const uint32_t got = At(px, x + i, y + j);
                const int shifts[4] = {16, 8, 0, 24};
                for (int c = 0; c < 4; ++c) {
                    const float w = std::clamp(want[c], 0.0f, 1.0f) * 255.0f;
                    EXPECT_NEAR(Ch(got, shifts[c]), w, 1.0) << mode.name << " image " << i << " background " << j
                                                            << " tint " << std::hex << tint << " channel " << c;
                }
            }
    }

    testsupport::Ref<plat::Texture> image_, background_;
};

TEST_P(GfxShaderBlendTest, MatchesTheBlendOnStraightColoursWithinOneStep) {
    const Mode& mode = GetParam();
    const std::string source = testsupport::ReadGameShader(mode.name);
    ASSERT_FALSE(source.empty()) << mode.name;
    testsupport::PixelShaderObjects ps = MakePixelShader(source);
    ASSERT_NE(ps.shader.get(), nullptr);
    BindImageAndBackground();
    BlendOff();
    ASSERT_EQ(plat::kOk, device_->SetPixelShader(ps.shader.get()));
    ASSERT_EQ(plat::kOk, ps.table->SetDefaults(device_));
    int x = 1;
    for (uint32_t tint : {0xFFFFFFFFu, 0x80808080u, 0xFFFF8040u}) {
        DrawAndCheck(mode, x, 2, tint);
        x += kN + 1;
    }
    device_->SetPixelShader(nullptr);
}

// The fixed stages leave stage 1 disabled unless told otherwise; a pixel
// shader ignores the stage operations and must still see stage 1's texture.
TEST_P(GfxShaderBlendTest, ReadsStageOneThatTheFixedStagesLeaveDisabled) {
    const Mode& mode = GetParam();
    testsupport::PixelShaderObjects ps = MakePixelShader(testsupport::ReadGameShader(mode.name));
    ASSERT_NE(ps.shader.get(), nullptr);
    device_->SetTextureStageState(1, plat::StageState::ColorOp, static_cast<uint32_t>(plat::StageOp::Disable));
    device_->SetTextureStageState(1, plat::StageState::AlphaOp, static_cast<uint32_t>(plat::StageOp::Disable));
    BindImageAndBackground();
    BlendOff();
    device_->SetPixelShader(ps.shader.get());
    DrawAndCheck(mode, 20, 20, 0xFFFFFFFFu);
    device_->SetPixelShader(nullptr);
}

INSTANTIATE_TEST_SUITE_P(GameShaders, GfxShaderBlendTest, testing::ValuesIn(testsupport::kGameBlendModes),
                         [](const testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });

}  // namespace
