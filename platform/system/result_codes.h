#pragma once
// The result codes the graphics and sound devices return, with their
// published numeric values: the engine stores them, passes them through
// unchanged and names the failures it shows (foundation's diagnostics table
// gives each its text). Success is zero, failures are negative 32-bit values.
// Every code is defined here once; the device headers use these names.

#include <cstdint>

namespace plat {

using HResult = int32_t;

constexpr HResult kOk = 0;

inline bool Failed(HResult r) { return r < 0; }
inline bool Succeeded(HResult r) { return r >= 0; }

// General failures, shared by both devices.
constexpr HResult kErrNoInterface = static_cast<HResult>(0x80004002u);
constexpr HResult kErrFail = static_cast<HResult>(0x80004005u);
constexpr HResult kErrNoAggregation = static_cast<HResult>(0x80040110u);
constexpr HResult kErrOutOfMemory = static_cast<HResult>(0x8007000Eu);
constexpr HResult kErrInvalidArg = static_cast<HResult>(0x80070057u);

// The graphics device.
constexpr HResult kErrOutOfVideoMemory = static_cast<HResult>(0x8876017Cu);
constexpr HResult kErrWrongTextureFormat = static_cast<HResult>(0x88760818u);
constexpr HResult kErrUnsupportedColorOperation = static_cast<HResult>(0x88760819u);
constexpr HResult kErrUnsupportedColorArg = static_cast<HResult>(0x8876081Au);
constexpr HResult kErrUnsupportedAlphaOperation = static_cast<HResult>(0x8876081Bu);
constexpr HResult kErrUnsupportedAlphaArg = static_cast<HResult>(0x8876081Cu);
constexpr HResult kErrTooManyOperations = static_cast<HResult>(0x8876081Du);
constexpr HResult kErrConflictingTextureFilter = static_cast<HResult>(0x8876081Eu);
constexpr HResult kErrUnsupportedFactorValue = static_cast<HResult>(0x8876081Fu);
constexpr HResult kErrConflictingRenderState = static_cast<HResult>(0x88760821u);
constexpr HResult kErrUnsupportedTextureFilter = static_cast<HResult>(0x88760822u);
constexpr HResult kErrConflictingTexturePalette = static_cast<HResult>(0x88760826u);
constexpr HResult kErrDriverInternalError = static_cast<HResult>(0x88760827u);
constexpr HResult kErrNotFound = static_cast<HResult>(0x88760866u);
constexpr HResult kErrMoreData = static_cast<HResult>(0x88760867u);
constexpr HResult kErrDeviceLost = static_cast<HResult>(0x88760868u);
constexpr HResult kErrDeviceNotReset = static_cast<HResult>(0x88760869u);
constexpr HResult kErrNotAvailable = static_cast<HResult>(0x8876086Au);
constexpr HResult kErrInvalidDevice = static_cast<HResult>(0x8876086Bu);
constexpr HResult kErrInvalidCall = static_cast<HResult>(0x8876086Cu);
constexpr HResult kErrInvalidData = static_cast<HResult>(0x88760B59u);

// The sound device. Its success and its two general failures are the shared ones.
constexpr HResult kSoundOk = kOk;
constexpr HResult kSoundErrOutOfMemory = kErrOutOfMemory;
constexpr HResult kSoundErrInvalidParam = kErrInvalidArg;
constexpr HResult kSoundErrAllocated = static_cast<HResult>(0x8878000Au);
constexpr HResult kSoundErrControlUnavailable = static_cast<HResult>(0x8878001Eu);
constexpr HResult kSoundErrInvalidCall = static_cast<HResult>(0x88780032u);
constexpr HResult kSoundErrPriorityNeeded = static_cast<HResult>(0x88780046u);
constexpr HResult kSoundErrBadFormat = static_cast<HResult>(0x88780064u);
constexpr HResult kSoundErrNoDriver = static_cast<HResult>(0x88780078u);
constexpr HResult kSoundErrAlreadyInitialized = static_cast<HResult>(0x88780082u);
constexpr HResult kSoundErrBufferLost = static_cast<HResult>(0x88780096u);
constexpr HResult kSoundErrOtherHasPriority = static_cast<HResult>(0x887800A0u);
constexpr HResult kSoundErrUninitialized = static_cast<HResult>(0x887800AAu);

}  // namespace plat
