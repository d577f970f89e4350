// Pack files: the input is mounted as a pack; its directory is listed
// through the wildcard search and every entry it names is opened and read
// through each of the reading calls.
#include <string>
#include <vector>

#include "foundation/files/pak_interface.h"
#include "fuzz/harness.h"

namespace {

// The entry names as the directory stores them, for opening the entries:
// the search hands out file names without their folders. Follows the
// layout only as far as needed to find the names.
std::vector<std::string> StoredNames(const uint8_t* data, size_t size) {
    std::vector<std::string> names;
    size_t pos = 8;  // magic and version
    while (pos + 2 <= size) {
        const uint8_t flags = data[pos] ^ kPakXorKey;
        if (flags & kPakEndOfDirectory) break;
        const size_t length = data[pos + 1] ^ kPakXorKey;
        pos += 2;
        if (size - pos < length) break;
        std::string name(length, '\0');
        PakUnscramble(reinterpret_cast<uint8_t*>(name.data()), data + pos, length);
        names.push_back(std::move(name));
        pos += length + 12;  // size and file time
    }
    return names;
}

void ReadEntry(PakInterface& pak, const std::string& name) {
    PakFile* file = pak.FindEntry(name, "rb");
    if (file == nullptr) return;
    char buffer[97];
    while (pak.Read(buffer, 1, sizeof buffer, file) == sizeof buffer) {}
    pak.Seek(file, -5, SEEK_END);
    pak.Read(buffer, 4, 3, file);
    pak.Seek(file, 3, SEEK_SET);
    pak.Seek(file, -7, SEEK_CUR);
    pak.Tell(file);
    for (int i = 0; i < 64 && pak.GetChar(file) >= 0; ++i) {}
    pak.UngetChar('x', file);
    pak.Seek(file, 0, SEEK_SET);
    while (pak.ReadLine(buffer, sizeof buffer, file) != nullptr) {}
    pak.AtEnd(file);
    pak.CloseFile(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteScratchFile("input.pak", data, size);
    PakInterface pak;
    pak.Mount(path);

    // The pack's own entries all come before any file of the working folder,
    // so stopping at the entry count never lists the disk.
    plat::FindData found;
    PakFindData* search = pak.EntryCount() > 0 ? pak.FindFirst("*", &found) : nullptr;
    for (size_t listed = 1; search && listed < pak.EntryCount() && pak.FindNext(search, &found); ++listed) {}
    pak.FindClose(search);

    for (const std::string& name : StoredNames(data, size)) ReadEntry(pak, name);
    return 0;
}
