#include "platform/gfx/sampler.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "platform/gfx/lanes_avx2.h"
#include "platform/gfx/span_over.h"

namespace plat {

namespace {

inline int Wrap(int i, int size) {
    int r = i % size;
    return r < 0 ? r + size : r;
}

inline int Clamp(int i, int size) { return i < 0 ? 0 : (i >= size ? size - 1 : i); }

template <bool kWrapU, bool kWrapV>
void PointSpan(const TextureView& t, const int32_t* u, const int32_t* v, int n, uint32_t* out) {
    for (int i = 0; i < n; ++i) {
        int x = u[i] >> 16, y = v[i] >> 16;
        if (static_cast<unsigned>(x) >= static_cast<unsigned>(t.width))
            x = kWrapU ? Wrap(x, t.width) : Clamp(x, t.width);
        if (static_cast<unsigned>(y) >= static_cast<unsigned>(t.height))
            y = kWrapV ? Wrap(y, t.height) : Clamp(y, t.height);
        out[i] = t.pixels[static_cast<size_t>(y) * t.pitch + x];
    }
}

#if defined(__SSE2__)
// The four texels p0[0], p0[1], p1[0], p1[1] weighted as LerpArgb does:
// rows first, then the two rows, each step rounded.
inline uint32_t Bilinear4(const uint32_t* p0, const uint32_t* p1, uint32_t fx, uint32_t fy) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi16(128);
    const __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p0)), zero);
    const __m128i bottom = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p1)), zero);
    const short gx = static_cast<short>(256 - fx), wx = static_cast<short>(fx);
    const __m128i wxv = _mm_set_epi16(wx, wx, wx, wx, gx, gx, gx, gx);
    const __m128i t = _mm_mullo_epi16(top, wxv), b = _mm_mullo_epi16(bottom, wxv);
    // Sum the two weighted texels of each row (left half + right half).
    const __m128i tr = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_si128(t, 8)), round), 8);
    const __m128i br = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(b, _mm_srli_si128(b, 8)), round), 8);
    const short gy = static_cast<short>(256 - fy), wy = static_cast<short>(fy);
    const __m128i v = _mm_add_epi16(_mm_mullo_epi16(tr, _mm_set1_epi16(gy)), _mm_mullo_epi16(br, _mm_set1_epi16(wy)));
    const __m128i r = _mm_srli_epi16(_mm_add_epi16(v, round), 8);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(r, zero)));
}
#endif

#if defined(__x86_64__)
// Channels of texels p0, p1 (upper row) and q0, q1 (lower row) widened to
// 16 bits: the rows blended by the column weights wx, then the two by wy.
__attribute__((target("avx2"))) inline __m256i BilinearLanes(__m256i wx, __m256i wy, __m256i p0, __m256i p1, __m256i q0,
                                                             __m256i q1) {
    const __m256i full = _mm256_set1_epi16(256);
    const __m256i gx = _mm256_sub_epi16(full, wx);
    return LerpLanes(LerpLanes(p0, p1, gx, wx), LerpLanes(q0, q1, gx, wx), _mm256_sub_epi16(full, wy), wy);
}

// Eight samples that share one row coordinate, as a row of a scaled image
// has, each with both its texel columns inside the texture: the per-sample
// filter's Bilinear4 for all eight at once, the texels gathered. False
// (nothing written) when the eight are not such samples.
template <bool kWrapV>
__attribute__((target("avx2"))) bool BilinearEightAvx2(const TextureView& t, const int32_t* u, const int32_t* v,
                                                       uint32_t* out) {
    const __m256i vs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v));
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(vs, _mm256_set1_epi32(v[0]))) != -1) return false;
    const __m256i uu = _mm256_srai_epi32(
        _mm256_add_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(u)), _mm256_set1_epi32(0x80 - 0x8000)), 8);
    const __m256i column = _mm256_srai_epi32(uu, 8);
    // 0 <= column < width - 1 in every lane.
    const __m256i inside = _mm256_andnot_si256(_mm256_cmpgt_epi32(_mm256_setzero_si256(), column),
                                               _mm256_cmpgt_epi32(_mm256_set1_epi32(t.width - 1), column));
    if (_mm256_movemask_epi8(inside) != -1) return false;
    const int32_t vv = (v[0] - 0x8000 + 0x80) >> 8;
    int y0, y1;
    TexelPair(kWrapV, vv >> 8, t.height, y0, y1);
    const auto* r0 = reinterpret_cast<const int*>(t.pixels + static_cast<size_t>(y0) * t.pitch);
    const auto* r1 = reinterpret_cast<const int*>(t.pixels + static_cast<size_t>(y1) * t.pitch);
    const __m256i a0 = _mm256_i32gather_epi32(r0, column, 4), a1 = _mm256_i32gather_epi32(r0 + 1, column, 4);
    const __m256i b0 = _mm256_i32gather_epi32(r1, column, 4), b1 = _mm256_i32gather_epi32(r1 + 1, column, 4);
    // Each sample's column weight in the four 16-bit lanes of its channels.
    const __m256i fx = _mm256_and_si256(uu, _mm256_set1_epi32(0xFF));
    const __m256i fx2 = _mm256_or_si256(fx, _mm256_slli_epi32(fx, 16));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i fy = _mm256_set1_epi16(static_cast<short>(vv & 0xFF));
    const __m256i lo =
        BilinearLanes(_mm256_unpacklo_epi32(fx2, fx2), fy, _mm256_unpacklo_epi8(a0, zero),
                      _mm256_unpacklo_epi8(a1, zero), _mm256_unpacklo_epi8(b0, zero), _mm256_unpacklo_epi8(b1, zero));
    const __m256i hi =
        BilinearLanes(_mm256_unpackhi_epi32(fx2, fx2), fy, _mm256_unpackhi_epi8(a0, zero),
                      _mm256_unpackhi_epi8(a1, zero), _mm256_unpackhi_epi8(b0, zero), _mm256_unpackhi_epi8(b1, zero));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_packus_epi16(lo, hi));
    return true;
}
#endif

template <bool kWrapU, bool kWrapV>
inline uint32_t BilinearSample(const TextureView& t, int32_t u, int32_t v) {
    // Texel centres sit at i + 0.5: move them onto the integers, then keep
    // 8 bits of fraction, rounded.
    const int32_t uu = (u - 0x8000 + 0x80) >> 8, vv = (v - 0x8000 + 0x80) >> 8;
    const uint32_t fx = static_cast<uint32_t>(uu & 0xFF), fy = static_cast<uint32_t>(vv & 0xFF);
    int x0, x1, y0, y1;
    TexelPair(kWrapU, uu >> 8, t.width, x0, x1);
    TexelPair(kWrapV, vv >> 8, t.height, y0, y1);
    const uint32_t* r0 = t.pixels + static_cast<size_t>(y0) * t.pitch;
    const uint32_t* r1 = t.pixels + static_cast<size_t>(y1) * t.pitch;
#if defined(__SSE2__)
    if (x1 == x0 + 1) return Bilinear4(r0 + x0, r1 + x0, fx, fy);
#endif
    const uint32_t top = fx ? LerpArgb(r0[x0], r0[x1], fx) : r0[x0];
    const uint32_t bottom = fx ? LerpArgb(r1[x0], r1[x1], fx) : r1[x0];
    return fy ? LerpArgb(top, bottom, fy) : top;
}

template <bool kWrapU, bool kWrapV>
void BilinearSpan(const TextureView& t, const int32_t* u, const int32_t* v, int n, uint32_t* out) {
    int i = 0;
#if defined(__x86_64__)
    static const bool avx2 = CpuHasAvx2();
    if (avx2)
        for (; i + 8 <= n; i += 8)
            if (!BilinearEightAvx2<kWrapV>(t, u + i, v + i, out + i))
                for (int k = i; k < i + 8; ++k) out[k] = BilinearSample<kWrapU, kWrapV>(t, u[k], v[k]);
#endif
    for (; i < n; ++i) out[i] = BilinearSample<kWrapU, kWrapV>(t, u[i], v[i]);
}

using SpanFn = void (*)(const TextureView&, const int32_t*, const int32_t*, int, uint32_t*);

SpanFn Choose(const SamplerSetup& s) {
    static const SpanFn kPoint[4] = {PointSpan<false, false>, PointSpan<false, true>, PointSpan<true, false>,
                                     PointSpan<true, true>};
    static const SpanFn kLinear[4] = {BilinearSpan<false, false>, BilinearSpan<false, true>, BilinearSpan<true, false>,
                                      BilinearSpan<true, true>};
    int k = (s.wrapU ? 2 : 0) + (s.wrapV ? 1 : 0);
    return s.bilinear ? kLinear[k] : kPoint[k];
}

}  // namespace

RowPair BilinearRows(const SamplerSetup& s, int32_t v) {
    const ColumnStep step = BilinearColumn(v);
    int y0, y1;
    TexelPair(s.wrapV, step.column, s.view.height, y0, y1);
    return {s.view.pixels + static_cast<size_t>(y0) * s.view.pitch,
            s.view.pixels + static_cast<size_t>(y1) * s.view.pitch, step.weight};
}

void SampleSpan(const SamplerSetup& s, const int32_t* u, const int32_t* v, int n, uint32_t* out) {
    if (!s.view.pixels) {
        for (int i = 0; i < n; ++i) out[i] = 0xFFFFFFFFu;
        return;
    }
    Choose(s)(s.view, u, v, n, out);
}

namespace {

// Normalised coordinate to 16.16 texels, rounded. Wrapping repeats every
// whole texture, so a coordinate beyond the fixed-point bound is first
// reduced to [0, 1); a clamped one stops at the bound.
int32_t ToTexels(float t, int size, bool wrap) {
    constexpr double kLimit = kMaxFixedTexel;
    double x = static_cast<double>(t) * size * 65536.0;
    if (!(std::fabs(x) < kLimit)) {
        if (!std::isfinite(x)) return 0;
        x = wrap ? (t - std::floor(static_cast<double>(t))) * size * 65536.0 : std::clamp(x, -kLimit, kLimit);
    }
    // Truncating a value made positive rounds without a library call.
    constexpr double kBias = 2.0 * kLimit;
    return static_cast<int32_t>(static_cast<int64_t>(x + kBias + 0.5) - static_cast<int64_t>(kBias));
}

}  // namespace

void SampleSpanAt(const SamplerSetup& s, const float* sx, const float* ty, int n, uint32_t* out) {
    constexpr int kMax = 16;
    int32_t u[kMax], v[kMax];
    while (n > 0) {
        const int m = n < kMax ? n : kMax;
        for (int i = 0; i < m; ++i) {
            u[i] = ToTexels(sx[i], s.view.width, s.wrapU);
            v[i] = ToTexels(ty[i], s.view.height, s.wrapV);
        }
        SampleSpan(s, u, v, m, out);
        sx += m;
        ty += m;
        out += m;
        n -= m;
    }
}

uint32_t SampleAt(const SamplerSetup& s, float sx, float ty) {
    uint32_t out = 0;
    SampleSpanAt(s, &sx, &ty, 1, &out);
    return out;
}

}  // namespace plat
