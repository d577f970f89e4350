// Music tracks through the pulled mix: the effective volume, fades over
// fixed updates, pausing by name, streams and modules, and the library's
// fatal paths through loaders that fail.

#include <cstdlib>
#include <filesystem>

#include "app/audio/bass_instance.h"
#include "app/audio/bass_track_interface.h"
#include "platform/music/music_library.h"
#include "tests/app/audio_test_support.h"

namespace {

using namespace audio_test;

constexpr double kStreamGlobal = 0.4;  // the library's global stream volume as the tracks set it

class TracksTest : public ::testing::Test {
protected:
    TracksTest() : effects(SomeWindow(), plat::SoundOutput::Manual), tracks(effects.Device()) {}

    std::string Track(const std::string& file, const std::string& bytes) {
        WriteBytes(dir / file, bytes);
        return dir / file;
    }
    // A stream of one constant value: its level in the mix is its volume.
    bool LoadConstant(int id, const std::wstring& name, int16_t value = 20000) {
        return tracks.LoadTrack(id, Track("c" + std::to_string(id) + ".wav", Wav16(std::vector<int16_t>(44100, value))),
                                name);
    }
    int Level() { return Pull(*effects.Device(), 8)[14]; }
    double Volume(int id) { return tracks.FindTrack(id)->volume; }

    TempFolder dir;
    DSoundManager effects;
    BassTrackInterface tracks;
};

TEST(NullTrackInterface, PlaysNothingAndAnswersEmpty) {
    TrackInterface none;
    EXPECT_FALSE(none.LoadTrack(1, SoundsDir() + "music/theme.ogg", L"menu"));
    none.PlayTrack(1, 0, true);
    none.UpdateFades();
    EXPECT_FALSE(none.IsTrackPlaying(1));
    EXPECT_EQ(none.GetTrackName(1), L"");
    none.SetVolumeForName(L"menu", 0.5);
    EXPECT_EQ(none.GetVolumeForName(L"menu"), 0.0);
}

TEST_F(TracksTest, EffectiveVolumeIsNameTimesTrackTimesMaster) {
    ASSERT_TRUE(LoadConstant(1, L"menu"));
    EXPECT_EQ(tracks.GetTrackName(1), L"menu");
    tracks.PlayTrack(1, 0, true);
    EXPECT_TRUE(tracks.IsTrackPlaying(1));
    EXPECT_EQ(Level(), 0);  // no volume for "menu" yet

    tracks.SetVolumeForName(L"menu", 0.5);
    EXPECT_EQ(tracks.GetVolumeForName(L"menu"), 0.5);
    EXPECT_NEAR(Level(), 20000 * 0.5 * kStreamGlobal, 1);
    tracks.SetMasterMusicVolume(0.5);
    EXPECT_NEAR(Level(), 20000 * 0.25 * kStreamGlobal, 1);
    tracks.SetTrackVolumeById(1, 0.8);
    EXPECT_NEAR(Level(), 20000 * 0.5 * 0.8 * 0.5 * kStreamGlobal, 1);
    tracks.SetTrackMaxVolumeById(1, 0.5);
    EXPECT_EQ(Volume(1), 0.5);
    EXPECT_NEAR(Level(), 20000 * 0.5 * 0.5 * 0.5 * kStreamGlobal, 1);
    EXPECT_DOUBLE_EQ(tracks.EffectiveTrackVolume(*tracks.FindTrack(1)), 0.125);

    tracks.StopTrack(1);
    EXPECT_FALSE(tracks.IsTrackPlaying(1));
    EXPECT_EQ(Volume(1), 0.0);
    tracks.PlayTrack(99, 0, true);  // no such track: nothing happens
}

TEST_F(TracksTest, FadeInAtOneHundredthReachesTheMaximumAfterOneHundredUpdates) {
    ASSERT_TRUE(LoadConstant(1, L"menu"));
    tracks.SetVolumeForName(L"menu", 1.0);
    tracks.FadeInTrack(1, 0, 0.01, true);
    EXPECT_TRUE(tracks.IsTrackPlaying(1));
    EXPECT_EQ(Level(), 0);
    for (int update = 1; update <= 50; ++update) tracks.UpdateFades();
    EXPECT_NEAR(Level(), 20000 * 0.5 * kStreamGlobal, 1);
    for (int update = 51; update < 100; ++update) tracks.UpdateFades();
    EXPECT_NE(tracks.FindTrack(1)->fadeStep, 0.0);
    tracks.UpdateFades();
    EXPECT_EQ(tracks.FindTrack(1)->fadeStep, 0.0);
    EXPECT_EQ(Volume(1), 1.0);
    EXPECT_NEAR(Level(), 20000 * kStreamGlobal, 1);
}

TEST_F(TracksTest, FadingOutStopsAOnceTrackButNotALoopToldToKeepPlaying) {
    ASSERT_TRUE(LoadConstant(1, L"a"));
    ASSERT_TRUE(LoadConstant(2, L"b"));
    tracks.PlayTrack(1, 0, false);
    tracks.PlayTrack(2, 0, true);
    tracks.FadeOutTrack(1, true, 0.3);
    tracks.FadeOutTrack(2, false, 0.3);
    for (int update = 0; update < 3; ++update) tracks.UpdateFades();
    EXPECT_TRUE(tracks.IsTrackPlaying(1));
    tracks.UpdateFades();  // 1.0 - 4 x 0.3 < 0
    EXPECT_FALSE(tracks.IsTrackPlaying(1));
    EXPECT_TRUE(tracks.IsTrackPlaying(2));
    EXPECT_EQ(Volume(2), 0.0);

    // At volume 0 a fade-out changes only what happens at its end.
    tracks.FadeOutTrack(2, true, 0.3);
    EXPECT_EQ(tracks.FindTrack(2)->fadeStep, 0.0);
    EXPECT_TRUE(tracks.FindTrack(2)->stopWhenFaded);

    tracks.PlayTrack(1, 0, true);
    tracks.PlayTrack(2, 0, true);
    tracks.FadeOutAllTracks(true, 0.5);
    for (int update = 0; update < 3; ++update) tracks.UpdateFades();
    EXPECT_FALSE(tracks.IsTrackPlaying(1));
    EXPECT_FALSE(tracks.IsTrackPlaying(2));
}

TEST_F(TracksTest, PauseAndResumeByName) {
    ASSERT_TRUE(LoadConstant(1, L"menu", 1000));
    ASSERT_TRUE(LoadConstant(2, L"game", 10000));
    tracks.SetVolumeForName(L"menu", 1.0);
    tracks.SetVolumeForName(L"game", 1.0);
    tracks.PlayTrack(1, 0, true);
    tracks.PlayTrack(2, 0, true);
    EXPECT_NEAR(Level(), 11000 * kStreamGlobal, 1);
    tracks.PauseTracksNamed(L"game");
    EXPECT_TRUE(tracks.IsTrackPlaying(1));
    EXPECT_FALSE(tracks.IsTrackPlaying(2));
    EXPECT_NEAR(Level(), 1000 * kStreamGlobal, 1);
    tracks.PauseAllTracks();
    EXPECT_EQ(Level(), 0);
    tracks.ResumeTracksNamed(L"menu");
    EXPECT_NEAR(Level(), 1000 * kStreamGlobal, 1);
    tracks.ResumeAllTracks();
    EXPECT_NEAR(Level(), 11000 * kStreamGlobal, 1);
    // A stopped track is not resumed: only paused ones are.
    tracks.StopTrack(1);
    tracks.ResumeAllTracks();
    EXPECT_FALSE(tracks.IsTrackPlaying(1));
    tracks.FadeOutTracksNamed(L"game", true, 0.6);
    tracks.UpdateFades();
    tracks.UpdateFades();
    EXPECT_FALSE(tracks.IsTrackPlaying(2));
}

TEST_F(TracksTest, AStreamPlaysOnceOrLoopsAndStartsAtAByteOffset) {
    std::vector<int16_t> ramp(100);
    for (int i = 0; i < 100; ++i) ramp[i] = static_cast<int16_t>(100 * (i + 1));
    ASSERT_TRUE(tracks.LoadTrack(1, Track("ramp.wav", Wav16(ramp)), L"r"));
    tracks.SetVolumeForName(L"r", 1.0);
    tracks.PlayTrack(1, 20, false);  // from byte 20: sample 10
    std::vector<int16_t> out = Pull(*effects.Device(), 120);
    EXPECT_NEAR(out[0], 1100 * kStreamGlobal, 1);
    EXPECT_NEAR(out[2 * 89], 10000 * kStreamGlobal, 1);
    EXPECT_EQ(out[2 * 90], 0);
    EXPECT_FALSE(tracks.IsTrackPlaying(1));

    tracks.PlayTrack(1, 0, true);
    out = Pull(*effects.Device(), 250);
    EXPECT_NEAR(out[2 * 205], 600 * kStreamGlobal, 1);  // the sixth sample of the third pass
    EXPECT_TRUE(tracks.IsTrackPlaying(1));
}

TEST_F(TracksTest, ModuleMusicPlaysFromAnOrderAndEndsWithoutLoop) {
    ASSERT_TRUE(tracks.LoadTrack(7, SoundsDir() + "tune.mod", L"tune"));
    const TrackRecord* track = tracks.FindTrack(7);
    ASSERT_NE(track->music, 0u);
    EXPECT_EQ(track->stream, 0u);
    tracks.SetVolumeForName(L"tune", 1.0);
    tracks.PlayTrack(7, 2, false);
    std::vector<int16_t> out = Pull(*effects.Device(), 4410);
    int peak = 0;
    for (int16_t s : out) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_GT(peak, 500);
    BASS_INSTANCE& bass = tracks.Library();
    EXPECT_EQ(bass.ChannelGetPosition(track->music, plat::kMusicPosByte) & 0xFFFF, 2u);

    tracks.SetTrackAttribute(7, 0.0);  // no amplification: silence
    out = Pull(*effects.Device(), 1000);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 0);
    tracks.SetTrackAttribute(7, 50.0);

    // Orders 2 and 3 last two seconds; then the module stops.
    Pull(*effects.Device(), 44100 * 2);
    EXPECT_FALSE(tracks.IsTrackPlaying(7));

    tracks.PlayTrack(7, 3, true);  // the last order, looping: still going after it
    Pull(*effects.Device(), 44100 * 2);
    EXPECT_TRUE(tracks.IsTrackPlaying(7));
}

TEST_F(TracksTest, BadFilesDoNotLoadAndUnloadingFreesTheTrack) {
    EXPECT_FALSE(tracks.LoadTrack(1, dir / "missing.ogg", L"x"));
    EXPECT_FALSE(tracks.LoadTrack(1, Track("noise.ogg", "not an ogg stream at all"), L"x"));
    EXPECT_FALSE(tracks.LoadTrack(1, Track("noise.xm", "not a module"), L"x"));
    EXPECT_FALSE(tracks.LoadTrack(1, Track("empty.ogg", ""), L"x"));
    EXPECT_FALSE(
        tracks.LoadTrack(1, Track("song.mp3", std::string("\xFF\xFB\x90\x00", 4) + std::string(400, '\0')), L"x"));
    EXPECT_EQ(tracks.FindTrack(1), nullptr);
    EXPECT_EQ(tracks.GetTrackName(1), L"");

    ASSERT_TRUE(tracks.LoadTrack(1, SoundsDir() + "music/theme.ogg", L"theme"));
    ASSERT_TRUE(tracks.LoadTrack(2, SoundsDir() + "music/theme.ogg", L"theme"));
    tracks.PlayTrack(1, 0, true);
    const plat::MusicHandle first = tracks.FindTrack(1)->stream;
    // Loading over a track replaces it: the old channel is freed, not left playing.
    ASSERT_TRUE(LoadConstant(1, L"other"));
    EXPECT_EQ(tracks.Library().ChannelIsActive(first), plat::kMusicStopped);
    EXPECT_EQ(tracks.Library().ErrorGetCode(), plat::kMusicErrHandle);
    tracks.UnloadTrack(1);
    EXPECT_EQ(tracks.FindTrack(1), nullptr);
    tracks.UnloadAllTracks();
    EXPECT_EQ(tracks.FindTrack(2), nullptr);
}

// A library missing one entry point, or absent altogether.
class PartialLibrary : public plat::MusicLibrary {
public:
    PartialLibrary(std::unique_ptr<plat::MusicLibrary> real, std::string hidden)
        : real_(std::move(real)), hidden_(std::move(hidden)) {}
    plat::MusicProc Find(std::string_view name) const override { return name == hidden_ ? nullptr : real_->Find(name); }

private:
    std::unique_ptr<plat::MusicLibrary> real_;
    std::string hidden_;
};

class PartialLoader : public plat::MusicLibraryLoader {
public:
    explicit PartialLoader(std::string hidden, bool present = true) : hidden_(std::move(hidden)), present_(present) {}
    std::unique_ptr<plat::MusicLibrary> Load(std::string_view path) override {
        path_ = std::string(path);
        if (!present_) return nullptr;
        return std::make_unique<PartialLibrary>(plat::LinkedMusicLibraryLoader().Load(path), hidden_);
    }
    std::string path_;

private:
    std::string hidden_;
    bool present_;
};

TEST(MusicLibraryDeathTest, AMissingLibraryOrEntryPointEndsTheProgramWithStatusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            PartialLoader none("", false);
            BassTrackInterface tracks(nullptr, &none);
        },
        ::testing::ExitedWithCode(1), "Can't find bass\\.dll\\.");
    EXPECT_EXIT(
        {
            PartialLoader loader("BASS_ChannelPlay");
            BassTrackInterface tracks(nullptr, &loader);
        },
        ::testing::ExitedWithCode(1), "BASS_ChannelPlay function not found in bass\\.dll");
}

TEST(MusicLibrary, OptionalEntryPointsMayBeMissing) {
    auto device = plat::SoundDevice::Create(plat::SoundOutput::Manual);
    PartialLoader loader("BASS_SetConfig");
    BassTrackInterface tracks(device.get(), &loader);
    EXPECT_EQ(loader.path_, ".\\bass.dll");
    TempFolder dir;
    WriteBytes(dir / "c.wav", Wav16(std::vector<int16_t>(100, 10000)));
    ASSERT_TRUE(tracks.LoadTrack(1, dir / "c.wav", L"c"));
    tracks.SetVolumeForName(L"c", 1.0);
    tracks.PlayTrack(1, 0, true);
    // Without SetConfig the global stream volume stays at full.
    EXPECT_NEAR(Pull(*device, 4)[0], 10000, 1);
}

}  // namespace

// A process that ends through exit() with the music still loaded (Xlib ends
// the game that way when the display goes away) ends cleanly: the shared
// library handle and the engine it holds are not released twice by the
// exit-time destructors.
TEST(MusicLibraryDeathTest, AnExitWithTheMusicLoadedEndsCleanly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            plat::LinkedMusicLibraryLoader loader;
            AcquireBassInstance(loader);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}
