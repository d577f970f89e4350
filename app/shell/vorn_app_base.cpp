#include "app/shell/vorn_app_base.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/audio/dsound_manager.h"
#include "app/settings/registry_string.h"
#include "app/shell/window_placement.h"
#include "foundation/files/path_utils.h"
#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "foundation/system/track_interface.h"
#include "platform/system/debug_output.h"
#include "platform/system/registry.h"
#include "platform/system/single_instance.h"
#include "platform/window/virtual_keys.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/image_surface_factory.h"
#include "widgets/tree/widget.h"

namespace msg = plat::msg;

namespace {

VornAppBase* gApp = nullptr;

constexpr uint32_t kUpdateTimerId = 100;

std::string DefaultDataFolder(const std::string& company, const std::string& product) {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return "AppData\\";
    return std::string(home) + "/.local/share/" + (company.empty() ? "" : company + "/") + product + "/";
}

}  // namespace

VornAppBase::VornAppBase() : widgetManager_(std::make_unique<WidgetManager>()) {
    gApp = this;
    timeLoaded_ = Now();
    productVersion_ = GetProductVersion(ProgramFilePath());
}

VornAppBase::~VornAppBase() {
    Shutdown();
    WaitForLoadingThread();
    CloseAllMenus();
    if (windows_ && mainWindow_ != plat::kNoWindow) windows_->DestroyWindow(mainWindow_);
    widgetManager_->SetScreenImage(nullptr);
    deferred_.DeleteAll();
    if (wiring_) wiring_->UnwireAudio();
    music_.reset();
    soundManager_.reset();
    wiring_.reset();
    d3d_.reset();
    widgetManager_.reset();
    windows_.reset();
    if (gApp == this) gApp = nullptr;
}

VornAppBase* VornAppBase::Instance() { return gApp; }

uint32_t VornAppBase::Now() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void VornAppBase::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void VornAppBase::Initialize() {
    if (shuttingDown_) return;
    primaryThread_ = std::this_thread::get_id();
    wiring_ = std::make_unique<ServiceWiring>(*this, *this, *this);
    WireApplicationServices();

    dataFolder_ = GetAppDataFolder();
    if (dataFolder_.empty()) {
        dataFolder_ = DefaultDataFolder(companyName_, productName_);
        SetAppDataFolder(dataFolder_);
    }
    MakeDirectories(dataFolder_);
    registry_ = std::make_unique<plat::Registry>(dataFolder_);

    settings_ = std::make_unique<SettingsStore>(dataFolder_ + "settings.xml");
    settings_->Load(commandLine_.screensaverMode,
                    [this](const XMLElement& element) { ApplySettingsElement(element, settings_->Values(), {}); });
    if (!commandLineRead_) ReadCommandLine();
    if (shuttingDown_) return;

    if (!commandLine_.screensaverMode) {
        instance_ = std::make_unique<plat::SingleInstance>(dataFolder_, productName_);
        if (!instance_->IsFirst()) {
            instance_->Notify(text::FromUtf8(productName_) + L"Notify", 0, 0);
            ExitProcess(0);
        }
    }

    windows_ = std::make_unique<plat::WindowSystem>();
    if (!windows_->Ready()) {
        ShowFatalError("Failed to open a window: " + windows_->LastError());
        ExitProcess(1);
    }
    windows_->RegisterClass({L"MainWindow", plat::kClassDoubleClicks,
                             [this](plat::WindowHandle w, uint32_t m, plat::WParam wp, plat::LParam lp) {
                                 return HandleWindowMessage(w, m, wp, lp);
                             }});
    widgetManager_->SetScreenLayout({0, 0, width_, height_}, {0, 0, width_, height_});
    if (!CreateMainWindow()) return;
    if (!soundManager_) soundManager_ = std::make_unique<DSoundManager>(windows_->GetNativeWindow(mainWindow_));
    soundManager_->SetMasterVolume(settings_->Values().sfxVolume);
    music_ = CreateMusicInterface();
    for (const auto& [name, volume] : settings_->Values().trackVolumes) music_->SetVolumeForName(name, volume);
    wiring_->WireAudio(*soundManager_, *music_);
    OnInitialized();
    initialized_ = true;
}

bool VornAppBase::CreateMainWindow() {
    const AppSettings& values = settings_->Values();
    currentModeWindowed_ = values.windowed;
    plat::WindowCreateParams params;
    params.className = L"MainWindow";
    params.title = title_;
    params.width = width_;
    params.height = height_;
    if (currentModeWindowed_) {
        params.style = plat::kStylePopup | plat::kStyleClipChildren | plat::kStyleCaption | plat::kStyleSysMenu |
                       plat::kStyleMinimizeBox;
        plat::WindowRect outer = plat::WindowSystem::AdjustWindowRect({0, 0, width_, height_}, params.style);
        plat::WindowRect placed =
            PlaceMainWindow(windows_->GetWorkArea(), outer.width, outer.height, values.preferredX, values.preferredY);
        params.x = placed.x;
        params.y = placed.y;
    } else {
        params.style = plat::kStylePopup | plat::kStyleVisible;
        params.exStyle = plat::kStyleExTopmost;
        params.fullScreen = true;
    }
    mainWindow_ = windows_->CreateWindow(params);
    if (mainWindow_ == plat::kNoWindow) {
        ShowFatalError("Failed to create the main window");
        ExitProcess(1);
    }
    // A mode switch keeps the device wrapper: the images it knows stay registered.
    if (!d3d_) {
        d3d_ = std::make_unique<D3DInterface>(this);
        d3d_->SetImageFactory(std::make_unique<ImageSurfaceFactory>());
    }
    int result = d3d_->Init(windows_->GetNativeWindow(mainWindow_), currentModeWindowed_, values.stretchScreen);
    if (result != 0) {
        ShowFatalError(std::string("Failed to initialize Direct3D: ") + D3DInterface::ResultName(result));
        ExitProcess(1);
    }
    if (d3d_->GetRefreshRate() > 0) pacer_.refreshRate_ = static_cast<int>(d3d_->GetRefreshRate());
    UpdateActiveState(windows_->GetActiveWindow() == mainWindow_);
    widgetManager_->SetScreenImage(dynamic_cast<ImageSurface*>(d3d_->GetDrawBuffer()));
    widgetManager_->MarkAllDirty();
    windows_->SetTimer(mainWindow_, kUpdateTimerId, static_cast<uint32_t>(pacer_.updatePeriod_));
    return true;
}

void VornAppBase::Run() {
    if (shuttingDown_) return;
    if (loadingThreadWanted_) StartLoadingThread();
    windows_->ShowWindow(mainWindow_, plat::ShowCommand::Show);
    startTime_ = Now();
    lastRedrawTime_ = startTime_;
    running_ = true;
    pacer_.LoopUntilQuit();
    EndRun();
}

void VornAppBase::EndRun() {
    DeleteDueObjects();
    running_ = false;
    WaitForLoadingThread();
    const uint32_t seconds = Now() - startTime_;
    plat::OutputDebugText(text::Format("Seconds       = %g\r\n", seconds / 1000.0));
    plat::OutputDebugText(text::Format("Sleep Count   = %d\r\n", pacer_.SleepCount()));
    plat::OutputDebugText(text::Format("Update Count  = %d\r\n", pacer_.UpdateCount()));
    plat::OutputDebugText(text::Format("Draw Count    = %d\r\n", drawCount_));
    plat::OutputDebugText(text::Format("Draw Time     = %u\r\n", drawTime_));
    plat::OutputDebugText(text::Format("Screen Blt    = %u\r\n", lastPresentTime_));
    if (drawTime_ + lastPresentTime_ > 0)
        plat::OutputDebugText(
            text::Format("Avg FPS       = %u\r\n", drawCount_ * 1000u / (drawTime_ + lastPresentTime_)));
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
    if (music_) music_->StopAllTracks();
    if (windows_ && mainWindow_ != plat::kNoWindow) windows_->ShowWindow(mainWindow_, plat::ShowCommand::Hide);
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
        ShowFatalErrorWide(L"Invalid command line parameter: " + text::FromUtf8(name));
        ExitProcess(1);
    }
}

void VornAppBase::ExitProcess(int code) {
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
    plat::Message message;
    while (!shuttingDown_ && windows_ && windows_->PeekMessage(&message, true)) windows_->DispatchMessage(message);
}

bool VornAppBase::UpdateStep() {
    HandleLoadingDone();
    UpdateFrames();
    return true;
}

void VornAppBase::UpdateFrames() {
    if (!minimised_) widgetManager_->UpdateFrame();
    if (music_) music_->UpdateFades();
}

std::unique_ptr<TrackInterface> VornAppBase::CreateMusicInterface() { return std::make_unique<TrackInterface>(); }

void VornAppBase::UpdateFrameFraction(float fraction) {
    if (!minimised_) widgetManager_->UpdateFractionFrame(fraction);
}

bool VornAppBase::WantsVsync() { return !currentModeWindowed_ || (settings_ && settings_->Values().waitForVsync); }

bool VornAppBase::Redraw() {
    const uint32_t start = Now();
    if (start - lastRedrawTime_ > 999) widgetManager_->MarkAllDirty();
    if (!d3d_ || !widgetManager_->DrawScreen()) {
        pacer_.lastDrawEmpty_ = true;
        pacer_.needsRedraw_ = false;
        return false;
    }
    ++drawCount_;
    pacer_.lastDrawEmpty_ = false;
    lastRedrawTime_ = Now();
    drawTime_ += lastRedrawTime_ - start;
    d3d_->Redraw();
    const uint32_t now = Now();
    pacer_.AccumulateTime(now);
    lastPresentTime_ = now - lastRedrawTime_;
    pacer_.needsRedraw_ = false;
    return true;
}

void VornAppBase::KeyDown(int key) { widgetManager_->KeyDown(key); }

plat::LResult VornAppBase::HandleWindowMessage(plat::WindowHandle window, uint32_t message, plat::WParam wParam,
                                               plat::LParam lParam) {
    if (IsQueuedInputMessage(message)) {
        inputQueue_.Push({window, message, wParam, lParam, 0});
        if (message == msg::kClose) {
            OnWindowCloseMessage();
            return 0;
        }
    }
    return windows_->DefWindowProc(window, message, wParam, lParam);
}

bool VornAppBase::DispatchQueuedInput() {
    std::optional<plat::Message> next = inputQueue_.Pop();
    if (!next) return false;
    const plat::Message& m = *next;
    const int x = plat::LowSigned(static_cast<uint32_t>(m.lParam));
    const int y = plat::HighSigned(static_cast<uint32_t>(m.lParam));
    switch (m.id) {
        case msg::kKeyDown:
        case msg::kSysKeyDown: HandleKeyDown(m); break;
        case msg::kSize:
            if (m.window == mainWindow_ && !shuttingDown_) HandleSize(m.wParam);
            break;
        case msg::kActivateApp:
            if (!hidden_ && !shuttingDown_) UpdateActiveState(m.wParam != 0);
            if (m.wParam == 0) UrlWatchDeactivated();
            break;
        case msg::kKeyUp:
        case msg::kSysKeyUp: widgetManager_->KeyUp(static_cast<int>(m.wParam)); break;
        case msg::kChar: widgetManager_->KeyChar(static_cast<wchar_t>(m.wParam)); break;
        case msg::kMouseMove: widgetManager_->WindowMouseMove(x, y); break;
        case msg::kMouseWheel: widgetManager_->WindowMouseWheel(plat::HighSigned(m.wParam)); break;
        case msg::kSysColorChange:
        case msg::kDisplayChange: widgetManager_->MarkAllDirty(); break;
        case msg::kClose:
            closeRequested_ = true;
            Shutdown();
            break;
        default:
            if (auto code = ClickCodeForButtonDown(m.id)) {
                windows_->SetCapture(mainWindow_);
                widgetManager_->NotifyClickPress();
                widgetManager_->WindowMouseDown(x, y, *code);
            } else if (int bit = ButtonBitForButtonUp(m.id)) {
                (void)bit;
                windows_->ReleaseCapture();
                widgetManager_->WindowMouseUp(x, y, m.id == msg::kLButtonUp ? 1 : m.id == msg::kRButtonUp ? -1 : 0);
                widgetManager_->NotifyClickRelease();
            }
            break;
    }
    return !inputQueue_.Empty();
}

void VornAppBase::HandleKeyDown(const plat::Message& m) {
    const int key = static_cast<int>(m.wParam);
    if (m.id == msg::kSysKeyDown && key == static_cast<int>(plat::vk::kReturn)) {
        if (!forceFullscreen_ && !fullscreenUnavailable_) {
            SwitchScreenMode(!currentModeWindowed_, false);
            widgetManager_->ClearKeyTable();
            return;
        }
    } else if (key == 'D' && widgetManager_->IsKeyDown(static_cast<int>(plat::vk::kControl)) &&
               widgetManager_->IsKeyDown(static_cast<int>(plat::vk::kMenu))) {
        PlayDebugModeCue();
        debugKeyMode_ = !debugKeyMode_;
    } else if (key == 'C' && widgetManager_->IsKeyDown(static_cast<int>(plat::vk::kMenu))) {
        settings_->Values().customCursors = !settings_->Values().customCursors;
    }
    if (debugKeyMode_ && DebugKeyDown(key)) return;
    KeyDown(key);
}

void VornAppBase::HandleSize(plat::WParam kind) {
    const bool nowMinimised = kind == plat::kSizeMinimized;
    if (nowMinimised != minimised_) {
        minimised_ = nowMinimised;
        if (muteOnMinimise_) {
            if (minimised_)
                Mute();
            else
                Unmute();
        }
        if (!minimised_) widgetManager_->MarkAllDirty();
    }
    UpdateActiveState(active_);
    if (kind == plat::kSizeMaximized) SwitchScreenMode(false, false);
}

void VornAppBase::UpdateActiveState(bool active) {
    active_ = active;
    const bool showing = active_ && !minimised_;
    if (showing == activeAndVisible_) return;
    activeAndVisible_ = showing;
    if (showing) {
        if (muteOnMinimise_) Unmute();
        widgetManager_->ApplicationActivated();
    } else {
        if (muteOnMinimise_) Mute();
        widgetManager_->ApplicationDeactivated();
        if (windows_) windows_->ReleaseCapture();
        widgetManager_->ReleaseAllPointers();
    }
}
