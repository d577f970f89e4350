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
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/services/service_wiring.h"
#include "app/settings/command_line.h"
#include "app/settings/settings_store.h"
#include "app/shell/deferred_delete.h"
#include "app/shell/frame_pacer.h"
#include "app/shell/input_queue.h"
#include "app/shell/screensaver_filter.h"
#include "app/shell/screensaver_watch.h"
#include "app/shell/url_watch.h"
#include "platform/window/window.h"
#include "widgets/tree/widget_manager.h"

class D3DInterface;
class PakInterface;
class Image;
class SysFont;
class SoundManager;
class TrackInterface;
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
    virtual void OnInitialized() {}
    virtual void OnShutdownBegin() {}
    virtual void OnRunEnded() {}
    virtual void UpdateFrames();
    // The music player; a silent one until music is wired.
    virtual std::unique_ptr<TrackInterface> CreateMusicInterface();
    virtual void OnWindowCloseMessage() {}
    // Filled in by the application services; here they keep the state only.
    virtual void Mute() { ++muteCount_; }
    virtual void Unmute() {
        if (muteCount_ > 0) --muteCount_;
    }
    virtual void SwitchScreenMode(bool windowed, bool /*forced*/) { settings_->Values().windowed = windowed; }
    virtual bool DebugKeyDown(int /*key*/) { return false; }
    virtual void UrlOpened() {
        urlWatch_.pending = false;
        if (urlWatch_.closeAfter) Shutdown();
    }
    virtual void UrlOpenFailed(const std::string& /*url*/) { urlWatch_.pending = false; }
    // The cue for Ctrl+Alt+D: the game's own "highlight" sound, when the
    // asset list registers it.
    virtual void PlayDebugModeCue();
    bool IsMuted() const { return muteCount_ > 0; }
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
    // The data version config.xml compares is the settings' version.
    int GetStoredDataVersion() override { return settings_ ? settings_->Values().version : 0; }
    void SetStoredDataVersion(int version) override {
        if (settings_) settings_->Values().version = version;
    }
    void SetAppTitle(std::wstring_view title) override;

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
    int GetMouseSpeed() const;
    int AppliedMouseSpeed() const { return appliedMouseSpeed_; }
    void SetMouseSpeed(int speed);
    virtual void ApplyMouseSpeed(bool restoreSystem);
    void RestoreDisplayMode();
    void ResetTiming() { pacer_.ResetTiming(); }
    bool DeviceLost() const { return deviceLost_; }
    void SetOverlay(bool on, int kind) {
        overlayOn_ = on;
        overlayKind_ = kind;
    }

protected:
    // FrameHost
    uint32_t Now() override;
    void Sleep(uint32_t ms) override;
    void PumpWindowMessages() override;
    bool UpdateStep() override;
    void UpdateFrameFraction(float fraction) override;
    bool Redraw() override;
    void DeleteDueObjects() override;
    bool ShuttingDown() override { return shuttingDown_; }
    void HandleQuitRequest() override;
    bool WantsVsync() override;
    bool LoadingThrottle() override { return false; }
    bool LoadingCompletionHandled() override { return true; }

    virtual bool CreateMainWindow();
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
    UrlWatch urlWatch_;
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
    // Overlays: 0 frames a second, 1 the mouse position.
    bool overlayOn_ = false;
    int overlayKind_ = 0;
    std::unique_ptr<ImageSurface> overlayImage_;
    std::unique_ptr<SysFont> overlayFont_;
    std::unique_ptr<ScreenSaverSystem> desktopScreenSaver_;
    uint32_t fpsStart_ = 0;
    bool fpsReset_ = true;
    int fpsFrames_ = 0;
    int fps_ = 0;
    // Statistics.
    uint32_t startTime_ = 0;
    int drawCount_ = 0;
    uint32_t drawTime_ = 0;
    uint32_t lastPresentTime_ = 0;
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
    InputQueue inputQueue_;
    std::unique_ptr<plat::WindowSystem> windows_;
    plat::WindowHandle mainWindow_ = plat::kNoWindow;
    std::unique_ptr<D3DInterface> d3d_;
    std::unique_ptr<plat::SingleInstance> instance_;
    std::thread::id primaryThread_;
    std::unique_ptr<SoundManager> soundManager_;
    std::unique_ptr<TrackInterface> music_;
    std::unique_ptr<ServiceWiring> wiring_;
};
