#pragma once
// TitleScreen: the base of the title and loading screen, the first screen
// after the splash pictures. While it exists the application knows it as the
// current title screen and tells it when loading has finished; it is never
// paused. The game's loading screen adds its progress bar and play button.
// Main thread only.

#include "widgets/screens/menu.h"

class TitleScreen : public Menu {
public:
    explicit TitleScreen(Image* image);
    ~TitleScreen() override;

    // Loading has finished: the base redraws; the game adds its play button.
    virtual void LoadingFinished();
    // The player is done with it: the application releases the intro assets.
    void Close();

    bool IsPaused() const override { return false; }
    void DrawAll(PassFlags& flags, Graphics* g) override;

protected:
    // 2 while the game's loading screen shows only black.
    virtual int LoadingState() const { return 0; }
};
