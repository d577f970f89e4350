#pragma once
// Helpers for the sound tests: a manually pulled device, buffers filled
// through Lock/Unlock, and reading mixed output frame by frame.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/sound/sound.h"

namespace testsupport {

inline std::unique_ptr<plat::SoundDevice> Manual() { return plat::SoundDevice::Create(plat::SoundOutput::Manual); }

inline plat::SoundFormat Pcm(uint16_t channels, uint16_t bits, uint32_t rate = 44100) {
    plat::SoundFormat f;
    f.channels = channels;
    f.bitsPerSample = bits;
    f.samplesPerSec = rate;
    f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    f.avgBytesPerSec = f.blockAlign * rate;
    return f;
}

// Writes `bytes` over the whole buffer through a lock.
inline void Fill(plat::SoundBuffer& buffer, const void* bytes) {
    plat::SoundLock lock;
    ASSERT_EQ(buffer.Lock(0, 0, plat::kSoundLockEntireBuffer, &lock), plat::kSoundOk);
    std::memcpy(lock.part1, bytes, lock.bytes1);
    ASSERT_EQ(buffer.Unlock(lock), plat::kSoundOk);
}

inline std::unique_ptr<plat::SoundBuffer> MakeBuffer(plat::SoundDevice& device, const plat::SoundFormat& format,
                                                     const void* bytes, uint32_t size) {
    plat::SoundBufferDesc desc;
    desc.flags = plat::kSoundBufferStatic | plat::kSoundBufferCtrlVolume | plat::kSoundBufferCtrlPan |
                 plat::kSoundBufferCtrlFrequency;
    desc.bytes = size;
    desc.format = format;
    std::unique_ptr<plat::SoundBuffer> buffer;
    EXPECT_EQ(device.CreateSoundBuffer(desc, &buffer), plat::kSoundOk);
    if (buffer) Fill(*buffer, bytes);
    return buffer;
}

inline std::unique_ptr<plat::SoundBuffer> Mono16(plat::SoundDevice& device, const std::vector<int16_t>& samples,
                                                 uint32_t rate = 44100) {
    return MakeBuffer(device, Pcm(1, 16, rate), samples.data(), static_cast<uint32_t>(samples.size() * 2));
}

inline std::unique_ptr<plat::SoundBuffer> Stereo16(plat::SoundDevice& device, const std::vector<int16_t>& interleaved) {
    return MakeBuffer(device, Pcm(2, 16), interleaved.data(), static_cast<uint32_t>(interleaved.size() * 2));
}

struct Frame {
    int left;
    int right;
};

inline std::vector<Frame> Pull(plat::SoundDevice& device, std::size_t frames) {
    std::vector<int16_t> raw(2 * frames, int16_t{0x5A5A});  // not silence: mixing must overwrite
    EXPECT_TRUE(device.Pull(raw.data(), frames));
    std::vector<Frame> out(frames);
    for (std::size_t i = 0; i < frames; ++i) out[i] = {raw[2 * i], raw[2 * i + 1]};
    return out;
}

// The attenuation rule, written out independently of the mixer.
inline double Amplitude(int hundredthsDb) { return std::pow(10.0, hundredthsDb / 2000.0); }

inline uint32_t Status(const plat::SoundBuffer& buffer) {
    uint32_t status = 0xFFFFFFFF;
    EXPECT_EQ(buffer.GetStatus(&status), plat::kSoundOk);
    return status;
}

inline uint32_t PlayPosition(const plat::SoundBuffer& buffer) {
    plat::SoundPosition pos;
    EXPECT_EQ(buffer.GetCurrentPosition(&pos), plat::kSoundOk);
    return pos.play;
}

}  // namespace testsupport
