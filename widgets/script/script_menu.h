#pragma once
// What a running script asks of the menu it belongs to (the pause owner of
// its widget): the pausable switch a notice menu turns off while it is
// shown, and the counted looping sounds of "start-soundloop" and
// "stop-soundloop". Menu (widgets/screens/menu.h) implements it; a widget
// whose pause owner is no menu has none and those words do nothing.
//
// OpenNoticeMenu is defined with the menus (widgets/screens/notice_menu.cpp),
// so the script words reach it without seeing the screens. Main thread only.

#include <string_view>

class DynamicWidget;
class RemovalListener;
class WidgetContainer;

class ScriptMenu {
public:
    virtual ~ScriptMenu() = default;

    // Returns the previous setting.
    virtual bool SetPausable(bool pausable) = 0;
    virtual void PlayMenuSound(int soundId, float fade) = 0;
    // A sound this menu did not start is ignored.
    virtual void StopMenuSound(int soundId, float fade) = 0;
};

// The menu the container belongs to, or null.
ScriptMenu* ScriptMenuOf(const WidgetContainer& widget);

// Builds the notice dialog of the key (its texts are the key's "_title" and
// "_text" entries), lets `watcher` hear of its removal and shows it. Null
// when nothing was shown (no application took the menu).
DynamicWidget* OpenNoticeMenu(std::wstring_view key, RemovalListener* watcher);
