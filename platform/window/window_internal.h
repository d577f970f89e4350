#pragma once
// What the window system keeps per window and per cursor.

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/window/window.h"

namespace plat {

struct WindowSystem::WindowRecord {
    std::wstring className;
    uint32_t classStyle = 0;
    WindowProc procedure;
    SDL_Window* sdl = nullptr;  // null for a window of no size
    std::wstring title;
    uint32_t style = 0;
    WindowRect rect;    // client area on the desktop; guarded by lock_ for other threads
    WindowRect normal;  // the rectangle while neither minimised nor maximised
    bool visible = false, minimised = false, maximised = false, fullScreen = false;
    bool needsPaint = false;
    uintptr_t userData = 0;
};

struct WindowSystem::CursorRecord {
    SDL_Cursor* sdl = nullptr;  // null where the desktop has no cursors (headless)
    bool shared = false;
    std::vector<uint32_t> argb;  // straight alpha
    int width = 0, height = 0, hotX = 0, hotY = 0;
    CursorRecord() = default;
    CursorRecord(const CursorRecord&) = delete;
    CursorRecord& operator=(const CursorRecord&) = delete;
    ~CursorRecord() {
        if (sdl) SDL_FreeCursor(sdl);
    }
};

// True when no desktop shows anything (SDL's dummy and offscreen drivers):
// nothing on screen can take focus or be minimised by a user, so the window
// system reports those changes itself.
bool HeadlessVideo();
// Whether a desktop could show a box at all, judged without starting SDL's
// video when no window system has started it.
bool DesktopCanShowBoxes();

}  // namespace plat
