// soundgen FOLDER: writes the game's sounds into FOLDER (data/sounds): the
// effects as WAV, AU and Ogg Vorbis, a ten-second music piece as Ogg Vorbis
// and a small module. Every sound is made here from formulas; Ogg Vorbis is
// encoded by running oggenc (Debian's vorbis-tools) on our own WAVs.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "module_writer.h"
#include "sound_writers.h"
#include "synth.h"

using namespace soundgen;

namespace {

// Ten seconds of arpeggiated chords with a bass note under each, the notes
// leaning left and right in turn: stereo, 44100 Hz.
Samples Theme() {
    constexpr uint32_t kRate = 44100;
    const int chords[4][3] = {{0, 4, 7}, {-3, 0, 4}, {-7, -3, 0}, {-5, -1, 2}};  // semitones from C5
    Samples left, right;
    const double note = 0.25;
    for (int step = 0; step < 40; ++step) {
        const int* chord = chords[(step / 10) % 4];
        const double hz = 523.25 * std::pow(2.0, chord[step % 3] / 12.0) * (step % 6 >= 3 ? 2.0 : 1.0);
        Samples tone = Chirp(kRate, 0.6, hz, hz, 0.22, 5.0);
        const auto at = static_cast<size_t>(step * note * kRate);
        const float lean = step % 2 == 0 ? 0.75f : 0.35f;
        Samples l = tone, r = tone;
        for (float& s : l) s *= lean;
        for (float& s : r) s *= 1.0f - lean;
        MixInto(left, l, at);
        MixInto(right, r, at);
        if (step % 10 == 0) {
            const Samples bass = Chirp(kRate, 2.5, hz / 4, hz / 4, 0.25, 0.8);
            MixInto(left, bass, at);
            MixInto(right, bass, at);
        }
    }
    const size_t frames = 10 * kRate;
    left.resize(frames);
    right.resize(frames);
    Samples stereo(2 * frames);
    for (size_t i = 0; i < frames; ++i) {
        // A short fade at the very end so the loop point does not click.
        const float edge = std::min(1.0f, static_cast<float>(frames - i) / 2000.0f);
        stereo[2 * i] = left[i] * edge;
        stereo[2 * i + 1] = right[i] * edge;
    }
    return stereo;
}

// A level's music: `bars` bars of four beats at `bpm`, a plucked melody over
// broken chords and a bass on each beat, stereo, 44100 Hz. The melody is a
// list of semitone steps from the key's root (99 rests); chords come from
// `roots`, one per bar, as major or minor triads by `minor`.
Samples LevelTrack(double keyHz, double bpm, const std::vector<int>& melody, const std::vector<int>& roots,
                   const std::vector<bool>& minor, uint32_t noiseSeed) {
    constexpr uint32_t kRate = 44100;
    const double beat = 60.0 / bpm;
    const size_t bars = roots.size();
    const auto frames = static_cast<size_t>(bars * 4 * beat * kRate);
    Samples left(frames), right(frames);
    auto note = [keyHz](int semis) { return keyHz * std::pow(2.0, semis / 12.0); };
    for (size_t bar = 0; bar < bars; ++bar) {
        const int root = roots[bar];
        const int third = minor[bar] ? 3 : 4;
        const int chord[3] = {root, root + third, root + 7};
        for (int step = 0; step < 8; ++step) {
            const auto at = static_cast<size_t>((bar * 4 + step * 0.5) * beat * kRate);
            // Broken chord in the middle, leaning right.
            const double hz = note(chord[step % 3] + (step >= 4 ? 12 : 0));
            Samples pluck = Chirp(kRate, beat * 0.9, hz, hz, 0.1, 6.0);
            Samples r = pluck;
            for (float& v : pluck) v *= 0.4f;
            MixInto(left, pluck, at);
            MixInto(right, r, at);
            // A soft tick of noise on the off-beats.
            if (step % 2 == 1) {
                const Samples tick = NoiseSweep(kRate, 0.05, 5000, 3000, 0.08, 0.002, 60.0, noiseSeed + step);
                MixInto(left, tick, at);
                MixInto(right, tick, at);
            }
        }
        for (int b = 0; b < 4; ++b) {
            const auto at = static_cast<size_t>((bar * 4 + b) * beat * kRate);
            const double hz = note(root - 24 + (b % 2 == 1 ? 7 : 0));
            const Samples bass = Chirp(kRate, beat * 0.95, hz, hz, 0.3, 3.5);
            MixInto(left, bass, at);
            MixInto(right, bass, at);
        }
    }
    for (size_t i = 0; i < melody.size(); ++i) {
        if (melody[i] == 99) continue;
        const auto at = static_cast<size_t>(i * 0.5 * beat * kRate);
        const double hz = note(melody[i] + 12);
        Samples lead = Chirp(kRate, beat * 0.8, hz, hz * 1.002, 0.2, 4.0);
        Samples r = lead;
        for (float& v : r) v *= 0.55f;
        MixInto(left, lead, at);
        MixInto(right, r, at);
    }
    left.resize(frames);
    right.resize(frames);
    Samples stereo(2 * frames);
    for (size_t i = 0; i < frames; ++i) {
        const float edge = std::min(1.0f, static_cast<float>(frames - i) / 2000.0f);
        stereo[2 * i] = std::clamp(left[i], -1.0f, 1.0f) * edge;
        stereo[2 * i + 1] = std::clamp(right[i], -1.0f, 1.0f) * edge;
    }
    return stereo;
}

Samples Interleave(const Samples& left, const Samples& right) {
    Samples out(2 * left.size());
    for (size_t i = 0; i < left.size(); ++i) {
        out[2 * i] = left[i];
        out[2 * i + 1] = right[i];
    }
    return out;
}

bool Report(bool ok, const std::string& path) {
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundgen FOLDER\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    bool ok = true;

    Samples click = NoiseSweep(22050, 0.04, 6000, 1500, 0.8, 0.001, 90.0, 11);
    MixInto(click, Tone(22050, 0.03, 2000, 0.25, 0.002), 0);
    ok &= Report(WriteWav16(dir + "button.wav", 22050, 1, click), dir + "button.wav");

    ok &= Report(WriteAuMuLaw(dir + "highlight.au", 22050, Tone(22050, 0.07, 1320, 0.5, 0.01)), dir + "highlight.au");
    ok &= Report(WriteAuLinear8(dir + "land.au", 22050, Chirp(22050, 0.18, 180, 50, 0.9, 14.0)), dir + "land.au");
    ok &= Report(WriteWav8(dir + "bounce.wav", 22050, Chirp(22050, 0.12, 300, 900, 0.7, 12.0)), dir + "bounce.wav");
    ok &=
        Report(WriteWav16(dir + "pop.wav", 44100, 2,
                          Interleave(Chirp(44100, 0.08, 900, 500, 0.6, 30.0), Chirp(44100, 0.08, 950, 520, 0.6, 30.0))),
               dir + "pop.wav");

    ok &= Report(WriteOgg(dir + "whoosh.ogg", 22050, 1, NoiseSweep(22050, 0.45, 300, 4000, 0.9, 0.2, 8.0, 5)),
                 dir + "whoosh.ogg");
    ok &= Report(WriteOgg(dir + "chime.ogg", 44100, 1, Tone(44100, 0.5, 880, 0.5, 0.01)), dir + "chime.ogg");
    // Tracks in "music/" take the options' music volume.
    std::filesystem::create_directories(dir + "music");
    ok &= Report(WriteOgg(dir + "music/theme.ogg", 44100, 2, Theme()), dir + "music/theme.ogg");

    // The menus' sounds: a bright two-note answer to a change the player
    // made, and a short rising and falling swish as a dialog opens and closes.
    Samples feedback = Chirp(22050, 0.16, 784, 784, 0.45, 18.0);
    MixInto(feedback, Chirp(22050, 0.3, 1175, 1175, 0.45, 10.0), 2205);
    ok &= Report(WriteWav16(dir + "feedback_general.wav", 22050, 1, feedback), dir + "feedback_general.wav");
    Samples open = NoiseSweep(22050, 0.22, 600, 3500, 0.5, 0.08, 14.0, 21);
    MixInto(open, Chirp(22050, 0.2, 500, 900, 0.2, 12.0), 0);
    ok &= Report(WriteWav16(dir + "popup_open.wav", 22050, 1, open), dir + "popup_open.wav");
    Samples close = NoiseSweep(22050, 0.2, 3000, 500, 0.45, 0.02, 16.0, 23);
    MixInto(close, Chirp(22050, 0.18, 800, 420, 0.2, 14.0), 0);
    ok &= Report(WriteWav16(dir + "popup_close.wav", 22050, 1, close), dir + "popup_close.wav");

    // The park's sounds: a building set down (a soft thud and a pop), money
    // paid (two bright coin rings) and nightfall (a slow falling chime).
    Samples place = Chirp(22050, 0.18, 160, 60, 0.8, 16.0);
    MixInto(place, Chirp(22050, 0.1, 700, 1100, 0.35, 30.0), 1100);
    ok &= Report(WriteWav16(dir + "place_building.wav", 22050, 1, place), dir + "place_building.wav");
    Samples cash = Chirp(22050, 0.25, 1568, 1568, 0.35, 14.0);
    MixInto(cash, Chirp(22050, 0.35, 2093, 2093, 0.35, 10.0), 1800);
    MixInto(cash, NoiseSweep(22050, 0.06, 8000, 6000, 0.12, 0.001, 50.0, 31), 0);
    ok &= Report(WriteWav16(dir + "cash.wav", 22050, 1, cash), dir + "cash.wav");
    Samples night;
    const double fall[4] = {784, 659, 523, 392};
    for (int i = 0; i < 4; ++i)
        MixInto(night, Chirp(22050, 1.2, fall[i], fall[i], 0.3, 2.5), static_cast<size_t>(i * 0.35 * 22050));
    ok &= Report(WriteOgg(dir + "nightfall.ogg", 22050, 1, night), dir + "nightfall.ogg");
    // One track per level under music/levels/ (the levels' assets load with them).
    std::filesystem::create_directories(dir + "music/levels");
    struct Tune {
        const char* level;
        double keyHz, bpm;
        std::vector<int> melody, roots;
        std::vector<bool> minor;
        uint32_t seed;
    };
    const Tune tunes[] = {
        // The meadow: C major, bright and bouncy.
        {"maple_green",
         261.63,
         116,
         {0, 4, 7, 12, 99, 7, 9, 7, 5, 4, 2, 4, 99, 0, 2, 4, 9, 7, 5, 4, 5, 7, 99, 4, 2, 4, 5, 2, 0, 99, 0, 99},
         {0, 9, 5, 7, 0, 9, 5, 7},
         {false, true, false, false, false, true, false, false},
         41},
        // The island: D major, slower, with a sea breeze.
        {"saltwind_bay",
         293.66,
         96,
         {7, 99, 9, 11, 12, 11, 9, 7, 4, 99, 7, 4, 2, 4, 7, 99, 9, 11, 12, 14, 12, 11, 9, 7, 9, 7, 4, 2, 0, 99, 2, 99},
         {0, 5, 9, 7, 0, 5, 7, 0},
         {false, false, true, false, false, false, false, false},
         53},
    };
    for (const Tune& tune : tunes) {
        const std::string path = dir + "music/levels/" + tune.level + "_bgm.ogg";
        ok &= Report(
            WriteOgg(path, 44100, 2, LevelTrack(tune.keyHz, tune.bpm, tune.melody, tune.roots, tune.minor, tune.seed)),
            path);
    }

    const std::vector<uint8_t> module = BuildTuneModule();
    std::ofstream out(dir + "tune.mod", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(module.data()), static_cast<std::streamsize>(module.size()));
    ok &= Report(static_cast<bool>(out), dir + "tune.mod");
    return ok ? 0 : 1;
}
