#include "game/frontend/menus/beat_level_menu.h"

#include "game/data/progress/player_state.h"
#include "game/frontend/menus/frontend_host.h"
#include "game/frontend/menus/level_select_menu.h"
#include "game/frontend/menus/main_menu.h"
#include "widgets/screens/menu_host.h"

BeatLevelMenu::BeatLevelMenu() : Menu(nullptr, false, false) {
    auto* player = dynamic_cast<PlayerState*>(BasicPlayerState::Current());
    LEVEL* level = player ? player->CurrentLevelRecord() : nullptr;
    // Group names match by containment: a bare prefix would load every park's splash.
    if (level) splashGroup_ = L"bg_splash_" + level->name;
    SetUseTransition(true);
    if (!splashGroup_.empty()) Service<FrontendHost>::Get().LoadDynamicAssets({splashGroup_});
    SetVariable(L"player_state",
                PropertyValue::FromPropertyInterface(dynamic_cast<ExtendedPropertyInterface*>(player)));
    SetVariable(L"level", PropertyValue::FromPropertyInterface(level));
    RunAnimationNamed(L"beat_level_menu");
}

BeatLevelMenu::~BeatLevelMenu() { UnloadSplash(); }

void BeatLevelMenu::DoAction(std::wstring_view action, std::wstring_view parameter, int number) {
    if (action == L"main")
        GoToMenu(new MainMenu());
    else if (action == L"credits")
        GoToMenu(new CreditsMenu());
    else if (action == L"level_select")
        GoToMenu(new LevelSelectMenu());
    else
        AnimationWidget::DoAction(action, parameter, number);
}

void BeatLevelMenu::GoToMenu(Menu* menu) {
    ShowMenu(menu);
    RemoveSelf();
    // Only once the screen is off the tree: it draws the splash until then.
    UnloadSplash();
}

void BeatLevelMenu::UnloadSplash() {
    if (splashGroup_.empty()) return;
    Service<FrontendHost>::Get().UnloadDynamicAssets({splashGroup_});
    splashGroup_.clear();
}
