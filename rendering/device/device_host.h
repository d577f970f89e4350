#pragma once
// What the device wrapper asks of the application: the screen size it draws
// at, the window's state, the display settings it reports back, the registry
// value where device failures are recorded, the widget manager's screen
// layout and the window system's cursors.
//
// The application object derives from DeviceHost; its constructor installs it
// as the one process-wide instance and its destructor removes it. Tests
// install a double the same way. D3DInterface keeps the host it was built
// with; it must outlive the device wrapper.
// Threads: everything is called on the main thread, with the device lock held.

#include <cstdint>
#include <string_view>

#include "foundation/values/rect.h"
#include "platform/gfx/graphics_system.h"

class DeviceHost {
public:
    // A cursor made by the window system; 0 means none.
    using CursorHandle = uintptr_t;

    DeviceHost();
    virtual ~DeviceHost();
    DeviceHost(const DeviceHost&) = delete;
    DeviceHost& operator=(const DeviceHost&) = delete;

    // The installed instance, or null.
    static DeviceHost* Installed();

    // The size the application draws at; the draw buffers get this size.
    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;

    // Set while the display's refresh rate is unknown or had to be clamped;
    // the full-screen mode search then accepts every refresh rate.
    virtual bool RefreshRateFallback() const = 0;
    virtual void SetRefreshRateFallback(bool fallback) = 0;

    // Hidden: the application is not showing (full screen presents nothing).
    // Minimised: the window is minimised (nothing is drawn into the frame).
    virtual bool IsHidden() const = 0;
    virtual bool IsMinimised() const = 0;

    // Stores a string value under the application's registry key.
    virtual void WriteAppRegistryString(std::string_view valueName, std::string_view text) = 0;

    // The client-area size of the window; false when it cannot be read.
    virtual bool GetClientSize(plat::NativeWindow* window, int* width, int* height) = 0;
    // The primary screen's size.
    virtual void GetDesktopSize(int* width, int* height) = 0;

    // The widget manager maps mouse coordinates between the window (the
    // presentation rectangle) and the screen (the source rectangle).
    virtual void SetScreenLayout(const Rect& source, const Rect& presentation) = 0;

    // Cursors. The hot spot of a custom cursor image comes from the
    // configuration's cursor table, looked up by the image's name.
    virtual bool FindCursorHotspot(std::wstring_view imageName, int* x, int* y) = 0;
    // `argb` holds width x height premultiplied pixels, top row first.
    virtual CursorHandle CreateCursor(const uint32_t* argb, int width, int height, int hotX, int hotY) = 0;
    virtual void SetCursor(CursorHandle cursor) = 0;
    virtual void DestroyCursor(CursorHandle cursor) = 0;
};
