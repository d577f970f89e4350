// The game's multiply, overlay and softlight shaders, run through the
// interpreter on known colours and compared with the blend formulas
// (tests/support/blend_modes.h) worked out on straight colours.

#include <cmath>

#include "tests/platform/shader_test_support.h"
#include "tests/support/blend_modes.h"

namespace {

using testsupport::Color4;

using Mode = testsupport::BlendMode;
using testsupport::ReadGameShader;

struct Pixel {
    float r, g, b, a;  // straight colour
};

// 8-bit premultiplied texel as a texture stage hands it over.
Color4 Texel(const Pixel& p) {
    auto q = [](float x) { return std::round(x * 255.0f) / 255.0f; };
    const float a = q(p.a);
    return {q(p.r * a), q(p.g * a), q(p.b * a), a};
}

class BlendShaderTest : public testing::TestWithParam<Mode> {};

TEST_P(BlendShaderTest, MatchesTheFormulaWithinOneStep) {
    const Mode& mode = GetParam();
    const std::string source = ReadGameShader(mode.name);
    ASSERT_FALSE(source.empty()) << mode.name;
    plat::CompiledShader compiled = testsupport::CompilePixel(source);
    ASSERT_TRUE(compiled.Ok()) << compiled.errors;
    // The engine finds the pixel entry by its " PS(" and needs no vertex one.
    EXPECT_NE(source.find(" PS("), std::string::npos);
    EXPECT_EQ(source.find(" VS("), std::string::npos);

    const Pixel images[] = {{1, 0, 0, 1},          {0.2f, 0.4f, 0.6f, 1}, {0.9f, 0.8f, 0.1f, 0.5f},
                            {0.5f, 0.5f, 0.5f, 1}, {0, 0, 0, 0},          {1, 1, 1, 0.25f}};
    const Pixel backgrounds[] = {{0.3f, 0.6f, 0.9f, 1},    {1, 1, 1, 1}, {0, 0, 0, 1}, {0.49f, 0.51f, 0.25f, 1},
                                 {0.7f, 0.2f, 0.5f, 0.6f}, {0, 0, 0, 0}};
    const Color4 tints[] = {{1, 1, 1, 1}, {0.5f, 0.5f, 0.5f, 0.5f}, {1, 0.5f, 0.25f, 1}};

    testsupport::FixedSampler sampler;
    for (const Pixel& image : images) {
        for (const Pixel& background : backgrounds) {
            for (const Color4& tint : tints) {
                sampler.colour[0] = Texel(image);
                sampler.colour[1] = Texel(background);
                plat::ShaderAttributes in = testsupport::Attributes(tint, {0.5f, 0.5f, 0, 1}, {0.5f, 0.5f, 0, 1});
                float out[1][4];
                compiled.code->RunPixels(plat::ConstantRegisters{}, &in, 1, sampler, out);
                Color4 src;
                for (int c = 0; c < 4; ++c) src[c] = sampler.colour[0][c] * tint[c];
                const Color4 want = testsupport::BlendOver(mode.blend, src, sampler.colour[1]);
                for (int c = 0; c < 4; ++c) {
                    EXPECT_NEAR(out[0][c], want[c], 1.0 / 255.0)
                        << mode.name << " channel " << c << " image " << image.r << "," << image.g << "," << image.b
                        << "," << image.a << " background " << background.r << "," << background.g << ","
                        << background.b << "," << background.a << " tint " << tint[0] << "," << tint[3];
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(GameShaders, BlendShaderTest, testing::ValuesIn(testsupport::kGameBlendModes),
                         [](const testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });

TEST(BlendShaders, OpaqueImageOverOpaqueBackgroundGivesTheTextbookValues) {
    // Hand-checked points: multiply 0.5 * 0.5 = 0.25; overlay of 0.25 on a
    // dark 0.25 = 2 * 0.25 * 0.25 = 0.125, on a light 0.75 = 1 - 2 * 0.75 *
    // 0.25 = 0.625; soft light with s = 0.5 leaves the background as it is.
    struct Point {
        const char* shader;
        float s, d, want;
    };
    const Point points[] = {{"multiply", 0.5f, 0.5f, 0.25f},   {"overlay", 0.25f, 0.25f, 0.125f},
                            {"overlay", 0.25f, 0.75f, 0.625f}, {"softlight", 0.5f, 0.3f, 0.3f},
                            {"softlight", 1.0f, 0.5f, 0.75f},  {"softlight", 0.0f, 0.5f, 0.25f}};
    for (const Point& p : points) {
        testsupport::FixedSampler sampler;
        sampler.colour[0] = {p.s, p.s, p.s, 1};
        sampler.colour[1] = {p.d, p.d, p.d, 1};
        const Color4 out =
            testsupport::RunPixel(ReadGameShader(p.shader), testsupport::Attributes({1, 1, 1, 1}, {}, {}), sampler);
        EXPECT_NEAR(out[0], p.want, 1e-5) << p.shader << " s=" << p.s << " d=" << p.d;
        EXPECT_NEAR(out[3], 1.0f, 1e-6) << p.shader;
    }
}

}  // namespace
