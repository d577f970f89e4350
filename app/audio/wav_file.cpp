// The WAV reader, which also reads the cached copies of decoded sounds.

#include <cstdio>
#include <cstring>
#include <string>

#include "app/audio/sound_file_internal.h"
#include "app/audio/sound_files.h"
#include "platform/system/file_system.h"

using namespace sound_files;

namespace {

bool Tag(const char (&id)[4], const char* name) { return std::memcmp(id, name, 4) == 0; }

// A "dep " chunk: the file it names must still have the time it records.
bool DependencyHolds(PakFile* file) {
    uint16_t length = 0;
    if (!ReadLe16(file, &length)) return false;
    std::string name(length > 255 ? 255 : length, '\0');
    uint64_t recorded = 0;
    if (!ReadBytes(file, name.data(), name.size()) || !ReadLe64(file, &recorded)) return false;
    uint64_t now = 0;
    plat::GetFileWriteTime(name, &now);  // a file that is not there counts as time 0
    return now == recorded;
}

// What a PCM format chunk may claim: whole bytes of 8 to 32 bits a sample,
// and a block (one sample of every channel) its 16-bit field can hold.
bool PcmBlockFits(uint16_t channels, uint16_t bits) {
    return channels > 0 && bits >= 8 && bits <= 32 && bits % 8 == 0 && uint32_t{channels} * (bits / 8u) <= 0xFFFFu;
}

}  // namespace

bool ReadWavSound(std::string_view path, PcmSound* out) {
    PakFilePtr file = OpenForReading(path);
    if (!file) return false;
    char id[4];
    uint32_t size = 0;
    if (!ReadBytes(file.get(), id, 4) || !Tag(id, "RIFF") || !ReadLe32(file.get(), &size)) return false;
    if (!ReadBytes(file.get(), id, 4) || !Tag(id, "WAVE")) return false;

    uint16_t channels = 1, bits = 16;
    uint32_t rate = 22050;
    uint8_t scramble = 0;
    while (!PakAtEnd(file.get())) {
        if (!ReadBytes(file.get(), id, 4) || !ReadLe32(file.get(), &size)) break;
        const long start = PakTell(file.get());
        if (Tag(id, "fmt ")) {
            uint16_t tag = 0, align = 0;
            uint32_t bytesPerSecond = 0;
            if (!ReadLe16(file.get(), &tag) || !ReadLe16(file.get(), &channels) || !ReadLe32(file.get(), &rate) ||
                !ReadLe32(file.get(), &bytesPerSecond) || !ReadLe16(file.get(), &align) || !ReadLe16(file.get(), &bits))
                return false;
            if (tag != plat::kSoundFormatPcm || !PcmBlockFits(channels, bits)) return false;
        } else if (Tag(id, "dep ")) {
            if (!DependencyHolds(file.get())) return false;
        } else if (Tag(id, "xor ")) {
            if (!ReadBytes(file.get(), &scramble, 1)) return false;
        } else if (Tag(id, "data")) {
            // A size beyond the file's end is a short read: refused before allocating it.
            if (size > BytesLeft(file.get())) return false;
            out->format = MakePcmFormat(channels, rate, bits);
            out->data.resize(size);
            if (!ReadBytes(file.get(), out->data.data(), size)) return false;
            if (scramble != 0)
                for (uint8_t& b : out->data) b ^= scramble;
            return true;
        }
        // Every chunk is padded to an even length; the pad byte is not in its size.
        const long next = start + static_cast<long>(size) + static_cast<long>(size & 1);
        if (PakSeek(file.get(), next, SEEK_SET) != 0) break;
    }
    return false;
}
