#include "module_writer.h"

#include <array>
#include <cmath>
#include <string>

namespace soundgen {

namespace {

constexpr int kRows = 16;
constexpr int kChannels = 4;
constexpr int kSampleSlots = 31;

struct Sample {
    std::string name;
    std::vector<int8_t> data;  // even length
    int volume = 64;
    bool loops = false;
};

struct Cell {
    int sample = 0;
    int period = 0;
    int effect = 0;
    int parameter = 0;
};

using Pattern = std::array<std::array<Cell, kChannels>, kRows>;

void Be16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    out.push_back(static_cast<uint8_t>(v & 0xFF));
}

void Text(std::vector<uint8_t>& out, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i) out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

// The period of a note `semitones` above the format's middle C (period 428).
int Period(int semitones) { return static_cast<int>(std::lround(428.0 * std::pow(2.0, -semitones / 12.0))); }

std::vector<Sample> Samples() {
    Sample lead{"lead", std::vector<int8_t>(64), 40, true};
    for (int i = 0; i < 64; ++i) {
        // A triangle with a touch of its octave: soft, but clearly pitched.
        const int tri = i < 32 ? -96 + 6 * i : 96 - 6 * (i - 32);
        lead.data[i] = static_cast<int8_t>(tri * 0.8 + 20 * std::sin(6.283185307179586 * 2 * i / 64));
    }
    Sample bass{"bass", std::vector<int8_t>(64), 48, true};
    for (int i = 0; i < 64; ++i) bass.data[i] = static_cast<int8_t>(i < 24 ? 80 : -60);
    Sample tick{"tick", std::vector<int8_t>(600), 30, false};
    uint32_t state = 7;
    for (size_t i = 0; i < tick.data.size(); ++i) {
        state = state * 1103515245u + 12345u;
        const double envelope = std::exp(-static_cast<double>(i) / 90.0);
        const int noise = static_cast<int>((state >> 16) & 0xFF) - 128;
        tick.data[i] = static_cast<int8_t>(noise * envelope);
    }
    return {lead, bass, tick};
}

// Sixteen rows: a melody over a bass note per four rows and a tick on each beat.
Pattern MakePattern(const std::array<int, 16>& melody, const std::array<int, 4>& bass) {
    Pattern p{};
    for (int row = 0; row < kRows; ++row) {
        if (melody[row] != -99) p[row][0] = {1, Period(melody[row]), 0, 0};
        if (row % 4 == 0) p[row][1] = {2, Period(bass[row / 4] - 12), 0, 0};
        if (row % 2 == 0) p[row][2] = {3, Period(12), 0, 0};
    }
    p[0][3] = {0, 0, 0xF, 3};   // three ticks per row
    p[15][3] = {0, 0, 0xD, 0};  // on to the next order after sixteen rows
    return p;
}

}  // namespace

std::vector<uint8_t> BuildTuneModule() {
    constexpr int R = -99;  // a rest
    const std::vector<Pattern> patterns = {
        MakePattern({0, R, 4, R, 7, R, 4, R, 12, R, 7, R, 4, R, 7, R}, {0, 0, 5, 7}),
        MakePattern({5, R, 9, R, 12, R, 9, R, 5, R, 9, R, 12, 14, 12, R}, {5, 5, 0, 0}),
        MakePattern({7, R, 11, R, 14, R, 11, R, 7, R, 5, R, 4, R, 0, R}, {7, 7, 5, 0}),
    };
    const std::vector<uint8_t> order = {0, 1, 0, 2};
    const std::vector<Sample> samples = Samples();

    std::vector<uint8_t> out;
    Text(out, "halvaro tune", 20);
    for (int slot = 0; slot < kSampleSlots; ++slot) {
        const Sample* s = slot < static_cast<int>(samples.size()) ? &samples[slot] : nullptr;
        Text(out, s ? s->name : std::string(), 22);
        const uint32_t words = s ? static_cast<uint32_t>(s->data.size() / 2) : 0;
        Be16(out, words);
        out.push_back(0);  // finetune
        out.push_back(static_cast<uint8_t>(s ? s->volume : 0));
        Be16(out, 0);                          // loop start
        Be16(out, s && s->loops ? words : 1);  // loop length; 1 word means none
    }
    out.push_back(static_cast<uint8_t>(order.size()));
    out.push_back(0);  // restart at the first order
    for (size_t i = 0; i < 128; ++i) out.push_back(i < order.size() ? order[i] : 0);
    Text(out, "M.K.", 4);
    for (const Pattern& p : patterns) {
        // A pattern has 64 rows in the file; the break ends each after sixteen.
        for (int row = 0; row < 64; ++row) {
            for (int ch = 0; ch < kChannels; ++ch) {
                const Cell c = row < kRows ? p[row][ch] : Cell{};
                out.push_back(static_cast<uint8_t>((c.sample & 0xF0) | ((c.period >> 8) & 0x0F)));
                out.push_back(static_cast<uint8_t>(c.period & 0xFF));
                out.push_back(static_cast<uint8_t>(((c.sample & 0x0F) << 4) | (c.effect & 0x0F)));
                out.push_back(static_cast<uint8_t>(c.parameter));
            }
        }
    }
    for (const Sample& s : samples)
        for (int8_t v : s.data) out.push_back(static_cast<uint8_t>(v));
    return out;
}

}  // namespace soundgen
