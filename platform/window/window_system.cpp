// Window classes and windows: creation, showing, moving, titles, full screen
// and the desktop's size.
#include <algorithm>
#include <cstring>

#include "platform/window/event_translate_internal.h"
#include "platform/window/wide_text_internal.h"
#include "platform/window/window_internal.h"

namespace plat {
namespace {

WindowSystem* gInstance = nullptr;

// Tells the queue about a change the headless desktop will never report.
void Synthesize(SDL_Window* window, SDL_WindowEventID event) {
    if (!window || !HeadlessVideo()) return;
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = event;
    e.window.windowID = SDL_GetWindowID(window);
    SDL_PushEvent(&e);
}

}  // namespace

bool HeadlessVideo() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return !driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0;
}

WindowSystem::WindowSystem() : translator_(std::make_unique<EventTranslator>()) {
    gInstance = this;
    // Closing the last window is the window's own close message, which the
    // application may answer as it likes; SDL's quit event stays for
    // requests from outside (signals), which end the session.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Frames are drawn in software and copied to the window as they are. Left
    // to itself, SDL would copy them through a 3D driver's texture: on a
    // desktop without 3D hardware that driver's start (its libraries and its
    // shaders, compiled afresh on a first start) kept the screen black for
    // seconds before the first frame, and every frame paid an upload.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        Fail(std::string("cannot start the video system: ") + SDL_GetError());
        return;
    }
    ready_ = true;
    startTicks_ = SDL_GetTicks64();
    cursor_ = LoadSystemCursor(SystemCursor::Arrow);
}

WindowSystem::~WindowSystem() {
    while (!windows_.empty()) DestroyWindow(windows_.begin()->first);
    cursors_.clear();
    if (ready_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (gInstance == this) gInstance = nullptr;
}

WindowSystem* WindowSystem::Instance() { return gInstance; }

bool WindowSystem::Fail(std::string reason) {
    error_ = std::move(reason);
    return false;
}

uint32_t WindowSystem::Now() const { return static_cast<uint32_t>(SDL_GetTicks64() - startTicks_); }

WindowSystem::WindowRecord* WindowSystem::Find(WindowHandle window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.get();
}

const WindowSystem::WindowRecord* WindowSystem::Find(WindowHandle window) const {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.get();
}

WindowHandle WindowSystem::FromSdlId(uint32_t sdlId) const {
    if (sdlId == 0) return active_;
    for (const auto& [handle, rec] : windows_)
        if (rec->sdl && SDL_GetWindowID(rec->sdl) == sdlId) return handle;
    return kNoWindow;
}

bool WindowSystem::RegisterClass(const WindowClass& windowClass) {
    if (windowClass.name.empty() || !windowClass.procedure) return Fail("a window class needs a name and a procedure");
    if (classes_.count(windowClass.name))
        return Fail("window class already registered: " + WideToUtf8(windowClass.name));
    classes_.emplace(windowClass.name, windowClass);
    return true;
}

WindowHandle WindowSystem::CreateWindow(const WindowCreateParams& params) {
    auto cls = classes_.find(params.className);
    if (cls == classes_.end()) {
        Fail("no window class named " + WideToUtf8(params.className));
        return kNoWindow;
    }
    auto rec = std::make_unique<WindowRecord>();
    rec->className = params.className;
    rec->classStyle = cls->second.style;
    rec->procedure = cls->second.procedure;
    rec->title = params.title;
    rec->style = params.style;
    rec->rect = WindowRect{params.x, params.y, std::max(params.width, 0), std::max(params.height, 0)};
    rec->visible = (params.style & kStyleVisible) != 0;
    rec->fullScreen = params.fullScreen;
    if (params.width > 0 && params.height > 0) {
        if (!ready_) {
            Fail("no video system: " + error_);
            return kNoWindow;
        }
        uint32_t flags = rec->visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
        if (!(params.style & kStyleCaption)) flags |= SDL_WINDOW_BORDERLESS;
        if (params.style & kStyleThickFrame) flags |= SDL_WINDOW_RESIZABLE;
        if (params.exStyle & kStyleExTopmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
        // SDL picks the display mode closest to the window's size.
        if (params.fullScreen) flags |= SDL_WINDOW_FULLSCREEN;
        rec->sdl =
            SDL_CreateWindow(WideToUtf8(params.title).c_str(), params.x, params.y, params.width, params.height, flags);
        if (!rec->sdl) {
            Fail(std::string("cannot create a window: ") + SDL_GetError());
            return kNoWindow;
        }
        SDL_GetWindowPosition(rec->sdl, &rec->rect.x, &rec->rect.y);
    }
    rec->normal = rec->rect;
    const WindowHandle handle = nextWindow_++;
    SDL_Window* sdl = rec->sdl;
    const bool visible = rec->visible;
    {
        std::lock_guard<std::mutex> hold(lock_);
        windows_.emplace(handle, std::move(rec));
    }
    if (visible) Synthesize(sdl, SDL_WINDOWEVENT_FOCUS_GAINED);
    return handle;
}

bool WindowSystem::DestroyWindow(WindowHandle window) {
    if (!Find(window)) return false;
    SendMessage(window, msg::kDestroy, 0, 0);
    WindowRecord* rec = Find(window);
    if (!rec) return true;  // the procedure destroyed it itself
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == window; }),
                  timers_.end());
    if (capture_ == window) ReleaseCapture();
    if (active_ == window) active_ = kNoWindow;
    translator_->Forget(window);
    std::unique_ptr<WindowRecord> gone;
    {
        std::lock_guard<std::mutex> hold(lock_);
        // Messages for a window that is gone have nobody to go to.
        auto first = queue_.begin() + static_cast<std::ptrdiff_t>(queueHead_);
        queue_.erase(std::remove_if(first, queue_.end(), [&](const Message& m) { return m.window == window; }),
                     queue_.end());
        auto it = windows_.find(window);
        gone = std::move(it->second);
        windows_.erase(it);
    }
    if (gone->sdl) SDL_DestroyWindow(gone->sdl);
    return true;
}

bool WindowSystem::IsWindow(WindowHandle window) const { return Find(window) != nullptr; }

NativeWindow* WindowSystem::GetNativeWindow(WindowHandle window) const {
    const WindowRecord* rec = Find(window);
    return rec ? rec->sdl : nullptr;
}

uint32_t WindowSystem::SdlWindowId(WindowHandle window) const {
    const WindowRecord* rec = Find(window);
    return rec && rec->sdl ? SDL_GetWindowID(rec->sdl) : 0;
}

bool WindowSystem::ShowWindow(WindowHandle window, ShowCommand command) {
    WindowRecord* rec = Find(window);
    if (!rec) return false;
    SDL_Window* sdl = rec->sdl;
    const bool wasActive = active_ == window;
    switch (command) {
        case ShowCommand::Hide:
            rec->visible = false;
            if (sdl) SDL_HideWindow(sdl);
            if (wasActive) Synthesize(sdl, SDL_WINDOWEVENT_FOCUS_LOST);
            break;
        case ShowCommand::Show:
        case ShowCommand::ShowNormal:
        case ShowCommand::ShowNoActivate:
        case ShowCommand::Restore:
            rec->visible = true;
            if (sdl) SDL_ShowWindow(sdl);
            if (command != ShowCommand::Show && command != ShowCommand::ShowNoActivate &&
                (rec->minimised || rec->maximised)) {
                if (sdl) SDL_RestoreWindow(sdl);
                rec->minimised = rec->maximised = false;
                Synthesize(sdl, SDL_WINDOWEVENT_RESTORED);
            }
            if (command != ShowCommand::ShowNoActivate) {
                if (sdl) SDL_RaiseWindow(sdl);
                if (!wasActive) Synthesize(sdl, SDL_WINDOWEVENT_FOCUS_GAINED);
            }
            break;
        case ShowCommand::Minimize:
            rec->visible = true;
            if (sdl) SDL_MinimizeWindow(sdl);
            rec->minimised = true;
            Synthesize(sdl, SDL_WINDOWEVENT_MINIMIZED);
            if (wasActive) Synthesize(sdl, SDL_WINDOWEVENT_FOCUS_LOST);
            break;
        case ShowCommand::Maximize:
            rec->visible = true;
            if (sdl) {
                SDL_ShowWindow(sdl);
                SDL_MaximizeWindow(sdl);
            }
            rec->minimised = false;
            rec->maximised = true;
            Synthesize(sdl, SDL_WINDOWEVENT_MAXIMIZED);
            if (!wasActive) Synthesize(sdl, SDL_WINDOWEVENT_FOCUS_GAINED);
            break;
    }
    return true;
}

bool WindowSystem::IsVisible(WindowHandle window) const {
    const WindowRecord* rec = Find(window);
    return rec && rec->visible;
}

bool WindowSystem::IsMinimised(WindowHandle window) const {
    const WindowRecord* rec = Find(window);
    return rec && rec->minimised;
}

bool WindowSystem::MoveWindow(WindowHandle window, const WindowRect& rect) {
    WindowRecord* rec = Find(window);
    if (!rec || rect.width < 0 || rect.height < 0) return false;
    if (rec->sdl) {
        SDL_SetWindowPosition(rec->sdl, rect.x, rect.y);
        if (rect.width > 0 && rect.height > 0) SDL_SetWindowSize(rec->sdl, rect.width, rect.height);
    }
    std::lock_guard<std::mutex> hold(lock_);
    rec->rect = rect;
    if (!rec->minimised && !rec->maximised) rec->normal = rect;
    return true;
}

bool WindowSystem::GetWindowRect(WindowHandle window, WindowRect* rect) const {
    std::lock_guard<std::mutex> hold(lock_);
    const WindowRecord* rec = Find(window);
    if (!rec || !rect) return false;
    *rect = rec->rect;
    return true;
}

bool WindowSystem::GetClientSize(WindowHandle window, int* width, int* height) const {
    const WindowRecord* rec = Find(window);
    if (!rec || !width || !height) return false;
    if (rec->sdl) {
        SDL_GetWindowSize(rec->sdl, width, height);
    } else {
        *width = rec->rect.width;
        *height = rec->rect.height;
    }
    return true;
}

bool WindowSystem::GetPlacement(WindowHandle window, WindowPlacement* placement) const {
    const WindowRecord* rec = Find(window);
    if (!rec || !placement) return false;
    placement->show = !rec->visible    ? ShowCommand::Hide
                      : rec->minimised ? ShowCommand::Minimize
                      : rec->maximised ? ShowCommand::Maximize
                                       : ShowCommand::ShowNormal;
    FrameInsets frame;
    if (rec->sdl && SDL_GetWindowBordersSize(rec->sdl, &frame.top, &frame.left, &frame.bottom, &frame.right) != 0)
        frame = {};
    std::lock_guard<std::mutex> hold(lock_);
    placement->normal = OuterRect(rec->normal, frame);
    return true;
}

bool WindowSystem::SetTitle(WindowHandle window, std::wstring_view title) {
    WindowRecord* rec = Find(window);
    if (!rec) return false;
    rec->title = std::wstring(title);
    if (rec->sdl) SDL_SetWindowTitle(rec->sdl, WideToUtf8(title).c_str());
    return true;
}

std::wstring WindowSystem::GetTitle(WindowHandle window) const {
    const WindowRecord* rec = Find(window);
    return rec ? rec->title : std::wstring();
}

bool WindowSystem::SetFullScreen(WindowHandle window, bool fullScreen) {
    WindowRecord* rec = Find(window);
    if (!rec || !rec->sdl) return false;
    if (SDL_SetWindowFullscreen(rec->sdl, fullScreen ? SDL_WINDOW_FULLSCREEN : 0) != 0)
        return Fail(std::string("cannot change to ") + (fullScreen ? "full screen: " : "a window: ") + SDL_GetError());
    rec->fullScreen = fullScreen;
    return true;
}

bool WindowSystem::IsFullScreen(WindowHandle window) const {
    const WindowRecord* rec = Find(window);
    return rec && rec->fullScreen;
}

void WindowSystem::SetUserData(WindowHandle window, uintptr_t data) {
    if (WindowRecord* rec = Find(window)) rec->userData = data;
}

uintptr_t WindowSystem::GetUserData(WindowHandle window) const {
    const WindowRecord* rec = Find(window);
    return rec ? rec->userData : 0;
}

bool WindowSystem::SetForegroundWindow(WindowHandle window) {
    WindowRecord* rec = Find(window);
    if (!rec) return false;
    if (rec->sdl) SDL_RaiseWindow(rec->sdl);
    if (active_ != window) Synthesize(rec->sdl, SDL_WINDOWEVENT_FOCUS_GAINED);
    return true;
}

WindowHandle WindowSystem::WindowFromPoint(int x, int y) const {
    const WindowHandle under = translator_->PointerWindow();
    WindowRect r;
    if (!under || !GetWindowRect(under, &r)) return kNoWindow;
    return x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height ? under : kNoWindow;
}

bool WindowSystem::ScreenToClient(WindowHandle window, int* x, int* y) const {
    std::lock_guard<std::mutex> hold(lock_);
    const WindowRecord* rec = Find(window);
    if (!rec || !x || !y) return false;
    *x -= rec->rect.x;
    *y -= rec->rect.y;
    return true;
}

bool WindowSystem::ClientToScreen(WindowHandle window, int* x, int* y) const {
    std::lock_guard<std::mutex> hold(lock_);
    const WindowRecord* rec = Find(window);
    if (!rec || !x || !y) return false;
    *x += rec->rect.x;
    *y += rec->rect.y;
    return true;
}

WindowRect OuterRect(const WindowRect& client, const FrameInsets& frame) {
    return {client.x - frame.left, client.y - frame.top, client.width + frame.left + frame.right,
            client.height + frame.top + frame.bottom};
}

WindowRect WindowSystem::AdjustWindowRect(const WindowRect& client, uint32_t) { return client; }

void WindowSystem::GetDesktopSize(int* width, int* height) const {
    SDL_DisplayMode mode{};
    // The same answer the graphics adapters give when no display can be read.
    if (!ready_ || SDL_GetDesktopDisplayMode(0, &mode) != 0) mode.w = 1024, mode.h = 768;
    if (width) *width = mode.w;
    if (height) *height = mode.h;
}

bool WindowSystem::ScreenSaverAllowed() const { return ready_ && SDL_IsScreenSaverEnabled() == SDL_TRUE; }

WindowRect WindowSystem::GetWorkArea() const {
    SDL_Rect r{};
    if (ready_ && SDL_GetDisplayUsableBounds(0, &r) == 0 && r.w > 0 && r.h > 0) return {r.x, r.y, r.w, r.h};
    WindowRect desktop;
    GetDesktopSize(&desktop.width, &desktop.height);
    return desktop;
}

}  // namespace plat
