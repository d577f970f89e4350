#pragma once
// One loaded music track: its channel in the music library, its volume and
// fade, and the file's bytes the channel plays from. The record owns those
// bytes; whoever removes a record frees its channel first.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/music/music_types.h"

struct TrackRecord {
    plat::MusicHandle music = 0;   // module music; 0 for a stream
    plat::MusicHandle stream = 0;  // a stream; 0 for module music
    double volume = 0.0;
    double fadeStep = 0.0;  // added to the volume each update; 0 = not fading
    double maxVolume = 1.0;
    bool stopWhenFaded = false;
    std::wstring name;
    std::vector<uint8_t> block;

    plat::MusicHandle Channel() const { return music != 0 ? music : stream; }
};
