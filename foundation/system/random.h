#pragma once
// The one random generator of the program and its range helpers.
//
// Every random choice (script words, the expression function rand, wobbles,
// game decisions) draws from one process-wide MT19937 generator, which holds
// the state of seed 4357 until start-up reseeds it with the tick count. The
// output is the tempered word with its top bit cleared (0..2147483647), so
// seed 5489 yields 1351727964 first.
//
// Ranges are symmetric: RandomInt(-n) lies in (-n, 0] and RandomRange(lo, hi)
// with hi < lo lies in (hi, lo]; no helper ever returns a raw generator word
// outside the range it was asked for.
//
// Nothing is locked: the generator belongs to the main thread. A caller on
// another thread must bring its own serialisation.

#include <array>
#include <cstdint>

class MersenneTwister {
public:
    explicit MersenneTwister(uint32_t seed = 4357) { SetSeed(seed); }

    // A seed of 0 is replaced by 4357.
    void SetSeed(uint32_t seed);
    // 0..2147483647.
    int32_t Next();
    // Next() modulo n, n taken as unsigned; 0 for n = 0, drawing nothing.
    uint32_t NextModulo(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(Next()) % n; }
    // Next() / 2147483647 * max: both ends can occur.
    float NextFloat(float max);

private:
    static constexpr int kWords = 624;
    void Regenerate();

    std::array<uint32_t, kWords> state_{};
    int index_ = kWords;
};

// The process-wide generator.
MersenneTwister& GlobalRandom();
void SeedRandom(uint32_t seed);

// 0 when n is 0 (and nothing is drawn); [0, n) for n > 0; (n, 0] for n < 0.
int32_t RandomInt(int32_t n);
int32_t RandomIntAlt(int32_t n);
// [lo, hi) for hi > lo, lo for hi == lo, (hi, lo] for hi < lo.
int32_t RandomRange(int32_t lo, int32_t hi);
// 0 when max is 0 (and nothing is drawn); otherwise between 0 and max, both included.
float RandomFloat(float max);
float RandomReal(double max);
// Between lo and hi, both included.
float RandomFloatRange(float lo, float hi);
