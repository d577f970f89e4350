#pragma once
// LevelSelectMenu: the map ("level_select_menu" script) from which the player
// picks a park. Opening it releases the last park's resources (the player
// state is left with no current level) and loads the map's pictures. A sign
// sends "play" with its level's name: the script's "loading" animation shows,
// the main menu's pictures are released, and once the loading display is on
// screen the script answers "displayed_loading" with the name, which makes
// that level current and opens it in the in-game display in place of the
// map. A name the player has no level of leaves the map as it was. Once a
// park is chosen, further choices wait until that one has opened or failed:
// a double click opens one park once, and the map opens no park after it
// has left.
// Main thread only.

#include <string_view>

#include "widgets/screens/menu.h"

class LevelSelectMenu : public Menu {
public:
    LevelSelectMenu();
    ~LevelSelectMenu() override;

    // Only "main", "play" and "displayed_loading" act; nothing reaches a parent.
    void DoAction(std::wstring_view action, std::wstring_view parameter, int number) override;
    PropertyValue GetProperty(std::wstring_view name) override;

    void StartLevel(std::wstring_view levelName);

private:
    bool choosing_ = false;
    bool left_ = false;
};
