// soundgen FOLDER: writes the game's sounds into FOLDER (data/sounds): the
// effects as WAV, AU and Ogg Vorbis, a ten-second music piece as Ogg Vorbis
// and a small module. Every sound is made here from formulas; Ogg Vorbis is
// encoded by running oggenc (Debian's vorbis-tools) on our own WAVs.

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

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

    const std::vector<uint8_t> module = BuildTuneModule();
    std::ofstream out(dir + "tune.mod", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(module.data()), static_cast<std::streamsize>(module.size()));
    ok &= Report(static_cast<bool>(out), dir + "tune.mod");
    return ok ? 0 : 1;
}
