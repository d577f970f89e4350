#include "sound_writers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "app/audio/sound_files.h"

namespace soundgen {

namespace {

void Le16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Le32(std::string& out, uint32_t v) {
    Le16(out, v & 0xFFFF);
    Le16(out, v >> 16);
}
void Be32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

// The loudest a written sound may peak, as a share of full scale. Sounds
// play over one another (the logo's whooshes over its ball's bounces, a coin
// over a click) and the mixer adds them up: two at their peaks together stay
// within full scale even at the loudest volume.
constexpr float kPeakCeiling = 0.5f;

// A sound louder than the ceiling turned down whole, never cut off at it:
// cut-off peaks are the harsh clicks of clipping.
Samples WithHeadroom(Samples samples) {
    float peak = 0.0f;
    for (float s : samples) peak = std::max(peak, std::fabs(s));
    if (peak > kPeakCeiling)
        for (float& s : samples) s *= kPeakCeiling / peak;
    return samples;
}

int16_t To16(float s) { return static_cast<int16_t>(std::lrint(std::clamp(s, -1.0f, 1.0f) * 32767.0f)); }
int8_t To8(float s) { return static_cast<int8_t>(std::lrint(std::clamp(s, -1.0f, 1.0f) * 127.0f)); }

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string WavBytes(uint32_t rate, uint16_t channels, uint16_t bits, const std::string& data) {
    std::string out = "RIFF";
    Le32(out, 36 + static_cast<uint32_t>(data.size()));
    out += "WAVEfmt ";
    Le32(out, 16);
    Le16(out, 1);
    Le16(out, channels);
    Le32(out, rate);
    Le32(out, rate * channels * bits / 8);
    Le16(out, channels * bits / 8);
    Le16(out, bits);
    out += "data";
    Le32(out, static_cast<uint32_t>(data.size()));
    return out + data;
}

std::string AuBytes(uint32_t rate, uint32_t encoding, const std::string& data) {
    std::string out = ".snd";
    Be32(out, 24);
    Be32(out, static_cast<uint32_t>(data.size()));
    Be32(out, encoding);
    Be32(out, rate);
    Be32(out, 1);
    return out + data;
}

// The byte whose expansion by the game's reader lies nearest the sample.
char MuLawByte(int16_t sample) {
    int best = 0;
    int bestError = 1 << 30;
    for (int b = 0; b < 256; ++b) {
        const int error = std::abs(MuLawToLinear(static_cast<uint8_t>(b)) - sample);
        if (error < bestError) {
            bestError = error;
            best = b;
        }
    }
    return static_cast<char>(best);
}

// The peak of an Ogg Vorbis file as the game decodes it, as a share of full scale.
float DecodedPeak(const std::string& path) {
    PcmSound sound;
    if (!ReadOggSound(path, &sound)) return 2.0f;
    int peak = 0;
    for (size_t i = 0; i + 1 < sound.data.size(); i += 2) {
        int16_t s;
        std::memcpy(&s, &sound.data[i], sizeof s);
        peak = std::max(peak, std::abs(int{s}));
    }
    return static_cast<float>(peak) / 32767.0f;
}

// Encodes through a temporary WAV beside `path`, which is removed again.
bool EncodeOgg(const std::string& path, uint32_t rate, uint16_t channels, const Samples& samples) {
    const std::string wav = path + ".source.wav";
    if (!WriteWav16(wav, rate, channels, samples)) return false;
    // A fixed serial number keeps the output the same from run to run.
    const std::string command = "oggenc -Q -q 3 --serial 20240 -o '" + path + "' '" + wav + "'";
    const int status = std::system(command.c_str());
    std::remove(wav.c_str());
    return status == 0;
}

}  // namespace

bool WriteWav16(const std::string& path, uint32_t rate, uint16_t channels, const Samples& samples) {
    std::string data;
    for (float s : WithHeadroom(samples)) Le16(data, static_cast<uint16_t>(To16(s)));
    return WriteFile(path, WavBytes(rate, channels, 16, data));
}

bool WriteWav8(const std::string& path, uint32_t rate, const Samples& samples) {
    std::string data;
    for (float s : WithHeadroom(samples)) data += static_cast<char>(To8(s) + 128);
    return WriteFile(path, WavBytes(rate, 1, 8, data));
}

bool WriteAuMuLaw(const std::string& path, uint32_t rate, const Samples& samples) {
    std::string data;
    for (float s : WithHeadroom(samples)) data += MuLawByte(To16(s));
    return WriteFile(path, AuBytes(rate, 1, data));
}

bool WriteAuLinear8(const std::string& path, uint32_t rate, const Samples& samples) {
    std::string data;
    for (float s : WithHeadroom(samples)) data += static_cast<char>(To8(s));  // AU's linear bytes are signed
    return WriteFile(path, AuBytes(rate, 2, data));
}

bool WriteOgg(const std::string& path, uint32_t rate, uint16_t channels, const Samples& samples) {
    // Vorbis reshapes a waveform as it encodes it (noise came back a quarter
    // above the peak it was given): the sound is encoded again, turned down
    // by what the encoding added, until the game's own decode keeps the ceiling.
    Samples level = WithHeadroom(samples);
    for (int pass = 0; pass < 4; ++pass) {
        if (!EncodeOgg(path, rate, channels, level)) return false;
        const float peak = DecodedPeak(path);
        if (peak <= kPeakCeiling) return true;
        for (float& s : level) s *= kPeakCeiling / peak;
    }
    return false;
}

}  // namespace soundgen
