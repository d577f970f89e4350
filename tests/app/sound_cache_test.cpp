// The load chain (cached copy, .wav, .ogg, .au) and the cache of decoded
// sounds: which names are cached, what a cached copy records, and that a
// changed source is decoded again.

#include <filesystem>

#include "app/audio/cached_wav.h"
#include "app/audio/dsound_instance.h"
#include "app/audio/sound_files.h"
#include "foundation/files/pak_interface.h"
#include "tests/app/audio_test_support.h"
#include "tests/foundation/pak_test_support.h"

namespace {

using namespace audio_test;
using testsupport::CurrentDirectoryGuard;
namespace fs = std::filesystem;

TEST(SoundCache, OnlyPlainRelativeNamesAreCached) {
    DataFolder data;
    EXPECT_EQ(CachedSoundPath("sfx\\pop"), data / "cached\\sfx\\pop.wav");
    EXPECT_EQ(CachedSoundPath("pop"), data / "cached\\pop.wav");
    for (const char* name : {"ab", "\\sfx\\pop", "/tmp/pop", "c:\\pop", "..\\pop", "sfx/../../pop", "sfx\\..\\x"})
        EXPECT_EQ(CachedSoundPath(name), "") << name;
    EXPECT_NE(CachedSoundPath("sfx\\..pop"), "");
}

TEST(SoundCache, WrittenCopyReadsBackWithItsDependency) {
    TempFolder dir;
    WriteBytes(dir / "src.au", "x");
    SoundDependency dependency;
    ASSERT_TRUE(FindSoundDependency(dir / "src.au", &dependency));
    EXPECT_EQ(dependency.name, dir / "src.au");
    PcmSound sound{MakePcmFormat(2, 11025, 16), {1, 2, 3, 4, 5, 6, 7, 8}};
    ASSERT_TRUE(WriteCachedWav(dir / "copy.wav", sound, &dependency));

    const std::string bytes = testsupport::ReadBytes(dir / "copy.wav");
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(bytes.substr(36, 4), "dep ");
    EXPECT_NE(bytes.find(dependency.name), std::string::npos);
    PcmSound back;
    ASSERT_TRUE(ReadWavSound(dir / "copy.wav", &back));
    EXPECT_EQ(back.format.channels, 2);
    EXPECT_EQ(back.format.samplesPerSec, 11025u);
    EXPECT_EQ(back.format.avgBytesPerSec, 44100u);
    EXPECT_EQ(back.data, sound.data);

    fs::last_write_time(dir / "src.au", fs::last_write_time(dir / "src.au") - std::chrono::hours(1));
    EXPECT_FALSE(ReadWavSound(dir / "copy.wav", &back));

    EXPECT_FALSE(WriteCachedWav("", sound, nullptr));
    EXPECT_FALSE(WriteCachedWav(dir / "no\\such\\folder\\x.wav", sound, nullptr));
    SoundDependency tooLong{std::string(256, 'a'), 1};
    EXPECT_FALSE(WriteCachedWav(dir / "long.wav", sound, &tooLong));
}

// The dependency chunk's size is odd when the name's length is: the copy
// then needs its pad byte to read back, whichever length the name has.
TEST(SoundCache, CopyReadsBackWhateverTheParityOfItsDependencysName) {
    TempFolder dir;
    const PcmSound sound{MakePcmFormat(1, 8000, 16), {9, 8, 7, 6}};
    for (const char* name : {"gone1.au", "gone12.au"}) {
        SCOPED_TRACE(name);
        const SoundDependency dependency{dir / name, 0};  // a missing file has time 0
        ASSERT_TRUE(WriteCachedWav(dir / "copy.wav", sound, &dependency));
        PcmSound back;
        ASSERT_TRUE(ReadWavSound(dir / "copy.wav", &back));
        EXPECT_EQ(back.data, sound.data);
        EXPECT_EQ(testsupport::ReadBytes(dir / "copy.wav").size() % 2, 0u);
    }
}

class LoadChainTest : public ::testing::Test {
protected:
    LoadChainTest() : cwd(dir.Path()) {}

    // The rate the id plays at: which file it came from, since every source
    // below has a rate of its own.
    uint32_t LoadedRate(DSoundManager& manager, const std::string& name) {
        const int id = manager.LoadSoundByName(name);
        if (id < 0) return 0;
        auto* instance = static_cast<DSoundInstance*>(manager.GetSoundInstance(id));
        return instance ? instance->Frequency() : 0;
    }

    DataFolder data;
    TempFolder dir;
    CurrentDirectoryGuard cwd;
};

TEST_F(LoadChainTest, WavIsNeverCachedOggAndAuAreAndTheCacheIsReadNextTime) {
    WriteBytes(dir / "sfx/plain.wav", Wav16({1, 2, 3}, 1, 16000));
    WriteBytes(dir / "sfx/plain.ogg", testsupport::ReadBytes(SoundsDir() + "chime.ogg"));
    fs::copy_file(SoundsDir() + "whoosh.ogg", dir / "sfx/whoosh.ogg");
    WriteBytes(dir / "sfx/beep.au", Au(1, 8000, 1, "\x10\x20\x30"));
    {
        DSoundManager manager(SomeWindow(), plat::SoundOutput::Manual);
        EXPECT_EQ(LoadedRate(manager, "sfx\\plain"), 16000u);  // .wav before .ogg
        EXPECT_EQ(LoadedRate(manager, "sfx\\whoosh"), 22050u);
        EXPECT_EQ(LoadedRate(manager, "sfx\\beep"), 8000u);
        EXPECT_EQ(manager.LoadSoundByName("sfx\\none"), -1);
    }
    EXPECT_FALSE(fs::exists(data / "cached/sfx/plain.wav"));
    ASSERT_TRUE(fs::exists(data / "cached/sfx/whoosh.wav"));
    ASSERT_TRUE(fs::exists(data / "cached/sfx/beep.wav"));

    PcmSound cached, decoded;
    ASSERT_TRUE(ReadWavSound(data / "cached/sfx/beep.wav", &cached));
    ASSERT_TRUE(ReadAuSound("sfx/beep.au", &decoded));
    EXPECT_EQ(cached.data, decoded.data);

    // Give the cached copy a rate of its own: the next load shows where it read from.
    std::string copy = testsupport::ReadBytes(data / "cached/sfx/whoosh.wav");
    copy.replace(24, 4, std::string("\x40\x1F\x00\x00", 4));  // 8000 Hz
    WriteBytes(data / "cached/sfx/whoosh.wav", copy);
    {
        DSoundManager manager(SomeWindow(), plat::SoundOutput::Manual);
        EXPECT_EQ(LoadedRate(manager, "sfx\\whoosh"), 8000u);
    }
    // A changed source makes the copy stale: decoded again, and the cache rewritten.
    fs::last_write_time("sfx/whoosh.ogg", fs::last_write_time("sfx/whoosh.ogg") + std::chrono::seconds(5));
    {
        DSoundManager manager(SomeWindow(), plat::SoundOutput::Manual);
        EXPECT_EQ(LoadedRate(manager, "sfx\\whoosh"), 22050u);
    }
    ASSERT_TRUE(ReadWavSound(data / "cached/sfx/whoosh.wav", &cached));
    EXPECT_EQ(cached.format.samplesPerSec, 22050u);
}

TEST_F(LoadChainTest, APackedSourceDependsOnThePackItCameFrom) {
    const std::string ogg = testsupport::ReadBytes(SoundsDir() + "chime.ogg");
    WriteBytes(dir / "main.pak", testsupport::Encode({{{"sfx\\chime.ogg", ogg}}}));
    PakInterface pak;
    pak.Mount("main.pak");
    {
        DSoundManager manager(SomeWindow(), plat::SoundOutput::Manual);
        EXPECT_EQ(LoadedRate(manager, "sfx\\chime"), 44100u);
    }
    const std::string copy = testsupport::ReadBytes(data / "cached/sfx/chime.wav");
    EXPECT_NE(copy.find("main.pak"), std::string::npos);
    PcmSound cached;
    EXPECT_TRUE(ReadWavSound(data / "cached/sfx/chime.wav", &cached));
    fs::last_write_time("main.pak", fs::last_write_time("main.pak") + std::chrono::seconds(5));
    EXPECT_FALSE(ReadWavSound(data / "cached/sfx/chime.wav", &cached));
}

TEST_F(LoadChainTest, AbsoluteNamesLoadButAreNeverCached) {
    fs::copy_file(SoundsDir() + "chime.ogg", dir / "chime.ogg");
    DSoundManager manager(SomeWindow(), plat::SoundOutput::Manual);
    EXPECT_EQ(LoadedRate(manager, (dir.Path() / "chime").string()), 44100u);
    EXPECT_FALSE(fs::exists(data / "cached"));
}

}  // namespace
