#pragma once
// Small helpers the sound file readers share: a pack file that closes
// itself, and little- and big-endian reads that fail on a short read.

#include <cstdint>
#include <memory>
#include <string_view>

#include "foundation/files/pak_access.h"

namespace sound_files {

struct PakFileCloser {
    void operator()(PakFile* file) const { PakCloseFile(file); }
};
using PakFilePtr = std::unique_ptr<PakFile, PakFileCloser>;

inline PakFilePtr OpenForReading(std::string_view path) { return PakFilePtr(PakOpenFile(path, "rb")); }

bool ReadBytes(PakFile* file, void* out, size_t count);
bool ReadLe16(PakFile* file, uint16_t* out);
bool ReadLe32(PakFile* file, uint32_t* out);
bool ReadLe64(PakFile* file, uint64_t* out);
bool ReadBe32(PakFile* file, uint32_t* out);
// Bytes from the current position to the end; the position is kept.
uint64_t BytesLeft(PakFile* file);

}  // namespace sound_files
