// The WAV, AU and Ogg Vorbis readers against files encoded here from the
// formats, and the committed Ogg files against the formulas that made them.

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/audio/sound_files.h"
#include "foundation/files/pak_interface.h"
#include "platform/system/file_system.h"
#include "tests/app/audio_test_support.h"
#include "tests/foundation/pak_test_support.h"

namespace {

using namespace audio_test;

struct WavRead {
    bool ok = false;
    PcmSound sound;
};

WavRead ReadWav(const TempFolder& dir, const std::string& bytes) {
    WriteBytes(dir / "s.wav", bytes);
    WavRead r;
    r.ok = ReadWavSound(dir / "s.wav", &r.sound);
    return r;
}

TEST(WavReader, RefusesWhatIsNotPcmRiffWave) {
    TempFolder dir;
    const std::string data = Chunk("data", Samples16({1, 2}));
    std::string notRiff = Riff(FmtChunk(1, 1, 44100, 16) + data);
    notRiff[0] = 'X';
    std::string notWave = Riff(FmtChunk(1, 1, 44100, 16) + data);
    notWave[8] = 'X';
    EXPECT_FALSE(ReadWav(dir, notRiff).ok);
    EXPECT_FALSE(ReadWav(dir, notWave).ok);
    EXPECT_FALSE(ReadWav(dir, Riff(FmtChunk(3, 1, 44100, 32) + data)).ok);  // float samples
    EXPECT_FALSE(ReadWav(dir, Riff(FmtChunk(1, 1, 44100, 16))).ok);         // no data chunk
    EXPECT_FALSE(ReadWav(dir, "RIFF").ok);
    EXPECT_FALSE(ReadWavSound(dir / "missing.wav", nullptr));
    // A data chunk claiming more than the file holds is a short read.
    std::string cut = Riff(FmtChunk(1, 1, 44100, 16) + Chunk("data", Samples16({1, 2, 3, 4})));
    cut.resize(cut.size() - 2);
    EXPECT_FALSE(ReadWav(dir, cut).ok);
    std::string huge = Riff(FmtChunk(1, 1, 44100, 16) + "data");
    Le(huge, 0xFFFFFFF0u, 4);
    EXPECT_FALSE(ReadWav(dir, huge).ok);
}

// A format chunk claiming 65,427 channels of 53,504 bits overflowed int when
// its block size was worked out: what no PCM block can hold is refused first.
TEST(WavReader, FormatsNoPcmBlockCanHoldAreRefused) {
    TempFolder dir;
    struct Case {
        uint16_t channels, bits;
        bool read;
    };
    for (const Case& c :
         {Case{65427, 53504, false}, Case{0, 16, false}, Case{2, 0, false}, Case{2, 12, false}, Case{2, 40, false},
          Case{32768, 16, false}, Case{1, 8, true}, Case{2, 16, true}, Case{6, 24, true}}) {
        SCOPED_TRACE(std::to_string(c.channels) + " channels of " + std::to_string(c.bits) + " bits");
        const WavRead r = ReadWav(dir, Riff(FmtChunk(1, c.channels, 8000, c.bits) + Chunk("data", "abcdefghijkl")));
        EXPECT_EQ(r.ok, c.read);
        if (r.ok) {
            EXPECT_EQ(r.sound.format.blockAlign, c.channels * c.bits / 8);
        }
    }
}

TEST(WavReader, ChunksInOrderUntilTheFirstData) {
    TempFolder dir;
    // No "fmt " at all: 22050 Hz mono 16-bit.
    WavRead plain = ReadWav(dir, Riff(Chunk("data", Samples16({5, -5}))));
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(plain.sound.format.samplesPerSec, 22050u);
    EXPECT_EQ(plain.sound.format.channels, 1);
    EXPECT_EQ(plain.sound.format.bitsPerSample, 16);
    EXPECT_EQ(plain.sound.format.blockAlign, 2);
    EXPECT_EQ(plain.sound.format.avgBytesPerSec, 44100u);
    EXPECT_EQ(As16(plain.sound.data), (std::vector<int16_t>{5, -5}));

    // Unknown chunks are skipped, "xor " scrambles, the first "data" ends it:
    // a later "fmt " and a second "data" are never seen.
    const std::string chunks = FmtChunk(1, 2, 11025, 8) + Chunk("LIST", "abc") + Chunk("xor ", "\x5A") +
                               Chunk("data", std::string("\x00\x5A\xFF\x10", 4)) + FmtChunk(1, 1, 44100, 16) +
                               Chunk("data", "zz");
    WavRead r = ReadWav(dir, Riff(chunks));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.sound.format.channels, 2);
    EXPECT_EQ(r.sound.format.samplesPerSec, 11025u);
    EXPECT_EQ(r.sound.format.bitsPerSample, 8);
    EXPECT_EQ(r.sound.data, (std::vector<uint8_t>{0x5A, 0x00, 0xA5, 0x4A}));
}

// Every chunk is padded to an even length; a reader that skipped an odd
// chunk by its size alone refused files whose "LIST" holds an odd text.
TEST(WavReader, OddSizedChunkIsFollowedByItsPadByte) {
    TempFolder dir;
    std::string list = "LIST";
    Le(list, 5, 4);
    list += std::string("INFOx") + '\0';
    const WavRead r = ReadWav(dir, Riff(FmtChunk(1, 1, 8000, 16) + list + Chunk("data", Samples16({3, -3}))));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.sound.format.samplesPerSec, 8000u);
    EXPECT_EQ(As16(r.sound.data), (std::vector<int16_t>{3, -3}));
}

TEST(WavReader, DependencyChunkRefusesACopyWhoseSourceChanged) {
    TempFolder dir;
    const std::string source = dir / "source.ogg";
    WriteBytes(source, "x");
    uint64_t time = 0;
    ASSERT_TRUE(plat::GetFileWriteTime(source, &time));
    auto withDependency = [&](const std::string& name, uint64_t recorded) {
        std::string body;
        Le(body, name.size(), 2);
        body += name;
        Le(body, recorded, 8);
        return Riff(FmtChunk(1, 1, 8000, 16) + Chunk("dep ", body) + Chunk("data", Samples16({7})));
    };
    EXPECT_TRUE(ReadWav(dir, withDependency(source, time)).ok);
    EXPECT_FALSE(ReadWav(dir, withDependency(source, time + 1)).ok);
    // A file that is not there has time 0.
    EXPECT_TRUE(ReadWav(dir, withDependency(dir / "gone.ogg", 0)).ok);
    EXPECT_FALSE(ReadWav(dir, withDependency(dir / "gone.ogg", time)).ok);
    // The same file touched later.
    std::filesystem::last_write_time(source, std::filesystem::last_write_time(source) + std::chrono::seconds(3));
    EXPECT_FALSE(ReadWav(dir, withDependency(source, time)).ok);
}

TEST(WavReader, ReadsFromThePackWhenNoLooseFileExists) {
    TempFolder dir;
    const std::string wav = Wav16({100, -200, 300}, 1, 32000);
    WriteBytes(dir / "main.pak", testsupport::Encode({{{"sounds\\packed.wav", wav}}}));
    PakInterface pak;
    ASSERT_EQ(GetPakPtr(), &pak);
    pak.Mount(dir / "main.pak");
    PcmSound sound;
    ASSERT_TRUE(ReadWavSound("sounds\\packed.wav", &sound));
    EXPECT_EQ(sound.format.samplesPerSec, 32000u);
    EXPECT_EQ(As16(sound.data), (std::vector<int16_t>{100, -200, 300}));
}

// A G.711 mu-law encoder written from the standard's compression rule, apart
// from the reader's expansion: every byte must expand to a value that encodes
// back to the same byte (but 0x7F, the negative zero, which encodes as 0xFF).
uint8_t EncodeMuLaw(int sample) {
    constexpr int kBias = 0x84, kClip = 32635;
    const int sign = sample < 0 ? 0x80 : 0;
    int magnitude = std::min(sample < 0 ? -sample : sample, kClip) + kBias;
    int exponent = 7;
    for (int mask = 0x4000; (magnitude & mask) == 0 && exponent > 0; mask >>= 1) --exponent;
    const int mantissa = (magnitude >> (exponent + 3)) & 0x0F;
    return static_cast<uint8_t>(~(sign | (exponent << 4) | mantissa));
}

// The old table gave 1020 for 0x80 and differed from the standard on most
// bytes: a full-scale file played distorted.
TEST(AuReader, MuLawExpansionIsTheStandardOne) {
    for (int byte = 0; byte < 256; ++byte) {
        const int16_t value = MuLawToLinear(static_cast<uint8_t>(byte));
        EXPECT_EQ(EncodeMuLaw(value), byte == 0x7F ? 0xFF : byte) << byte;
        // The sign bit alone separates a value from its negative.
        EXPECT_EQ(MuLawToLinear(static_cast<uint8_t>(byte ^ 0x80)), -value) << byte;
    }
    EXPECT_EQ(MuLawToLinear(0x80), 32124);
    EXPECT_EQ(MuLawToLinear(0x00), -32124);
    EXPECT_EQ(MuLawToLinear(0xFF), 0);
    EXPECT_EQ(MuLawToLinear(0xEF), 132);
}

// A full-scale sine written as mu-law by another program, and that program's
// own 16-bit decode of it (see fixtures/README.md).
TEST(AuReader, MuLawFileFromAnotherEncoderDecodesAsThatEncoderDecodesIt) {
    PcmSound sound;
    ASSERT_TRUE(ReadAuSound(FixturesDir() + "sine_mulaw.au", &sound));
    EXPECT_EQ(sound.format.samplesPerSec, 8000u);
    EXPECT_EQ(sound.format.channels, 1);
    const std::string bytes = testsupport::ReadBytes(FixturesDir() + "sine_mulaw.s16");
    const std::vector<int16_t> expected = As16(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    const std::vector<int16_t> decoded = As16(sound.data);
    ASSERT_EQ(decoded.size(), expected.size());
    size_t differing = 0;
    for (size_t i = 0; i < decoded.size(); ++i) differing += decoded[i] != expected[i];
    EXPECT_EQ(differing, 0u) << "first sample " << decoded[0] << ", expected " << expected[0];
}

TEST(AuReader, MuLawWidensTo16BitsAndLinearBytesBecomeUnsigned) {
    TempFolder dir;
    WriteBytes(dir / "mu.au", Au(1, 8000, 1, std::string("\xFF\x80\x00\x81", 4), 32));
    PcmSound mu;
    ASSERT_TRUE(ReadAuSound(dir / "mu.au", &mu));
    EXPECT_EQ(mu.format.bitsPerSample, 16);
    EXPECT_EQ(mu.format.samplesPerSec, 8000u);
    EXPECT_EQ(As16(mu.data), (std::vector<int16_t>{0, 32124, -32124, 31100}));

    // Signed AU bytes -128, -1, 0, 1, 127 are unsigned PCM 0, 127, 128, 129, 255.
    WriteBytes(dir / "lin.au", Au(2, 11025, 2, std::string("\x80\xFF\x00\x01\x7F\x00", 6)));
    PcmSound lin;
    ASSERT_TRUE(ReadAuSound(dir / "lin.au", &lin));
    EXPECT_EQ(lin.format.bitsPerSample, 8);
    EXPECT_EQ(lin.format.channels, 2);
    EXPECT_EQ(lin.data, (std::vector<uint8_t>{0, 127, 128, 129, 255, 128}));

    WriteBytes(dir / "pcm16.au", Au(3, 8000, 1, "abcd"));
    EXPECT_FALSE(ReadAuSound(dir / "pcm16.au", &lin));
    std::string cut = Au(1, 8000, 1, "abcdef");
    cut.resize(cut.size() - 1);
    WriteBytes(dir / "cut.au", cut);
    EXPECT_FALSE(ReadAuSound(dir / "cut.au", &lin));
    WriteBytes(dir / "magic.au", "snd.");
    EXPECT_FALSE(ReadAuSound(dir / "magic.au", &lin));
}

// chime.ogg was encoded from a 0.5 s sine of 880 Hz that decodes at half
// scale (10 ms fades), 44100 Hz mono: the decode has exactly that length and,
// away from the fades, that level and pitch.
TEST(OggReader, DecodesTheWholeStreamThroughTremor) {
    PcmSound sound;
    ASSERT_TRUE(ReadOggSound(SoundsDir() + "chime.ogg", &sound));
    EXPECT_EQ(sound.format.channels, 1);
    EXPECT_EQ(sound.format.samplesPerSec, 44100u);
    EXPECT_EQ(sound.format.bitsPerSample, 16);
    const std::vector<int16_t> s = As16(sound.data);
    ASSERT_EQ(s.size(), 22050u);

    double sumSquares = 0;
    int crossings = 0;
    const size_t from = 2205, to = 22050 - 2205;  // 50 ms in from each end
    for (size_t i = from; i < to; ++i) {
        sumSquares += static_cast<double>(s[i]) * s[i];
        if ((s[i - 1] < 0) != (s[i] < 0)) ++crossings;
    }
    const double rms = std::sqrt(sumSquares / (to - from));
    EXPECT_NEAR(rms, 0.5 * 32767 / std::sqrt(2.0), 0.03 * 32767);
    const double seconds = (to - from) / 44100.0;
    EXPECT_NEAR(crossings / (2 * seconds), 880.0, 10.0);

    EXPECT_FALSE(ReadOggSound(SoundsDir() + "tune.mod", &sound));
    EXPECT_FALSE(ReadOggSound(SoundsDir() + "no-such.ogg", &sound));
}

// An Ogg page's checksum: CRC-32 of polynomial 0x04C11DB7, unreflected, over
// the page with its own checksum field zeroed.
uint32_t OggCrc(std::string_view page) {
    uint32_t crc = 0;
    for (unsigned char byte : page) {
        crc ^= static_cast<uint32_t>(byte) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// The same stream under another serial number: a second link of a chain.
std::string WithSerial(std::string ogg, uint32_t serial) {
    for (size_t at = 0; at + 27 <= ogg.size();) {
        const size_t segments = static_cast<unsigned char>(ogg[at + 26]);
        size_t size = 27 + segments;
        for (size_t i = 0; i < segments; ++i) size += static_cast<unsigned char>(ogg[at + 27 + i]);
        std::string page = ogg.substr(at, size);
        std::string field;
        Le(field, serial, 4);
        page.replace(14, 4, field);
        page.replace(22, 4, std::string(4, '\0'));
        field.clear();
        Le(field, OggCrc(page), 4);
        page.replace(22, 4, field);
        ogg.replace(at, size, page);
        at += size;
    }
    return ogg;
}

// Two streams one after the other: the decoder must start at the first
// sample, not in the last link, and read both.
TEST(OggReader, ChainedStreamsDecodeWholeFromTheFirstLink) {
    TempFolder dir;
    const std::string chime = testsupport::ReadBytes(SoundsDir() + "chime.ogg");
    WriteBytes(dir / "chain.ogg", chime + WithSerial(chime, 0x5EC0D11Bu));
    PcmSound one, chain;
    ASSERT_TRUE(ReadOggSound(SoundsDir() + "chime.ogg", &one));
    ASSERT_TRUE(ReadOggSound(dir / "chain.ogg", &chain));
    EXPECT_EQ(chain.format.samplesPerSec, 44100u);
    ASSERT_EQ(chain.data.size(), 2 * one.data.size());
    EXPECT_TRUE(std::equal(one.data.begin(), one.data.end(), chain.data.begin()));
    EXPECT_TRUE(std::equal(one.data.begin(), one.data.end(), chain.data.begin() + one.data.size()));

    // Links of different rates cannot be one buffer: refused.
    const std::string whoosh = testsupport::ReadBytes(SoundsDir() + "whoosh.ogg");
    WriteBytes(dir / "mixed.ogg", chime + WithSerial(whoosh, 0x5EC0D11Bu));
    EXPECT_FALSE(ReadOggSound(dir / "mixed.ogg", &chain));
}

TEST(OggReader, ReadsThroughThePackLayer) {
    TempFolder dir;
    const std::string ogg = testsupport::ReadBytes(SoundsDir() + "whoosh.ogg");
    WriteBytes(dir / "main.pak", testsupport::Encode({{{"sfx\\whoosh.ogg", ogg}}}));
    PakInterface pak;
    pak.Mount(dir / "main.pak");
    PcmSound packed, loose;
    ASSERT_TRUE(ReadOggSound("sfx\\whoosh.ogg", &packed));
    ASSERT_TRUE(ReadOggSound(SoundsDir() + "whoosh.ogg", &loose));
    EXPECT_EQ(packed.format.samplesPerSec, 22050u);
    EXPECT_EQ(packed.data, loose.data);
    EXPECT_EQ(packed.data.size(), static_cast<size_t>(0.45 * 22050) * 2);
}

// The mixer adds up the sounds that play together, and the logo plays its
// whooshes over its ball's bounces: every sound and track shipped peaks at
// half scale (give or take a step of mu-law's), so two at once stay below
// full scale. Modules are notes for a player, not samples.
TEST(ShippedSounds, EveryOnePeaksAtHalfScaleSoTwoAtOnceStayBelowFullScale) {
    int read = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SoundsDir())) {
        const std::string path = entry.path().string(), type = entry.path().extension().string();
        if (type != ".wav" && type != ".au" && type != ".ogg") continue;
        PcmSound sound;
        ASSERT_TRUE(type == ".wav"  ? ReadWavSound(path, &sound)
                    : type == ".au" ? ReadAuSound(path, &sound)
                                    : ReadOggSound(path, &sound))
            << path;
        int peak = 0;
        if (sound.format.bitsPerSample == 8)
            for (uint8_t byte : sound.data) peak = std::max(peak, std::abs(byte - 128) * 256);
        else
            for (int16_t sample : As16(sound.data)) peak = std::max(peak, std::abs(int{sample}));
        EXPECT_LE(peak, 0.52 * 32767) << path;
        ++read;
    }
    EXPECT_GT(read, 10);
}

}  // namespace
