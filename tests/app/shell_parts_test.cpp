// The shell's small deciders: the screen-saver input filter, the idle watch
// that lets the system's screen saver run, the desktop fit,
// the first mouse speed, the data folder's default and the cursor kinds.

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/settings/command_line.h"
#include "app/shell/cursor_kinds.h"
#include "app/shell/data_folder.h"
#include "app/shell/screensaver_filter.h"
#include "app/shell/screensaver_watch.h"
#include "app/shell/window_placement.h"

namespace {

namespace msg = plat::msg;

TEST(ScreensaverFilter, MouseJitterIsForgivenThreeTimesAndNeverInThePreview) {
    ScreensaverFilter saver;
    EXPECT_FALSE(saver.Filter(msg::kMouseMove, 0, false, 0, 100, 100).end);       // arms at the resting place
    EXPECT_FALSE(saver.Filter(msg::kMouseMove, 0, false, 10, 100, 100).handled);  // no movement: not counted
    for (int i = 1; i <= ScreensaverFilter::kForgivenMoves; ++i) {
        auto v = saver.Filter(msg::kMouseMove, 0, false, 10, 100 + i, 100);
        EXPECT_TRUE(v.handled) << i;
        EXPECT_FALSE(v.end) << i;
    }
    EXPECT_TRUE(saver.Filter(msg::kMouseMove, 0, false, 10, 110, 100).end);

    ScreensaverFilter preview;
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(preview.Filter(msg::kMouseMove, 0, true, 0, i * 5, 0).end);
    EXPECT_FALSE(preview.Filter(msg::kKeyDown, 'A', true, 0, 0, 0).end);
    EXPECT_FALSE(preview.Filter(msg::kLButtonDown, 0, true, 0, 0, 0).end);
    EXPECT_FALSE(preview.Filter(msg::kSysCommand, plat::kScClose, true, 0, 0, 0).handled);
}

TEST(ScreensaverFilter, KeysClicksAndDeactivationEndItExceptJustAfterMonitorPowerDown) {
    for (uint32_t id : {msg::kKeyDown, msg::kSysKeyDown, msg::kRButtonDown, msg::kMButtonDown}) {
        ScreensaverFilter saver;
        EXPECT_TRUE(saver.Filter(id, 0, false, 0, 0, 0).end) << id;
    }
    ScreensaverFilter saver;
    EXPECT_FALSE(saver.Filter(msg::kActivateApp, 1, false, 0, 0, 0).end);  // activation itself is fine
    // Switching away and starting another screen saver are refused.
    for (plat::WParam command : {ScreensaverFilter::kScNextWindow, ScreensaverFilter::kScPrevWindow,
                                 ScreensaverFilter::kScScreenSave, plat::kScClose})
        EXPECT_TRUE(saver.Filter(msg::kSysCommand, command, false, 0, 0, 0).handled) << command;

    EXPECT_FALSE(saver.Filter(msg::kSysCommand, ScreensaverFilter::kScMonitorPower, false, 5000, 0, 0).handled);
    EXPECT_FALSE(saver.Filter(msg::kActivateApp, 0, false, 5999, 0, 0).end);
    EXPECT_FALSE(saver.Filter(msg::kClose, 0, false, 5500, 0, 0).end);
    EXPECT_TRUE(saver.Filter(msg::kKeyDown, 'A', false, 5500, 0, 0).end);  // the player's own key counts at once
    EXPECT_TRUE(saver.Filter(ScreensaverFilter::kNcActivate, 0, false, 6000, 0, 0).end);

    saver.SetEnding();  // the close on its way passes untouched
    EXPECT_FALSE(saver.Filter(msg::kClose, 0, false, 7000, 0, 0).end);
    EXPECT_FALSE(saver.Filter(msg::kSysCommand, plat::kScClose, false, 7000, 0, 0).handled);
}

class FakeScreenSaver : public ScreenSaverSystem {
public:
    bool ReadSettings(int* timeoutSeconds, bool* on) override {
        ++reads;
        *timeoutSeconds = seconds;
        *on = enabled;
        return true;
    }
    bool LastInputTime(uint32_t, uint32_t* time) override {
        if (!knowsInput) return false;
        *time = lastInput;
        return true;
    }
    bool IsRunning(bool* running) override {
        *running = runningNow;
        return true;
    }
    int seconds = 60;
    bool enabled = true;
    bool knowsInput = true;
    uint32_t lastInput = 0;
    bool runningNow = false;
    int reads = 0;
};

TEST(ScreenSaverWatch, PausesTwoSecondsBeforeTheSystemTimeoutAndResumesOnInput) {
    FakeScreenSaver system;
    ScreenSaverWatch watch;
    uint32_t appInput = 1000;
    system.lastInput = 1000;
    EXPECT_FALSE(watch.Check(1000, appInput, system));
    EXPECT_EQ(watch.TimeoutMs(), 58000u);
    EXPECT_FALSE(watch.Check(1000 + 58000, appInput, system));
    EXPECT_FALSE(watch.Active());  // exactly the timeout: not yet beyond it
    EXPECT_FALSE(watch.Check(1000 + 58001, appInput, system));
    EXPECT_TRUE(watch.Active());

    system.runningNow = true;  // the saver shows; input alone does not resume while it runs
    system.lastInput = 70000;
    EXPECT_FALSE(watch.Check(70500, appInput, system));
    EXPECT_TRUE(watch.Active());
    system.runningNow = false;
    EXPECT_TRUE(watch.Check(70600, appInput, system));  // repaint
    EXPECT_FALSE(watch.Active());
    EXPECT_EQ(appInput, 70000u);

    // A desktop input time ahead of the clock is taken as now.
    system.lastInput = 90000;
    watch.Check(80000, appInput, system);
    EXPECT_EQ(appInput, 80000u);
    // Settings are re-read every ten seconds, not on every check.
    // at 1000, 59000 and 70500; the checks 1, 100 and 9500 ms after a read do not read.
    EXPECT_EQ(system.reads, 3);
}

TEST(ScreenSaverWatch, DisabledSystemSaverNeverPausesAndClearsAPause) {
    FakeScreenSaver system;
    system.seconds = 1;  // timeout floor: one second
    ScreenSaverWatch watch;
    uint32_t appInput = 0;
    watch.Check(0, appInput, system);
    EXPECT_EQ(watch.TimeoutMs(), 1000u);
    watch.Check(5000, appInput, system);
    EXPECT_TRUE(watch.Active());
    system.enabled = false;
    watch.Check(5000 + ScreenSaverWatch::kReadEveryMs, appInput, system);
    EXPECT_FALSE(watch.Active());
    watch.Check(5000 + 2 * ScreenSaverWatch::kReadEveryMs, appInput, system);
    EXPECT_FALSE(watch.Active());
}

TEST(DesktopFit, TenPixelsToSpareForAWindow) {
    EXPECT_EQ(CheckDesktopSize(1034, 778, 1024, 768), DesktopFit::kFullscreenOnly);
    EXPECT_EQ(CheckDesktopSize(1035, 779, 1024, 768), DesktopFit::kWindowed);
    EXPECT_EQ(CheckDesktopSize(1280, 778, 1024, 768), DesktopFit::kFullscreenOnly);
    EXPECT_EQ(CheckDesktopSize(1024, 768, 1024, 768), DesktopFit::kFullscreenOnly);
    EXPECT_EQ(CheckDesktopSize(1023, 900, 1024, 768), DesktopFit::kTooSmall);
    EXPECT_EQ(CheckDesktopSize(1280, 767, 1024, 768), DesktopFit::kTooSmall);
}

TEST(MouseSpeed, FirstSpeedQuickensOnWideDesktopsUpToTwenty) {
    EXPECT_EQ(InitialMouseSpeed(10, 1024, 1024), 10);
    EXPECT_EQ(InitialMouseSpeed(10, 1228, 1024), 10);  // ratio 1.199
    for (int desktop : {1400, 1920, 2560}) {
        const double ratio = desktop / 1024.0;
        EXPECT_EQ(InitialMouseSpeed(10, desktop, 1024), std::min(20, static_cast<int>((ratio - 1.2) * 5 + 10)));
    }
    EXPECT_EQ(InitialMouseSpeed(18, 7680, 1024), 20);
}

TEST(DataFolder, WithoutHomeTheUsersOwnHomeFromThePasswordDatabase) {
    const char* was = std::getenv("HOME");
    const std::optional<std::string> saved = was ? std::optional<std::string>(was) : std::nullopt;
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_NE(user, nullptr);
    std::string home = user->pw_dir;
    while (home.size() > 1 && home.back() == '/') home.pop_back();

    ::setenv("HOME", "/somewhere/else", 1);
    EXPECT_EQ(DefaultDataFolder("Co", "Game"), "/somewhere/else/.local/share/Co/Game/");
    for (const bool empty : {false, true}) {
        empty ? ::setenv("HOME", "", 1) : ::unsetenv("HOME");
        EXPECT_EQ(DefaultDataFolder("Co", "Game"), home + "/.local/share/Co/Game/") << "empty: " << empty;
        EXPECT_EQ(DefaultDataFolder("", "Game"), home + "/.local/share/Game/");
    }
    saved ? ::setenv("HOME", saved->c_str(), 1) : ::unsetenv("HOME");
}

TEST(CursorKinds, EveryKindHasItsShapeAndTheBuiltInsTheirHotSpots) {
    using S = CursorChoice::Source;
    EXPECT_EQ(ChooseCursor(0).system, plat::SystemCursor::Arrow);
    EXPECT_EQ(ChooseCursor(1).source, S::kBuiltin);
    EXPECT_EQ(ChooseCursor(1).builtin, 0);
    EXPECT_EQ(ChooseCursor(2).builtin, 1);
    const plat::SystemCursor expected[] = {plat::SystemCursor::IBeam,   plat::SystemCursor::No,
                                           plat::SystemCursor::SizeAll, plat::SystemCursor::SizeNESW,
                                           plat::SystemCursor::SizeNS,  plat::SystemCursor::SizeNWSE,
                                           plat::SystemCursor::SizeWE};
    for (int kind = 3; kind <= 9; ++kind) {
        EXPECT_EQ(ChooseCursor(kind).source, S::kSystem);
        EXPECT_EQ(ChooseCursor(kind).system, expected[kind - 3]) << kind;
    }
    EXPECT_EQ(ChooseCursor(11).source, S::kNone);
    for (int kind : {10, 12, 13, -1}) {
        EXPECT_EQ(ChooseCursor(kind).source, S::kSystem);
        EXPECT_EQ(ChooseCursor(kind).system, plat::SystemCursor::Arrow);
    }
    std::vector<uint32_t> pixels;
    for (int which : {0, 1}) {
        plat::CursorImage image = BuiltinCursorImage(which, pixels);
        ASSERT_EQ(image.width, 32);
        ASSERT_EQ(image.height, 32);
        // The hot spot lies on the drawn shape, not on transparency.
        EXPECT_NE(pixels[static_cast<size_t>(image.hotY) * 32 + image.hotX] >> 24, 0u) << which;
    }
    EXPECT_EQ(BuiltinCursorImage(0, pixels).hotX, 11);
    EXPECT_EQ(BuiltinCursorImage(1, pixels).hotY, 10);
}

TEST(CommandLine, ScreensaverProgramNames) {
    EXPECT_TRUE(IsScreensaverProgramName("/opt/game/GAME.SCR"));
    EXPECT_TRUE(IsScreensaverProgramName("saver.scr"));
    EXPECT_FALSE(IsScreensaverProgramName("/opt/game.scr/game"));
    EXPECT_FALSE(IsScreensaverProgramName("game.scrx"));
    EXPECT_FALSE(IsScreensaverProgramName("scr"));
}

}  // namespace
