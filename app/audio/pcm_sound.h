#pragma once
// A decoded sound: PCM bytes and their format, as the file readers produce
// them and a sound buffer takes them.

#include <cstdint>
#include <vector>

#include "platform/sound/sound_types.h"

struct PcmSound {
    plat::SoundFormat format;
    std::vector<uint8_t> data;
};

// Format tag PCM; block align = channels x bits / 8; bytes per second =
// block align x rate.
plat::SoundFormat MakePcmFormat(uint16_t channels, uint32_t rate, uint16_t bits);
