// The AU reader: 8-bit mu-law, widened to 16 bits, and 8-bit linear.

#include <cstdio>
#include <cstring>

#include "app/audio/sound_file_internal.h"
#include "app/audio/sound_files.h"

using namespace sound_files;

namespace {

constexpr uint32_t kMuLaw8 = 1;
constexpr uint32_t kLinear8 = 2;

// The expansion table, by segments of `u` (a byte with its top bit set).
int MuLawMagnitude(int u) {
    if (u >= 240) return 2 * (255 - u);
    if (u >= 224) return 4 * (247 - u);
    if (u >= 208) return 8 * (235 - u);
    if (u >= 192) return 16 * (221 - u);
    if (u >= 176) return 32 * (206 - u);
    if (u >= 160) return 12192 - 64 * u;
    if (u >= 144) return 22368 - 128 * u;
    if (u >= 129) return 40672 - 256 * u;
    return 255;
}

}  // namespace

int16_t MuLawToLinear(uint8_t byte) {
    const int m = MuLawMagnitude(byte | 128);
    return static_cast<int16_t>(byte >= 128 ? 4 * m : -4 * m);
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
