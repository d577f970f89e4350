#pragma once
// What the game application answers to the layers below it, one adapter
// per seam: the menus (FrontendHost), the profile manager (ProfileHost),
// the player state's level switches (LevelAssets) and the scene scripts
// (ScriptHost), and the menu stack with the game's transition. Each forwards to the application, which owns and
// installs them for its whole life. Main thread only, except where the loading thread loads the profiles (ProfileHost)
// and the main menu's images (FrontendHost's asset groups) before any menu exists.

#include <set>
#include <string>

#include "game/data/progress/level_assets.h"
#include "game/data/progress/profile_manager.h"
#include "game/frontend/menus/frontend_host.h"
#include "game/frontend/menus/profile_manager_book.h"
#include "widgets/screens/menu_stack.h"
#include "widgets/script/script_host.h"

class MyGameApp;

class GameFrontendHost : public FrontendHost {
public:
    explicit GameFrontendHost(MyGameApp& app) : app_(app) {}

    void ShowMainMenu() override;
    void ShowPlayMenu() override;
    std::wstring GetPlayerName() const override;
    void SetPlayerName(const std::wstring& name) override;
    ProfileBook* GetProfiles() override;
    bool GetPlayTime(int& hours, int& minutes) const override;
    std::string GetVersion() const override;
    // The display of the level being played, or null.
    InGameDisplay* GetInGameDisplay() override;
    // A new in-game display for the current level.
    Menu* CreateInGameDisplay() override;
    double GetLoadingProgress() const override;

    double GetTrackVolume(std::wstring_view name) const override;
    void SetTrackVolume(std::wstring_view name, double volume) override;
    double GetSfxVolume() const override;
    void SetSfxVolume(double volume) override;
    int GetMouseSpeed() const override;
    void SetMouseSpeed(int speed) override;
    bool IsWindowed() const override;
    bool HasWindowedMode() const override;
    bool IsStretchScreen() const override;
    bool UsesCustomCursors() const override;
    void SwitchScreenMode(bool windowed, bool forced) override;
    void SetStretchScreen(bool stretch) override;
    void SetCustomCursors(bool on) override;
    bool GameHasDesktopShape() const override;
    void SaveSettings() override;

    void StopAllSoundLoops() override;
    void PlaySoundEffectByName(std::wstring_view name) override;
    // Each name stands for the group of not yet loaded assets whose names contain it.
    void LoadDynamicAssets(const std::set<std::wstring>& names) override;
    void UnloadDynamicAssets(const std::set<std::wstring>& names) override;

private:
    MyGameApp& app_;
    ProfileManagerBook profiles_;
};

class GameProfileHost : public ProfileHost {
public:
    explicit GameProfileHost(MyGameApp& app) : app_(app) {}
    void SetCurrentProfileName(std::wstring_view name) override;
    void SaveSettingsFile() override;

private:
    MyGameApp& app_;
};

class GameLevelAssets : public LevelAssets {
public:
    void LoadDynamicAssets(const AssetNameSets& group) override;
    void UnloadDynamicAssets(const AssetNameSets& group) override;
};

// Menus that ask for a transition open through the game's ScreenTransition.
class GameMenuStack : public MenuStack {
public:
    Menu* CreateMenuTransition(Menu* menu) override;
};

// The player's name stands for "[player]" in the texts scripts show; the game
// has no script steps of its own beyond the widgets'.
class GameScriptHost : public ScriptHost {
public:
    explicit GameScriptHost(MyGameApp& app) : app_(app) {}
    int HandleScriptStep(const AnimationStep&, AnimationWidget&) override { return hook_result::kNotHandled; }
    std::wstring PlayerName() override;

private:
    MyGameApp& app_;
};
