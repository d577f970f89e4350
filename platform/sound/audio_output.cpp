#include "platform/sound/audio_output_internal.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <utility>

#include "platform/sound/sound_core_internal.h"

namespace plat::sound_detail {

namespace {

// About 23 ms per callback: short enough for effects to start promptly.
constexpr int kDeviceFrames = 1024;
constexpr std::size_t kClockFrames = 512;
constexpr auto kClockPeriod = std::chrono::milliseconds(10);

void FillFromMixer(void* user, Uint8* stream, int len) {
    // SDL hands over a buffer aligned for the 16-bit format it was opened with.
    static_cast<SoundCore*>(user)->Mix(reinterpret_cast<int16_t*>(stream),
                                       static_cast<std::size_t>(len) / (2 * sizeof(int16_t)));
}

}  // namespace

AudioOutput::AudioOutput(std::shared_ptr<SoundCore> core) : core_(std::move(core)) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error_ = std::string("no audio: ") + SDL_GetError();
    } else {
        audioInitialised_ = true;
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(kSoundOutputRate);
        want.format = AUDIO_S16SYS;
        want.channels = static_cast<Uint8>(kSoundOutputChannels);
        want.samples = kDeviceFrames;
        want.callback = FillFromMixer;
        want.userdata = core_.get();
        SDL_AudioSpec have{};
        // No allowed changes: SDL converts our format to the device's.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) {
            error_ = std::string("no audio device: ") + SDL_GetError();
        } else {
            SDL_PauseAudioDevice(device_, 0);
            return;
        }
    }
    clock_ = std::thread([this] { RunClock(); });
}

AudioOutput::~AudioOutput() {
    if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for a running callback
    if (clock_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(clockMutex_);
            clockStop_ = true;
        }
        clockWake_.notify_all();
        clock_.join();
    }
    if (audioInitialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioOutput::RunClock() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    uint64_t mixed = 0;
    int16_t scratch[2 * kClockFrames];
    std::unique_lock<std::mutex> lock(clockMutex_);
    while (!clockWake_.wait_for(lock, kClockPeriod, [this] { return clockStop_; })) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
        const uint64_t due = static_cast<uint64_t>(elapsed.count()) * kSoundOutputRate / 1000000;
        while (mixed < due) {
            const std::size_t n = static_cast<std::size_t>(std::min<uint64_t>(due - mixed, kClockFrames));
            core_->Mix(scratch, n);
            mixed += n;
        }
    }
}

}  // namespace plat::sound_detail
