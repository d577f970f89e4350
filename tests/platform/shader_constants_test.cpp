// Uniform constants looked up by name, matrices in both multiplication
// orders, and vertex programs with struct inputs and outputs.

#include <cstring>

#include "tests/platform/shader_test_support.h"

namespace {

using testsupport::Attributes;
using testsupport::Color4;

// Row-major, as the engine hands matrices over: element (r, c) at r*4 + c.
const float kMatrix[16] = {1,  2,  3,   4,  //
                           -5, 6,  7,   8,  //
                           9,  10, -11, 12, 13, 14, 15, 0.5f};
const Color4 kVector{0.5f, -1.0f, 2.0f, 1.0f};

Color4 MatrixTimesVector() {
    Color4 out{};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) out[r] += kMatrix[r * 4 + c] * kVector[c];
    }
    return out;
}

Color4 VectorTimesMatrix() {
    Color4 out{};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) out[c] += kVector[r] * kMatrix[r * 4 + c];
    }
    return out;
}

void ExpectNear(const Color4& got, const Color4& want) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], want[i], 1e-4f) << "component " << i;
}

TEST(ShaderMatrices, MulInBothOrdersFollowsTheRowMajorMatrixSetByName) {
    for (const char* expression : {"mul(M, v)", "mul(v, M)"}) {
        const std::string source = std::string(
                                       "float4x4 M;\n"
                                       "float4 PS(float4 v : COLOR0) : COLOR0 { return ") +
                                   expression + "; }\n";
        plat::CompiledShader compiled = testsupport::CompilePixel(source);
        ASSERT_TRUE(compiled.Ok()) << compiled.errors;
        plat::ConstantRegisters registers;
        plat::ConstantHandle m = compiled.constants->GetConstantByName("M");
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->kind, plat::ConstantKind::Matrix);
        EXPECT_EQ(m->registerCount, 4);
        ASSERT_TRUE(compiled.constants->SetValue(registers, m, kMatrix, sizeof kMatrix));
        testsupport::FixedSampler sampler;
        const Color4 out = testsupport::RunPixel(source, Attributes(kVector, {}, {}), sampler, registers);
        ExpectNear(out, std::string(expression) == "mul(M, v)" ? MatrixTimesVector() : VectorTimesMatrix());
    }
}

TEST(ShaderMatrices, AMatrixDefaultIsReadRowByRow) {
    std::string values;
    for (float x : kMatrix) values += (values.empty() ? "" : ", ") + std::to_string(x);
    const std::string source = "float4x4 M = float4x4(" + values +
                               ");\n"
                               "float4 PS(float4 v : COLOR0) : COLOR0 { return mul(M, v); }\n";
    plat::CompiledShader compiled = testsupport::CompilePixel(source);
    ASSERT_TRUE(compiled.Ok()) << compiled.errors;
    plat::ConstantRegisters registers;
    compiled.constants->SetDefaults(registers);
    testsupport::FixedSampler sampler;
    ExpectNear(testsupport::RunPixel(source, Attributes(kVector, {}, {}), sampler, registers), MatrixTimesVector());
}

TEST(ShaderConstants, SetByNameDefaultsAndUnusedConstantsDropped) {
    const std::string source =
        "uniform float Amount;\n"
        "float4 Tint = float4(0.25, 0.5, 0.75, 1);\n"
        "float2 Offset : register(c7) = {3, -4};\n"
        "float Unused = 9;\n"
        "float4 PS(float4 colour : COLOR0) : COLOR0\n"
        "{\n"
        "    float4 r = colour * Tint * Amount;\n"
        "    r.xy = r.xy + Offset;\n"
        "    return r;\n"
        "}\n";
    plat::CompiledShader compiled = testsupport::CompilePixel(source);
    ASSERT_TRUE(compiled.Ok()) << compiled.errors;
    const plat::ConstantTable& table = *compiled.constants;
    EXPECT_EQ(table.GetConstantByName("Unused"), nullptr);
    EXPECT_EQ(table.GetConstantByName("amount"), nullptr);  // names are case-sensitive
    EXPECT_EQ(table.GetConstantByName("Missing"), nullptr);
    plat::ConstantHandle amount = table.GetConstantByName("Amount");
    plat::ConstantHandle offset = table.GetConstantByName("Offset");
    ASSERT_NE(amount, nullptr);
    ASSERT_NE(offset, nullptr);
    EXPECT_EQ(offset->registerIndex, 7);
    EXPECT_NE(amount->registerIndex, table.GetConstantByName("Tint")->registerIndex);

    plat::ConstantRegisters registers;
    table.SetDefaults(registers);
    const float two = 2.0f;
    EXPECT_TRUE(table.SetValue(registers, amount, &two, sizeof two));
    testsupport::FixedSampler sampler;
    const Color4 colour{1, 2, 3, 4};
    Color4 out = testsupport::RunPixel(source, Attributes(colour, {}, {}), sampler, registers);
    ExpectNear(out, {0.25f * 2 + 3, 2 * 0.5f * 2 - 4, 3 * 0.75f * 2, 4 * 1 * 2});

    // A constant set again keeps its new value; one float set into a vector
    // changes only its first component.
    const float x = 10.0f;
    EXPECT_TRUE(table.SetValue(registers, offset, &x, sizeof x));
    out = testsupport::RunPixel(source, Attributes(colour, {}, {}), sampler, registers);
    EXPECT_NEAR(out[0], 0.5f + 10, 1e-5);
    EXPECT_NEAR(out[1], 2.0f - 4, 1e-5);
}

TEST(ShaderConstants, SetValueRefusesWhatItCannotStore) {
    plat::CompiledShader a = testsupport::CompilePixel(
        "float k; sampler2D s; float4 PS(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(s, uv) * k; }");
    plat::CompiledShader b = testsupport::CompilePixel("float k; float4 PS() : COLOR0 { return k; }");
    ASSERT_TRUE(a.Ok() && b.Ok()) << a.errors << b.errors;
    plat::ConstantRegisters registers;
    const float value[16] = {1};
    plat::ConstantHandle k = a.constants->GetConstantByName("k");
    EXPECT_FALSE(a.constants->SetValue(registers, nullptr, value, 4));
    EXPECT_FALSE(a.constants->SetValue(registers, b.constants->GetConstantByName("k"), value, 4));
    EXPECT_FALSE(a.constants->SetValue(registers, a.constants->GetConstantByName("s"), value, 4));
    EXPECT_FALSE(a.constants->SetValue(registers, k, value, 3));
    EXPECT_FALSE(a.constants->SetValue(registers, k, nullptr, 4));
    // More bytes than the constant holds: only its own register changes.
    registers.value[k->registerIndex + 1][0] = 42.0f;
    EXPECT_TRUE(a.constants->SetValue(registers, k, value, sizeof value));
    EXPECT_EQ(registers.value[k->registerIndex][0], 1.0f);
    EXPECT_EQ(registers.value[k->registerIndex + 1][0], 42.0f);
}

TEST(ShaderVertexPrograms, StructInputsAndOutputsThroughTheProjectionMatrix) {
    const std::string source =
        "float4x4 ProjMatrix;\n"
        "struct VertexIn {\n"
        "    float4 position : POSITION;\n"
        "    float4 colour : COLOR0;\n"
        "    float2 uv : TEXCOORD0;\n"
        "};\n"
        "struct VertexOut {\n"
        "    float4 position : POSITION;\n"
        "    float4 colour : COLOR0;\n"
        "    float2 uv : TEXCOORD1;\n"
        "};\n"
        "float4 PS(float4 c : COLOR0) : COLOR0 { return c; }\n"
        "VertexOut VS(VertexIn input)\n"
        "{\n"
        "    VertexOut o;\n"
        "    o.position = mul(ProjMatrix, input.position);\n"
        "    o.colour = input.colour.bgra;\n"
        "    o.uv = input.uv * 2;\n"
        "    return o;\n"
        "}\n";
    plat::CompiledShader compiled = plat::CompileShader(source, "VS", "vs_2_0");
    ASSERT_TRUE(compiled.Ok()) << compiled.errors;
    EXPECT_EQ(compiled.code->Kind(), plat::ShaderKind::Vertex);
    plat::ConstantRegisters registers;
    ASSERT_TRUE(
        compiled.constants->SetValue(registers, compiled.constants->GetConstantByName("ProjMatrix"), kMatrix, 64));

    constexpr int kCount = 21;  // a full batch and a short one
    plat::ShaderAttributes in[kCount];
    plat::ShaderAttributes out[kCount];
    for (int i = 0; i < kCount; ++i) {
        for (int c = 0; c < 4; ++c) {
            in[i].position[c] = kVector[c] * float(i + 1);
            in[i].color[c] = 0.1f * float(c + i);
        }
        in[i].texcoord[0][0] = float(i);
        in[i].texcoord[0][1] = 0.5f;
    }
    compiled.code->RunVertices(registers, in, out, kCount);
    for (int i = 0; i < kCount; ++i) {
        Color4 want = MatrixTimesVector();
        for (float& x : want) x *= float(i + 1);
        ExpectNear({out[i].position[0], out[i].position[1], out[i].position[2], out[i].position[3]}, want);
        EXPECT_FLOAT_EQ(out[i].color[0], in[i].color[2]);
        EXPECT_FLOAT_EQ(out[i].color[2], in[i].color[0]);
        EXPECT_FLOAT_EQ(out[i].color[3], in[i].color[3]);
        // A float2 output is completed as (u, v, 0, 1); TEXCOORD0 is not written.
        EXPECT_FLOAT_EQ(out[i].texcoord[1][0], float(i) * 2);
        EXPECT_FLOAT_EQ(out[i].texcoord[1][1], 1.0f);
        EXPECT_FLOAT_EQ(out[i].texcoord[1][2], 0.0f);
        EXPECT_FLOAT_EQ(out[i].texcoord[1][3], 1.0f);
        EXPECT_FLOAT_EQ(out[i].texcoord[0][0], 0.0f);
        EXPECT_FLOAT_EQ(out[i].texcoord[0][3], 1.0f);
    }

    // The pixel entry of the same file compiles on its own.
    EXPECT_TRUE(plat::CompileShader(source, "PS", "ps_2_0").Ok());
}

}  // namespace
