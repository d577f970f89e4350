#pragma once
// What the start-up screens and the board ask of the application: the next
// screen of the start-up sequence (logo, the two splash pictures, then the
// first screen), the current title screen and its end, and the current
// player's play time.
//
// Reached through Service<StartupHost>. While nothing is installed
// NullStartupHost answers: no next screen, no title screen, no player.
// Tests derive their doubles from NullStartupHost. Main thread only.

#include <cstdint>

#include "foundation/system/service.h"

class TitleScreen;

// Hours, minutes and ticks of one player's play time; a tick is one fixed
// update, 6000 of them a minute.
struct PlayTime {
    int32_t hours = 0;
    int32_t minutes = 0;
    int32_t ticks = 0;
};

class StartupHost {
public:
    StartupHost() = default;
    virtual ~StartupHost() = default;
    StartupHost(const StartupHost&) = delete;
    StartupHost& operator=(const StartupHost&) = delete;

    static StartupHost& Fallback();

    // Called by each start-up screen as it ends.
    virtual void ShowNextSplashScreen() = 0;
    // The title screen now showing; that the player is done with it; and that
    // it is being destroyed (forgotten when it is still the current one).
    virtual void SetTitleScreen(TitleScreen* screen) = 0;
    virtual void TitleScreenDone() = 0;
    virtual void TitleScreenGone(TitleScreen* screen) = 0;
    // The current player's play time; false (and `time` untouched) without a current player.
    virtual bool GetPlayTime(PlayTime& time) = 0;
    virtual void SetPlayTime(const PlayTime& time) = 0;
};

class NullStartupHost : public StartupHost {
public:
    void ShowNextSplashScreen() override {}
    void SetTitleScreen(TitleScreen*) override {}
    void TitleScreenDone() override {}
    void TitleScreenGone(TitleScreen*) override {}
    bool GetPlayTime(PlayTime&) override { return false; }
    void SetPlayTime(const PlayTime&) override {}
};
