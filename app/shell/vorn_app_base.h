#pragma once
// The application object: one per process, driven as construct, Initialize,
// Run, destroy. It owns the main window, the device, the widget manager, the
// input queue, the frame pacer, the settings and the services the lower
// layers reach through Service<X>.
//
// Promises: Shutdown may be called from any thread and more than once; from
// another thread it only asks the main thread, which carries it out at its
// next frame; the settings are saved once at start-up (marked in progress)
// and once at the end. Fatal start-up errors end the process with status 1
// (a second instance leaves with 0).
// Threads: everything else on the main thread.

#include <atomic>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/assets/asset_host.h"
#include "app/services/service_wiring.h"
#include "app/settings/command_line.h"
#include "app/settings/settings_store.h"
#include "app/shell/deferred_delete.h"
#include "app/shell/frame_pacer.h"
#include "app/shell/input_queue.h"
#include "app/shell/loading_thread.h"
#include "app/shell/screensaver_filter.h"
#include "app/shell/screensaver_watch.h"
#include "platform/system/heap_pages.h"
#include "platform/window/window.h"
#include "rendering/image/live_images.h"
#include "widgets/screens/menu_stack.h"
#include "widgets/tree/widget_manager.h"

class D3DInterface;
class PakInterface;
class SysFont;
class SoundManager;
class TrackInterface;
class Menu;
class MenuHost;
class CrashHost;
class Image;
class SoundPlayer;
class ImageSurface;
namespace plat {
class Registry;
class SingleInstance;
}  // namespace plat

class VornAppBase : public NullAppServices, public NullDeviceHost, public NullWidgetHost, public FrameHost {
public:
    VornAppBase();
    ~VornAppBase() override;
    VornAppBase(const VornAppBase&) = delete;
    VornAppBase& operator=(const VornAppBase&) = delete;

    static VornAppBase* Instance();

    // The program's own arguments, program name first.
    void SetArguments(std::vector<std::string> arguments) { arguments_ = std::move(arguments); }

    virtual void Initialize();
    virtual void Run();
    virtual void EndRun();
    virtual void Shutdown();
    virtual void ReadCommandLine();
    virtual void ApplyCommandLineOption(const std::string& name, const std::string& value);
    virtual std::wstring BuildSettingsText();
    virtual void KeyDown(int key);
    // Hooks that do nothing here.
    // The data is mounted, this process is the one that runs and the video
    // system is up: work that needs nothing but the data may start while the
    // window and the device are made.
    virtual void OnDataMounted() {}
    // Main thread, as ExitProcess ends the process with no destructor run:
    // whatever OnDataMounted started and the loading thread has not taken
    // over must stop here.
    virtual void OnProcessExit() {}
    virtual void OnInitialized() {}
    virtual void OnShutdownBegin() {}
    virtual void OnRunEnded() {}
    virtual void UpdateFrames();
    // The music player: the music library's, mixed with the sound effects.
    virtual std::unique_ptr<TrackInterface> CreateMusicInterface();
    virtual void OnWindowCloseMessage() {}
    // The window's close button (or Alt+F4): true ends the run now. A game
    // whose Quit asks first asks here too, and answers false.
    virtual bool AllowWindowClose() { return true; }
    // Application services and debug keys: declared in the block below.
    // The cue for Ctrl+Alt+D: the game's own "highlight" sound, when the
    // asset list registers it.
    virtual void PlayDebugModeCue();
    bool DebugKeyMode() const { return debugKeyMode_; }

    bool DispatchQueuedInput() override;
    void SaveSettingsFile();
    void WriteAppRegistryString(std::string_view valuePath, std::string_view text) override;
    // Ends the process: 0 for a normal end, 1 after a fatal error.
    [[noreturn]] void ExitProcess(int code);

    WidgetManager& Widgets() { return *widgetManager_; }
    SettingsStore& Settings() { return *settings_; }
    bool IsShuttingDown() const { return shuttingDown_; }
    bool IsInitialized() const { return initialized_; }
    int ExitCode() const { return exitCode_; }

    // DeviceHost
    int ScreenWidth() const override { return width_; }
    int ScreenHeight() const override { return height_; }
    bool IsHidden() const override { return hidden_; }
    bool IsMinimised() const override { return minimised_; }
    bool GetClientSize(plat::NativeWindow* window, int* width, int* height) override;
    void GetDesktopSize(int* width, int* height) override;
    // Where the device puts the picture in the window: the widget tree maps the pointer with it.
    void SetScreenLayout(const Rect& source, const Rect& presentation) override {
        widgetManager_->SetScreenLayout(source, presentation);
    }
    // WidgetHost
    void DeferDelete(Widget* widget) override;
    void CancelDeferredDelete(Widget* widget) override;
    int GetCursorKind() const override { return cursorKind_; }
    void SetCursorKind(int kind) override { SetCursor(kind); }
    std::wstring GetClipboardText() override;
    void SetClipboardText(std::wstring_view text) override;
    // AppServices
    void ShowFatalError(std::string_view message) override;
    void ShowFatalErrorWide(std::wstring_view message) override;

    // Cursors (kinds 0-12: 0 arrow, 1 hand, 2 dragging, 3 text, 11 none, 12
    // an image when one is set) and the thread that moves the device's cursor.
    void SetCursor(int kind);
    int GetCursor() const { return cursorKind_; }
    void SetCustomCursors(bool on);
    // Kinds 0-12; the image is borrowed and must outlive its use here.
    void SetCustomCursorImage(int kind, Image* image);
    virtual void UpdateCursor();
    void StartCursorThread();
    bool CursorThreadRunning() const { return cursorThreadRunning_; }
    // DeviceHost cursors: the window system's, with config.xml's hot spots.
    bool FindCursorHotspot(std::wstring_view imageName, int* x, int* y) override;
    CursorHandle CreateCursor(const uint32_t* argb, int width, int height, int hotX, int hotY) override;
    void SetWindowCursor(CursorHandle cursor) override;
    void DestroyCursor(CursorHandle cursor) override;

    // Window.
    virtual void BringWindowToFront(plat::WParam wParam);
    virtual bool CanRestoreFromIcon() { return !windowDisabled_; }
    virtual bool ShouldSwallowSysChar(wchar_t c) { return c == 13 || c == 32; }
    virtual void LostFocus();
    void ClearKeyStates();
    // The clipboard in UTF-8, for the crash report.
    void CopyToClipboard(std::string_view text);

    // Display and mouse speed.
    virtual void PresentFrame();
    // True when the subclass took care of the start folder itself.
    virtual bool HandleChangeDirectory(const std::string& /*folder*/) { return false; }
    // A file the game cannot start without, looked for on disk when the start
    // folder holds no main.pak; empty: the program needs no data of its own.
    virtual std::string_view RequiredDataFile() const { return {}; }
    int AppliedMouseSpeed() const { return appliedMouseSpeed_; }
    virtual void ApplyMouseSpeed(bool restoreSystem);
    void RestoreDisplayMode();
    bool DeviceLost() const { return deviceLost_; }
    void SetOverlay(bool on, int kind) {
        overlayOn_ = on;
        overlayKind_ = kind;
        if (on) overlayResetRequested_ = true;
    }

    // ---- Application services (app_*.cpp in this folder) and debug keys
    // (app/services/debug_keys.cpp). ----
    // Sound and music. A missing sound manager or music interface makes these
    // do nothing beyond storing values.
    virtual void PlaySound(int id);
    virtual void PlaySoundWithPan(int id, int pan);
    virtual void PlayTrack(int id, int position, bool loop);
    virtual void PlayTrackByName(std::wstring_view name, int position, bool loop);
    // Every Mute needs one Unmute; minimising and deactivation each add a
    // level. Volumes set while muted are stored and sent as 0.
    virtual bool IsMuted() const { return muteCount_ > 0; }
    virtual void Mute();
    virtual void Unmute();
    virtual double GetSfxVolume() const;
    virtual void SetSfxVolume(double volume);
    virtual double GetTrackVolume(std::wstring_view name) const;
    virtual void SetTrackVolume(std::wstring_view name, double volume);
    virtual void RegisterTrackVolume(std::wstring_view name);
    virtual double GetMixerVolume();
    virtual void SetMixerVolume(double volume);
    int MuteCount() const { return muteCount_; }
    // The player's pointer speed (1..20, 0 = not chosen), kept in the
    // settings. This desktop offers no system-wide pointer speed to set.
    virtual int GetMouseSpeed() const;
    virtual void SetMouseSpeed(int speed);
    // Web pages: xdg-open with the URL as one argument, never a shell.
    virtual bool OpenUrl(const std::string& url, bool closeAfter);
    virtual void UrlOpened();
    virtual void UrlOpenFailed(const std::string& url);
    bool UrlPending() const { return urlPending_; }
    // The browser took over when the application goes inactive while a URL
    // is pending; `UrlWatchTick` decides by time (the update timer calls it).
    void UrlWatchDeactivated();
    void UrlWatchTick(uint32_t now, uint32_t activityStart);
    // Resource loading on its own thread, started once Run has shown the
    // first frame (or, should none be drawn, after a few updates). A subclass whose
    // LoadResources uses its own members waits for the thread in its own
    // destructor (this base waits too, but after those members are gone).
    virtual void LoadResources() {}
    virtual void LoadingThreadCompleted();
    void StartLoadingThread();
    // From the update after the first frame on: starts the loading thread once.
    void StartLoadingWhenDue();
    void WaitForLoadingThread() { loading_.Wait(); }
    virtual double GetLoadingProgress() const;
    void SetLoadingSteps(int total) { loading_.SetTotalSteps(total); }
    int LoadingStepsDone() const { return loading_.StepsDone(); }
    bool LoadingThreadDone() const { return loading_.Done(); }
    bool LoadingThreadStarted() const { return loading_.Started(); }
    void AdvanceLoadingStep() override { loading_.AdvanceStep(); }
    // Windowed and fullscreen.
    virtual void SwitchScreenMode(bool windowed, bool forced);
    virtual void ReapplyScreenMode();
    void SetStretchScreen(bool stretch);
    // Images: a copy of any image, and the set of every live surface.
    ImageSurface* DuplicateImage(Image* image);
    LiveImageSet& Images() { return imageSet_; }
    // What the asset registry asks of the application (its track volumes).
    AssetHost& GetAssetHost();
    // Open menus by their id (the widget's id unless given), and the menu
    // stack with the menu focus; the game keeps a stack of its own (typed
    // commands, transitions) by overriding GetMenuStack.
    Menu* FindMenu(int id) const;
    virtual void AddMenu(Menu* menu);
    virtual void AddMenuWithId(int id, Menu* menu);
    // False when no menu has the id. Removing deletes the menu later.
    virtual bool DetachMenu(int id, bool removeWidget, bool deleteIt);
    virtual void RemoveMenuById(int id);
    virtual void RemoveMenu(Menu* menu);
    int CountMenus() const { return static_cast<int>(openMenus_.size()); }
    virtual void OnModalMenuAdded(Menu* /*menu*/) {}
    virtual void OnModalMenuRemoved(Menu* /*menu*/) {}
    virtual MenuStack& GetMenuStack() { return menuStack_; }
    // The last eight characters typed in a menu: the game's hidden words
    // first (a game overrides this), then the menu stack's own.
    virtual void HandleTypedCommand(std::wstring_view text) { GetMenuStack().HandleTypedCommand(text); }
    bool IsScreensaverPreview() const { return commandLine_.screensaverMode && commandLine_.previewParent != 0; }
    // AppServices answers of the application base. Images, sounds and tracks
    // come from the process's asset registry (none: not found); effects play
    // through the game's sound player (none: silent).
    virtual SoundPlayer* GetSoundPlayer() { return nullptr; }
    ExtendedPropertyInterface* FindImageByName(std::wstring_view name) override;
    int FindSoundId(std::wstring_view name) override;
    int FindTrackId(std::wstring_view name) override;
    void PlaySoundEffect(int soundId, int replayGap, double volume) override;
    int GetStoredDataVersion() override;
    void SetStoredDataVersion(int version) override;
    void SetAppTitle(std::wstring_view title) override;
    // Identity for the crash report.
    virtual std::string GetProductVersion(const std::string& filePath);
    // The running program's file.
    static std::string ProgramFilePath();
    virtual void HideMainWindow();
    virtual std::string BuildCrashReportHeader();
    virtual std::map<std::string, std::string> ExtendCrashUpload() { return {}; }
    const std::string& ProductName() const { return productName_; }
    const std::string& ProductVersion() const { return productVersion_; }
    // Message boxes; in screensaver mode their text goes to "ScrError.txt".
    virtual int ShowMessageBox(std::wstring_view caption, std::wstring_view text);
    void AppendErrorFile(std::string_view text);
    void ResetInputAfterModal();
    void ResetTiming() { pacer_.ResetTiming(); }
    // Debug keys (F1-F11 while debug-key mode is on) and their reports.
    virtual bool DebugKeyDown(int key);
    void ShowVideoStats();
    bool SaveScreenshot();
    bool DumpImages();
    bool OverlayOn() const { return overlayOn_; }
    int OverlayKind() const { return overlayKind_; }  // 0 frames a second, 1 mouse position
    // True once after the overlay was switched on: the shown rate starts anew.
    bool TakeOverlayReset() { return std::exchange(overlayResetRequested_, false); }
    double SpeedFactor() const { return pacer_.speed_; }
    int StepMode() const { return pacer_.stepMode_; }
    // Where the screenshots and the image dump go; by default the screenshots
    // to the current folder and the dump to the data folder.
    void SetDiagnosticsFolder(std::string folder) { diagnosticsFolder_ = std::move(folder); }
    // ---- end of the application services ----

protected:
    // What settings.xml's values are before the file is read (and stay when
    // it is missing or damaged); a game may change them in its constructor.
    AppSettings defaultSettings_;

    // FrameHost
    uint32_t Now() override;
    void Sleep(uint32_t ms) override;
    void SleepBriefly(double ms) override;
    void PumpWindowMessages() override;
    bool UpdateStep() override;
    void UpdateFrameFraction(float fraction) override;
    bool Redraw() override;
    void DeleteDueObjects() override;
    bool ShuttingDown() override { return shuttingDown_; }
    void HandleQuitRequest() override;
    bool WantsVsync() override;
    bool LoadingThrottle() override { return loading_.Throttle(); }
    bool LoadingCompletionHandled() override { return loading_.CompletionHandled(); }

    virtual bool CreateMainWindow();
    // Mounts main.pak; false, after saying where it looked, when the game's
    // data is neither there whole nor lying loose beside it, or when the
    // start folder asked for (`missingFolder`, empty when reached) is not there.
    bool FindGameData(const std::string& missingFolder);
    void HandleKeyDown(const plat::Message& message);
    void HandleSize(plat::WParam kind);
    void UpdateActiveState(bool active);
    plat::LResult HandleWindowMessage(plat::WindowHandle window, uint32_t message, plat::WParam wParam,
                                      plat::LParam lParam);
    void HandleMouseMessage(const plat::Message& message);
    bool PointerInsideClient() const;
    // The player's mouse speed while the game is in front, the system's otherwise.
    virtual void Activated() { ApplyMouseSpeed(false); }
    virtual void Deactivated() { ApplyMouseSpeed(true); }
    void HandleTimer();
    void HandleMove(const plat::Message& message);
    void EndScreensaver(plat::WindowHandle window);
    // The device for the main window in the current mode; 0 or its failure.
    int InitDevice();
    bool RecoverDevice();
    void BuildOverlay();
    virtual void PreDeviceInit() {}
    virtual void PostDeviceInit() {}
    void CursorThreadBody();
    void StopCursorThread();
    plat::CursorHandle BuiltinCursor(int which);
    void RequestForcedDraw() {
        forcedDrawRequested_ = true;
        pacer_.needsRedraw_ = true;
    }
    // The platform's answers about the screen saver and the pointer speed.
    virtual ScreenSaverSystem& SystemScreenSaver();

    // Identity and paths.
    std::string companyName_;
    std::string productName_ = "Product";
    std::wstring title_ = L"VornApp";
    std::string registryKey_;
    std::string dataFolder_;
    std::string programPath_;
    std::string programFolder_;
    // Screen.
    int width_ = 640;
    int height_ = 480;
    bool currentModeWindowed_ = true;
    // Life cycle.
    bool initialized_ = false;
    bool running_ = false;
    bool shuttingDown_ = false;
    std::atomic<bool> quitRequestedFromOtherThread_{false};
    bool hidden_ = false;
    bool minimised_ = false;
    bool active_ = false;
    bool activeAndVisible_ = false;
    bool closeRequested_ = false;
    bool forceFullscreen_ = false;
    bool fullscreenUnavailable_ = false;
    bool debugKeyMode_ = false;
    bool muteOnMinimise_ = true;
    int muteCount_ = 0;
    int exitCode_ = 0;
    // Window state (window messages).
    bool windowDisabled_ = false;
    bool sizeMinimised_ = false;
    bool ctrlHeld_ = false;
    bool altHeld_ = false;
    uint32_t heldButtons_ = 0;
    bool mouseInWindow_ = false;
    bool allowMaximise_ = true;
    bool displayModeChanged_ = false;
    uint32_t notifyMessage_ = 0;
    uint32_t lastActivityTime_ = 0;
    uint32_t activityStart_ = 0;
    uint32_t lastInputTime_ = 0;
    uint32_t lastMonitorPowerTime_ = 0;
    ScreensaverFilter screensaverFilter_;
    // Cursors.
    int cursorKind_ = 0;
    Image* customCursorImages_[13] = {};
    plat::CursorHandle builtinCursors_[2] = {};
    const void* deviceCursorImage_ = nullptr;  // the image the device shows, if any
    bool forcedDrawRequested_ = false;
    std::atomic<bool> cursorThreadRunning_{false};
    std::atomic<bool> cursorThreadStop_{false};
    std::atomic<plat::WindowHandle> cursorWindow_{plat::kNoWindow};
    std::thread cursorThread_;
    // Mouse speed: the player's (0 until chosen) and the system's own.
    int systemMouseSpeed_ = 10;
    // What the pointer speed should be now; this desktop gives no control
    // over it, so it is recorded for the options screen only.
    int appliedMouseSpeed_ = 10;
    // Device loss and the screen saver.
    bool deviceLost_ = false;
    uint32_t lastDeviceAttempt_ = 0;
    uint32_t lastScreenSaverCheck_ = 0;
    ScreenSaverWatch screenSaverWatch_;
    bool drawing_ = false;
    uint32_t nextDrawAllowed_ = 0;
    // The overlay image and its frame count.
    std::unique_ptr<ImageSurface> overlayImage_;
    std::unique_ptr<SysFont> overlayFont_;
    std::unique_ptr<ScreenSaverSystem> desktopScreenSaver_;
    uint32_t fpsStart_ = 0;
    int fpsFrames_ = 0;
    int fps_ = 0;
    // Statistics.
    uint32_t startTime_ = 0;
    int drawCount_ = 0;
    uint32_t drawTime_ = 0;
    uint32_t lastPresentTime_ = 0;
    // From the start to the first frame shown; 0 until it is.
    uint32_t firstFrameTime_ = 0;
    uint32_t lastRedrawTime_ = 0;

    std::vector<std::string> arguments_;
    CommandLineState commandLine_;
    bool commandLineRead_ = false;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<plat::Registry> registry_;
    std::unique_ptr<PakInterface> pak_;
    std::unique_ptr<WidgetManager> widgetManager_;
    DeferredDeleteList deferred_;
    FramePacer pacer_{*this};
    plat::HeapPages heapPages_;
    InputQueue inputQueue_;
    std::unique_ptr<plat::WindowSystem> windows_;
    plat::WindowHandle mainWindow_ = plat::kNoWindow;
    std::unique_ptr<D3DInterface> d3d_;
    std::unique_ptr<plat::SingleInstance> instance_;
    std::thread::id primaryThread_;
    std::unique_ptr<SoundManager> soundManager_;
    std::unique_ptr<TrackInterface> music_;
    std::unique_ptr<ServiceWiring> wiring_;

    // ---- Application services' state ----
    LiveImageSet imageSet_;
    std::string productVersion_;
    uint32_t timeLoaded_ = 0;
    bool urlPending_ = false;
    bool urlCloseAfter_ = false;
    std::string url_;
    uint32_t urlOpenedAt_ = 0;
    LoadingThread loading_;
    std::string diagnosticsFolder_;
    bool loadingThreadWanted_ = true;
    int updatesBeforeLoading_ = 0;
    std::unique_ptr<CrashHost> crashHost_;
    std::unique_ptr<MenuHost> menuHost_;
    std::unique_ptr<AssetHost> assetHost_;
    std::map<int, Menu*> openMenus_;
    std::list<Menu*> menuOrder_;  // in the order they opened
    MenuStack menuStack_;
    // Closes every open menu, newest first.
    void CloseAllMenus();
    bool overlayOn_ = false;
    int overlayKind_ = 0;
    bool overlayResetRequested_ = false;
    bool errorFileStarted_ = false;
    // Runs the loading thread's completion on the main thread once.
    void HandleLoadingDone();
    // Installs the services of this block with the wiring.
    void WireApplicationServices();
    // ---- end of the application services' state ----
};
