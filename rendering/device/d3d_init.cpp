// D3DInterface::Init: adapter and formats, the display mode, the device, its
// default states, texture limits and the frame buffers.
#include <cstdio>
#include <mutex>

#include "rendering/device/d3d_interface.h"

#include "foundation/system/diagnostics.h"
#include "foundation/system/text.h"

namespace {

constexpr uint32_t U(auto v) { return static_cast<uint32_t>(v); }

constexpr uint32_t kVertexFormat = plat::kFvfXyz | plat::kFvfDiffuse | plat::kFvfTex1;

}  // namespace

int D3DInterface::Init(plat::NativeWindow* window, bool windowed, bool stretch) {
    std::lock_guard deviceLock(deviceLock_);
    std::lock_guard surfaceLock(surfaceSetLock_);
    // Whatever step fails, the device stays not ready; the locks go with the scope.
    ready_ = false;
    return InitDevice(window, windowed, stretch);
}

bool D3DInterface::ChooseFormats() {
    static constexpr plat::Format kDisplayFormats[] = {plat::Format::X8R8G8B8, plat::Format::R5G6B5};
    static constexpr plat::Format kSurfaceFormats[] = {plat::Format::A8R8G8B8, plat::Format::A4R4G4B4};
    const uint32_t adapters = direct3d_->GetAdapterCount();
    for (uint32_t a = 0; a < adapters; ++a) {
        for (plat::Format display : kDisplayFormats) {
            if (plat::Failed(direct3d_->CheckDeviceType(a, display, display, windowed_))) continue;
            for (plat::Format surface : kSurfaceFormats) {
                if (plat::Succeeded(
                        direct3d_->CheckDeviceFormat(a, display, 0, plat::ResourceType::Surface, surface))) {
                    adapter_ = a;
                    displayFormat_ = display;
                    surfaceFormat_ = surface;
                    return true;
                }
            }
        }
    }
    return false;
}

int D3DInterface::InitDevice(plat::NativeWindow* window, bool windowed, bool stretch) {
    if (!host_) return RESULT_FAIL;
    if (!direct3d_) direct3d_ = plat::GraphicsSystem::Create();
    if (!direct3d_) return RESULT_DIRECTX_CREATE_FAIL;
    windowed_ = windowed;
    window_ = window;
    if (!ChooseFormats()) return RESULT_INVALID_COLORDEPTH;

    const int screenW = host_->ScreenWidth(), screenH = host_->ScreenHeight();
    requested_ = {screenW, screenH};
    if (windowed) {
        int w = 0, h = 0;
        if (host_->GetClientSize(window, &w, &h) && w > 0 && h > 0) requested_ = {w, h};
    }
    host_->GetDesktopSize(&desktop_.width, &desktop_.height);
    display_ = requested_;

    plat::DisplayMode mode;
    const bool noMode = plat::Failed(direct3d_->GetAdapterDisplayMode(adapter_, &mode));
    host_->SetRefreshRateFallback(noMode);
    refreshRate_ = noMode ? 60 : mode.refreshRate;

    if (!windowed) {
        std::vector<plat::DisplayMode> modes;
        const uint32_t count = direct3d_->GetAdapterModeCount(adapter_, displayFormat_);
        for (uint32_t i = 0; i < count; ++i) {
            plat::DisplayMode m;
            if (plat::Succeeded(direct3d_->EnumAdapterModes(adapter_, displayFormat_, i, &m))) modes.push_back(m);
        }
        display_ = ChooseFullscreenSize(modes, desktop_, refreshRate_, host_->RefreshRateFallback());
    }

    const RefreshChoice refresh = ClampRefreshRate(refreshRate_);
    if (refresh.clamped) host_->SetRefreshRateFallback(true);
    refreshRate_ = refresh.rate;
    frameInterval_ = refresh.frameIntervalMs;

    if (plat::Failed(direct3d_->GetDeviceCaps(adapter_, &caps_)) || caps_.maxTextureBlendStages < 2)
        return RESULT_DIRECTX_CREATE_FAIL;

    plat::PresentParams params;
    params.backBufferWidth = static_cast<uint32_t>(display_.width);
    params.backBufferHeight = static_cast<uint32_t>(display_.height);
    params.backBufferFormat = displayFormat_;
    params.backBufferCount = 2;
    params.swapEffect = plat::SwapEffect::Discard;
    params.window = window;
    params.windowed = windowed;
    params.autoDepthStencil = false;
    params.flags = 0;
    params.refreshRate = 0;
    params.presentationInterval = 0;
    const uint32_t behaviour =
        plat::kCreateMultithreaded | (caps_.hardwareTransformAndLight ? plat::kCreateHardwareVertexProcessing
                                                                      : plat::kCreateSoftwareVertexProcessing);
    if (device_) {
        device_->Release();
        device_ = nullptr;
    }
    if (plat::Failed(direct3d_->CreateDevice(adapter_, window, behaviour, &params, &device_)) || !device_)
        return RESULT_DIRECTX_CREATE_FAIL;

    const plat::Matrix identity;
    device_->SetTransform(plat::TransformState::World, &identity);
    device_->SetTransform(plat::TransformState::View, &identity);
    shadersAvailable_ = caps_.pixelShaderVersion >= 0x0200 && caps_.vertexShaderVersion >= 0x0200;

    LogDisplayMode(stretch);
    ApplyDefaultStates();
    cachedState_ = DrawState{};
    cachedState_.mode = -1;
    cachedState_.matrixSet = 1;
    textureLimits_ = ComputeTextureLimits(caps_);

    if (plat::Failed(direct3d_->CheckDeviceFormat(adapter_, displayFormat_, 0, plat::ResourceType::Texture,
                                                  plat::Format::A8R8G8B8)))
        return RESULT_INVALID_COLORDEPTH;
    device_->SetFVF(kVertexFormat);
    if (!MakeBuffers()) return RESULT_FAIL;

    sceneOpen_ = false;
    scissorOn_ = false;
    // Bound in full (viewport and projection too), so the first draw into
    // the frame finds the target ready.
    currentRenderTarget_ = nullptr;
    if (!drawBufferB_->BindRenderTarget()) return RESULT_FAIL;
    ready_ = true;
    const std::set<DeviceImage*> surfaces = surfaces_;
    for (DeviceImage* image : surfaces) image->CommitBits();
    Redraw();
    return RESULT_OK;
}

void D3DInterface::ApplyDefaultStates() {
    using plat::SamplerState;
    using plat::StageState;
    const uint32_t linear = U(plat::TextureFilter::Linear), clamp = U(plat::TextureAddress::Clamp);
    for (uint32_t stage = 0; stage < 2; ++stage) {
        device_->SetSamplerState(stage, SamplerState::MinFilter, linear);
        device_->SetSamplerState(stage, SamplerState::MagFilter, linear);
        device_->SetSamplerState(stage, SamplerState::MipFilter, linear);
    }
    device_->SetTextureStageState(0, StageState::AlphaOp, U(plat::StageOp::Modulate));
    device_->SetSamplerState(0, SamplerState::AddressU, clamp);
    device_->SetSamplerState(0, SamplerState::AddressV, clamp);
    device_->SetTexture(0, nullptr);
    device_->SetTextureStageState(1, StageState::ColorArg2, U(plat::StageArg::Current));
    device_->SetTextureStageState(1, StageState::AlphaArg2, U(plat::StageArg::Current));
    device_->SetTextureStageState(1, StageState::ColorArg1, U(plat::StageArg::Texture));
    device_->SetTextureStageState(1, StageState::AlphaArg1, U(plat::StageArg::Texture));
    device_->SetTextureStageState(1, StageState::ColorOp, U(plat::StageOp::Modulate));
    device_->SetTextureStageState(1, StageState::AlphaOp, U(plat::StageOp::Modulate));
    device_->SetSamplerState(1, SamplerState::AddressU, clamp);
    device_->SetSamplerState(1, SamplerState::AddressV, clamp);
    device_->SetTexture(1, nullptr);

    using plat::RenderState;
    device_->SetRenderState(RenderState::DitherEnable, 0);
    device_->SetRenderState(RenderState::SpecularEnable, 0);
    device_->SetRenderState(RenderState::ZWriteEnable, 0);
    device_->SetRenderState(RenderState::ZEnable, 0);
    device_->SetRenderState(RenderState::CullMode, U(plat::Cull::None));
    device_->SetRenderState(RenderState::Lighting, 0);
    device_->SetRenderState(RenderState::AlphaTestEnable, 0);
    device_->SetRenderState(RenderState::StencilEnable, 0);
}

bool D3DInterface::MakeBuffers() {
    plat::Surface* back = nullptr;
    if (CheckResult("GetBackBuffer", device_->GetBackBuffer(0, 0, &back)) || !back) return false;
    if (currentRenderTarget_ == backBufferImage_.get()) currentRenderTarget_ = nullptr;
    backBufferImage_.reset();
    backBufferImage_ = imageFactory_->WrapBackBuffer(back);
    back->Release();
    const int w = host_->ScreenWidth(), h = host_->ScreenHeight();
    currentRenderTarget_ = nullptr;
    drawBufferA_.reset();
    drawBufferA_ = imageFactory_->CreateDrawBuffer(w, h);
    drawBufferB_.reset();
    drawBufferB_ = imageFactory_->CreateDrawBuffer(w, h);
    return backBufferImage_ && drawBufferA_ && drawBufferB_;
}

void D3DInterface::LogDisplayMode(bool stretch) {
    std::lock_guard lock(deviceLock_);
    stretchOption_ = stretch;
    DisplayLayoutInput in;
    in.windowed = windowed_;
    in.stretch = stretch;
    in.requested = requested_;
    in.desktop = desktop_;
    in.display = display_;
    if (host_) {
        in.screenWidth = host_->ScreenWidth();
        in.screenHeight = host_->ScreenHeight();
    }
    layout_ = ComputeDisplayLayout(in);
    for (const std::string& line : layout_.reportLines) DebugOutput(text::Widen(line));
    if (host_) host_->SetScreenLayout(layout_.source, layout_.presentation);
}
