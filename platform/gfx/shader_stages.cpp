#include "platform/gfx/shader_stages.h"

#include <algorithm>
#include <cstring>

namespace plat {

void StageSampler::Bind(const SamplerSetup* const samplers[kMaxTextureStages]) {
    std::copy(samplers, samplers + kMaxTextureStages, samplers_);
}

void StageSampler::Sample4(int stage, const float u[4], const float v[4], float rgba[4][4]) {
    const SamplerSetup* s = stage >= 0 && stage < kMaxTextureStages ? samplers_[stage] : nullptr;
    if (!s) {
        for (int l = 0; l < 4; ++l) {
            rgba[l][0] = rgba[l][1] = rgba[l][2] = 0.0f;
            rgba[l][3] = 1.0f;
        }
        return;
    }
    uint32_t texels[4];
    SampleSpanAt(*s, u, v, 4, texels);
    for (int l = 0; l < 4; ++l) UnpackUnitColor(texels[l], rgba[l]);
}

void PixelShaderStage::Shade(const PixelSpan& span, uint32_t* out) {
    if (!code_) return;
    sampler_.Bind(span.samplers);
    for (int first = 0; first < span.count; first += raster::kChunk) {
        const int n = std::min(raster::kChunk, span.count - first);
        for (int i = 0; i < n; ++i) {
            ShaderAttributes& a = in_[i];
            UnpackUnitColor(span.diffuse[first + i], a.color);
            for (int k = 0; k < kMaxTextureStages; ++k) {
                a.texcoord[k][0] = span.s[k][first + i];
                a.texcoord[k][1] = span.t[k][first + i];
            }
        }
        code_->RunPixels(constants_, in_, n, sampler_, rgba_);
        for (int i = 0; i < n; ++i) out[first + i] = PackUnitColor(rgba_[i]);
    }
}

void VertexShaderStage::Run(const VertexInput& in, VertexOutput& out) {
    if (!code_) return;
    ShaderAttributes a, o;
    std::memcpy(a.position, in.position, sizeof in.position);
    UnpackUnitColor(in.diffuse, a.color);
    for (int k = 0; k < kMaxTextureStages; ++k) {
        a.texcoord[k][0] = in.tex[k][0];
        a.texcoord[k][1] = in.tex[k][1];
    }
    code_->RunVertices(constants_, &a, &o, 1);
    std::memcpy(out.position, o.position, sizeof out.position);
    out.diffuse = PackUnitColor(o.color);
    for (int k = 0; k < kMaxTextureStages; ++k) {
        out.tex[k][0] = o.texcoord[k][0];
        out.tex[k][1] = o.texcoord[k][1];
    }
}

}  // namespace plat
