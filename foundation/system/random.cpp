#include "foundation/system/random.h"

void MersenneTwister::SetSeed(uint32_t seed) {
    if (seed == 0) seed = 4357;
    state_[0] = seed;
    for (uint32_t i = 1; i < kWords; ++i) {
        uint32_t prev = state_[i - 1];
        state_[i] = 1812433253u * (prev ^ (prev >> 30)) + i;
    }
    index_ = kWords;
}

void MersenneTwister::Regenerate() {
    constexpr int kMiddle = 397;
    constexpr uint32_t kMatrix = 0x9908B0DFu, kUpper = 0x80000000u, kLower = 0x7FFFFFFFu;
    for (int i = 0; i < kWords; ++i) {
        uint32_t y = (state_[i] & kUpper) | (state_[(i + 1) % kWords] & kLower);
        uint32_t next = state_[(i + kMiddle) % kWords] ^ (y >> 1);
        state_[i] = (y & 1u) ? next ^ kMatrix : next;
    }
    index_ = 0;
}

int32_t MersenneTwister::Next() {
    if (index_ >= kWords) Regenerate();
    uint32_t y = state_[index_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return static_cast<int32_t>(y & 0x7FFFFFFFu);
}

float MersenneTwister::NextFloat(float max) {
    return static_cast<float>(static_cast<double>(Next()) / 2147483647.0 * static_cast<double>(max));
}

MersenneTwister& GlobalRandom() {
    static MersenneTwister generator(4357);
    return generator;
}

void SeedRandom(uint32_t seed) { GlobalRandom().SetSeed(seed); }

namespace {

// The magnitude of a signed span, computed without overflow (INT_MIN gives 2^31).
uint32_t Magnitude(int64_t span) { return static_cast<uint32_t>(span < 0 ? -span : span); }

}  // namespace

int32_t RandomInt(int32_t n) {
    if (n == 0) return 0;
    uint32_t drawn = GlobalRandom().NextModulo(Magnitude(n));
    // A negative n mirrors the range instead of leaking a raw generator word.
    return n > 0 ? static_cast<int32_t>(drawn) : static_cast<int32_t>(0u - drawn);
}

int32_t RandomIntAlt(int32_t n) { return RandomInt(n); }

int32_t RandomRange(int32_t lo, int32_t hi) {
    // The span is taken in 64 bits so that ranges wider than 2^31 stay ranges.
    int64_t span = static_cast<int64_t>(hi) - lo;
    if (span == 0) return lo;
    uint32_t drawn = GlobalRandom().NextModulo(Magnitude(span));
    uint32_t base = static_cast<uint32_t>(lo);
    return static_cast<int32_t>(span > 0 ? base + drawn : base - drawn);
}

float RandomFloat(float max) {
    if (max == 0.0f) return 0.0f;
    return GlobalRandom().NextFloat(max);
}

float RandomReal(double max) { return RandomFloat(static_cast<float>(max)); }

float RandomFloatRange(float lo, float hi) {
    float span = hi - lo;
    float result = lo + RandomFloat(span);
    return result;
}
