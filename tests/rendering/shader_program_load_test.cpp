// Loading shader programs by name from "properties/": the source cache, long
// lines, missing files, and devices without shader support.

#include <filesystem>
#include <memory>
#include <string>

#include "shader_program_test_support.h"
#include "tests/foundation/test_support.h"

using namespace testsupport;

namespace {

constexpr const char* kShader = "float4 PS(float4 c : COLOR0) : COLOR0 { return c; }\n";

class ShaderLoadTest : public testsupport::ShaderDeviceTest {
protected:
    void Write(const std::string& name, const std::string& text) {
        WriteBytes(folder.Path() / "properties" / name, text);
    }

    TempFolder folder;
    CurrentDirectoryGuard cwd{folder.Path()};
};

TEST_F(ShaderLoadTest, SourceIsReadOnceAndLongLinesArriveWhole) {
    // Lines longer than the reader's buffer are read in pieces.
    const std::string text = "// " + std::string(1500, 'x') + "\r\n\n" + kShader + "// no newline at the end";
    Write("load_once.hlsl", text);
    std::unique_ptr<ShaderProgram> first(LoadHlslShader("load_once"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first->GetPixelShader(), nullptr);
    EXPECT_TRUE(first->GetPixelShader()->IsCreated());
    EXPECT_EQ(first->GetPixelShader()->Source(), text);
    EXPECT_TRUE(first->name.empty());

    std::filesystem::remove(folder.Path() / "properties" / "load_once.hlsl");
    std::unique_ptr<ShaderProgram> second(LoadHlslShader("load_once"));
    ASSERT_NE(second, nullptr) << "the second load comes from the cache";
    EXPECT_EQ(ReadShaderSource("load_once.hlsl"), text);
}

TEST_F(ShaderLoadTest, MissingOrEmptyFilesGiveNoProgramAndAreTriedAgain) {
    EXPECT_EQ(LoadHlslShader("load_later"), nullptr);
    Write("load_later.hlsl", kShader);
    std::unique_ptr<ShaderProgram> program(LoadHlslShader("load_later"));
    ASSERT_NE(program, nullptr);
    EXPECT_NE(program->GetPixelShader(), nullptr);

    Write("load_empty.hlsl", "");
    EXPECT_EQ(LoadHlslShader("load_empty"), nullptr);
    EXPECT_TRUE(app.boxes.empty());
}

class NoShaderDeviceTest : public testsupport::ImageDeviceTest {
protected:
    void SetUp() override {
        ImageDeviceTest::SetUp();
        plat::DeviceCaps caps;
        caps.pixelShaderVersion = plat::kShaderVersionNone;
        caps.vertexShaderVersion = plat::kShaderVersionNone;
        Start(caps);
    }

    TempFolder folder;
    CurrentDirectoryGuard cwd{folder.Path()};
};

TEST_F(NoShaderDeviceTest, WithoutShaderSupportNothingIsLoaded) {
    WriteBytes(folder.Path() / "properties" / "load_unsupported.hlsl", kShader);
    EXPECT_FALSE(d3d->ShadersAvailable());
    EXPECT_EQ(LoadHlslShader("load_unsupported"), nullptr);
}

}  // namespace
