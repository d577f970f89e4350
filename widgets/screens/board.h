#pragma once
// Board: the full-screen widget under every menu. It counts the current
// player's play time, one tick per fixed update, and while the application
// is paused it covers the screen, above every menu, with a translucent
// "paused" sign. The game's board supplies the two menus it opens.
// Main thread only.

#include "widgets/screens/startup_host.h"
#include "widgets/tree/widget.h"

class Board : public Widget {
public:
    // Screen-sized, at 0, 0.
    Board();

    // The game's own menus.
    virtual void ShowMainMenu() = 0;
    virtual void ShowPlayMenu() = 0;
    // Opens the main menu (the board does so when it enters the screen).
    virtual void GoToMainMenu();

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void Draw(Graphics* g) override;

    // Called by the application whenever its pause counter changes.
    void SetPaused(bool paused);
    bool IsBoardPaused() const { return paused_; }

private:
    bool paused_ = false;
    // What the board had before pausing raised it above everything.
    int restPriority_ = 0;
    int restOverlayThreshold_ = 0;
};

// One tick more of play time: 6000 ticks make a minute, 60 minutes an hour.
void AdvancePlayTime(PlayTime& time);
