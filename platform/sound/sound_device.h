#pragma once
// The sound device: the stand-in for the sound-effect service. It makes
// sound buffers (sound_buffer.h) and mixes every playing one in software
// into 44100 Hz 16-bit stereo.
//
// With SoundOutput::Device the mix feeds an SDL audio device; when SDL has
// none (no hardware, a driver that does not load) a clock thread keeps
// mixing in real time and discards the sound, so the device still works.
// With SoundOutput::Manual nothing runs by itself: Pull mixes exactly the
// frames asked for, which is how tests read the output deterministically.
//
// Promises: results are the codes of sound_types.h; a buffer may outlive the
// device (it is then simply not heard). Threads: every call may come from any
// thread; one buffer must not be used by two threads at once. The output
// runs on its own thread and never allocates.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/sound/sound_buffer.h"
#include "platform/sound/sound_source.h"
#include "platform/sound/sound_types.h"

struct SDL_Window;

namespace plat {

using NativeWindow = SDL_Window;

namespace sound_detail {
class AudioOutput;
}  // namespace sound_detail

enum class SoundOutput { Device, Manual };

class SoundDevice {
public:
    static std::unique_ptr<SoundDevice> Create(SoundOutput output);
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;
    ~SoundDevice();

    // Needs a window; the priority level is what allows setting the primary
    // format. Sound goes on when the window loses focus.
    SoundResult SetCooperativeLevel(NativeWindow* window, SoundCooperation level);

    // The primary buffer needs a cooperative level to be set first.
    SoundResult CreatePrimaryBuffer(std::unique_ptr<PrimarySoundBuffer>* out);
    // A stopped buffer of `desc.bytes` silent bytes (at least one frame).
    SoundResult CreateSoundBuffer(const SoundBufferDesc& desc, std::unique_ptr<SoundBuffer>* out);
    // A stopped buffer at position 0 sharing `source`'s samples, starting
    // with its volume, pan and frequency.
    SoundResult DuplicateSoundBuffer(const SoundBuffer& source, std::unique_ptr<SoundBuffer>* out);

    // Sources mixed after the buffers, in the order attached. Detach waits
    // for a block being mixed, so the source may be destroyed right after.
    void AttachSource(SoundSource* source);
    void DetachSource(SoundSource* source);

    // The output level, the stand-in for the system's wave-output volume:
    // 0 silent to 65535 full, applied to the whole mix. Starts at 65535.
    void SetOutputLevel(uint16_t level);
    uint16_t OutputLevel() const;

    // Manual output only: mixes `frames` stereo frames into `out` (2 x frames
    // samples, left first) and advances every playing buffer by as much.
    // False, with nothing written, for a device that runs by itself.
    bool Pull(int16_t* out, std::size_t frames);

    SoundOutput Output() const { return output_; }
    // Whether an SDL audio device is being fed.
    bool HasAudioDevice() const;
    // Why no SDL audio device was opened (empty when one was, or for Manual).
    std::string OutputError() const;

private:
    explicit SoundDevice(SoundOutput output);

    SoundOutput output_;
    std::shared_ptr<sound_detail::SoundCore> core_;
    std::unique_ptr<sound_detail::AudioOutput> audio_;
};

}  // namespace plat
