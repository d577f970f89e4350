// Bilinear runs: a row of samples one texel apart with one weight, as an
// unscaled image at a fractional position gives. Every sample blends the two
// texels of each row first and then the two rows, each step rounded as
// LerpArgb rounds, so the bits are those of the per-sample filter.
#include <cstring>

#include "platform/gfx/lanes_avx2.h"
#include "platform/gfx/sampler.h"
#include "platform/gfx/span_over.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace plat {

namespace {

void LerpRowsScalar(const uint32_t* a, const uint32_t* b, uint32_t f, int i, int n, uint32_t* out) {
    for (; i < n; ++i) out[i] = LerpArgb(a[i], b[i], f);
}

void LerpBothScalar(const uint32_t* a, const uint32_t* b, uint32_t fx, uint32_t fy, int i, int n, uint32_t* out) {
    for (; i < n; ++i) out[i] = LerpArgb(LerpArgb(a[i], a[i + 1], fx), LerpArgb(b[i], b[i + 1], fx), fy);
}

#if defined(__x86_64__)

// (a * (256 - f) + b * f + 128) >> 8 in each 16-bit lane; g = 256 - f.
inline __m128i Lerp16(__m128i a, __m128i b, __m128i g, __m128i f) {
    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(a, g), _mm_mullo_epi16(b, f));
    return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(128)), 8);
}

inline __m128i Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

void LerpRowsSse2(const uint32_t* a, const uint32_t* b, uint32_t f, int n, uint32_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i fv = _mm_set1_epi16(static_cast<short>(f)), gv = _mm_set1_epi16(static_cast<short>(256 - f));
    int i = 0;
    for (; i < n && n >= 4; i += 4) {
        if (i + 4 > n) i = n - 4;  // see LerpBothAvx2
        const __m128i x = Load(a + i), y = Load(b + i);
        const __m128i lo = Lerp16(_mm_unpacklo_epi8(x, zero), _mm_unpacklo_epi8(y, zero), gv, fv);
        const __m128i hi = Lerp16(_mm_unpackhi_epi8(x, zero), _mm_unpackhi_epi8(y, zero), gv, fv);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
    }
    LerpRowsScalar(a, b, f, i, n, out);
}

void LerpBothSse2(const uint32_t* a, const uint32_t* b, uint32_t fx, uint32_t fy, int n, uint32_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i fxv = _mm_set1_epi16(static_cast<short>(fx)), gxv = _mm_set1_epi16(static_cast<short>(256 - fx));
    const __m128i fyv = _mm_set1_epi16(static_cast<short>(fy)), gyv = _mm_set1_epi16(static_cast<short>(256 - fy));
    auto half = [&](__m128i a0, __m128i a1, __m128i b0, __m128i b1) {
        return Lerp16(Lerp16(a0, a1, gxv, fxv), Lerp16(b0, b1, gxv, fxv), gyv, fyv);
    };
    int i = 0;
    for (; i < n && n >= 4; i += 4) {
        if (i + 4 > n) i = n - 4;  // see LerpBothAvx2
        const __m128i a0 = Load(a + i), a1 = Load(a + i + 1), b0 = Load(b + i), b1 = Load(b + i + 1);
        const __m128i lo = half(_mm_unpacklo_epi8(a0, zero), _mm_unpacklo_epi8(a1, zero), _mm_unpacklo_epi8(b0, zero),
                                _mm_unpacklo_epi8(b1, zero));
        const __m128i hi = half(_mm_unpackhi_epi8(a0, zero), _mm_unpackhi_epi8(a1, zero), _mm_unpackhi_epi8(b0, zero),
                                _mm_unpackhi_epi8(b1, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
    }
    LerpBothScalar(a, b, fx, fy, i, n, out);
}

__attribute__((target("avx2"))) void LerpRowsAvx2(const uint32_t* a, const uint32_t* b, uint32_t f, int n,
                                                  uint32_t* out) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i fv = _mm256_set1_epi16(static_cast<short>(f)), gv = _mm256_set1_epi16(static_cast<short>(256 - f));
    int i = 0;
    for (; i < n && n >= 8; i += 8) {
        if (i + 8 > n) i = n - 8;  // see LerpBothAvx2
        const __m256i x = Load8(a + i), y = Load8(b + i);
        const __m256i lo = LerpLanes(_mm256_unpacklo_epi8(x, zero), _mm256_unpacklo_epi8(y, zero), gv, fv);
        const __m256i hi = LerpLanes(_mm256_unpackhi_epi8(x, zero), _mm256_unpackhi_epi8(y, zero), gv, fv);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_packus_epi16(lo, hi));
    }
    LerpRowsScalar(a, b, f, i, n, out);
}

__attribute__((target("avx2"))) void LerpBothAvx2(const uint32_t* a, const uint32_t* b, uint32_t fx, uint32_t fy, int n,
                                                  uint32_t* out) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i fxv = _mm256_set1_epi16(static_cast<short>(fx));
    const __m256i gxv = _mm256_set1_epi16(static_cast<short>(256 - fx));
    const __m256i fyv = _mm256_set1_epi16(static_cast<short>(fy));
    const __m256i gyv = _mm256_set1_epi16(static_cast<short>(256 - fy));
    int i = 0;
    // A row of eight or more ends with a block that ends with it, writing
    // some samples again with the values they have (each depends only on its
    // texels, and `out` is none of them): short rows, as sprites give, no
    // longer leave up to seven samples to the slow scalar tail, which then
    // runs only for rows shorter than a block.
    for (; i < n && n >= 8; i += 8) {
        if (i + 8 > n) i = n - 8;
        const __m256i a0 = Load8(a + i), a1 = Load8(a + i + 1), b0 = Load8(b + i), b1 = Load8(b + i + 1);
        const __m256i lo =
            LerpLanes(LerpLanes(_mm256_unpacklo_epi8(a0, zero), _mm256_unpacklo_epi8(a1, zero), gxv, fxv),
                      LerpLanes(_mm256_unpacklo_epi8(b0, zero), _mm256_unpacklo_epi8(b1, zero), gxv, fxv), gyv, fyv);
        const __m256i hi =
            LerpLanes(LerpLanes(_mm256_unpackhi_epi8(a0, zero), _mm256_unpackhi_epi8(a1, zero), gxv, fxv),
                      LerpLanes(_mm256_unpackhi_epi8(b0, zero), _mm256_unpackhi_epi8(b1, zero), gxv, fxv), gyv, fyv);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_packus_epi16(lo, hi));
    }
    LerpBothScalar(a, b, fx, fy, i, n, out);
}

using LerpRowsFn = void (*)(const uint32_t*, const uint32_t*, uint32_t, int, uint32_t*);
using LerpBothFn = void (*)(const uint32_t*, const uint32_t*, uint32_t, uint32_t, int, uint32_t*);

LerpRowsFn LerpRows() {
    static const LerpRowsFn fn = CpuHasAvx2() ? LerpRowsAvx2 : LerpRowsSse2;
    return fn;
}

LerpBothFn LerpBoth() {
    static const LerpBothFn fn = CpuHasAvx2() ? LerpBothAvx2 : LerpBothSse2;
    return fn;
}

#else

using LerpRowsFn = void (*)(const uint32_t*, const uint32_t*, uint32_t, int, uint32_t*);
using LerpBothFn = void (*)(const uint32_t*, const uint32_t*, uint32_t, uint32_t, int, uint32_t*);

LerpRowsFn LerpRows() {
    return [](const uint32_t* a, const uint32_t* b, uint32_t f, int n, uint32_t* out) {
        LerpRowsScalar(a, b, f, 0, n, out);
    };
}

LerpBothFn LerpBoth() {
    return [](const uint32_t* a, const uint32_t* b, uint32_t fx, uint32_t fy, int n, uint32_t* out) {
        LerpBothScalar(a, b, fx, fy, 0, n, out);
    };
}

#endif

}  // namespace

void LerpRowSpan(const uint32_t* a, const uint32_t* b, uint32_t f, int n, uint32_t* out) {
    if (n > 0) LerpRows()(a, b, f, n, out);
}

void BilinearRunSpan(const RowPair& rows, int first, int firstLeft, int lastRight, uint32_t fx, int n, uint32_t* out) {
    if (n <= 0) return;
    const uint32_t fy = rows.weight;
    // One sample from columns left and right, as the per-sample filter takes it.
    auto one = [&](int left, int right) {
        const uint32_t top = fx ? LerpArgb(rows.upper[left], rows.upper[right], fx) : rows.upper[left];
        if (!fy) return top;
        const uint32_t bottom = fx ? LerpArgb(rows.lower[left], rows.lower[right], fx) : rows.lower[left];
        return LerpArgb(top, bottom, fy);
    };
    out[0] = one(firstLeft, n == 1 ? lastRight : first + 1);
    if (n == 1) return;
    // Between the two ends every sample has both its columns beside it.
    const int m = n - 2;
    const uint32_t* upper = rows.upper + first + 1;
    const uint32_t* lower = rows.lower + first + 1;
    if (m > 0) {
        if (fx == 0 && fy == 0)
            std::memcpy(out + 1, upper, static_cast<size_t>(m) * 4);
        else if (fx == 0)
            LerpRows()(upper, lower, fy, m, out + 1);
        else if (fy == 0)
            LerpRows()(upper, upper + 1, fx, m, out + 1);
        else
            LerpBoth()(upper, lower, fx, fy, m, out + 1);
    }
    out[n - 1] = one(first + n - 1, lastRight);
}

}  // namespace plat
