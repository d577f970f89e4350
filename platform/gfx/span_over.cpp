#include "platform/gfx/span_over.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace plat {

namespace {

// How far ahead of the pixel in hand both rows are fetched: far enough to
// cover memory latency, near enough to stay within the row mostly.
constexpr int kPrefetchPixels = 256;

}  // namespace

// Two channels per multiply; the same rounding as the vector versions.
uint32_t OverPixel(uint32_t s, uint32_t d) {
    const uint32_t a = s >> 24;
    if (a == 255) return s;
    if (s == 0) return d;
    const uint32_t ia = 255 - a;
    uint32_t rb = (d & 0x00FF00FFu) * ia + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t ag = ((d >> 8) & 0x00FF00FFu) * ia + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    const uint32_t scaled = rb | ag;
    // Saturating add per byte: premultiplied input never overflows, but a
    // colour brighter than its alpha must not wrap around.
    const uint32_t sum = (s & 0x7F7F7F7Fu) + (scaled & 0x7F7F7F7Fu);
    uint32_t carry = (s & scaled) | ((s | scaled) & sum);
    carry &= 0x80808080u;
    const uint32_t overflow = (carry >> 7) * 0xFFu;
    const uint32_t top = (s ^ scaled ^ sum) & 0x80808080u;
    return (sum & 0x7F7F7F7Fu) | top | overflow;
}

#if defined(__x86_64__)

namespace {

// round(x / 255) in each 16-bit lane for x up to 255 * 255:
// ((x + 128) * 257) >> 16 equals (y + (y >> 8)) >> 8 with y = x + 128.
inline __m128i Div255x8(__m128i x) {
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

// Four pixels; d * (255 - a) per channel with the two channel pairs of a
// pixel side by side in 16-bit lanes, so no unpacking is needed.
inline __m128i OverFour(__m128i s, __m128i d) {
    const __m128i lowBytes = _mm_set1_epi32(0x00FF00FF);
    __m128i a = _mm_srli_epi32(s, 24);
    const __m128i ia = _mm_xor_si128(_mm_or_si128(a, _mm_slli_epi32(a, 16)), lowBytes);
    const __m128i rb = Div255x8(_mm_mullo_epi16(_mm_and_si128(d, lowBytes), ia));
    const __m128i ag = Div255x8(_mm_mullo_epi16(_mm_srli_epi16(d, 8), ia));
    return _mm_adds_epu8(s, _mm_or_si128(rb, _mm_slli_epi16(ag, 8)));
}

}  // namespace

namespace {

// The last few pixels one by one; a clear one leaves its pixel untouched.
inline void OverTail(const uint32_t* src, uint32_t* dst, int i, int n) {
    for (; i < n; ++i)
        if (const uint32_t s = src[i]) dst[i] = OverPixel(s, dst[i]);
}

}  // namespace

void OverRowSse2(const uint32_t* src, uint32_t* dst, int n) {
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        if ((i & 15) == 0) {
            _mm_prefetch(reinterpret_cast<const char*>(src + i + kPrefetchPixels), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(dst + i + kPrefetchPixels), _MM_HINT_T0);
        }
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        // Fully transparent pixels leave the row as it is; opaque ones replace it.
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, zero)) == 0xFFFF) continue;
        __m128i* out = reinterpret_cast<__m128i*>(dst + i);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alpha), alpha)) == 0xFFFF) {
            _mm_storeu_si128(out, s);
            continue;
        }
        _mm_storeu_si128(out, OverFour(s, _mm_loadu_si128(out)));
    }
    OverTail(src, dst, i, n);
}

namespace {

__attribute__((target("avx2"))) inline __m256i Div255x16(__m256i x) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

__attribute__((target("avx2"))) inline __m256i OverEight(__m256i s, __m256i d) {
    const __m256i lowBytes = _mm256_set1_epi32(0x00FF00FF);
    // The alpha byte of each pixel into both of its 16-bit lanes.
    const __m256i spread = _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1, 3, -1, 3, -1, 7,
                                            -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1);
    const __m256i ia = _mm256_xor_si256(_mm256_shuffle_epi8(s, spread), lowBytes);
    const __m256i rb = Div255x16(_mm256_mullo_epi16(_mm256_and_si256(d, lowBytes), ia));
    const __m256i ag = Div255x16(_mm256_mullo_epi16(_mm256_srli_epi16(d, 8), ia));
    return _mm256_adds_epu8(s, _mm256_or_si256(rb, _mm256_slli_epi16(ag, 8)));
}

// Sixteen pixels, one cache line of each row: skipped when all are clear,
// copied when all are opaque. Testing whole lines rather than halves keeps
// the test's cost small against the blend on rows without such runs.
__attribute__((target("avx2"))) inline void OverLineAvx2(const uint32_t* src, uint32_t* dst) {
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i s0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
    const __m256i s1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 8));
    __m256i* out0 = reinterpret_cast<__m256i*>(dst);
    __m256i* out1 = reinterpret_cast<__m256i*>(dst + 8);
    if (_mm256_testc_si256(_mm256_and_si256(s0, s1), alpha)) {
        _mm256_storeu_si256(out0, s0);
        _mm256_storeu_si256(out1, s1);
        return;
    }
    const __m256i any = _mm256_or_si256(s0, s1);
    if (_mm256_testz_si256(any, any)) return;
    _mm256_storeu_si256(out0, OverEight(s0, _mm256_loadu_si256(out0)));
    _mm256_storeu_si256(out1, OverEight(s1, _mm256_loadu_si256(out1)));
}

}  // namespace

__attribute__((target("avx2"))) void OverRowAvx2(const uint32_t* src, uint32_t* dst, int n) {
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        _mm_prefetch(reinterpret_cast<const char*>(src + i + kPrefetchPixels), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(dst + i + kPrefetchPixels), _MM_HINT_T0);
        OverLineAvx2(src + i, dst + i);
    }
    // Rows of glyphs are mostly this short and partly clear: the target's
    // pixels under clear ones are neither read nor written.
    if (i + 8 <= n) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i* out = reinterpret_cast<__m256i*>(dst + i);
        if (!_mm256_testz_si256(s, s)) _mm256_storeu_si256(out, OverEight(s, _mm256_loadu_si256(out)));
        i += 8;
    }
    if (i + 4 <= n) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i* out = reinterpret_cast<__m128i*>(dst + i);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, _mm_setzero_si128())) != 0xFFFF)
            _mm_storeu_si128(out, OverFour(s, _mm_loadu_si128(out)));
        i += 4;
    }
    OverTail(src, dst, i, n);
}

bool CpuHasAvx2() { return __builtin_cpu_supports("avx2"); }

#else

// Elsewhere the plain version stands in for both.
void OverRowSse2(const uint32_t* src, uint32_t* dst, int n) {
    for (int i = 0; i < n; ++i) dst[i] = OverPixel(src[i], dst[i]);
}
void OverRowAvx2(const uint32_t* src, uint32_t* dst, int n) { OverRowSse2(src, dst, n); }
bool CpuHasAvx2() { return false; }

#endif

OverRowFn ChooseOverRow() { return CpuHasAvx2() ? OverRowAvx2 : OverRowSse2; }

}  // namespace plat
