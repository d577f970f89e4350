#pragma once
// The conversions from the program's volume and pitch to a sound buffer's.

#include <cstdint>

// A volume 0..1 as attenuation in hundredths of a decibel: 0 at 1, and
// anything quieter than -20 dB is silence (-10000).
int32_t VolumeToAttenuation(double volume);

// The playback rate `semitones` away from `nativeHz`, clamped to
// 100..100000 Hz.
uint32_t PitchedFrequency(uint32_t nativeHz, double semitones);
