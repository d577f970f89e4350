// Sound files as the sound manager's load chain reads them: the same bytes go
// to the WAV, Ogg and AU readers, each of which must refuse what is not its
// own without reading past the input or allocating what the input cannot fill.
#include "app/audio/pcm_sound.h"
#include "app/audio/sound_files.h"
#include "fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    double sum = 0;
    auto read = [&](bool (*reader)(std::string_view, PcmSound*), const char* name) {
        PcmSound sound;
        if (reader(fuzz::WriteScratchFile(name, data, size), &sound)) {
            sum += static_cast<double>(sound.data.size()) + sound.format.channels + sound.format.blockAlign;
            if (!sound.data.empty()) sum += sound.data.front() + sound.data.back();
        }
    };
    read(ReadWavSound, "input.wav");
    read(ReadOggSound, "input.ogg");
    read(ReadAuSound, "input.au");
    fuzz::Keep(sum);
    return 0;
}
