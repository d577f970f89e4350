#include "platform/gfx/recorder.h"

#include <cstdio>

#include "platform/gfx/states.h"

namespace plat {

namespace {

const char* CallName(Call c) {
    static const char* const kNames[] = {"SetRenderState",
                                         "SetSamplerState",
                                         "SetTextureStageState",
                                         "SetTexture",
                                         "SetTransform",
                                         "SetViewport",
                                         "SetScissorRect",
                                         "SetRenderTarget",
                                         "SetDepthStencilSurface",
                                         "SetFvf",
                                         "SetVertexProgram",
                                         "SetPixelProgram",
                                         "Clear",
                                         "DrawPrimitive",
                                         "DrawIndexedPrimitive",
                                         "BeginScene",
                                         "EndScene",
                                         "Present",
                                         "StretchRect",
                                         "ColorFill",
                                         "UpdateSurface",
                                         "GetRenderTargetData",
                                         "SetPixelShader",
                                         "SetVertexShader",
                                         "SetPixelShaderConstant",
                                         "SetVertexShaderConstant"};
    auto i = static_cast<size_t>(c);
    return i < sizeof kNames / sizeof kNames[0] ? kNames[i] : "?";
}

}  // namespace

std::string RecordedCall::ToString() const {
    char buf[160];
    switch (call) {
        case Call::SetRenderState:
            std::snprintf(buf, sizeof buf, "SetRenderState(%s, %u)", RenderStateName(static_cast<RenderState>(a)), b);
            break;
        case Call::SetSamplerState:
            std::snprintf(buf, sizeof buf, "SetSamplerState(%u, %s, %u)", a,
                          SamplerStateName(static_cast<SamplerState>(b)), c);
            break;
        case Call::SetTextureStageState:
            std::snprintf(buf, sizeof buf, "SetTextureStageState(%u, %s, %u)", a,
                          StageStateName(static_cast<StageState>(b)), c);
            break;
        case Call::SetTexture:
        case Call::SetRenderTarget:
        case Call::SetPixelShader:
        case Call::SetVertexShader: std::snprintf(buf, sizeof buf, "%s(%u, %p)", CallName(call), a, object); break;
        default: std::snprintf(buf, sizeof buf, "%s(%u, %u, %u, %u)", CallName(call), a, b, c, d); break;
    }
    return buf;
}

size_t CallLog::Count(Call kind) const {
    size_t n = 0;
    for (const RecordedCall& c : calls_) n += c.call == kind ? 1 : 0;
    return n;
}

size_t CallLog::CountRenderState(RenderState state) const {
    size_t n = 0;
    for (const RecordedCall& c : calls_)
        n += (c.call == Call::SetRenderState && c.a == static_cast<uint32_t>(state)) ? 1 : 0;
    return n;
}

uint32_t CallLog::LastRenderState(RenderState state, uint32_t fallback) const {
    for (auto it = calls_.rbegin(); it != calls_.rend(); ++it)
        if (it->call == Call::SetRenderState && it->a == static_cast<uint32_t>(state)) return it->b;
    return fallback;
}

std::string CallLog::Dump() const {
    std::string out;
    for (const RecordedCall& c : calls_) out += c.ToString() + "\n";
    return out;
}

}  // namespace plat
