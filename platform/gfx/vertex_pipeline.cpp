#include "platform/gfx/vertex_pipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/gfx/program.h"
#include "platform/gfx/span_over.h"

namespace plat::raster {

namespace {

// A vertex's field of four bytes, a float or a word, read as it was
// written: the caller has mostly just written the vertices, and a wider
// read of narrower writes waits for them to reach the cache.
template <class Field>
Field FieldAt(const uint8_t* at) {
    static_assert(sizeof(Field) == 4);
    Field f;
    std::memcpy(&f, at, 4);
    return f;
}

// Vertices may lie this many viewport half-sizes outside the viewport before
// they are clipped; the rasterizer clips the rest per pixel.
constexpr float kGuard = 8.0f;
constexpr int kPlanes = 7;

float PlaneDistance(const ClipVertex& v, int plane) {
    const float x = v.c[0], y = v.c[1], z = v.c[2], w = v.c[3];
    switch (plane) {
        case 0: return z;      // near
        case 1: return w - z;  // far
        case 2: return x + kGuard * w;
        case 3: return kGuard * w - x;
        case 4: return y + kGuard * w;
        case 5: return kGuard * w - y;
        default: return w - 1e-6f;
    }
}

// Written so that NaN coordinates count as outside. Every plane's distance
// is the one PlaneDistance gives, all asked at once rather than in turn.
// Inline: a blit asks it twice, and the call cost as much as the test.
[[gnu::always_inline]] inline bool NeedsClip(const float c[4]) {
    const float x = c[0], y = c[1], z = c[2], w = c[3];
    const float guard = kGuard * w;
    return !(z >= 0) | !(w - z >= 0) | !(x + guard >= 0) | !(guard - x >= 0) | !(y + guard >= 0) | !(guard - y >= 0) |
           !(w - 1e-6f >= 0);
}

bool Finite(const ClipVertex& v) {
    for (float c : v.c)
        if (!std::isfinite(c)) return false;
    return true;
}

#if !defined(__SSE2__)
// Keeps attributes finite and small enough for fixed-point stepping; no
// meaningful texture coordinate comes near these bounds.
float Sane(float v) {
    if (!std::isfinite(v)) return 0.0f;
    return std::clamp(v, -1.0e7f, 1.0e7f);
}
#endif

ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, float t) {
    ClipVertex r;
    for (int i = 0; i < 4; ++i) r.c[i] = a.c[i] + (b.c[i] - a.c[i]) * t;
    for (int i = 0; i < kAttrCount; ++i) r.a[i] = a.a[i] + (b.a[i] - a.a[i]) * t;
    return r;
}

// A vertex's attributes: the colour's channels, and the texture
// coordinates (u0, v0, u1, v1) scaled to texels and kept sane; written to
// `out` and, when given, to `also`, from the values in hand rather than read
// back. The coordinates come as values, not an array: they were just read
// one at a time, and a vector read of an array written a part at a time
// waits for the parts to reach the cache.
void StoreAttributes(uint32_t diffuse, float u0, float v0, float u1, float v1, const float scale[4], float* out,
                     float* also) {
    static_assert(kMaxTextureStages == 2 && kU0 + 4 == kAttrCount, "four texture coordinates close the attributes");
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    // Bytes B, G, R, A of the colour widened to lanes, then put in R, G, B, A order.
    const __m128i channels =
        _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(diffuse)), zero), zero);
    const __m128 colour = _mm_cvtepi32_ps(_mm_shuffle_epi32(channels, _MM_SHUFFLE(3, 0, 1, 2)));
    // Four coordinates kept finite and small enough for fixed-point stepping
    // (no meaningful one comes near the bounds): one that is not finite (its
    // size not at most the largest float) becomes 0, the rest are clamped.
    const __m128 t = _mm_mul_ps(_mm_setr_ps(u0, v0, u1, v1), _mm_loadu_ps(scale));
    const __m128 size = _mm_andnot_ps(_mm_set1_ps(-0.0f), t);
    const __m128 finite = _mm_cmple_ps(size, _mm_set1_ps(3.40282347e38f));
    const __m128 clamped = _mm_min_ps(_mm_max_ps(t, _mm_set1_ps(-1.0e7f)), _mm_set1_ps(1.0e7f));
    const __m128 texels = _mm_and_ps(clamped, finite);
    for (float* to : {out, also}) {
        if (!to) continue;
        _mm_storeu_ps(to + kR, colour);
        _mm_storeu_ps(to + kU0, texels);
    }
#else
    float a[kAttrCount];
    a[kA] = static_cast<float>(diffuse >> 24);
    a[kR] = static_cast<float>((diffuse >> 16) & 0xFF);
    a[kG] = static_cast<float>((diffuse >> 8) & 0xFF);
    a[kB] = static_cast<float>(diffuse & 0xFF);
    const float tex[4] = {u0, v0, u1, v1};
    for (int k = 0; k < 4; ++k) a[kU0 + k] = Sane(tex[k] * scale[k]);
    for (float* to : {out, also})
        if (to) std::memcpy(to, a, sizeof a);
#endif
}

Rect Intersect(const Rect& a, const Rect& b) {
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

}  // namespace

DrawSetup BuildDrawSetup(const DeviceState& s) {
    DrawSetup d;
    Surface* t = s.renderTarget;
    d.target = t;
    d.direct32 = t->GetFormat() == Format::A8R8G8B8;
    const Viewport& vp = s.viewport;
    d.clip = Intersect(Rect{static_cast<int32_t>(vp.x), static_cast<int32_t>(vp.y),
                            static_cast<int32_t>(vp.x + vp.width), static_cast<int32_t>(vp.y + vp.height)},
                       Rect{0, 0, t->Width(), t->Height()});
    if (s.Get(RenderState::ScissorTestEnable)) d.clip = Intersect(d.clip, s.scissor);
    if (s.Get(RenderState::StencilEnable) && s.depthStencil) {
        d.depthStencil = s.depthStencil;
        d.clip = Intersect(d.clip, Rect{0, 0, s.depthStencil->Width(), s.depthStencil->Height()});
        d.stencil.enabled = true;
        d.stencil.func = static_cast<Compare>(s.Get(RenderState::StencilFunc));
        d.stencil.ref = static_cast<uint8_t>(s.Get(RenderState::StencilRef));
        d.stencil.mask = static_cast<uint8_t>(s.Get(RenderState::StencilMask));
        d.stencil.writeMask = static_cast<uint8_t>(s.Get(RenderState::StencilWriteMask));
        d.stencil.failOp = static_cast<StencilOp>(s.Get(RenderState::StencilFail));
        d.stencil.passOp = static_cast<StencilOp>(s.Get(RenderState::StencilPass));
    }
    d.blend.enabled = s.Get(RenderState::AlphaBlendEnable) != 0;
    d.blend.src = static_cast<Blend>(s.Get(RenderState::SrcBlend));
    d.blend.dst = static_cast<Blend>(s.Get(RenderState::DestBlend));
    d.blend.op = static_cast<BlendOp>(s.Get(RenderState::BlendOp));
    if (s.Get(RenderState::SeparateAlphaBlendEnable)) {
        d.blend.srcAlpha = static_cast<Blend>(s.Get(RenderState::SrcBlendAlpha));
        d.blend.dstAlpha = static_cast<Blend>(s.Get(RenderState::DestBlendAlpha));
        d.blend.opAlpha = static_cast<BlendOp>(s.Get(RenderState::BlendOpAlpha));
    } else {
        d.blend.srcAlpha = d.blend.src;
        d.blend.dstAlpha = d.blend.dst;
        d.blend.opAlpha = d.blend.op;
    }
    d.blendFn = ChooseBlend(d.blend);
    d.overRows = BlendIsOver(d.blend) && CpuHasAvx2();
    d.ignoresTarget = BlendIgnoresTarget(d.blend);
    d.keepsTargetUnderClear = BlendKeepsTargetUnderClear(d.blend);
    d.opaqueInPlace = t->GetFormat() == Format::X8R8G8B8 && BlendColorIgnoresDestAlpha(d.blend);
    d.stageCount = 0;
    for (int k = 0; k < kMaxTextureStages; ++k) {
        const StageSettings& st = s.stages[k];
        StageCombine& c = d.stages[k];
        c.colorOp = static_cast<StageOp>(st.Get(StageState::ColorOp));
        if (c.colorOp == StageOp::Disable) break;
        c.alphaOp = static_cast<StageOp>(st.Get(StageState::AlphaOp));
        c.color1 = static_cast<StageArg>(st.Get(StageState::ColorArg1));
        c.color2 = static_cast<StageArg>(st.Get(StageState::ColorArg2));
        c.alpha1 = static_cast<StageArg>(st.Get(StageState::AlphaArg1));
        c.alpha2 = static_cast<StageArg>(st.Get(StageState::AlphaArg2));
        d.stageCount = k + 1;
    }
    d.cull = static_cast<Cull>(s.Get(RenderState::CullMode));
    d.program = s.pixelProgram;
    BindTextures(d, s);
    return d;
}

void BindTextures(DrawSetup& d, const DeviceState& s) {
    for (int k = 0; k < kMaxTextureStages; ++k) {
        const StageSettings& st = s.stages[k];
        // A pixel program ignores the stage operations and may read any stage
        // that has a texture, even one the fixed stages would leave disabled.
        if (!st.texture || (k >= d.stageCount && !s.pixelProgram)) {
            d.textured[k] = false;
            d.textures[k] = nullptr;
            d.samplers[k] = SamplerSetup{};
            d.minBilinear[k] = d.magBilinear[k] = false;
            continue;
        }
        d.textured[k] = true;
        d.textures[k] = st.texture->Level0();
        d.samplers[k].view = d.textures[k]->View();
        d.samplers[k].wrapU = st.Get(SamplerState::AddressU) == static_cast<uint32_t>(TextureAddress::Wrap);
        d.samplers[k].wrapV = st.Get(SamplerState::AddressV) == static_cast<uint32_t>(TextureAddress::Wrap);
        d.minBilinear[k] = st.Get(SamplerState::MinFilter) == static_cast<uint32_t>(TextureFilter::Linear);
        d.magBilinear[k] = st.Get(SamplerState::MagFilter) == static_cast<uint32_t>(TextureFilter::Linear);
        d.samplers[k].bilinear = d.magBilinear[k];
    }
}

VertexPipeline::VertexPipeline(const DeviceState& state, const DrawSetup& setup) : state_(state) {
    Matrix wv;
    MatrixMultiply(&wv, &state.world, &state.view);
    MatrixMultiply(&combined_, &wv, &state.projection);
    vx_ = state.viewport.x;
    vy_ = state.viewport.y;
    vw_ = state.viewport.width;
    vh_ = state.viewport.height;
    TakeTextureScales(setup);
    int at = 12;
    const uint32_t fvf = state.fvf;
    if (fvf & kFvfNormal) {
        normalAt_ = at;
        at += 12;
    }
    if (fvf & kFvfDiffuse) {
        diffuseAt_ = at;
        at += 4;
    }
    if (fvf & (kFvfTex1 | kFvfTex2)) {
        tex0At_ = at;
        at += 8;
    }
    if (fvf & kFvfTex2) tex1At_ = at;
    const auto& m = combined_.m;
    bool finite = true;
    for (const auto& row : m)
        for (float e : row) finite = finite && std::isfinite(e);
    uprightBlits_ = !state.vertexProgram && normalAt_ < 0 && diffuseAt_ == 12 && tex0At_ == 16 && tex1At_ < 0 &&
                    finite && m[0][1] == 0 && m[0][2] == 0 && m[0][3] == 0 && m[1][0] == 0 && m[1][2] == 0 &&
                    m[1][3] == 0;
}

bool VertexPipeline::PlaceStripRect(const uint8_t* data, uint32_t stride, RasterVertex& v0, RasterVertex& v3,
                                    uint32_t* color) const {
    if (!uprightBlits_) return false;
    // Read a field at a time, as Process reads them.
    auto real = [data, stride](int vertex, int at) {
        return FieldAt<float>(data + static_cast<size_t>(vertex) * stride + at);
    };
    auto word = [data, stride](int vertex, int at) {
        return FieldAt<uint32_t>(data + static_cast<size_t>(vertex) * stride + at);
    };
    const float x0 = real(0, 0), y0 = real(0, 4), z = real(0, 8), x3 = real(3, 0), y3 = real(3, 4);
    // The corners as Process sees them: v1 at (x0, y3), v2 at (x3, y0), one
    // z, one colour; u the same down each side, v across each edge.
    if (!(real(1, 0) == x0 && real(2, 0) == x3 && real(1, 4) == y3 && real(2, 4) == y0 && real(1, 8) == z &&
          real(2, 8) == z && real(3, 8) == z))
        return false;
    const uint32_t diffuse = word(0, 12);
    if (word(1, 12) != diffuse || word(2, 12) != diffuse || word(3, 12) != diffuse) return false;
    const float u0 = real(0, 16), t0 = real(0, 20), u3 = real(3, 16), t3 = real(3, 20);
    if (!(real(1, 16) == u0 && real(2, 16) == u3 && real(1, 20) == t3 && real(2, 20) == t0)) return false;
    // With x and y finite, the transform's terms in y add a zero to a
    // corner's clip x, and those in x a zero to its y: v1's clip position is
    // v0's x and v3's y, z and w the same for all, each at most a zero's
    // sign apart, which neither the screen position nor the clip tests see.
    // So v1 and v2 need no clipping when v0 and v3 need none, and land at
    // v0's and v3's screen columns and rows.
    constexpr float kMost = 3.40282347e38f;
    if (!(std::fabs(x0) <= kMost && std::fabs(y0) <= kMost && std::fabs(x3) <= kMost && std::fabs(y3) <= kMost))
        return false;
    const float p0[4] = {x0, y0, z, 1.0f}, p3[4] = {x3, y3, z, 1.0f};
    float c0[4], c3[4];
    TransformPoint(combined_, p0, c0);
    TransformPoint(combined_, p3, c3);
    if (NeedsClip(c0) || NeedsClip(c3)) return false;
    StoreAttributes(diffuse, u0, t0, 0.0f, 0.0f, scale_, v0.a, nullptr);
    StoreAttributes(diffuse, u3, t3, 0.0f, 0.0f, scale_, v3.a, nullptr);
    Place(c0, v0);
    Place(c3, v3);
    // The colour's channels, packed back as the rectangle packs them, are
    // the colour itself: whole numbers from 0 to 255.
    *color = diffuse;
    return true;
}

void VertexPipeline::TakeTextureScales(const DrawSetup& setup) {
    for (int k = 0; k < kMaxTextureStages; ++k) {
        // Texture coordinates travel in texels of the stage's texture.
        scale_[2 * k] = setup.textured[k] ? static_cast<float>(setup.samplers[k].view.width) : 1.0f;
        scale_[2 * k + 1] = setup.textured[k] ? static_cast<float>(setup.samplers[k].view.height) : 1.0f;
    }
}

void VertexPipeline::Process(const uint8_t* data, uint32_t stride, uint32_t count, ClipVertex* out,
                             RasterVertex* screen) const {
    // Asked once, not at each vertex: the stores below may alias what the
    // members point at, so the compiler would read them again each time.
    VertexProgram* const program = state_.vertexProgram;
    const int normalAt = normalAt_, diffuseAt = diffuseAt_, tex0At = tex0At_, tex1At = tex1At_;
    const Matrix combined = combined_;
    float scale[2 * kMaxTextureStages];
    std::memcpy(scale, scale_, sizeof scale);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* p = data + static_cast<size_t>(i) * stride;
        // Each field is read as it was written (FieldAt).
        auto word = [p](int at, int k) { return FieldAt<uint32_t>(p + at + 4 * k); };
        auto real = [p](int at, int k) { return FieldAt<float>(p + at + 4 * k); };
        float c[4];
        uint32_t diffuse = 0xFFFFFFFFu;
        float tex[4] = {};
        if (program) {
            VertexInput in;
            for (int k = 0; k < 3; ++k) in.position[k] = real(0, k);
            if (normalAt >= 0)
                for (int k = 0; k < 3; ++k) in.normal[k] = real(normalAt, k);
            if (diffuseAt >= 0) in.diffuse = word(diffuseAt, 0);
            for (int k = 0; k < 2; ++k) {
                if (tex0At >= 0) in.tex[0][k] = real(tex0At, k);
                if (tex1At >= 0) in.tex[1][k] = real(tex1At, k);
            }
            VertexOutput o;
            o.diffuse = in.diffuse;
            std::memcpy(o.tex, in.tex, sizeof o.tex);
            program->Run(in, o);
            std::memcpy(c, o.position, sizeof c);
            diffuse = o.diffuse;
            std::memcpy(tex, o.tex, sizeof tex);
        } else {
            const float pos[4] = {real(0, 0), real(0, 1), real(0, 2), 1.0f};
            TransformPoint(combined, pos, c);
            if (diffuseAt >= 0) diffuse = word(diffuseAt, 0);
            if (tex0At >= 0) {
                tex[0] = real(tex0At, 0);
                tex[1] = real(tex0At, 1);
            }
            if (tex1At >= 0) {
                tex[2] = real(tex1At, 0);
                tex[3] = real(tex1At, 1);
            }
        }
        ClipVertex& v = out[i];
        std::memcpy(v.c, c, sizeof c);
        v.needsClip = NeedsClip(c);
        const bool onScreen = screen && !v.needsClip;
        StoreAttributes(diffuse, tex[0], tex[1], tex[2], tex[3], scale, v.a, onScreen ? screen[i].a : nullptr);
        if (onScreen) Place(c, screen[i]);
    }
}

void VertexPipeline::DrawClippedTriangle(DrawSetup& d, const ClipVertex& a, const ClipVertex& b,
                                         const ClipVertex& c) const {
    if (!a.needsClip && !b.needsClip && !c.needsClip) {
        DrawTriangle(d, ToScreen(a), ToScreen(b), ToScreen(c));
        return;
    }
    ClipVertex bufA[3 + kPlanes], bufB[3 + kPlanes];
    ClipVertex* in = bufA;
    ClipVertex* out = bufB;
    int n = 3;
    in[0] = a;
    in[1] = b;
    in[2] = c;
    for (int p = 0; p < kPlanes && n > 0; ++p) {
        int m = 0;
        for (int i = 0; i < n; ++i) {
            const ClipVertex& s = in[i];
            const ClipVertex& e = in[(i + 1) % n];
            const float ds = PlaneDistance(s, p), de = PlaneDistance(e, p);
            if (ds >= 0) out[m++] = s;
            if ((ds >= 0) != (de >= 0)) out[m++] = Lerp(s, e, ds / (ds - de));
        }
        std::swap(in, out);
        n = m;
    }
    if (n < 3) return;
    for (int i = 0; i < n; ++i)
        if (!Finite(in[i])) return;
    const RasterVertex first = ToScreen(in[0]);
    RasterVertex prev = ToScreen(in[1]);
    for (int i = 2; i < n; ++i) {
        const RasterVertex cur = ToScreen(in[i]);
        DrawTriangle(d, first, prev, cur);
        prev = cur;
    }
}

void VertexPipeline::DrawClippedLine(DrawSetup& d, const ClipVertex& a, const ClipVertex& b) const {
    if (!a.needsClip && !b.needsClip) {
        DrawLine(d, ToScreen(a), ToScreen(b));
        return;
    }
    float t0 = 0.0f, t1 = 1.0f;
    for (int p = 0; p < kPlanes; ++p) {
        const float da = PlaneDistance(a, p), db = PlaneDistance(b, p);
        if (!(da >= 0) && !(db >= 0)) return;
        if (!std::isfinite(da) || !std::isfinite(db)) return;
        if (da < 0) t0 = std::max(t0, da / (da - db));
        if (db < 0) t1 = std::min(t1, da / (da - db));
    }
    if (!(t0 < t1)) return;
    const ClipVertex p = Lerp(a, b, t0), q = Lerp(a, b, t1);
    if (!Finite(p) || !Finite(q)) return;
    DrawLine(d, ToScreen(p), ToScreen(q));
}

}  // namespace plat::raster
