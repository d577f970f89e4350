// The message pump under SDL's dummy driver, driven by injected events.
#include <thread>

#include "window_test_support.h"

namespace {

using namespace testsupport;
using plat::Message;
namespace msg = plat::msg;

using PumpTest = WindowFixture;

TEST_F(PumpTest, InputAndPostedMessagesArriveInOrderBeforePaintAndTimers) {
    plat::WindowHandle w = MakeWindow();
    const uint32_t id = system_.SdlWindowId(w);
    ASSERT_NE(0u, id);
    Drain();
    system_.InvalidateWindow(w);
    ASSERT_TRUE(system_.SetTimer(w, 100, 1));
    SDL_Delay(3);
    ASSERT_TRUE(system_.InjectEvent(KeyEvent(SDL_KEYDOWN, SDLK_a, KMOD_NONE, 0, id)));
    ASSERT_TRUE(system_.InjectEvent(TextEvent("a", id)));
    Message m;
    ASSERT_TRUE(system_.PeekMessage(&m, true));  // pumps the two events into the queue
    EXPECT_EQ(msg::kKeyDown, m.id);
    ASSERT_TRUE(system_.PostMessage(w, 0x400, 11, 22));
    ASSERT_TRUE(system_.InjectEvent(MotionEvent(3, 4, id)));
    std::vector<uint32_t> order{m.id};
    for (int i = 0; i < 6 && system_.PeekMessage(&m, true); ++i) {
        order.push_back(m.id);
        if (m.id == msg::kPaint) system_.ValidateWindow(w);
    }
    // The character was queued before the post, the move after it.
    std::vector<uint32_t> expected{msg::kKeyDown, msg::kChar, 0x400, msg::kMouseMove, msg::kPaint, msg::kTimer};
    EXPECT_EQ(expected, order);
}

TEST_F(PumpTest, PaintRepeatsUntilValidatedAndTheDefaultProcedureValidates) {
    plat::WindowHandle w = MakeWindow();
    Drain();
    system_.InvalidateWindow(w);
    Message m;
    ASSERT_TRUE(system_.PeekMessage(&m, true));
    EXPECT_EQ(msg::kPaint, m.id);
    ASSERT_TRUE(system_.PeekMessage(&m, true));
    EXPECT_EQ(msg::kPaint, m.id);
    system_.DispatchMessage(m);  // the recording procedure hands it to DefWindowProc
    EXPECT_FALSE(system_.PeekMessage(&m, false));
}

TEST_F(PumpTest, TimerMessagesDoNotPileUpWhileNobodyReadsThem) {
    plat::WindowHandle w = MakeWindow();
    Drain();
    // Intervals long enough that no second one falls due between the two
    // peeks below, even on a loaded machine.
    ASSERT_TRUE(system_.SetTimer(w, 100, 50));
    SDL_Delay(600);  // twelve intervals pass unread
    Message m;
    ASSERT_TRUE(system_.PeekMessage(&m, true));
    EXPECT_EQ(msg::kTimer, m.id);
    EXPECT_EQ(100u, m.wParam);
    EXPECT_FALSE(system_.PeekMessage(&m, true));
    EXPECT_TRUE(system_.KillTimer(w, 100));
    EXPECT_FALSE(system_.KillTimer(w, 100));
    EXPECT_FALSE(system_.SetTimer(w + 50, 1, 10));
}

TEST_F(PumpTest, QuitComesAfterQueuedMessagesAndEndsGetMessage) {
    plat::WindowHandle w = MakeWindow();
    Drain();
    system_.PostMessage(w, 0x401, 0, 0);
    system_.PostQuitMessage(3);
    Message m;
    ASSERT_TRUE(system_.GetMessage(&m));
    EXPECT_EQ(0x401u, m.id);
    EXPECT_FALSE(system_.GetMessage(&m));
    EXPECT_EQ(msg::kQuit, m.id);
    EXPECT_EQ(3u, m.wParam);
    EXPECT_FALSE(system_.PeekMessage(&m, true));
}

TEST_F(PumpTest, MousePositionsAreClientCoordinatesAndTheCursorPositionIsOnTheDesktop) {
    plat::WindowHandle a = MakeWindow(100, 50);
    plat::WindowHandle b = MakeWindow(500, 300);
    Drain();
    plat::WindowRect ra, rb;
    ASSERT_TRUE(system_.GetWindowRect(a, &ra));
    ASSERT_TRUE(system_.GetWindowRect(b, &rb));
    system_.InjectEvent(MotionEvent(10, 20, system_.SdlWindowId(b)));
    auto got = Only(Drain(), {msg::kMouseMove});
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(b, got[0].window);
    EXPECT_EQ(plat::MakeLParam(10, 20), got[0].lParam);
    int x = 0, y = 0;
    ASSERT_TRUE(system_.GetCursorPos(&x, &y));
    EXPECT_EQ(rb.x + 10, x);
    EXPECT_EQ(rb.y + 20, y);
    EXPECT_EQ(b, system_.WindowFromPoint(x, y));
    EXPECT_EQ(plat::kNoWindow, system_.WindowFromPoint(rb.x + rb.width, y));  // right edge is outside
    ASSERT_TRUE(system_.ScreenToClient(b, &x, &y));
    EXPECT_EQ(10, x);
    EXPECT_EQ(20, y);
    ASSERT_TRUE(system_.ClientToScreen(a, &x, &y));
    EXPECT_EQ(ra.x + 10, x);
    EXPECT_EQ(ra.y + 20, y);

    // A moved window maps through its new position.
    system_.InjectEvent(WindowEvent(SDL_WINDOWEVENT_MOVED, system_.SdlWindowId(b), 40, 60));
    system_.InjectEvent(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 7, 8, 1, system_.SdlWindowId(b)));
    Drain();
    ASSERT_TRUE(system_.GetCursorPos(&x, &y));
    EXPECT_EQ(47, x);
    EXPECT_EQ(68, y);
}

TEST_F(PumpTest, MinimiseAndActivationReachTheWindowAndItsState) {
    plat::WindowHandle w = MakeWindow();
    ASSERT_TRUE(system_.ShowWindow(w, plat::ShowCommand::Show));
    auto shown = Only(Drain(), {msg::kActivateApp, msg::kSize});
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(msg::kActivateApp, shown[0].id);
    EXPECT_EQ(1u, shown[0].wParam);
    EXPECT_EQ(w, system_.GetActiveWindow());

    ASSERT_TRUE(system_.ShowWindow(w, plat::ShowCommand::Minimize));
    EXPECT_TRUE(system_.IsMinimised(w));
    auto minimised = Only(Drain(), {msg::kActivateApp, msg::kSize});
    ASSERT_EQ(2u, minimised.size());
    EXPECT_EQ(msg::kSize, minimised[0].id);
    EXPECT_EQ(plat::kSizeMinimized, minimised[0].wParam);
    EXPECT_EQ(msg::kActivateApp, minimised[1].id);
    EXPECT_EQ(0u, minimised[1].wParam);
    EXPECT_EQ(plat::kNoWindow, system_.GetActiveWindow());
    plat::WindowPlacement placement;
    ASSERT_TRUE(system_.GetPlacement(w, &placement));
    EXPECT_EQ(plat::ShowCommand::Minimize, placement.show);

    ASSERT_TRUE(system_.ShowWindow(w, plat::ShowCommand::Restore));
    EXPECT_FALSE(system_.IsMinimised(w));
    auto restored = Only(Drain(), {msg::kActivateApp, msg::kSize});
    ASSERT_EQ(2u, restored.size());
    EXPECT_EQ(plat::kSizeRestored, restored[0].wParam);
    EXPECT_EQ(plat::MakeLParam(320, 200), restored[0].lParam);
    EXPECT_EQ(1u, restored[1].wParam);
}

TEST_F(PumpTest, CloseDestroysThroughTheDefaultProcedureAndDropsTheWindowsMessages) {
    plat::WindowHandle w = MakeWindow();
    Drain();
    const uint32_t id = system_.SdlWindowId(w);
    system_.InjectEvent(WindowEvent(SDL_WINDOWEVENT_CLOSE, id));
    system_.InjectEvent(KeyEvent(SDL_KEYDOWN, SDLK_b, KMOD_NONE, 0, id));
    Message m;
    ASSERT_TRUE(system_.PeekMessage(&m, true));
    EXPECT_EQ(msg::kClose, m.id);
    received_.clear();
    system_.DispatchMessage(m);
    ASSERT_EQ(2u, received_.size());
    EXPECT_EQ(msg::kDestroy, received_[1].id);
    EXPECT_FALSE(system_.IsWindow(w));
    EXPECT_FALSE(system_.PeekMessage(&m, true));  // the key for the gone window went with it
    EXPECT_FALSE(system_.PostMessage(w, 0x400, 0, 0));
    EXPECT_EQ(nullptr, system_.GetNativeWindow(w));
    EXPECT_FALSE(system_.ShowWindow(w, plat::ShowCommand::Show));
}

TEST_F(PumpTest, AltF4ClosesThroughTheDefaultProcedure) {
    plat::WindowHandle w = MakeWindow();
    Drain();
    system_.InjectEvent(KeyEvent(SDL_KEYDOWN, SDLK_F4, KMOD_LALT, 0, system_.SdlWindowId(w)));
    auto got = Drain();
    ASSERT_GE(got.size(), 4u);
    EXPECT_EQ(msg::kSysKeyDown, got[0].id);
    EXPECT_EQ(msg::kSysCommand, got[1].id);
    EXPECT_EQ(msg::kClose, got[2].id);
    EXPECT_EQ(msg::kDestroy, got[3].id);
    EXPECT_FALSE(system_.IsWindow(w));
}

TEST_F(PumpTest, RegisteredMessagesShareANumberAndBroadcastAcrossTheForwarder) {
    const uint32_t notify = system_.RegisterWindowMessage(L"HalvaroNotify");
    EXPECT_GE(notify, msg::kFirstRegistered);
    EXPECT_EQ(notify, system_.RegisterWindowMessage(L"halvaronotify"));
    EXPECT_NE(notify, system_.RegisterWindowMessage(L"Other"));
    EXPECT_EQ(0u, system_.RegisterWindowMessage(L""));

    plat::WindowHandle main = MakeWindow();
    plat::WindowCreateParams invisible;
    invisible.className = L"MainWindow";
    plat::WindowHandle hidden = system_.CreateWindow(invisible);
    ASSERT_NE(plat::kNoWindow, hidden);
    EXPECT_EQ(nullptr, system_.GetNativeWindow(hidden));
    Drain();

    std::vector<std::wstring> forwarded;
    system_.SetBroadcastForwarder(
        [&](std::wstring_view name, plat::WParam, plat::LParam) { forwarded.emplace_back(name); });
    ASSERT_TRUE(system_.PostMessage(plat::kBroadcast, notify, 0, 0));
    auto got = Only(Drain(), {notify});
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ(main, got[0].window);
    EXPECT_EQ(hidden, got[1].window);
    EXPECT_EQ(std::vector<std::wstring>{L"HalvaroNotify"}, forwarded);

    // Arriving from another process: delivered here, not sent on again.
    forwarded.clear();
    EXPECT_TRUE(system_.ReceiveBroadcast(L"HALVARONOTIFY", 5, 0));
    EXPECT_EQ(2u, Only(Drain(), {notify}).size());
    EXPECT_TRUE(forwarded.empty());
    EXPECT_FALSE(system_.ReceiveBroadcast(L"NeverRegistered", 0, 0));
}

TEST_F(PumpTest, PostMessageFromAnotherThreadIsDelivered) {
    plat::WindowHandle w = MakeWindow();
    Drain();
    std::thread poster([&] {
        for (uint32_t i = 0; i < 100; ++i) system_.PostMessage(w, 0x400, i, 0);
    });
    poster.join();
    auto got = Only(Drain(), {0x400});
    ASSERT_EQ(100u, got.size());
    for (uint32_t i = 0; i < 100; ++i) EXPECT_EQ(i, got[i].wParam);
}

TEST_F(PumpTest, WindowsKeepTitleSizeAndUserData) {
    EXPECT_EQ(plat::kNoWindow, [&] {
        plat::WindowCreateParams p;
        p.className = L"NoSuchClass";
        return system_.CreateWindow(p);
    }());
    EXPECT_FALSE(system_.LastError().empty());
    plat::WindowHandle w = MakeWindow(10, 20, 256, 128);
    int cw = 0, ch = 0;
    ASSERT_TRUE(system_.GetClientSize(w, &cw, &ch));
    EXPECT_EQ(256, cw);
    EXPECT_EQ(128, ch);
    ASSERT_TRUE(system_.SetTitle(w, L"Park \u00e9 \U0001F3A2"));
    EXPECT_EQ(L"Park \u00e9 \U0001F3A2", system_.GetTitle(w));
    EXPECT_STREQ("Park \xC3\xA9 \xF0\x9F\x8E\xA2", SDL_GetWindowTitle(system_.GetNativeWindow(w)));
    system_.SetUserData(w, 0x1234);
    EXPECT_EQ(0x1234u, system_.GetUserData(w));
    ASSERT_TRUE(system_.MoveWindow(w, {30, 40, 300, 200}));
    ASSERT_TRUE(system_.GetClientSize(w, &cw, &ch));
    EXPECT_EQ(300, cw);
    EXPECT_EQ(200, ch);
    int dw = 0, dh = 0;
    system_.GetDesktopSize(&dw, &dh);
    EXPECT_GT(dw, 0);
    EXPECT_GT(dh, 0);
    plat::WindowRect work = system_.GetWorkArea();
    EXPECT_LE(work.width, dw);
    EXPECT_GT(work.width, 0);
}

}  // namespace
