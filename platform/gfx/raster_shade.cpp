// Per-chunk shading: stencil, texture stages (or a pixel program), blending.
#include <cmath>
#include <cstring>

#include "platform/gfx/formats.h"
#include "platform/gfx/program.h"
#include "platform/gfx/raster.h"

namespace plat::raster {

void WriteSpan(DrawSetup& d, int x, int y, int n, const uint32_t* src, const uint8_t* mask) {
    Surface* t = d.target;
    MarkRowsWritten(d, y, y + 1);
    if (d.direct32) {
        d.blendFn(d.blend, src, mask, reinterpret_cast<uint32_t*>(t->Row(y)) + x, n);
        return;
    }
    if (d.opaqueInPlace) {
        uint32_t* row = reinterpret_cast<uint32_t*>(t->Row(y)) + x;
        d.blendFn(d.blend, src, mask, row, n);
        for (int i = 0; i < n; ++i) row[i] |= 0xFF000000u;
        return;
    }
    uint32_t row[kChunk];
    const Format f = t->GetFormat();
    uint8_t* p = t->Row(y) + x * BytesPerPixel(f);
    while (n > 0) {
        int m = n < kChunk ? n : kChunk;
        RowToArgb(f, p, row, m);
        d.blendFn(d.blend, src, mask, row, m);
        RowFromArgb(f, row, p, m);
        n -= m;
        src += m;
        if (mask) mask += m;
        p += m * BytesPerPixel(f);
    }
}

namespace {

void RunProgram(DrawSetup& d, int x, int y, int n, const ChunkInputs& in, uint32_t* out) {
    float s[kMaxTextureStages][kChunk], t[kMaxTextureStages][kChunk];
    PixelSpan span;
    span.x = x;
    span.y = y;
    span.count = n;
    span.diffuse = in.diffuse;
    for (int k = 0; k < kMaxTextureStages; ++k) {
        const TextureView& view = d.samplers[k].view;
        // Stages without a texture carry their coordinates unscaled.
        float sw = 1.0f / (65536.0f * static_cast<float>(view.width ? view.width : 1));
        float th = 1.0f / (65536.0f * static_cast<float>(view.height ? view.height : 1));
        for (int i = 0; i < n; ++i) {
            s[k][i] = static_cast<float>(in.u[k][i]) * sw;
            t[k][i] = static_cast<float>(in.v[k][i]) * th;
        }
        span.s[k] = s[k];
        span.t[k] = t[k];
        span.samplers[k] = d.textured[k] ? &d.samplers[k] : nullptr;
    }
    d.program->Shade(span, out);
}

}  // namespace

void StepCoordinates(double start, double step, int n, int32_t* out) {
    const double end = start + step * (n - 1);
    constexpr double kSafe = 16384.0;  // texels: 32.32 stepping cannot overflow
    if (std::fabs(start) < kSafe && std::fabs(end) < kSafe) {
        int64_t acc = RoundHalfAway(start * 4294967296.0);
        // Ends this close bound the step only across two pixels or more: a
        // sliver triangle's row of one pixel may step by billions of texels,
        // past any 64-bit number, and its one coordinate needs no step.
        const int64_t inc = n > 1 ? RoundHalfAway(step * 4294967296.0) : 0;
        for (int i = 0; i < n; ++i, acc += inc) out[i] = static_cast<int32_t>(acc >> 16);
        return;
    }
    constexpr double kLimit = kMaxFixedTexel;
    for (int i = 0; i < n; ++i) {
        const double v = (start + step * i) * 65536.0;
        // NaN fails both tests and lands on 0.
        out[i] = v > -kLimit ? (v < kLimit ? static_cast<int32_t>(std::lround(v)) : kMaxFixedTexel)
                             : (v <= -kLimit ? -kMaxFixedTexel : 0);
    }
}

namespace {

// Stage 0 alone decides the colour and gives its texel unchanged.
bool TexelIsResult(const DrawSetup& d, const ChunkInputs& in) {
    return !d.program && in.flat && in.flatColor == 0xFFFFFFFFu && d.textured[0] && StagePassesTexture(d.stages[0]) &&
           (d.stageCount < 2 || (!d.textured[1] && StageKeepsCurrent(d.stages[1])));
}

}  // namespace

void ShadeChunk(DrawSetup& d, int x, int y, int n, const ChunkInputs& in, const uint32_t* tex0) {
    uint8_t pass[kChunk];
    const uint8_t* mask = nullptr;
    if (d.depthStencil) {
        int passed = StencilSpan(d.stencil, d.depthStencil->StencilRow(y) + x, pass, n);
        if (passed == 0 || d.stencil.func == Compare::Never) return;
        if (passed < n) mask = pass;
    }
    uint32_t color[kChunk];
    if (TexelIsResult(d, in)) {
        if (tex0) {
            WriteSpan(d, x, y, n, tex0, mask);
            return;
        }
        SampleSpan(d.samplers[0], in.u[0], in.v[0], n, color);
    } else if (d.program) {
        RunProgram(d, x, y, n, in, color);
    } else {
        std::memcpy(color, in.diffuse, static_cast<size_t>(n) * 4);
        uint32_t texels[kChunk];
        for (int k = 0; k < d.stageCount; ++k) {
            const uint32_t* tex = nullptr;
            if (d.textured[k]) {
                if (k == 0 && tex0) {
                    tex = tex0;
                } else {
                    SampleSpan(d.samplers[k], in.u[k], in.v[k], n, texels);
                    tex = texels;
                }
            }
            CombineStage(d.stages[k], tex, in.diffuse, color, n);
        }
    }
    WriteSpan(d, x, y, n, color, mask);
}

}  // namespace plat::raster
