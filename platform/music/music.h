#pragma once
// platform/music: the stand-in for the music library that the program loads
// at run time. Its users load it through a MusicLibraryLoader and look its
// entry points up by name (music_library.h), as they would in a shared
// library; the library itself is linked in. It plays streams (WAV and Ogg
// Vorbis, decoded by Tremor) and module music (rendered by libxmp) from
// memory, each with volume, pan, position, looping and pause, mixed at the
// output rate into a plat::SoundDevice next to the sound effects, scaled by
// the global stream or music volume.
// Promises: every call on a bad handle, or before Init, fails with an error
// code (ErrorGetCode), never a crash; data that does not parse fails to load;
// a channel that plays to its end without looping stops and starts over on
// its next play.
// Callers must not: free the memory of a stream before the stream, or
// destroy the output device before Free.
// Threads: any thread may call; channels decode on the output thread.

#include "platform/music/music_library.h"
#include "platform/music/music_types.h"
