#pragma once
// BeatLevelMenu: the screen a completed park ends on ("beat_level_menu"
// script over the whole screen): the park's own splash picture and the
// player's results, with the ways on to the main menu, the credits or the
// map. The in-game display builds it while its level is still current; the
// splash picture's group ("bg_splash_" and the level's name) is loaded for
// as long as the screen stands. Without a current level there is no splash
// to load. Main thread only.

#include <string>
#include <string_view>

#include "widgets/screens/menu.h"

class BeatLevelMenu : public Menu {
public:
    BeatLevelMenu();
    ~BeatLevelMenu() override;

    // "main", "credits" and "level_select" open that screen in this one's
    // place; anything else goes to the parent.
    void DoAction(std::wstring_view action, std::wstring_view parameter, int number) override;

    const std::wstring& SplashGroup() const { return splashGroup_; }

private:
    void GoToMenu(Menu* menu);
    void UnloadSplash();

    std::wstring splashGroup_;
};
