// The over blend of narrow rows with AVX-512's masked loads and stores on
// 256-bit vectors: a row's last pixels go in one masked step rather than a
// four-pixel half and a loop a pixel at a time, a row up to 63 pixels wide
// is blended in one pass rather than in strips of 32 (its sixteen vectors,
// target and blend, fit the 32 registers), and the blend itself is the
// AVX2 one, so every pixel comes out as OverPixel gives it.

#include <cstdint>

#include "platform/gfx/span_over.h"

#if defined(__x86_64__)
#include <immintrin.h>

#include "platform/gfx/over_eight_avx2.h"
#include "platform/gfx/span_over_rows.h"
#endif

namespace plat {

#if defined(__x86_64__)

namespace {

// The pixels of rows: V vectors of eight, then with Rest the rest of n (one
// to seven) under a mask, which leaves the target alone past the row. Each
// row's target is read before the row above is written, as OverShortRows
// in span_over.cpp does and for the same reason. Mirrored rows are read
// right to left, pixel i of row r at src[r][-i], each vector turned round
// in its register.
template <int V, bool Rest, bool Mirrored, class Rows>
__attribute__((target("avx2,avx512f,avx512vl"))) void OverNarrowRows(const Rows& at, int n, int rows) {
    const int rest = n - 8 * V;
    const __mmask8 m = static_cast<__mmask8>((1u << rest) - 1u);
    // A mirrored row's last pixels lie at the top of their vector's place.
    const __mmask8 sourceMask = Mirrored ? static_cast<__mmask8>(m << (8 - rest)) : m;
    const __m256i turn = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    auto source = [turn](const uint32_t* s, int k) __attribute__((target("avx2,avx512f,avx512vl"))) {
        if (!Mirrored) return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 8 * k));
        return _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s - 8 * k - 7)), turn);
    };
    auto sourceRest = [ turn, sourceMask ](const uint32_t* s) __attribute__((target("avx2,avx512f,avx512vl"))) {
        if (!Mirrored) return _mm256_maskz_loadu_epi32(sourceMask, s + 8 * V);
        return _mm256_permutevar8x32_epi32(_mm256_maskz_loadu_epi32(sourceMask, s - 8 * V - 7), turn);
    };
    __m256i d[V + 1];
    auto load = [&d, m ](const uint32_t* row) __attribute__((target("avx2,avx512f,avx512vl"))) {
        for (int k = 0; k < V; ++k) d[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + 8 * k));
        if (Rest) d[V] = _mm256_maskz_loadu_epi32(m, row + 8 * V);
    };
    load(at.Target(0));
    for (int r = 0; r < rows; ++r) {
        const uint32_t* s = at.Source(r);
        uint32_t* out = at.Target(r);
        __m256i blended[V + 1];
        for (int k = 0; k < V; ++k) blended[k] = OverEight(source(s, k), d[k]);
        if (Rest) blended[V] = OverEight(sourceRest(s), d[V]);
        if (r + 1 < rows) load(at.Target(r + 1));
        for (int k = 0; k < V; ++k) _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8 * k), blended[k]);
        if (Rest) _mm256_mask_storeu_epi32(out + 8 * V, m, blended[V]);
    }
}

// Rows of n pixels, 0 < n <= kOverRowsPixels.
template <bool Mirrored, class Rows>
__attribute__((target("avx2,avx512f,avx512vl"))) void OverNarrow(const Rows& at, int n, int rows) {
    switch (n / 8 * 2 + (n % 8 != 0 ? 1 : 0)) {
        case 1: return OverNarrowRows<0, true, Mirrored>(at, n, rows);
        case 2: return OverNarrowRows<1, false, Mirrored>(at, n, rows);
        case 3: return OverNarrowRows<1, true, Mirrored>(at, n, rows);
        case 4: return OverNarrowRows<2, false, Mirrored>(at, n, rows);
        case 5: return OverNarrowRows<2, true, Mirrored>(at, n, rows);
        case 6: return OverNarrowRows<3, false, Mirrored>(at, n, rows);
        case 7: return OverNarrowRows<3, true, Mirrored>(at, n, rows);
        case 8: return OverNarrowRows<4, false, Mirrored>(at, n, rows);
        case 9: return OverNarrowRows<4, true, Mirrored>(at, n, rows);
        case 10: return OverNarrowRows<5, false, Mirrored>(at, n, rows);
        case 11: return OverNarrowRows<5, true, Mirrored>(at, n, rows);
        case 12: return OverNarrowRows<6, false, Mirrored>(at, n, rows);
        case 13: return OverNarrowRows<6, true, Mirrored>(at, n, rows);
        case 14: return OverNarrowRows<7, false, Mirrored>(at, n, rows);
        default: return OverNarrowRows<7, true, Mirrored>(at, n, rows);
    }
}

}  // namespace

__attribute__((target("avx2,avx512f,avx512vl"))) void OverRowsAvx512(const uint32_t* const* src, uint32_t* const* dst,
                                                                     int n, int rows) {
    if (rows <= 0 || n <= 0) return;
    // Wider rows gain nothing from masks: their time goes in memory.
    if (n > kOverRowsPixels) {
        OverRowsAvx2(src, dst, n, rows);
        return;
    }
    OverNarrow<false>(ListedRows{src, dst}, n, rows);
}

__attribute__((target("avx2,avx512f,avx512vl"))) void OverStridedAvx512(const uint32_t* src, ptrdiff_t srcStride,
                                                                        uint32_t* dst, ptrdiff_t dstPitch, int n,
                                                                        int rows) {
    if (rows <= 0 || n <= 0) return;
    if (n > kOverRowsPixels) {
        OverStridedAvx2(src, srcStride, dst, dstPitch, n, rows);
        return;
    }
    OverNarrow<false>(StridedRows{src, srcStride, dst, dstPitch}, n, rows);
}

__attribute__((target("avx2,avx512f,avx512vl"))) void OverStridedMirroredAvx512(const uint32_t* src,
                                                                                ptrdiff_t srcStride, uint32_t* dst,
                                                                                ptrdiff_t dstPitch, int n, int rows) {
    if (rows <= 0 || n <= 0) return;
    if (n > kOverRowsPixels) {
        OverStridedMirroredAvx2(src, srcStride, dst, dstPitch, n, rows);
        return;
    }
    OverNarrow<true>(StridedRows{src, srcStride, dst, dstPitch}, n, rows);
}

void OverRowAvx512(const uint32_t* src, uint32_t* dst, int n) {
    if (n <= kOverRowsPixels)
        OverRowsAvx512(&src, &dst, n, 1);
    else
        OverRowAvx2(src, dst, n);
}

bool CpuHasAvx512() { return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl"); }

#else

void OverRowAvx512(const uint32_t* src, uint32_t* dst, int n) { OverRowSse2(src, dst, n); }
void OverRowsAvx512(const uint32_t* const* src, uint32_t* const* dst, int n, int rows) {
    for (int r = 0; r < rows; ++r) OverRowSse2(src[r], dst[r], n);
}
void OverStridedAvx512(const uint32_t* src, ptrdiff_t srcStride, uint32_t* dst, ptrdiff_t dstPitch, int n, int rows) {
    OverStridedAvx2(src, srcStride, dst, dstPitch, n, rows);
}
void OverStridedMirroredAvx512(const uint32_t* src, ptrdiff_t srcStride, uint32_t* dst, ptrdiff_t dstPitch, int n,
                               int rows) {
    OverStridedMirroredAvx2(src, srcStride, dst, dstPitch, n, rows);
}
bool CpuHasAvx512() { return false; }

#endif

}  // namespace plat
