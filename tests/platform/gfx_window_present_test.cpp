// Presenting to a window under SDL's dummy driver: the frame goes to the
// window's surface in one pass where that surface has the back buffer's size
// and bytes, and through the kept frame and SDL's blit where it has not. A
// headless device drawing the same frames keeps every frame in memory, the
// way every present once did: the reference for both the window's pixels and
// the frame read back.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gfx/gfx.h"
#include "tests/platform/window_surface_pixel.h"

namespace {

constexpr int kWindowW = 40, kWindowH = 30;

struct Pair {
    SDL_Window* window = nullptr;
    plat::GraphicsSystem* system = nullptr;
    plat::Device* shown = nullptr;      // presents to the window
    plat::Device* reference = nullptr;  // no window: every frame kept

    ~Pair() {
        if (shown) shown->Release();
        if (reference) reference->Release();
        if (system) system->Release();
        if (window) SDL_DestroyWindow(window);
    }

    // The same clear on both back buffers; no rectangle clears it all.
    void Fill(const plat::Rect* rect, uint32_t argb) {
        for (plat::Device* d : {shown, reference})
            ASSERT_EQ(plat::kOk, d->Clear(rect ? 1 : 0, rect, plat::kClearTarget, argb, 0, 0));
    }

    void Present(const std::string& step) {
        ASSERT_EQ(plat::kOk, shown->Present()) << step << ": " << shown->LastPresentError();
        ASSERT_EQ(plat::kOk, reference->Present()) << step;
    }

    // What the window shows and what the device reads back, both against the
    // reference's kept frame.
    void ExpectSame(const std::string& step) {
        const std::vector<uint32_t>& expected = reference->LastPresentedFrame();
        ASSERT_EQ(size_t(kWindowW * kWindowH), expected.size()) << step;
        EXPECT_EQ(expected, shown->LastPresentedFrame()) << step;
        SDL_Surface* surface = SDL_GetWindowSurface(window);
        ASSERT_NE(nullptr, surface) << step;
        ASSERT_EQ(kWindowW, surface->w) << step;
        int differing = 0;
        for (int y = 0; y < kWindowH; ++y)
            for (int x = 0; x < kWindowW; ++x)
                if (testsupport::WindowSurfacePixel(surface, x, y) !=
                        (expected[size_t(y * kWindowW + x)] & 0xFFFFFFu) &&
                    ++differing <= 3)
                    ADD_FAILURE() << step << ": window pixel " << x << "," << y << " differs";
        EXPECT_EQ(0, differing) << step;
    }
};

class WindowPresentTest : public ::testing::TestWithParam<plat::Format> {
protected:
    void SetUp() override {
        if (SDL_VideoInit("dummy") != 0) GTEST_SKIP() << "dummy video driver unavailable: " << SDL_GetError();
        pair_.window = SDL_CreateWindow("present", 0, 0, kWindowW, kWindowH, 0);
        ASSERT_NE(nullptr, pair_.window) << SDL_GetError();
        pair_.system = plat::GraphicsSystem::Create(plat::DefaultGraphicsConfig());
        for (SDL_Window* window : {pair_.window, static_cast<SDL_Window*>(nullptr)}) {
            plat::PresentParams pp;
            pp.backBufferWidth = kWindowW;
            pp.backBufferHeight = kWindowH;
            pp.backBufferFormat = GetParam();
            pp.window = window;
            ASSERT_EQ(plat::kOk, pair_.system->CreateDevice(0, window, plat::kCreateHardwareVertexProcessing, &pp,
                                                            window ? &pair_.shown : &pair_.reference));
        }
    }
    void TearDown() override { SDL_VideoQuit(); }

    Pair pair_;
};

// Frames that change the whole back buffer, some rows, nothing, and a window
// resized away and back, whose fresh surface must show the whole frame
// again though no row of it changed.
TEST_P(WindowPresentTest, TheWindowShowsEachFrameAsTheKeptFrameHoldsIt) {
    Pair& p = pair_;
    p.Fill(nullptr, 0xFF204060u);
    const plat::Rect box{5, 4, 17, 9};
    p.Fill(&box, 0xFFC08020u);
    p.Present("first frame");
    p.ExpectSame("first frame");

    const plat::Rect band{0, 12, kWindowW, 19};
    p.Fill(&band, 0xFF10E0A0u);
    p.Present("some rows");
    p.ExpectSame("some rows");

    p.Present("nothing drawn");
    p.ExpectSame("nothing drawn");

    SDL_SetWindowSize(p.window, kWindowW * 2, kWindowH * 2);
    const plat::Rect corner{30, 25, 40, 30};
    p.Fill(&corner, 0xFFFFFFFFu);
    ASSERT_EQ(plat::kOk, p.shown->Present()) << "scaled: " << p.shown->LastPresentError();
    ASSERT_EQ(plat::kOk, p.reference->Present());
    EXPECT_EQ(p.reference->LastPresentedFrame(), p.shown->LastPresentedFrame()) << "scaled";

    SDL_SetWindowSize(p.window, kWindowW, kWindowH);
    p.Present("back to size, nothing drawn");
    p.ExpectSame("back to size, nothing drawn");

    p.Fill(&box, 0xFF000000u);
    p.Present("after the resize");
    p.ExpectSame("after the resize");
}

// A frame shown straight from a render target of the back buffer's size
// shows what copying it into the back buffer first shows, on the window and
// read back; presenting the back buffer again shows all of it, though it
// changed nowhere since it was last shown. The reference copies, so its
// back buffer then holds the target's frame.
TEST_P(WindowPresentTest, AFrameShownFromARenderTargetShowsAsItsCopyWould) {
    Pair& p = pair_;
    plat::Surface* targets[2] = {};
    for (int i = 0; i < 2; ++i) {
        plat::Device* d = i == 0 ? p.shown : p.reference;
        ASSERT_EQ(plat::kOk, d->CreateRenderTarget(kWindowW, kWindowH, plat::Format::A8R8G8B8, false, &targets[i]));
    }
    auto fillTarget = [&](const plat::Rect* rect, uint32_t argb) {
        ASSERT_EQ(plat::kOk, p.shown->ColorFill(targets[0], rect, argb));
        ASSERT_EQ(plat::kOk, p.reference->ColorFill(targets[1], rect, argb));
    };
    auto presentTarget = [&](const std::string& step) {
        ASSERT_TRUE(p.shown->CanPresentFrom(*targets[0])) << step;
        ASSERT_EQ(plat::kOk, p.shown->Present(targets[0])) << step << ": " << p.shown->LastPresentError();
        plat::Surface* back = nullptr;
        ASSERT_EQ(plat::kOk, p.reference->GetBackBuffer(0, 0, &back));
        ASSERT_EQ(plat::kOk, p.reference->StretchRect(targets[1], nullptr, back, nullptr, plat::TextureFilter::Point));
        back->Release();
        ASSERT_EQ(plat::kOk, p.reference->Present()) << step;
        p.ExpectSame(step);
    };
    p.Fill(nullptr, 0xFF102030u);
    p.Present("the back buffer");
    p.ExpectSame("the back buffer");
    const std::vector<uint32_t> backBufferFrame = p.shown->LastPresentedFrame();

    fillTarget(nullptr, 0x80FF8040u);  // alpha the back buffer may not keep
    const plat::Rect box{3, 2, 11, 27};
    fillTarget(&box, 0xFF20A0E0u);
    presentTarget("from the target");
    const plat::Rect band{0, 20, kWindowW, 24};
    fillTarget(&band, 0xFFFFFFFFu);
    presentTarget("some rows of the target");
    presentTarget("nothing drawn on the target");

    ASSERT_EQ(plat::kOk, p.shown->Present());
    EXPECT_EQ(backBufferFrame, p.shown->LastPresentedFrame()) << "the back buffer again, unchanged";
    for (plat::Surface* t : targets) t->Release();
}

INSTANTIATE_TEST_SUITE_P(BackBufferFormats, WindowPresentTest,
                         ::testing::Values(plat::Format::X8R8G8B8, plat::Format::R5G6B5));

}  // namespace
