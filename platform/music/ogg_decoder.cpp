// Ogg Vorbis streams through Tremor, reading the caller's memory through
// callbacks. Tremor keeps a pointer to the cursor, so the decoder owns it.

#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/music/pcm_decoder_internal.h"

namespace plat::music_detail {

namespace {

struct MemoryCursor {
    const uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;
};

size_t ReadMemory(void* out, size_t size, size_t count, void* source) {
    auto* c = static_cast<MemoryCursor*>(source);
    if (size == 0) return 0;
    const size_t n = std::min(count, (c->size - c->at) / size);
    std::memcpy(out, c->data + c->at, n * size);
    c->at += n * size;
    return n;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
    auto* c = static_cast<MemoryCursor*>(source);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR) base = static_cast<ogg_int64_t>(c->at);
    if (whence == SEEK_END) base = static_cast<ogg_int64_t>(c->size);
    const ogg_int64_t to = base + offset;
    if (to < 0 || to > static_cast<ogg_int64_t>(c->size)) return -1;
    c->at = static_cast<std::size_t>(to);
    return 0;
}

long TellMemory(void* source) { return static_cast<long>(static_cast<MemoryCursor*>(source)->at); }

class OggDecoder : public PcmDecoder {
public:
    OggDecoder(const uint8_t* data, std::size_t size) { cursor_ = {data, size, 0}; }
    ~OggDecoder() override {
        if (open_) ov_clear(&file_);
    }

    MusicError Open() {
        const ov_callbacks callbacks{ReadMemory, SeekMemory, nullptr, TellMemory};
        if (ov_open_callbacks(&cursor_, &file_, nullptr, 0, callbacks) != 0) return kMusicErrFileFormat;
        open_ = true;
        const vorbis_info* info = ov_info(&file_, -1);
        if (!info || (info->channels != 1 && info->channels != 2) || info->rate < 100 || info->rate > 200000)
            return kMusicErrFormat;
        channels_ = info->channels;
        rate_ = static_cast<uint32_t>(info->rate);
        return kMusicOk;
    }

    int Channels() const override { return channels_; }
    uint32_t Rate() const override { return rate_; }

    std::size_t Read(int16_t* out, std::size_t frames) override {
        const std::size_t frameBytes = static_cast<std::size_t>(channels_) * 2;
        std::size_t done = 0;
        int holes = 0;
        while (done < frames) {
            int section = 0;
            const long got = ov_read(&file_, reinterpret_cast<char*>(out) + done * frameBytes,
                                     static_cast<int>((frames - done) * frameBytes), &section);
            if (got == OV_HOLE && ++holes < 8) continue;  // a gap in the data: go on after it
            if (got <= 0) break;
            // A chained stream whose later link has another layout is cut there.
            const vorbis_info* info = ov_info(&file_, section);
            if (!info || info->channels != channels_) break;
            done += static_cast<std::size_t>(got) / frameBytes;
        }
        return done;
    }

    bool Seek(uint64_t frame) override { return ov_pcm_seek(&file_, static_cast<ogg_int64_t>(frame)) == 0; }

private:
    MemoryCursor cursor_;
    OggVorbis_File file_{};
    bool open_ = false;
    int channels_ = 0;
    uint32_t rate_ = 0;
};

}  // namespace

std::unique_ptr<PcmDecoder> OpenOggDecoder(const uint8_t* data, std::size_t size, MusicError* error) {
    auto decoder = std::make_unique<OggDecoder>(data, size);
    *error = decoder->Open();
    if (*error != kMusicOk) return nullptr;
    return decoder;
}

}  // namespace plat::music_detail
