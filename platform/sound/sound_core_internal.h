#pragma once
// What a sound device, its buffers and its output share: the mixer with its
// list of playing voices, and the device-wide settings. Buffers keep the core
// alive through a shared pointer, so a buffer released after its device is
// still safe (it is simply no longer heard).
//
// Threads: every field and every Voice is guarded by `mutex`. The output
// thread holds it while mixing one block; the callers' threads hold it for a
// few field writes at a time, so neither side waits long. Mixing allocates
// nothing and frees nothing: buffers' sample memory is released by their
// owners, on their own threads, after the voice left the playing list.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/sound/sound_source.h"
#include "platform/sound/sound_types.h"

namespace plat::sound_detail {

// Sample bytes shared by a buffer and its duplicates. The vector is sized
// once at creation and never reallocated, so voices may point into it.
struct SampleData {
    explicit SampleData(const SoundFormat& f, uint32_t size) : format(f), bytes(size) {}

    SoundFormat format;
    std::vector<uint8_t> bytes;
    // Held while a Lock copies the bytes out or an Unlock copies them back,
    // so buffers sharing the data on different threads see whole writes.
    std::mutex copyMutex;
};

// One buffer's playback state; only touched with the core's mutex held.
struct Voice {
    const uint8_t* data = nullptr;
    uint32_t frames = 0;  // whole frames in the data
    uint16_t channels = 1;
    uint16_t bits = 16;
    uint64_t position = 0;       // in frames, 32.32 fixed point
    uint64_t step = 1ull << 32;  // frames advanced per output frame, 32.32
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
    bool playing = false;
    bool looping = false;
    std::size_t slot = 0;  // index in the playing list while playing
};

// A PCM format the mixer can play: tag PCM, 1 or 2 channels, 8 or 16 bits,
// a block align that matches them and a rate within the frequency range.
bool IsPlayableFormat(const SoundFormat& f);

// Amplitude factor of an attenuation in hundredths of a decibel: 10^(v/2000),
// exactly 0 at the silent end of the range.
float VolumeToAmplitude(int32_t hundredthsDb);
// The per-side factors of a pan: the side it leans away from is attenuated.
void PanToGains(int32_t volume, int32_t pan, float* left, float* right);
// The 32.32 read step of a voice played at `hz` into the output rate.
uint64_t FrequencyToStep(uint32_t hz);

class SoundCore {
public:
    std::mutex mutex;

    // Device-wide settings (guarded by `mutex`).
    bool hasCooperation = false;
    SoundCooperation cooperation = SoundCooperation::Normal;
    SoundFormat primaryFormat;
    float outputLevel = 1.0f;
    uint16_t outputLevelValue = 0xFFFF;

    // With `mutex` held: joins or leaves the playing list. Start may grow the
    // list (on the caller's thread); leaving never allocates.
    void Start(Voice& v);
    void Halt(Voice& v);
    // With `mutex` held. Attaching may grow the list; a source attached
    // twice is mixed once.
    void Attach(SoundSource* source);
    void Detach(SoundSource* source);

    // Takes `mutex` and mixes `frames` interleaved stereo 16-bit frames into
    // `out`, advancing every playing voice. The sum never passes
    // kSoundOutputCeiling: a limiter turns the whole mix down instead.
    void Mix(int16_t* out, std::size_t frames);

private:
    void MixChunk(int16_t* out, std::size_t frames);
    void Limit(float* mix, std::size_t frames);

    std::vector<Voice*> playing_;
    std::vector<SoundSource*> sources_;
    // The limiter's gain carries over from block to block as it recovers.
    float limiterGain_ = 1.0f;
};

}  // namespace plat::sound_detail
