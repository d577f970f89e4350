#pragma once
// The music library as the tracks use it: loaded once per process from
// ".\bass.dll" through a plat::MusicLibraryLoader, its entry points looked up
// by name, shared by every BassTrackInterface and released by the last one.
// A library that does not load, or lacks an entry point the tracks need,
// ends the program: a box says which, and the exit status is 1, as for
// every fatal start-up error of the application.
// Threads: acquiring and releasing may come from any thread.

#include <memory>

#include "platform/music/music.h"

struct BASS_INSTANCE {
    std::unique_ptr<plat::MusicLibrary> library;
    plat::MusicInitFn Init = nullptr;
    plat::MusicVoidFn Free = nullptr;
    plat::MusicVoidFn Stop = nullptr;
    plat::MusicVoidFn Start = nullptr;
    plat::MusicSetConfigFn SetConfig = nullptr;  // optional: may stay null
    plat::MusicGetConfigFn GetConfig = nullptr;  // optional: may stay null
    plat::MusicChannelFn ChannelStop = nullptr;
    plat::MusicChannelPlayFn ChannelPlay = nullptr;
    plat::MusicChannelFn ChannelPause = nullptr;
    plat::MusicSetAttributeFn ChannelSetAttribute = nullptr;
    plat::MusicGetAttributeFn ChannelGetAttribute = nullptr;
    plat::MusicSetPositionFn ChannelSetPosition = nullptr;
    plat::MusicGetPositionFn ChannelGetPosition = nullptr;
    plat::MusicIsActiveFn ChannelIsActive = nullptr;
    plat::MusicFlagsFn ChannelFlags = nullptr;
    plat::MusicLoadFn MusicLoad = nullptr;
    plat::MusicChannelFn MusicFree = nullptr;
    plat::MusicStreamCreateFn StreamCreateFile = nullptr;
    plat::MusicChannelFn StreamFree = nullptr;
    plat::MusicErrorFn ErrorGetCode = nullptr;
};

// One more user of the shared instance, loaded with `loader` when there is
// none yet (any later loader is not asked). Never returns null.
BASS_INSTANCE* AcquireBassInstance(plat::MusicLibraryLoader& loader);
// One user fewer; the last one unloads the library.
void ReleaseBassInstance();
