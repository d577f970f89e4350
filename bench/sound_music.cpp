// Decoding and mixing costs of sounds and music.
// - decode_ogg_10s: theme.ogg (ten seconds, 44.1 kHz stereo) decoded whole
//   through Tremor and the pack layer, as a sound effect is; core_share is
//   the time taken over the file's duration.
// - mix_*: one second of output pulled in audio-callback blocks from 32
//   looping effects (the full set of channels, the game's own sounds at
//   their own rates), one module, or both; core_share is the time taken
//   over that second. The effects alone are the yardstick for what the
//   module adds.
// core_share prints as seconds of work per second of audio: 5 ms is half a
// percent of one core.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/audio/bass_track_interface.h"
#include "app/audio/dsound_manager.h"
#include "app/audio/sound_files.h"

namespace {

constexpr std::size_t kSecond = 44100;
constexpr std::size_t kBlock = 1024;

std::string Sounds() { return std::string(HALVARO_SOURCE_DIR) + "/data/sounds/"; }

benchmark::Counter CoreShare(double audioSeconds) {
    // Seconds of work per second of audio.
    return benchmark::Counter(audioSeconds,
                              benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void DecodeOgg10s(benchmark::State& state) {
    PcmSound sound;
    for (auto _ : state) {
        if (!ReadOggSound(Sounds() + "music/theme.ogg", &sound)) state.SkipWithError("theme.ogg did not decode");
        benchmark::DoNotOptimize(sound.data.data());
    }
    state.counters["core_share"] = CoreShare(10.0);
}
BENCHMARK(DecodeOgg10s)->Unit(benchmark::kMillisecond);

int g_window;

void Mix(benchmark::State& state, bool effects, bool module) {
    DSoundManager manager(reinterpret_cast<plat::NativeWindow*>(&g_window), plat::SoundOutput::Manual);
    const char* names[] = {"button", "bounce", "pop", "highlight", "land", "whoosh", "chime"};
    if (effects) {
        for (int i = 0; i < DSoundManager::kChannels; ++i) {
            const int id = manager.LoadSoundByName(Sounds() + names[i % 7]);
            SoundInstance* s = manager.GetSoundInstance(id);
            s->SetVolume(0.3 + 0.02 * i);
            s->SetPan(i * 600 - 9000);
            s->SetPitch((i % 5) - 2);  // most voices off their native rate
            s->Play(true, false);
        }
    }
    BassTrackInterface tracks(manager.Device());
    if (module) {
        tracks.LoadTrack(1, Sounds() + "tune.mod", L"tune");
        tracks.SetVolumeForName(L"tune", 1.0);
        tracks.PlayTrack(1, 0, true);
    }
    std::vector<int16_t> out(2 * kBlock);
    for (auto _ : state) {
        for (std::size_t done = 0; done < kSecond; done += kBlock) {
            manager.Device()->Pull(out.data(), std::min(kBlock, kSecond - done));
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.counters["core_share"] = CoreShare(1.0);
}
BENCHMARK_CAPTURE(Mix, effects_32, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Mix, module, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Mix, effects_32_and_module, true, true)->Unit(benchmark::kMillisecond);

}  // namespace
