// pakbuild FOLDER PACK: packs every file below FOLDER into the pack file PACK.
#include <cstdio>

#include "foundation/files/pak_writer.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: %s FOLDER PACK\nPacks every file below FOLDER into PACK.\n", argv[0]);
        return 2;
    }
    PakBuildResult result = BuildPack(argv[1], argv[2]);
    if (!result.ok) {
        std::fprintf(stderr, "pakbuild: %s\n", result.error.c_str());
        return 1;
    }
    std::printf("%s: %zu files, %llu bytes\n", argv[2], result.files,
                static_cast<unsigned long long>(result.dataBytes));
    return 0;
}
