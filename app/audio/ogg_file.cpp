// The Ogg Vorbis reader: Tremor over the pack layer, decoded whole.

#include <tremor/ivorbisfile.h>

#include <cstdio>

#include "app/audio/sound_file_internal.h"
#include "app/audio/sound_files.h"

using namespace sound_files;

namespace {

// The largest sound a buffer takes; a longer stream is refused, not decoded.
constexpr int64_t kMaxSoundBytes = 0x0FFFFFFF;

size_t ReadCallback(void* out, size_t size, size_t count, void* file) {
    return PakRead(out, size, count, static_cast<PakFile*>(file));
}

int SeekCallback(void* file, ogg_int64_t offset, int whence) {
    if (!file) return -1;
    return PakSeek(static_cast<PakFile*>(file), static_cast<long>(offset), whence);
}

int CloseCallback(void* file) { return PakCloseFile(static_cast<PakFile*>(file)); }

long TellCallback(void* file) { return PakTell(static_cast<PakFile*>(file)); }

// Clears the decoder, which closes the file through the callbacks.
struct VorbisCloser {
    void operator()(OggVorbis_File* vf) const {
        ov_clear(vf);
        delete vf;
    }
};

}  // namespace

bool ReadOggSound(std::string_view path, PcmSound* out) {
    PakFilePtr file = OpenForReading(path);
    if (!file) return false;
    auto vf = std::make_unique<OggVorbis_File>();
    const ov_callbacks callbacks{ReadCallback, SeekCallback, CloseCallback, TellCallback};
    if (ov_open_callbacks(file.get(), vf.get(), nullptr, 0, callbacks) != 0) return false;
    file.release();  // the decoder closes it from here on
    std::unique_ptr<OggVorbis_File, VorbisCloser> decoder(vf.release());

    // Opening a seekable file reads its last link's headers and leaves the
    // decoder there: a chained file must be wound back to its first sample.
    if (ov_raw_seek(decoder.get(), 0) != 0) return false;
    const vorbis_info* info = ov_info(decoder.get(), 0);
    if (!info || info->channels < 1 || info->channels > 2 || info->rate < 100 || info->rate > 200000) return false;
    // One buffer has one format: every link of a chain must share it.
    for (int link = 1; link < ov_streams(decoder.get()); ++link) {
        const vorbis_info* other = ov_info(decoder.get(), link);
        if (!other || other->channels != info->channels || other->rate != info->rate) return false;
    }
    const plat::SoundFormat format =
        MakePcmFormat(static_cast<uint16_t>(info->channels), static_cast<uint32_t>(info->rate), 16);
    const int64_t frames = ov_pcm_total(decoder.get(), -1);
    if (frames <= 0 || frames > kMaxSoundBytes / format.blockAlign) return false;

    std::vector<uint8_t> data(static_cast<size_t>(frames) * format.blockAlign);
    size_t filled = 0;
    while (filled < data.size()) {
        int section = 0;
        const size_t room = data.size() - filled;
        const long got = ov_read(decoder.get(), reinterpret_cast<char*>(data.data() + filled),
                                 static_cast<int>(room > 0x7FFFFFFF ? 0x7FFFFFFF : room), &section);
        if (got <= 0) break;
        filled += static_cast<size_t>(got);
    }
    if (filled != data.size()) return false;
    out->format = format;
    out->data = std::move(data);
    return true;
}
