#pragma once
// Numbers of the music library: handles, option, attribute and flag values,
// channel states, error codes, and the types of its entry points as the
// library's table hands them out (music_library.h).

#include <cstdint>

namespace plat {

class SoundDevice;

// A stream or a module; 0 is never a valid handle.
using MusicHandle = uint32_t;

// Options of SetConfig and GetConfig.
constexpr uint32_t kMusicConfigBufferMs = 0;            // kept for the caller; mixing is block by block
constexpr uint32_t kMusicConfigGlobalStreamVolume = 5;  // 0..10000
constexpr uint32_t kMusicConfigGlobalMusicVolume = 6;   // 0..10000, module music

// Channel attributes. A value outside an attribute's range leaves it as it
// was and fails, which is how callers say "keep the current value".
constexpr uint32_t kMusicAttribFrequency = 1;    // streams: 100..200000 Hz playback rate
constexpr uint32_t kMusicAttribVolume = 2;       // 0..1
constexpr uint32_t kMusicAttribPan = 3;          // -1 (left) .. 1 (right)
constexpr uint32_t kMusicAttribAmplify = 0x100;  // modules: 0..100, 50 plays as rendered

// Channel flags (ChannelFlags and the load calls).
constexpr uint32_t kMusicFlagLoop = 0x4;
constexpr uint32_t kMusicFlagRamp = 0x200;       // accepted; module voices always ramp
constexpr uint32_t kMusicFlagPosReset = 0x8000;  // accepted; a module jump starts the new order afresh

// Channel states (ChannelIsActive).
constexpr uint32_t kMusicStopped = 0;
constexpr uint32_t kMusicPlaying = 1;
constexpr uint32_t kMusicPaused = 3;

// Position mode: bytes of 16-bit decoded output. For module music a value
// whose bit 31 is set (also sign-extended to 64 bits) names an order and a
// row instead: 0x80000000 | order | row << 16.
constexpr uint32_t kMusicPosByte = 0;
constexpr uint64_t kMusicPositionOrderBit = 0x80000000u;
constexpr uint64_t kMusicPositionInvalid = ~uint64_t{0};

// Error codes (ErrorGetCode), set by every failing call.
enum MusicError : int {
    kMusicOk = 0,
    kMusicErrMemory = 1,
    kMusicErrHandle = 5,
    kMusicErrFormat = 6,  // a stream layout the mixer cannot play
    kMusicErrPosition = 7,
    kMusicErrInit = 8,
    kMusicErrAlready = 14,
    kMusicErrNotPlaying = 24,
    kMusicErrIllegalType = 19,
    kMusicErrIllegalParam = 20,
    kMusicErrFileFormat = 41,
};

// The entry points. Streams and modules come from memory the caller keeps
// alive until the channel is freed.
using MusicInitFn = bool (*)(SoundDevice* output, uint32_t rate);
using MusicVoidFn = bool (*)();  // Free, Stop, Start
using MusicSetConfigFn = bool (*)(uint32_t option, uint32_t value);
using MusicGetConfigFn = uint32_t (*)(uint32_t option);
using MusicChannelFn = bool (*)(MusicHandle channel);  // ChannelStop, ChannelPause, StreamFree, MusicFree
using MusicChannelPlayFn = bool (*)(MusicHandle channel, bool restart);
using MusicSetAttributeFn = bool (*)(MusicHandle channel, uint32_t attribute, float value);
using MusicGetAttributeFn = bool (*)(MusicHandle channel, uint32_t attribute, float* value);
using MusicSetPositionFn = bool (*)(MusicHandle channel, uint64_t position, uint32_t mode);
using MusicGetPositionFn = uint64_t (*)(MusicHandle channel, uint32_t mode);
using MusicIsActiveFn = uint32_t (*)(MusicHandle channel);
// Answers the flags after the change, or ~0u for a bad handle.
using MusicFlagsFn = uint32_t (*)(MusicHandle channel, uint32_t flags, uint32_t mask);
using MusicLoadFn = MusicHandle (*)(const void* data, uint64_t offset, uint32_t length, uint32_t flags,
                                    uint32_t frequency);
using MusicStreamCreateFn = MusicHandle (*)(const void* data, uint64_t offset, uint64_t length, uint32_t flags);
using MusicErrorFn = int (*)();

}  // namespace plat
