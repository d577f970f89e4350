// The crash report's window on an X display (run under Xvfb; skipped where
// no display exists): placed and sized as asked whatever its text, its
// button row on screen, the whole report reachable by scrolling, a dragged
// selection copied, and its button answering.
#include <SDL.h>
#include <array>
#include <cstdlib>
#include <string>

#include "platform/window/dialog_window.h"
#include "x11_child.h"

namespace {

// As the crash reporter lays its window out, with a report far taller and
// wider than its pane that ends in a line to look for.
plat::DialogLayout CrashReportLayout() {
    plat::DialogLayout layout;
    layout.title = "Fatal Error!";
    layout.text = "An unexpected error has occured!";
    layout.textRect = {8, 8, 384, 84};
    layout.edit = plat::EditBox::kReadOnly;
    layout.editRect = {8, 92, 384, 168};
    for (int i = 0; i < 120; ++i)
        layout.editText +=
            "00401000 0012FF80 0001:00000" + std::to_string(i) + " halvaro_module_with_a_long_name.so\r\n";
    layout.editText += "Flags:00000246 END";
    layout.buttons = {{"Close Now", {8, 268, 384, 24}}};
    return layout;
}

void ShowReportOnX11() {
    setenv("SDL_VIDEODRIVER", "x11", 1);
    const plat::DialogLayout layout = CrashReportLayout();
    const std::unique_ptr<plat::DialogWindow> window = plat::DialogWindow::Open(layout);
    if (!window) GTEST_SKIP() << "x11 video unavailable";
    ASSERT_EQ(plat::DialogWindow::kNothing, window->Poll());
    SDL_Window* shown = nullptr;
    for (uint32_t i = 1; i < 16 && !shown; ++i)
        if (SDL_GetWindowFromID(i) && std::string(SDL_GetWindowTitle(SDL_GetWindowFromID(i))) == "Fatal Error!")
            shown = SDL_GetWindowFromID(i);
    ASSERT_NE(nullptr, shown);
    const uint32_t id = SDL_GetWindowID(shown);
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(shown, &x, &y);
    SDL_GetWindowSize(shown, &w, &h);
    EXPECT_EQ((std::array{64, 64, 400, 300}), (std::array{x, y, w, h}));
    SDL_Rect screen{};
    ASSERT_EQ(0, SDL_GetDisplayBounds(0, &screen));
    EXPECT_LE(y + 268 + 24, screen.y + screen.h) << "the button row is on screen";

    auto push = [&](SDL_Event e) { SDL_PushEvent(&e); };
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.windowID = id;
    wheel.wheel.y = -1;
    for (int i = 0; i < 100; ++i) push(wheel);
    ASSERT_EQ(plat::DialogWindow::kNothing, window->Poll());
    const plat::TextPane& pane = *window->Pane();
    EXPECT_EQ(pane.Lines().size(), static_cast<size_t>(pane.FirstLine() + pane.VisibleLines()));

    // Select from the last line's start to the pane's end, copy, and close.
    SDL_Event button{};
    button.button = {SDL_MOUSEBUTTONDOWN, 0, id, 0, SDL_BUTTON_LEFT, SDL_PRESSED, 1, 0, 0, 0};
    button.button.x = layout.editRect.x + 3;
    button.button.y = layout.editRect.y + 2 + (pane.VisibleLines() - 1) * pane.LineHeight() + 2;
    push(button);
    SDL_Event motion{};
    motion.motion = {SDL_MOUSEMOTION, 0, id, 0, SDL_BUTTON_LMASK, 380, 250, 0, 0};
    push(motion);
    button.type = SDL_MOUSEBUTTONUP;
    push(button);
    SDL_Event key{};
    key.key = {SDL_KEYDOWN, 0, id, SDL_PRESSED, 0, 0, 0, {SDL_SCANCODE_C, SDLK_c, KMOD_LCTRL, 0}};
    push(key);
    ASSERT_EQ(plat::DialogWindow::kNothing, window->Poll());
    char* copied = SDL_GetClipboardText();
    EXPECT_STREQ("Flags:00000246 END", copied);
    SDL_free(copied);
    button = {};
    button.button = {SDL_MOUSEBUTTONDOWN, 0, id, 0, SDL_BUTTON_LEFT, SDL_PRESSED, 1, 0, 200, 280};
    push(button);
    button.type = SDL_MOUSEBUTTONUP;
    push(button);
    int answer = window->Poll();
    if (answer == plat::DialogWindow::kNothing) answer = window->Poll();
    EXPECT_EQ(0, answer) << "Close Now";
}

TEST(DialogWindowX11, TheCrashReportScrollsSelectsAndCloses) { testsupport::RunOnX11InChild(ShowReportOnX11); }

}  // namespace
