#pragma once
// Sound buffers made by a SoundDevice (sound_device.h).
//
// A SoundBuffer holds PCM samples (8 or 16 bits, mono or stereo, any rate
// from 100 Hz to 200 kHz) and plays them once or looping into the device's
// mixer at its own volume, pan and frequency. Duplicates share the samples
// and keep their own position, volume, pan, frequency and playing state.
// Lock hands out a copy of the region to read and fill; Unlock writes the
// filled bytes back, so the mixer never reads a half-written region.
// Callers must unlock before locking again, and must not use one buffer from
// two threads at once; different buffers may be used from different threads.
//
// The PrimarySoundBuffer stands for the device's output: it only records the
// format asked of it (the mixer always produces 44100 Hz 16-bit stereo).

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/sound/sound_types.h"

namespace plat {

namespace sound_detail {
class SoundCore;
struct SampleData;
struct Voice;
}  // namespace sound_detail

class SoundBuffer {
public:
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;
    ~SoundBuffer();

    SoundResult GetFormat(SoundFormat* out) const;
    uint32_t Bytes() const;
    uint32_t Flags() const { return flags_; }

    // Locks `bytes` from `offset` (see the lock flags); a region running past
    // the end continues at the start as the second part.
    SoundResult Lock(uint32_t offset, uint32_t bytes, uint32_t flags, SoundLock* out);
    // `written` is the lock as returned, with the byte counts actually
    // written (at most the locked ones); only those are copied back.
    SoundResult Unlock(const SoundLock& written);

    // Starts or continues from the current position; playing again only
    // changes the looping choice. A one-shot play that reaches the end stops
    // with its position back at the start.
    SoundResult Play(uint32_t flags);
    // Stops where it is; the position stays.
    SoundResult Stop();
    SoundResult GetStatus(uint32_t* out) const;
    SoundResult SetCurrentPosition(uint32_t byteOffset);
    SoundResult GetCurrentPosition(SoundPosition* out) const;

    SoundResult SetVolume(int32_t hundredthsDb);  // kSoundVolumeMin..kSoundVolumeMax
    SoundResult GetVolume(int32_t* out) const;
    SoundResult SetPan(int32_t pan);  // kSoundPanLeft..kSoundPanRight
    SoundResult GetPan(int32_t* out) const;
    SoundResult SetFrequency(uint32_t hz);  // kSoundFrequencyMin..Max, or Original
    SoundResult GetFrequency(uint32_t* out) const;

private:
    friend class SoundDevice;
    SoundBuffer(std::shared_ptr<sound_detail::SoundCore> core, std::shared_ptr<sound_detail::SampleData> data,
                uint32_t flags);

    void ApplyGains();  // core mutex held

    std::shared_ptr<sound_detail::SoundCore> core_;
    std::shared_ptr<sound_detail::SampleData> data_;
    std::unique_ptr<sound_detail::Voice> voice_;
    uint32_t flags_ = 0;
    int32_t volume_ = kSoundVolumeMax;
    int32_t pan_ = kSoundPanCenter;
    uint32_t frequency_ = 0;

    // The outstanding lock: where it starts and a copy of its bytes.
    bool locked_ = false;
    uint32_t lockOffset_ = 0;
    uint32_t lockBytes1_ = 0;
    std::vector<uint8_t> lockCopy_;
};

class PrimarySoundBuffer {
public:
    PrimarySoundBuffer(const PrimarySoundBuffer&) = delete;
    PrimarySoundBuffer& operator=(const PrimarySoundBuffer&) = delete;
    ~PrimarySoundBuffer();

    // Needs the priority cooperative level.
    SoundResult SetFormat(const SoundFormat& format);
    SoundResult GetFormat(SoundFormat* out) const;

private:
    friend class SoundDevice;
    explicit PrimarySoundBuffer(std::shared_ptr<sound_detail::SoundCore> core);

    std::shared_ptr<sound_detail::SoundCore> core_;
};

}  // namespace plat
