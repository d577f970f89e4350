#pragma once
// MyGameApp: the game's application. It owns the game's five data
// catalogues (game.xml, items.xml, levels.xml, profiles.xml and
// localization.xml), loads them on the loading thread after the engine's
// own data, names the title screen as the first screen, puts the play board
// up once the player leaves the title screen, answers the menus, the
// profiles, the level switches and the park's material names through the
// services it installs (all of them before any catalogue or profile is
// read), and knows four hidden words typed in any menu. Its end saves the
// profiles.
//
// One per process, reachable through Instance() while it lives.
// Threads: LoadResources on the loading thread; the catalogues are not
// touched by any menu before loading has finished (the title screen offers
// nothing to press until then). Everything else on the main thread.

#include <string>

#include "app/shell/game_app.h"
#include "foundation/system/service.h"
#include "game/data/catalogues/game_stats.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/data/progress/kivra_profile_manager.h"
#include "game/data/progress/my_localization.h"
#include "game/frontend/entry/game_hosts.h"
#include "game/park/grid/park_tile_materials.h"

class MyGameApp : public GameApp {
public:
    static constexpr int kExtraLoadingSteps = 6;

    MyGameApp();
    ~MyGameApp() override;

    static MyGameApp* Instance();

    void LoadResources() override;
    // Tells the player, once and over the title screen, when their saved
    // players could not be read.
    void UpdateFrames() override;
    int GetExtraLoadingSteps() override { return kExtraLoadingSteps; }
    void TitleScreenDone() override;
    void HandleTypedCommand(std::wstring_view text) override;
    TitleScreen* CreateFirstScreen() override;
    MenuStack& GetMenuStack() override { return menuStack_; }
    // Where Quit asks first (the main menu and the dialogs over it), closing
    // the window asks the same question.
    bool AllowWindowClose() override;

    const std::wstring& PlayerName() const { return playerName_; }
    void SetPlayerName(std::wstring_view name) { playerName_ = name; }
    KivraProfileManager& Profiles() { return profiles_; }
    // False when the window does not fit the desktop: full screen only.
    bool WindowedModeAvailable() const { return !forceFullscreen_; }

private:
    GameStats gameStats_;
    KivraItemStats itemStats_;
    KivraLevelStats levelStats_;
    KivraProfileManager profiles_;
    MyLocalization localization_;
    std::wstring playerName_;
    bool unreadableProfilesTold_ = false;
    // Found by the loading: a read-only home would otherwise play a whole
    // park before a save fails.
    bool dataFolderWritable_ = true;

    // Outlives the widgets, which leave it when the destructor removes them.
    GameMenuStack menuStack_;
    GameFrontendHost frontendHost_{*this};
    GameProfileHost profileHost_{*this};
    GameScriptHost scriptHost_{*this};
    GameLevelAssets levelAssets_;
    // The material names levels and profiles are read and written with.
    ParkTileMaterials tileMaterials_;
    ScopedService<FrontendHost> frontendInstalled_{&frontendHost_};
    ScopedService<ProfileHost> profileInstalled_{&profileHost_};
    ScopedService<ScriptHost> scriptInstalled_{&scriptHost_};
    ScopedService<LevelAssets> levelAssetsInstalled_{&levelAssets_};
    ScopedService<TileMaterials> tileMaterialsInstalled_{&tileMaterials_};
};

// Creates the game, runs it until it quits and destroys it; the exit status.
int CreateAndRunApp(std::vector<std::string> arguments);
