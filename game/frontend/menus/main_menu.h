#pragma once
// MainMenu: the hub of the front end ("main_menu" script): play, profiles,
// options, credits and quit. Options and the quit question open above it;
// the other choices replace it. CreditsMenu ("credits_menu") shows the
// credits with the player's play time and the version text. The greeting
// ("welcome_font") is set in a font that keeps a long name inside the panel.
// LoadMainMenuAssets loads or releases the images the main menu needs, so
// they are resident outside a level and free while one is played.
// Main thread only.

#include <set>
#include <string>

#include "widgets/screens/menu.h"

class MainMenu : public Menu {
public:
    // The width the greeting may take inside the menu's panel.
    static constexpr float kGreetingWidth = 400.0f;

    MainMenu();
    void DoAction(std::wstring_view action, std::wstring_view parameter, int number) override;

    // The largest of the heading, button and small fonts in which the
    // greeting fits the panel; the smallest when none does.
    static std::wstring GreetingFont(const std::wstring& greeting);
};

class CreditsMenu : public Menu {
public:
    CreditsMenu();
    void DoAction(std::wstring_view action, std::wstring_view parameter, int number) override;
    // Escape leaves as its Done/Back button does.
    std::wstring_view BackAction() const override { return L"main"; }
};

// The names LoadMainMenuAssets loads: what the "main_menu" script uses, when
// the library holds it, and "hotdog_idle".
std::set<std::wstring> MainMenuAssetNames();
void LoadMainMenuAssets(bool load);
