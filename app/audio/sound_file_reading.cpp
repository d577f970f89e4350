#include "app/audio/sound_file_internal.h"

#include <cstdio>

namespace sound_files {

bool ReadBytes(PakFile* file, void* out, size_t count) { return count == 0 || PakRead(out, 1, count, file) == count; }

namespace {

template <class T, int Bytes>
bool ReadLittle(PakFile* file, T* out) {
    uint8_t b[Bytes];
    if (!ReadBytes(file, b, Bytes)) return false;
    T v = 0;
    for (int i = Bytes - 1; i >= 0; --i) v = static_cast<T>(v << 8 | b[i]);
    *out = v;
    return true;
}

}  // namespace

bool ReadLe16(PakFile* file, uint16_t* out) { return ReadLittle<uint16_t, 2>(file, out); }
bool ReadLe32(PakFile* file, uint32_t* out) { return ReadLittle<uint32_t, 4>(file, out); }
bool ReadLe64(PakFile* file, uint64_t* out) { return ReadLittle<uint64_t, 8>(file, out); }

bool ReadBe32(PakFile* file, uint32_t* out) {
    uint8_t b[4];
    if (!ReadBytes(file, b, 4)) return false;
    *out = static_cast<uint32_t>(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
    return true;
}

uint64_t BytesLeft(PakFile* file) {
    const long here = PakTell(file);
    if (here < 0 || PakSeek(file, 0, SEEK_END) != 0) return 0;
    const long end = PakTell(file);
    PakSeek(file, here, SEEK_SET);
    return end > here ? static_cast<uint64_t>(end - here) : 0;
}

}  // namespace sound_files
