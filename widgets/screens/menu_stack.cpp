#include "widgets/screens/menu_stack.h"

#include <algorithm>

#include "foundation/expression/constants.h"
#include "widgets/screens/menu.h"
#include "widgets/screens/menu_host.h"
#include "widgets/tree/widget_manager.h"

void MenuStack::PushMenuStack(Menu* menu) { menus_.push_back(menu); }

void MenuStack::RemoveFromMenuStack(Menu* menu) {
    auto it = std::find(menus_.begin(), menus_.end(), menu);
    if (it != menus_.end()) menus_.erase(it);
    if (menu != focused_) return;
    focused_ = nullptr;
    if (menus_.empty()) return;
    Menu* top = menus_.back();
    if (WidgetManager* manager = top->GetManager()) manager->SetFocus(top);
}

void MenuStack::UpdateMenuFocus(Menu* menu) {
    if (focused_) focused_->SetPaused(false);
    focused_ = menu;
    if (menu) menu->SetPaused(true);
}

void MenuStack::HandleTypedCommand(std::wstring_view text) {
    if (text == L"wimbolxe") {
        saveOnExit_ = false;
        Service<MenuHost>::Get().Shutdown();
    } else if (text == L"wimbolzu") {
        // Loading happens in the constructor; the values stay in the constants map.
        Constants reload;
    }
}
