#pragma once
// An encoder of pack files for tests, written from the format alone so the
// reader is never checked against itself. Fields can be falsified to build
// damaged packs.

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct RawEntry {
    std::string name;
    std::string data;
    uint64_t time = 0;
    int64_t declaredSize = -1;  // the size written in the directory; -1: the data's size
};

struct RawPack {
    std::vector<RawEntry> entries;
    uint32_t magic = 0xBAC04AC0;
    uint32_t version = 0;
    size_t cutDirectoryAfter = SIZE_MAX;  // bytes of directory kept (to truncate it)
};

inline void Put(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::string Encode(const RawPack& pack) {
    std::string header, data;
    Put(header, pack.magic, 4);
    Put(header, pack.version, 4);
    for (const RawEntry& e : pack.entries) {
        header += '\0';
        header += static_cast<char>(e.name.size());
        header += e.name;
        Put(header, e.declaredSize < 0 ? e.data.size() : static_cast<uint64_t>(e.declaredSize), 4);
        Put(header, e.time, 8);
        data += e.data;
    }
    std::string bytes;
    if (pack.cutDirectoryAfter < header.size()) {
        bytes = header.substr(0, pack.cutDirectoryAfter);
    } else {
        header += '\x80';
        bytes = header + data;
    }
    for (char& c : bytes) c = static_cast<char>(c ^ 0xA3);
    return bytes;
}

}  // namespace testsupport
