#pragma once
// Writing pack files: every regular file below a folder becomes one entry,
// named by its path relative to the folder with '\\' separators, in byte
// order of the names, with its size and last-write time; every byte of the
// result is XORed with the pack key. Symbolic links to folders are not
// entered. The pack is written beside its final name and renamed over it
// when complete, so a failed build leaves any earlier pack untouched.
// Used by the pakbuild tool at build time; not thread-safe per output path.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct PakBuildResult {
    bool ok = false;
    std::string error;  // why the build failed, naming the file concerned
    size_t files = 0;
    uint64_t dataBytes = 0;
};

PakBuildResult BuildPack(std::string_view sourceFolder, std::string_view packPath);
