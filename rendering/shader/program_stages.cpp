// The pixel and vertex stages of a shader program: compiling, the device
// shader, and the named constants each stage remembers and writes again
// whenever it is applied.
#include <algorithm>
#include <cstring>

#include "foundation/system/app_services.h"
#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "rendering/shader/program_internal.h"
#include "rendering/shader/shader_program.h"

using shader_internal::Check;
using shader_internal::CurrentDevice;
using shader_internal::DeviceLockIfAny;

ShaderStage::~ShaderStage() { ShaderStage::Release(); }

bool ShaderStage::Compile(std::string_view entry, std::string_view profile, plat::ShaderBinary** code) {
    *code = nullptr;
    plat::Device* device = CurrentDevice();
    if (!device) return false;
    plat::MessageBuffer* errors = nullptr;
    plat::ShaderConstantTable* table = nullptr;
    const plat::HResult result = plat::CompileShaderSource(source_, entry, profile, code, &errors, &table);
    // Warnings come back as text too; a stage with any is not made.
    if (errors || plat::Failed(result) || !*code) {
        ReportCompileErrors(entry, errors ? errors->Text() : std::string("the compiler gave no program"));
        if (errors) errors->Release();
        if (table) table->Release();
        if (*code) (*code)->Release();
        *code = nullptr;
        return false;
    }
    if (constantTable_) constantTable_->Release();
    constantTable_ = table;
    // Only a compiled stage holds the device: a source that keeps failing at
    // every apply must not pile up references that keep the device alive.
    device_ = device;
    device_->AddRef();
    return true;
}

void ShaderStage::ReportCompileErrors(std::string_view entry, const std::string& errors) {
    LogWrite(text::Widen(text::Format("Shader %.*s failed to compile: %s", static_cast<int>(entry.size()), entry.data(),
                                      errors.c_str())),
             true);
    // The source cannot change, so the box would say the same at every apply.
    if (errorShown_) return;
    errorShown_ = true;
    ShowFatalError(errors);
}

void ShaderStage::Create() {
    if (!constantTable_) return;
    // Remembered constants follow their names into the new table; a name the
    // new table lacks is dropped.
    for (auto it = remembered_.begin(); it != remembered_.end();) {
        it->second.handle = constantTable_->GetConstantByName(nullptr, it->first);
        it = it->second.handle ? std::next(it) : remembered_.erase(it);
    }
}

void ShaderStage::Release() {
    if (!created_) return;
    DeviceLockIfAny lock;
    created_ = false;
    // The values are kept (their handles die with the table) so that a stage
    // made again after a device loss draws as it did before.
    for (auto& entry : remembered_) entry.second.handle = nullptr;
    if (constantTable_) constantTable_->Release();
    constantTable_ = nullptr;
    if (device_) device_->Release();
    device_ = nullptr;
}

void ShaderStage::Apply() {
    if (!constantTable_ || !device_) return;  // not compiled: nothing to write
    Check("SetDefaults", constantTable_->SetDefaults(device_));
    for (const auto& [name, entry] : remembered_) {
        if (entry.handle)
            Check("SetValue", constantTable_->SetValue(device_, entry.handle, entry.value.data(), entry.value.size()));
    }
}

void ShaderStage::SetConstant(std::string_view name, const void* bytes, std::size_t size) {
    if (!bytes || size == 0) return;
    DeviceLockIfAny lock;
    auto remembered = remembered_.find(name);
    if (!constantTable_) {
        // Released: a value already remembered is updated for the next apply.
        if (remembered != remembered_.end())
            std::memcpy(remembered->second.value.data(), bytes, std::min(size, remembered->second.value.size()));
        return;
    }
    const plat::ShaderConstant* handle = constantTable_->GetConstantByName(nullptr, name);
    if (!handle) return;
    if (plat::Failed(constantTable_->SetValue(device_, handle, bytes, size))) return;
    if (remembered == remembered_.end())
        remembered = remembered_.emplace(std::string(name), Remembered{handle, std::vector<uint8_t>(size)}).first;
    remembered->second.handle = handle;
    std::memcpy(remembered->second.value.data(), bytes, std::min(size, remembered->second.value.size()));
}

std::vector<uint8_t> ShaderStage::RememberedConstant(std::string_view name) const {
    auto it = remembered_.find(name);
    return it == remembered_.end() ? std::vector<uint8_t>() : it->second.value;
}

PixelShader::PixelShader(std::string_view source) : ShaderStage(source) { PixelShader::Create(); }

PixelShader::~PixelShader() { PixelShader::Release(); }

void PixelShader::Create() {
    if (IsCreated()) return;
    DeviceLockIfAny lock;
    plat::ShaderBinary* code = nullptr;
    if (!Compile("PS", "ps_2_0", &code)) return;
    Check("CreatePixelShader", StageDevice()->CreatePixelShader(code, &shader_));
    code->Release();
    ShaderStage::Create();
    SetCreated();
}

void PixelShader::Release() {
    ShaderStage::Release();
    if (shader_) shader_->Release();
    shader_ = nullptr;
}

void PixelShader::Apply() {
    DeviceLockIfAny lock;
    if (!IsCreated()) Create();
    plat::Device* device = CurrentDevice();
    if (!device) return;
    // A stage that did not compile binds nothing: the fixed pipeline draws.
    Check("SetPixelShader", device->SetPixelShader(shader_));
    ShaderStage::Apply();
}

VertexShader::VertexShader(std::string_view source) : ShaderStage(source) { VertexShader::Create(); }

VertexShader::~VertexShader() { VertexShader::Release(); }

void VertexShader::Create() {
    if (IsCreated()) return;
    DeviceLockIfAny lock;
    plat::ShaderBinary* code = nullptr;
    if (!Compile("VS", "vs_2_0", &code)) return;
    Check("CreateVertexShader", StageDevice()->CreateVertexShader(code, &shader_));
    code->Release();
    ShaderStage::Create();
    SetCreated();
}

void VertexShader::Release() {
    ShaderStage::Release();
    if (shader_) shader_->Release();
    shader_ = nullptr;
}

void VertexShader::Apply() {
    DeviceLockIfAny lock;
    if (!IsCreated()) Create();
    plat::Device* device = CurrentDevice();
    if (!device) return;
    Check("SetVertexShader", device->SetVertexShader(shader_));
    SetProjMatrix();
    ShaderStage::Apply();
}

void VertexShader::SetProjMatrix() {
    DeviceLockIfAny lock;
    plat::Device* device = CurrentDevice();
    if (!device) return;
    // The render target's projection is the device's while it is bound.
    plat::Matrix projection;
    device->GetTransform(plat::TransformState::Projection, &projection);
    SetConstant("ProjMatrix", &projection.m[0][0], sizeof projection.m);
}
