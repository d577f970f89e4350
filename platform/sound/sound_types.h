#pragma once
// Plain value types of the sound device: buffer, lock, play and status flags,
// the PCM format record and the buffer description, with its result codes
// from result_codes.h. Flag bits keep the published numeric values, since the
// engine stores them and passes them through unchanged.

#include <cstdint>

#include "platform/system/result_codes.h"

namespace plat {

using SoundResult = HResult;

inline bool SoundFailed(SoundResult r) { return r < 0; }

// Buffer description flags. Every buffer is mixed in software and can change
// volume, pan and frequency, so these are accepted for the callers that name
// them and change nothing; the primary buffer has its own creation call.
constexpr uint32_t kSoundBufferStatic = 0x2;
constexpr uint32_t kSoundBufferSoftware = 0x8;
constexpr uint32_t kSoundBufferCtrlFrequency = 0x20;
constexpr uint32_t kSoundBufferCtrlPan = 0x40;
constexpr uint32_t kSoundBufferCtrlVolume = 0x80;
constexpr uint32_t kSoundBufferPreciseCursor = 0x8000;

// Lock flags: start at the write cursor (the offset is ignored), or lock the
// whole buffer (offset and size are ignored).
constexpr uint32_t kSoundLockFromWriteCursor = 0x1;
constexpr uint32_t kSoundLockEntireBuffer = 0x2;

// Play flag.
constexpr uint32_t kSoundPlayLooping = 0x1;

// Status bits.
constexpr uint32_t kSoundStatusPlaying = 0x1;
constexpr uint32_t kSoundStatusLooping = 0x4;

// Volume in hundredths of a decibel of attenuation; pan likewise, negative
// values attenuating the right side and positive ones the left.
constexpr int32_t kSoundVolumeMax = 0;
constexpr int32_t kSoundVolumeMin = -10000;
constexpr int32_t kSoundPanLeft = -10000;
constexpr int32_t kSoundPanCenter = 0;
constexpr int32_t kSoundPanRight = 10000;

// Playback frequency range in Hz; 0 asks for the buffer's own rate.
constexpr uint32_t kSoundFrequencyOriginal = 0;
constexpr uint32_t kSoundFrequencyMin = 100;
constexpr uint32_t kSoundFrequencyMax = 200000;

// The rate, width and channel count the mixer produces.
constexpr uint32_t kSoundOutputRate = 44100;
constexpr uint32_t kSoundOutputChannels = 2;
// The loudest sample the mix sends out, half a decibel under full scale:
// louder sums are turned down as a whole rather than clipped (sound_core).
constexpr float kSoundOutputCeiling = 31000.0f;

constexpr uint16_t kSoundFormatPcm = 1;

struct SoundFormat {
    uint16_t formatTag = kSoundFormatPcm;
    uint16_t channels = 2;
    uint32_t samplesPerSec = 44100;
    uint32_t avgBytesPerSec = 176400;
    uint16_t blockAlign = 4;
    uint16_t bitsPerSample = 16;
};

struct SoundBufferDesc {
    uint32_t flags = 0;
    uint32_t bytes = 0;
    SoundFormat format;
};

// Where the write cursor is in a buffer is where the mixer has not yet read:
// the play and write cursors are both the next byte the mixer will read.
struct SoundPosition {
    uint32_t play = 0;
    uint32_t write = 0;
};

// The outcome of a Lock: the region as one or two parts, the second one
// (null and 0 when unused) continuing from the buffer's start after a wrap.
struct SoundLock {
    void* part1 = nullptr;
    uint32_t bytes1 = 0;
    void* part2 = nullptr;
    uint32_t bytes2 = 0;
};

enum class SoundCooperation : uint32_t { Normal = 1, Priority = 2 };

}  // namespace plat
