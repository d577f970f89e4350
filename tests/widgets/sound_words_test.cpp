// The sound and music words against recording sound services.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/system/sound_manager.h"
#include "foundation/system/text.h"
#include "foundation/system/track_interface.h"
#include "tests/widgets/menu_test_support.h"

namespace {

using Log = std::vector<std::string>;

std::string Rate(double rate) { return std::to_string(static_cast<int>(rate * 10000 + 0.5)); }

class RecordingSounds : public NullSoundManager {
public:
    void StopSound(int id) override { log.push_back("stop " + std::to_string(id)); }
    void StopAllSounds() override { log.push_back("stop all"); }
    Log log;

private:
    ScopedService<SoundManager> installed_{this};
};

// Track 4 "theme" and track 5 "jingle" share the name "music"; rates in 1/10000.
class RecordingMusic : public TrackInterface {
public:
    std::wstring GetTrackName(int id) override { return id == 4 || id == 5 ? L"music" : L""; }
    bool IsTrackPlaying(int id) override { return id == playing; }
    void FadeInTrack(int id, int position, double rate, bool loop) override {
        log.push_back("in " + std::to_string(id) + " at " + std::to_string(position) + " rate " + Rate(rate) +
                      (loop ? " loop" : " once"));
    }
    void FadeOutTrack(int id, bool stop, double rate) override {
        log.push_back("out " + std::to_string(id) + (stop ? " stop" : "") + " rate " + Rate(rate));
    }
    void FadeOutAllTracks(bool stop, double rate) override {
        log.push_back(std::string("out all") + (stop ? " stop" : "") + " rate " + Rate(rate));
    }
    void FadeOutTracksNamed(std::wstring_view name, bool stop, double rate) override {
        log.push_back("out " + text::ToUtf8(name) + (stop ? " stop" : "") + " rate " + Rate(rate));
    }
    void PauseAllTracks() override { log.push_back("pause all"); }
    void ResumeAllTracks() override { log.push_back("resume all"); }
    void PauseTracksNamed(std::wstring_view name) override { log.push_back("pause " + text::ToUtf8(name)); }
    void ResumeTracksNamed(std::wstring_view name) override { log.push_back("resume " + text::ToUtf8(name)); }

    int playing = -1;
    Log log;

private:
    ScopedService<TrackInterface> installed_{this};
};

class SoundWordsTest : public testsupport::MenuTest {
protected:
    SoundWordsTest() {
        assets.sounds = {{L"click", 3}};
        assets.tracks = {{L"theme", 4}, {L"jingle", 5}};
    }
    void Run(std::vector<AnimationStep> steps) {
        Define(L"script", std::move(steps));
        mgr.AddWidget(new AnimationWidget(L"script", 0, 0, true));
    }

    RecordingSounds sounds;
    RecordingMusic music;
};

TEST_F(SoundWordsTest, SoundEffectsPlayWithTheirGapAndVolumeAndStopByName) {
    Run({Step(L"sound", {{L"name", L"click"}, {L"delay", L"5"}, {L"volume", L"0.5"}}),
         Step(L"sound", {{L"name", L"missing"}}), Step(L"stop-sound", {{L"name", L"click"}}), Step(L"stop-sounds")});
    EXPECT_EQ(assets.effects, (Log{"3 gap 5 volume 50%", "-1 gap 0 volume 100%"}));
    EXPECT_EQ(sounds.log, (Log{"stop 3", "stop all"}));
}

TEST_F(SoundWordsTest, PlayTrackFadesOutItsNamesakesAndKeepsAPlayingTrackInPlace) {
    music.playing = 5;
    Run({Step(L"play-track", {{L"name", L"theme"}}),
         Step(L"play-track", {{L"name", L"jingle"}, {L"fade", L"0"}, {L"sole", L"0"}, {L"loop", L"0"}}),
         Step(L"play-track", {{L"name", L"theme"}, {L"fade", L"-2"}, {L"sole", L"1"}})});
    EXPECT_EQ(music.log, (Log{"out music stop rate 40", "in 4 at 0 rate 40 loop", "in 5 at -1 rate 10000 once",
                              "out music stop rate 10000", "in 4 at 0 rate 10000 loop"}));
}

TEST_F(SoundWordsTest, TrackWordsWithAndWithoutContext) {
    Run({Step(L"stop-track", {{L"name", L"theme"}, {L"fade", L"0.01"}}), Step(L"stop-tracks"),
         Step(L"stop-tracks", {{L"context", L"literal(music)"}}), Step(L"pause-tracks"),
         Step(L"pause-tracks", {{L"context", L"literal(music)"}}), Step(L"resume-tracks"),
         Step(L"resume-tracks", {{L"context", L"literal(music)"}})});
    EXPECT_EQ(music.log, (Log{"out 4 stop rate 100", "out all stop rate 40", "out music stop rate 40", "pause all",
                              "pause music", "resume all", "resume music"}));
}

TEST_F(SoundWordsTest, SoundLoopsNeedAMenuAndAStopTakesOneCountOff) {
    Run({Step(L"start-soundloop", {{L"name", L"click"}})});  // no menu: nothing
    EXPECT_TRUE(menus.loops.empty());
    Define(L"looper", {Step(L"start-soundloop", {{L"name", L"click"}, {L"fade", L"0.1"}}),
                       Step(L"start-soundloop", {{L"name", L"click"}}), Step(L"stop-soundloop", {{L"name", L"click"}}),
                       Step(L"halt")});
    Menu* menu = OpenMenu(L"looper");
    EXPECT_EQ(menu->SoundLoops(), (std::map<int, int>{{3, 1}}));
    EXPECT_EQ(menu->MenuSounds(), (std::map<int, int>{{3, 1}}));
    menus.loops.clear();
    menu->RemoveSelf();
    EXPECT_EQ(menus.loops, (Log{"stop 3"}));
    EXPECT_TRUE(menu->SoundLoops().empty());
}

}  // namespace
