// Playing once and looping, positions, resampling and duplicates, read
// through the pulled mix.

#include "tests/platform/sound_test_support.h"

namespace {

using namespace testsupport;

// Sample k of a ramp is 100 * (k + 1): distinct and never silent.
std::vector<int16_t> Ramp(int frames) {
    std::vector<int16_t> s(frames);
    for (int k = 0; k < frames; ++k) s[k] = static_cast<int16_t>(100 * (k + 1));
    return s;
}

TEST(SoundPlayback, LoopingWrapsExactlyAtTheEnd) {
    auto device = Manual();
    const auto ramp = Ramp(37);
    auto buffer = Mono16(*device, ramp);
    ASSERT_EQ(buffer->Play(plat::kSoundPlayLooping), plat::kSoundOk);
    EXPECT_EQ(Status(*buffer), plat::kSoundStatusPlaying | plat::kSoundStatusLooping);
    const auto out = Pull(*device, 37 * 3 + 5);
    for (std::size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i].left, ramp[i % 37]) << i;
    EXPECT_EQ(PlayPosition(*buffer), 5u * 2);
}

TEST(SoundPlayback, OnceStopsAtItsEndWithPositionBackAtStart) {
    auto device = Manual();
    const auto ramp = Ramp(300);  // longer than one mixing block
    auto buffer = Mono16(*device, ramp);
    ASSERT_EQ(buffer->Play(0), plat::kSoundOk);
    EXPECT_EQ(Status(*buffer), plat::kSoundStatusPlaying);

    auto out = Pull(*device, 299);
    for (int i = 0; i < 299; ++i) ASSERT_EQ(out[i].left, ramp[i]);
    EXPECT_EQ(Status(*buffer), plat::kSoundStatusPlaying);
    EXPECT_EQ(PlayPosition(*buffer), 299u * 2);

    out = Pull(*device, 3);
    EXPECT_EQ(out[0].left, ramp[299]);
    EXPECT_EQ(out[1].left, 0);
    EXPECT_EQ(Status(*buffer), 0u);
    EXPECT_EQ(PlayPosition(*buffer), 0u);

    // Played again, it starts over.
    ASSERT_EQ(buffer->Play(0), plat::kSoundOk);
    EXPECT_EQ(Pull(*device, 1)[0].left, ramp[0]);
}

TEST(SoundPlayback, StopKeepsThePositionAndPlayResumesThere) {
    auto device = Manual();
    const auto ramp = Ramp(50);
    auto mono = Mono16(*device, ramp);
    ASSERT_EQ(mono->Play(0), plat::kSoundOk);
    Pull(*device, 20);
    ASSERT_EQ(mono->Stop(), plat::kSoundOk);
    EXPECT_EQ(Status(*mono), 0u);
    EXPECT_EQ(PlayPosition(*mono), 40u);
    EXPECT_EQ(Pull(*device, 5)[0].left, 0);
    ASSERT_EQ(mono->Play(0), plat::kSoundOk);
    EXPECT_EQ(Pull(*device, 1)[0].left, ramp[20]);
    // Play while playing only changes looping.
    ASSERT_EQ(mono->Play(plat::kSoundPlayLooping), plat::kSoundOk);
    EXPECT_EQ(Pull(*device, 1)[0].left, ramp[21]);
    EXPECT_EQ(Status(*mono), plat::kSoundStatusPlaying | plat::kSoundStatusLooping);
}

TEST(SoundPlayback, SetPositionRoundsDownToAFrameAndRejectsPastTheEnd) {
    auto device = Manual();
    std::vector<int16_t> stereo(2 * 40);
    for (int k = 0; k < 40; ++k) stereo[2 * k] = stereo[2 * k + 1] = static_cast<int16_t>(k * 10 + 1);
    auto buffer = Stereo16(*device, stereo);
    ASSERT_EQ(buffer->SetCurrentPosition(4 * 7 + 3), plat::kSoundOk);
    EXPECT_EQ(PlayPosition(*buffer), 4u * 7);
    ASSERT_EQ(buffer->Play(0), plat::kSoundOk);
    EXPECT_EQ(Pull(*device, 1)[0].right, 71);
    EXPECT_EQ(buffer->SetCurrentPosition(160), plat::kSoundErrInvalidParam);
    EXPECT_EQ(PlayPosition(*buffer), 4u * 8);
    plat::SoundPosition pos;
    ASSERT_EQ(buffer->GetCurrentPosition(&pos), plat::kSoundOk);
    EXPECT_EQ(pos.write, pos.play);
}

TEST(SoundPlayback, DoubledFrequencyReadsEveryOtherSample) {
    auto device = Manual();
    const auto ramp = Ramp(200);
    auto buffer = Mono16(*device, ramp);
    ASSERT_EQ(buffer->SetFrequency(88200), plat::kSoundOk);
    ASSERT_EQ(buffer->Play(0), plat::kSoundOk);
    const auto out = Pull(*device, 100);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(out[i].left, ramp[2 * i]) << i;
    EXPECT_EQ(Status(*buffer), 0u);
}

TEST(SoundPlayback, HalfRateBufferInterpolatesBetweenSamples) {
    auto device = Manual();
    const std::vector<int16_t> s = {1000, 3000, -2000, 500};
    auto buffer = Mono16(*device, s, 22050);
    uint32_t hz = 0;
    ASSERT_EQ(buffer->GetFrequency(&hz), plat::kSoundOk);
    EXPECT_EQ(hz, 22050u);
    ASSERT_EQ(buffer->Play(0), plat::kSoundOk);
    const auto out = Pull(*device, 8);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(out[2 * k].left, s[k]);
        EXPECT_NEAR(out[2 * k + 1].left, (s[k] + s[k + 1]) / 2.0, 1.0);
    }
    EXPECT_EQ(out[6].left, s[3]);
    EXPECT_EQ(out[7].left, s[3]);  // past the end of a one-shot the last sample holds
}

TEST(SoundPlayback, HalfRateLoopInterpolatesAcrossTheWrap) {
    auto device = Manual();
    const std::vector<int16_t> s = {1000, 3000, -2000, 500};
    auto buffer = Mono16(*device, s, 22050);
    ASSERT_EQ(buffer->Play(plat::kSoundPlayLooping), plat::kSoundOk);
    const auto out = Pull(*device, 10);
    EXPECT_NEAR(out[7].left, (s[3] + s[0]) / 2.0, 1.0);
    EXPECT_EQ(out[8].left, s[0]);
    EXPECT_NEAR(out[9].left, (s[0] + s[1]) / 2.0, 1.0);
}

TEST(SoundPlayback, FrequencyZeroRestoresTheBufferRateAndBoundsAreChecked) {
    auto device = Manual();
    auto buffer = Mono16(*device, Ramp(8), 11025);
    uint32_t hz = 0;
    EXPECT_EQ(buffer->SetFrequency(99), plat::kSoundErrInvalidParam);
    EXPECT_EQ(buffer->SetFrequency(200001), plat::kSoundErrInvalidParam);
    ASSERT_EQ(buffer->SetFrequency(200000), plat::kSoundOk);
    ASSERT_EQ(buffer->SetFrequency(plat::kSoundFrequencyOriginal), plat::kSoundOk);
    ASSERT_EQ(buffer->GetFrequency(&hz), plat::kSoundOk);
    EXPECT_EQ(hz, 11025u);
}

TEST(SoundPlayback, FastLoopOfOneFrameNeverReadsPastItsData) {
    auto device = Manual();
    auto buffer = Mono16(*device, {1234});
    ASSERT_EQ(buffer->SetFrequency(200000), plat::kSoundOk);
    ASSERT_EQ(buffer->Play(plat::kSoundPlayLooping), plat::kSoundOk);
    for (const Frame& f : Pull(*device, 1000)) ASSERT_EQ(f.left, 1234);
}

TEST(SoundPlayback, DuplicateSharesSamplesButNotStateOrSettings) {
    auto device = Manual();
    const auto ramp = Ramp(100);
    auto source = Mono16(*device, ramp);
    ASSERT_EQ(source->SetVolume(-600), plat::kSoundOk);
    ASSERT_EQ(source->SetPan(-10000), plat::kSoundOk);
    ASSERT_EQ(source->SetCurrentPosition(2 * 30), plat::kSoundOk);
    std::unique_ptr<plat::SoundBuffer> copy;
    ASSERT_EQ(device->DuplicateSoundBuffer(*source, &copy), plat::kSoundOk);

    // It starts stopped at 0 with the source's volume and pan.
    int32_t volume = 0, pan = 0;
    copy->GetVolume(&volume);
    copy->GetPan(&pan);
    EXPECT_EQ(volume, -600);
    EXPECT_EQ(pan, -10000);
    EXPECT_EQ(PlayPosition(*copy), 0u);
    EXPECT_EQ(Status(*copy), 0u);

    // Its own settings from here on: full volume, centred, from 0, while the
    // source plays left only from frame 30.
    ASSERT_EQ(copy->SetVolume(0), plat::kSoundOk);
    ASSERT_EQ(copy->SetPan(0), plat::kSoundOk);
    ASSERT_EQ(source->Play(0), plat::kSoundOk);
    ASSERT_EQ(copy->Play(plat::kSoundPlayLooping), plat::kSoundOk);
    auto out = Pull(*device, 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_NEAR(out[i].left, ramp[i] + ramp[30 + i] * Amplitude(-600), 1.0) << i;
        EXPECT_EQ(out[i].right, ramp[i]) << i;
    }
    ASSERT_EQ(source->Stop(), plat::kSoundOk);
    EXPECT_EQ(Status(*copy), plat::kSoundStatusPlaying | plat::kSoundStatusLooping);

    // New samples written through the source are heard through the copy.
    std::vector<int16_t> fresh(100, -50);
    Fill(*source, fresh.data());
    EXPECT_EQ(Pull(*device, 1)[0].right, -50);

    // The copy outlives the source.
    source.reset();
    EXPECT_EQ(Pull(*device, 1)[0].right, -50);
}

TEST(SoundPlayback, BufferOutlivingItsDeviceStaysUsable) {
    auto device = plat::SoundDevice::Create(plat::SoundOutput::Manual);
    auto buffer = Mono16(*device, Ramp(10));
    ASSERT_EQ(buffer->Play(plat::kSoundPlayLooping), plat::kSoundOk);
    device.reset();
    EXPECT_EQ(Status(*buffer), plat::kSoundStatusPlaying | plat::kSoundStatusLooping);
    EXPECT_EQ(buffer->Stop(), plat::kSoundOk);
}

}  // namespace
