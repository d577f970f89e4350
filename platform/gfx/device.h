#pragma once
// The software graphics device: the stand-in for a Direct3D 9 device. It owns
// the back buffer and the pipeline state, creates textures and surfaces, and
// draws primitives from user memory into the bound render target exactly by
// that device's rasterization rules (see raster.h). Present copies the back
// buffer to the SDL window given at creation; without a window, or under
// SDL's dummy video driver, every presented frame stays readable through
// LastPresentedFrame.
//
// Promises: result codes are the device's (negative on failure); state not
// set explicitly has the device's documented defaults (states.h).
// Callers must not draw outside BeginScene/EndScene, nor use a resource after
// releasing their last reference to it.
// Threads: none of it is locked; the engine serialises every call behind its
// device lock.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/graphics_system.h"
#include "platform/gfx/recorder.h"
#include "platform/gfx/resources.h"
#include "platform/gfx/shader_objects.h"
#include "platform/gfx/states.h"

struct SDL_Surface;

namespace plat {

struct ShaderStages;
struct DrawCache;

class Device : public RefCounted {
public:
    static Device* Create(const AdapterConfig& adapter, const PresentParams& params);

    HResult GetDeviceCaps(DeviceCaps* out) const;
    uint32_t GetAvailableTextureMem() const { return textureMemory_; }
    const PresentParams& Params() const { return params_; }

    // Resources; each is returned with one reference for the caller.
    HResult CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, Format format, Pool pool,
                          Texture** out);
    HResult CreateRenderTarget(uint32_t width, uint32_t height, Format format, bool lockable, Surface** out);
    HResult CreateOffscreenPlainSurface(uint32_t width, uint32_t height, Format format, Pool pool, Surface** out);
    HResult CreateDepthStencilSurface(uint32_t width, uint32_t height, Format format, bool discard, Surface** out);
    HResult GetBackBuffer(uint32_t swapChain, uint32_t index, Surface** out);

    HResult SetRenderTarget(uint32_t index, Surface* surface);
    HResult GetRenderTarget(uint32_t index, Surface** out);
    HResult SetDepthStencilSurface(Surface* surface);
    HResult GetDepthStencilSurface(Surface** out);

    // Copies between surfaces (device_copy.cpp).
    HResult UpdateSurface(Surface* src, const Rect* srcRect, Surface* dst, const Point* dstPoint);
    HResult GetRenderTargetData(Surface* renderTarget, Surface* dst);
    HResult StretchRect(Surface* src, const Rect* srcRect, Surface* dst, const Rect* dstRect, TextureFilter filter);
    HResult ColorFill(Surface* surface, const Rect* rect, uint32_t argb);
    HResult Clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t argb, float z, uint32_t stencil);

    HResult BeginScene();
    HResult EndScene();
    // Shows the back buffer; or, given `source`, a surface of the back
    // buffer's size in its format or 32-bit ARGB, as if it had been copied
    // into the back buffer first (which keeps what it held).
    HResult Present(Surface* source = nullptr);
    bool CanPresentFrom(const Surface& source) const;

    // Pipeline state.
    HResult SetRenderState(RenderState state, uint32_t value);
    HResult GetRenderState(RenderState state, uint32_t* out) const;
    HResult SetSamplerState(uint32_t stage, SamplerState state, uint32_t value);
    HResult GetSamplerState(uint32_t stage, SamplerState state, uint32_t* out) const;
    HResult SetTextureStageState(uint32_t stage, StageState state, uint32_t value);
    HResult GetTextureStageState(uint32_t stage, StageState state, uint32_t* out) const;
    HResult SetTexture(uint32_t stage, Texture* texture);
    HResult GetTexture(uint32_t stage, Texture** out);
    HResult SetTransform(TransformState state, const Matrix* m);
    HResult GetTransform(TransformState state, Matrix* out) const;
    HResult SetViewport(const Viewport* vp);
    HResult GetViewport(Viewport* out) const;
    HResult SetScissorRect(const Rect* r);
    HResult GetScissorRect(Rect* out) const;
    HResult SetFVF(uint32_t fvf);
    HResult GetFVF(uint32_t* out) const;
    // Programmable stages; null returns to the fixed pipeline.
    HResult SetVertexProgram(VertexProgram* program);
    HResult SetPixelProgram(PixelProgram* program);

    // Device shaders (device_shaders.cpp). Creating one needs shader version
    // 2.0 in the caps; a bound shader is referenced until it is replaced.
    // SetPixelShader / SetVertexShader take the programmable slot that
    // SetPixelProgram / SetVertexProgram also set; null returns to the fixed
    // pipeline.
    HResult CreatePixelShader(const ShaderBinary* code, DevicePixelShader** out);
    HResult CreateVertexShader(const ShaderBinary* code, DeviceVertexShader** out);
    HResult SetPixelShader(DevicePixelShader* shader);
    HResult SetVertexShader(DeviceVertexShader* shader);
    // Float4 constant registers: 32 for pixel shaders, 256 for vertex shaders.
    HResult SetPixelShaderConstantF(uint32_t start, const float* data, uint32_t count);
    HResult GetPixelShaderConstantF(uint32_t start, float* data, uint32_t count) const;
    HResult SetVertexShaderConstantF(uint32_t start, const float* data, uint32_t count);
    HResult GetVertexShaderConstantF(uint32_t start, float* data, uint32_t count) const;
    // What a constant table does on this device: writes one of its constants,
    // or all its initial values, into the registers of `stage`.
    HResult WriteShaderConstant(ShaderKind stage, const ConstantTable& table, ConstantHandle handle, const void* data,
                                std::size_t bytes);
    HResult WriteShaderDefaults(ShaderKind stage, const ConstantTable& table);

    // Drawing from user memory (device_draw.cpp).
    HResult DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride);
    HResult DrawIndexedPrimitiveUP(PrimitiveType type, uint32_t minIndex, uint32_t vertexCount, uint32_t primitiveCount,
                                   const void* indices, IndexFormat indexFormat, const void* vertices, uint32_t stride);

    // For tests.
    void SetRecorder(CallRecorder* recorder) { recorder_ = recorder; }
    // The next Present fails once with `result` (the device-lost code by
    // default), so lost-device recovery can be exercised.
    void FailNextPresent(HResult result = kErrDeviceLost) { failNextPresent_ = result; }
    // The last presented frame as 32-bit ARGB rows of the back buffer's size
    // (converted from the kept rows, or read back from the window's surface
    // it went to, when first asked for after a present).
    const std::vector<uint32_t>& LastPresentedFrame() const;
    uint64_t PresentCount() const { return presentCount_; }
    // Why the last present to the window failed, if it did.
    const std::string& LastPresentError() const { return presentError_; }

private:
    Device() = default;
    ~Device() override;

    void Record(const RecordedCall& c) {
        if (recorder_) recorder_->Record(c);
    }
    void Record(Call call, uint32_t a = 0, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0) {
        if (!recorder_) return;
        RecordedCall r;
        r.call = call;
        r.a = a;
        r.b = b;
        r.c = c;
        r.d = d;
        recorder_->Record(r);
    }
    void RecordObject(Call call, uint32_t a, const void* object) {
        if (!recorder_) return;
        RecordedCall r;
        r.call = call;
        r.a = a;
        r.object = object;
        recorder_->Record(r);
    }
    void ResetTargetState();
    int CurrentVertexSize() {
        if (state_.fvf != sizedFvf_) {
            sizedFvf_ = state_.fvf;
            fvfSize_ = VertexSize(sizedFvf_);
        }
        return fvfSize_;
    }
    // Drops the setup kept for the next draw: an object the state names is replaced.
    void ForgetDrawSetup();
    HResult BlitToWindow();
    HResult ShowOnWindow(SDL_Surface* shown, const Surface& frame);
    ConstantRegisters& StageConstants(ShaderKind stage);
    const ConstantRegisters& StageConstants(ShaderKind stage) const;

    DeviceCaps caps_;
    uint32_t textureMemory_ = 0;
    std::vector<Format> textureFormats_;
    PresentParams params_;
    DeviceState state_;
    // The rasterizer's setup of the last draw (device_draw.cpp).
    std::unique_ptr<DrawCache> drawCache_;
    // Some part of state_ but the textures was written since a draw last
    // found it as the setup was built from: until one is, the next draw need
    // not compare the two. A state replacing an object the setup names
    // forgets the setup instead.
    bool stateWritten_ = true;
    // The vertex size of the format last drawn with, asked again only when
    // the format differs.
    uint32_t sizedFvf_ = 0;
    int fvfSize_ = 0;
    Surface* backBuffer_ = nullptr;
    Surface* autoDepthStencil_ = nullptr;
    bool inScene_ = false;
    CallRecorder* recorder_ = nullptr;
    HResult failNextPresent_ = kOk;
    // The last frame went to the window's surface alone; kept_ is stale.
    bool shownDirectly_ = false;
    // The presented frame as the back buffer holds it: its rows copied, and
    // only those drawn since the previous present.
    std::vector<uint8_t> kept_;
    int keptWidth_ = 0, keptHeight_ = 0;
    Format keptFormat_ = Format::Unknown;
    uint64_t keptFrom_ = 0;  // the surface whose rows kept_ holds
    uint64_t presentReader_ = Surface::NewReaderId();
    mutable std::vector<uint32_t> presented_;
    mutable uint64_t presentedCount_ = ~uint64_t{0};
    uint64_t presentCount_ = 0;
    std::string presentError_;
    std::unique_ptr<ShaderStages> shaders_;
    DevicePixelShader* pixelShader_ = nullptr;  // references held while bound
    DeviceVertexShader* vertexShader_ = nullptr;
};

}  // namespace plat
