// WAV streams: the "fmt " and "data" chunks of a RIFF file in memory. Only
// PCM is accepted; 8-bit samples are unsigned and widen to 16 bits.

#include <algorithm>
#include <cstring>

#include "platform/music/pcm_decoder_internal.h"

namespace plat::music_detail {

namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

class WavDecoder : public PcmDecoder {
public:
    WavDecoder(const uint8_t* samples, uint64_t frames, int channels, int bits, uint32_t rate)
        : samples_(samples), frames_(frames), channels_(channels), bits_(bits), rate_(rate) {}

    int Channels() const override { return channels_; }
    uint32_t Rate() const override { return rate_; }

    std::size_t Read(int16_t* out, std::size_t frames) override {
        const std::size_t n = static_cast<std::size_t>(std::min<uint64_t>(frames, frames_ - next_));
        const std::size_t count = n * static_cast<std::size_t>(channels_);
        if (bits_ == 16) {
            std::memcpy(out, samples_ + next_ * channels_ * 2, count * 2);
        } else {
            const uint8_t* p = samples_ + next_ * channels_;
            for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<int16_t>((p[i] - 128) * 256);
        }
        next_ += n;
        return n;
    }

    bool Seek(uint64_t frame) override {
        if (frame > frames_) return false;
        next_ = frame;
        return true;
    }

private:
    const uint8_t* samples_;
    uint64_t frames_;
    int channels_;
    int bits_;
    uint32_t rate_;
    uint64_t next_ = 0;
};

}  // namespace

std::unique_ptr<PcmDecoder> OpenWavDecoder(const uint8_t* data, std::size_t size, MusicError* error) {
    *error = kMusicErrFileFormat;
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return nullptr;
    bool haveFormat = false;
    int channels = 0, bits = 0;
    uint32_t rate = 0;
    std::size_t at = 12;
    while (size - at >= 8) {
        const uint8_t* chunk = data + at;
        const uint64_t length = Le32(chunk + 4);
        const std::size_t body = at + 8;
        const std::size_t available = size - body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || available < 16) return nullptr;
            if (Le16(chunk + 8) != 1) {
                *error = kMusicErrFormat;
                return nullptr;
            }
            channels = Le16(chunk + 10);
            rate = Le32(chunk + 12);
            bits = Le16(chunk + 22);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) return nullptr;
            if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate < 100 || rate > 200000) {
                *error = kMusicErrFormat;
                return nullptr;
            }
            // A chunk longer than the data plays what is there.
            const uint64_t frames = std::min<uint64_t>(length, available) / (channels * bits / 8);
            if (frames == 0) return nullptr;
            *error = kMusicOk;
            return std::make_unique<WavDecoder>(data + body, frames, channels, bits, rate);
        }
        if (length > available) return nullptr;
        at = body + static_cast<std::size_t>(length) + (length & 1);  // chunks are word-aligned
    }
    return nullptr;
}

}  // namespace plat::music_detail
