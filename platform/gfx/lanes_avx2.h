#pragma once
// Internal to the graphics device: the 16-bit lane steps the bilinear
// filters share, so every kernel rounds as LerpArgb does.
#if defined(__x86_64__)
#include <immintrin.h>

namespace plat {

// (a * g + b * f + 128) >> 8 in each 16-bit lane; g = 256 - f.
__attribute__((target("avx2"))) inline __m256i LerpLanes(__m256i a, __m256i b, __m256i g, __m256i f) {
    const __m256i sum = _mm256_add_epi16(_mm256_mullo_epi16(a, g), _mm256_mullo_epi16(b, f));
    return _mm256_srli_epi16(_mm256_add_epi16(sum, _mm256_set1_epi16(128)), 8);
}

// Eight 32-bit values from p, aligned or not.
__attribute__((target("avx2"))) inline __m256i Load8(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

}  // namespace plat
#endif
