#include "platform/gfx/device.h"

#include <algorithm>

#include "platform/gfx/draw_cache.h"
#include "platform/gfx/formats.h"
#include "platform/gfx/shader_stages.h"

namespace plat {

namespace {

constexpr uint32_t U(auto v) { return static_cast<uint32_t>(v); }

}  // namespace

Device* Device::Create(const AdapterConfig& adapter, const PresentParams& params) {
    Surface::Params bp;
    bp.width = params.backBufferWidth;
    bp.height = params.backBufferHeight;
    bp.format = params.backBufferFormat;
    bp.pool = Pool::Default;
    bp.usage = kUsageRenderTarget;
    bp.lockable = (params.flags & kPresentLockableBackBuffer) != 0;
    Surface* back = Surface::Create(bp);
    if (!back) return nullptr;
    auto* d = new Device();
    d->caps_ = adapter.caps;
    d->textureMemory_ = adapter.textureMemory;
    d->textureFormats_ = adapter.textureFormats;
    d->params_ = params;
    d->backBuffer_ = back;
    d->shaders_ = std::make_unique<ShaderStages>();
    d->drawCache_ = std::make_unique<DrawCache>();
    d->state_.SetDefaults();
    if (params.autoDepthStencil) {
        Surface::Params dp = bp;
        dp.format = Format::D24S8;
        dp.usage = kUsageDepthStencil;
        dp.lockable = false;
        d->autoDepthStencil_ = Surface::Create(dp);
        if (d->autoDepthStencil_) {
            ReplaceReference(d->state_.depthStencil, d->autoDepthStencil_);
            d->state_.render[static_cast<int>(RenderState::ZEnable)] = 1;
        }
    }
    ReplaceReference(d->state_.renderTarget, back);
    d->ResetTargetState();
    return d;
}

Device::~Device() {
    for (StageSettings& s : state_.stages) ReplaceReference(s.texture, static_cast<Texture*>(nullptr));
    ReplaceReference(pixelShader_, static_cast<DevicePixelShader*>(nullptr));
    ReplaceReference(vertexShader_, static_cast<DeviceVertexShader*>(nullptr));
    ReplaceReference(state_.renderTarget, static_cast<Surface*>(nullptr));
    ReplaceReference(state_.depthStencil, static_cast<Surface*>(nullptr));
    if (autoDepthStencil_) autoDepthStencil_->Release();
    if (backBuffer_) backBuffer_->Release();
}

HResult Device::GetDeviceCaps(DeviceCaps* out) const {
    if (!out) return kErrInvalidCall;
    *out = caps_;
    return kOk;
}

HResult Device::CreateTexture(uint32_t width, uint32_t height, uint32_t, uint32_t usage, Format format, Pool pool,
                              Texture** out) {
    if (!out) return kErrInvalidCall;
    *out = nullptr;
    if (width == 0 || height == 0) return kErrInvalidCall;
    if (std::find(textureFormats_.begin(), textureFormats_.end(), format) == textureFormats_.end())
        return kErrInvalidCall;
    if ((usage & kUsageRenderTarget) && pool != Pool::Default) return kErrInvalidCall;
    // Only limits the configured caps state are enforced, so a caller that
    // ignores them fails here as it would on such hardware.
    if (caps_.maxTextureWidth && caps_.maxTextureHeight &&
        (width > caps_.maxTextureWidth || height > caps_.maxTextureHeight))
        return kErrInvalidCall;
    const bool pow2 = (width & (width - 1)) == 0 && (height & (height - 1)) == 0;
    if (caps_.texturePow2Only && !caps_.textureNonPow2Conditional && !pow2) return kErrInvalidCall;
    const uint32_t aspect = caps_.maxTextureAspectRatio;
    if (aspect && (width > aspect * height || height > aspect * width)) return kErrInvalidCall;
    Texture* t = Texture::Create(width, height, usage, format, pool);
    if (!t) return kErrOutOfVideoMemory;
    *out = t;
    return kOk;
}

HResult Device::CreateRenderTarget(uint32_t width, uint32_t height, Format format, bool lockable, Surface** out) {
    if (!out) return kErrInvalidCall;
    *out = nullptr;
    if (!IsColorFormat(format)) return kErrInvalidCall;
    Surface::Params p{width, height, format, Pool::Default, kUsageRenderTarget, lockable};
    Surface* s = Surface::Create(p);
    if (!s) return width && height ? kErrOutOfVideoMemory : kErrInvalidCall;
    *out = s;
    return kOk;
}

HResult Device::CreateOffscreenPlainSurface(uint32_t width, uint32_t height, Format format, Pool pool, Surface** out) {
    if (!out) return kErrInvalidCall;
    *out = nullptr;
    if (!IsColorFormat(format) || pool == Pool::Managed) return kErrInvalidCall;
    Surface::Params p{width, height, format, pool, 0, true};
    Surface* s = Surface::Create(p);
    if (!s) return width && height ? kErrOutOfMemory : kErrInvalidCall;
    *out = s;
    return kOk;
}

HResult Device::CreateDepthStencilSurface(uint32_t width, uint32_t height, Format format, bool, Surface** out) {
    if (!out) return kErrInvalidCall;
    *out = nullptr;
    if (format != Format::D24S8) return kErrInvalidCall;
    Surface::Params p{width, height, format, Pool::Default, kUsageDepthStencil, false};
    Surface* s = Surface::Create(p);
    if (!s) return width && height ? kErrOutOfVideoMemory : kErrInvalidCall;
    *out = s;
    return kOk;
}

HResult Device::GetBackBuffer(uint32_t swapChain, uint32_t index, Surface** out) {
    if (!out || swapChain != 0 || index >= std::max(1u, params_.backBufferCount)) return kErrInvalidCall;
    backBuffer_->AddRef();
    *out = backBuffer_;
    return kOk;
}

void Device::ResetTargetState() {
    // Binding a render target resets the viewport and scissor to all of it.
    Surface* t = state_.renderTarget;
    state_.viewport = Viewport{0, 0, static_cast<uint32_t>(t->Width()), static_cast<uint32_t>(t->Height()), 0, 1};
    state_.scissor = Rect{0, 0, t->Width(), t->Height()};
    stateWritten_ = true;
}

HResult Device::SetRenderTarget(uint32_t index, Surface* surface) {
    RecordObject(Call::SetRenderTarget, index, surface);
    if (index != 0 || !surface || !surface->IsRenderTarget() || surface->IsDepthStencil()) return kErrInvalidCall;
    if (surface != state_.renderTarget) ForgetDrawSetup();
    ReplaceReference(state_.renderTarget, surface);
    ResetTargetState();
    return kOk;
}

HResult Device::GetRenderTarget(uint32_t index, Surface** out) {
    if (!out || index != 0) return kErrInvalidCall;
    state_.renderTarget->AddRef();
    *out = state_.renderTarget;
    return kOk;
}

HResult Device::SetDepthStencilSurface(Surface* surface) {
    RecordObject(Call::SetDepthStencilSurface, 0, surface);
    if (surface && !surface->IsDepthStencil()) return kErrInvalidCall;
    if (surface != state_.depthStencil) ForgetDrawSetup();
    ReplaceReference(state_.depthStencil, surface);
    return kOk;
}

HResult Device::GetDepthStencilSurface(Surface** out) {
    if (!out) return kErrInvalidCall;
    *out = state_.depthStencil;
    if (!*out) return kErrNotFound;
    (*out)->AddRef();
    return kOk;
}

HResult Device::BeginScene() {
    Record(Call::BeginScene);
    if (inScene_) return kErrInvalidCall;
    inScene_ = true;
    return kOk;
}

HResult Device::EndScene() {
    Record(Call::EndScene);
    if (!inScene_) return kErrInvalidCall;
    inScene_ = false;
    return kOk;
}

HResult Device::SetRenderState(RenderState state, uint32_t value) {
    Record(Call::SetRenderState, U(state), value);
    if (U(state) >= U(RenderState::Count)) return kErrInvalidCall;
    state_.render[U(state)] = value;
    stateWritten_ = true;
    return kOk;
}

HResult Device::GetRenderState(RenderState state, uint32_t* out) const {
    if (!out || U(state) >= U(RenderState::Count)) return kErrInvalidCall;
    *out = state_.render[U(state)];
    return kOk;
}

HResult Device::SetSamplerState(uint32_t stage, SamplerState state, uint32_t value) {
    Record(Call::SetSamplerState, stage, U(state), value);
    if (stage >= kMaxTextureStages || U(state) >= U(SamplerState::Count)) return kErrInvalidCall;
    state_.stages[stage].sampler[U(state)] = value;
    stateWritten_ = true;
    return kOk;
}

HResult Device::GetSamplerState(uint32_t stage, SamplerState state, uint32_t* out) const {
    if (!out || stage >= kMaxTextureStages || U(state) >= U(SamplerState::Count)) return kErrInvalidCall;
    *out = state_.stages[stage].sampler[U(state)];
    return kOk;
}

HResult Device::SetTextureStageState(uint32_t stage, StageState state, uint32_t value) {
    Record(Call::SetTextureStageState, stage, U(state), value);
    if (stage >= kMaxTextureStages || U(state) >= U(StageState::Count)) return kErrInvalidCall;
    state_.stages[stage].stage[U(state)] = value;
    stateWritten_ = true;
    return kOk;
}

HResult Device::GetTextureStageState(uint32_t stage, StageState state, uint32_t* out) const {
    if (!out || stage >= kMaxTextureStages || U(state) >= U(StageState::Count)) return kErrInvalidCall;
    *out = state_.stages[stage].stage[U(state)];
    return kOk;
}

HResult Device::SetTexture(uint32_t stage, Texture* texture) {
    RecordObject(Call::SetTexture, stage, texture);
    if (stage >= kMaxTextureStages) return kErrInvalidCall;
    ReplaceReference(state_.stages[stage].texture, texture);
    return kOk;
}

HResult Device::GetTexture(uint32_t stage, Texture** out) {
    if (!out || stage >= kMaxTextureStages) return kErrInvalidCall;
    *out = state_.stages[stage].texture;
    if (*out) (*out)->AddRef();
    return kOk;
}

HResult Device::SetTransform(TransformState state, const Matrix* m) {
    if (!m) return kErrInvalidCall;
    RecordedCall c;
    c.call = Call::SetTransform;
    c.a = U(state);
    c.matrix = *m;
    Record(c);
    stateWritten_ = true;
    switch (state) {
        case TransformState::World: state_.world = *m; return kOk;
        case TransformState::View: state_.view = *m; return kOk;
        case TransformState::Projection: state_.projection = *m; return kOk;
    }
    return kErrInvalidCall;
}

HResult Device::GetTransform(TransformState state, Matrix* out) const {
    if (!out) return kErrInvalidCall;
    switch (state) {
        case TransformState::World: *out = state_.world; return kOk;
        case TransformState::View: *out = state_.view; return kOk;
        case TransformState::Projection: *out = state_.projection; return kOk;
    }
    return kErrInvalidCall;
}

HResult Device::SetViewport(const Viewport* vp) {
    if (!vp) return kErrInvalidCall;
    Record(Call::SetViewport, vp->x, vp->y, vp->width, vp->height);
    const Surface* t = state_.renderTarget;
    if (vp->width == 0 || vp->height == 0 || vp->x + vp->width > static_cast<uint32_t>(t->Width()) ||
        vp->y + vp->height > static_cast<uint32_t>(t->Height()))
        return kErrInvalidCall;
    state_.viewport = *vp;
    stateWritten_ = true;
    return kOk;
}

HResult Device::GetViewport(Viewport* out) const {
    if (!out) return kErrInvalidCall;
    *out = state_.viewport;
    return kOk;
}

HResult Device::SetScissorRect(const Rect* r) {
    if (!r) return kErrInvalidCall;
    Record(Call::SetScissorRect, U(r->left), U(r->top), U(r->right), U(r->bottom));
    state_.scissor = *r;
    stateWritten_ = true;
    return kOk;
}

HResult Device::GetScissorRect(Rect* out) const {
    if (!out) return kErrInvalidCall;
    *out = state_.scissor;
    return kOk;
}

HResult Device::SetFVF(uint32_t fvf) {
    Record(Call::SetFvf, fvf);
    if (VertexSize(fvf) == 0) return kErrInvalidCall;
    state_.fvf = fvf;
    stateWritten_ = true;
    return kOk;
}

HResult Device::GetFVF(uint32_t* out) const {
    if (!out) return kErrInvalidCall;
    *out = state_.fvf;
    return kOk;
}

HResult Device::SetVertexProgram(VertexProgram* program) {
    RecordObject(Call::SetVertexProgram, 0, program);
    if (program != state_.vertexProgram) ForgetDrawSetup();
    state_.vertexProgram = program;
    return kOk;
}

HResult Device::SetPixelProgram(PixelProgram* program) {
    RecordObject(Call::SetPixelProgram, 0, program);
    if (program != state_.pixelProgram) ForgetDrawSetup();
    state_.pixelProgram = program;
    return kOk;
}

}  // namespace plat
