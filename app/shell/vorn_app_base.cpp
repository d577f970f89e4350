#include "app/shell/vorn_app_base.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "app/audio/bass_track_interface.h"
#include "app/audio/dsound_manager.h"
#include "app/crash/crash_reporter.h"
#include "app/settings/registry_string.h"
#include "app/shell/cursor_kinds.h"
#include "app/shell/data_folder.h"
#include "app/shell/window_placement.h"
#include "foundation/files/config_stats.h"
#include "foundation/files/pak_interface.h"
#include "foundation/files/path_utils.h"
#include "foundation/system/log.h"
#include "foundation/system/random.h"
#include "foundation/system/runtime_random.h"
#include "foundation/system/text.h"
#include "foundation/system/track_interface.h"
#include "platform/system/debug_output.h"
#include "platform/system/registry.h"
#include "platform/system/single_instance.h"
#include "platform/window/virtual_keys.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/font/sys_font.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/image_surface_factory.h"
#include "widgets/tree/widget.h"

namespace msg = plat::msg;

namespace {

VornAppBase* gApp = nullptr;

constexpr uint32_t kUpdateTimerId = 100;

// Diagnostics (the run's statistics, window events, timings) belong in the
// log, never on a player's terminal; without a log they are dropped.
void LogDiagnostic(std::string_view text) {
    if (!IsLogEnabled()) return;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    if (!text.empty()) LogWrite(text::FromUtf8(text), true);
}

std::string ProgramPath() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

}  // namespace

VornAppBase::VornAppBase() : widgetManager_(std::make_unique<WidgetManager>()) {
    gApp = this;
    programPath_ = ProgramPath();
    programFolder_ = std::filesystem::path(programPath_).parent_path().string();
    commandLine_.screensaverMode = IsScreensaverProgramName(programPath_);
    timeLoaded_ = Now();
    productVersion_ = GetProductVersion(ProgramFilePath());
}

VornAppBase::~VornAppBase() {
    Shutdown();
    StopCursorThread();
    WaitForLoadingThread();
    CloseAllMenus();
    if (windows_ && mainWindow_ != plat::kNoWindow) {
        windows_->SetUserData(mainWindow_, 0);
        windows_->DestroyWindow(mainWindow_);
    }
    widgetManager_->SetScreenImage(nullptr);
    overlayImage_.reset();
    overlayFont_.reset();
    deferred_.DeleteAll();
    if (wiring_) wiring_->UnwireAudio();
    music_.reset();
    soundManager_.reset();
    wiring_.reset();
    d3d_.reset();
    widgetManager_.reset();
    windows_.reset();
    pak_.reset();
    if (gApp == this) {
        gApp = nullptr;
        plat::SetDebugOutputSink(nullptr);
    }
}

VornAppBase* VornAppBase::Instance() { return gApp; }

uint32_t VornAppBase::Now() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void VornAppBase::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void VornAppBase::SleepBriefly(double ms) {
    std::this_thread::sleep_for(std::chrono::microseconds(static_cast<int64_t>(ms * 1000.0)));
}

void VornAppBase::Initialize() {
    if (shuttingDown_) return;
    primaryThread_ = std::this_thread::get_id();
    // Whether logging is on is known once the constants are read; what
    // start-up has to say before then waits for it.
    LogHoldUntilInit();
    plat::SetDebugOutputSink(&LogDiagnostic);
    wiring_ = std::make_unique<ServiceWiring>(*this, *this, *this);
    WireApplicationServices();

    dataFolder_ = GetAppDataFolder();
    if (dataFolder_.empty()) {
        dataFolder_ = DefaultDataFolder(companyName_, productName_);
        SetAppDataFolder(dataFolder_);
    }
    registry_ = std::make_unique<plat::Registry>(dataFolder_);

    // A run refused at its options, and a second copy, write nothing: the
    // settings are read, and marked in progress, only after both checks.
    if (!commandLineRead_) ReadCommandLine();
    if (shuttingDown_) return;
    MakeDirectories(dataFolder_);
    const std::wstring notifyName = text::FromUtf8(productName_) + L"Notify";
    if (!commandLine_.screensaverMode) {
        instance_ = std::make_unique<plat::SingleInstance>(dataFolder_, productName_);
        if (!instance_->IsFirst()) {
            instance_->Notify(notifyName, 0, 0);
            ExitProcess(0);
        }
    }
    settings_ = std::make_unique<SettingsStore>(dataFolder_ + "settings.xml");
    settings_->Values() = defaultSettings_;
    settings_->Load(true,
                    [this](const XMLElement& element) { ApplySettingsElement(element, settings_->Values(), {}); });
    // Flushing the file to disk can take a while: it goes on while the
    // window and the device are made, and is done before Initialize returns
    // or the process ends.
    if (!commandLine_.screensaverMode) settings_->BeginRunInBackground();
    if (commandLine_.screensaverMode) {
        if (shuttingDown_) return;
        if (commandLine_.previewParent == 0) {
            forceFullscreen_ = true;
            settings_->Values().windowed = false;
        } else {
            forceFullscreen_ = false;
            settings_->Values().windowed = true;
            settings_->Values().customCursors = false;
        }
    }
    if (shuttingDown_) return;

    const std::string startFolder = commandLine_.startFolderChanged ? commandLine_.startFolder : programFolder_;
    bool inStartFolder = true;
    if (!HandleChangeDirectory(startFolder) && !startFolder.empty() && ::chdir(startFolder.c_str()) != 0) {
        LogWrite(L"Could not change to the start folder " + text::FromUtf8(startFolder), true);
        inStartFolder = false;
    }
    pak_ = std::make_unique<PakInterface>();
    // A folder given with -changedir that is not there holds no data either,
    // whatever lies in the folder the game was started from.
    if (!FindGameData(inStartFolder || !commandLine_.startFolderChanged ? std::string() : startFolder)) {
        ExitProcess(1);
        return;
    }
    LoadConfigXml();

    // Each run plays differently: both generators start from the time of
    // start-up.
    const uint32_t started = Now();
    SeedRandom(started);
    SeedRuntimeRandom(started);

    windows_ = std::make_unique<plat::WindowSystem>();
    if (!windows_->Ready()) {
        ShowFatalError("Failed to open a window: " + windows_->LastError());
        ExitProcess(1);
    }
    // Not before the video system: its start (libraries, the display's
    // connection) ran slower beside the decoders and the font lookup, which
    // have the wait for the window to themselves from here.
    OnDataMounted();
    notifyMessage_ = windows_->RegisterWindowMessage(notifyName);
    auto procedure = [this](plat::WindowHandle w, uint32_t m, plat::WParam wp, plat::LParam lp) {
        return HandleWindowMessage(w, m, wp, lp);
    };
    windows_->RegisterClass({L"MainWindow", plat::kClassDoubleClicks, procedure});
    widgetManager_->SetScreenLayout({0, 0, width_, height_}, {0, 0, width_, height_});

    int desktopWidth = 0, desktopHeight = 0;
    windows_->GetDesktopSize(&desktopWidth, &desktopHeight);
    switch (CheckDesktopSize(desktopWidth, desktopHeight, width_, height_)) {
        case DesktopFit::kWindowed: break;
        case DesktopFit::kFullscreenOnly:
            settings_->Values().windowed = false;
            forceFullscreen_ = true;
            break;
        case DesktopFit::kTooSmall:
            ShowFatalErrorWide(
                text::WFormat(L"Please set your desktop resolution to at least %dx%d pixels.", width_, height_));
            exitCode_ = 1;
            Shutdown();
            return;
    }
    if (!CreateMainWindow()) return;
    if (!soundManager_) soundManager_ = std::make_unique<DSoundManager>(windows_->GetNativeWindow(mainWindow_));
    soundManager_->SetMasterVolume(settings_->Values().sfxVolume);
    music_ = CreateMusicInterface();
    for (const auto& [name, volume] : settings_->Values().trackVolumes) music_->SetVolumeForName(name, volume);
    wiring_->WireAudio(*soundManager_, *music_);
    if (commandLine_.screensaverMode && commandLine_.previewParent == 0) SetCursor(kCursorNone);
    // The start-up's save is on disk before anything runs.
    settings_->FinishSave();
    OnInitialized();
    initialized_ = true;
}

bool VornAppBase::FindGameData(const std::string& missingFolder) {
    const bool packed = missingFolder.empty() && pak_->Mount("main.pak");
    // Loose files stand in for the pack (a developer's data folder), but a
    // pack that is there must read whole.
    const bool packThere = missingFolder.empty() && FileExists("main.pak");
    const std::string required(RequiredDataFile());
    if (missingFolder.empty() && (packed || (!packThere && (required.empty() || FileExists(required))))) return true;
    std::error_code error;
    const std::string folder = missingFolder.empty() ? std::filesystem::current_path(error).string() : missingFolder;
    const std::string message = "The game's data could not be " + std::string(packThere ? "read" : "found") +
                                ".\nIt looked for main.pak in " + folder + ".";
    plat::WriteToTerminal(message + "\n");
    if (!commandLine_.screensaverMode) plat::ShowButtonBox(productName_, message, {"OK"});
    return false;
}

bool VornAppBase::CreateMainWindow() {
    if (d3d_) d3d_->Cleanup();
    if (mainWindow_ != plat::kNoWindow) {
        windows_->SetUserData(mainWindow_, 0);
        windows_->DestroyWindow(mainWindow_);
        mainWindow_ = plat::kNoWindow;
        cursorWindow_ = plat::kNoWindow;
        widgetManager_->SetScreenImage(nullptr);
    }
    const AppSettings& values = settings_->Values();
    plat::WindowCreateParams params;
    params.className = L"MainWindow";
    params.title = title_;
    params.width = width_;
    params.height = height_;
    plat::WindowRect previewArea;
    const bool preview =
        commandLine_.previewParent != 0 &&
        windows_->GetWindowRect(static_cast<plat::WindowHandle>(commandLine_.previewParent), &previewArea);
    if (preview) {
        // The preview covers the window it was given; this desktop has no
        // child windows, so it is a plain window in the same place.
        params.style = plat::kStyleVisible;
        params.x = previewArea.x;
        params.y = previewArea.y;
        params.width = previewArea.width;
        params.height = previewArea.height;
        currentModeWindowed_ = true;
    } else if (values.windowed && !displayModeChanged_) {
        params.style = plat::kStylePopup | plat::kStyleClipChildren | plat::kStyleCaption | plat::kStyleSysMenu |
                       plat::kStyleMinimizeBox | (allowMaximise_ ? plat::kStyleMaximizeBox : 0u);
        const plat::WindowRect outer = plat::WindowSystem::AdjustWindowRect({0, 0, width_, height_}, params.style);
        const plat::WindowRect placed =
            PlaceMainWindow(windows_->GetWorkArea(), outer.width, outer.height, values.preferredX, values.preferredY);
        params.x = placed.x;
        params.y = placed.y;
        currentModeWindowed_ = true;
    } else {
        params.style = plat::kStylePopup | plat::kStyleVisible;
        params.exStyle = plat::kStyleExTopmost;
        params.fullScreen = true;
        // The device shows full screen in the desktop's own mode (the game's
        // picture letterboxed in it), so the window takes the whole desktop;
        // a window of the game's size would show only a corner of the frame.
        windows_->GetDesktopSize(&params.width, &params.height);
        currentModeWindowed_ = false;
    }
    mainWindow_ = windows_->CreateWindow(params);
    if (mainWindow_ == plat::kNoWindow) {
        ShowFatalError("Failed to create the main window");
        ExitProcess(1);
    }
    windows_->SetUserData(mainWindow_, reinterpret_cast<uintptr_t>(this));
    cursorWindow_ = mainWindow_;
    // A mode switch keeps the device wrapper: the images it knows stay registered.
    if (!d3d_) {
        d3d_ = std::make_unique<D3DInterface>(this);
        d3d_->SetImageFactory(std::make_unique<ImageSurfaceFactory>());
    }
    const int result = InitDevice();
    if (result != 0) {
        if (currentModeWindowed_ && result == RESULT_INVALID_COLORDEPTH) {
            if (fullscreenUnavailable_) {
                ShowFatalErrorWide(L"Please set your desktop color depth to 16 bit.");
                ExitProcess(1);
            }
            forceFullscreen_ = true;
            SwitchScreenMode(false, false);
            return d3d_->IsReady();
        }
        if (!currentModeWindowed_ && (result == RESULT_EXCLUSIVE_FAIL || result == RESULT_DISPCHANGE_FAIL)) {
            fullscreenUnavailable_ = true;
            SwitchScreenMode(true, false);
            return d3d_->IsReady();
        }
        ShowFatalError(std::string("Failed to initialize Direct3D: ") + D3DInterface::ResultName(result));
        ExitProcess(1);
    }

    const bool wasActive = active_;
    active_ = windows_->GetActiveWindow() == mainWindow_;
    sizeMinimised_ = false;
    if (minimised_) {
        if (muteOnMinimise_) Unmute();
        minimised_ = false;
        UpdateActiveState(active_);
    }
    if (active_ != wasActive) UpdateActiveState(active_);
    widgetManager_->SetScreenImage(dynamic_cast<ImageSurface*>(d3d_->GetDrawBuffer()));
    widgetManager_->MarkAllDirty();
    if (settings_->Values().mouseSpeed == 0) {
        int desktopWidth = 0, desktopHeight = 0;
        windows_->GetDesktopSize(&desktopWidth, &desktopHeight);
        settings_->Values().mouseSpeed = InitialMouseSpeed(systemMouseSpeed_, desktopWidth, width_);
    }
    ApplyMouseSpeed(false);
    windows_->SetTimer(mainWindow_, kUpdateTimerId, static_cast<uint32_t>(pacer_.updatePeriod_));
    return true;
}

void VornAppBase::Run() {
    if (shuttingDown_) return;
    StartCursorThread();
    windows_->ShowWindow(mainWindow_, plat::ShowCommand::Show);
    startTime_ = Now();
    lastRedrawTime_ = startTime_;
    lastInputTime_ = startTime_;
    lastActivityTime_ = startTime_;
    running_ = true;
    // Before a level's objects are made: they then lie in large pages. Not
    // sooner: the start-up's buffers and pictures in large pages made the
    // first frame come about 25 ms later (the kernel's faults for large
    // pages cost more than it saved), and drew no faster.
    heapPages_.Reserve();
    pacer_.LoopUntilQuit();
    EndRun();
}

void VornAppBase::EndRun() {
    DeleteDueObjects();
    running_ = false;
    WaitForLoadingThread();
    const uint32_t elapsed = Now() - startTime_;
    plat::OutputDebugText(text::Format("First Frame   = %u\r\n", firstFrameTime_));
    plat::OutputDebugText(text::Format("Seconds       = %g\r\n", elapsed / 1000.0));
    plat::OutputDebugText(text::Format("Sleep Count   = %d\r\n", pacer_.SleepCount()));
    plat::OutputDebugText(text::Format("Update Count  = %d\r\n", pacer_.UpdateCount()));
    plat::OutputDebugText(text::Format("Draw Count    = %d\r\n", drawCount_));
    plat::OutputDebugText(text::Format("Draw Time     = %u\r\n", drawTime_));
    plat::OutputDebugText(text::Format("Screen Blt    = %u\r\n", lastPresentTime_));
    // Frames shown per second of the run: the time spent drawing alone would
    // count the idle time between frames as if it were more frames.
    if (elapsed > 0)
        plat::OutputDebugText(
            text::Format("Avg FPS       = %llu\r\n", static_cast<unsigned long long>(drawCount_) * 1000ull / elapsed));
    OnRunEnded();
    SaveSettingsFile();
}

void VornAppBase::Shutdown() {
    if (primaryThread_ != std::thread::id() && std::this_thread::get_id() != primaryThread_) {
        quitRequestedFromOtherThread_ = true;
        return;
    }
    if (shuttingDown_) return;
    shuttingDown_ = true;
    pacer_.BreakLoop();
    OnShutdownBegin();
    StopCursorThread();
    if (music_) music_->StopAllTracks();
    if (windows_ && mainWindow_ != plat::kNoWindow) windows_->ShowWindow(mainWindow_, plat::ShowCommand::Hide);
    RestoreDisplayMode();
    if (settings_) settings_->EndRun(BuildSettingsText().substr(settings_->BuildAttributes().size()));
}

void VornAppBase::HandleQuitRequest() {
    if (quitRequestedFromOtherThread_.exchange(false)) Shutdown();
}

std::wstring VornAppBase::BuildSettingsText() { return settings_->BuildAttributes(); }

void VornAppBase::SaveSettingsFile() {
    if (!settings_) return;
    std::wstring base = settings_->BuildAttributes();
    std::wstring full = BuildSettingsText();
    settings_->Save(std::wstring_view(full).substr(std::min(base.size(), full.size())));
}

void VornAppBase::WriteAppRegistryString(std::string_view valuePath, std::string_view value) {
    if (registry_) WriteRegistryString(*registry_, registryKey_, valuePath, value);
}

void VornAppBase::ReadCommandLine() {
    commandLineRead_ = true;
    std::string line = JoinCommandLine(arguments_);
    std::string_view rest = CommandLineArguments(line);
    if (rest.empty()) return;
    SplitCommandLineOptions(
        rest, commandLine_.screensaverMode,
        [this](const std::string& name, const std::string& value) { ApplyCommandLineOption(name, value); });
}

void VornAppBase::ApplyCommandLineOption(const std::string& name, const std::string& value) {
    if (ApplyStandardCommandLineOption(name, value, commandLine_) == CommandLineOptionResult::kInvalid) {
        // Nothing was written yet: a mistyped option leaves no trace behind.
        if (!IsHelpOption(name)) plat::WriteToTerminal("Invalid command line parameter: " + name + "\n");
        plat::WriteToTerminal(CommandLineUsage(arguments_.empty() ? productName_ : arguments_.front()));
        ExitProcess(1);
    }
    if (commandLine_.crashRequested) CrashReporter::RaiseCrash();
    if (commandLine_.configureRequested) {
        // The screen saver has nothing to configure.
        commandLine_.configureRequested = false;
        plat::ShowButtonBox("", "N/A", {"OK"});
        Shutdown();
    }
}

void VornAppBase::ApplyMouseSpeed(bool restoreSystem) {
    // The player's speed only while the game owns the whole screen; a window
    // shares the pointer with the rest of the desktop.
    const bool fullscreen = settings_ && !settings_->Values().windowed;
    appliedMouseSpeed_ = !restoreSystem && fullscreen ? GetMouseSpeed() : systemMouseSpeed_;
}

void VornAppBase::RestoreDisplayMode() {
    if (displayModeChanged_) {
        // Leaving full screen gives the desktop its own mode back.
        if (windows_ && mainWindow_ != plat::kNoWindow) windows_->SetFullScreen(mainWindow_, false);
        displayModeChanged_ = false;
    }
    ApplyMouseSpeed(true);
}

void VornAppBase::ExitProcess(int code) {
    if (std::this_thread::get_id() == primaryThread_) {
        StopCursorThread();
        OnProcessExit();
        if (settings_) settings_->FinishSave();
    }
    RestoreDisplayMode();
    exitCode_ = code;
    std::exit(code);
}

bool VornAppBase::GetClientSize(plat::NativeWindow*, int* width, int* height) {
    if (!windows_ || !windows_->GetClientSize(mainWindow_, width, height)) {
        *width = width_;
        *height = height_;
    }
    return true;
}

void VornAppBase::GetDesktopSize(int* width, int* height) {
    if (windows_) {
        windows_->GetDesktopSize(width, height);
    } else {
        *width = width_;
        *height = height_;
    }
}

void VornAppBase::DeferDelete(Widget* widget) {
    deferred_.Defer(pacer_.NestingDepth(), std::unique_ptr<Widget>(widget));
}

void VornAppBase::CancelDeferredDelete(Widget* widget) { deferred_.Cancel(widget); }

void VornAppBase::DeleteDueObjects() { deferred_.DeleteDue(pacer_.NestingDepth()); }

void VornAppBase::PumpWindowMessages() {
    // A second copy's "bring yourself forward" arrives here as the broadcast
    // of the registered message.
    if (instance_ && windows_)
        instance_->DeliverPending([this](std::wstring_view name, uint32_t wParam, int32_t lParam) {
            windows_->ReceiveBroadcast(name, wParam, lParam);
        });
    plat::Message message;
    while (!shuttingDown_ && windows_ && windows_->PeekMessage(&message, true)) windows_->DispatchMessage(message);
}

bool VornAppBase::UpdateStep() {
    // The system's screen saver runs over an idle window: the game stands still under it.
    if (screenSaverWatch_.Active()) return false;
    heapPages_.Cover();
    StartLoadingWhenDue();
    HandleLoadingDone();
    UpdateFrames();
    return true;
}

// The loading thread starts once the first frame is shown: before it, the
// thread's work and its decoders' would only take processors and fresh memory
// from the frame, which on a first start kept the screen black. Should no
// frame be drawn (a hidden window, a lost device), it starts after a few
// updates all the same.
void VornAppBase::StartLoadingWhenDue() {
    constexpr int kUpdatesWithoutFrame = 10;
    if (!loadingThreadWanted_ || LoadingThreadStarted()) return;
    if (drawCount_ == 0 && ++updatesBeforeLoading_ < kUpdatesWithoutFrame) return;
    StartLoadingThread();
}

void VornAppBase::UpdateFrames() {
    if (!minimised_) widgetManager_->UpdateFrame();
    if (music_) music_->UpdateFades();
}

std::unique_ptr<TrackInterface> VornAppBase::CreateMusicInterface() {
    // Music joins the effects' device when there is one; the library opens
    // its own otherwise. Either way it is gone before the sound manager.
    auto* effects = dynamic_cast<DSoundManager*>(soundManager_.get());
    return std::make_unique<BassTrackInterface>(effects ? effects->Device() : nullptr);
}

void VornAppBase::UpdateFrameFraction(float fraction) {
    if (!minimised_) widgetManager_->UpdateFractionFrame(fraction);
}

bool VornAppBase::WantsVsync() { return !currentModeWindowed_ || (settings_ && settings_->Values().waitForVsync); }
