// Module music through libxmp, rendered at the output rate as 16-bit
// stereo. libxmp counts how often the module came back to its loop point;
// a channel that does not loop ends at the next such return.

#include <xmp.h>

#include <algorithm>
#include <cmath>

#include "platform/music/music_channel_internal.h"
#include "platform/sound/sound_types.h"

namespace plat::music_detail {

namespace {

constexpr std::size_t kRenderFrames = 512;
constexpr double kOutputBytesPerMs = kSoundOutputRate * 4 / 1000.0;

class ModuleChannel : public MusicChannel {
public:
    ModuleChannel() : context_(xmp_create_context()) {}
    ~ModuleChannel() override {
        if (!context_) return;
        if (playing_) xmp_end_player(context_);
        if (loaded_) xmp_release_module(context_);
        xmp_free_context(context_);
    }

    MusicError Load(const uint8_t* data, std::size_t size) {
        if (!context_) return kMusicErrMemory;
        if (xmp_load_module_from_memory(context_, data, static_cast<long>(size)) != 0) return kMusicErrFileFormat;
        loaded_ = true;
        if (xmp_start_player(context_, static_cast<int>(kSoundOutputRate), 0) != 0) return kMusicErrMemory;
        playing_ = true;
        return kMusicOk;
    }

    bool IsModule() const override { return true; }

    std::size_t Render(float* out, std::size_t frames, bool loop) override {
        std::size_t done = 0;
        while (done < frames) {
            const std::size_t n = std::min(frames - done, kRenderFrames);
            // Looping: no limit. Otherwise stop at the next return to the loop point.
            const int limit = loop ? 0 : loopsSoFar_ + 1;
            if (xmp_play_buffer(context_, scratch_, static_cast<int>(n * 4), limit) != 0) break;
            for (std::size_t i = 0; i < 2 * n; ++i) out[2 * done + i] = scratch_[i];
            done += n;
            if (loop) {
                xmp_get_frame_info(context_, &info_);
                loopsSoFar_ = info_.loop_count;
            }
        }
        return done;
    }

    void Rewind() override {
        xmp_restart_module(context_);
        xmp_play_buffer(context_, nullptr, 0, 0);  // also clears the loop count
        loopsSoFar_ = 0;
    }

    bool SetPosition(uint64_t position) override {
        const bool signExtended = (position >> 32) == 0xFFFFFFFFu;
        if ((position & kMusicPositionOrderBit) && (signExtended || (position >> 32) == 0)) {
            const int order = static_cast<int>(position & 0xFFFF);
            const int row = static_cast<int>((position >> 16) & 0x7FFF);
            if (xmp_set_position(context_, order) < 0) return false;
            return row == 0 || xmp_set_row(context_, row) >= 0;
        }
        const double ms = std::floor(static_cast<double>(position) / kOutputBytesPerMs);
        if (ms > 0x7FFFFFFF) return false;
        return xmp_seek_time(context_, static_cast<int>(ms)) >= 0;
    }

    // The order and row now playing, as SetPosition takes them (without the order bit).
    uint64_t GetPosition() override {
        xmp_get_frame_info(context_, &info_);
        return static_cast<uint64_t>(std::max(info_.pos, 0)) | static_cast<uint64_t>(std::max(info_.row, 0)) << 16;
    }

    float Frequency() const override { return static_cast<float>(kSoundOutputRate); }

private:
    xmp_context context_;
    bool loaded_ = false;
    bool playing_ = false;
    int loopsSoFar_ = 0;
    int16_t scratch_[kRenderFrames * 2] = {};
    xmp_frame_info info_{};
};

}  // namespace

std::unique_ptr<MusicChannel> CreateModuleChannel(const uint8_t* data, std::size_t size, MusicError* error) {
    auto channel = std::make_unique<ModuleChannel>();
    *error = channel->Load(data, size);
    if (*error != kMusicOk) return nullptr;
    return channel;
}

}  // namespace plat::music_detail
