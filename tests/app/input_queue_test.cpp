// The input queue's coalescing, the click codes of button messages, and where
// the windowed main window is placed.

#include <gtest/gtest.h>

#include "app/shell/input_queue.h"
#include "app/shell/window_placement.h"

namespace {

namespace msg = plat::msg;

std::vector<uint32_t> Drain(InputQueue& queue) {
    std::vector<uint32_t> ids;
    while (auto m = queue.Pop()) ids.push_back(m->id);
    return ids;
}

TEST(InputQueue, CoalescesTimersDisplayChangesAndStopsAtClose) {
    InputQueue queue;
    for (uint32_t id :
         {msg::kTimer, msg::kTimer, msg::kKeyDown, msg::kTimer, msg::kDisplayChange, msg::kMouseMove,
          msg::kSysColorChange, msg::kDisplayChange, msg::kTimer, msg::kClose, msg::kKeyDown, msg::kClose})
        queue.Push({1, id, 0, 0, 0});
    EXPECT_EQ(Drain(queue), (std::vector<uint32_t>{msg::kTimer, msg::kKeyDown, msg::kTimer, msg::kDisplayChange,
                                                   msg::kMouseMove, msg::kTimer, msg::kClose}));
    // Once drained, the same kinds queue again, and the payload travels along.
    EXPECT_TRUE(queue.Push({2, msg::kSysColorChange, 7, -9, 0}));
    auto m = queue.Pop();
    ASSERT_TRUE(m);
    EXPECT_EQ(m->window, 2u);
    EXPECT_EQ(m->wParam, 7u);
    EXPECT_EQ(m->lParam, -9);
    EXPECT_TRUE(queue.Empty());
}

TEST(InputQueue, ButtonMessagesMapToClickCodesAndHeldBits) {
    EXPECT_EQ(ClickCodeForButtonDown(msg::kLButtonDown), 1);
    EXPECT_EQ(ClickCodeForButtonDown(msg::kLButtonDblClk), 2);
    EXPECT_EQ(ClickCodeForButtonDown(msg::kRButtonDown), -1);
    EXPECT_EQ(ClickCodeForButtonDown(msg::kRButtonDblClk), -2);
    EXPECT_EQ(ClickCodeForButtonDown(msg::kMButtonDown), 0);
    EXPECT_FALSE(ClickCodeForButtonDown(msg::kMButtonDblClk));
    EXPECT_FALSE(ClickCodeForButtonDown(msg::kLButtonUp));
    EXPECT_EQ(ButtonBitForButtonUp(msg::kLButtonUp) | ButtonBitForButtonUp(msg::kRButtonUp) |
                  ButtonBitForButtonUp(msg::kMButtonUp),
              7);
    EXPECT_EQ(ButtonBitForButtonUp(msg::kLButtonDown), 0);
    for (uint32_t id = msg::kMouseMove; id <= msg::kMButtonDblClk; ++id) EXPECT_TRUE(IsQueuedInputMessage(id)) << id;
    EXPECT_FALSE(IsQueuedInputMessage(msg::kPaint));
    EXPECT_FALSE(IsQueuedInputMessage(msg::kSysChar));
}

TEST(WindowPlacement, CentresOrKeepsInsideTheWorkArea) {
    const plat::WindowRect work{100, 20, 1600, 1000};
    plat::WindowRect centred = PlaceMainWindow(work, 800, 600, -1, -1);
    EXPECT_EQ(centred.x, 100 + (1600 - 800) / 2);
    EXPECT_EQ(centred.y, 20 + static_cast<int>(0.382 * (1000 - 600)));

    EXPECT_EQ(PlaceMainWindow(work, 800, 600, 300, 200), (plat::WindowRect{300, 200, 800, 600}));
    plat::WindowRect clamped = PlaceMainWindow(work, 800, 600, -500, 5000);
    EXPECT_EQ(clamped.x, 104);
    EXPECT_EQ(clamped.y, 20 + 1000 - 4 - 600);
    plat::WindowRect right = PlaceMainWindow(work, 800, 600, 1500, 30);
    EXPECT_EQ(right.x + right.width, 100 + 1600 - 4);
}

}  // namespace
