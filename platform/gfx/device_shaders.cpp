// The device's programmable stages: device shaders made from compiled
// programs, their binding, and the constant registers each stage reads.
#include <cstring>

#include "platform/gfx/device.h"
#include "platform/gfx/shader_stages.h"

namespace plat {

namespace {

constexpr uint32_t kPixelConstantCount = 32;
constexpr uint32_t kVertexConstantCount = ConstantRegisters::kCount;

uint32_t RegisterLimit(ShaderKind stage) {
    return stage == ShaderKind::Pixel ? kPixelConstantCount : kVertexConstantCount;
}

bool RangeFits(ShaderKind stage, uint32_t start, uint32_t count) {
    const uint32_t limit = RegisterLimit(stage);
    return start <= limit && count <= limit - start;
}

Call ConstantCall(ShaderKind stage) {
    return stage == ShaderKind::Pixel ? Call::SetPixelShaderConstant : Call::SetVertexShaderConstant;
}

}  // namespace

ConstantRegisters& Device::StageConstants(ShaderKind stage) {
    return stage == ShaderKind::Pixel ? shaders_->pixelConstants : shaders_->vertexConstants;
}

const ConstantRegisters& Device::StageConstants(ShaderKind stage) const {
    return stage == ShaderKind::Pixel ? shaders_->pixelConstants : shaders_->vertexConstants;
}

HResult Device::CreatePixelShader(const ShaderBinary* code, DevicePixelShader** out) {
    if (!out) return kErrInvalidCall;
    *out = nullptr;
    if (!code || code->Kind() != ShaderKind::Pixel || caps_.pixelShaderVersion < kShaderVersion2)
        return kErrInvalidCall;
    *out = new DevicePixelShader(code->Code());
    return kOk;
}

HResult Device::CreateVertexShader(const ShaderBinary* code, DeviceVertexShader** out) {
    if (!out) return kErrInvalidCall;
    *out = nullptr;
    if (!code || code->Kind() != ShaderKind::Vertex || caps_.vertexShaderVersion < kShaderVersion2)
        return kErrInvalidCall;
    *out = new DeviceVertexShader(code->Code());
    return kOk;
}

HResult Device::SetPixelShader(DevicePixelShader* shader) {
    RecordObject(Call::SetPixelShader, 0, shader);
    ReplaceReference(pixelShader_, shader);
    shaders_->pixel.SetCode(shader ? &shader->Code() : nullptr);
    ForgetDrawSetup();
    state_.pixelProgram = shader ? &shaders_->pixel : nullptr;
    return kOk;
}

HResult Device::SetVertexShader(DeviceVertexShader* shader) {
    RecordObject(Call::SetVertexShader, 0, shader);
    ReplaceReference(vertexShader_, shader);
    shaders_->vertex.SetCode(shader ? &shader->Code() : nullptr);
    ForgetDrawSetup();
    state_.vertexProgram = shader ? &shaders_->vertex : nullptr;
    return kOk;
}

HResult Device::SetPixelShaderConstantF(uint32_t start, const float* data, uint32_t count) {
    Record(Call::SetPixelShaderConstant, start, count);
    if (!data || !RangeFits(ShaderKind::Pixel, start, count)) return kErrInvalidCall;
    std::memcpy(shaders_->pixelConstants.value[start], data, count * sizeof(float[4]));
    return kOk;
}

HResult Device::GetPixelShaderConstantF(uint32_t start, float* data, uint32_t count) const {
    if (!data || !RangeFits(ShaderKind::Pixel, start, count)) return kErrInvalidCall;
    std::memcpy(data, shaders_->pixelConstants.value[start], count * sizeof(float[4]));
    return kOk;
}

HResult Device::SetVertexShaderConstantF(uint32_t start, const float* data, uint32_t count) {
    Record(Call::SetVertexShaderConstant, start, count);
    if (!data || !RangeFits(ShaderKind::Vertex, start, count)) return kErrInvalidCall;
    std::memcpy(shaders_->vertexConstants.value[start], data, count * sizeof(float[4]));
    return kOk;
}

HResult Device::GetVertexShaderConstantF(uint32_t start, float* data, uint32_t count) const {
    if (!data || !RangeFits(ShaderKind::Vertex, start, count)) return kErrInvalidCall;
    std::memcpy(data, shaders_->vertexConstants.value[start], count * sizeof(float[4]));
    return kOk;
}

HResult Device::WriteShaderConstant(ShaderKind stage, const ConstantTable& table, ConstantHandle handle,
                                    const void* data, std::size_t bytes) {
    // The table vouches for the handle; only then is it safe to read.
    if (!table.SetValue(StageConstants(stage), handle, data, bytes)) return kErrInvalidCall;
    Record(ConstantCall(stage), static_cast<uint32_t>(handle->registerIndex),
           static_cast<uint32_t>(handle->registerCount));
    return kOk;
}

HResult Device::WriteShaderDefaults(ShaderKind stage, const ConstantTable& table) {
    for (const ShaderConstant& c : table.Constants())
        if (c.hasDefault && c.kind != ConstantKind::Sampler)
            Record(ConstantCall(stage), static_cast<uint32_t>(c.registerIndex), static_cast<uint32_t>(c.registerCount));
    table.SetDefaults(StageConstants(stage));
    return kOk;
}

}  // namespace plat
