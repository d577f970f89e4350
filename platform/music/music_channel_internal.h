#pragma once
// One stream or module of the music library: what it renders and where it
// stands. Channels belong to the engine (music_engine_internal.h) and are
// only touched with its lock held; Render runs on the output thread.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/music/music_types.h"

namespace plat::music_detail {

class MusicChannel {
public:
    virtual ~MusicChannel() = default;

    virtual bool IsModule() const = 0;
    // Writes up to `frames` stereo frames at the output rate into `out`
    // (16-bit units) and answers how many it made; fewer than asked means
    // the channel came to its end.
    virtual std::size_t Render(float* out, std::size_t frames, bool loop) = 0;
    // Back to the start, as after loading.
    virtual void Rewind() = 0;
    // kMusicPosByte positions (see music_types.h); false leaves the position.
    virtual bool SetPosition(uint64_t position) = 0;
    virtual uint64_t GetPosition() = 0;
    // Streams only: the playback rate of the source.
    virtual bool SetFrequency(float) { return false; }
    virtual float Frequency() const = 0;

    uint32_t state = kMusicStopped;
    uint32_t flags = 0;
    float volume = 1.0f;
    float pan = 0.0f;
    float amplify = 50.0f;
};

// A stream over WAV (PCM, 8 or 16 bits, mono or stereo) or Ogg Vorbis data
// that must outlive it. Null with `error` set when the data is neither.
std::unique_ptr<MusicChannel> CreateStreamChannel(const uint8_t* data, std::size_t size, MusicError* error);
// Module music; libxmp keeps its own copy, so the data may go afterwards.
std::unique_ptr<MusicChannel> CreateModuleChannel(const uint8_t* data, std::size_t size, MusicError* error);

}  // namespace plat::music_detail
