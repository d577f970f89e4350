#pragma once
// What menus ask of the application: the register of open menus (showing
// and closing one), the menu stack with the menu focus (MenuStack, which the
// application owns and forwards to), the looping sounds of its sound player,
// shutting down, whether it runs as a screen-saver preview, and its widget
// manager (to draw the whole screen into a picture).
//
// Reached through Service<MenuHost>. While nothing is installed
// NullMenuHost answers: it keeps a MenuStack of its own, so menus in a bare
// tree still take the focus; a menu handed to AddMenu has nobody to show it
// and is deleted at once; RemoveMenu takes the menu out of its parent (the
// tree deletes it later); sounds and shutting down do nothing. Tests derive
// their doubles from NullMenuHost. Main thread only.

#include <set>
#include <string_view>

#include "foundation/system/service.h"
#include "widgets/screens/menu_stack.h"

class Menu;
class WidgetManager;

class MenuHost {
public:
    MenuHost() = default;
    virtual ~MenuHost() = default;
    MenuHost(const MenuHost&) = delete;
    MenuHost& operator=(const MenuHost&) = delete;

    static MenuHost& Fallback();

    // The register of open menus: AddMenu takes the menu over and shows it
    // (closing an open menu with the same id first); RemoveMenu closes it,
    // and the tree deletes it later. Removing a menu not yet shown does nothing.
    virtual void AddMenu(Menu* menu) = 0;
    virtual void RemoveMenu(Menu* menu) = 0;

    // The menu stack (MenuStack's operations of the same names).
    virtual void PushMenuStack(Menu* menu) = 0;
    virtual void RemoveFromMenuStack(Menu* menu) = 0;
    virtual void UpdateMenuFocus(Menu* menu) = 0;
    virtual void HandleTypedCommand(std::wstring_view text) = 0;
    virtual Menu* CreateMenuTransition(Menu* menu) = 0;

    // Looping sounds, counted per user by the sound player.
    virtual void StartSoundLoop(int soundId, float fade) = 0;
    virtual void StopSoundLoop(int soundId, float fade) = 0;
    virtual void SilenceSoundLoops(bool silence, const std::set<int>& soundIds) = 0;

    virtual void Shutdown() = 0;
    // Running in the screen-saver settings' preview window: menus do not pause.
    virtual bool IsScreensaverPreview() const = 0;
    // The application's widget manager, null when there is none.
    virtual WidgetManager* GetWidgetManager() = 0;
};

class NullMenuHost : public MenuHost {
public:
    void AddMenu(Menu* menu) override;
    void RemoveMenu(Menu* menu) override;
    void PushMenuStack(Menu* menu) override { stack_.PushMenuStack(menu); }
    void RemoveFromMenuStack(Menu* menu) override { stack_.RemoveFromMenuStack(menu); }
    void UpdateMenuFocus(Menu* menu) override { stack_.UpdateMenuFocus(menu); }
    void HandleTypedCommand(std::wstring_view text) override { stack_.HandleTypedCommand(text); }
    Menu* CreateMenuTransition(Menu* menu) override { return stack_.CreateMenuTransition(menu); }
    void StartSoundLoop(int, float) override {}
    void StopSoundLoop(int, float) override {}
    void SilenceSoundLoops(bool, const std::set<int>&) override {}
    void Shutdown() override {}
    bool IsScreensaverPreview() const override { return false; }
    WidgetManager* GetWidgetManager() override { return nullptr; }

    MenuStack& Stack() { return stack_; }

private:
    MenuStack stack_;
};

// Shows the menu through the application's register, wrapped in its
// transition first when it asks for one.
void ShowMenu(Menu* menu);
