#pragma once
// What rendering asks of the application: the screen size it draws at (the
// widget tree asks the same question here), the window's state, the display
// settings the device reports back, the registry value where device failures
// are recorded, the widget manager's screen layout and the window system's
// cursors.
//
// Reached through Service<DeviceHost> (foundation/system/service.h): the
// application installs its implementation; while nothing is installed
// NullDeviceHost answers (no screen, no window, nothing stored, no cursors).
// Tests derive their doubles from NullDeviceHost. D3DInterface keeps the
// host it was built with (by default the installed one), which must outlive
// the device wrapper; without one its Init fails.
// Threads: the device calls everything on the main thread, with the device
// lock held; the screen size is read on the main thread.

#include <cstdint>
#include <string_view>

#include "foundation/system/service.h"
#include "foundation/values/rect.h"
#include "platform/gfx/graphics_system.h"

class DeviceHost {
public:
    // A cursor made by the window system; 0 means none.
    using CursorHandle = uintptr_t;

    DeviceHost() = default;
    virtual ~DeviceHost() = default;
    DeviceHost(const DeviceHost&) = delete;
    DeviceHost& operator=(const DeviceHost&) = delete;

    // What answers while nothing is installed: a NullDeviceHost.
    static DeviceHost& Fallback();

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

    // Window-system cursors. The hot spot of a custom cursor image comes from
    // the configuration's cursor table, looked up by the image's name.
    virtual bool FindCursorHotspot(std::wstring_view imageName, int* x, int* y) = 0;
    // `argb` holds width x height premultiplied pixels, top row first.
    virtual CursorHandle CreateCursor(const uint32_t* argb, int width, int height, int hotX, int hotY) = 0;
    // Makes the window show this cursor (0: none).
    virtual void SetWindowCursor(CursorHandle cursor) = 0;
    virtual void DestroyCursor(CursorHandle cursor) = 0;
};

// No application: a screen of 0 x 0, no window and no desktop (sizes 0),
// never hidden or minimised, nothing stored, no cursor hot spots, and no
// cursors made or shown.
class NullDeviceHost : public DeviceHost {
public:
    int ScreenWidth() const override { return 0; }
    int ScreenHeight() const override { return 0; }
    bool RefreshRateFallback() const override { return false; }
    void SetRefreshRateFallback(bool) override {}
    bool IsHidden() const override { return false; }
    bool IsMinimised() const override { return false; }
    void WriteAppRegistryString(std::string_view, std::string_view) override {}
    bool GetClientSize(plat::NativeWindow*, int*, int*) override { return false; }
    void GetDesktopSize(int* width, int* height) override;
    void SetScreenLayout(const Rect&, const Rect&) override {}
    bool FindCursorHotspot(std::wstring_view, int*, int*) override { return false; }
    CursorHandle CreateCursor(const uint32_t*, int, int, int, int) override { return 0; }
    void SetWindowCursor(CursorHandle) override {}
    void DestroyCursor(CursorHandle) override {}
};
