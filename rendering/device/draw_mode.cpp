// D3DInterface::SetupDrawMode and SetClip: a draw state and a clip rectangle
// become device states, skipping every state that already holds.
#include <mutex>

#include "foundation/values/saturate.h"
#include "rendering/device/d3d_interface.h"

namespace {

constexpr uint32_t U(auto v) { return static_cast<uint32_t>(v); }

using plat::Blend;
using plat::RenderState;

plat::Matrix ViewMatrix(const DrawState& state) {
    plat::Matrix view;
    if (!state.matrixSet) return view;
    // Our matrices act on column vectors, the device's on row vectors.
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) view.m[r][c] = state.matrix[c * 4 + r];
    return view;
}

bool WritesStencilOnly(int mode) { return mode >= kDrawStencilSet && mode <= kDrawStencilInvert; }

// Images without premultiplied pixels take the normal mode as straight alpha.
int EffectiveMode(int mode, bool imagePremultiplied) {
    return (mode == kDrawNormal && !imagePremultiplied) ? kDrawStraightAlpha : mode;
}

}  // namespace

void D3DInterface::SetupDrawMode(int drawKind, bool imagePremultiplied, const DrawState* state) {
    std::lock_guard lock(deviceLock_);
    if (!device_ || !state) return;
    const int effective = EffectiveMode(state->mode, imagePremultiplied);
    if (DrawModeHolds(drawKind, effective, *state)) return;

    auto set = [this](RenderState s, uint32_t v) { device_->SetRenderState(s, v); };

    if (!cachedState_.SameMatrix(*state)) {
        const plat::Matrix view = ViewMatrix(*state);
        device_->SetTransform(plat::TransformState::View, &view);
    }
    if (state->cull != cachedState_.cull)
        set(RenderState::CullMode, U(state->cull ? plat::Cull::Clockwise : plat::Cull::None));

    // Stencil before blending: a change of stencil test alone under modes 6..8
    // rewrites the function and reference for the test and leaves them so.
    if (effective != cachedState_.mode || state->stencilTest != cachedState_.stencilTest) {
        set(RenderState::StencilEnable, (state->stencilTest == 0 && !WritesStencilOnly(effective)) ? 0 : 1);
        if (state->stencilTest != 0) {
            set(RenderState::StencilRef, 0);
            set(RenderState::StencilFunc, U(state->stencilTest == 1 ? plat::Compare::NotEqual : plat::Compare::Equal));
            set(RenderState::StencilZFail, U(plat::StencilOp::Keep));
            set(RenderState::StencilFail, U(plat::StencilOp::Keep));
            set(RenderState::StencilPass, U(plat::StencilOp::Keep));
        }
    }

    if (effective != cachedState_.mode) {
        set(RenderState::AlphaBlendEnable, 1);
        set(RenderState::SeparateAlphaBlendEnable, 0);
        set(RenderState::BlendOp, U(plat::BlendOp::Add));
        switch (effective) {
            case kDrawNormal:
            // Overlay and softlight are computed by their blend shaders; the
            // fixed pipeline composes their output as normal pixels rather
            // than with whatever factors the previous mode left.
            case kDrawOverlay:
            case kDrawSoftlight:
                set(RenderState::SrcBlend, U(Blend::One));
                set(RenderState::DestBlend, U(Blend::InvSrcAlpha));
                break;
            case kDrawAdditive:
                set(RenderState::SrcBlend, U(Blend::One));
                set(RenderState::DestBlend, U(Blend::One));
                break;
            case kDrawMultiply:
                // Premultiplied multiply: src * dst + dst * (1 - src alpha).
                set(RenderState::SrcBlend, U(Blend::DestColor));
                set(RenderState::DestBlend, U(Blend::InvSrcAlpha));
                break;
            case kDrawSubtractive:
                set(RenderState::BlendOp, U(plat::BlendOp::RevSubtract));
                set(RenderState::SrcBlend, U(Blend::One));
                set(RenderState::DestBlend, U(Blend::One));
                break;
            case kDrawStencilSet:
            case kDrawStencilClear:
                set(RenderState::StencilEnable, 1);
                set(RenderState::StencilFunc, U(plat::Compare::Never));
                set(RenderState::StencilRef, effective == kDrawStencilSet ? 1 : 0);
                set(RenderState::StencilFail, U(plat::StencilOp::Replace));
                break;
            case kDrawStencilInvert:
                set(RenderState::StencilEnable, 1);
                set(RenderState::StencilFunc, U(plat::Compare::Never));
                set(RenderState::StencilFail, U(plat::StencilOp::Invert));
                break;
            case kDrawStraightAlpha:
                set(RenderState::SeparateAlphaBlendEnable, 1);
                set(RenderState::BlendOpAlpha, U(plat::BlendOp::Add));
                set(RenderState::SrcBlend, U(Blend::SrcAlpha));
                set(RenderState::SrcBlendAlpha, U(Blend::One));
                set(RenderState::DestBlend, U(Blend::InvSrcAlpha));
                set(RenderState::DestBlendAlpha, U(Blend::InvSrcAlpha));
                break;
            case kDrawOpaque: set(RenderState::AlphaBlendEnable, 0); break;
            default: break;
        }
    }

    if (shadersAvailable_) {
        if (!state->shader) {
            lastDrawKindNoShader_ = drawKind;
            DisableShaders();
        } else {
            state->shader->Apply();
        }
    }
    cachedState_ = *state;
    cachedState_.mode = effective;
}

void D3DInterface::SetClip(const FRect* clip) {
    std::lock_guard lock(deviceLock_);
    if (!device_) return;
    if (clip && currentRenderTarget_ &&
        clip->Equals(FRect(0, 0, static_cast<float>(currentRenderTarget_->GetWidth()),
                           static_cast<float>(currentRenderTarget_->GetHeight()))))
        clip = nullptr;
    if (!scissorOn_ && !clip) return;
    if (scissorOn_ && clip && clip->Equals(lastScissor_)) return;
    scissorOn_ = clip != nullptr;
    CheckResult("Set Scissor Test", device_->SetRenderState(RenderState::ScissorTestEnable, scissorOn_ ? 1 : 0));
    if (!scissorOn_) return;
    lastScissor_ = *clip;
    const plat::Rect r{SaturateCast<int32_t>(clip->x), SaturateCast<int32_t>(clip->y),
                       SaturateCast<int32_t>(clip->x + clip->w), SaturateCast<int32_t>(clip->y + clip->h)};
    CheckResult("SetScissorRect", device_->SetScissorRect(&r));
}

bool D3DInterface::BeginTexturedDraw(int drawKind, bool imagePremultiplied, const DrawState& state, const FRect* clip) {
    std::lock_guard lock(deviceLock_);
    if (!device_ || !currentRenderTarget_) return false;
    // BeginScene's answer for a scene already open is asked here; it is
    // called to open one, or to refuse a minimised window's draw buffer.
    const bool minimisedScreen = host_ && host_->IsMinimised() && currentRenderTarget_ == drawBufferB_.get();
    if ((!sceneOpen_ || minimisedScreen) && !BeginScene()) return false;
    // Most draws of a frame change neither: the calls and their holds of the
    // lock are skipped then.
    if (!DrawModeHolds(drawKind, EffectiveMode(state.mode, imagePremultiplied), state))
        SetupDrawMode(drawKind, imagePremultiplied, &state);
    if (clip || scissorOn_) SetClip(clip);
    return true;
}
