// The board: play time counted per fixed update and logged on removal, and
// the "paused" cover above every menu while the application is paused.
#include <gtest/gtest.h>

#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "rendering/draw/graphics.h"
#include "tests/foundation/test_support.h"
#include "tests/rendering/image_surface_test_support.h"
#include "tests/widgets/widget_test_support.h"
#include "widgets/screens/board.h"

using namespace testsupport;

namespace {

// A player whose play time the test sets and reads.
class PlayerHost : public NullStartupHost {
public:
    bool GetPlayTime(PlayTime& out) override {
        if (!hasPlayer) return false;
        out = time;
        return true;
    }
    void SetPlayTime(const PlayTime& in) override { time = in; }

    bool hasPlayer = true;
    PlayTime time;

private:
    ScopedService<StartupHost> installed_{this};
};

class TestBoard : public Board {
public:
    void ShowMainMenu() override { ++mainMenus; }
    void ShowPlayMenu() override {}
    int mainMenus = 0;
};

// Minutes and hours roll over exactly at 6000 ticks and 60 minutes: the
// total in ticks grows by one per update.
TEST(PlayTimeTest, EachUpdateAddsOneTickAndCarries) {
    const PlayTime starts[] = {{0, 0, 5999}, {0, 59, 5999}, {3, 12, 40}};
    for (PlayTime time : starts) {
        const int64_t before = (int64_t{time.hours} * 60 + time.minutes) * 6000 + time.ticks;
        AdvancePlayTime(time);
        EXPECT_EQ((int64_t{time.hours} * 60 + time.minutes) * 6000 + time.ticks, before + 1);
        EXPECT_LT(time.ticks, 6000);
        EXPECT_LT(time.minutes, 60);
    }
}

class BoardTest : public ManagerTest {
protected:
    PlayerHost player;
};

TEST_F(BoardTest, CountsTicksOnlyWithAPlayerAndOpensTheMainMenuOnArrival) {
    auto* board = new TestBoard;
    EXPECT_EQ(board->GetWidth(), 800);
    EXPECT_EQ(board->GetHeight(), 600);
    mgr.AddWidget(board);
    EXPECT_EQ(board->mainMenus, 1);
    player.time = {0, 59, 5999};
    mgr.UpdateFrame();
    EXPECT_EQ(player.time.hours, 1);
    EXPECT_EQ(player.time.minutes, 0);
    EXPECT_EQ(player.time.ticks, 0);
    player.hasPlayer = false;
    player.time = {};
    mgr.UpdateFrame();
    EXPECT_EQ(player.time.ticks, 0);
    mgr.RemoveWidget(board);
}

TEST_F(BoardTest, RemovalLogsTheTotalPlayTime) {
    TempFolder desktop;
    ScopedEnv xdg("XDG_DESKTOP_DIR", desktop.Path().c_str());
    LogSetProductName("BoardProbe");
    LogInit(true);
    auto* board = new TestBoard;
    mgr.AddWidget(board);
    player.time = {1, 2, 350};
    mgr.RemoveWidget(board);
    LogDisable();
    LogSetProductName("Halvaro");
    const std::wstring written = text::FromUtf16LE(ReadBytes(desktop.Path() / "BoardProbe.log"));
    EXPECT_NE(written.find(L"] Total play time: 1:02:03\r\n"), std::wstring::npos) << text::ToUtf8(written);
}

TEST_F(BoardTest, PausingPutsTheBoardAboveEveryMenuAndResumingBehindThem) {
    auto* board = new TestBoard;
    mgr.AddWidget(board);
    ProbeWidget* menu = Add(mgr, "menu", 0, 0, 100, 100);
    menu->SetPriority(2);
    mgr.SortChildren();
    board->SetPaused(true);
    EXPECT_EQ(mgr.GetChildren().back(), board);
    EXPECT_EQ(board->GetOverlayThreshold(), INT_MAX);
    board->SetPaused(false);
    EXPECT_EQ(mgr.GetChildren().front(), board);
    mgr.RemoveWidget(board);
}

class BoardCoverTest : public ImageDeviceTest {
protected:
    void SetUp() override {
        ImageDeviceTest::SetUp();
        Start(plat::DeviceCaps{});
    }
    NullWidgetHost widgets;
};

TEST_F(BoardCoverTest, PausedBoardDarkensTheScreenByHalfAndUnpausedDrawsNothing) {
    TestBoard board;
    {
        Graphics g(Target());
        g.SetColor(Color::White);
        g.FillRect(0, 0, host.screenW, host.screenH);
        board.Draw(&g);
    }
    EXPECT_EQ(Target()->GetBits()[5], 0xFFFFFFFFu);
    board.SetPaused(true);
    {
        Graphics g(Target());
        board.Draw(&g);
    }
    // Black at alpha 128 over white: 255 * (255 - 128) / 255 = 127 per channel.
    const uint32_t p = Target()->GetBits()[5];
    EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 127, 1);
    EXPECT_NEAR(static_cast<int>(p & 0xFF), 127, 1);
}

}  // namespace
