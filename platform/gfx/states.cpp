#include "platform/gfx/states.h"

#include <cstddef>

namespace plat {

namespace {
constexpr uint32_t U(auto v) { return static_cast<uint32_t>(v); }
}  // namespace

void DeviceState::SetDefaults() {
    auto set = [this](RenderState s, uint32_t v) { render[static_cast<int>(s)] = v; };
    set(RenderState::ZEnable, 0);
    set(RenderState::ZWriteEnable, 1);
    set(RenderState::AlphaTestEnable, 0);
    set(RenderState::SrcBlend, U(Blend::One));
    set(RenderState::DestBlend, U(Blend::Zero));
    set(RenderState::CullMode, U(Cull::CounterClockwise));
    set(RenderState::DitherEnable, 0);
    set(RenderState::AlphaBlendEnable, 0);
    set(RenderState::SpecularEnable, 0);
    set(RenderState::StencilEnable, 0);
    set(RenderState::StencilFail, U(StencilOp::Keep));
    set(RenderState::StencilZFail, U(StencilOp::Keep));
    set(RenderState::StencilPass, U(StencilOp::Keep));
    set(RenderState::StencilFunc, U(Compare::Always));
    set(RenderState::StencilRef, 0);
    set(RenderState::StencilMask, 0xFFFFFFFFu);
    set(RenderState::StencilWriteMask, 0xFFFFFFFFu);
    set(RenderState::Lighting, 1);
    set(RenderState::BlendOp, U(BlendOp::Add));
    set(RenderState::ScissorTestEnable, 0);
    set(RenderState::AntialiasedLineEnable, 0);
    set(RenderState::SeparateAlphaBlendEnable, 0);
    set(RenderState::SrcBlendAlpha, U(Blend::One));
    set(RenderState::DestBlendAlpha, U(Blend::Zero));
    set(RenderState::BlendOpAlpha, U(BlendOp::Add));

    for (int i = 0; i < kMaxTextureStages; ++i) {
        StageSettings& st = stages[i];
        auto s = [&st](StageState k, uint32_t v) { st.stage[static_cast<int>(k)] = v; };
        s(StageState::ColorOp, i == 0 ? U(StageOp::Modulate) : U(StageOp::Disable));
        s(StageState::ColorArg1, U(StageArg::Texture));
        s(StageState::ColorArg2, U(StageArg::Current));
        s(StageState::AlphaOp, i == 0 ? U(StageOp::SelectArg1) : U(StageOp::Disable));
        s(StageState::AlphaArg1, U(StageArg::Texture));
        s(StageState::AlphaArg2, U(StageArg::Current));
        auto m = [&st](SamplerState k, uint32_t v) { st.sampler[static_cast<int>(k)] = v; };
        m(SamplerState::AddressU, U(TextureAddress::Wrap));
        m(SamplerState::AddressV, U(TextureAddress::Wrap));
        m(SamplerState::MagFilter, U(TextureFilter::Point));
        m(SamplerState::MinFilter, U(TextureFilter::Point));
        m(SamplerState::MipFilter, U(TextureFilter::None));
    }
    world = view = projection = Matrix{};
    fvf = 0;
}

const char* RenderStateName(RenderState s) {
    static const char* const kNames[] = {"ZENABLE",
                                         "ZWRITEENABLE",
                                         "ALPHATESTENABLE",
                                         "SRCBLEND",
                                         "DESTBLEND",
                                         "CULLMODE",
                                         "DITHERENABLE",
                                         "ALPHABLENDENABLE",
                                         "SPECULARENABLE",
                                         "STENCILENABLE",
                                         "STENCILFAIL",
                                         "STENCILZFAIL",
                                         "STENCILPASS",
                                         "STENCILFUNC",
                                         "STENCILREF",
                                         "STENCILMASK",
                                         "STENCILWRITEMASK",
                                         "LIGHTING",
                                         "BLENDOP",
                                         "SCISSORTESTENABLE",
                                         "ANTIALIASEDLINEENABLE",
                                         "SEPARATEALPHABLENDENABLE",
                                         "SRCBLENDALPHA",
                                         "DESTBLENDALPHA",
                                         "BLENDOPALPHA"};
    static_assert(sizeof kNames / sizeof kNames[0] == static_cast<std::size_t>(RenderState::Count));
    auto i = static_cast<std::size_t>(s);
    return i < static_cast<std::size_t>(RenderState::Count) ? kNames[i] : "?";
}

const char* StageStateName(StageState s) {
    static const char* const kNames[] = {"COLOROP", "COLORARG1", "COLORARG2", "ALPHAOP", "ALPHAARG1", "ALPHAARG2"};
    auto i = static_cast<std::size_t>(s);
    return i < static_cast<std::size_t>(StageState::Count) ? kNames[i] : "?";
}

const char* SamplerStateName(SamplerState s) {
    static const char* const kNames[] = {"ADDRESSU", "ADDRESSV", "MAGFILTER", "MINFILTER", "MIPFILTER"};
    auto i = static_cast<std::size_t>(s);
    return i < static_cast<std::size_t>(SamplerState::Count) ? kNames[i] : "?";
}

int VertexSize(uint32_t fvf) {
    constexpr uint32_t kKnown = kFvfXyz | kFvfNormal | kFvfDiffuse | kFvfTex1 | kFvfTex2;
    if (!(fvf & kFvfXyz) || (fvf & ~kKnown) || ((fvf & kFvfTex1) && (fvf & kFvfTex2))) return 0;
    int size = 12;
    if (fvf & kFvfNormal) size += 12;
    if (fvf & kFvfDiffuse) size += 4;
    if (fvf & kFvfTex1) size += 8;
    if (fvf & kFvfTex2) size += 16;
    return size;
}

}  // namespace plat
