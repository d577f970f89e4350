#pragma once
// Wildcard search of one folder, in the manner of the original platform's
// first-file / next-file search.
//
// The pattern is a data path: '\\' or '/' separators, a folder part resolved
// case-insensitively, and a last component with '*' and '?' matched without
// regard to case ("*.*" matches every name). A pattern without wildcards
// finds the one entry of that name. "." and ".." are never reported.
// Entries are reported in byte order of their names; the folder is read once
// by `First`, so later changes to it are not seen by `Next`.
// Threads: one search belongs to one thread at a time.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFileAttributeNormal = 0x80;

// What a search reports of one entry; times are Windows file times.
struct FindData {
    uint32_t attributes = 0;
    uint64_t creationTime = 0;
    uint64_t lastAccessTime = 0;
    uint64_t lastWriteTime = 0;
    uint64_t size = 0;
    std::string fileName;
};

class DirectorySearch {
public:
    // Starts a search; false (and no search running) when nothing matches.
    bool First(std::string_view pattern, FindData& out);
    // The next match; false when the search is exhausted.
    bool Next(FindData& out);
    void Close();
    bool IsOpen() const { return open_; }

private:
    bool Report(FindData& out);

    bool open_ = false;
    std::string folder_;  // native, with a trailing '/' unless empty
    std::vector<std::string> names_;
    size_t next_ = 0;
};

}  // namespace plat
