#pragma once
// A recording hook on the device: when a recorder is attached every state
// change, copy, clear and draw the device receives is reported to it, in
// order, before it takes effect. Tests use CallLog to check which calls a
// caller issued (for example that a state cache skips redundant changes).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/gfx_types.h"
#include "platform/gfx/matrix.h"

namespace plat {

enum class Call : uint32_t {
    SetRenderState,          // a = RenderState, b = value
    SetSamplerState,         // a = stage, b = SamplerState, c = value
    SetTextureStageState,    // a = stage, b = StageState, c = value
    SetTexture,              // a = stage, object = texture
    SetTransform,            // a = TransformState, matrix
    SetViewport,             // a, b, c, d = x, y, width, height
    SetScissorRect,          // a, b, c, d = left, top, right, bottom
    SetRenderTarget,         // a = index, object = surface
    SetDepthStencilSurface,  // object = surface
    SetFvf,                  // a = format bits
    SetVertexProgram,        // object = program
    SetPixelProgram,         // object = program
    Clear,                   // a = rectangle count, b = flags, c = colour, d = stencil
    DrawPrimitive,           // a = PrimitiveType, b = primitive count
    DrawIndexedPrimitive,    // a = PrimitiveType, b = primitive count, c = vertex count
    BeginScene,
    EndScene,
    Present,
    StretchRect,
    ColorFill,  // c = colour
    UpdateSurface,
    GetRenderTargetData,
    SetPixelShader,           // object = shader
    SetVertexShader,          // object = shader
    SetPixelShaderConstant,   // a = first register, b = register count
    SetVertexShaderConstant,  // a = first register, b = register count
};

struct RecordedCall {
    Call call = Call::BeginScene;
    uint32_t a = 0, b = 0, c = 0, d = 0;
    const void* object = nullptr;
    Matrix matrix;

    std::string ToString() const;
};

class CallRecorder {
public:
    virtual ~CallRecorder() = default;
    virtual void Record(const RecordedCall& call) = 0;
};

// Keeps every recorded call.
class CallLog : public CallRecorder {
public:
    void Record(const RecordedCall& call) override { calls_.push_back(call); }
    const std::vector<RecordedCall>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }
    size_t Count(Call kind) const;
    size_t CountRenderState(RenderState state) const;
    // The value of the last SetRenderState of `state`, or `fallback` when none.
    uint32_t LastRenderState(RenderState state, uint32_t fallback) const;
    std::string Dump() const;

private:
    std::vector<RecordedCall> calls_;
};

}  // namespace plat
