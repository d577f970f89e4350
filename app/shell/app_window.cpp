// VornAppBase: the window procedure, the input queue's dispatch, activation,
// the timer (URL watch and mouse presence), the screen-saver filter and the
// clipboard.
#include "app/shell/vorn_app_base.h"
#include "foundation/system/app_services.h"
#include "foundation/system/text.h"
#include "platform/system/debug_output.h"
#include "platform/window/virtual_keys.h"
#include "rendering/device/d3d_interface.h"

namespace msg = plat::msg;

namespace {

constexpr uint32_t kActivityGapMs = 500;
constexpr plat::WParam kScMonitorPower = ScreensaverFilter::kScMonitorPower;
constexpr plat::WParam kScScreenSave = ScreensaverFilter::kScScreenSave;

bool IsMouseMessage(uint32_t id) {
    return (id >= msg::kMouseMove && id <= msg::kMButtonDblClk) || id == msg::kMouseWheel;
}

}  // namespace

void VornAppBase::KeyDown(int key) { widgetManager_->KeyDown(key); }

plat::LResult VornAppBase::HandleWindowMessage(plat::WindowHandle window, uint32_t message, plat::WParam wParam,
                                               plat::LParam lParam) {
    if (commandLine_.screensaverMode) {
        int px = 0, py = 0;
        windows_->GetCursorPos(&px, &py);
        const ScreensaverFilter::Verdict verdict =
            screensaverFilter_.Filter(message, wParam, commandLine_.previewParent != 0, Now(), px, py);
        if (verdict.end && window == mainWindow_) EndScreensaver(window);
        if (verdict.handled) return verdict.result;
    }
    switch (message) {
        case msg::kSysChar:
            if (ShouldSwallowSysChar(static_cast<wchar_t>(wParam))) return 0;
            break;
        case msg::kSysCommand:
            // Neither the monitor powering down nor the system's screen saver
            // may interrupt loading; the screen saver never runs over full screen.
            if (wParam == kScMonitorPower) {
                lastMonitorPowerTime_ = Now();
                if (!LoadingCompletionHandled()) return 0;
            } else if (wParam == kScScreenSave) {
                if (!LoadingCompletionHandled() || !currentModeWindowed_) return 0;
            }
            break;
        default: break;
    }
    if (IsQueuedInputMessage(message)) {
        if (message == msg::kKeyDown || message == msg::kSysKeyDown || message == msg::kKeyUp ||
            message == msg::kSysKeyUp) {
            const bool down = message == msg::kKeyDown || message == msg::kSysKeyDown;
            if (wParam == plat::vk::kControl) ctrlHeld_ = down;
            if (wParam == plat::vk::kMenu) altHeld_ = down;
        }
        inputQueue_.Push({window, message, wParam, lParam, 0});
        if (message == msg::kSize) sizeMinimised_ = wParam == plat::kSizeMinimized;
        // Alt+F4 goes on to the default procedure, which closes the window.
        if (message == msg::kSysKeyDown && wParam != plat::vk::kF1 + 3) return 0;
        if (message == msg::kClose) {
            OnWindowCloseMessage();
            return 0;
        }
        return windows_->DefWindowProc(window, message, wParam, lParam);
    }
    switch (message) {
        case msg::kDestroy: plat::OutputDebugText(text::Format("DESTROYED HWND: %d\r\n", window)); break;
        case msg::kEnable: windowDisabled_ = wParam == 0; break;
        case msg::kPaint:
            if (initialized_ && !hidden_) {
                if (running_) PresentFrame();
                windows_->ValidateWindow(window);
                return 0;
            }
            break;
        case msg::kQueryOpen:
            if (!CanRestoreFromIcon()) return 0;
            break;
        case msg::kEndSession: Shutdown(); break;
        case msg::kSetCursor:
            if (!hidden_) UpdateCursor();
            return 1;
        case msg::kNcLButtonDown: {
            // The default procedure runs the move or size loop; the time spent
            // there must not be caught up afterwards.
            const plat::LResult result = windows_->DefWindowProc(window, message, wParam, lParam);
            ResetTiming();
            return result;
        }
        default:
            if (notifyMessage_ != 0 && message == notifyMessage_ && window == mainWindow_) {
                BringWindowToFront(wParam);
                return 0;
            }
            break;
    }
    return windows_->DefWindowProc(window, message, wParam, lParam);
}

void VornAppBase::EndScreensaver(plat::WindowHandle window) {
    screensaverFilter_.SetEnding();
    windows_->PostMessage(window, msg::kClose, 0, 0);
}

bool VornAppBase::DispatchQueuedInput() {
    std::optional<plat::Message> next = inputQueue_.Pop();
    if (!next) return false;
    const plat::Message& m = *next;
    switch (m.id) {
        case msg::kKeyDown:
        case msg::kSysKeyDown: HandleKeyDown(m); break;
        case msg::kKeyUp:
        case msg::kSysKeyUp:
            lastInputTime_ = lastActivityTime_;
            widgetManager_->KeyUp(static_cast<int>(m.wParam));
            break;
        case msg::kChar:
            lastInputTime_ = lastActivityTime_;
            widgetManager_->KeyChar(static_cast<wchar_t>(m.wParam));
            break;
        case msg::kMove: HandleMove(m); break;
        case msg::kSize:
            if (m.window == mainWindow_ && !shuttingDown_) HandleSize(m.wParam);
            break;
        case msg::kActivateApp:
            if (!hidden_ && !shuttingDown_) {
                UpdateActiveState(m.wParam != 0);
                if (active_ && !currentModeWindowed_) widgetManager_->MarkAllDirty();
                // Losing activation while a page opens: the browser took over.
                if (!active_) UrlWatchDeactivated();
            }
            break;
        case msg::kTimer:
            if (!hidden_ && running_) HandleTimer();
            break;
        case msg::kSysColorChange:
        case msg::kDisplayChange: widgetManager_->MarkAllDirty(); break;
        case msg::kClose:
            // The screen saver's own end always closes.
            if (!commandLine_.screensaverMode && !AllowWindowClose()) break;
            closeRequested_ = true;
            Shutdown();
            break;
        default:
            if (IsMouseMessage(m.id) && !hidden_) HandleMouseMessage(m);
            break;
    }
    return !inputQueue_.Empty();
}

void VornAppBase::HandleMouseMessage(const plat::Message& m) {
    const int x = plat::LowSigned(static_cast<uint32_t>(m.lParam));
    const int y = plat::HighSigned(static_cast<uint32_t>(m.lParam));
    lastInputTime_ = lastActivityTime_;
    if (d3d_ && d3d_->IsSoftwareCursor()) d3d_->SetCursorPos(x, y);
    if (!mouseInWindow_) {
        mouseInWindow_ = true;
        UpdateCursor();
    }
    if (m.id == msg::kMouseMove) {
        widgetManager_->WindowMouseMove(x, y);
    } else if (m.id == msg::kMouseWheel) {
        widgetManager_->WindowMouseWheel(plat::HighSigned(m.wParam));
    } else if (auto code = ClickCodeForButtonDown(m.id)) {
        // The manager tells its click listeners before and after the press.
        windows_->SetCapture(mainWindow_);
        heldButtons_ |= *code > 0 ? 1 : *code < 0 ? 2 : 4;
        widgetManager_->WindowMouseDown(x, y, *code);
    } else if (int bit = ButtonBitForButtonUp(m.id)) {
        heldButtons_ &= ~static_cast<uint32_t>(bit);
        if (heldButtons_ == 0) windows_->ReleaseCapture();
        widgetManager_->WindowMouseUp(x, y, bit == 1 ? 1 : bit == 2 ? -1 : 0);
    }
}

void VornAppBase::HandleMove(const plat::Message& m) {
    if (m.window != mainWindow_ || !currentModeWindowed_ || !windows_) return;
    plat::WindowPlacement placement;
    if (!windows_->GetPlacement(mainWindow_, &placement)) return;
    if (placement.show != plat::ShowCommand::Show && placement.show != plat::ShowCommand::ShowNormal) return;
    settings_->Values().preferredX = placement.normal.x;
    settings_->Values().preferredY = placement.normal.y;
}

void VornAppBase::HandleTimer() {
    const uint32_t now = Now();
    if (now - lastActivityTime_ > kActivityGapMs) activityStart_ = now;
    lastActivityTime_ = now;
    UrlWatchTick(now, activityStart_);
    const bool inside = PointerInsideClient();
    if (inside != mouseInWindow_) {
        if (!inside) {
            widgetManager_->ReleaseAllPointers();
            widgetManager_->MouseLeftWindow();
        }
        mouseInWindow_ = inside;
        UpdateCursor();
    }
}

bool VornAppBase::PointerInsideClient() const {
    if (!windows_ || mainWindow_ == plat::kNoWindow) return false;
    int x = 0, y = 0;
    if (!windows_->GetCursorPos(&x, &y) || windows_->WindowFromPoint(x, y) != mainWindow_) return false;
    if (!windows_->ScreenToClient(mainWindow_, &x, &y)) return false;
    const DisplaySize size = d3d_ ? d3d_->GetDisplaySize() : DisplaySize{width_, height_};
    return x >= 0 && y >= 0 && x < size.width && y < size.height;
}

void VornAppBase::HandleKeyDown(const plat::Message& m) {
    lastInputTime_ = lastActivityTime_;
    const int key = static_cast<int>(m.wParam);
    if (m.id == msg::kSysKeyDown && key == static_cast<int>(plat::vk::kReturn)) {
        if (!forceFullscreen_ && !fullscreenUnavailable_) {
            SwitchScreenMode(!currentModeWindowed_, false);
            ClearKeyStates();
            return;
        }
    } else if (key == 'D' && widgetManager_->IsKeyDown(static_cast<int>(plat::vk::kControl)) &&
               widgetManager_->IsKeyDown(static_cast<int>(plat::vk::kMenu))) {
        PlayDebugModeCue();
        debugKeyMode_ = !debugKeyMode_;
    } else if (key == 'C' && widgetManager_->IsKeyDown(static_cast<int>(plat::vk::kMenu))) {
        SetCustomCursors(!settings_->Values().customCursors);
    }
    if (debugKeyMode_ && DebugKeyDown(key)) return;
    KeyDown(key);
}

void VornAppBase::PlayDebugModeCue() {
    const int id = FindSoundId(L"highlight");
    if (id >= 0) PlaySoundEffect(id, 0, 1.0);
}

void VornAppBase::ClearKeyStates() {
    widgetManager_->ClearKeyTable();
    ctrlHeld_ = false;
    altHeld_ = false;
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
        Activated();
    } else {
        if (muteOnMinimise_) Mute();
        widgetManager_->ApplicationDeactivated();
        Deactivated();
        if (windows_) windows_->ReleaseCapture();
        heldButtons_ = 0;
        widgetManager_->ReleaseAllPointers();
    }
}

void VornAppBase::BringWindowToFront(plat::WParam wParam) {
    if (wParam != 0 || !windows_ || mainWindow_ == plat::kNoWindow) return;
    if (windows_->IsMinimised(mainWindow_)) windows_->ShowWindow(mainWindow_, plat::ShowCommand::Restore);
    windows_->SetForegroundWindow(mainWindow_);
}

void VornAppBase::LostFocus() {
    widgetManager_->ReleaseAllPointers();
    inputQueue_.Clear();
    Mute();
}

std::wstring VornAppBase::GetClipboardText() {
    std::wstring value;
    if (!windows_ || !windows_->GetClipboardText(&value)) return {};
    return value;
}

void VornAppBase::SetClipboardText(std::wstring_view value) {
    if (windows_) windows_->SetClipboardText(value);
}

void VornAppBase::CopyToClipboard(std::string_view value) { SetClipboardText(text::FromUtf8(value)); }
