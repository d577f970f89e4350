#pragma once
// The cache of decoded sounds: a sound read from Ogg Vorbis or AU is kept as
// a WAV under the data folder's "cached\" folder, and read from there the
// next time. Each cached file records the file it was decoded from and that
// file's last-write time in a "dep " chunk, so the WAV reader refuses a copy
// whose source has changed since, and the sound is decoded afresh.

#include <cstdint>
#include <string>
#include <string_view>

#include "app/audio/pcm_sound.h"

// The cached copy's path for a sound name, or empty when the name is not
// cached: two characters or fewer, a name from the root ("\" or "/"), one
// with a drive (":" second), or one that climbs out of the folder ("..").
std::string CachedSoundPath(std::string_view name);

// What a cached copy depends on: the source file when it is loose, or the
// pack it was read from (a packed file has no time of its own), with that
// file's last-write time. The name must fit the chunk's 255 characters.
struct SoundDependency {
    std::string name;
    uint64_t fileTime = 0;
};
bool FindSoundDependency(std::string_view sourcePath, SoundDependency* out);

// Writes the sound as a cached WAV (plain file, not through the pack):
// RIFF, "fmt ", "dep " when a dependency is given, "data". False for an
// empty path, a name too long for its chunk, or a file that cannot be written.
bool WriteCachedWav(std::string_view path, const PcmSound& sound, const SoundDependency* dependency);
