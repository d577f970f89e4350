#pragma once
// FrontendHost: what the game's menus ask of the game application: its
// board (the main and play menus), the player's name and the profiles, the
// version text, the settings the options change (volumes, mouse speed,
// screen mode, stretching, cursors), sounds, the menus' asset groups, and the
// in-game display when a level runs, and a new one to play the current
// level in.
//
// Reached through Service<FrontendHost>. While nothing is installed
// NullFrontendHost answers: no board, no display, settings kept in its own
// fields, sounds and assets ignored; the profiles are those of the process's
// profile manager (none without one) and whether the game has the desktop's
// shape is asked of the device wrapper (same shape without one).
// Tests derive their doubles from NullFrontendHost. Main thread only.

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "foundation/system/service.h"
#include "game/frontend/menus/profile_manager_book.h"

class InGameDisplay;
class Menu;
class ProfileBook;

class FrontendHost {
public:
    FrontendHost() = default;
    virtual ~FrontendHost() = default;
    FrontendHost(const FrontendHost&) = delete;
    FrontendHost& operator=(const FrontendHost&) = delete;

    static FrontendHost& Fallback();

    // The board's menus.
    virtual void ShowMainMenu() = 0;
    virtual void ShowPlayMenu() = 0;

    // The player and the profiles (null: none loaded).
    virtual std::wstring GetPlayerName() const = 0;
    virtual void SetPlayerName(const std::wstring& name) = 0;
    virtual ProfileBook* GetProfiles() = 0;
    // Hours and minutes of the current player's play time; false without one.
    virtual bool GetPlayTime(int& hours, int& minutes) const = 0;
    virtual std::string GetVersion() const = 0;
    virtual InGameDisplay* GetInGameDisplay() = 0;
    // A new display for the current level, for the caller to show; null
    // while the game has none.
    virtual Menu* CreateInGameDisplay() = 0;
    // Finished loading steps over all of them, 0 to 1.
    virtual double GetLoadingProgress() const = 0;

    // Settings. Volumes 0..1; mouse speed 1..20.
    virtual double GetTrackVolume(std::wstring_view name) const = 0;
    virtual void SetTrackVolume(std::wstring_view name, double volume) = 0;
    virtual double GetSfxVolume() const = 0;
    virtual void SetSfxVolume(double volume) = 0;
    virtual int GetMouseSpeed() const = 0;
    virtual void SetMouseSpeed(int speed) = 0;
    virtual bool IsWindowed() const = 0;
    // False when the window does not fit the desktop: full screen only.
    virtual bool HasWindowedMode() const = 0;
    virtual bool IsStretchScreen() const = 0;
    virtual bool UsesCustomCursors() const = 0;
    virtual void SwitchScreenMode(bool windowed, bool forced) = 0;
    virtual void SetStretchScreen(bool stretch) = 0;
    virtual void SetCustomCursors(bool on) = 0;
    // The game's size has the desktop's aspect ratio (stretching changes nothing).
    virtual bool GameHasDesktopShape() const = 0;
    // Writes settings.xml now, as the settings stand.
    virtual void SaveSettings() = 0;

    // Sounds and asset groups.
    virtual void StopAllSoundLoops() = 0;
    virtual void PlaySoundEffectByName(std::wstring_view name) = 0;
    virtual void LoadDynamicAssets(const std::set<std::wstring>& names) = 0;
    virtual void UnloadDynamicAssets(const std::set<std::wstring>& names) = 0;
};

// The device wrapper's answer: the game's size has the desktop's aspect
// ratio (true without a device).
bool DeviceGameHasDesktopShape();

class NullFrontendHost : public FrontendHost {
public:
    void ShowMainMenu() override {}
    void ShowPlayMenu() override {}
    std::wstring GetPlayerName() const override { return playerName_; }
    void SetPlayerName(const std::wstring& name) override { playerName_ = name; }
    ProfileBook* GetProfiles() override;
    bool GetPlayTime(int&, int&) const override { return false; }
    std::string GetVersion() const override { return {}; }
    InGameDisplay* GetInGameDisplay() override { return nullptr; }
    Menu* CreateInGameDisplay() override { return nullptr; }
    double GetLoadingProgress() const override { return loadingProgress_; }
    void SetLoadingProgress(double progress) { loadingProgress_ = progress; }

    double GetTrackVolume(std::wstring_view name) const override;
    void SetTrackVolume(std::wstring_view name, double volume) override { tracks_[std::wstring(name)] = volume; }
    double GetSfxVolume() const override { return sfx_; }
    void SetSfxVolume(double volume) override { sfx_ = volume; }
    int GetMouseSpeed() const override { return mouseSpeed_; }
    void SetMouseSpeed(int speed) override { mouseSpeed_ = speed; }
    bool IsWindowed() const override { return windowed_; }
    bool HasWindowedMode() const override { return true; }
    bool IsStretchScreen() const override { return stretch_; }
    bool UsesCustomCursors() const override { return cursors_; }
    void SwitchScreenMode(bool windowed, bool) override { windowed_ = windowed; }
    void SetStretchScreen(bool stretch) override { stretch_ = stretch; }
    void SetCustomCursors(bool on) override { cursors_ = on; }
    bool GameHasDesktopShape() const override { return DeviceGameHasDesktopShape(); }
    void SaveSettings() override {}

    void StopAllSoundLoops() override {}
    void PlaySoundEffectByName(std::wstring_view) override {}
    void LoadDynamicAssets(const std::set<std::wstring>&) override {}
    void UnloadDynamicAssets(const std::set<std::wstring>&) override {}

private:
    ProfileManagerBook profiles_;
    std::wstring playerName_;
    std::map<std::wstring, double> tracks_;
    double sfx_ = 1.0;
    double loadingProgress_ = 0.0;
    int mouseSpeed_ = 10;
    bool windowed_ = true;
    bool stretch_ = false;
    bool cursors_ = true;
};
