// Present to a real X11 window (run under Xvfb); skipped where no display exists.
#include <SDL.h>

#include "gfx_test_util.h"
#include "tests/platform/window_surface_pixel.h"
#include "x11_child.h"

// SDL's video brings up D-Bus, which keeps one buffer until process exit;
// that is the system library's, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

namespace {

using namespace testsupport;

// In a child, as its neighbours: a video system started and quit in the test
// program leaves the X libraries' threads behind, and a later child that
// starts video again crashed or hung in them.
void PresentIntoAnX11Window() {
    if (SDL_VideoInit("x11") != 0) GTEST_SKIP() << "x11 video driver unavailable: " << SDL_GetError();
    SDL_Window* win = SDL_CreateWindow("gfx", 0, 0, 32, 24, 0);
    ASSERT_NE(nullptr, win) << SDL_GetError();
    plat::GraphicsSystem* sys = plat::GraphicsSystem::Create(plat::DefaultGraphicsConfig());
    plat::PresentParams pp;
    pp.window = win;
    plat::Device* dev = nullptr;
    ASSERT_EQ(plat::kOk, sys->CreateDevice(0, win, plat::kCreateHardwareVertexProcessing, &pp, &dev));
    EXPECT_EQ(32u, pp.backBufferWidth);
    dev->Clear(0, nullptr, plat::kClearTarget, 0xFF3366CCu, 0, 0);
    plat::Rect half{0, 0, 16, 24};
    dev->Clear(1, &half, plat::kClearTarget, 0xFFCC6633u, 0, 0);
    ASSERT_EQ(plat::kOk, dev->Present()) << dev->LastPresentError();
    SDL_Surface* shown = SDL_GetWindowSurface(win);
    ASSERT_NE(nullptr, shown);
    auto pixel = [&](int x, int y) { return WindowSurfacePixel(shown, x, y); };
    EXPECT_EQ(0xCC6633u, pixel(3, 3));
    EXPECT_EQ(0x3366CCu, pixel(20, 10));
    dev->Release();
    sys->Release();
    SDL_DestroyWindow(win);
    SDL_Quit();
}

TEST(GfxWindowTest, PresentShowsTheBackBufferInAnX11Window) { RunOnX11InChild(PresentIntoAnX11Window); }

}  // namespace
