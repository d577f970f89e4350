// Waiting through the managed tree: after which update step a "wait-for"
// wakes, what it leaves in its "clicked" and "timed_out" variables, and the
// sound and track waits against doubles of the sound services.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <random>
#include <set>
#include <string>

#include "foundation/system/app_services.h"
#include "foundation/system/sound_manager.h"
#include "foundation/system/track_interface.h"
#include "tests/widgets/script_words_test_support.h"

namespace {

using testsupport::WordsTest;

using testsupport::Note;

class WaitWordsTest : public WordsTest {
protected:
    // Ticks until the trace shows the note "w"; the step it showed after (0: at once), -1 when never.
    int WokeAfter(int most) {
        for (int step = 0; step <= most; ++step) {
            if (step > 0) Tick();
            if (Trace(*runner) == L"w") return step;
        }
        return -1;
    }
};

TEST_F(WaitWordsTest, TimeOutEndsOnTheUpdateThatUsesItUpAndSaysSo) {
    Play({Step(L"wait-for", {{L"time", L"2.5"}, {L"timed_out", L"late"}, {L"clicked", L"hit"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(10), 3);
    EXPECT_EQ(Var(L"late").ToBool(), true);
    EXPECT_EQ(Var(L"hit").ToBool(), false);
}

TEST_F(WaitWordsTest, TimeZeroDoesNothingAndANegativeTimeNeverRunsOut) {
    Play({Step(L"wait-for", {{L"time", L"0"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(0), 0);
    runner->Variables().erase(L"trace");
    Play({Step(L"wait-for", {{L"time", L"-1"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(200), -1);
    runner->Variables().erase(L"trace");
    Play({Step(L"wait-for", {}), Note(L"w")});  // neither time nor anything else: for ever
    EXPECT_EQ(WokeAfter(50), -1);
}

TEST_F(WaitWordsTest, ConditionIsPolledEveryUpdateBeforeTheTimeOut) {
    Play({Step(L"define", {{L"go", L"0"}}),
          Step(L"wait-for", {{L"cond", L"go == 1"}, {L"time", L"100"}, {L"timed_out", L"late"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(5), -1);
    runner->SetVariable(L"go", PropertyValue(1));
    EXPECT_EQ(WokeAfter(1), 1);
    EXPECT_EQ(Var(L"late").ToBool(), false);
    runner->Variables().erase(L"trace");
    Play({Step(L"wait-for", {{L"cond", L"1"}}), Note(L"w")});  // already true: no wait
    EXPECT_EQ(WokeAfter(0), 0);
}

// The condition a wait found at its first update is kept while it lasts:
// the wait right after it, and a wait of another script at the same place,
// each ask their own.
TEST_F(WaitWordsTest, EachConditionWaitAsksItsOwnCondition) {
    Play({Step(L"define", {{L"go", L"0"}}), Step(L"wait-for", {{L"cond", L"go == 1"}}), Note(L"a"),
          Step(L"wait-for", {{L"cond", L"go == 2"}}), Note(L"w")});
    Tick(2);
    EXPECT_EQ(Trace(*runner), L"");
    runner->SetVariable(L"go", PropertyValue(1));
    Tick();
    EXPECT_EQ(Trace(*runner), L"a");
    Tick(3);  // "go == 1" still holds, but this wait asks "go == 2"
    EXPECT_EQ(Trace(*runner), L"a");
    runner->SetVariable(L"go", PropertyValue(2));
    Tick();
    EXPECT_EQ(Trace(*runner), L"aw");

    runner->Variables().erase(L"trace");
    Play({Step(L"define", {{L"go", L"0"}}), Step(L"wait-for", {{L"cond", L"go == 3"}}), Note(L"w")});
    runner->SetVariable(L"go", PropertyValue(1));
    Tick(3);
    EXPECT_EQ(Trace(*runner), L"");
    runner->SetVariable(L"go", PropertyValue(3));
    Tick();
    EXPECT_EQ(Trace(*runner), L"w");
}

// A condition on one property of an object a variable holds is read from
// the object while the variables stand, and without its reference while the
// object is the script's widget or lies above it; each poll must still
// answer what evaluating the text answers, whatever changes the variable, the
// objects, their lives or the tree between polls: among them a widget the
// script lay in that goes while the script is out of the tree, and a new one
// made in its very place.
TEST_F(WaitWordsTest, PropertyConditionAnswersAsItsTextWhateverChanges) {
    std::mt19937 random(56);
    std::vector<DynamicWidget*> boxes, above(2);
    for (int i = 0; i < 3; ++i) boxes.push_back(Object(L"b" + std::to_wstring(i)));
    struct Place {
        alignas(DynamicWidget) std::byte bytes[sizeof(DynamicWidget)];
    };
    auto places = std::make_unique<Place[]>(2);
    auto makeAbove = [&](size_t at) {
        above[at] = new (places[at].bytes) DynamicWidget(1, 0, nullptr, 1.0f);
        mgr.AddWidget(above[at]);
    };
    makeAbove(0);
    makeAbove(1);
    auto* middle = new DynamicWidget(0, 0, nullptr, 1.0f);
    above[0]->AddWidget(middle);
    middle->AddWidget(runner);
    ExpressionEvaluator reference(runner->Variables());
    const std::wstring texts[] = {L"o.x", L"!o.x", L" ! o . x "};
    std::wstring text;
    // The widgets above the script half the time: the case the poll keeps the most.
    auto pick = [&]() -> DynamicWidget* {
        const size_t at = random() % (2 * (boxes.size() + 2));
        if (at < boxes.size()) return boxes[at];
        if (at == boxes.size()) return middle;
        if (at == boxes.size() + 1) return runner;
        return above[at % 2];
    };
    for (int round = 0; round < 1000; ++round) {
        const size_t at = random() % 2;
        switch (random() % 9) {
            case 0: runner->SetVariable(L"o", PropertyValue::FromWidget(pick())); break;
            case 1: runner->Variables().erase(L"o"); break;
            case 2: runner->SetVariable(L"o", PropertyValue(static_cast<int>(random() % 2))); break;
            case 3:  // written through a handed-out entry, the name unchanged
                if (auto it = runner->Variables().find(L"o"); it != runner->Variables().end())
                    it->second = PropertyValue::FromWidget(pick());
                break;
            case 4:  // an object goes, another takes its place in the list
                delete boxes[at];
                boxes[at] = Object(L"n" + std::to_wstring(round));
                break;
            case 5: above[at]->AddWidget(middle); break;
            case 6:  // out and back in, the script kept, while a widget it lay in goes
                runner->RemoveSelfKeep();
                if (middle->GetParent() == above[at]) above[1 - at]->AddWidget(middle);
                above[at]->~DynamicWidget();
                makeAbove(at);
                middle->AddWidget(runner);
                break;
            default: pick()->Move(static_cast<float>(random() % 2), 0.0f); break;
        }
        if (runner->IsScriptDone()) {
            runner->Variables().erase(L"trace");
            text = texts[random() % 3];
            Play({Step(L"wait-for", {{L"cond", text}}), Note(L"w")});
            if (runner->IsScriptDone()) continue;  // held at once: no wait
        }
        const bool expected = reference.Evaluate(text).ToBool();
        Tick();
        ASSERT_EQ(runner->IsScriptDone(), expected) << "round " << round << " text " << text.c_str();
    }
    mgr.AddWidget(runner);
    for (DynamicWidget* widget : above) widget->~DynamicWidget();
    delete middle;
}

TEST_F(WaitWordsTest, ObjectsAndAnimationsEvents) {
    DynamicWidget* box = Object(L"box");
    Play({Step(L"wait-for", {{L"event", L"objects"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(0), 0);  // nothing animating: no wait
    runner->Variables().erase(L"trace");
    Play({Step(L"change", {{L"id", L"box"}, {L"property", L"x"}, {L"end", L"5"}, {L"time", L"5"}}),
          Step(L"wait-for", {{L"event", L"objects"}}), Note(L"w")});
    // The poll runs before the objects' own update in the same pass, so it
    // sees the change that ended in step 5 at step 6.
    EXPECT_EQ(WokeAfter(10), 6);
    EXPECT_EQ(box->GetX(), 5.0f);
    runner->Variables().erase(L"trace");
    Play({Step(L"wait-for", {{L"event", L"animations"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(3), 1);  // always until the next update
}

TEST_F(WaitWordsTest, ObjectAndControllerWaitsFollowTheirTarget) {
    DynamicWidget* box = Object(L"box");
    Play({Step(L"wait-for", {{L"id", L"box"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(0), 0);  // not animating: no wait
    runner->Variables().erase(L"trace");
    Play({Step(L"change", {{L"id", L"box"}, {L"property", L"x"}, {L"end", L"9"}, {L"time", L"3"}}),
          Step(L"wait-for", {{L"id", L"box"}, {L"event", L"object"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(10), 4);
    runner->Variables().erase(L"trace");
    Play({Step(L"change", {{L"id", L"box"}, {L"property", L"y"}, {L"end", L"9"}, {L"time", L"30"}}),
          Step(L"change",
               {{L"id", L"box"}, {L"property", L"x"}, {L"end", L"0"}, {L"time", L"3"}, {L"controller", L"slide"}}),
          Step(L"wait-for", {{L"id", L"box"}, {L"controller", L"slide"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(10), 4);
    EXPECT_TRUE(box->IsAnimating());  // the other change still runs
    runner->Variables().erase(L"trace");
    Play({Step(L"wait-for", {{L"id", L"box"}, {L"event", L"mouse_up"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(5), -1);
    box->RemoveSelf();  // the awaited object is gone
    EXPECT_EQ(WokeAfter(0), 0);
}

TEST_F(WaitWordsTest, AnimationEventWaitsForTheOtherScriptToEnd) {
    Define(L"kid", {Step(L"wait-for", {{L"time", L"3"}})});
    auto* kid = new AnimationWidget(L"kid", 0, 0, false);
    runner->RegisterObject(L"kid", kid);
    Play({Step(L"wait-for", {{L"id", L"kid"}, {L"event", L"animation"}}), Note(L"w")});
    // The kid's script ends in its own poll, after the runner's in step 3.
    EXPECT_EQ(WokeAfter(10), 4);
    runner->Variables().erase(L"trace");
    Play({Step(L"wait-for", {{L"id", L"kid"}, {L"event", L"animation"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(0), 0);  // its script is done: no wait
}

TEST_F(WaitWordsTest, MouseEventsOnTheTargetEndTheirWait) {
    DynamicWidget* box = Object(L"box");
    Play({Step(L"wait-for", {{L"id", L"box"}, {L"event", L"mouse_down"}}), Note(L"w")});
    runner->ButtonRelease(box->GetId());
    EXPECT_EQ(WokeAfter(2), -1);
    runner->ButtonPress(box->GetId());
    EXPECT_EQ(WokeAfter(0), 0);
}

TEST_F(WaitWordsTest, ClickEndsTheWaitOnlyWithAPressSeenAfterItBegan) {
    Play({Step(L"wait-for", {{L"click", L"1"}, {L"time", L"100"}, {L"clicked", L"hit"}, {L"timed_out", L"late"}}),
          Note(L"w")});
    mgr.NotifyClickRelease();  // no press since the wait began
    EXPECT_EQ(WokeAfter(2), -1);
    mgr.NotifyClickPress();
    mgr.NotifyClickRelease();
    EXPECT_EQ(WokeAfter(0), 0);
    EXPECT_EQ(Var(L"hit").ToBool(), true);
    EXPECT_EQ(Var(L"late").ToBool(), false);
    // The listener is gone with the wait: a later click changes nothing.
    runner->SetVariable(L"hit", PropertyValue(false));
    mgr.NotifyClickPress();
    mgr.NotifyClickRelease();
    EXPECT_EQ(Var(L"hit").ToBool(), false);
}

// Sounds and tracks registered under names, playing while the test says so.
class FakeSound : public SoundInstance {
public:
    void Release() override {}
    void SetBaseVolume(double) override {}
    void SetBasePan(int) override {}
    void SetPitch(double) override {}
    void SetVolume(double) override {}
    void SetPan(int) override {}
    bool Play(bool, bool) override { return true; }
    void Stop() override {}
    bool IsPlaying() override { return true; }
    bool IsReleased() override { return false; }
    double GetVolume() override { return 1.0; }
};

class FakeAudio : public NullAppServices {
public:
    int FindSoundId(std::wstring_view name) override { return name == L"boom" ? 3 : -1; }
    int FindTrackId(std::wstring_view name) override { return name == L"song" ? 5 : -1; }

    class Sounds : public NullSoundManager {
    public:
        SoundInstance* FindPlayingInstance(int id) override { return playing.count(id) ? &instance : nullptr; }
        std::set<int> playing;
        FakeSound instance;
    } sounds;
    class Tracks : public TrackInterface {
    public:
        bool IsTrackPlaying(int id) override { return playing.count(id) != 0; }
        std::set<int> playing;
    } tracks;

private:
    ScopedService<AppServices> app_{this};
    ScopedService<SoundManager> sound_{&sounds};
    ScopedService<TrackInterface> music_{&tracks};
};

TEST_F(WaitWordsTest, SoundAndTrackWaitsIgnoreTheTimeAndUnknownNamesWaitOnTheCondition) {
    FakeAudio audio;
    audio.sounds.playing.insert(3);
    Play({Step(L"wait-for", {{L"sound", L"boom"}, {L"time", L"2"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(5), -1);
    audio.sounds.playing.clear();
    EXPECT_EQ(WokeAfter(1), 1);
    runner->Variables().erase(L"trace");
    audio.tracks.playing.insert(5);
    Play({Step(L"wait-for", {{L"track", L"song"}, {L"time", L"2"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(5), -1);
    audio.tracks.playing.clear();
    EXPECT_EQ(WokeAfter(1), 1);
    runner->Variables().erase(L"trace");
    Play({Step(L"wait-for", {{L"sound", L"nope"}, {L"time", L"2"}}), Note(L"w")});
    EXPECT_EQ(WokeAfter(5), 2);
}

class EndListener : public AnimationListener {
public:
    void AnimationEnded(int) override { ++ended; }
    int ended = 0;
};

TEST_F(WaitWordsTest, PersistHoldsTheScriptUntilAnotherRunReplacesIt) {
    EndListener listener;
    listener.Watch(runner);
    Play({Step(L"persist"), Note(L"never")});
    EXPECT_EQ(listener.ended, 1);
    EXPECT_EQ(runner->GetWaitKind(), AnimationWidget::kPersist);
    EXPECT_EQ(WokeAfter(20), -1);
    Define(L"next", {Note(L"w")});
    runner->RunAnimationNamed(L"next");
    EXPECT_EQ(Trace(*runner), L"w");
}

}  // namespace
