// One second of output (44100 stereo frames) mixed from 32 playing buffers,
// the game's full set of effect channels, as the audio thread does it; with
// the heap allocations made while mixing (allocs_per_second must be 0: the
// audio thread must never allocate).

#include <benchmark/benchmark.h>

#include "allocation_counter.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/sound/sound.h"

namespace {

constexpr int kVoices = 32;
constexpr std::size_t kSecond = 44100;
constexpr std::size_t kBlock = 1024;  // frames per audio callback

enum class Mix { NativeRate, Resampled };

std::unique_ptr<plat::SoundBuffer> MakeVoice(plat::SoundDevice& device, int i, Mix mix) {
    // A mixture like the game's: mono and stereo, 8 and 16 bits, 0.1 to 1.5 s.
    plat::SoundFormat f;
    f.channels = static_cast<uint16_t>(1 + i % 2);
    f.bitsPerSample = static_cast<uint16_t>(i % 4 == 3 ? 8 : 16);
    f.samplesPerSec = mix == Mix::NativeRate ? 44100 : (i % 3 == 0 ? 22050 : 44100);
    f.blockAlign = static_cast<uint16_t>(f.channels * f.bitsPerSample / 8);
    f.avgBytesPerSec = f.blockAlign * f.samplesPerSec;
    plat::SoundBufferDesc desc;
    desc.bytes = f.blockAlign * (4410u + 2000u * static_cast<uint32_t>(i));
    desc.format = f;
    std::unique_ptr<plat::SoundBuffer> b;
    device.CreateSoundBuffer(desc, &b);
    plat::SoundLock lock;
    b->Lock(0, 0, plat::kSoundLockEntireBuffer, &lock);
    auto* bytes = static_cast<uint8_t*>(lock.part1);
    for (uint32_t k = 0; k < lock.bytes1; ++k) bytes[k] = static_cast<uint8_t>(k * 37 + i);
    b->Unlock(lock);
    b->SetVolume(-(i * 150));
    b->SetPan(i * 600 - 9000);
    if (mix == Mix::Resampled) b->SetFrequency(30000 + 1500u * static_cast<uint32_t>(i));  // every step fractional
    b->Play(plat::kSoundPlayLooping);
    return b;
}

void MixOneSecond(benchmark::State& state, Mix mix) {
    auto device = plat::SoundDevice::Create(plat::SoundOutput::Manual);
    std::vector<std::unique_ptr<plat::SoundBuffer>> voices;
    for (int i = 0; i < kVoices; ++i) voices.push_back(MakeVoice(*device, i, mix));
    std::vector<int16_t> out(2 * kBlock);
    long before = testsupport::g_allocations.load();
    for (auto _ : state) {
        for (std::size_t done = 0; done < kSecond; done += kBlock) {
            device->Pull(out.data(), std::min(kBlock, kSecond - done));
            benchmark::DoNotOptimize(out.data());
        }
    }
    long made = testsupport::g_allocations.load() - before;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kSecond * kVoices));
    state.counters["allocs_per_second"] = static_cast<double>(made) / static_cast<double>(state.iterations());
}
BENCHMARK_CAPTURE(MixOneSecond, native_rate, Mix::NativeRate)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MixOneSecond, resampled, Mix::Resampled)->Unit(benchmark::kMillisecond);

}  // namespace
