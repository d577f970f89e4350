#pragma once
// Readers of the sound files a sound id is filled from: WAV (also the
// cached copies, see cached_wav.h), Ogg Vorbis and AU. Every reader goes
// through the pack layer, so a file may be loose or in the pack; each one
// closes its file on every path and answers false for anything it cannot
// read whole: a wrong magic, a refused format, a short read.

#include <cstdint>
#include <string_view>

#include "app/audio/pcm_sound.h"

// RIFF WAVE with PCM data. Without a "fmt " chunk the sound is 22050 Hz mono
// 16-bit. An "xor " chunk names a byte every data byte is combined with; a
// "dep " chunk names a file and its last-write time, and the sound counts as
// unreadable when that file's time has changed since. The first "data"
// chunk ends the reading.
bool ReadWavSound(std::string_view path, PcmSound* out);
// Ogg Vorbis through Tremor, decoded whole to 16-bit.
bool ReadOggSound(std::string_view path, PcmSound* out);
// Sun AU, big-endian: 8-bit mu-law (widened to 16 bits) or 8-bit linear.
bool ReadAuSound(std::string_view path, PcmSound* out);

// The expansion of one mu-law byte used by the AU reader.
int16_t MuLawToLinear(uint8_t byte);
