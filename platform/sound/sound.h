#pragma once
// platform/sound: the software stand-in for the sound-effect service. It owns
// the device (sound_device.h), its PCM buffers and the primary buffer
// (sound_buffer.h), and a mixer that plays every buffer once or looping at
// its own volume, pan and frequency into 44100 Hz 16-bit stereo, fed to an
// SDL2 audio device or, without one, mixed in real time and discarded.
// Sources (sound_source.h) add sound of their own making to the same mix,
// which is how music joins the effects, and the device's output level (the
// stand-in for the system's wave-output volume) scales the whole of it.
// Promises: the mix matches the formulas of the service being replaced
// (volume and pan in hundredths of a decibel give 10^(v/2000), sums add)
// within one unit, except that it never passes kSoundOutputCeiling, just under
// full scale: a louder sum turns the whole mix down at once, and it comes back
// up at 10 dB a second; every bad argument is a failure code, never a crash.
// Decoding sound files is the caller's business: buffers take PCM bytes only.
// Callers must not: write through a lock after Unlock, or use one buffer from
// two threads at once.
// Threads: any thread may call; the output mixes on SDL's audio thread (or
// the fallback clock thread) and never allocates there.

#include "platform/sound/sound_buffer.h"
#include "platform/sound/sound_device.h"
#include "platform/sound/sound_source.h"
#include "platform/sound/sound_types.h"
