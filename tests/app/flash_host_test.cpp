// The Flash widget and player through a fake control that plays a movie of a
// set length, and the control that is not installed.
#include <gtest/gtest.h>

#include "app/flash/flash_widget.h"
#include "rendering/image/image_surface.h"

namespace {

// A movie that plays until the test ends it (left = 0); rewinding starts it over.
// Records what the host asked.
struct FakeMovie {
    int length = 3;
    int left = 0;
    int lastFrame = -1;
    int stops = 0;
    int plays = 0;
    int draws = 0;
    std::wstring path;
    bool loop = false;
    std::wstring quality;
};

class FakeControl : public FlashControl {
public:
    explicit FakeControl(FakeMovie& movie) : movie_(movie) {}
    bool Installed() const override { return true; }
    bool PutMovie(const std::wstring& path) override {
        movie_.path = path;
        movie_.left = movie_.length;
        return true;
    }
    void PutLoop(bool loop) override { movie_.loop = loop; }
    void PutQuality(std::wstring_view quality) override { movie_.quality = quality; }
    bool IsPlaying() override { return movie_.left > 0; }
    void GotoFrame(int frame) override {
        movie_.lastFrame = frame;
        movie_.left = movie_.length - frame;
    }
    void Play() override { ++movie_.plays; }
    void StopPlay() override { ++movie_.stops; }
    void Draw(ImageSurface&) override { ++movie_.draws; }

private:
    FakeMovie& movie_;
};

struct Recorder : FlashListener {
    int finished = 0;
    std::vector<std::string> commands;
    void MovieFinished() override { ++finished; }
    void FlashCommand(const std::string& c, const std::string& a) override { commands.push_back(c + "|" + a); }
};

TEST(FlashWidget, WithoutAControlTheSurfaceStaysEmptyAndNothingAnimates) {
    FlashWidget widget(L"intro", 64, 32, true);
    EXPECT_FALSE(widget.Player().HasControl());
    for (int i = 0; i < 5; ++i) widget.Update();
    widget.Draw(nullptr);
    EXPECT_FALSE(widget.IsAnimating());
    EXPECT_EQ(widget.Player().GetState(), FlashPlayer::kIdle);
    EXPECT_EQ(widget.Surface().GetCelWidth(), 64);
    EXPECT_EQ(widget.Surface().GetPixel(10, 10, 0) >> 24, 0u);
}

TEST(FlashWidget, NonLoopingMovieFinishesAndStopsAnimating) {
    FakeMovie movie;
    FlashWidget widget(L"intro", 16, 16, false, std::make_unique<FakeControl>(movie));
    EXPECT_TRUE(movie.path.ends_with(L"/flash/intro.swf"));
    EXPECT_EQ(movie.quality, L"High");
    EXPECT_EQ(widget.Player().GetState(), FlashPlayer::kPlaying);
    widget.Update();
    EXPECT_TRUE(widget.IsAnimating());
    movie.left = 0;
    widget.Update();
    EXPECT_EQ(widget.Player().GetState(), FlashPlayer::kFinished);
    EXPECT_FALSE(widget.IsAnimating());
    widget.Draw(nullptr);
    EXPECT_EQ(movie.draws, 1);
}

TEST(FlashWidget, LoopingMovieIsRewoundAndPlayedWhenItEnds) {
    FakeMovie movie;
    FlashWidget widget(L"loop", 16, 16, true, std::make_unique<FakeControl>(movie));
    EXPECT_TRUE(movie.loop);
    widget.Update();
    EXPECT_EQ(movie.plays, 0);
    movie.left = 0;
    widget.Update();
    EXPECT_EQ(movie.lastFrame, 0);
    EXPECT_EQ(movie.plays, 1);
    EXPECT_TRUE(widget.IsAnimating());
}

TEST(FlashPlayer, PausesNestAndAFinishedMovieStaysFinished) {
    FakeMovie movie;
    Recorder listener;
    FlashPlayer player(&listener, nullptr, std::make_unique<FakeControl>(movie));
    ASSERT_TRUE(player.LoadMovie(L"m.swf"));
    player.Pause();
    player.Pause();
    EXPECT_EQ(movie.stops, 1);
    EXPECT_EQ(player.GetState(), FlashPlayer::kIdle);
    player.Resume();
    EXPECT_EQ(movie.plays, 0);
    player.Resume();
    EXPECT_EQ(movie.plays, 1);
    EXPECT_EQ(player.GetState(), FlashPlayer::kPlaying);
    // A resume too many must not unbalance the count: the next pause still stops.
    player.Resume();
    player.Pause();
    EXPECT_EQ(movie.stops, 2);
    player.Resume();
    movie.left = 0;
    player.Update();
    EXPECT_EQ(player.GetState(), FlashPlayer::kFinished);
    EXPECT_EQ(listener.finished, 1);
    player.Pause();
    player.Resume();
    EXPECT_EQ(player.GetState(), FlashPlayer::kFinished);
}

TEST(FlashPlayer, PauseRequestActsOnceEachWay) {
    FakeMovie movie;
    Recorder listener;
    FlashPlayer player(&listener, nullptr, std::make_unique<FakeControl>(movie));
    player.LoadMovie(L"m.swf");
    player.RequestPause(true);
    player.Update();
    player.Update();
    EXPECT_EQ(player.PauseCount(), 1);
    player.RequestPause(false);
    player.Update();
    EXPECT_EQ(player.PauseCount(), 0);
    EXPECT_EQ(player.GetState(), FlashPlayer::kPlaying);
    // A movie that ends while paused is found finished after the resume, and told once.
    player.RequestPause(true);
    player.Update();
    movie.left = 0;
    player.Update();
    EXPECT_EQ(listener.finished, 0);
    player.RequestPause(false);
    player.Update();
    player.Update();
    EXPECT_EQ(player.GetState(), FlashPlayer::kFinished);
    EXPECT_EQ(listener.finished, 1);
}

TEST(FlashPlayer, ControlEventsReachTheListenerOnlyAsTwoTexts) {
    Recorder listener;
    FlashPlayer player(&listener, nullptr, std::make_unique<NoFlashControl>());
    const FlashEventArgument go{true, L"go"}, level{true, L"3"}, number{false, L""};
    EXPECT_EQ(player.OnControlEvent(FlashPlayer::kFsCommandEvent, {go, level}), FlashPlayer::kEventHandled);
    EXPECT_EQ(player.OnControlEvent(FlashPlayer::kFsCommandEvent, {go}), FlashPlayer::kEventHandled);
    EXPECT_EQ(player.OnControlEvent(FlashPlayer::kFsCommandEvent, {go, number}), FlashPlayer::kEventHandled);
    EXPECT_EQ(player.OnControlEvent(-609, {}), FlashPlayer::kEventHandled);
    EXPECT_EQ(player.OnControlEvent(1958, {}), FlashPlayer::kEventHandled);
    EXPECT_EQ(player.OnControlEvent(7, {}), FlashPlayer::kEventUnknown);
    EXPECT_EQ(listener.commands, std::vector<std::string>{"go|3"});
}

TEST(FlashPlayer, MoviePathsAreMadeAbsolute) {
    struct Case {
        const wchar_t* base;
        const wchar_t* path;
        const wchar_t* absolute;
    };
    for (const Case& c :
         {Case{L"/home/p/game", L"flash/intro.swf", L"/home/p/game/flash/intro.swf"},
          Case{L"/home/p/game/", L"./a\\..\\..\\b.swf", L"/home/p/b.swf"}, Case{L"/g", L"../../../x.swf", L"/x.swf"},
          Case{L"C:\\games\\park", L"flash/a.swf", L"C:\\games\\park\\flash\\a.swf"},
          Case{L"/g", L"D:\\movies\\a.swf", L"D:\\movies\\a.swf"}}) {
        EXPECT_EQ(MakeAbsoluteMoviePath(c.base, c.path), c.absolute) << c.path;
    }
}

}  // namespace
