#pragma once
// A SoundSource adds sound of its own making to a device's mix: the music
// streams and modules of platform/music render through it, so effects and
// music leave through one output at one output level.
//
// MixInto runs on the output thread (or inside Pull) with the device's
// mixing lock held, once per block of at most a few hundred frames. It must
// add, not overwrite, must not call back into the device, and should not
// block: a slow source holds up every effect.

#include <cstddef>

namespace plat {

class SoundSource {
public:
    virtual ~SoundSource() = default;
    // Adds `frames` interleaved stereo frames at the output rate to `mix`,
    // in 16-bit units (32767 is full scale).
    virtual void MixInto(float* mix, std::size_t frames) = 0;
};

}  // namespace plat
