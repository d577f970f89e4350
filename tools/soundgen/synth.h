#pragma once
// The generator's sound shapes: mono sample sequences in -1..1 at a given
// rate, made from formulas and a seeded noise source, so every run writes
// the same sounds.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace soundgen {

using Samples = std::vector<float>;

// A sine at `hz`, with linear fades of `fadeSeconds` at both ends.
Samples Tone(uint32_t rate, double seconds, double hz, double amplitude, double fadeSeconds);
// A sine gliding from `fromHz` to `toHz`, decaying exponentially by `decay` per second.
Samples Chirp(uint32_t rate, double seconds, double fromHz, double toHz, double amplitude, double decay);
// Noise through a one-pole low-pass whose cutoff sweeps from `fromHz` to
// `toHz`, shaped by a rise over `attackSeconds` and an exponential decay.
Samples NoiseSweep(uint32_t rate, double seconds, double fromHz, double toHz, double amplitude, double attackSeconds,
                   double decay, uint32_t seed);
// Adds `b` into `a` from sample `at` on, growing `a` as needed.
void MixInto(Samples& a, const Samples& b, size_t at);

}  // namespace soundgen
