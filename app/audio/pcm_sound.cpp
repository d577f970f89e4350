#include "app/audio/pcm_sound.h"

plat::SoundFormat MakePcmFormat(uint16_t channels, uint32_t rate, uint16_t bits) {
    plat::SoundFormat f;
    f.formatTag = plat::kSoundFormatPcm;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.bitsPerSample = bits;
    f.blockAlign = static_cast<uint16_t>(uint32_t{channels} * bits / 8);
    f.avgBytesPerSec = f.blockAlign * rate;
    return f;
}
