#include "game/frontend/menus/level_select_menu.h"

#include "foundation/system/log.h"
#include "game/data/progress/player_state.h"
#include "game/frontend/menus/frontend_host.h"
#include "game/frontend/menus/main_menu.h"
#include "widgets/screens/menu_host.h"
#include "widgets/screens/notice_menu.h"

namespace {

constexpr std::wstring_view kScript = L"level_select_menu";
constexpr std::wstring_view kMapGroup = L"map_screen";

PlayerState* CurrentPlayer() { return dynamic_cast<PlayerState*>(BasicPlayerState::Current()); }

}  // namespace

LevelSelectMenu::LevelSelectMenu() : Menu(kScript) {
    FrontendHost& host = Service<FrontendHost>::Get();
    host.LoadDynamicAssets({std::wstring(kMapGroup)});
    SetUseTransition(true);
    PlayerState* player = CurrentPlayer();
    if (player) player->SetCurrentLevel(L"");
    SetVariable(L"player_state",
                PropertyValue::FromPropertyInterface(dynamic_cast<ExtendedPropertyInterface*>(player)));
}

LevelSelectMenu::~LevelSelectMenu() { Service<FrontendHost>::Get().UnloadDynamicAssets({std::wstring(kMapGroup)}); }

void LevelSelectMenu::DoAction(std::wstring_view action, std::wstring_view parameter, int) {
    if (action == L"main") {
        left_ = true;
        ShowMenu(new MainMenu());
        RemoveSelf();
    } else if (action == L"play") {
        if (choosing_) return;
        choosing_ = true;
        SetVariable(L"level_to_play", PropertyValue::FromWString(std::wstring(parameter)));
        // Released before the script runs: a loading display that answers at
        // once opens the park (or the menus again) before this returns.
        LoadMainMenuAssets(false);
        RunAnimationNamed(L"loading");
    } else if (action == L"displayed_loading") {
        if (!left_) StartLevel(parameter);
    }
}

PropertyValue LevelSelectMenu::GetProperty(std::wstring_view name) {
    if (name == L"is_survey") return PropertyValue::FromBool(false);
    return Menu::GetProperty(name);
}

void LevelSelectMenu::StartLevel(std::wstring_view levelName) {
    PlayerState* player = CurrentPlayer();
    if (!player || !player->FindLevel(levelName)) {
        // The map comes back as it was, with the main menu's pictures the
        // "play" released, so the player can choose again or leave.
        LogWrite(L"No park named '" + std::wstring(levelName) + L"' to play; the map stays", true);
        choosing_ = false;
        LoadMainMenuAssets(true);
        RemoveObjects(false);
        PlayAnimationNamed(kScript);
        return;
    }
    left_ = true;
    player->SetCurrentLevel(levelName);
    FrontendHost& host = Service<FrontendHost>::Get();
    if (Menu* display = host.CreateInGameDisplay()) {
        ShowMenu(display);
        RemoveSelf();
        return;
    }
    // A game without a display to play in: never a blank screen, the main
    // menu comes back under the notice that the parks open soon.
    player->SetCurrentLevel(L"");
    LoadMainMenuAssets(true);
    host.ShowMainMenu();
    ShowMenu(new NoticeMenu(L"parks_soon", nullptr, L"menu"));
    RemoveSelf();
}
