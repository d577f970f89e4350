#include "foundation/system/runtime_random.h"

int32_t RuntimeRand::Next() {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int32_t>((state_ >> 16) & 0x7FFFu);
}

RuntimeRand& RuntimeRandom() {
    static RuntimeRand generator;
    return generator;
}

void SeedRuntimeRandom(uint32_t seed) { RuntimeRandom().SetSeed(seed); }
