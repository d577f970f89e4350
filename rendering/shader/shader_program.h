#pragma once
// Shader programs: one HLSL source holding a pixel entry "PS", a vertex entry
// "VS" or both, compiled for the 2.0 models and bound by the device wrapper
// when a draw state names the program. Each stage remembers the named
// constants set on it and writes them again whenever it is applied; the
// vertex stage is always given the current target's projection as
// "ProjMatrix". Everything device-side is released when the device goes and
// made again (recompiled, constants restored) on the next Apply.
//
// A program registers itself with the device wrapper while it lives; the
// wrapper releases it on device loss and deletes any still registered when
// it ends, so a program must not be deleted after the wrapper is gone.
// A source that fails to compile shows the compiler's text in the fatal-error
// box once per stage; later attempts only write it to the log.
// Threads: the drawing thread; every device call runs under the device lock.

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "rendering/device/device_resources.h"

namespace plat {
class Device;
class DevicePixelShader;
class DeviceVertexShader;
class ShaderBinary;
class ShaderConstantTable;
struct ShaderConstant;
}  // namespace plat

class ShaderStage {
public:
    explicit ShaderStage(std::string_view source) : source_(source) {}
    virtual ~ShaderStage();
    ShaderStage(const ShaderStage&) = delete;
    ShaderStage& operator=(const ShaderStage&) = delete;

    // Compiles and makes the device object when not made yet.
    virtual void Create();
    virtual void Release();
    // Binds the stage and writes its defaults and remembered constants.
    virtual void Apply();

    // Writes the constant on the device and remembers it for later applies;
    // a name the compiled source does not have is ignored.
    void SetConstant(std::string_view name, const void* bytes, std::size_t size);

    bool IsCreated() const { return created_; }
    const std::string& Source() const { return source_; }
    // The remembered value of a constant (empty when none), for tests.
    std::vector<uint8_t> RememberedConstant(std::string_view name) const;

protected:
    // Takes the device and compiles the source; false (and nothing held)
    // when there is no device or the compiler refused the source.
    bool Compile(std::string_view entry, std::string_view profile, plat::ShaderBinary** code);
    plat::Device* StageDevice() const { return device_; }
    void SetCreated() { created_ = true; }

private:
    struct Remembered {
        const plat::ShaderConstant* handle = nullptr;  // into the current table; null while released
        std::vector<uint8_t> value;
    };

    void ReportCompileErrors(std::string_view entry, const std::string& errors);

    plat::ShaderConstantTable* constantTable_ = nullptr;
    bool created_ = false;
    bool errorShown_ = false;
    std::string source_;
    plat::Device* device_ = nullptr;
    // By name, so that a recompiled table's new handles can be found again.
    std::map<std::string, Remembered, std::less<>> remembered_;
};

class PixelShader : public ShaderStage {
public:
    explicit PixelShader(std::string_view source);
    ~PixelShader() override;

    void Create() override;
    void Release() override;
    void Apply() override;

private:
    plat::DevicePixelShader* shader_ = nullptr;
};

class VertexShader : public ShaderStage {
public:
    explicit VertexShader(std::string_view source);
    ~VertexShader() override;

    void Create() override;
    void Release() override;
    void Apply() override;
    // "ProjMatrix" := the current render target's projection.
    void SetProjMatrix();

private:
    plat::DeviceVertexShader* shader_ = nullptr;
};

class ShaderProgram : public DeviceShaderProgram {
public:
    explicit ShaderProgram(std::string_view source);
    ~ShaderProgram() override;
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    void Create();
    void Release() override;
    // Makes this the current program; applying the current one again does nothing.
    void Apply() override;

    // One float, as scene scripts set it, on every stage.
    void SetConstant(std::string_view name, float value);
    void SetConstantAll(std::string_view name, const void* bytes, std::size_t size);

    PixelShader* GetPixelShader() const { return pixelShader_.get(); }
    VertexShader* GetVertexShader() const { return vertexShader_.get(); }
    bool IsCreated() const { return created_; }

    std::string name;  // left empty by the loader

private:
    plat::Device* device_ = nullptr;
    std::unique_ptr<PixelShader> pixelShader_;
    std::unique_ptr<VertexShader> vertexShader_;
    bool created_ = false;
};

// Return one programmable stage of the device to the fixed pipeline.
void DisablePixelShader();
void DisableVertexShader();
// Gives the current program's vertex stage the projection of the render
// target just bound.
void SetProjectionConstant();

// The program of "properties/" + name + ".hlsl", owned by the caller; null
// without shader support or when the file is missing or empty.
ShaderProgram* LoadHlslShader(std::string_view name);
// The text of "properties/" + fileName, read once and kept; empty when the
// file cannot be opened (the next call tries again).
std::string ReadShaderSource(std::string_view fileName);
