// Texture times colour over a row, round(a * b / 255) per channel as
// ModulateArgb gives it, eight or four pixels at a time.
#include "platform/gfx/span_modulate.h"

#include "platform/gfx/span.h"
#include "platform/gfx/span_over.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace plat {

namespace {

void ModulateTail(const uint32_t* a, const uint32_t* b, uint32_t* out, int i, int n) {
    for (; i < n; ++i) out[i] = ModulateArgb(a[i], b[i]);
}

#if defined(__x86_64__)

// round(x / 255) for x up to 255 * 255, as Div255 rounds.
inline __m128i Div255x8(__m128i x) {
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

void ModulateRowSse2(const uint32_t* a, const uint32_t* b, uint32_t* out, int n) {
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const __m128i lo = Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(x, zero), _mm_unpacklo_epi8(y, zero)));
        const __m128i hi = Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(x, zero), _mm_unpackhi_epi8(y, zero)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
    }
    ModulateTail(a, b, out, i, n);
}

__attribute__((target("avx2"))) inline __m256i Div255x16(__m256i x) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

__attribute__((target("avx2"))) void ModulateRowAvx2(const uint32_t* a, const uint32_t* b, uint32_t* out, int n) {
    const __m256i zero = _mm256_setzero_si256();
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
        const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        const __m256i lo = Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(x, zero), _mm256_unpacklo_epi8(y, zero)));
        const __m256i hi = Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(x, zero), _mm256_unpackhi_epi8(y, zero)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_packus_epi16(lo, hi));
    }
    ModulateRowSse2(a + i, b + i, out + i, n - i);
}

#endif

}  // namespace

void ModulateRow(const uint32_t* a, const uint32_t* b, uint32_t* out, int n) {
#if defined(__x86_64__)
    static const auto row = CpuHasAvx2() ? ModulateRowAvx2 : ModulateRowSse2;
    row(a, b, out, n);
#else
    ModulateTail(a, b, out, 0, n);
#endif
}

}  // namespace plat
