#pragma once
// The shader objects of the graphics device, shaped as the engine uses the
// compiler helpers and the device of the platform it was written for:
// CompileShaderSource gives a compiled program (ShaderBinary) with its named
// uniforms (ShaderConstantTable), or the compiler's text (MessageBuffer);
// Device::CreatePixelShader / CreateVertexShader turn the program into a
// device shader, bound with SetPixelShader / SetVertexShader. A constant
// table writes the constant registers of its own stage on the device it is
// given, as the device's SetPixelShaderConstantF / SetVertexShaderConstantF do.
// Promises: every object is reference counted and starts with one reference
// for its creator; a device shader keeps its program alive after the binary
// is released. Handles from a table are valid while that table lives.
// Callers must not use an object after their last Release.
// Threads: compiling may run on any thread; everything that touches a device
// follows the device's rule (one thread at a time).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/gfx/gfx_types.h"
#include "platform/gfx/resources.h"
#include "platform/gfx/shader/shader.h"

namespace plat {

class Device;

// Text handed out by the compiler, terminated by a NUL that the size counts.
class MessageBuffer : public RefCounted {
public:
    static MessageBuffer* Create(std::string_view text);

    const char* GetBufferPointer() const { return text_.c_str(); }
    std::size_t GetBufferSize() const { return text_.size() + 1; }
    const std::string& Text() const { return text_; }

private:
    explicit MessageBuffer(std::string_view text) : text_(text) {}
    std::string text_;
};

// A compiled vertex or pixel program, ready for the device.
class ShaderBinary : public RefCounted {
public:
    static ShaderBinary* Create(std::shared_ptr<const ShaderCode> code);

    ShaderKind Kind() const { return code_->Kind(); }
    const std::shared_ptr<const ShaderCode>& Code() const { return code_; }

private:
    explicit ShaderBinary(std::shared_ptr<const ShaderCode> code) : code_(std::move(code)) {}
    std::shared_ptr<const ShaderCode> code_;
};

// The named uniforms of one compiled program and the stage they belong to.
class ShaderConstantTable : public RefCounted {
public:
    static ShaderConstantTable* Create(ShaderKind stage, std::unique_ptr<ConstantTable> table);

    ShaderKind Stage() const { return stage_; }
    // The constant of that name, or null. Constants have no members, so a
    // parent handle finds nothing.
    ConstantHandle GetConstantByName(ConstantHandle parent, std::string_view name) const;
    // The initial values written in the source, into the device's registers.
    HResult SetDefaults(Device* device) const;
    // Copies floats into the constant's registers on the device (a matrix row
    // by row, as many as the constant holds). Fails for a null device, a
    // handle of another table, a sampler or fewer than four bytes.
    HResult SetValue(Device* device, ConstantHandle handle, const void* data, std::size_t bytes) const;
    // The texture stage a sampler reads, or -1.
    int GetSamplerIndex(ConstantHandle handle) const { return table_->GetSamplerIndex(handle); }

private:
    ShaderConstantTable(ShaderKind stage, std::unique_ptr<ConstantTable> table)
        : stage_(stage), table_(std::move(table)) {}
    ShaderKind stage_;
    std::unique_ptr<ConstantTable> table_;
};

// Device shaders: made by Device::CreatePixelShader / CreateVertexShader.
class DevicePixelShader : public RefCounted {
public:
    const ShaderCode& Code() const { return *code_; }

private:
    friend class Device;
    explicit DevicePixelShader(std::shared_ptr<const ShaderCode> code) : code_(std::move(code)) {}
    std::shared_ptr<const ShaderCode> code_;
};

class DeviceVertexShader : public RefCounted {
public:
    const ShaderCode& Code() const { return *code_; }

private:
    friend class Device;
    explicit DeviceVertexShader(std::shared_ptr<const ShaderCode> code) : code_(std::move(code)) {}
    std::shared_ptr<const ShaderCode> code_;
};

// Compiles `source` for "ps_2_0" or "vs_2_0" from the function `entry`.
// On success *code and *constants (each may be a null pointer when not
// wanted) receive new objects and *errors null; on failure the result is
// kErrFail, *code and *constants are null and *errors holds the compiler's
// text. A null `code` is kErrInvalidCall.
HResult CompileShaderSource(std::string_view source, std::string_view entry, std::string_view profile,
                            ShaderBinary** code, MessageBuffer** errors, ShaderConstantTable** constants);

}  // namespace plat
