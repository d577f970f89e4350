// ShaderProgram: the stages of one source, registered with the device
// wrapper, made current by Apply and released on device loss.
#include "rendering/shader/shader_program.h"

#include "rendering/shader/program_internal.h"

using shader_internal::CurrentDevice;
using shader_internal::DeviceLockIfAny;

ShaderProgram::ShaderProgram(std::string_view source) {
    DeviceLockIfAny lock;
    if (D3DInterface* d3d = D3DInterface::Instance()) d3d->AddShaderProgram(this);
    // The entry's name must be followed at once by its parenthesis.
    if (source.find(" PS(") != std::string_view::npos) pixelShader_ = std::make_unique<PixelShader>(source);
    if (source.find(" VS(") != std::string_view::npos) vertexShader_ = std::make_unique<VertexShader>(source);
    Create();
}

ShaderProgram::~ShaderProgram() {
    Release();
    pixelShader_.reset();
    vertexShader_.reset();
    if (D3DInterface* d3d = D3DInterface::Instance()) d3d->RemoveShaderProgram(this);
}

void ShaderProgram::Create() {
    if (created_) return;
    DeviceLockIfAny lock;
    plat::Device* device = CurrentDevice();
    if (!device) return;
    if (!device_) {
        device_ = device;
        device_->AddRef();
    }
    if (pixelShader_) pixelShader_->Create();
    if (vertexShader_) vertexShader_->Create();
    created_ = true;
}

void ShaderProgram::Release() {
    if (!created_) return;
    DeviceLockIfAny lock;
    D3DInterface* d3d = D3DInterface::Instance();
    if (d3d && d3d->CurrentShader() == this) d3d->DisableShaders();
    created_ = false;
    if (pixelShader_) pixelShader_->Release();
    if (vertexShader_) vertexShader_->Release();
    if (device_) device_->Release();
    device_ = nullptr;
}

void ShaderProgram::Apply() {
    DeviceLockIfAny lock;
    D3DInterface* d3d = D3DInterface::Instance();
    if (!d3d) return;
    if (!created_) Create();
    if (!created_ || d3d->CurrentShader() == this) return;
    d3d->SetCurrentShader(this);
    if (pixelShader_)
        pixelShader_->Apply();
    else
        d3d->DisablePixelShader();
    if (vertexShader_)
        vertexShader_->Apply();
    else
        d3d->DisableVertexShader();
}

void ShaderProgram::SetConstant(std::string_view name, float value) { SetConstantAll(name, &value, sizeof value); }

void ShaderProgram::SetConstantAll(std::string_view name, const void* bytes, std::size_t size) {
    if (pixelShader_) pixelShader_->SetConstant(name, bytes, size);
    if (vertexShader_) vertexShader_->SetConstant(name, bytes, size);
}

void DisablePixelShader() {
    if (D3DInterface* d3d = D3DInterface::Instance()) d3d->DisablePixelShader();
}

void DisableVertexShader() {
    if (D3DInterface* d3d = D3DInterface::Instance()) d3d->DisableVertexShader();
}

void SetProjectionConstant() {
    D3DInterface* d3d = D3DInterface::Instance();
    if (!d3d) return;
    DeviceLockIfAny lock;
    // The device also binds programs of other kinds (test doubles).
    auto* program = dynamic_cast<ShaderProgram*>(d3d->CurrentShader());
    if (program && program->GetVertexShader()) program->GetVertexShader()->SetProjMatrix();
}
