// The mixed output against the attenuation, pan and sum formulas, and the ceiling.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <tuple>

#include "tests/platform/sound_test_support.h"

namespace {

using namespace testsupport;

TEST(SoundMixer, NothingPlayingMixesSilence) {
    auto device = Manual();
    auto buffer = Mono16(*device, std::vector<int16_t>(64, 12000));
    for (const Frame& f : Pull(*device, 300)) {
        EXPECT_EQ(f.left, 0);
        EXPECT_EQ(f.right, 0);
    }
}

class SoundVolume : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(SoundVolume, ConstantBufferScalesByTenToTheVolumeOver2000) {
    const auto [volume, x] = GetParam();
    auto device = Manual();
    auto buffer = Mono16(*device, std::vector<int16_t>(1000, static_cast<int16_t>(x)));
    ASSERT_EQ(buffer->SetVolume(volume), plat::kSoundOk);
    ASSERT_EQ(buffer->Play(0), plat::kSoundOk);
    // Louder than the ceiling a lone sound is limited to it.
    const double ceiling = plat::kSoundOutputCeiling;
    const double expected = std::clamp(x * Amplitude(volume), -ceiling, ceiling);
    for (const Frame& f : Pull(*device, 500)) {
        EXPECT_NEAR(f.left, expected, 1.0);
        EXPECT_NEAR(f.right, expected, 1.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Volumes, SoundVolume,
                         ::testing::Combine(::testing::Values(0, -1, -600, -2000, -4321, -9999, -10000),
                                            ::testing::Values(32767, -32768, 1000, -7)));

class SoundPan : public ::testing::TestWithParam<int> {};

TEST_P(SoundPan, AttenuatesTheSideItLeansAwayFrom) {
    const int pan = GetParam();
    const int volume = -300;
    const int x = 20000;
    auto device = Manual();
    auto buffer = Mono16(*device, std::vector<int16_t>(400, static_cast<int16_t>(x)));
    ASSERT_EQ(buffer->SetVolume(volume), plat::kSoundOk);
    ASSERT_EQ(buffer->SetPan(pan), plat::kSoundOk);
    ASSERT_EQ(buffer->Play(0), plat::kSoundOk);
    const double left = x * Amplitude(volume) * (pan > 0 ? Amplitude(-pan) : 1.0);
    const double right = x * Amplitude(volume) * (pan < 0 ? Amplitude(pan) : 1.0);
    const Frame f = Pull(*device, 10)[5];
    EXPECT_NEAR(f.left, left, 1.0);
    EXPECT_NEAR(f.right, right, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Pans, SoundPan, ::testing::Values(-10000, -2500, -1, 0, 1, 700, 6000, 10000));

TEST(SoundMixer, StereoChannelsKeepTheirSidesUnderPan) {
    auto device = Manual();
    auto buffer = Stereo16(*device, {1000, -3000, 1000, -3000, 1000, -3000});
    ASSERT_EQ(buffer->SetPan(-800), plat::kSoundOk);
    ASSERT_EQ(buffer->Play(0), plat::kSoundOk);
    const Frame f = Pull(*device, 1)[0];
    EXPECT_EQ(f.left, 1000);
    EXPECT_NEAR(f.right, -3000 * Amplitude(-800), 1.0);
}

TEST(SoundMixer, EightBitSamplesAreUnsignedAroundHalfScale) {
    auto device = Manual();
    // As near the ends of the range as the mixer's ceiling lets through.
    const uint8_t mono[] = {7, 128, 249, 100};
    auto m = MakeBuffer(*device, Pcm(1, 8), mono, sizeof mono);
    ASSERT_EQ(m->Play(0), plat::kSoundOk);
    const auto out = Pull(*device, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(out[i].left, (mono[i] - 128) * 256) << i;
        EXPECT_EQ(out[i].right, (mono[i] - 128) * 256) << i;
    }
    const uint8_t stereo[] = {200, 10};
    auto s = MakeBuffer(*device, Pcm(2, 8), stereo, sizeof stereo);
    ASSERT_EQ(s->Play(0), plat::kSoundOk);
    const Frame f = Pull(*device, 1)[0];
    EXPECT_EQ(f.left, (200 - 128) * 256);
    EXPECT_EQ(f.right, (10 - 128) * 256);
}

TEST(SoundMixer, EightBitBufferStartsSilent) {
    auto device = Manual();
    plat::SoundBufferDesc desc;
    desc.bytes = 32;
    desc.format = Pcm(1, 8);
    std::unique_ptr<plat::SoundBuffer> buffer;
    ASSERT_EQ(device->CreateSoundBuffer(desc, &buffer), plat::kSoundOk);
    ASSERT_EQ(buffer->Play(0), plat::kSoundOk);
    for (const Frame& f : Pull(*device, 32)) EXPECT_EQ(f.left, 0);
}

struct SumCase {
    int a, b, expected;
};

class SoundSum : public ::testing::TestWithParam<SumCase> {};

TEST_P(SoundSum, TwoBuffersAddAndStopAtTheCeiling) {
    const SumCase c = GetParam();
    auto device = Manual();
    auto a = Mono16(*device, std::vector<int16_t>(50, static_cast<int16_t>(c.a)));
    auto b = Stereo16(*device, std::vector<int16_t>(100, static_cast<int16_t>(c.b)));
    ASSERT_EQ(a->Play(0), plat::kSoundOk);
    ASSERT_EQ(b->Play(0), plat::kSoundOk);
    for (const Frame& f : Pull(*device, 50)) {
        EXPECT_EQ(f.left, c.expected);
        EXPECT_EQ(f.right, c.expected);
    }
}

constexpr int kCeiling = static_cast<int>(plat::kSoundOutputCeiling);

INSTANTIATE_TEST_SUITE_P(Sums, SoundSum,
                         ::testing::Values(SumCase{10000, 5000, 15000}, SumCase{20000, 20000, kCeiling},
                                           SumCase{-20000, -20000, -kCeiling}, SumCase{32767, -32768, -1},
                                           SumCase{-32768, -1, -kCeiling}),
                         [](const ::testing::TestParamInfo<SumCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

}  // namespace

namespace {

using namespace testsupport;

// Adds one constant to every sample it is asked for.
class ConstantSource : public plat::SoundSource {
public:
    explicit ConstantSource(float v) : value(v) {}
    void MixInto(float* mix, std::size_t frames) override {
        for (std::size_t i = 0; i < 2 * frames; ++i) mix[i] += value;
        calls += frames;
    }
    float value;
    std::size_t calls = 0;
};

TEST(SoundMixer, SourcesAddToTheBuffersAndTheOutputLevelScalesTheWhole) {
    auto device = Manual();
    auto buffer = Mono16(*device, std::vector<int16_t>(1000, 3000));
    buffer->Play(plat::kSoundPlayLooping);
    ConstantSource music(1000.0f);
    device->AttachSource(&music);
    device->AttachSource(&music);  // once only
    EXPECT_EQ(Pull(*device, 300)[299].left, 4000);
    EXPECT_EQ(music.calls, 300u);

    EXPECT_EQ(device->OutputLevel(), 65535);
    device->SetOutputLevel(16384);
    EXPECT_NEAR(Pull(*device, 1)[0].right, 4000 * 16384 / 65535.0, 1.0);
    device->SetOutputLevel(0);
    EXPECT_EQ(Pull(*device, 1)[0].left, 0);
    device->SetOutputLevel(65535);

    device->DetachSource(&music);
    EXPECT_EQ(Pull(*device, 1)[0].left, 3000);
    device->DetachSource(&music);  // not attached: nothing happens
    device->AttachSource(nullptr);
    EXPECT_EQ(Pull(*device, 1)[0].left, 3000);
}

std::vector<int16_t> Sine(int period, double amplitude) {
    std::vector<int16_t> samples(static_cast<std::size_t>(period));
    for (int k = 0; k < period; ++k) {
        samples[static_cast<std::size_t>(k)] =
            static_cast<int16_t>(std::lrint(amplitude * std::sin(6.283185307 * k / period)));
    }
    return samples;
}

TEST(SoundMixer, LoudMomentsStayUnderFullScaleAndQuietOnesPassUnchanged) {
    // Each sound alone peaks near half scale; a building's sound over a
    // fanfare over the music used to sum past full scale and clip.
    auto device = Manual();
    std::vector<std::unique_ptr<plat::SoundBuffer>> loud;
    for (int period : {100, 147, 219}) {
        loud.push_back(Mono16(*device, Sine(period, 16000)));
        ASSERT_EQ(loud.back()->Play(plat::kSoundPlayLooping), plat::kSoundOk);
    }
    ConstantSource music(12000.0f);
    device->AttachSource(&music);
    int peak = 0;
    for (const Frame& f : Pull(*device, 44100)) peak = std::max({peak, std::abs(f.left), std::abs(f.right)});
    EXPECT_LT(peak, 32767);
    EXPECT_GT(peak, 30000);  // turned down to fit, not to a whisper

    device->DetachSource(&music);
    for (auto& b : loud) b->Stop();
    Pull(*device, 44100);  // the gain has come back within the second
    const std::vector<int16_t> quiet = Sine(100, 8000);
    auto q = Mono16(*device, quiet);
    ASSERT_EQ(q->Play(plat::kSoundPlayLooping), plat::kSoundOk);
    const std::vector<Frame> out = Pull(*device, 1000);
    for (std::size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i].left, quiet[i % quiet.size()]) << i;
        ASSERT_EQ(out[i].right, quiet[i % quiet.size()]) << i;
    }
}

}  // namespace
