#pragma once
// The runtime's small generator: 15-bit draws (0..32767) from a linear
// congruential sequence, kept beside the program's main generator
// (random.h) for the few choices that were made with 15-bit draws, such
// as the order in which a park's visitors arrive. Start-up seeds it once
// with the time; tests seed it to replay a run.
//
// Nothing is locked: the generator belongs to the main thread.

#include <cstdint>

class RuntimeRand {
public:
    static constexpr int32_t kMax = 32767;

    explicit RuntimeRand(uint32_t seed = 1) : state_(seed) {}
    void SetSeed(uint32_t seed) { state_ = seed; }
    // 0..kMax.
    int32_t Next();

private:
    uint32_t state_;
};

// The process-wide 15-bit generator, seeded with 1 until start-up reseeds it.
RuntimeRand& RuntimeRandom();
void SeedRuntimeRandom(uint32_t seed);
