// The logo screen driven through the widget manager's fixed updates and
// per-frame updates, as the main loop drives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "rendering/draw/graphics.h"
#include "tests/rendering/image_surface_test_support.h"
#include "tests/widgets/startup_screens_test_support.h"
#include "tests/widgets/widget_test_support.h"
#include "widgets/screens/logo_screen.h"

using namespace testsupport;

namespace {

constexpr int kWhoosh = 1, kBounce = 2, kLand = 3;

class LogoScreenTest : public ManagerTest {
protected:
    explicit LogoScreenTest(int ballColumns = 3) {
        for (const wchar_t* letter : {L"P", L"E", L"L", L"M", L"A", L"E_Tilt", L"M_Tilt"})
            assets.AddImage(letter, 80, 110);
        assets.AddImage(L"Ball", 64, 101, ballColumns);
        assets.AddImage(L"Trail", 436, 135);
        assets.AddImage(L"PelmarTM", 28, 16);
        assets.sounds = {{L"whoosh", kWhoosh}, {L"bounce", kBounce}, {L"land", kLand}};
        screen = new LogoScreen;
        mgr.AddWidget(screen);
    }
    ~LogoScreenTest() override {
        if (screen->GetParent()) mgr.RemoveWidget(screen);
    }

    // One fixed update and `frames` frames sharing it.
    void Step(int frames = 1) {
        mgr.UpdateFrame();
        for (int i = 0; i < frames; ++i) mgr.UpdateFractionFrame(1.0f / frames);
    }

    StartupAssets assets;
    SplashCounter splash;
    LogoScreen* screen = nullptr;
};

TEST_F(LogoScreenTest, LettersLandBallBouncesTwiceAndRestsThenTheScreenEndsAfter500Updates) {
    EXPECT_EQ(screen->Ball(), nullptr);
    for (int i = 0; i < 500; ++i) Step();
    EXPECT_EQ(splash.nextScreens, 0);
    ASSERT_NE(screen->Ball(), nullptr);
    const LogoBall& ball = *screen->Ball();
    EXPECT_TRUE(ball.HasStopped());
    EXPECT_EQ(ball.GetY(), 300 + 4);
    // Every letter rests on its line; the two the ball landed on sit lower.
    const float lowered[LogoScreen::kLetterCount] = {0, 5, 0, 17, 0};
    for (int i = 0; i < LogoScreen::kLetterCount; ++i) {
        EXPECT_EQ(screen->Letters()[i]->Velocity(), 0) << i;
        EXPECT_EQ(screen->Letters()[i]->GetY(), 300 + lowered[i]) << i;
    }
    EXPECT_EQ(screen->Letters()[1]->GetImage(), assets.images[L"E_Tilt"]);
    EXPECT_EQ(screen->Letters()[3]->GetX(), 400 - 270 + 263 - 6);
    // A whoosh per letter; the ball bounces twice and then lands, last of all.
    const std::vector<int> played = assets.Played();
    EXPECT_EQ(std::count(played.begin(), played.end(), kWhoosh), LogoScreen::kLetterCount);
    std::vector<int> bounces;
    std::copy_if(played.begin(), played.end(), std::back_inserter(bounces), [](int id) { return id != kWhoosh; });
    EXPECT_EQ(bounces, (std::vector<int>{kBounce, kBounce, kLand}));
    EXPECT_EQ(played.back(), kLand);

    Step();  // the 501st update finds the count at 500
    EXPECT_EQ(splash.nextScreens, 1);
    EXPECT_EQ(screen->GetParent(), nullptr);
}

TEST_F(LogoScreenTest, MotionFollowsTheFrameTimeSoTwoFramesPerUpdateEndTheSame) {
    for (int i = 0; i < 450; ++i) Step(2);
    ASSERT_NE(screen->Ball(), nullptr);
    EXPECT_TRUE(screen->Ball()->HasStopped());
    EXPECT_EQ(screen->Ball()->GetY(), 304);
    for (LogoLetter* letter : screen->Letters()) EXPECT_EQ(letter->Velocity(), 0);
}

TEST_F(LogoScreenTest, ALeftClickEndsItAndARightClickDoesNot) {
    Step();
    mgr.WindowMouseDown(10, 10, -1);
    EXPECT_EQ(splash.nextScreens, 0);
    mgr.WindowMouseDown(10, 10, 1);
    EXPECT_EQ(splash.nextScreens, 1);
    mgr.WindowMouseDown(12, 10, 1);
    EXPECT_EQ(splash.nextScreens, 1);
}

class TwoColumnBallTest : public LogoScreenTest {
protected:
    TwoColumnBallTest() : LogoScreenTest(2) {}
};

TEST_F(TwoColumnBallTest, ReportsTheColumnsAndEndsInsteadOfDrawingMissingCels) {
    for (int i = 0; i < 200 && splash.nextScreens == 0; ++i) Step();
    EXPECT_EQ(assets.boxes, std::vector<std::string>{"Ball aImage needs 3 columns specified"});
    EXPECT_EQ(screen->Ball(), nullptr);
    EXPECT_EQ(splash.nextScreens, 1);
    for (int i = 0; i < 5; ++i) Step();
    EXPECT_EQ(assets.boxes.size(), 1u);
}

}  // namespace

namespace {

class LogoPixelsTest : public ImageDeviceTest {
protected:
    void SetUp() override {
        host.screenW = host.clientW = 800;
        host.screenH = host.clientH = 600;
        ImageDeviceTest::SetUp();
        Start(plat::DeviceCaps{});
    }
    // Draws the tree and answers the pixel at (x, y).
    uint32_t DrawAndRead(WidgetManager& mgr, int x, int y) {
        {
            Graphics g(Target());
            mgr.DrawWidgetsTo(&g);
        }
        return Target()->GetBits()[static_cast<size_t>(y) * 800 + x];
    }
    NullWidgetHost widgets;
};

TEST_F(LogoPixelsTest, TheMarkAppearsOnlyOnceTheBallHasStopped) {
    StartupAssets assets;
    SplashCounter splash;
    for (const wchar_t* letter : {L"P", L"E", L"L", L"M", L"A", L"E_Tilt", L"M_Tilt"}) assets.AddImage(letter, 80, 110);
    assets.AddImage(L"Ball", 128, 101, 3);
    assets.AddImage(L"Trail", 492, 182);
    ImageSurface* mark = assets.AddImage(L"PelmarTM", 28, 16);
    std::fill(mark->GetBits(), mark->GetBits() + 28 * 16, 0xFF00FF00u);
    WidgetManager mgr;
    auto* screen = new LogoScreen;
    mgr.AddWidget(screen);
    bool sawStop = false;
    for (int i = 0; i < 480 && !sawStop; ++i) {
        mgr.UpdateFrame();
        mgr.UpdateFractionFrame(1.0f);
        const LogoBall* ball = screen->Ball();
        if (!ball) continue;
        // Where the mark goes: by the ball's lower right corner.
        const int x = static_cast<int>(ball->GetX()) + ball->GetWidth() - 15 + 14;
        const int y = static_cast<int>(ball->GetY()) + ball->GetHeight() - 16 - 5 + 8;
        if (x < 0 || y < 0 || x >= 800 || y >= 600) continue;
        sawStop = ball->HasStopped();
        if (!sawStop && i % 16 != 0) continue;
        EXPECT_EQ(DrawAndRead(mgr, x, y) == 0xFF00FF00u, sawStop) << "update " << i;
    }
    EXPECT_TRUE(sawStop);
    mgr.RemoveAllWidgets(true, false);
    widgets.DeleteDeferred();
}

}  // namespace
