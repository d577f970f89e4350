// The compiler and interpreter on small programs: each operation against
// its formula, swizzles and write masks, matrices, constants and struct IO.

#include <cmath>
#include <functional>

#include "tests/platform/shader_test_support.h"

namespace {

using testsupport::Attributes;
using testsupport::Color4;
using testsupport::RunPixel;

const Color4 kA{0.25f, -1.5f, 2.0f, 0.75f};
const Color4 kB{0.5f, 0.5f, -2.5f, 3.0f};
const Color4 kC{0.1f, 0.9f, 0.5f, 2.0f};

std::string PixelProgram(const std::string& expression) {
    return "float4 PS(float4 a : COLOR0, float4 b : TEXCOORD0, float4 c : TEXCOORD1) : COLOR0\n"
           "{\n"
           "    return " +
           expression +
           ";\n"
           "}\n";
}

struct Case {
    const char* expression;
    std::function<float(float a, float b, float c, int component)> formula;
};

void PrintTo(const Case& k, std::ostream* os) { *os << k.expression; }

class ExpressionTest : public testing::TestWithParam<Case> {};

TEST_P(ExpressionTest, MatchesFormulaPerComponent) {
    const Case& k = GetParam();
    testsupport::FixedSampler sampler;
    const Color4 out = RunPixel(PixelProgram(k.expression), Attributes(kA, kB, kC), sampler);
    for (int i = 0; i < 4; ++i) {
        const float want = k.formula(kA[i], kB[i], kC[i], i);
        EXPECT_NEAR(out[i], want, 1e-5f * std::max(1.0f, std::fabs(want))) << k.expression << " component " << i;
    }
}

float Dot(int n) {
    float s = 0;
    for (int i = 0; i < n; ++i) s += kA[i] * kB[i];
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Builtins, ExpressionTest,
    testing::Values(Case{"saturate(a)", [](float a, float, float, int) { return std::min(1.0f, std::max(0.0f, a)); }},
                    Case{"abs(b)", [](float, float b, float, int) { return std::fabs(b); }},
                    Case{"min(a, b)", [](float a, float b, float, int) { return std::min(a, b); }},
                    Case{"max(a, b)", [](float a, float b, float, int) { return std::max(a, b); }},
                    Case{"lerp(a, b, c)", [](float a, float b, float c, int) { return a * (1 - c) + b * c; }},
                    Case{"step(a, b)", [](float a, float b, float, int) { return b >= a ? 1.0f : 0.0f; }},
                    Case{"step(0.5, c)", [](float, float, float c, int) { return c >= 0.5f ? 1.0f : 0.0f; }},
                    Case{"pow(c, a)", [](float a, float, float c, int) { return std::pow(c, a); }},
                    Case{"sqrt(c)", [](float, float, float c, int) { return std::sqrt(c); }},
                    Case{"floor(b)", [](float, float b, float, int) { return std::floor(b); }},
                    Case{"frac(b)", [](float, float b, float, int) { return b - std::floor(b); }},
                    Case{"dot(a, b)", [](float, float, float, int) { return Dot(4); }},
                    Case{"dot(a.xyz, b.xyz)", [](float, float, float, int) { return Dot(3); }},
                    Case{"dot(a.xy, b.xy)", [](float, float, float, int) { return Dot(2); }},
                    Case{"mul(2, a)", [](float a, float, float, int) { return 2 * a; }}));

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, ExpressionTest,
    testing::
        Values(Case{"a * b + c", [](float a, float b, float c, int) { return a * b + c; }},
               Case{"a * b - c", [](float a, float b, float c, int) { return a * b - c; }},
               Case{"c + a * b", [](float a, float b, float c, int) { return c + a * b; }},
               Case{"c - a * b", [](float a, float b, float c, int) { return c - a * b; }},
               Case{"-(a * b) - c", [](float a, float b, float c, int) { return -(a * b) - c; }},
               Case{"a - b / c", [](float a, float b, float c, int) { return a - b / c; }},
               Case{"-a + b", [](float a, float b, float, int) { return -a + b; }},
               Case{"-(a - b) * -c", [](float a, float b, float c, int) { return (a - b) * c; }},
               Case{"(a + 1) * (2 - b) / 4", [](float a, float b, float, int) { return (a + 1) * (2 - b) / 4; }},
               Case{"1 - 2 * (1 - a) * (1 - b)",
                    [](float a, float b, float, int) { return 1 - 2 * (1 - a) * (1 - b); }},
               Case{".5 * a + 1e-1", [](float a, float, float, int) { return 0.5f * a + 0.1f; }},
               Case{"a.x * b", [](float, float b, float, int) { return kA[0] * b; }},
               Case{"a.wzyx", [](float, float, float, int i) { return kA[3 - i]; }},
               Case{
                   "a.rrga.abgr",
                   [](float, float, float, int i) {
                       const int first[4] = {0, 0, 1, 3};
                       return kA[first[3 - i]];
                   }},
               Case{"float4(a.xy, b.zw)", [](float, float, float, int i) { return i < 2 ? kA[i] : kB[i]; }},
               Case{"float4(c.w, a.yzx)", [](float, float, float, int i) { return i == 0 ? kC[3] : kA[(i % 3)]; }},
               Case{"float4(0.5)", [](float, float, float, int) { return 0.5f; }},
               Case{"float4(a.x, 1, b.y, c.z)", [](float, float, float, int i) {
                        const float v[4] = {kA[0], 1, kB[1], kC[2]};
                        return v[i];
                    }}));

TEST(ShaderWriteMask, ComponentsLandWhereTheMaskSays) {
    const std::string source =
        "float4 PS(float4 a : COLOR0, float4 b : TEXCOORD0) : COLOR0\n"
        "{\n"
        "    float4 r = float4(0, 0, 0, 0);\n"
        "    r.zx = a.xy * b.xy;\n"  // computed into a temporary, then aimed at z and x
        "    r.w = 5;\n"
        "    r.y = b.w;\n"
        "    return r;\n"
        "}\n";
    testsupport::FixedSampler sampler;
    const Color4 out = RunPixel(source, Attributes(kA, kB, kC), sampler);
    EXPECT_FLOAT_EQ(out[0], kA[1] * kB[1]);
    EXPECT_FLOAT_EQ(out[1], kB[3]);
    EXPECT_FLOAT_EQ(out[2], kA[0] * kB[0]);
    EXPECT_FLOAT_EQ(out[3], 5.0f);
}

TEST(ShaderWriteMask, CompoundAssignmentsAndColourNames) {
    const std::string source =
        "float4 PS(float4 a : COLOR0, float4 b : TEXCOORD0, float4 c : TEXCOORD1) : COLOR0\n"
        "{\n"
        "    float4 r = a;\n"
        "    r.xy += b.xy;\n"
        "    r *= 2;\n"
        "    r.w -= 1;\n"
        "    r /= c;\n"
        "    float4 o;\n"
        "    o.rgb = r.bgr;\n"
        "    o.a = dot(r, float4(1, 1, 1, 1));\n"
        "    return o;\n"
        "}\n";
    Color4 r = kA;
    r[0] += kB[0];
    r[1] += kB[1];
    for (float& x : r) x *= 2;
    r[3] -= 1;
    for (int i = 0; i < 4; ++i) r[i] /= kC[i];
    testsupport::FixedSampler sampler;
    const Color4 out = RunPixel(source, Attributes(kA, kB, kC), sampler);
    EXPECT_FLOAT_EQ(out[0], r[2]);
    EXPECT_FLOAT_EQ(out[1], r[1]);
    EXPECT_FLOAT_EQ(out[2], r[0]);
    EXPECT_NEAR(out[3], r[0] + r[1] + r[2] + r[3], 1e-5);
}

TEST(ShaderTextures, Tex2DReadsTheStageOfItsSamplerAtTheGivenCoordinates) {
    const std::string source =
        "sampler2D first;\n"
        "sampler2D second : register(s3);\n"
        "float4 PS(float2 uv : TEXCOORD, float2 uv2 : texcoord1) : COLOR\n"
        "{\n"
        "    float4 p = tex2D(second, uv2);\n"
        "    float4 q = tex2D(first, uv.yx);\n"
        "    return float4(p.xyz, q.x + q.y * 10 + q.z * 100);\n"
        "}\n";
    testsupport::CoordinateSampler sampler;
    const Color4 out = RunPixel(source, Attributes({}, {0.25f, 0.5f, 0, 1}, {0.125f, 0.75f, 0, 1}), sampler);
    EXPECT_FLOAT_EQ(out[0], 0.125f);
    EXPECT_FLOAT_EQ(out[1], 0.75f);
    EXPECT_FLOAT_EQ(out[2], 3.0f);                  // the bound register
    EXPECT_FLOAT_EQ(out[3], 0.5f + 0.25f * 10.0f);  // first is allocated s0; swizzled coordinates
    plat::CompiledShader compiled = testsupport::CompilePixel(source);
    ASSERT_TRUE(compiled.Ok());
    EXPECT_EQ(compiled.constants->GetSamplerIndex(compiled.constants->GetConstantByName("second")), 3);
    EXPECT_EQ(compiled.constants->GetSamplerIndex(compiled.constants->GetConstantByName("first")), 0);
}

TEST(ShaderBatches, EveryPixelOfABatchGetsItsOwnResult) {
    const std::string source =
        "sampler2D image;\n"
        "float4 PS(float4 tint : COLOR0, float2 uv : TEXCOORD0) : COLOR0\n"
        "{\n"
        "    return tex2D(image, uv) * tint;\n"
        "}\n";
    plat::CompiledShader compiled = testsupport::CompilePixel(source);
    ASSERT_TRUE(compiled.Ok()) << compiled.errors;
    testsupport::CoordinateSampler sampler;
    constexpr int kCount = 37;  // two full batches, a group of four and one left over
    plat::ShaderAttributes in[kCount];
    for (int i = 0; i < kCount; ++i) {
        in[i] = Attributes({1, 2, 3, float(i)}, {float(i), float(i) * 2, 0, 1}, {});
    }
    float out[kCount][4];
    compiled.code->RunPixels(plat::ConstantRegisters{}, in, kCount, sampler, out);
    for (int i = 0; i < kCount; ++i) {
        EXPECT_FLOAT_EQ(out[i][0], float(i)) << i;
        EXPECT_FLOAT_EQ(out[i][1], float(i) * 4) << i;
        EXPECT_FLOAT_EQ(out[i][2], 0.0f) << i;
        EXPECT_FLOAT_EQ(out[i][3], float(i)) << i;
    }
}

}  // namespace
