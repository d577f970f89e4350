#pragma once
// Decoders behind a music stream: interleaved 16-bit frames from WAV or Ogg
// Vorbis data held in memory by the caller.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/music/music_types.h"

namespace plat::music_detail {

class PcmDecoder {
public:
    virtual ~PcmDecoder() = default;
    virtual int Channels() const = 0;  // 1 or 2
    virtual uint32_t Rate() const = 0;
    // Up to `frames` frames into `out`; 0 at the end of the data.
    virtual std::size_t Read(int16_t* out, std::size_t frames) = 0;
    // The next Read starts at that frame; false past the end.
    virtual bool Seek(uint64_t frame) = 0;
};

std::unique_ptr<PcmDecoder> OpenWavDecoder(const uint8_t* data, std::size_t size, MusicError* error);
std::unique_ptr<PcmDecoder> OpenOggDecoder(const uint8_t* data, std::size_t size, MusicError* error);

}  // namespace plat::music_detail
