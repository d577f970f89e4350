#include "synth.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

namespace {

constexpr double kTau = 6.283185307179586;

}  // namespace

Samples Tone(uint32_t rate, double seconds, double hz, double amplitude, double fadeSeconds) {
    const auto n = static_cast<size_t>(seconds * rate);
    const double fade = std::max(1.0, fadeSeconds * rate);
    Samples s(n);
    for (size_t i = 0; i < n; ++i) {
        const double edge = std::min({1.0, (i + 1) / fade, (n - i) / fade});
        s[i] = static_cast<float>(amplitude * edge * std::sin(kTau * hz * i / rate));
    }
    return s;
}

Samples Chirp(uint32_t rate, double seconds, double fromHz, double toHz, double amplitude, double decay) {
    const auto n = static_cast<size_t>(seconds * rate);
    Samples s(n);
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double hz = fromHz + (toHz - fromHz) * t / seconds;
        phase += kTau * hz / rate;
        const double attack = std::min(1.0, i / (0.003 * rate));
        s[i] = static_cast<float>(amplitude * attack * std::exp(-decay * t) * std::sin(phase));
    }
    return s;
}

Samples NoiseSweep(uint32_t rate, double seconds, double fromHz, double toHz, double amplitude, double attackSeconds,
                   double decay, uint32_t seed) {
    const auto n = static_cast<size_t>(seconds * rate);
    Samples s(n);
    uint32_t state = seed;
    double low = 0.0;
    for (size_t i = 0; i < n; ++i) {
        state = state * 1664525u + 1013904223u;
        const double white = static_cast<double>(state >> 8) / static_cast<double>(1u << 23) - 1.0;
        const double t = static_cast<double>(i) / rate;
        const double cutoff = fromHz + (toHz - fromHz) * t / seconds;
        const double k = 1.0 - std::exp(-kTau * cutoff / rate);
        low += k * (white - low);
        const double envelope = std::min(1.0, t / attackSeconds) * std::exp(-decay * std::max(0.0, t - attackSeconds));
        s[i] = static_cast<float>(amplitude * envelope * low * 2.5);
    }
    return s;
}

void MixInto(Samples& a, const Samples& b, size_t at) {
    if (a.size() < at + b.size()) a.resize(at + b.size(), 0.0f);
    for (size_t i = 0; i < b.size(); ++i) a[at + i] += b[i];
}

}  // namespace soundgen
