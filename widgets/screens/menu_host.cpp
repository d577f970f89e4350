#include "widgets/screens/menu_host.h"

#include "widgets/screens/menu.h"

MenuHost& MenuHost::Fallback() {
    static NullMenuHost fallback;
    return fallback;
}

void NullMenuHost::AddMenu(Menu* menu) {
    // Nobody to show it: it would never be deleted either.
    if (menu && !menu->GetParent()) delete menu;
}

void NullMenuHost::RemoveMenu(Menu* menu) {
    if (menu) menu->Widget::RemoveSelf();
}

void ShowMenu(Menu* menu) {
    if (!menu) return;
    Service<MenuHost>::Get().AddMenu(menu->UsesTransition() ? menu->WrapInTransition() : menu);
}
