// Where a sound id's samples come from: the cached copy of an earlier
// decode, name.wav, name.ogg or name.au, in that order.

#include "app/audio/cached_wav.h"
#include "app/audio/dsound_manager.h"
#include "app/audio/sound_files.h"
#include "foundation/files/path_utils.h"

bool DSoundManager::LoadFromFiles(int id, std::string_view name) {
    const std::string cached = CachedSoundPath(name);
    PcmSound sound;
    if (!cached.empty()) {
        if (ReadWavSound(cached, &sound) && LoadInto(id, sound)) return true;
        MakeDirectories(GetFileDir(cached));
    }
    const std::string base(name);
    if (ReadWavSound(base + ".wav", &sound) && LoadInto(id, sound)) return true;

    std::string source = base + ".ogg";
    bool decoded = ReadOggSound(source, &sound) && LoadInto(id, sound);
    if (!decoded) {
        source = base + ".au";
        decoded = ReadAuSound(source, &sound) && LoadInto(id, sound);
    }
    if (!decoded) return false;
    // The load stands whatever the cache write gives.
    SoundDependency dependency;
    if (!cached.empty() && FindSoundDependency(source, &dependency)) WriteCachedWav(cached, sound, &dependency);
    return true;
}
