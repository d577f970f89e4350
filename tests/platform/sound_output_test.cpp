// The device mixing by itself: through SDL's dummy audio driver, through the
// fallback clock when SDL has no driver at all, and under calls from other
// threads while the output mixes.

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/platform/sound_test_support.h"

namespace {

using namespace testsupport;
using Clock = std::chrono::steady_clock;

// Plays a 50 ms sound once and waits for the running mixer to finish it.
void ExpectOneShotEndsInRealTime(plat::SoundDevice& device) {
    auto buffer = Mono16(device, std::vector<int16_t>(2205, 1000));
    ASSERT_EQ(buffer->Play(0), plat::kSoundOk);
    const auto start = Clock::now();
    while (Status(*buffer) != 0 && Clock::now() - start < std::chrono::seconds(5)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(Status(*buffer), 0u);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(30));
}

TEST(SoundOutput, DummyDriverKeepsTheMixerRunning) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto device = plat::SoundDevice::Create(plat::SoundOutput::Device);
    EXPECT_TRUE(device->HasAudioDevice()) << device->OutputError();
    int16_t out[4];
    EXPECT_FALSE(device->Pull(out, 2));  // the output owns the timing
    ExpectOneShotEndsInRealTime(*device);
}

TEST(SoundOutput, NoDriverAtAllFallsBackToTheClock) {
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    auto device = plat::SoundDevice::Create(plat::SoundOutput::Device);
    EXPECT_FALSE(device->HasAudioDevice());
    EXPECT_FALSE(device->OutputError().empty());
    ExpectOneShotEndsInRealTime(*device);
}

TEST(SoundOutput, CallsFromOtherThreadsWhileMixingAreSafe) {
    // Run under the address sanitizer, this catches a voice freed or moved
    // while the output thread mixes it.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto device = plat::SoundDevice::Create(plat::SoundOutput::Device);
    auto shared = Mono16(*device, std::vector<int16_t>(4410, 300));
    std::atomic<bool> stop{false};
    std::thread loader([&] {
        // Like the loading thread: creates, fills and drops buffers.
        while (!stop) {
            auto b = Mono16(*device, std::vector<int16_t>(8000, -300));
            b->Play(0);
        }
    });
    const auto start = Clock::now();
    int round = 0;
    while (Clock::now() - start < std::chrono::milliseconds(300)) {
        std::unique_ptr<plat::SoundBuffer> copy;
        ASSERT_EQ(device->DuplicateSoundBuffer(*shared, &copy), plat::kSoundOk);
        copy->SetVolume(-(round % 10000));
        copy->SetPan(round % 20000 - 10000);
        copy->SetFrequency(1000 + round % 100000);
        copy->Play(round % 2 ? plat::kSoundPlayLooping : 0);
        std::vector<int16_t> fill(4410, static_cast<int16_t>(round));
        Fill(*shared, fill.data());
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        ++round;
    }
    stop = true;
    loader.join();
    EXPECT_GT(round, 10);
}

}  // namespace
