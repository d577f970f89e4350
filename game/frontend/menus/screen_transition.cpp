#include "game/frontend/menus/screen_transition.h"

#include "widgets/screens/menu_host.h"

ScreenTransition::ScreenTransition(Menu* menu) : Transition(L"transition", nullptr, false) {
    // A dialog opened right after its menu takes the menu focus; paused, the
    // transition would never end and its picture would hide the screen for good.
    SetPausable(false);
    if (menu) Service<MenuHost>::Get().AddMenu(menu);
}
