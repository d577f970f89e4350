#include "platform/gfx/span_over.h"

#include <algorithm>
#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>

#include "platform/gfx/over_eight_avx2.h"
#include "platform/gfx/span_over_rows.h"
#endif

namespace plat {

namespace {

// How far ahead of the pixel in hand both rows are fetched: far enough to
// cover memory latency on the long rows.
constexpr int kPrefetchPixels = 256;

// Telling clear and opaque lines of sixteen pixels from mixed ones costs a
// sixth of blending one, and pays only where such lines come in runs. After
// this many mixed lines in a row, as noise, gradients and soft shadows give,
// the next kUntestedLines are blended without looking; the line after them
// is tested again, and the first clear or opaque one brings the tests back.
constexpr int kMixedBeforeUntested = 4;
constexpr int kUntestedLines = 16;

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

// Pixel i + kPrefetchPixels of both rows, or the rows' last pixel when that
// comes first: past it lie the source's and the target's pixels the row does
// not touch. A building's rows, narrower than the distance, fetched those for
// nothing, a line of each a line blended, and crowded out the lines they read.
__attribute__((target("avx2"))) inline void PrefetchAhead(const uint32_t* src, const uint32_t* dst, int i, int n) {
    const int at = std::min(i + kPrefetchPixels, n - 1);
    _mm_prefetch(reinterpret_cast<const char*>(src + at), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(dst + at), _MM_HINT_T0);
}

__attribute__((target("avx2"))) inline __m256i LoadEight(const uint32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Four pixels in the low half.
__attribute__((target("avx2"))) inline __m256i LoadFour(const uint32_t* p) {
    return _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

// Sixteen pixels, whatever they hold.
__attribute__((target("avx2"))) inline void OverSixteen(__m256i s0, __m256i s1, uint32_t* dst) {
    __m256i* out0 = reinterpret_cast<__m256i*>(dst);
    __m256i* out1 = reinterpret_cast<__m256i*>(dst + 8);
    _mm256_storeu_si256(out0, OverEight(s0, _mm256_loadu_si256(out0)));
    _mm256_storeu_si256(out1, OverEight(s1, _mm256_loadu_si256(out1)));
}

}  // namespace

__attribute__((target("avx2"))) void OverRowAvx2(const uint32_t* src, uint32_t* dst, int n) {
    // Short rows, as sprites and glyphs give, are blended whole, clear and
    // opaque pixels as well: OverEight leaves the target as it is under a
    // clear texel and gives an opaque one as it is, so the tests below would
    // change no pixel there, and on a sprite's rows, where clear edges,
    // opaque middles and soft outlines come in turns, they mostly guess wrong.
    if (n <= kOverRowsPixels) {
        OverRowsAvx2(&src, &dst, n, 1);
        return;
    }
    // The lines below start on a 32-byte boundary of the target: none of
    // its loads and stores then straddles two cache lines, which costs a
    // tenth on a full-screen blit. The pixels before the first boundary and
    // after the last line are covered by the row's first and last eight,
    // blended from the target as it was before any store and stored last:
    // where they overlap the lines, both give each pixel the same value, and
    // the row's ends take two blends that always run instead of a loop a
    // pixel at a time whose trip count and tests vary with the row.
    static_assert(kOverRowsPixels >= 8, "a wide row holds its first and last eight pixels");
    const __m256i head = OverEight(LoadEight(src), LoadEight(dst));
    const __m256i tail = OverEight(LoadEight(src + n - 8), LoadEight(dst + n - 8));
    // Pixels up to the target's next 32-byte boundary.
    int i = static_cast<int>((32 - (reinterpret_cast<uintptr_t>(dst) & 31)) & 31) / 4;
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int mixed = 0;
    for (; i + 16 <= n; i += 16) {
        if (mixed >= kMixedBeforeUntested) {
            // Stops a line short of the end at the latest: the line after the
            // run is always tested.
            const int end = i + 16 * kUntestedLines < n - 16 ? i + 16 * kUntestedLines : n - 16;
            for (; i + 16 <= end; i += 16) {
                PrefetchAhead(src, dst, i, n);
                OverSixteen(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 8)), dst + i);
            }
        }
        PrefetchAhead(src, dst, i, n);
        const __m256i s0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i s1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 8));
        // Sixteen pixels, one cache line of each row: copied when all are
        // opaque, skipped when all are clear. One test passes the usual mixed
        // line: the alpha bits common to pixels k and k + 8 are neither all
        // set, as all opaque pixels leave them, nor all clear, as all clear
        // ones do. Only lines that fail it are looked at closer.
        const __m256i both = _mm256_and_si256(s0, s1);
        if (!_mm256_testnzc_si256(both, alpha)) {
            mixed = 0;
            if (_mm256_testc_si256(both, alpha)) {
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), s0);
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i + 8), s1);
                continue;
            }
            const __m256i any = _mm256_or_si256(s0, s1);
            if (_mm256_testz_si256(any, any)) continue;
        } else {
            ++mixed;
        }
        OverSixteen(s0, s1, dst + i);
    }
    if (i + 8 <= n) {
        const __m256i s = LoadEight(src + i);
        __m256i* out = reinterpret_cast<__m256i*>(dst + i);
        if (!_mm256_testz_si256(s, s)) _mm256_storeu_si256(out, OverEight(s, _mm256_loadu_si256(out)));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), head);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + n - 8), tail);
}

namespace {

// Pixels x .. x + n - 1 of rows, n being 8 * V + 4 * Q and a tail of fewer
// than four. The target's pixels of the next row are read before this
// row's are written: the two lie a whole number of 4 KB pages apart, and a
// load at the same place in its page as a store still under way can be
// held behind that store. Read first, the next row's pixels are on their
// way while this row is blended (a tenth off a crowd of visitors' rows,
// against a call a row). Mirrored rows are read right to left, pixel i of
// row r at src[r][-i], each vector turned round in its register: no copy
// of the row turned round is made and read back. The rows come as a list
// or a fixed distance apart (span_over_rows.h).
template <int V, bool Q, bool Mirrored, class Rows>
__attribute__((target("avx2"))) void OverShortRows(const Rows& at, int x, int n, int rows) {
    constexpr int kVectors = V + (Q ? 1 : 0), kPixels = 8 * V + (Q ? 4 : 0);
    // The last one to three pixels, where the vectors leave some, are
    // covered by the row's last four, blended from the target as it was
    // before the row's stores and stored after them: where they overlap,
    // both give a pixel the same value. A strip of 32 never leaves any, and
    // rows of fewer than four go a pixel at a time.
    constexpr bool kLastFour = kPixels >= 4 && kPixels < 32;
    const bool lastFour = kLastFour && n > kPixels;
    const __m256i turn = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    auto source = [turn](const uint32_t* s, int k) __attribute__((target("avx2"))) {
        if (!Mirrored) return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 8 * k));
        return _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s - 8 * k - 7)), turn);
    };
    // Pixels i to i + 3.
    auto sourceFour = [&](const uint32_t* s, int i) __attribute__((target("avx2"))) {
        if (!Mirrored) return LoadFour(s + i);
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s - i - 3));
        return _mm256_castsi128_si256(_mm_shuffle_epi32(four, _MM_SHUFFLE(0, 1, 2, 3)));
    };
    __m256i d[kVectors > 0 ? kVectors : 1];
    __m256i dLast = _mm256_setzero_si256();
    auto load = [&](const uint32_t* row) __attribute__((target("avx2"))) {
        for (int k = 0; k < V; ++k) d[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + 8 * k));
        if (Q) d[V] = LoadFour(row + 8 * V);
        if (lastFour) dLast = LoadFour(row + n - 4);
    };
    load(at.Target(0) + x);
    for (int r = 0; r < rows; ++r) {
        const uint32_t* s = Mirrored ? at.Source(r) - x : at.Source(r) + x;
        uint32_t* out = at.Target(r) + x;
        __m256i blended[kVectors > 0 ? kVectors : 1];
        for (int k = 0; k < V; ++k) blended[k] = OverEight(source(s, k), d[k]);
        if (Q) blended[V] = OverEight(sourceFour(s, 8 * V), d[V]);
        __m256i last = dLast;
        if (lastFour) last = OverEight(sourceFour(s, n - 4), dLast);
        if (r + 1 < rows) load(at.Target(r + 1) + x);
        for (int k = 0; k < V; ++k) _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8 * k), blended[k]);
        if (Q) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8 * V), _mm256_castsi256_si128(blended[V]));
        if (lastFour) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + n - 4), _mm256_castsi256_si128(last));
        } else if (!kLastFour) {
            if (Mirrored) {
                for (int i = kPixels; i < n; ++i)
                    if (const uint32_t t = s[-i]) out[i] = OverPixel(t, out[i]);
            } else {
                OverTail(s, out, kPixels, n);
            }
        }
    }
}

// Rows wider than 32 pixels go in strips of 32 from the left, each down all
// the rows, and the last strip of what is left.
template <bool Mirrored, class Rows>
__attribute__((target("avx2"))) void OverStrips(const Rows& at, int n, int rows) {
    int x = 0;
    for (; n - x > 32; x += 32) OverShortRows<4, false, Mirrored>(at, x, 32, rows);
    const int left = n - x;
    switch (left >> 2) {
        case 0: return OverShortRows<0, false, Mirrored>(at, x, left, rows);
        case 1: return OverShortRows<0, true, Mirrored>(at, x, left, rows);
        case 2: return OverShortRows<1, false, Mirrored>(at, x, left, rows);
        case 3: return OverShortRows<1, true, Mirrored>(at, x, left, rows);
        case 4: return OverShortRows<2, false, Mirrored>(at, x, left, rows);
        case 5: return OverShortRows<2, true, Mirrored>(at, x, left, rows);
        case 6: return OverShortRows<3, false, Mirrored>(at, x, left, rows);
        case 7: return OverShortRows<3, true, Mirrored>(at, x, left, rows);
        default: return OverShortRows<4, false, Mirrored>(at, x, left, rows);
    }
}

}  // namespace

__attribute__((target("avx2"))) void OverRowsAvx2(const uint32_t* const* src, uint32_t* const* dst, int n, int rows) {
    if (rows <= 0 || n <= 0) return;
    if (n > kOverRowsPixels) {
        for (int r = 0; r < rows; ++r) OverRowAvx2(src[r], dst[r], n);
        return;
    }
    OverStrips<false>(ListedRows{src, dst}, n, rows);
}

__attribute__((target("avx2"))) void OverStridedAvx2(const uint32_t* src, ptrdiff_t srcStride, uint32_t* dst,
                                                     ptrdiff_t dstPitch, int n, int rows) {
    if (rows <= 0 || n <= 0) return;
    if (n > kOverRowsPixels) {
        for (int r = 0; r < rows; ++r, src += srcStride, dst += dstPitch) OverRowAvx2(src, dst, n);
        return;
    }
    OverStrips<false>(StridedRows{src, srcStride, dst, dstPitch}, n, rows);
}

__attribute__((target("avx2"))) void OverStridedMirroredAvx2(const uint32_t* src, ptrdiff_t srcStride, uint32_t* dst,
                                                             ptrdiff_t dstPitch, int n, int rows) {
    if (rows <= 0 || n <= 0) return;
    OverStrips<true>(StridedRows{src, srcStride, dst, dstPitch}, n, rows);
}

bool CpuHasAvx2() { return __builtin_cpu_supports("avx2"); }

#else

// Elsewhere the plain version stands in for both.
void OverRowSse2(const uint32_t* src, uint32_t* dst, int n) {
    for (int i = 0; i < n; ++i) dst[i] = OverPixel(src[i], dst[i]);
}
void OverRowAvx2(const uint32_t* src, uint32_t* dst, int n) { OverRowSse2(src, dst, n); }
void OverRowsAvx2(const uint32_t* const* src, uint32_t* const* dst, int n, int rows) {
    for (int r = 0; r < rows; ++r) OverRowSse2(src[r], dst[r], n);
}
void OverStridedAvx2(const uint32_t* src, ptrdiff_t srcStride, uint32_t* dst, ptrdiff_t dstPitch, int n, int rows) {
    for (int r = 0; r < rows; ++r, src += srcStride, dst += dstPitch) OverRowSse2(src, dst, n);
}
void OverStridedMirroredAvx2(const uint32_t* src, ptrdiff_t srcStride, uint32_t* dst, ptrdiff_t dstPitch, int n,
                             int rows) {
    for (int r = 0; r < rows; ++r, src += srcStride, dst += dstPitch)
        for (int i = 0; i < n; ++i) dst[i] = OverPixel(src[-i], dst[i]);
}
bool CpuHasAvx2() { return false; }

#endif

OverRowFn ChooseOverRow() { return CpuHasAvx512() ? OverRowAvx512 : CpuHasAvx2() ? OverRowAvx2 : OverRowSse2; }

OverRowsFn ChooseOverRows() { return CpuHasAvx512() ? OverRowsAvx512 : OverRowsAvx2; }

OverStridedFn ChooseOverStrided() { return CpuHasAvx512() ? OverStridedAvx512 : OverStridedAvx2; }

OverStridedFn ChooseOverStridedMirrored() {
    return CpuHasAvx512() ? OverStridedMirroredAvx512 : OverStridedMirroredAvx2;
}

}  // namespace plat
