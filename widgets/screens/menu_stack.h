#pragma once
// The application's menu stack: the menus in the order they joined the
// widget manager, the one holding the menu focus, the hidden typed command
// words, and the transition a menu opens through. The application owns one
// and its MenuHost forwards to it (menu_host.h).
//
// Promises: a menu leaves the stack when it leaves the manager; when it held
// the menu focus, the manager's focus goes to the menu now on top, which
// becomes the active menu. The focused menu is active (unpaused), the one
// that lost the focus inactive. Main thread only.

#include <list>
#include <string_view>

class Menu;

class MenuStack {
public:
    MenuStack() = default;
    virtual ~MenuStack() = default;
    MenuStack(const MenuStack&) = delete;
    MenuStack& operator=(const MenuStack&) = delete;

    void PushMenuStack(Menu* menu);
    void RemoveFromMenuStack(Menu* menu);
    void UpdateMenuFocus(Menu* menu);
    // The last eight characters typed into a menu: "wimbolxe" quits without
    // the game saving its player data, "wimbolzu" reads constants.xml again.
    virtual void HandleTypedCommand(std::wstring_view text);
    // The menu to show in place of `menu`: the menu itself here.
    virtual Menu* CreateMenuTransition(Menu* menu) { return menu; }

    const std::list<Menu*>& Menus() const { return menus_; }
    Menu* FocusedMenu() const { return focused_; }
    // Whether the game saves its player data when the application ends.
    bool SaveOnExit() const { return saveOnExit_; }
    void SetSaveOnExit(bool save) { saveOnExit_ = save; }

private:
    std::list<Menu*> menus_;
    Menu* focused_ = nullptr;
    bool saveOnExit_ = true;
};
