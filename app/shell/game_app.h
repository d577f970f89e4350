#pragma once
// The application every game on this engine shares, built on the application
// base: the asset registry, fonts, constants, the animation library and the
// log loaded in the background; the sound-effect player; the start-up screens
// (logo, the "splash" and "splash2" pictures, then the game's first screen);
// the pause counter that follows window activation; the values scripts read
// through `sysvalue`; the hidden typed commands; and the button factories of
// the menus. The game derives from it and supplies its first screen.
//
// Owns: the asset registry (for the whole run; destroyed before the sound
// manager it releases sounds through), the sound player, and the start-up
// host the logo, splash and title screens ask (installed while it lives).
// Promises: the loading bar's total is the game section's file count, the
// fonts, the animations, constants.xml and the game's extra steps, and reads
// 1.0 once the loading thread's completion was handled; the first screen
// hears that loading has finished exactly once, whether it opens before or
// after the end of loading; the pause counter never goes below 0.
// Threads: LoadResources on the loading thread (it fills only the locked
// registries and counts steps; the persistent section first, which the
// title screen waits for should it open sooner); everything else on the
// main thread.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "app/audio/sound_player.h"
#include "app/shell/vorn_app_base.h"
#include "foundation/system/service.h"
#include "widgets/screens/startup_host.h"

class AssetRegistry;
class Board;
class ButtonWidget;
class ImagePrefetch;
class TitleScreen;

class GameApp : public VornAppBase, public StartupHost {
public:
    GameApp(std::string productName, std::string version, int width, int height);
    ~GameApp() override;

    static GameApp* Instance();

    void Initialize() override;
    // Loading thread: the persistent and game sections of assets.xml, fonts,
    // constants, animations, then the log.
    void LoadResources() override;
    // Main thread: the effects volume again, for the sounds just loaded.
    void LoadingThreadCompleted() override;
    void UpdateFrames() override;

    // assets.xml: without it (and no main.pak) there is no game to start.
    std::string_view RequiredDataFile() const override;

    // Steps the game adds to the loading bar for its own data.
    virtual int GetExtraLoadingSteps() { return 0; }
    // The game's first screen, shown after the splash pictures.
    virtual TitleScreen* CreateFirstScreen() = 0;

    // StartupHost
    void ShowNextSplashScreen() override;
    void SetTitleScreen(TitleScreen* screen) override;
    void TitleScreenDone() override;
    void TitleScreenGone(TitleScreen* screen) override;
    bool GetPlayTime(PlayTime& time) override;
    void SetPlayTime(const PlayTime& time) override;

    // Sound effects through the sound player.
    SoundPlayer* GetSoundPlayer() override { return soundPlayer_.get(); }
    void PlaySoundEffectByName(std::wstring_view name);
    void StopAllSoundLoops();

    // Buttons of the menus: the caller owns them.
    virtual ButtonWidget* CreateMenuButton(int x, int y, std::wstring_view label, bool localise);
    virtual ButtonWidget* CreateTextButton(int x, int y, std::wstring_view label, bool localise);
    bool SaveOnExit() { return GetMenuStack().SaveOnExit(); }

    // Scripts' `sysvalue`, and the current player's symbols.
    PropertyValue GetSystemValue(std::wstring_view name) override;
    VariableMap* PlayerSymbols() override;

    // The pause counter: every deactivation adds one, every activation takes
    // one away; widgets other than the title screen stand still above 0.
    void SetPaused(bool pause);
    int GetPauseCount() const override { return pauseCounter_; }
    void SetPauseOnDeactivate(bool on) { pauseOnDeactivate_ = on; }
    // The game's board, paused and resumed with the counter; null for none.
    void SetBoard(Board* board) { board_ = board; }
    Board* GetBoard() const { return board_; }

    AssetRegistry* Assets() { return assets_.get(); }
    TitleScreen* LoadingScreen() const { return loadingScreen_; }
    bool ResourcesLoaded() const { return resourcesLoaded_; }
    int SplashCounter() const { return splashCounter_; }
    bool LoggingEnabled() const { return loggingEnabled_; }

protected:
    void Activated() override;
    void Deactivated() override;
    // Blend shaders after every device start.
    void PostDeviceInit() override;
    // Starts decoding the intro section's images and looking up the fonts'
    // system faces.
    void OnDataMounted() override;
    void OnProcessExit() override;
    // Ends the loading thread and frees every menu and widget; a game whose
    // own members those may use calls it in its own destructor first.
    void EndLoadingAndWidgets();

    bool showLogoScreen_ = true;

private:
    // The sound player's view of the application.
    class SoundOwner : public SoundPlayerOwner {
    public:
        explicit SoundOwner(GameApp& app) : app_(app) {}
        SoundManager* GetSoundManager() override;
        double GetSfxVolume() override { return app_.VornAppBase::GetSfxVolume(); }

    private:
        GameApp& app_;
    };

    SoundOwner soundOwner_{*this};
    std::unique_ptr<SoundPlayer> soundPlayer_;
    std::unique_ptr<AssetRegistry> assets_;
    // The persistent section of assets.xml, once, on whichever thread asks
    // first: the loading thread as it starts, or the main thread when the
    // title screen opens before that (it then waits for the loading thread).
    void RegisterPersistentAssets();
    // Main thread: the cursors' images, once the persistent section is in.
    void TakePersistentAssets();

    // The intro section's images, decoding from the moment the data is
    // mounted while the window and the device are made; let go once the
    // intro section is registered.
    std::unique_ptr<ImagePrefetch> startupImages_;
    std::once_flag persistentRegistering_;
    std::atomic<bool> persistentRegistered_{false};
    bool cursorsTaken_ = false;
    int fontSteps_ = 0;
    ScopedService<StartupHost> startupInstalled_{this};
    Board* board_ = nullptr;
    TitleScreen* loadingScreen_ = nullptr;
    int splashCounter_ = 0;
    int pauseCounter_ = 0;
    bool pauseOnDeactivate_ = true;
    bool resourcesLoaded_ = false;
    std::atomic<bool> loggingEnabled_{false};  // set on the loading thread
    int stepsShown_ = 0;
};
