#include "app/audio/sound_volume.h"

#include <cmath>

namespace {

// One equal-tempered semitone.
constexpr double kSemitone = 1.0594630943592953;

}  // namespace

int32_t VolumeToAttenuation(double volume) {
    if (!(volume > 0.0)) return -10000;  // also NaN
    const double a = std::trunc((std::log10(9.0 * volume + 1.0) - 1.0) * 2333.0);
    if (a < -2000.0) return -10000;
    return a > 0.0 ? 0 : static_cast<int32_t>(a);
}

uint32_t PitchedFrequency(uint32_t nativeHz, double semitones) {
    double hz = nativeHz * std::pow(kSemitone, semitones);
    if (!(hz >= 100.0)) hz = 100.0;  // NaN too
    if (hz > 100000.0) hz = 100000.0;
    return static_cast<uint32_t>(hz);
}
