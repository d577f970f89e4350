#include "platform/gfx/shader_objects.h"

#include "platform/gfx/device.h"

namespace plat {

MessageBuffer* MessageBuffer::Create(std::string_view text) { return new MessageBuffer(text); }

ShaderBinary* ShaderBinary::Create(std::shared_ptr<const ShaderCode> code) {
    return code ? new ShaderBinary(std::move(code)) : nullptr;
}

ShaderConstantTable* ShaderConstantTable::Create(ShaderKind stage, std::unique_ptr<ConstantTable> table) {
    if (!table) table = std::make_unique<ConstantTable>();
    return new ShaderConstantTable(stage, std::move(table));
}

ConstantHandle ShaderConstantTable::GetConstantByName(ConstantHandle parent, std::string_view name) const {
    if (parent) return nullptr;
    return table_->GetConstantByName(name);
}

HResult ShaderConstantTable::SetDefaults(Device* device) const {
    if (!device) return kErrInvalidCall;
    return device->WriteShaderDefaults(stage_, *table_);
}

HResult ShaderConstantTable::SetValue(Device* device, ConstantHandle handle, const void* data,
                                      std::size_t bytes) const {
    if (!device) return kErrInvalidCall;
    return device->WriteShaderConstant(stage_, *table_, handle, data, bytes);
}

HResult CompileShaderSource(std::string_view source, std::string_view entry, std::string_view profile,
                            ShaderBinary** code, MessageBuffer** errors, ShaderConstantTable** constants) {
    if (errors) *errors = nullptr;
    if (constants) *constants = nullptr;
    if (!code) return kErrInvalidCall;
    *code = nullptr;
    CompiledShader compiled = CompileShader(source, entry, profile);
    if (!compiled.Ok()) {
        if (errors) *errors = MessageBuffer::Create(compiled.errors.empty() ? "compilation failed" : compiled.errors);
        return kErrFail;
    }
    const ShaderKind kind = compiled.code->Kind();
    *code = ShaderBinary::Create(std::shared_ptr<const ShaderCode>(std::move(compiled.code)));
    if (constants) *constants = ShaderConstantTable::Create(kind, std::move(compiled.constants));
    return kOk;
}

}  // namespace plat
