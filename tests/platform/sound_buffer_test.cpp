// Creating buffers, locking and unlocking them, and the primary buffer.

#include <numeric>

#include "tests/platform/sound_test_support.h"

namespace {

using namespace testsupport;

std::vector<uint8_t> ReadAll(plat::SoundBuffer& buffer) {
    plat::SoundLock lock;
    EXPECT_EQ(buffer.Lock(0, 0, plat::kSoundLockEntireBuffer, &lock), plat::kSoundOk);
    std::vector<uint8_t> bytes(static_cast<uint8_t*>(lock.part1), static_cast<uint8_t*>(lock.part1) + lock.bytes1);
    lock.bytes1 = 0;  // nothing written
    EXPECT_EQ(buffer.Unlock(lock), plat::kSoundOk);
    return bytes;
}

TEST(SoundBufferLock, RegionPastTheEndComesBackAsTwoParts) {
    auto device = Manual();
    std::vector<uint8_t> bytes(100);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0});
    auto buffer = MakeBuffer(*device, Pcm(1, 8), bytes.data(), 100);

    plat::SoundLock lock;
    ASSERT_EQ(buffer->Lock(80, 40, 0, &lock), plat::kSoundOk);
    ASSERT_EQ(lock.bytes1, 20u);
    ASSERT_EQ(lock.bytes2, 20u);
    ASSERT_NE(lock.part2, nullptr);
    auto* p1 = static_cast<uint8_t*>(lock.part1);
    auto* p2 = static_cast<uint8_t*>(lock.part2);
    EXPECT_EQ(p1[0], 80);  // the parts hold the current contents
    EXPECT_EQ(p2[0], 0);
    EXPECT_EQ(p2[19], 19);
    std::fill(p1, p1 + 20, uint8_t{200});
    std::fill(p2, p2 + 20, uint8_t{201});
    ASSERT_EQ(buffer->Unlock(lock), plat::kSoundOk);

    const auto after = ReadAll(*buffer);
    for (int i = 0; i < 100; ++i) {
        const int expected = i < 20 ? 201 : (i >= 80 ? 200 : i);
        ASSERT_EQ(after[i], expected) << i;
    }
}

TEST(SoundBufferLock, OnlyTheBytesReportedWrittenAreCopiedBack) {
    auto device = Manual();
    std::vector<uint8_t> bytes(16, 7);
    auto buffer = MakeBuffer(*device, Pcm(1, 8), bytes.data(), 16);
    plat::SoundLock lock;
    ASSERT_EQ(buffer->Lock(12, 8, 0, &lock), plat::kSoundOk);
    std::fill_n(static_cast<uint8_t*>(lock.part1), lock.bytes1, uint8_t{1});
    std::fill_n(static_cast<uint8_t*>(lock.part2), lock.bytes2, uint8_t{2});
    lock.bytes1 = 3;
    lock.bytes2 = 1;
    ASSERT_EQ(buffer->Unlock(lock), plat::kSoundOk);
    const std::vector<uint8_t> expected = {2, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 1, 1, 1, 7};
    EXPECT_EQ(ReadAll(*buffer), expected);
}

TEST(SoundBufferLock, FromWriteCursorStartsWhereTheMixerWillReadNext) {
    auto device = Manual();
    auto buffer = Mono16(*device, std::vector<int16_t>(100, 5));
    ASSERT_EQ(buffer->Play(plat::kSoundPlayLooping), plat::kSoundOk);
    Pull(*device, 90);
    plat::SoundLock lock;
    ASSERT_EQ(buffer->Lock(0, 40, plat::kSoundLockFromWriteCursor, &lock), plat::kSoundOk);
    EXPECT_EQ(lock.bytes1, 20u);
    EXPECT_EQ(lock.bytes2, 20u);
    int16_t loud[10];
    std::fill_n(loud, 10, int16_t{-900});
    std::memcpy(lock.part1, loud, 20);
    std::memcpy(lock.part2, loud, 20);
    ASSERT_EQ(buffer->Unlock(lock), plat::kSoundOk);
    const auto out = Pull(*device, 22);
    for (int i = 0; i < 20; ++i) ASSERT_EQ(out[i].left, -900) << i;
    EXPECT_EQ(out[20].left, 5);
}

TEST(SoundBufferLock, MisuseIsRefusedWithoutLosingTheLock) {
    auto device = Manual();
    std::vector<uint8_t> bytes(32, 128);
    auto buffer = MakeBuffer(*device, Pcm(1, 8), bytes.data(), 32);
    plat::SoundLock lock;
    EXPECT_EQ(buffer->Unlock(lock), plat::kSoundErrInvalidCall);
    EXPECT_EQ(buffer->Lock(32, 1, 0, &lock), plat::kSoundErrInvalidParam);
    EXPECT_EQ(buffer->Lock(0, 33, 0, &lock), plat::kSoundErrInvalidParam);
    EXPECT_EQ(buffer->Lock(0, 0, 0, &lock), plat::kSoundErrInvalidParam);
    EXPECT_EQ(buffer->Lock(0, 1, 0, nullptr), plat::kSoundErrInvalidParam);

    ASSERT_EQ(buffer->Lock(30, 4, 0, &lock), plat::kSoundOk);
    plat::SoundLock other;
    EXPECT_EQ(buffer->Lock(0, 4, 0, &other), plat::kSoundErrInvalidCall);
    plat::SoundLock bad = lock;
    bad.bytes1 = 3;
    EXPECT_EQ(buffer->Unlock(bad), plat::kSoundErrInvalidParam);
    bad = lock;
    bad.part1 = bytes.data();
    EXPECT_EQ(buffer->Unlock(bad), plat::kSoundErrInvalidParam);
    bad = lock;
    bad.part2 = nullptr;
    EXPECT_EQ(buffer->Unlock(bad), plat::kSoundErrInvalidParam);
    EXPECT_EQ(buffer->Unlock(lock), plat::kSoundOk);
    EXPECT_EQ(buffer->Unlock(lock), plat::kSoundErrInvalidCall);
}

TEST(SoundBufferCreate, RefusesFormatsAndSizesTheMixerCannotPlay) {
    auto device = Manual();
    plat::SoundFormat badTag = Pcm(2, 16), badAlign = Pcm(2, 16);
    badTag.formatTag = 3;
    badAlign.blockAlign = 2;
    const struct {
        plat::SoundFormat format;
        uint32_t bytes;
        plat::SoundResult result;
    } cases[] = {
        {Pcm(2, 16), 4, plat::kSoundOk},
        {Pcm(1, 8, 100), 1, plat::kSoundOk},
        {Pcm(2, 16), 3, plat::kSoundErrInvalidParam},  // less than a frame
        {Pcm(2, 16), 0x10000000, plat::kSoundErrInvalidParam},
        {badTag, 64, plat::kSoundErrInvalidParam},
        {badAlign, 64, plat::kSoundErrInvalidParam},
        {Pcm(3, 16), 64, plat::kSoundErrInvalidParam},
        {Pcm(1, 24), 64, plat::kSoundErrInvalidParam},
        {Pcm(1, 16, 99), 64, plat::kSoundErrInvalidParam},
        {Pcm(1, 16, 200001), 64, plat::kSoundErrInvalidParam},
    };
    for (const auto& c : cases) {
        plat::SoundBufferDesc desc;
        desc.bytes = c.bytes;
        desc.format = c.format;
        std::unique_ptr<plat::SoundBuffer> buffer;
        EXPECT_EQ(device->CreateSoundBuffer(desc, &buffer), c.result) << c.bytes << " " << c.format.channels;
        EXPECT_EQ(buffer != nullptr, c.result == plat::kSoundOk);
    }

    // A buffer whose size is not whole frames plays its whole frames only.
    plat::SoundBufferDesc desc;
    desc.bytes = 7;
    desc.format = Pcm(1, 16);
    std::unique_ptr<plat::SoundBuffer> odd;
    ASSERT_EQ(device->CreateSoundBuffer(desc, &odd), plat::kSoundOk);
    EXPECT_EQ(odd->Bytes(), 7u);
    ASSERT_EQ(odd->Play(0), plat::kSoundOk);
    Pull(*device, 3);
    EXPECT_EQ(Status(*odd), 0u);
}

TEST(SoundPrimaryBuffer, NeedsACooperativeLevelAndThePriorityLevelForItsFormat) {
    auto device = Manual();
    std::unique_ptr<plat::PrimarySoundBuffer> primary;
    EXPECT_EQ(device->CreatePrimaryBuffer(&primary), plat::kSoundErrInvalidCall);
    EXPECT_EQ(primary, nullptr);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, plat::SoundCooperation::Priority), plat::kSoundErrInvalidParam);

    // The level only checks that a window was named; it never dereferences it.
    auto* window = reinterpret_cast<plat::NativeWindow*>(&primary);
    ASSERT_EQ(device->SetCooperativeLevel(window, plat::SoundCooperation::Normal), plat::kSoundOk);
    ASSERT_EQ(device->CreatePrimaryBuffer(&primary), plat::kSoundOk);
    const plat::SoundFormat wanted = Pcm(2, 16, 44100);
    EXPECT_EQ(primary->SetFormat(wanted), plat::kSoundErrInvalidCall);

    ASSERT_EQ(device->SetCooperativeLevel(window, plat::SoundCooperation::Priority), plat::kSoundOk);
    EXPECT_EQ(primary->SetFormat(Pcm(2, 12, 44100)), plat::kSoundErrInvalidParam);
    ASSERT_EQ(primary->SetFormat(Pcm(1, 8, 22050)), plat::kSoundOk);
    plat::SoundFormat got;
    ASSERT_EQ(primary->GetFormat(&got), plat::kSoundOk);
    EXPECT_EQ(got.samplesPerSec, 22050u);
    EXPECT_EQ(got.channels, 1u);
    EXPECT_EQ(got.bitsPerSample, 8u);
}

TEST(SoundBufferCreate, DuplicateOfAnotherDevicesBufferIsRefused) {
    auto a = Manual();
    auto b = Manual();
    auto buffer = Mono16(*a, {1, 2, 3});
    std::unique_ptr<plat::SoundBuffer> copy;
    EXPECT_EQ(b->DuplicateSoundBuffer(*buffer, &copy), plat::kSoundErrInvalidParam);
    EXPECT_EQ(copy, nullptr);
}

}  // namespace
