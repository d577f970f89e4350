#include "foundation/system/noise.h"

#include <cmath>
#include <utility>

#include "foundation/system/random.h"

std::array<int, kNoiseTableSize> NoisePermutation{};
std::array<float, kNoiseTableSize> NoiseGradient1{};

void InitNoiseTables() {
    // The draw order is fixed: gradients first, then the shuffle, so that a
    // given seed always yields the same noise.
    for (int i = 0; i < 256; ++i) {
        NoisePermutation[i] = i;
        NoiseGradient1[i] = RandomFloatRange(-1.0f, 1.0f);
    }
    for (int i = 255; i >= 1; --i) {
        int j = RandomInt(256);
        std::swap(NoisePermutation[i], NoisePermutation[j]);
    }
    for (int i = 0; i < 258; ++i) {
        NoisePermutation[256 + i] = NoisePermutation[i];
        NoiseGradient1[256 + i] = NoiseGradient1[i];
    }
}

float GradientNoise1D(double x) {
    float t = static_cast<float>(x) + 4096.0f;
    // Beyond 2^31 every float is a whole number, where the noise is 0; the
    // guard also keeps the truncation below defined for NaN and infinities.
    if (!(std::fabs(t) < 2147483648.0f)) return 0.0f;
    int b0 = static_cast<int>(t);
    float r = t - static_cast<float>(b0);
    int b1 = (b0 + 1) & 255;
    b0 &= 255;
    float u = r * NoiseGradient1[NoisePermutation[b0]];
    float v = (r - 1.0f) * NoiseGradient1[NoisePermutation[b1]];
    float s = r * r * (3.0f - 2.0f * r);
    return u + s * (v - u);
}
