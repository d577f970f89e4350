#pragma once
// The music library as its users find it: a library loaded by path whose
// entry points are looked up by name ("BASS_Init", "BASS_ChannelPlay" ...)
// and cast to their types from music_types.h. The one real library is
// linked into the program (LinkedMusicLibraryLoader); the loader is an
// interface so that a library that is missing, or lacks an entry point, can
// be simulated and its failure paths exercised.
//
// Every loaded handle shares the one library state of the process, which
// lives while at least one handle does.

#include <memory>
#include <string_view>

namespace plat {

using MusicProc = void (*)();

class MusicLibrary {
public:
    virtual ~MusicLibrary() = default;
    // The entry point of that name, or null.
    virtual MusicProc Find(std::string_view name) const = 0;
};

class MusicLibraryLoader {
public:
    virtual ~MusicLibraryLoader() = default;
    // The library at `path`, or null when it cannot be loaded.
    virtual std::unique_ptr<MusicLibrary> Load(std::string_view path) = 0;
};

// Loads the built-in library whatever the path names: it is always present.
class LinkedMusicLibraryLoader : public MusicLibraryLoader {
public:
    std::unique_ptr<MusicLibrary> Load(std::string_view path) override;
};

}  // namespace plat
