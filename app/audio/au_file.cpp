// The AU reader: 8-bit mu-law, widened to 16 bits, and 8-bit linear.

#include <cstdio>
#include <cstring>

#include "app/audio/sound_file_internal.h"
#include "app/audio/sound_files.h"

using namespace sound_files;

namespace {

constexpr uint32_t kMuLaw8 = 1;
constexpr uint32_t kLinear8 = 2;

}  // namespace

// The standard (G.711) expansion: the byte is stored inverted; its low seven
// bits are a segment (3 bits) and a step within it (4 bits), the top bit the
// sign. 0x80 is the largest positive value, 32124; 0xFF and 0x7F are zero.
int16_t MuLawToLinear(uint8_t byte) {
    constexpr int kBias = 0x84;
    const int code = ~byte & 0xFF;
    const int magnitude = ((((code & 0x0F) << 3) + kBias) << ((code & 0x70) >> 4)) - kBias;
    return static_cast<int16_t>((code & 0x80) ? -magnitude : magnitude);
}

bool ReadAuSound(std::string_view path, PcmSound* out) {
    PakFilePtr file = OpenForReading(path);
    if (!file) return false;
    char magic[4];
    uint32_t offset = 0, size = 0, encoding = 0, rate = 0, channels = 0;
    if (!ReadBytes(file.get(), magic, 4) || std::memcmp(magic, ".snd", 4) != 0) return false;
    if (!ReadBe32(file.get(), &offset) || !ReadBe32(file.get(), &size) || !ReadBe32(file.get(), &encoding) ||
        !ReadBe32(file.get(), &rate) || !ReadBe32(file.get(), &channels))
        return false;
    if (encoding != kMuLaw8 && encoding != kLinear8) return false;
    if (offset > 0x7FFFFFFF || PakSeek(file.get(), static_cast<long>(offset), SEEK_SET) != 0) return false;
    if (size > BytesLeft(file.get()) || channels > 0xFFFF) return false;
    std::vector<uint8_t> bytes(size);
    if (!ReadBytes(file.get(), bytes.data(), size)) return false;
    file.reset();

    const auto channelCount = static_cast<uint16_t>(channels);
    if (encoding == kLinear8) {
        // AU's linear bytes are signed; 8-bit PCM is unsigned with 128 as silence.
        out->format = MakePcmFormat(channelCount, rate, 8);
        for (uint8_t& b : bytes) b ^= 0x80;
        out->data = std::move(bytes);
        return true;
    }
    out->format = MakePcmFormat(channelCount, rate, 16);
    out->data.resize(2 * static_cast<size_t>(size));
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto s = static_cast<uint16_t>(MuLawToLinear(bytes[i]));
        out->data[2 * i] = static_cast<uint8_t>(s & 0xFF);
        out->data[2 * i + 1] = static_cast<uint8_t>(s >> 8);
    }
    return true;
}
