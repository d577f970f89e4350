// A stream channel: decoded frames resampled to the output rate with linear
// interpolation between the frame being played and the next one.

#include <cstring>

#include "platform/music/music_channel_internal.h"
#include "platform/music/pcm_decoder_internal.h"
#include "platform/sound/sound_types.h"

namespace plat::music_detail {

namespace {

constexpr std::size_t kDecodeFrames = 1024;
constexpr uint64_t kOne = uint64_t{1} << 32;

class StreamChannel : public MusicChannel {
public:
    explicit StreamChannel(std::unique_ptr<PcmDecoder> decoder) : decoder_(std::move(decoder)) {
        channels_ = decoder_->Channels();
        SetRate(static_cast<float>(decoder_->Rate()));
    }

    bool IsModule() const override { return false; }

    std::size_t Render(float* out, std::size_t frames, bool loop) override {
        for (std::size_t i = 0; i < frames; ++i) {
            if (!haveCurrent_) {
                if (!Fetch(current_, &currentIndex_, loop)) return i;
                haveCurrent_ = true;
                haveNext_ = Fetch(next_, &nextIndex_, loop);
            }
            const float t = static_cast<float>(fraction_) * (1.0f / static_cast<float>(kOne));
            const float* n = haveNext_ ? next_ : current_;
            out[2 * i] = current_[0] + (n[0] - current_[0]) * t;
            out[2 * i + 1] = current_[1] + (n[1] - current_[1]) * t;
            fraction_ += step_;
            while (fraction_ >= kOne) {
                fraction_ -= kOne;
                if (!haveNext_) {
                    haveCurrent_ = false;
                    return i + 1;
                }
                std::memcpy(current_, next_, sizeof current_);
                currentIndex_ = nextIndex_;
                haveNext_ = Fetch(next_, &nextIndex_, loop);
            }
        }
        return frames;
    }

    void Rewind() override { SetPosition(0); }

    bool SetPosition(uint64_t position) override {
        const uint64_t frame = position / (static_cast<uint64_t>(channels_) * 2);
        if (!decoder_->Seek(frame)) return false;
        decodedFrame_ = frame;
        currentIndex_ = frame;
        bufferCount_ = bufferAt_ = 0;
        haveCurrent_ = haveNext_ = false;
        fraction_ = 0;
        return true;
    }

    uint64_t GetPosition() override { return currentIndex_ * static_cast<uint64_t>(channels_) * 2; }

    bool SetFrequency(float hz) override {
        if (!(hz >= kSoundFrequencyMin && hz <= kSoundFrequencyMax)) return false;
        SetRate(hz);
        return true;
    }
    float Frequency() const override { return rate_; }

private:
    void SetRate(float hz) {
        rate_ = hz;
        step_ = static_cast<uint64_t>(static_cast<double>(hz) / kSoundOutputRate * static_cast<double>(kOne));
    }

    // The next decoded frame as a left and right pair, with its index in the
    // stream; at the end a looping stream starts over.
    bool Fetch(float* frame, uint64_t* index, bool loop) {
        if (bufferAt_ == bufferCount_) {
            bufferCount_ = decoder_->Read(buffer_, kDecodeFrames);
            bufferAt_ = 0;
            if (bufferCount_ == 0 && loop && decodedFrame_ > 0 && decoder_->Seek(0)) {
                decodedFrame_ = 0;
                bufferCount_ = decoder_->Read(buffer_, kDecodeFrames);
            }
            if (bufferCount_ == 0) return false;
        }
        const int16_t* s = buffer_ + bufferAt_ * static_cast<std::size_t>(channels_);
        frame[0] = s[0];
        frame[1] = channels_ == 2 ? s[1] : s[0];
        ++bufferAt_;
        *index = decodedFrame_++;
        return true;
    }

    std::unique_ptr<PcmDecoder> decoder_;
    int channels_ = 1;
    float rate_ = 44100.0f;
    uint64_t step_ = kOne;
    uint64_t fraction_ = 0;

    int16_t buffer_[kDecodeFrames * 2] = {};
    std::size_t bufferCount_ = 0;
    std::size_t bufferAt_ = 0;
    uint64_t decodedFrame_ = 0;  // index of the next frame the buffer hands out

    float current_[2] = {};
    float next_[2] = {};
    uint64_t currentIndex_ = 0;
    uint64_t nextIndex_ = 0;
    bool haveCurrent_ = false;
    bool haveNext_ = false;
};

}  // namespace

std::unique_ptr<MusicChannel> CreateStreamChannel(const uint8_t* data, std::size_t size, MusicError* error) {
    std::unique_ptr<PcmDecoder> decoder;
    if (size >= 4 && std::memcmp(data, "OggS", 4) == 0) {
        decoder = OpenOggDecoder(data, size, error);
    } else {
        decoder = OpenWavDecoder(data, size, error);
    }
    if (!decoder) return nullptr;
    return std::make_unique<StreamChannel>(std::move(decoder));
}

}  // namespace plat::music_detail
