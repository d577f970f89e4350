#pragma once
// LoadingMenu: the game's title screen, shown while the loading thread reads
// the data: the title picture, the game logo and a loading bar that fills
// with the application's progress; once loading has finished a pulsing
// "PlayGame" button takes the bar's place. Pressing it closes the title
// screen when a player is chosen; with none, the name entry opens above it
// and the title screen stays (logo hidden, button fading) until a name is
// accepted. IntroMenu ("intro_menu") is the introduction a player sees once,
// before the first visit to the parks; with no script to run it leaves as
// soon as it opens.
// Main thread only.

#include "widgets/screens/menu.h"
#include "widgets/screens/title_screen.h"

class ButtonWidget;
class Image;

class LoadingMenu : public TitleScreen {
public:
    LoadingMenu();

    void Draw(Graphics* g) override;
    void LoadingFinished() override;
    void ButtonRelease(int id) override;

    ButtonWidget* GetPlayButton() const { return playButton_; }
    bool ShowsLogo() const { return showLogo_; }

private:
    Image* gameLogo_;
    Image* loadingBarBase_;
    Image* loadingBarTop_;
    ButtonWidget* playButton_ = nullptr;
    bool showLogo_ = true;
};

class IntroMenu : public Menu {
public:
    IntroMenu();
    void AnimationFinished() override;
    void MenuOpened() override;
};
