// Shader programs on the software device: compile failures, constants that
// survive a device loss, the projection handed to the vertex stage, binding
// and unbinding, and the release and re-creation of the device objects.

#include <filesystem>
#include <memory>
#include <string>

#include "foundation/system/log.h"
#include "platform/gfx/shader/shader.h"
#include "shader_program_test_support.h"
#include "tests/foundation/test_support.h"

using namespace testsupport;

namespace {

constexpr const char* kBroken = "float4 PS(float4 c : COLOR0) : COLOR0 { return missing * c; }\n";

constexpr const char* kTinted =
    "float4 Tint;\n"
    "float Strength = 1.0;\n"
    "float4 PS(float4 c : COLOR0) : COLOR0 { return Tint * Strength; }\n";

// Both stages: the vertex stage places vertices only through "ProjMatrix".
constexpr const char* kProjected =
    "float4x4 ProjMatrix;\n"
    "struct VertexIn { float4 position : POSITION; float4 colour : COLOR0; };\n"
    "struct VertexOut { float4 position : POSITION; float4 colour : COLOR0; };\n"
    "VertexOut VS(VertexIn input)\n"
    "{\n"
    "    VertexOut o;\n"
    "    o.position = mul(input.position, ProjMatrix);\n"
    "    o.colour = input.colour;\n"
    "    return o;\n"
    "}\n"
    "float4 PS(float4 c : COLOR0) : COLOR0 { return c.bgra; }\n";

uint32_t DeviceReferences(plat::Device* device) {
    device->AddRef();
    return device->Release();
}

size_t Occurrences(const std::string& haystack, const std::string& needle) {
    size_t count = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) ++count;
    return count;
}

using ShaderProgramTest = testsupport::ShaderDeviceTest;

TEST_F(ShaderProgramTest, CompileErrorsShowTheBoxOnceAndHoldNoDeviceReference) {
    TempFolder desktop;
    ScopedEnv xdg("XDG_DESKTOP_DIR", desktop.Path().c_str());
    LogSetProductName("ShaderProbe");
    LogInit(true);
    const std::filesystem::path logFile = desktop.Path() / "ShaderProbe.log";
    const std::string failure = text::ToUtf16LE(L"failed to compile");

    ShaderProgram* program = Program(kBroken);
    ASSERT_NE(program->GetPixelShader(), nullptr);
    EXPECT_FALSE(program->GetPixelShader()->IsCreated());
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_EQ(app.boxes[0], text::Widen(plat::CompileShader(kBroken, "PS", "ps_2_0").errors));
    const size_t logged = Occurrences(ReadBytes(logFile), failure);
    EXPECT_GE(logged, 1u);

    // Each apply compiles again; the box is not shown again, and a failed
    // attempt keeps no reference that would hold the device alive.
    const uint32_t references = DeviceReferences(Device());
    for (int i = 0; i < 3; ++i) {
        d3d->DisableShaders();
        program->Apply();
    }
    EXPECT_EQ(DeviceReferences(Device()), references);
    EXPECT_EQ(app.boxes.size(), 1u);
    EXPECT_EQ(Occurrences(ReadBytes(logFile), failure), logged + 3) << "each new attempt is logged";
    LogDisable();
    LogSetProductName("Halvaro");

    // Nothing is bound for the failed stage: the fixed pipeline's colour.
    const Argb colour{255, 40, 90, 200};
    Fill(Target(), Rect(4, 4, 4, 4), colour, program);
    EXPECT_TRUE(Near(colour, At(5, 5), 0));
}

TEST_F(ShaderProgramTest, StagesAreFoundByTheEntryNameFollowedByItsParenthesis) {
    ShaderProgram* both = Program(kProjected);
    ASSERT_NE(both->GetPixelShader(), nullptr);
    ASSERT_NE(both->GetVertexShader(), nullptr);
    EXPECT_TRUE(both->IsCreated());
    EXPECT_TRUE(both->GetPixelShader()->IsCreated());
    EXPECT_TRUE(both->GetVertexShader()->IsCreated());

    ShaderProgram* spaced = Program("float4 PS (float4 c : COLOR0) : COLOR0 { return c; }\n");
    EXPECT_EQ(spaced->GetPixelShader(), nullptr);
    EXPECT_EQ(spaced->GetVertexShader(), nullptr);
    EXPECT_TRUE(app.boxes.empty());
}

TEST_F(ShaderProgramTest, DeviceLossReleasesEverythingAndTheFirstUseRecompilesWithTheConstants) {
    ShaderProgram* program = Program(kTinted);
    const float tint[4] = {0.2f, 0.4f, 0.6f, 1.0f};
    program->SetConstantAll("Tint", tint, sizeof tint);
    program->SetConstant("Strength", 0.5f);
    program->SetConstant("Missing", 3.0f);
    EXPECT_TRUE(program->GetPixelShader()->RememberedConstant("Missing").empty());
    const Argb half = Quantise(0.5f, 0.1f, 0.2f, 0.3f);
    Fill(Target(), Rect(0, 0, 8, 8), Argb{255, 255, 255, 255}, program);
    EXPECT_TRUE(Near(half, At(3, 3), 1));

    ASSERT_EQ(d3d->CurrentShader(), program);
    d3d->Cleanup();
    EXPECT_EQ(d3d->CurrentShader(), nullptr);
    EXPECT_FALSE(program->IsCreated());
    EXPECT_FALSE(program->GetPixelShader()->IsCreated());
    InitWindowed();
    BindDrawBuffer();
    EXPECT_FALSE(program->IsCreated()) << "made on first use, not at device start";
    Fill(Target(), Rect(0, 0, 8, 8), Argb{255, 255, 255, 255}, program);
    EXPECT_TRUE(program->GetPixelShader()->IsCreated());
    EXPECT_TRUE(Near(half, At(3, 3), 1)) << "the remembered tint and strength are written again";

    // A value set while the device is away is the one used when it is back.
    d3d->Cleanup();
    program->SetConstant("Strength", 1.0f);
    InitWindowed();
    BindDrawBuffer();
    Fill(Target(), Rect(0, 0, 8, 8), Argb{255, 255, 255, 255}, program);
    EXPECT_TRUE(Near(Quantise(1.0f, 0.2f, 0.4f, 0.6f), At(3, 3), 1));
}

TEST_F(ShaderProgramTest, VertexStageGetsTheProjectionOfEachRenderTarget) {
    ShaderProgram* program = Program(kProjected);
    // The pixel stage swaps red and blue, so the shader's own output is seen.
    const Argb colour{255, 200, 100, 20}, swapped{255, 20, 100, 200};
    Fill(Target(), Rect(10, 10, 6, 4), colour, program);
    EXPECT_TRUE(Near(swapped, At(10, 10), 0));
    EXPECT_TRUE(Near(swapped, At(15, 13), 0));
    EXPECT_EQ(At(9, 10), 0u);
    EXPECT_EQ(At(16, 10), 0u);
    EXPECT_EQ(At(10, 14), 0u);

    // A target of another size has another projection.
    auto other = std::make_unique<ImageSurface>(true);
    other->Create(64, 48);
    Fill(other.get(), Rect(40, 30, 8, 8), colour, program);
    const uint32_t* bits = other->GetBits();
    ASSERT_NE(bits, nullptr);
    auto px = [&](int x, int y) { return bits[static_cast<size_t>(y) * other->width + x]; };
    EXPECT_TRUE(Near(swapped, px(40, 30), 0));
    EXPECT_TRUE(Near(swapped, px(47, 37), 0));
    EXPECT_EQ(px(39, 30), 0u);
    EXPECT_EQ(px(48, 37), 0u);
    EXPECT_EQ(px(47, 38), 0u);

    // And back on the draw buffer.
    Fill(Target(), Rect(100, 50, 2, 2), colour, program);
    EXPECT_TRUE(Near(swapped, At(101, 51), 0));
    EXPECT_EQ(At(102, 51), 0u);
}

TEST_F(ShaderProgramTest, ApplyBindsOnceAndDisablesTheMissingStage) {
    ShaderProgram* program = Program(kTinted);
    d3d->DisableShaders();
    plat::CallLog log;
    Device()->SetRecorder(&log);
    program->Apply();
    program->Apply();
    EXPECT_EQ(d3d->CurrentShader(), program);
    EXPECT_EQ(log.Count(plat::Call::SetPixelShader), 1u);
    ASSERT_EQ(log.Count(plat::Call::SetVertexShader), 1u);
    for (const plat::RecordedCall& call : log.Calls()) {
        if (call.call == plat::Call::SetVertexShader) {
            EXPECT_EQ(call.object, nullptr);
        }
    }

    // Deleting the current program unbinds it and unregisters it.
    log.Clear();
    programs.clear();
    Device()->SetRecorder(nullptr);
    EXPECT_EQ(d3d->CurrentShader(), nullptr);
    EXPECT_FALSE(d3d->HoldsShaderProgram(program));
    ASSERT_EQ(log.Count(plat::Call::SetPixelShader), 1u);
    EXPECT_EQ(log.Calls().front().object, nullptr);
}

}  // namespace
