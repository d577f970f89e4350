// A real window on an X display (run under Xvfb): the graphics device
// presents into it, and it reopens where it was. Skipped where no display
// exists. Built apart from the suite's unity batches, which the X headers'
// macros would reach.

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/gfx/gfx.h"
#include "tests/platform/window_surface_pixel.h"
#include "window_test_support.h"
#include "x11_child.h"

// Last: the X headers' macros (None, Status, True) would break the project's.
#include <SDL_syswm.h>

using namespace testsupport;

namespace {

// Points SDL at the X display for one test and puts the old choice back.
class X11Driver {
public:
    X11Driver() {
        if (const char* old = std::getenv("SDL_VIDEODRIVER")) saved_ = old, hadOld_ = true;
        setenv("SDL_VIDEODRIVER", "x11", 1);
    }
    ~X11Driver() {
        if (hadOld_)
            setenv("SDL_VIDEODRIVER", saved_.c_str(), 1);
        else
            unsetenv("SDL_VIDEODRIVER");
    }

private:
    std::string saved_;
    bool hadOld_ = false;
};

// A visible window with a caption, as the game opens its own.
plat::WindowHandle OpenWindow(plat::WindowSystem& system, const plat::WindowRect& client) {
    plat::WindowClass cls;
    cls.name = L"MainWindow";
    cls.procedure = [&system](plat::WindowHandle w, uint32_t m, plat::WParam wp, plat::LParam lp) {
        return system.DefWindowProc(w, m, wp, lp);
    };
    system.RegisterClass(cls);
    plat::WindowCreateParams p;
    p.className = L"MainWindow";
    p.title = L"Halvaro \u00e9";
    p.style = plat::kStylePopup | plat::kStyleCaption | plat::kStyleVisible;
    p.x = client.x;
    p.y = client.y;
    p.width = client.width;
    p.height = client.height;
    return system.CreateWindow(p);
}

void PresentIntoARealWindow() {
    plat::WindowSystem system;
    if (!system.Ready()) GTEST_SKIP() << "x11 video unavailable: " << system.LastError();
    plat::WindowHandle w = OpenWindow(system, {10, 10, 40, 30});
    ASSERT_NE(plat::kNoWindow, w) << system.LastError();
    plat::NativeWindow* native = system.GetNativeWindow(w);
    ASSERT_NE(nullptr, native);
    plat::Message m;
    while (system.PeekMessage(&m, true)) system.DispatchMessage(m);

    plat::GraphicsSystem* gfx = plat::GraphicsSystem::Create(plat::DefaultGraphicsConfig());
    plat::PresentParams pp;
    pp.window = native;
    plat::Device* dev = nullptr;
    ASSERT_EQ(plat::kOk, gfx->CreateDevice(0, native, plat::kCreateHardwareVertexProcessing, &pp, &dev));
    int cw = 0, ch = 0;
    ASSERT_TRUE(system.GetClientSize(w, &cw, &ch));
    EXPECT_EQ(static_cast<uint32_t>(cw), pp.backBufferWidth);
    EXPECT_EQ(static_cast<uint32_t>(ch), pp.backBufferHeight);
    dev->Clear(0, nullptr, plat::kClearTarget, 0xFF204060u, 0, 0);
    plat::Rect left{0, 0, cw / 2, ch};
    dev->Clear(1, &left, plat::kClearTarget, 0xFFA0C0E0u, 0, 0);
    ASSERT_EQ(plat::kOk, dev->Present()) << dev->LastPresentError();

    SDL_Surface* shown = SDL_GetWindowSurface(native);
    ASSERT_NE(nullptr, shown);
    auto pixel = [&](int x, int y) { return WindowSurfacePixel(shown, x, y); };
    EXPECT_EQ(0xA0C0E0u, pixel(1, 1));
    EXPECT_EQ(0x204060u, pixel(cw - 2, ch - 2));

    // The frame went to the window without a 3D driver, whose start on a
    // desktop without 3D hardware held back the first frame for seconds.
    std::ifstream maps("/proc/self/maps");
    const std::string mapped((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::string::npos, mapped.find("libGLX_mesa")) << "a 3D driver was loaded to present";

    // A cursor made from pixels is a real desktop cursor here.
    std::vector<uint32_t> arrow(16 * 16, 0xFF000000u);
    plat::CursorHandle c = system.CreateCursor({arrow.data(), 16, 16, 0, 0, false});
    ASSERT_NE(0u, c);
    system.SetCursor(c);
    EXPECT_NE(nullptr, SDL_GetCursor());

    dev->Release();
    gfx->Release();
}

// A window manager puts a new window's frame where the window asks to be and
// its client area inside. The bare display has none: the test does its part,
// framing the window and moving the client area in, as the desktop would.
void ReopenAtASavedPlacement() {
    plat::WindowSystem system;
    if (!system.Ready()) GTEST_SKIP() << "x11 video unavailable: " << system.LastError();
    const plat::WindowRect saved{120, 90, 206, 175};
    const plat::FrameInsets frame{3, 22, 3, 3};
    const plat::WindowHandle w = OpenWindow(system, {saved.x, saved.y, 200, 150});
    ASSERT_NE(plat::kNoWindow, w) << system.LastError();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(system.GetNativeWindow(w), &info)) << SDL_GetError();
    Display* display = info.info.x11.display;
    const long extents[4] = {frame.left, frame.right, frame.top, frame.bottom};
    XChangeProperty(display, info.info.x11.window, XInternAtom(display, "_NET_FRAME_EXTENTS", False),
                    XInternAtom(display, "CARDINAL", False), 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(extents), 4);
    XMoveWindow(display, info.info.x11.window, saved.x + frame.left, saved.y + frame.top);
    XSync(display, False);
    plat::WindowRect client;
    plat::Message m;
    for (int wait = 0; wait < 200 && system.GetWindowRect(w, &client) && client.x != saved.x + frame.left; ++wait) {
        while (system.PeekMessage(&m, true)) system.DispatchMessage(m);
        SDL_Delay(10);
    }
    plat::WindowPlacement placement;
    ASSERT_TRUE(system.GetPlacement(w, &placement));
    EXPECT_EQ(saved, placement.normal) << "placed at " << placement.normal.x << "," << placement.normal.y << ", "
                                       << placement.normal.width << "x" << placement.normal.height;
}

TEST(WindowX11Test, AWindowReopenedAtItsSavedPlacementStaysWhereItWas) {
    RunOnX11InChild([] {
        X11Driver driver;
        ReopenAtASavedPlacement();
    });
}

TEST(WindowX11Test, DevicePresentsAFrameIntoARealWindow) {
    RunOnX11InChild([] {
        X11Driver driver;
        PresentIntoARealWindow();
    });
}

}  // namespace
