// The WAV, AU and Ogg Vorbis readers against files encoded here from the
// formats, and the committed Ogg files against the formulas that made them.

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

// Sample values worked out by hand from the expansion table, one at each
// end of every segment, and the four the format's edge cases name.
TEST(AuReader, MuLawExpansionMatchesTheTableAtEverySegmentEdge) {
    const std::vector<std::pair<int, int>> positive = {
        {255, 0},    {240, 120},   {239, 128},   {224, 368},   {223, 384},  {208, 864},
        {207, 896},  {192, 1856},  {191, 1920},  {176, 3840},  {175, 3968}, {160, 7808},
        {159, 8064}, {144, 15744}, {143, 16256}, {129, 30592}, {128, 1020}};
    for (auto [byte, value] : positive) {
        EXPECT_EQ(MuLawToLinear(static_cast<uint8_t>(byte)), value) << byte;
        // Without the top bit the same magnitude is negative.
        EXPECT_EQ(MuLawToLinear(static_cast<uint8_t>(byte & 127)), -value) << (byte & 127);
    }
}

TEST(AuReader, MuLawWidensTo16BitsAndLinearBytesBecomeUnsigned) {
    TempFolder dir;
    WriteBytes(dir / "mu.au", Au(1, 8000, 1, std::string("\xFF\x80\x00\x81", 4), 32));
    PcmSound mu;
    ASSERT_TRUE(ReadAuSound(dir / "mu.au", &mu));
    EXPECT_EQ(mu.format.bitsPerSample, 16);
    EXPECT_EQ(mu.format.samplesPerSec, 8000u);
    EXPECT_EQ(As16(mu.data), (std::vector<int16_t>{0, 1020, -1020, 30592}));

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

// chime.ogg was encoded from a 0.5 s sine of 880 Hz at half scale (10 ms
// fades), 44100 Hz mono: the decode has exactly that length and, away from
// the fades, that level and pitch.
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

}  // namespace
