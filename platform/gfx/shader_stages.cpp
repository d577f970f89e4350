#include "platform/gfx/shader_stages.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plat {

namespace {

// Four 0xAARRGGBB texels as r, g, b, a in 0..1.
inline void UnpackTexels4(const uint32_t texels[4], float rgba[4][4]) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels));
    const __m128i lo = _mm_unpacklo_epi8(px, zero), hi = _mm_unpackhi_epi8(px, zero);
    const __m128 scale = _mm_set1_ps(1.0f / 255.0f);
    auto store = [&](__m128i channels, float* out) {  // b, g, r, a as 32-bit words
        const __m128i ordered = _mm_shuffle_epi32(channels, _MM_SHUFFLE(3, 0, 1, 2));
        _mm_storeu_ps(out, _mm_mul_ps(_mm_cvtepi32_ps(ordered), scale));
    };
    store(_mm_unpacklo_epi16(lo, zero), rgba[0]);
    store(_mm_unpackhi_epi16(lo, zero), rgba[1]);
    store(_mm_unpacklo_epi16(hi, zero), rgba[2]);
    store(_mm_unpackhi_epi16(hi, zero), rgba[3]);
#else
    for (int l = 0; l < 4; ++l) UnpackUnitColor(texels[l], rgba[l]);
#endif
}

}  // namespace

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
    UnpackTexels4(texels, rgba);
}

void PixelShaderStage::Shade(const PixelSpan& span, uint32_t* out) {
    if (!code_) {  // never bound without code; keep the vertex colour rather than garbage
        std::memcpy(out, span.diffuse, static_cast<size_t>(span.count) * sizeof *out);
        return;
    }
    sampler_.Bind(span.samplers);
    for (int first = 0; first < span.count; first += raster::kChunk) {
        const int n = std::min(raster::kChunk, span.count - first);
        for (int i = 0; i < n; ++i) {
            ShaderAttributes& a = in_[i];
            // Spans are mostly of one colour: convert only where it changes.
            const uint32_t diffuse = span.diffuse[first + i];
            if (i > 0 && diffuse == span.diffuse[first + i - 1])
                std::memcpy(a.color, in_[i - 1].color, sizeof a.color);
            else
                UnpackUnitColor(diffuse, a.color);
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
