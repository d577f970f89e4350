// Sources outside the supported subset fail with "line N: ..." naming the
// problem, and a failed compile hands back no program.

#include "tests/platform/shader_test_support.h"

namespace {

struct ErrorCase {
    const char* source;
    const char* expected;  // the whole error text
    const char* profile = "ps_2_0";
};

void PrintTo(const ErrorCase& k, std::ostream* os) { *os << k.expected; }

class ShaderErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(ShaderErrorTest, FailsWithTheExpectedMessage) {
    const ErrorCase& k = GetParam();
    plat::CompiledShader compiled = plat::CompileShader(k.source, "PS", k.profile);
    EXPECT_FALSE(compiled.Ok());
    EXPECT_EQ(compiled.code, nullptr);
    EXPECT_EQ(compiled.constants, nullptr);
    EXPECT_EQ(compiled.errors, k.expected) << k.source;
}

constexpr const char* kHead = "float4 PS(float4 c : COLOR0, float2 uv : TEXCOORD0) : COLOR0\n{\n";

std::string Body(const std::string& lines) { return std::string(kHead) + lines + "}\n"; }

// Stored so the test parameters can point at them.
const std::string kIf = Body("    if (c.x > 0.5) c = 1;\n    return c;\n");
const std::string kCompare = Body("    float4 r = c.x < 0.5 ? c : 1 - c;\n    return r;\n");
const std::string kUnknownFunction = Body("    return normalize(c);\n");
const std::string kUserFunction = "float4 Twice(float4 x) { return x * 2; }\n" + Body("    return Twice(c);\n");
const std::string kUnknownName = Body("    return colour;\n");
const std::string kSizes = Body("    return c + uv;\n");
const std::string kTruncate = Body("    float3 x = c;\n    return c;\n");
const std::string kUninitialised = Body("    float4 r;\n    r.xyz = c.xyz;\n    return r;\n");
const std::string kNoReturn = Body("    float4 r = c;\n");
const std::string kAfterReturn = Body("    return c;\n    c = 0;\n");
const std::string kBadSwizzle = Body("    return uv.xyz.xxxx;\n");
const std::string kMixedSwizzle = Body("    return c.xgba;\n");
const std::string kBadMask = Body("    float4 r = c;\n    r.xx = uv;\n    return r;\n");
const std::string kArgs = Body("    return lerp(c, c);\n");
const std::string kTexCoords = "sampler2D s;\n" + Body("    return tex2D(s, c);\n");
const std::string kMatrixTimes = "float4x4 M;\n" + Body("    return M * c;\n");
const std::string kMulSize = "float4x4 M;\n" + Body("    return mul(M, uv);\n");
const std::string kConstructor = Body("    return float4(uv, 1);\n");
const std::string kHalf = Body("    half4 h = c;\n    return c;\n");
const std::string kLoop = Body("    for (;;) {}\n    return c;\n");
const std::string kAssignUniform = "float k;\n" + Body("    k = 1;\n    return c;\n");
const std::string kIndex = Body("    return c[0];\n");

INSTANTIATE_TEST_SUITE_P(
    OutsideTheSubset, ShaderErrorTest,
    testing::Values(
        ErrorCase{kIf.c_str(), "line 3: 'if' is not supported; use step() and lerp()"},
        ErrorCase{kCompare.c_str(), "line 3: operator '<' is not supported; use step() and lerp()"},
        ErrorCase{kUnknownFunction.c_str(), "line 3: function 'normalize' is not supported"},
        ErrorCase{kUserFunction.c_str(),
                  "line 4: calling 'Twice' is not supported: only built-in functions can be called"},
        ErrorCase{kHalf.c_str(), "line 3: type 'half4' is not supported"},
        ErrorCase{kLoop.c_str(), "line 3: loops are not supported"},
        ErrorCase{kIndex.c_str(), "line 3: indexing is not supported"},
        ErrorCase{"#define X 1\nfloat4 PS() : COLOR0 { return 1; }",
                  "line 1: preprocessor directives are not supported"},
        ErrorCase{"float4 PS(float4 p : POSITION) : COLOR0 { return p; }",
                  "line 1: POSITION cannot be read by a pixel shader in ps_2_0"},
        ErrorCase{"float4 PS(float4 p : TEXCOORD2) : COLOR0 { return p; }",
                  "line 1: semantic 'TEXCOORD2' is not supported (use POSITION, COLOR0, TEXCOORD0 or TEXCOORD1)"},
        ErrorCase{"sampler2D s;\nfloat4 PS(float4 p : POSITION) : POSITION\n{\n    return tex2D(s, p.xy);\n}\n",
                  "line 4: tex2D is not available in vs_2_0", "vs_2_0"},
        ErrorCase{"float4 PS() : COLOR0 { return 1; }", "line 1: unsupported profile 'ps_3_0' (use ps_2_0 or vs_2_0)",
                  "ps_3_0"}));

INSTANTIATE_TEST_SUITE_P(
    Mistakes, ShaderErrorTest,
    testing::Values(
        ErrorCase{kUnknownName.c_str(), "line 3: unknown identifier 'colour'"},
        ErrorCase{kSizes.c_str(), "line 3: cannot combine float4 with float2 (sizes differ)"},
        ErrorCase{kTruncate.c_str(), "line 3: cannot assign float4 to float3 'x'"},
        ErrorCase{kUninitialised.c_str(), "line 5: 'r' is used before it is completely written"},
        ErrorCase{kNoReturn.c_str(), "line 4: 'PS' must end with a return statement"},
        ErrorCase{kAfterReturn.c_str(), "line 4: code after 'return' is not supported"},
        ErrorCase{kBadSwizzle.c_str(), "line 3: swizzle '.xyz' is out of range for float2"},
        ErrorCase{kMixedSwizzle.c_str(), "line 3: invalid swizzle '.xgba'"},
        ErrorCase{kBadMask.c_str(), "line 4: invalid write mask '.xx' for float4 'r'"},
        ErrorCase{kArgs.c_str(), "line 3: 'lerp' takes 3 arguments, got 2"},
        ErrorCase{kTexCoords.c_str(), "line 4: tex2D needs float2 texture coordinates, not float4"},
        ErrorCase{kMatrixTimes.c_str(), "line 4: a float4x4 can only be used through mul()"},
        ErrorCase{kMulSize.c_str(), "line 4: mul needs a float4 with a float4x4, not float2"},
        ErrorCase{kConstructor.c_str(), "line 3: float4 constructor needs 4 components, got 3"},
        ErrorCase{kAssignUniform.c_str(), "line 4: cannot assign to uniform 'k'"},
        ErrorCase{"float4 VS() : POSITION { return 1; }", "line 1: entry point 'PS' not found"},
        ErrorCase{"float4 PS() : COLOR0 { return 1 }", "line 1: expected ';' before '}'"},
        ErrorCase{"float4 PS() : COLOR0 {\n  return 1;\n", "line 3: 'PS' is not closed"},
        ErrorCase{"float4 PS() : COLOR0 { return 1; } /* open", "line 1: comment is not closed"},
        ErrorCase{"float4 PS() : COLOR0 { return 1 @ 2; }", "line 1: unexpected character '@'"},
        ErrorCase{"float4 PS() { return 1; }", "line 1: the return value of 'PS' needs a semantic"},
        ErrorCase{"float k : register(c40);\nfloat4 PS() : COLOR0 { return k; }",
                  "line 1: register c40 is out of range for ps_2_0"},
        ErrorCase{"struct O { float4 c : COLOR0; float4 t : TEXCOORD0; };\nO PS() { O o; o.c = 1; return o; }",
                  "line 1: a pixel shader can only output COLOR0"},
        ErrorCase{"struct O { float4 p : POSITION; float4 c : COLOR0; };\nO PS() { O o; o.p = 1; return o; }",
                  "line 2: output 'c' of 'O' is not completely written", "vs_2_0"},
        ErrorCase{"", "line 1: entry point 'PS' not found"}));

TEST(ShaderErrors, LimitsOfTheProfileAreReportedNotOverrun) {
    // More locals than the interpreter keeps registers for.
    std::string locals = "float4 PS(float4 c : COLOR0) : COLOR0\n{\n";
    for (int i = 0; i < 200; ++i) locals += "    float4 v" + std::to_string(i) + " = c;\n";
    locals += "    return c;\n}\n";
    EXPECT_EQ(testsupport::CompilePixel(locals).errors, "line 123: shader is too complex: out of registers");

    // ps_2_0 has 32 constant registers; a vertex program has 256.
    std::string uniforms;
    std::string sum = "0";
    for (int i = 0; i < 33; ++i) {
        uniforms += "float4 k" + std::to_string(i) + ";\n";
        sum += " + k" + std::to_string(i);
    }
    const std::string source = uniforms + "float4 PS() : COLOR0\n{\n    return " + sum + ";\n}\n";
    EXPECT_EQ(testsupport::CompilePixel(source).errors, "line 36: too many uniform constants for ps_2_0");
    const std::string vertex = uniforms + "float4 PS() : POSITION\n{\n    return " + sum + ";\n}\n";
    EXPECT_TRUE(plat::CompileShader(vertex, "PS", "vs_2_0").Ok());
}

TEST(ShaderErrors, DeepNestingIsRefusedInsteadOfOverflowingTheStack) {
    const std::string open(100000, '(');
    EXPECT_EQ(testsupport::CompilePixel("float4 PS() : COLOR0 { return " + open + "1; }").errors,
              "line 1: expression is nested too deeply");
    std::string minus;
    for (int i = 0; i < 50000; ++i) minus += "- ";
    EXPECT_EQ(testsupport::CompilePixel("float4 PS() : COLOR0 { return " + minus + "1; }").errors,
              "line 1: expression is nested too deeply");
    // Ordinary nesting is fine.
    EXPECT_TRUE(testsupport::CompilePixel("float4 PS() : COLOR0 { return ((((-(-1))))); }").Ok());
}

TEST(ShaderErrors, GarbageNeverCrashesTheCompiler) {
    // Every prefix of a valid program is either valid or an error message;
    // none may crash or leave a half-built program behind.
    const std::string source =
        "float4x4 M : register(c0);\n"
        "sampler2D s;\n"
        "struct In { float4 c : COLOR0; float2 uv : TEXCOORD0; };\n"
        "float4 PS(In i) : COLOR0\n"
        "{\n"
        "    float4 t = tex2D(s, i.uv.yx) * i.c;\n"
        "    t.rgb = lerp(t.rgb, mul(M, t).xyz, saturate(dot(t, t)));\n"
        "    return t;\n"
        "}\n";
    ASSERT_TRUE(testsupport::CompilePixel(source).Ok());
    for (std::size_t n = 0; n < source.size(); ++n) {
        plat::CompiledShader compiled = testsupport::CompilePixel(source.substr(0, n));
        if (compiled.Ok()) {
            EXPECT_EQ(n, source.size() - 1);  // only the final newline may be missing
            EXPECT_TRUE(compiled.errors.empty());
        } else {
            EXPECT_EQ(compiled.errors.rfind("line ", 0), 0u) << compiled.errors;
        }
    }
}

}  // namespace
