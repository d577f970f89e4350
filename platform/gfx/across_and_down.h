#pragma once
// Internal to the graphics device: the step of a run of bilinear samples
// down one texel row, shared by the rows filtered for a draw and the rows
// kept for an offset, and inlined where each row is made (a row of a small
// sprite is a few blocks, and a call a row costs as much as one).
#include <cstdint>

#include "platform/gfx/lanes_avx2.h"
#include "platform/gfx/sampler.h"
#include "platform/gfx/span_over.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace plat {

// Texels a and b of `row` blended at weight f, as a run's end samples are:
// where the addressing made the two one texel (clamped at the edge), that
// texel, which the blend gives at any weight.
inline uint32_t LerpTexels(const uint32_t* row, int a, int b, uint32_t f) {
    return a == b ? row[a] : LerpArgb(row[a], row[b], f);
}

// A run's samples from the next texel row, as an image drawn unscaled at an
// offset steps down a texel row a pixel row: texel columns k and k + 1 of
// `texels` blended across at fx into across[k] (across[n - 1 - k] when
// mirrored), and each sample blended down from `upper`, the row above
// blended across already, at fy into `out`, for k in 0..n. Both are what the
// two passes, across and then down, give; the row just blended across is not
// read back. `across` and `out` are neither `upper` nor the texels.
struct RunStep {
    const uint32_t* texels;
    uint32_t fx, fy;
    const uint32_t* upper;
    uint32_t* across;
    uint32_t* out;
    int n;
};

template <bool Mirrored>
inline void AcrossAndDownScalar(const RunStep& r, int k) {
    for (; k < r.n; ++k) {
        const int at = Mirrored ? r.n - 1 - k : k;
        r.across[at] = LerpArgb(r.texels[k], r.texels[k + 1], r.fx);
        r.out[at] = LerpArgb(r.upper[at], r.across[at], r.fy);
    }
}

#if defined(__x86_64__)
template <bool Mirrored>
__attribute__((target("avx2"))) inline void AcrossAndDownAvx2(const RunStep& r) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i fx = _mm256_set1_epi16(static_cast<short>(r.fx)),
                  gx = _mm256_set1_epi16(static_cast<short>(256 - r.fx));
    const __m256i fy = _mm256_set1_epi16(static_cast<short>(r.fy)),
                  gy = _mm256_set1_epi16(static_cast<short>(256 - r.fy));
    const __m256i turn = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    const int n = r.n;
    int k = 0;
    // As the row blends do, a run of eight or more ends with a block that
    // ends with it, writing a few samples again with the same values.
    for (; k < n && n >= 8; k += 8) {
        if (k + 8 > n) k = n - 8;
        const __m256i a = Load8(r.texels + k), b = Load8(r.texels + k + 1);
        __m256i across =
            _mm256_packus_epi16(LerpLanes(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero), gx, fx),
                                LerpLanes(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero), gx, fx));
        const int at = Mirrored ? n - 8 - k : k;
        if (Mirrored) across = _mm256_permutevar8x32_epi32(across, turn);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(r.across + at), across);
        const __m256i up = Load8(r.upper + at);
        const __m256i lo = LerpLanes(_mm256_unpacklo_epi8(up, zero), _mm256_unpacklo_epi8(across, zero), gy, fy);
        const __m256i hi = LerpLanes(_mm256_unpackhi_epi8(up, zero), _mm256_unpackhi_epi8(across, zero), gy, fy);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(r.out + at), _mm256_packus_epi16(lo, hi));
    }
    AcrossAndDownScalar<Mirrored>(r, k);
}
#endif

inline void AcrossAndDown(const RunStep& r, bool mirrored) {
#if defined(__x86_64__)
    static const bool avx2 = CpuHasAvx2();
    if (avx2) {
        if (mirrored)
            AcrossAndDownAvx2<true>(r);
        else
            AcrossAndDownAvx2<false>(r);
        return;
    }
#endif
    if (mirrored)
        AcrossAndDownScalar<true>(r, 0);
    else
        AcrossAndDownScalar<false>(r, 0);
}

}  // namespace plat
