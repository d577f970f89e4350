#pragma once
// Turns a face name and style into the font files to try, best first.

#include <string>
#include <string_view>
#include <vector>

namespace plat::fonts_internal {

struct FontFile {
    std::string path;
    int index = 0;          // face index within the file (collections, instances)
    bool fallback = false;  // the requested face was not installed
};

// The installed face whose family is the requested one (fontconfig compares
// ignoring case and spaces), then DejaVu Sans in the nearest style, then
// whatever fontconfig finds best for the request. Files may be listed that no
// longer open; the caller takes the first that does.
std::vector<FontFile> CandidateFiles(std::string_view face, bool bold, bool italic);

// Fontconfig's comparison of family names: case and spaces do not count.
bool SameFamily(std::string_view a, std::string_view b);

}  // namespace plat::fonts_internal
