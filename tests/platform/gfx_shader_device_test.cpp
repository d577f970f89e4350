// Device shaders as the engine drives them: constants by name, sampling by
// each stage's sampler states, vertex shaders in place of the fixed
// transform, unbinding, reference counts, caps without shader support and
// compile errors.
#include <cmath>
#include <vector>

#include "tests/platform/gfx_shader_test_util.h"

namespace {

using testsupport::Ch;
using testsupport::Ref;

constexpr const char* kTintShader =
    "float4 Tint;\n"
    "float Strength = 0.5;\n"
    "float4 PS(float4 c : COLOR0) : COLOR0 { return c * Tint * Strength; }\n";

constexpr const char* kProjectionShader =
    "float4x4 ProjMatrix;\n"
    "float4 Offset;\n"
    "struct VertexIn { float4 position : POSITION; float4 colour : COLOR0; float2 uv : TEXCOORD0; };\n"
    "struct VertexOut { float4 position : POSITION; float4 colour : COLOR0; float2 uv : TEXCOORD0; };\n"
    "VertexOut VS(VertexIn input)\n"
    "{\n"
    "    VertexOut o;\n"
    "    o.position = mul(input.position + Offset, ProjMatrix);\n"
    "    o.colour = input.colour;\n"
    "    o.uv = input.uv;\n"
    "    return o;\n"
    "}\n";

int Byte(float unit) { return static_cast<int>(std::lround(std::clamp(unit, 0.0f, 1.0f) * 255.0f)); }

void ExpectPixel(uint32_t got, int a, int r, int g, int b, int tolerance, const char* what) {
    EXPECT_NEAR(Ch(got, 24), a, tolerance) << what;
    EXPECT_NEAR(Ch(got, 16), r, tolerance) << what;
    EXPECT_NEAR(Ch(got, 8), g, tolerance) << what;
    EXPECT_NEAR(Ch(got, 0), b, tolerance) << what;
}

using GfxShaderDeviceTest = testsupport::GfxShaderTest;

TEST_F(GfxShaderDeviceTest, ConstantsSetByNameChangeTheOutput) {
    testsupport::PixelShaderObjects ps = MakePixelShader(kTintShader);
    ASSERT_NE(ps.shader.get(), nullptr);
    plat::ConstantHandle tint = ps.table->GetConstantByName(nullptr, "Tint");
    plat::ConstantHandle strength = ps.table->GetConstantByName(nullptr, "Strength");
    ASSERT_NE(tint, nullptr);
    ASSERT_NE(strength, nullptr);
    EXPECT_EQ(ps.table->GetConstantByName(tint, "Strength"), nullptr);  // constants have no members
    EXPECT_EQ(ps.table->GetConstantByName(nullptr, "Missing"), nullptr);

    const float tintValue[4] = {1.0f, 0.5f, 0.25f, 1.0f};
    device_->SetPixelShader(ps.shader.get());
    ASSERT_EQ(plat::kOk, ps.table->SetDefaults(device_));
    ASSERT_EQ(plat::kOk, ps.table->SetValue(device_, tint, tintValue, sizeof tintValue));
    float reg[4];
    ASSERT_EQ(plat::kOk, device_->GetPixelShaderConstantF(static_cast<uint32_t>(tint->registerIndex), reg, 1));
    for (int c = 0; c < 4; ++c) EXPECT_EQ(reg[c], tintValue[c]);

    BlendOff();
    const uint32_t colour = 0xFFC08040u;
    auto expect = [&](int x, float strengthValue) {
        const uint32_t got = At(Read(), x, 1);
        const float rgba[4] = {0xC0 / 255.0f, 0x80 / 255.0f, 0x40 / 255.0f, 1.0f};
        int want[4];
        for (int c = 0; c < 4; ++c) want[c] = Byte(rgba[c] * tintValue[c] * strengthValue);
        ExpectPixel(got, want[3], want[0], want[1], want[2], 1, "tinted");
    };
    Quad(0, 0, 4, 4, colour);
    expect(1, 0.5f);
    const float full = 1.0f;
    ASSERT_EQ(plat::kOk, ps.table->SetValue(device_, strength, &full, sizeof full));
    Quad(10, 0, 4, 4, colour);
    expect(11, 1.0f);

    // Refused: a null device, too few bytes, a handle of another table.
    testsupport::PixelShaderObjects other = MakePixelShader(kTintShader);
    EXPECT_NE(plat::kOk, ps.table->SetValue(nullptr, tint, tintValue, sizeof tintValue));
    EXPECT_NE(plat::kOk, ps.table->SetValue(device_, tint, tintValue, 2));
    EXPECT_NE(plat::kOk, ps.table->SetValue(device_, other.table->GetConstantByName(nullptr, "Tint"), tintValue, 16));
    device_->SetPixelShader(nullptr);
}

// A matrix lands one column per register; a vertex table writes the vertex
// registers and leaves the pixel ones alone.
TEST_F(GfxShaderDeviceTest, VertexConstantTableWritesTheVertexRegisters) {
    testsupport::VertexShaderObjects vs = MakeVertexShader(kProjectionShader);
    ASSERT_NE(vs.table.get(), nullptr);
    EXPECT_EQ(vs.table->Stage(), plat::ShaderKind::Vertex);
    plat::ConstantHandle proj = vs.table->GetConstantByName(nullptr, "ProjMatrix");
    ASSERT_NE(proj, nullptr);
    float m[16];
    for (int i = 0; i < 16; ++i) m[i] = float(i + 1);
    ASSERT_EQ(plat::kOk, vs.table->SetValue(device_, proj, m, sizeof m));
    float regs[4][4];
    const uint32_t base = static_cast<uint32_t>(proj->registerIndex);
    ASSERT_EQ(plat::kOk, device_->GetVertexShaderConstantF(base, &regs[0][0], 4));
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) EXPECT_EQ(regs[col][row], m[row * 4 + col]);
    if (base < 32) {
        float pixel[4];
        ASSERT_EQ(plat::kOk, device_->GetPixelShaderConstantF(base, pixel, 1));
        for (float v : pixel) EXPECT_EQ(v, 0.0f);
    }
    // Pixel shaders have 32 registers, vertex shaders 256.
    EXPECT_EQ(plat::kOk, device_->SetPixelShaderConstantF(30, m, 2));
    EXPECT_NE(plat::kOk, device_->SetPixelShaderConstantF(31, m, 2));
    EXPECT_NE(plat::kOk, device_->SetPixelShaderConstantF(0xFFFFFFFFu, m, 2));
    EXPECT_EQ(plat::kOk, device_->SetVertexShaderConstantF(255, m, 1));
    EXPECT_NE(plat::kOk, device_->GetVertexShaderConstantF(254, &regs[0][0], 3));
}

struct SamplingCase {
    plat::TextureFilter filter;
    plat::TextureAddress address;
};

void PrintTo(const SamplingCase& k, std::ostream* os) {
    *os << (k.filter == plat::TextureFilter::Linear ? "bilinear" : "point") << "/"
        << (k.address == plat::TextureAddress::Wrap ? "wrap" : "clamp");
}

class GfxShaderSamplingTest : public testsupport::GfxShaderTest, public testing::WithParamInterface<SamplingCase> {};

// tex2D through a pixel shader reads exactly what the fixed stages read:
// magnified, rotated and beyond 0..1, under each filter and address mode.
TEST_P(GfxShaderSamplingTest, PixelShaderSamplesAsTheFixedStagesDo) {
    testsupport::PixelShaderObjects ps = MakePixelShader(
        "sampler2D Image : register(s0);\n"
        "float4 PS(float4 c : COLOR0, float2 uv : TEXCOORD0) : COLOR0 { return tex2D(Image, uv) * c; }\n");
    ASSERT_NE(ps.shader.get(), nullptr);
    Ref<plat::Texture> texture(MakeTexture(8, 8, testsupport::Noise(64, 11, false)));
    device_->SetTexture(0, texture.get());
    Sampling(0, GetParam().filter, GetParam().address);
    BlendOff();
    auto draw = [&] {
        Clear(0);
        Quad(2, 2, 24, 20, 0xFFFFFFFFu, -0.75f, -0.5f, 1.75f, 1.5f);
        const float cx = 44, cy = 24, r = 15, a = 0.5f;
        auto corner = [&](float dx, float dy, float s, float t) {
            return testsupport::Vtx{cx + dx * std::cos(a) - dy * std::sin(a),
                                    cy + dx * std::sin(a) + dy * std::cos(a),
                                    0,
                                    0xFFFFFFFFu,
                                    s,
                                    t};
        };
        testsupport::Vtx v[4] = {corner(-r, -r, -0.6f, -0.3f), corner(-r, r, -0.6f, 1.4f), corner(r, -r, 1.3f, -0.3f),
                                 corner(r, r, 1.3f, 1.4f)};
        EXPECT_EQ(plat::kOk, device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleStrip, 2, v, sizeof v[0]));
        return Read();
    };
    const auto fixed = draw();
    device_->SetPixelShader(ps.shader.get());
    const auto shaded = draw();
    device_->SetPixelShader(nullptr);
    int drawn = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const uint32_t f = At(fixed, x, y), s = At(shaded, x, y);
            drawn += f != 0;
            for (int shift : {0, 8, 16, 24}) ASSERT_NEAR(Ch(s, shift), Ch(f, shift), 1) << x << "," << y;
        }
    EXPECT_GT(drawn, 24 * 20);
}

INSTANTIATE_TEST_SUITE_P(SamplerStates, GfxShaderSamplingTest,
                         testing::Values(SamplingCase{plat::TextureFilter::Point, plat::TextureAddress::Clamp},
                                         SamplingCase{plat::TextureFilter::Point, plat::TextureAddress::Wrap},
                                         SamplingCase{plat::TextureFilter::Linear, plat::TextureAddress::Clamp},
                                         SamplingCase{plat::TextureFilter::Linear, plat::TextureAddress::Wrap}));

// A shader may move coordinates by whole textures far beyond the fixed-point
// range; under wrapping that must change nothing.
TEST_F(GfxShaderDeviceTest, FarCoordinatesWrapLikeNearOnes) {
    testsupport::PixelShaderObjects ps = MakePixelShader(
        "sampler2D Image : register(s0);\n"
        "float2 Shift;\n"
        "float4 PS(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(Image, uv + Shift); }\n");
    ASSERT_NE(ps.shader.get(), nullptr);
    Ref<plat::Texture> texture(MakeTexture(8, 8, testsupport::Noise(64, 5, true)));
    device_->SetTexture(0, texture.get());
    Sampling(0, plat::TextureFilter::Linear, plat::TextureAddress::Wrap);
    BlendOff();
    device_->SetPixelShader(ps.shader.get());
    plat::ConstantHandle shift = ps.table->GetConstantByName(nullptr, "Shift");
    auto draw = [&](float s, float t) {
        const float value[2] = {s, t};
        EXPECT_EQ(plat::kOk, ps.table->SetValue(device_, shift, value, sizeof value));
        Quad(0, 0, 20, 20, 0xFFFFFFFFu, -0.3f, 0.1f, 1.2f, 1.7f);
        return Read();
    };
    const auto near = draw(0, 0);
    const auto far = draw(4096, -4096);
    device_->SetPixelShader(nullptr);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            for (int shift : {0, 8, 16, 24})
                ASSERT_NEAR(Ch(At(far, x, y), shift), Ch(At(near, x, y), shift), 1) << x << "," << y;
}

// Coordinates thousands of textures away used to reach the int32 limit,
// where the bilinear filter's half-texel shift overflowed and a far-left
// coordinate read the right edge. Clamped, they read the nearest edge texel,
// with or without a shader.
TEST_F(GfxShaderDeviceTest, FarClampedCoordinatesReadTheNearEdgeWithoutOverflow) {
    testsupport::PixelShaderObjects ps = MakePixelShader(
        "sampler2D Image : register(s0);\n"
        "float4 PS(float4 c : COLOR0, float2 uv : TEXCOORD0) : COLOR0 { return tex2D(Image, uv) * c; }\n");
    ASSERT_NE(ps.shader.get(), nullptr);
    const std::vector<uint32_t> texels = testsupport::Noise(64, 9, true);
    Ref<plat::Texture> texture(MakeTexture(8, 8, texels));
    device_->SetTexture(0, texture.get());
    Sampling(0, plat::TextureFilter::Linear, plat::TextureAddress::Clamp);
    BlendOff();
    for (plat::DevicePixelShader* shader : {static_cast<plat::DevicePixelShader*>(nullptr), ps.shader.get()}) {
        device_->SetPixelShader(shader);
        Clear(0);
        Quad(0, 0, 6, 6, 0xFFFFFFFFu, -50000, -50000, -49999, -49999);
        Quad(10, 0, 6, 6, 0xFFFFFFFFu, 50000, 50000, 50001, 50001);
        testsupport::Vtx tri[3] = {{20, 0, 0, 0xFFFFFFFFu, -60000, -60000},
                                   {40, 2, 0, 0xFFFFFFFFu, -40000, -60000},
                                   {22, 20, 0, 0xFFFFFFFFu, -60000, -40000}};
        ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleList, 1, tri, sizeof tri[0]));
        const auto px = Read();
        EXPECT_EQ(At(px, 2, 2), texels[0]) << (shader ? "shader" : "fixed");
        EXPECT_EQ(At(px, 13, 3), texels[63]) << (shader ? "shader" : "fixed");
        EXPECT_EQ(At(px, 24, 4), texels[0]) << (shader ? "shader" : "fixed");
    }
    device_->SetPixelShader(nullptr);
}

// The projection the engine hands over as "ProjMatrix" places every pixel
// where the fixed transform does, and the world transform no longer applies.
TEST_F(GfxShaderDeviceTest, VertexShaderWithProjMatrixCoversTheFixedPipelinesPixels) {
    testsupport::VertexShaderObjects vs = MakeVertexShader(kProjectionShader);
    ASSERT_NE(vs.shader.get(), nullptr);
    auto draw = [&] {
        Clear(0);
        Quad(3, 4, 10, 7, 0xFF20A0E0u);
        Quad(20.25f, 5.6f, 9.3f, 11.1f, 0x80402010u);
        testsupport::Vtx tri[3] = {{40.3f, 3.2f, 0, 0xFFFFFFFFu, 0, 0},
                                   {60.7f, 20.1f, 0, 0xFF00FF00u, 0, 0},
                                   {35.1f, 40.9f, 0, 0xFF0000FFu, 0, 0}};
        EXPECT_EQ(plat::kOk, device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleList, 1, tri, sizeof tri[0]));
        return Read();
    };
    const auto fixed = draw();
    const plat::Matrix proj = testsupport::PixelProjection(kW, kH);
    device_->SetVertexShader(vs.shader.get());
    ASSERT_EQ(plat::kOk, vs.table->SetDefaults(device_));
    ASSERT_EQ(plat::kOk, vs.table->SetValue(device_, vs.table->GetConstantByName(nullptr, "ProjMatrix"), &proj.m[0][0],
                                            sizeof proj.m));
    plat::Matrix world;
    plat::MatrixTranslation(&world, 7, 0, 0);
    device_->SetTransform(plat::TransformState::World, &world);
    const auto shaded = draw();
    device_->SetVertexShader(nullptr);
    int covered = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            covered += At(fixed, x, y) != 0;
            EXPECT_EQ(At(fixed, x, y) != 0, At(shaded, x, y) != 0) << x << "," << y;
            for (int shift : {0, 8, 16, 24})
                EXPECT_NEAR(Ch(At(shaded, x, y), shift), Ch(At(fixed, x, y), shift), 1) << x << "," << y;
        }
    EXPECT_GT(covered, 70 + 90 + 200);
}

TEST_F(GfxShaderDeviceTest, NullShadersReturnToTheFixedPipeline) {
    testsupport::PixelShaderObjects ps = MakePixelShader("float4 PS(float4 c : COLOR0) : COLOR0 { return c.gbra; }\n");
    testsupport::VertexShaderObjects vs = MakeVertexShader(kProjectionShader);
    ASSERT_NE(ps.shader.get(), nullptr);
    ASSERT_NE(vs.shader.get(), nullptr);
    const plat::Matrix proj = testsupport::PixelProjection(kW, kH);
    const float offset[4] = {10, 0, 0, 0};
    vs.table->SetValue(device_, vs.table->GetConstantByName(nullptr, "ProjMatrix"), &proj.m[0][0], 64);
    vs.table->SetValue(device_, vs.table->GetConstantByName(nullptr, "Offset"), offset, sizeof offset);
    BlendOff();
    device_->SetPixelShader(ps.shader.get());
    device_->SetVertexShader(vs.shader.get());
    Quad(0, 0, 4, 4, 0xFF102030u);  // lands at x 10..13, colour swizzled
    device_->SetPixelShader(nullptr);
    device_->SetVertexShader(nullptr);
    Quad(0, 10, 4, 4, 0xFF102030u);
    const auto px = Read();
    EXPECT_EQ(At(px, 0, 0), 0u);
    EXPECT_EQ(At(px, 10, 0), 0xFF203010u);
    EXPECT_EQ(At(px, 13, 3), 0xFF203010u);
    EXPECT_EQ(At(px, 14, 3), 0u);
    EXPECT_EQ(At(px, 0, 10), 0xFF102030u);
    EXPECT_EQ(At(px, 3, 13), 0xFF102030u);
    EXPECT_EQ(At(px, 10, 10), 0u);
}

// Colours beyond 0..1 are clamped, then the blend stage runs as usual; a
// stage with no texture reads as opaque black.
TEST_F(GfxShaderDeviceTest, OutputIsClampedThenBlended) {
    testsupport::PixelShaderObjects wide =
        MakePixelShader("float4 PS(float4 c : COLOR0) : COLOR0 { return c * 4 - 1; }\n");
    testsupport::PixelShaderObjects half = MakePixelShader(
        "sampler2D Nothing : register(s1);\n"
        "float4 PS(float2 uv : TEXCOORD1) : COLOR0 { return tex2D(Nothing, uv) * 0.5 + float4(0.25, 0.5, 0, 0); }\n");
    ASSERT_NE(wide.shader.get(), nullptr);
    ASSERT_NE(half.shader.get(), nullptr);
    BlendOff();
    device_->SetPixelShader(wide.shader.get());
    const uint32_t colour = 0x80C04010u;
    Quad(0, 0, 2, 2, colour);
    const uint32_t clamped = At(Read(), 0, 0);
    auto wideByte = [&](int shift) { return Byte(Ch(colour, shift) / 255.0f * 4 - 1); };
    ExpectPixel(clamped, wideByte(24), wideByte(16), wideByte(8), wideByte(0), 1, "clamped");

    Clear(0xFF204060u);
    BlendNormal();
    device_->SetPixelShader(half.shader.get());
    Quad(0, 0, 2, 2, 0xFFFFFFFFu);
    device_->SetPixelShader(nullptr);
    // Source (0.25, 0.5, 0, 0.5) premultiplied, over the background.
    const float src[4] = {0.25f, 0.5f, 0.0f, 0.5f};
    const float dst[4] = {0x20 / 255.0f, 0x40 / 255.0f, 0x60 / 255.0f, 1.0f};
    int want[4];
    for (int c = 0; c < 4; ++c) want[c] = Byte(src[c] + dst[c] * (1 - src[3]));
    ExpectPixel(At(Read(), 1, 1), want[3], want[0], want[1], want[2], 1, "blended");
}

TEST_F(GfxShaderDeviceTest, BoundShadersAreHeldAndRecorded) {
    plat::CallLog log;
    device_->SetRecorder(&log);
    testsupport::PixelShaderObjects ps = MakePixelShader(kTintShader);
    ASSERT_NE(ps.shader.get(), nullptr);
    plat::DevicePixelShader* shader = ps.shader.get();
    device_->SetPixelShader(shader);
    EXPECT_EQ(shader->AddRef(), 3u);  // the caller's, the device's, this one
    EXPECT_EQ(shader->Release(), 2u);
    ps.table->SetDefaults(device_);
    const float one[4] = {1, 1, 1, 1};
    ps.table->SetValue(device_, ps.table->GetConstantByName(nullptr, "Tint"), one, sizeof one);
    // The caller lets go; the device keeps drawing with it.
    ps.shader = testsupport::Ref<plat::DevicePixelShader>();
    Quad(0, 0, 2, 2, 0xFF808080u);
    ExpectPixel(At(Read(), 0, 0), 128, 64, 64, 64, 1, "half strength by default");
    device_->SetPixelShader(nullptr);
    device_->SetRecorder(nullptr);
    EXPECT_EQ(log.Count(plat::Call::SetPixelShader), 2u);
    EXPECT_EQ(log.Count(plat::Call::SetPixelShaderConstant), 2u);
}

TEST_F(GfxShaderDeviceTest, CompileErrorGivesTheCompilersText) {
    const std::string source = "float4 PS(float4 c : COLOR0) : COLOR0\n{\n    return colour;\n}\n";
    Ref<plat::ShaderBinary> code;
    Ref<plat::MessageBuffer> errors;
    Ref<plat::ShaderConstantTable> table;
    EXPECT_EQ(plat::kErrFail, plat::CompileShaderSource(source, "PS", "ps_2_0", code.out(), errors.out(), table.out()));
    EXPECT_EQ(code.get(), nullptr);
    EXPECT_EQ(table.get(), nullptr);
    ASSERT_NE(errors.get(), nullptr);
    const std::string expected = plat::CompileShader(source, "PS", "ps_2_0").errors;
    EXPECT_EQ(errors->Text(), expected);
    EXPECT_EQ(errors->Text().rfind("line 3: ", 0), 0u) << errors->Text();
    EXPECT_EQ(errors->GetBufferSize(), expected.size() + 1);
    EXPECT_EQ(errors->GetBufferPointer()[expected.size()], '\0');
    EXPECT_EQ(plat::kErrInvalidCall, plat::CompileShaderSource(source, "PS", "ps_2_0", nullptr, nullptr, nullptr));

    // A program of one kind does not make a shader of the other.
    testsupport::VertexShaderObjects vs = MakeVertexShader(kProjectionShader);
    plat::DevicePixelShader* wrong = nullptr;
    EXPECT_EQ(plat::kErrInvalidCall, device_->CreatePixelShader(vs.code.get(), &wrong));
    EXPECT_EQ(wrong, nullptr);
}

TEST(GfxShaderCaps, NoShaderSupportIsReportedAndCreatingShadersFails) {
    plat::GraphicsConfig config = plat::DefaultGraphicsConfig();
    config.adapters[0].caps.pixelShaderVersion = plat::kShaderVersionNone;
    config.adapters[0].caps.vertexShaderVersion = plat::kShaderVersionNone;
    plat::GraphicsSystem* system = plat::GraphicsSystem::Create(config);
    plat::DeviceCaps caps;
    ASSERT_EQ(plat::kOk, system->GetDeviceCaps(0, &caps));
    EXPECT_LT(caps.pixelShaderVersion, plat::kShaderVersion2);
    EXPECT_LT(caps.vertexShaderVersion, plat::kShaderVersion2);
    plat::PresentParams pp;
    pp.backBufferWidth = 16;
    pp.backBufferHeight = 16;
    plat::Device* device = nullptr;
    ASSERT_EQ(plat::kOk, system->CreateDevice(0, nullptr, plat::kCreateHardwareVertexProcessing, &pp, &device));
    ASSERT_EQ(plat::kOk, device->GetDeviceCaps(&caps));
    EXPECT_EQ(caps.pixelShaderVersion, plat::kShaderVersionNone);
    EXPECT_EQ(caps.vertexShaderVersion, plat::kShaderVersionNone);

    // Compiling does not need the device; making device shaders does.
    Ref<plat::ShaderBinary> pixel, vertex;
    ASSERT_EQ(plat::kOk, plat::CompileShaderSource(kTintShader, "PS", "ps_2_0", pixel.out(), nullptr, nullptr));
    ASSERT_EQ(plat::kOk, plat::CompileShaderSource(kProjectionShader, "VS", "vs_2_0", vertex.out(), nullptr, nullptr));
    plat::DevicePixelShader* ps = nullptr;
    plat::DeviceVertexShader* vs = nullptr;
    EXPECT_EQ(plat::kErrInvalidCall, device->CreatePixelShader(pixel.get(), &ps));
    EXPECT_EQ(plat::kErrInvalidCall, device->CreateVertexShader(vertex.get(), &vs));
    EXPECT_EQ(ps, nullptr);
    EXPECT_EQ(vs, nullptr);
    device->Release();
    system->Release();
}

}  // namespace
