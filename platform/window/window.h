#pragma once
// platform/window: windows, the message pump, input, cursors, the clipboard
// and message boxes, on SDL2 video. It owns every window, cursor and timer it
// hands out (as plain numbers, so a stale handle is refused, never followed)
// and the one message queue: SDL events are translated into classic window
// messages in one place (event_translate.cpp) and reach each window's
// procedure through PeekMessage/GetMessage and DispatchMessage.
// Promises: works headless under SDL's dummy and offscreen drivers (message
// boxes then answer their default button and print to stderr); messages keep
// their arrival order; paint and timer messages come only when nothing else
// is queued; a window's native handle is what plat::Device presents to.
// Callers must not: destroy the WindowSystem inside a window procedure, or
// keep a NativeWindow pointer past DestroyWindow. Destroying the WindowSystem
// destroys the windows left, each getting its destroy message first, so
// their procedures must still be callable then.
// Threads: PostMessage, GetCursorPos, ScreenToClient and ClientToScreen may
// be called from any thread; everything else on the thread that created the
// WindowSystem (window procedures run there too).

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/graphics_system.h"
#include "platform/window/messages.h"
#include "platform/window/virtual_keys.h"

union SDL_Event;

namespace plat {

class EventTranslator;

using WindowProc = std::function<LResult(WindowHandle, uint32_t message, WParam, LParam)>;
// 0 is "no cursor".
using CursorHandle = uint32_t;

// Class styles.
constexpr uint32_t kClassDoubleClicks = 0x0008;

// Window styles (what the desktop can honour of them).
constexpr uint32_t kStylePopup = 0x80000000u;
constexpr uint32_t kStyleVisible = 0x10000000u;
constexpr uint32_t kStyleCaption = 0x00C00000u;
constexpr uint32_t kStyleSysMenu = 0x00080000u;
constexpr uint32_t kStyleThickFrame = 0x00040000u;
constexpr uint32_t kStyleMinimizeBox = 0x00020000u;
constexpr uint32_t kStyleMaximizeBox = 0x00010000u;
constexpr uint32_t kStyleClipChildren = 0x02000000u;
constexpr uint32_t kStyleExTopmost = 0x00000008u;

struct WindowClass {
    std::wstring name;
    uint32_t style = 0;
    WindowProc procedure;  // required
};

struct WindowRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowRect&) const = default;
};

struct WindowCreateParams {
    std::wstring className;
    std::wstring title;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int x = 0, y = 0;
    int width = 0, height = 0;  // a window of no size is a message target only
    bool fullScreen = false;    // takes the display at width x height
};

enum class ShowCommand { Hide, Show, ShowNormal, ShowNoActivate, Minimize, Maximize, Restore };

struct WindowPlacement {
    ShowCommand show = ShowCommand::Hide;  // Hide, ShowNormal, Minimize or Maximize
    WindowRect normal;                     // the outer rectangle when restored, frame included
};

// The border a window manager draws around a client area, in pixels per side.
struct FrameInsets {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The rectangle of a client area together with its frame.
WindowRect OuterRect(const WindowRect& client, const FrameInsets& frame);

enum class SystemCursor {
    Arrow,
    Hand,
    Wait,
    AppStarting,
    IBeam,
    No,
    SizeAll,
    SizeNESW,
    SizeNS,
    SizeNWSE,
    SizeWE,
    Cross
};

struct CursorImage {
    const uint32_t* argb = nullptr;  // width x height pixels 0xAARRGGBB, top row first
    int width = 0, height = 0;
    int hotX = 0, hotY = 0;
    bool premultiplied = false;  // colour already multiplied by alpha
};

// Message box styles and answers.
namespace mb {
constexpr uint32_t kOk = 0x0;
constexpr uint32_t kOkCancel = 0x1;
constexpr uint32_t kYesNoCancel = 0x3;
constexpr uint32_t kYesNo = 0x4;
constexpr uint32_t kIconError = 0x10;
constexpr uint32_t kIconWarning = 0x30;
constexpr uint32_t kIconInformation = 0x40;
constexpr uint32_t kDefaultButton2 = 0x100;
constexpr uint32_t kDefaultButton3 = 0x200;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
}  // namespace mb

// A box with buttons of the caller's own labels, shown whether or not a
// WindowSystem exists (the crash report uses it when the application may be
// broken). Returns the index of the button pressed, or -1 when no box can be
// shown: headless video drivers, no desktop, or the desktop refused.
int ShowButtonBox(std::string_view caption, std::string_view text, const std::vector<std::string>& labels);

class WindowSystem {
public:
    // Starts SDL's video; check Ready(). The instance is reachable through
    // Instance() until it is destroyed.
    WindowSystem();
    ~WindowSystem();
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;

    static WindowSystem* Instance();
    bool Ready() const { return ready_; }
    const std::string& LastError() const { return error_; }

    // Classes and windows. Positions are of the client area on the desktop:
    // the frame around it belongs to the desktop's window manager. Two are
    // of the outer corner instead: a window manager puts a new window's frame
    // where CreateWindow asks, and so GetPlacement gives the frame's corner,
    // which reopens a window exactly where it was.
    bool RegisterClass(const WindowClass& windowClass);
    WindowHandle CreateWindow(const WindowCreateParams& params);
    bool DestroyWindow(WindowHandle window);
    bool IsWindow(WindowHandle window) const;
    // The window the graphics device presents to; null for message targets.
    NativeWindow* GetNativeWindow(WindowHandle window) const;
    bool ShowWindow(WindowHandle window, ShowCommand command);
    bool IsVisible(WindowHandle window) const;
    bool IsMinimised(WindowHandle window) const;
    bool MoveWindow(WindowHandle window, const WindowRect& rect);
    bool GetWindowRect(WindowHandle window, WindowRect* rect) const;
    bool GetClientSize(WindowHandle window, int* width, int* height) const;
    bool GetPlacement(WindowHandle window, WindowPlacement* placement) const;
    bool SetTitle(WindowHandle window, std::wstring_view title);
    std::wstring GetTitle(WindowHandle window) const;
    bool SetFullScreen(WindowHandle window, bool fullScreen);
    bool IsFullScreen(WindowHandle window) const;
    void SetUserData(WindowHandle window, uintptr_t data);
    uintptr_t GetUserData(WindowHandle window) const;
    WindowHandle GetActiveWindow() const { return active_; }
    bool SetForegroundWindow(WindowHandle window);
    // The window whose client area holds the desktop point, when the pointer is in it.
    WindowHandle WindowFromPoint(int x, int y) const;
    bool ScreenToClient(WindowHandle window, int* x, int* y) const;
    bool ClientToScreen(WindowHandle window, int* x, int* y) const;
    // The outer rectangle for a client rectangle: the same, since frames are
    // drawn by the window manager outside it.
    static WindowRect AdjustWindowRect(const WindowRect& client, uint32_t style);

    // The primary display.
    void GetDesktopSize(int* width, int* height) const;
    // Whether the desktop's screen saver may start while this process shows
    // windows (SDL holds it off unless told otherwise).
    bool ScreenSaverAllowed() const;
    WindowRect GetWorkArea() const;

    // Messages.
    bool PeekMessage(Message* message, bool remove);
    // Waits for a message; false when it is the quit message.
    bool GetMessage(Message* message);
    LResult DispatchMessage(const Message& message);
    LResult SendMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
    bool PostMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
    void PostQuitMessage(int exitCode);
    // What a window procedure hands on for messages it does not handle.
    LResult DefWindowProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
    // The same name always gives the same number (letter case ignored).
    uint32_t RegisterWindowMessage(std::wstring_view name);
    // A broadcast of a registered message also goes to other processes. This
    // layer delivers within the process; `forwarder` (platform/system's
    // single-instance channel) carries it further, by name, and the receiving
    // side hands it to ReceiveBroadcast.
    using BroadcastForwarder = std::function<void(std::wstring_view name, WParam, LParam)>;
    void SetBroadcastForwarder(BroadcastForwarder forwarder);
    bool ReceiveBroadcast(std::wstring_view name, WParam wParam, LParam lParam);
    bool SetTimer(WindowHandle window, uint32_t id, uint32_t intervalMs);
    bool KillTimer(WindowHandle window, uint32_t id);
    void InvalidateWindow(WindowHandle window);
    // Ends a pending paint of the window; the default procedure does it for
    // windows that do not paint.
    void ValidateWindow(WindowHandle window);
    // Test hook: queues an SDL event as if the desktop had sent it.
    bool InjectEvent(const SDL_Event& event);
    // SDL's number for the window, for building injected events.
    uint32_t SdlWindowId(WindowHandle window) const;

    // Mouse and cursors.
    WindowHandle SetCapture(WindowHandle window);
    void ReleaseCapture();
    WindowHandle GetCapture() const { return capture_; }
    // Desktop coordinates of the pointer as last seen by this process.
    bool GetCursorPos(int* x, int* y) const;
    // Shared cursors: the same kind gives the same handle; never destroyed by callers.
    CursorHandle LoadSystemCursor(SystemCursor kind);
    CursorHandle CreateCursor(const CursorImage& image);
    bool DestroyCursor(CursorHandle cursor);
    // 0 shows no cursor. Returns the previous one.
    CursorHandle SetCursor(CursorHandle cursor);
    CursorHandle GetCursor() const { return cursor_; }
    // A display counter: the cursor shows while it is 0 or more. Returns it.
    int ShowCursor(bool show);
    bool IsCursorShown() const;
    // A custom cursor's pixels as the desktop gets them (straight alpha).
    bool GetCursorPixels(CursorHandle cursor, std::vector<uint32_t>* argb, int* hotX, int* hotY) const;

    // Clipboard text. False when the desktop refuses.
    bool SetClipboardText(std::wstring_view text);
    bool GetClipboardText(std::wstring* text) const;

    // A modal box owned by `owner`; returns the answer (mb::kIdOk...). Without
    // a desktop to show it on, the text goes to stderr and the default button
    // answers.
    int MessageBox(WindowHandle owner, std::wstring_view text, std::wstring_view caption, uint32_t style);

private:
    struct WindowRecord;
    struct CursorRecord;
    struct Timer {
        WindowHandle window;
        uint32_t id;
        uint32_t interval;
        uint64_t due;
    };

    WindowRecord* Find(WindowHandle window);
    const WindowRecord* Find(WindowHandle window) const;
    WindowHandle FromSdlId(uint32_t sdlId) const;
    void PumpSdlEvents();
    void Enqueue(const Message& message);
    void NoteDelivered(const Message& message);
    bool NextGenerated(Message* message, bool remove);
    void ApplyCursor();
    uint32_t Now() const;
    bool Fail(std::string reason);

    bool ready_ = false;
    std::string error_;
    uint64_t startTicks_ = 0;
    std::map<std::wstring, WindowClass> classes_;
    std::map<WindowHandle, std::unique_ptr<WindowRecord>> windows_;
    WindowHandle nextWindow_ = 1;
    WindowHandle active_ = kNoWindow;
    WindowHandle capture_ = kNoWindow;
    std::unique_ptr<EventTranslator> translator_;

    mutable std::mutex lock_;  // the queue, window positions and the pointer snapshot
    std::vector<Message> queue_;
    size_t queueHead_ = 0;
    bool quitPending_ = false;
    int quitCode_ = 0;
    int pointerScreenX_ = 0, pointerScreenY_ = 0;

    std::map<std::wstring, uint32_t> registered_;
    std::vector<std::wstring> registeredNames_;
    BroadcastForwarder forwarder_;
    std::vector<Timer> timers_;

    std::map<CursorHandle, std::unique_ptr<CursorRecord>> cursors_;
    std::map<SystemCursor, CursorHandle> systemCursors_;
    CursorHandle nextCursor_ = 1;
    CursorHandle cursor_ = 0;
    int cursorCount_ = 0;
};

}  // namespace plat
