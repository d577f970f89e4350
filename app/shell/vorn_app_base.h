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
#include "platform/window/window.h"
#include "widgets/tree/widget_manager.h"

class D3DInterface;
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
    // The cue for Ctrl+Alt+D: one of the game's own sounds once sound is wired.
    virtual void PlayDebugModeCue() {}
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
    // WidgetHost
    void DeferDelete(Widget* widget) override;
    void CancelDeferredDelete(Widget* widget) override;
    // AppServices
    void ShowFatalError(std::string_view message) override;
    void ShowFatalErrorWide(std::wstring_view message) override;

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

    // Identity and paths.
    std::string companyName_;
    std::string productName_ = "Product";
    std::wstring title_ = L"VornApp";
    std::string registryKey_;
    std::string dataFolder_;
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
