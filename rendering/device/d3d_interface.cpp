// D3DInterface: construction, the registries, scenes and result checking.
#include "rendering/device/d3d_interface.h"

#include <cstdio>

#include "foundation/system/diagnostics.h"
#include "foundation/values/saturate.h"
#include "rendering/device/device_surface_image.h"
#include "rendering/shader/shader_program.h"

namespace {

D3DInterface* g_instance = nullptr;

}  // namespace

void BlitBuffers::Free() {
    std::vector<DeviceVertex>().swap(single);
    std::vector<uint8_t>().swap(twoTexture);
    std::vector<uint8_t>().swap(grid);
    std::vector<uint16_t>().swap(indices);
}

D3DInterface::D3DInterface(DeviceHost* host)
    : host_(host), imageFactory_(std::make_unique<DeviceSurfaceImageFactory>(*this)) {
    g_instance = this;
}

D3DInterface::~D3DInterface() {
    {
        std::lock_guard lock(deviceLock_);
        // A program's destructor unregisters itself; work on a copy.
        const std::set<DeviceShaderProgram*> programs = std::move(shaderPrograms_);
        shaderPrograms_.clear();
        for (DeviceShaderProgram* p : programs) delete p;
        currentShader_ = nullptr;
        sysFonts_.clear();
    }
    {
        std::lock_guard lock(surfaceSetLock_);
        surfaces_.clear();
    }
    ReleaseDevice();
    if (g_instance == this) g_instance = nullptr;
}

D3DInterface* D3DInterface::Instance() { return g_instance; }

Ratio D3DInterface::GetGameAspectRatio() const {
    return host_ ? Ratio(host_->ScreenWidth(), host_->ScreenHeight()) : Ratio();
}

const char* D3DInterface::ResultName(int code) {
    switch (code) {
        case RESULT_OK: return "RESULT_OK";
        case RESULT_FAIL: return "RESULT_FAIL";
        case RESULT_DIRECTX_CREATE_FAIL: return "RESULT_DIRECTX_CREATE_FAIL";
        case RESULT_SURFACE_FAIL: return "RESULT_SURFACE_FAIL";
        case RESULT_EXCLUSIVE_FAIL: return "RESULT_EXCLUSIVE_FAIL";
        case RESULT_DISPCHANGE_FAIL: return "RESULT_DISPCHANGE_FAIL";
        case RESULT_INVALID_COLORDEPTH: return "RESULT_INVALID_COLORDEPTH";
        default: return "RESULT_UNKNOWN";
    }
}

bool D3DInterface::CheckResult(std::string_view operation, plat::HResult result) {
    if (plat::Succeeded(result)) return false;
    std::string text(operation);
    text += ": ";
    text += HResultToText(result);
    if (host_) host_->WriteAppRegistryString("Dure3V\\RuntimeError", text);
    return true;
}

plat::HResult D3DInterface::CreateRenderTarget(int width, int height, plat::Format format, plat::Surface** out) {
    std::lock_guard lock(deviceLock_);
    if (out) *out = nullptr;
    if (!device_) return plat::kErrNotFound;
    return device_->CreateRenderTarget(static_cast<uint32_t>(width), static_cast<uint32_t>(height), format, false, out);
}

void D3DInterface::AddImage(DeviceImage* image) {
    std::lock_guard lock(surfaceSetLock_);
    surfaces_.insert(image);
}

void D3DInterface::RemoveImage(DeviceImage* image) {
    {
        std::lock_guard lock(deviceLock_);
        if (currentRenderTarget_ == image) {
            EndScene();
            currentRenderTarget_ = nullptr;
        }
        // A cursor built from the image must not outlive it.
        if (cursorImage_ == image) cursorImage_ = nullptr;
        if (auto it = cursorCache_.find(image); it != cursorCache_.end()) {
            if (host_) host_->DestroyCursor(it->second);
            cursorCache_.erase(it);
        }
        if (auto it = cursorTextures_.find(image); it != cursorTextures_.end()) {
            it->second->Release();
            cursorTextures_.erase(it);
        }
    }
    std::lock_guard lock(surfaceSetLock_);
    surfaces_.erase(image);
}

void D3DInterface::AddSysFont(DeviceSysFont* font) {
    std::lock_guard lock(deviceLock_);
    sysFonts_.insert(font);
}

void D3DInterface::RemoveSysFont(DeviceSysFont* font) {
    std::lock_guard lock(deviceLock_);
    sysFonts_.erase(font);
}

void D3DInterface::AddShaderProgram(DeviceShaderProgram* program) {
    std::lock_guard lock(deviceLock_);
    shaderPrograms_.insert(program);
}

void D3DInterface::RemoveShaderProgram(DeviceShaderProgram* program) {
    std::lock_guard lock(deviceLock_);
    shaderPrograms_.erase(program);
    if (currentShader_ == program) DisableShaders();
}

void D3DInterface::SetImageFactory(std::unique_ptr<DeviceImageFactory> factory) {
    std::lock_guard lock(deviceLock_);
    imageFactory_ = factory ? std::move(factory) : std::make_unique<DeviceSurfaceImageFactory>(*this);
}

void D3DInterface::SetRenderTargetImage(DeviceImage* image) {
    std::lock_guard lock(deviceLock_);
    if (currentRenderTarget_ != image) EndScene();
    currentRenderTarget_ = image;
}

void D3DInterface::RenderTargetChanged() {
    std::lock_guard lock(deviceLock_);
    if (!device_) return;
    SetProjectionConstant();
    if (!scissorOn_) return;
    const plat::Rect r{SaturateCast<int32_t>(lastScissor_.x), SaturateCast<int32_t>(lastScissor_.y),
                       SaturateCast<int32_t>(lastScissor_.x + lastScissor_.w),
                       SaturateCast<int32_t>(lastScissor_.y + lastScissor_.h)};
    CheckResult("SetScissorRect", device_->SetScissorRect(&r));
}

bool D3DInterface::BeginScene() {
    std::lock_guard lock(deviceLock_);
    if (!device_ || !currentRenderTarget_) return false;
    if (host_ && host_->IsMinimised() && currentRenderTarget_ == drawBufferB_.get()) return false;
    if (sceneOpen_) return true;
    plat::Surface* surface = currentRenderTarget_->GetD3DSurface();
    if (!surface || CheckResult("SetRenderTarget", device_->SetRenderTarget(0, surface))) return false;
    RenderTargetChanged();
    if (CheckResult("BeginScene", device_->BeginScene())) return false;
    sceneOpen_ = true;
    return true;
}

void D3DInterface::EndScene() {
    std::lock_guard lock(deviceLock_);
    if (!sceneOpen_) return;
    sceneOpen_ = false;
    if (device_) CheckResult("EndScene", device_->EndScene());
}

void D3DInterface::DisableShaders() {
    std::lock_guard lock(deviceLock_);
    if (!currentShader_) return;
    currentShader_ = nullptr;
    DisablePixelShader();
    DisableVertexShader();
}

void D3DInterface::DisablePixelShader() {
    std::lock_guard lock(deviceLock_);
    if (device_) CheckResult("Disable Pixel Shader", device_->SetPixelShader(nullptr));
}

void D3DInterface::DisableVertexShader() {
    std::lock_guard lock(deviceLock_);
    if (device_) CheckResult("Disable Vertex Shader", device_->SetVertexShader(nullptr));
}

bool D3DInterface::HoldsShaderProgram(const DeviceShaderProgram* program) {
    std::lock_guard lock(deviceLock_);
    return shaderPrograms_.count(const_cast<DeviceShaderProgram*>(program)) != 0;
}

bool D3DInterface::GetViewProjection(Matrix4* out) {
    std::lock_guard lock(deviceLock_);
    if (!device_ || !out) return false;
    plat::Matrix view, projection;
    device_->GetTransform(plat::TransformState::View, &view);
    device_->GetTransform(plat::TransformState::Projection, &projection);
    plat::MatrixMultiply(&view, &view, &projection);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) (*out)[r * 4 + c] = view.m[r][c];
    return true;
}
