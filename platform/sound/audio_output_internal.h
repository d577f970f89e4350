#pragma once
// What keeps a device's mixer running in real time: an SDL audio device
// asked for 44100 Hz 16-bit stereo (SDL converts to whatever the hardware
// takes), or, when SDL offers no device at all, a thread of our own that
// mixes at the same pace and discards the result, so one-shot sounds still
// end and positions still move.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace plat::sound_detail {

class SoundCore;

class AudioOutput {
public:
    // Never fails: without a device it falls back to the discarding clock.
    explicit AudioOutput(std::shared_ptr<SoundCore> core);
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;
    ~AudioOutput();

    bool HasDevice() const { return device_ != 0; }
    // Why no device was opened; empty when one was.
    const std::string& Error() const { return error_; }

private:
    void RunClock();

    std::shared_ptr<SoundCore> core_;
    bool audioInitialised_ = false;
    uint32_t device_ = 0;
    std::string error_;

    std::thread clock_;
    std::mutex clockMutex_;
    std::condition_variable clockWake_;
    bool clockStop_ = false;
};

}  // namespace plat::sound_detail
