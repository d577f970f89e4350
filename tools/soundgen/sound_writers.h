#pragma once
// Writers of the generator's files: WAV (16-bit PCM), AU (8-bit mu-law or
// 8-bit linear) and Ogg Vorbis, the last by running Debian's oggenc on a WAV
// of ours (the game never links an encoder). Every writer turns a sound that
// peaks above half scale down to it, whole.

#include <string>

#include "synth.h"

namespace soundgen {

// `channels` interleaved channels in `samples`.
bool WriteWav16(const std::string& path, uint32_t rate, uint16_t channels, const Samples& samples);
// 8-bit unsigned PCM WAV.
bool WriteWav8(const std::string& path, uint32_t rate, const Samples& samples);
bool WriteAuMuLaw(const std::string& path, uint32_t rate, const Samples& samples);
bool WriteAuLinear8(const std::string& path, uint32_t rate, const Samples& samples);
// Encodes through a temporary WAV beside `path`, which is removed again,
// and encodes again, turned down, while the decode peaks above half scale.
bool WriteOgg(const std::string& path, uint32_t rate, uint16_t channels, const Samples& samples);

}  // namespace soundgen
