#pragma once
// Internal to the graphics device: the eight-pixel over blend the AVX2 and
// AVX-512 row versions share, so both round as OverPixel does.
#if defined(__x86_64__)
#include <immintrin.h>

namespace plat {

// Eight pixels in twelve operations. Each channel d is spread into both bytes
// of a 16-bit lane (d * 257) and multiplied, keeping the high half, by
// q = ia * 256 + e with ia = 255 - alpha and e = 1 for ia >= 128 (2 for 255),
// itself the high half of ia * 257 * 65283. The product carries
// d * ia / 255 with eight fraction bits close enough that adding a half and
// keeping the high byte rounds exactly as the SSE2 divide does, for every d
// and ia (the row test checks them all). One multiply per channel pair thus
// replaces the multiply, add and divide of the other versions; the red and
// blue results are shifted down and the green and alpha ones taken from the
// high bytes as they stand. The half doubles as the blend's byte mask (its
// low bytes have the top bit set), so no register holds a mask of its own:
// the loop is bound by vector operations, and a spilled constant costs one.
__attribute__((target("avx2"))) inline __m256i OverEight(__m256i s, __m256i d) {
    const __m256i alphas = _mm256_setr_epi8(3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15, 3, 3, 3, 3, 7, 7, 7,
                                            7, 11, 11, 11, 11, 15, 15, 15, 15);
    const __m256i blueRed = _mm256_setr_epi8(0, 0, 2, 2, 4, 4, 6, 6, 8, 8, 10, 10, 12, 12, 14, 14, 0, 0, 2, 2, 4, 4, 6,
                                             6, 8, 8, 10, 10, 12, 12, 14, 14);
    const __m256i greenAlpha = _mm256_setr_epi8(1, 1, 3, 3, 5, 5, 7, 7, 9, 9, 11, 11, 13, 13, 15, 15, 1, 1, 3, 3, 5, 5,
                                                7, 7, 9, 9, 11, 11, 13, 13, 15, 15);
    const __m256i ia257 = _mm256_xor_si256(_mm256_shuffle_epi8(s, alphas), _mm256_set1_epi32(-1));
    const __m256i q = _mm256_mulhi_epu16(ia257, _mm256_set1_epi16(static_cast<short>(65283)));
    const __m256i half = _mm256_set1_epi16(128);
    const __m256i rb = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_shuffle_epi8(d, blueRed), q), half);
    const __m256i ag = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_shuffle_epi8(d, greenAlpha), q), half);
    return _mm256_adds_epu8(s, _mm256_blendv_epi8(ag, _mm256_srli_epi16(rb, 8), half));
}

}  // namespace plat
#endif
