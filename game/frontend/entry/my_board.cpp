#include "game/frontend/entry/my_board.h"

#include "app/player/basic_player_state.h"
#include "game/frontend/menus/level_select_menu.h"
#include "game/frontend/menus/loading_menu.h"
#include "game/frontend/menus/main_menu.h"
#include "widgets/screens/menu_host.h"

void MyBoard::ShowMainMenu() { ShowMenu(new MainMenu()); }

void MyBoard::ShowPlayMenu() {
    BasicPlayerState* player = BasicPlayerState::Current();
    if (player && !player->started_) {
        player->started_ = true;
        ShowMenu(new IntroMenu());
        return;
    }
    ShowMenu(new LevelSelectMenu());
}
