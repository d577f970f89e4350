// The application base's window side on the headless window system: a lost
// device is brought back, a second copy's notification brings the first
// forward, cursor kinds reach the window, the click listeners hear each press
// once, frames are spaced while loading, the overlay is drawn, and start-up
// acts on the desktop size, the start folder, "/c" and leftover temporary
// settings files.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/shell/vorn_app_base.h"
#include "foundation/files/config_stats.h"
#include "foundation/files/path_utils.h"
#include "platform/gfx/device.h"
#include "platform/gfx/graphics_system.h"
#include "platform/system/single_instance.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "tests/platform/temp_folder.h"
#include "widgets/tree/click_listener.h"
#include "widgets/tree/widget.h"

namespace {

namespace msg = plat::msg;

class ShellApp : public VornAppBase {
public:
    explicit ShellApp(std::string product) { productName_ = std::move(product); }

    uint32_t Now() override { return clock ? *clock : VornAppBase::Now(); }
    bool LoadingThrottle() override { return loading; }
    void BringWindowToFront(plat::WParam wParam) override {
        fronts.push_back(wParam);
        VornAppBase::BringWindowToFront(wParam);
    }
    void Feed(uint32_t id, plat::WParam wParam, plat::LParam lParam = 0) {
        HandleWindowMessage(mainWindow_, id, wParam, lParam);
        while (DispatchQueuedInput()) {}
    }
    bool DrawNow() { return Redraw(); }
    void Tick() { HandleTimer(); }
    void OpenPage(uint32_t at) {
        urlPending_ = true;
        urlOpenedAt_ = at;
        url_ = "http://example.invalid/";
    }
    bool PagePending() const { return urlPending_; }
    void UrlOpened() override {
        ++opened;
        VornAppBase::UrlOpened();
    }
    void UrlOpenFailed(const std::string& url) override {
        ++failed;
        VornAppBase::UrlOpenFailed(url);
    }
    int FindSoundId(std::wstring_view name) override { return name == L"highlight" ? 7 : -1; }
    void PlaySoundEffect(int id, int, double) override { played.push_back(id); }
    plat::WindowHandle MainWindow() const { return mainWindow_; }
    int PreferredX() { return Settings().Values().preferredX; }
    int PreferredY() { return Settings().Values().preferredY; }
    void PresentNow() { PresentFrame(); }
    void Pump() { PumpWindowMessages(); }
    void SetSize(int w, int h) { width_ = w, height_ = h; }
    plat::WindowSystem& Windows() { return *windows_; }
    int Draws() const { return drawCount_; }

    void SetFullscreenUnavailable() { fullscreenUnavailable_ = true; }
    // Recorded and announced, then the application services' own switch.
    void SwitchScreenMode(bool windowed, bool forced) override {
        modes.push_back(windowed);
        std::fprintf(stderr, "switch to %s\n", windowed && !forceFullscreen_ ? "window" : "full screen");
        if (modes.size() < 4) VornAppBase::SwitchScreenMode(windowed, forced);
    }
    std::vector<bool> modes;
    std::optional<uint32_t> clock;
    bool loading = false;
    std::vector<plat::WParam> fronts;
    std::vector<int> played;
    int opened = 0;
    int failed = 0;
};

class WhiteScreen : public Widget {
public:
    explicit WhiteScreen(int w, int h) { Resize(0, 0, w, h); }
    void Draw(Graphics* g) override {
        g->SetColor(Color{255, 255, 255, 255});
        g->FillRect(0, 0, GetWidth(), GetHeight());
    }
};

// Every test works in its own data folder and puts the current folder back
// (start-up moves into the program's folder).
class AppShell : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = GetAppDataFolder();
        SetAppDataFolder(dir_.Path().string() + "/");
    }
    void TearDown() override { SetAppDataFolder(previous_); }

    testsupport::TempFolder dir_;
    testsupport::CurrentDirectoryGuard cwd_{std::filesystem::current_path()};
    std::string previous_;
};

TEST_F(AppShell, LostDeviceIsRecreatedAndTheNextPresentClearsTheLoss) {
    ShellApp app("ShellLoss");
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    D3DInterface* d3d = D3DInterface::Instance();
    ASSERT_TRUE(d3d && d3d->GetDevice());
    plat::Device* lost = d3d->GetDevice();
    lost->AddRef();  // kept alive, so a new device cannot take its address
    lost->FailNextPresent();

    app.PresentNow();
    EXPECT_TRUE(app.DeviceLost());
    ASSERT_TRUE(d3d->IsReady());  // cleaned up and initialised again for the window
    EXPECT_NE(d3d->GetDevice(), lost);
    lost->Release();
    const uint64_t presents = d3d->GetDevice()->PresentCount();

    EXPECT_FALSE(app.DrawNow());  // a lost frame draws nothing but presents to test the device
    EXPECT_FALSE(app.DeviceLost());
    EXPECT_EQ(d3d->GetDevice()->PresentCount(), presents + 1);
    app.Widgets().MarkAllDirty();
    EXPECT_TRUE(app.DrawNow());  // the widget tree draws into the new device's buffer
    app.Shutdown();
}

TEST_F(AppShell, SecondCopyBringsTheFirstForward) {
    ShellApp app("ShellNotify");
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    plat::SingleInstance second(dir_.Path().string() + "/", "ShellNotify");
    ASSERT_FALSE(second.IsFirst());
    ASSERT_TRUE(second.Notify(L"ShellNotifyNotify", 0, 0));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (app.fronts.empty() && std::chrono::steady_clock::now() < deadline) {
        app.Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(app.fronts, std::vector<plat::WParam>{0});
    app.Shutdown();
}

TEST_F(AppShell, CursorKindsFromTheWidgetTreeReachTheWindow) {
    ShellApp app("ShellCursor");
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    plat::WindowSystem& windows = app.Windows();
    app.Feed(msg::kMouseMove, 0, plat::MakeLParam(20, 20));  // the pointer is in the window

    WidgetHost& host = Service<WidgetHost>::Get();
    host.SetCursorKind(3);
    EXPECT_EQ(host.GetCursorKind(), 3);
    EXPECT_EQ(windows.GetCursor(), windows.LoadSystemCursor(plat::SystemCursor::IBeam));
    host.SetCursorKind(11);
    EXPECT_EQ(windows.GetCursor(), 0u);
    host.SetCursorKind(1);  // the program's own pointing hand
    std::vector<uint32_t> pixels;
    int hotX = 0, hotY = 0;
    ASSERT_TRUE(windows.GetCursorPixels(windows.GetCursor(), &pixels, &hotX, &hotY));
    EXPECT_EQ(hotX, 11);
    EXPECT_EQ(hotY, 4);

    // Kind 12 shows its image even with custom cursors off; without a listed
    // hot spot the device draws it, so the window shows none.
    ImageSurface arrow;
    ASSERT_TRUE(arrow.Create(8, 8));
    app.SetCustomCursorImage(12, &arrow);
    host.SetCursorKind(12);
    EXPECT_EQ(windows.GetCursor(), 0u);
    EXPECT_TRUE(D3DInterface::Instance()->IsSoftwareCursor());
    // An image for another kind waits for custom cursors.
    app.SetCustomCursorImage(4, &arrow);
    host.SetCursorKind(4);
    EXPECT_EQ(windows.GetCursor(), windows.LoadSystemCursor(plat::SystemCursor::No));
    EXPECT_FALSE(D3DInterface::Instance()->IsSoftwareCursor());
    app.SetCustomCursors(true);
    EXPECT_TRUE(D3DInterface::Instance()->IsSoftwareCursor());
    // A hot spot listed in config.xml makes it the window's own cursor.
    ImageSurface listed;
    ASSERT_TRUE(listed.Create(8, 8));
    listed.name = L"shell_test_cursor";
    CursorHotspots()[listed.name] = HotSpot{2, 3};
    app.SetCustomCursorImage(12, &listed);
    host.SetCursorKind(12);
    EXPECT_FALSE(D3DInterface::Instance()->IsSoftwareCursor());
    ASSERT_NE(windows.GetCursor(), 0u);
    ASSERT_TRUE(windows.GetCursorPixels(windows.GetCursor(), &pixels, &hotX, &hotY));
    EXPECT_EQ(hotX, 2);
    EXPECT_EQ(hotY, 3);
    CursorHotspots().erase(listed.name);
    app.SetCustomCursorImage(4, nullptr);
    app.SetCustomCursorImage(12, nullptr);
    app.SetCursor(0);
    EXPECT_EQ(windows.GetCursor(), windows.LoadSystemCursor(plat::SystemCursor::Arrow));
    app.Shutdown();
}

TEST_F(AppShell, WidgetTreeCopiesAndPastesThroughTheWindowClipboard) {
    ShellApp app("ShellClipboard");
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    if (!app.Windows().SetClipboardText(L"probe")) GTEST_SKIP() << "no clipboard on this desktop";
    WidgetHost& host = Service<WidgetHost>::Get();
    host.SetClipboardText(L"Zo\u00eb's park");
    EXPECT_EQ(host.GetClipboardText(), L"Zo\u00eb's park");
    app.CopyToClipboard("crash report \xc3\xa9");  // the crash report's UTF-8
    EXPECT_EQ(host.GetClipboardText(), L"crash report \u00e9");
    app.Shutdown();
}

TEST_F(AppShell, FullScreenCoversTheDesktopAndThePointerMapsToTheGame) {
    testsupport::WriteBytes(dir_ / "settings.xml", "<settings windowed=\"0\"/>");
    ShellApp app("ShellFull");
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    int desktopW = 0, desktopH = 0;
    app.GetDesktopSize(&desktopW, &desktopH);
    int clientW = 0, clientH = 0;
    ASSERT_TRUE(app.Windows().GetClientSize(app.MainWindow(), &clientW, &clientH));
    EXPECT_EQ(clientW, desktopW);
    EXPECT_EQ(clientH, desktopH);
    WhiteScreen screen(app.ScreenWidth(), app.ScreenHeight());  // something for the pointer to be over
    screen.SetMouseVisible(true);
    app.Widgets().AddWidget(&screen);
    const Rect picture = D3DInterface::Instance()->GetDisplayLayout().presentation;
    // The pointer at the middle of the picture is at the middle of the game's screen.
    app.Feed(msg::kMouseMove, 0, plat::MakeLParam(picture.x + picture.w / 2, picture.y + picture.h / 2));
    const ScreenPoint p = app.Widgets().GetPointerPosition(0);
    EXPECT_NEAR(p.x, app.ScreenWidth() / 2, 1);
    EXPECT_NEAR(p.y, app.ScreenHeight() / 2, 1);
    app.Widgets().RemoveWidget(&screen);
    app.Shutdown();
}

class CountingClicks : public ClickListener {
public:
    void ClickStarted() override { ++started; }
    void Clicked() override { ++clicked; }
    int started = 0;
    int clicked = 0;
};

TEST_F(AppShell, EachPressIsAnnouncedOnceAndCaptureEndsWithTheLastButton) {
    ShellApp app("ShellClicks");
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    CountingClicks clicks;
    app.Widgets().AddClickListener(&clicks);
    app.Feed(msg::kLButtonDown, plat::kMkLButton, plat::MakeLParam(5, 5));
    EXPECT_EQ(clicks.started, 1);
    EXPECT_EQ(clicks.clicked, 1);
    EXPECT_NE(app.Windows().GetCapture(), plat::kNoWindow);
    app.Feed(msg::kRButtonDown, plat::kMkLButton | plat::kMkRButton, plat::MakeLParam(5, 5));
    app.Feed(msg::kLButtonUp, plat::kMkRButton, plat::MakeLParam(5, 5));
    EXPECT_NE(app.Windows().GetCapture(), plat::kNoWindow);  // the right button still holds it
    app.Feed(msg::kRButtonUp, 0, plat::MakeLParam(5, 5));
    EXPECT_EQ(app.Windows().GetCapture(), plat::kNoWindow);
    EXPECT_EQ(clicks.started, 2);
    EXPECT_EQ(clicks.clicked, 2);
    app.Widgets().RemoveClickListener(&clicks);
    app.Shutdown();
}

TEST_F(AppShell, WhileLoadingFramesAreSpacedByDrawingTimePlusThirtyFive) {
    ShellApp app("ShellSpacing");
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    app.clock = 100000;
    auto drawAt = [&](uint32_t t) {
        app.clock = t;
        app.Widgets().MarkAllDirty();
        return app.DrawNow();
    };
    EXPECT_TRUE(drawAt(100000));
    EXPECT_TRUE(drawAt(100010));  // not loading: every frame may draw
    app.loading = true;
    EXPECT_TRUE(drawAt(100020));  // allowed since 100010; the next at 100010 + 15 + 35
    EXPECT_FALSE(drawAt(100030));
    EXPECT_FALSE(drawAt(100059));
    EXPECT_TRUE(drawAt(100060));  // next at 100110
    EXPECT_FALSE(drawAt(100100));
    EXPECT_TRUE(drawAt(100110));
    // After a long pause the allowance starts from now, not from the past.
    EXPECT_TRUE(drawAt(200000));
    EXPECT_TRUE(drawAt(200010));
    EXPECT_FALSE(drawAt(200020));
    app.loading = false;
    app.clock.reset();
    app.Shutdown();
}

TEST_F(AppShell, MouseOverlayIsDrawnAtTheBottomRight) {
    ShellApp app("ShellOverlay");
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    WhiteScreen white(app.ScreenWidth(), app.ScreenHeight());
    app.Widgets().AddWidget(&white);
    auto* screen = dynamic_cast<ImageSurface*>(D3DInterface::Instance()->GetDrawBuffer());
    ASSERT_TRUE(screen);
    const int x = app.ScreenWidth() - 10 - 2, y = app.ScreenHeight() - 10 - 2;
    app.Widgets().MarkAllDirty();
    ASSERT_TRUE(app.DrawNow());
    const uint32_t before = screen->GetPixel(x, y, 0);
    app.SetOverlay(true, 1);
    app.Widgets().MarkAllDirty();
    ASSERT_TRUE(app.DrawNow());
    EXPECT_EQ(screen->GetPixel(x, y, 0) & 0xFFFFFFu, 0u);  // the overlay's black ground
    EXPECT_EQ(before & 0xFFFFFFu, 0xFFFFFFu);
    app.Widgets().RemoveWidget(&white);
    app.Shutdown();
}

TEST_F(AppShell, TimerWatchesThePageAndThePointerLeavingTheWindow) {
    ShellApp app("ShellTimer");
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    app.Feed(msg::kActivateApp, 1);
    app.clock = 50000;
    app.OpenPage(50000);
    for (uint32_t t = 50000; t <= 62010; t += 10) {
        app.clock = t;
        app.Tick();
    }
    EXPECT_EQ(app.failed, 1);  // still in front 12 s after opening: the page did not open
    EXPECT_FALSE(app.PagePending());
    app.OpenPage(62010);
    app.Feed(msg::kActivateApp, 0);  // the browser came to the front
    EXPECT_EQ(app.opened, 1);
    EXPECT_FALSE(app.PagePending());

    // The pointer is in the window after a move; a tick that finds it
    // elsewhere lets the widget tree know and shows the arrow.
    app.Feed(msg::kMouseMove, 0, plat::MakeLParam(30, 30));
    app.SetCursor(3);
    EXPECT_EQ(app.Windows().GetCursor(), app.Windows().LoadSystemCursor(plat::SystemCursor::IBeam));
    int x = 0, y = 0;
    app.Windows().GetCursorPos(&x, &y);
    ASSERT_NE(app.Windows().WindowFromPoint(x, y), app.MainWindow());  // headless: the pointer rests at 0, 0
    app.Tick();
    EXPECT_EQ(app.Windows().GetCursor(), app.Windows().LoadSystemCursor(plat::SystemCursor::Arrow));
    app.clock.reset();
    app.Shutdown();
}

TEST_F(AppShell, MovedWindowIsRememberedAndCtrlAltDPlaysOurOwnCue) {
    ShellApp app("ShellMove");
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    plat::WindowSystem& windows = app.Windows();
    windows.ShowWindow(app.MainWindow(), plat::ShowCommand::Show);
    plat::WindowRect rect;
    ASSERT_TRUE(windows.GetWindowRect(app.MainWindow(), &rect));
    rect.x = 123;
    rect.y = 77;
    ASSERT_TRUE(windows.MoveWindow(app.MainWindow(), rect));
    app.Feed(msg::kMove, 0, plat::MakeLParam(123, 77));
    EXPECT_EQ(app.PreferredX(), 123);
    EXPECT_EQ(app.PreferredY(), 77);

    app.Feed(msg::kKeyDown, plat::vk::kControl);
    app.Feed(msg::kSysKeyDown, plat::vk::kMenu);
    app.Feed(msg::kSysKeyDown, 'D');
    EXPECT_TRUE(app.DebugKeyMode());
    EXPECT_EQ(app.played, std::vector<int>{7});
    app.Shutdown();
}

TEST_F(AppShell, ScreenSaverRunsFullScreenWithoutCursorAndAKeyEndsIt) {
    ShellApp saver("ShellSaverRun");
    saver.SetArguments({"saver", "-screensaver", "/s"});
    saver.Initialize();
    ASSERT_TRUE(saver.IsInitialized());
    EXPECT_FALSE(saver.Settings().Values().windowed);
    EXPECT_EQ(saver.GetCursor(), 11);
    saver.SetCursor(3);  // the widget tree cannot bring a cursor back
    EXPECT_EQ(saver.GetCursor(), 11);
    saver.Feed(msg::kKeyDown, 'A');
    EXPECT_FALSE(saver.IsShuttingDown());  // the end arrives as a close message
    for (int i = 0; i < 10 && !saver.IsShuttingDown(); ++i) {
        saver.Pump();
        while (saver.DispatchQueuedInput()) {}
    }
    EXPECT_TRUE(saver.IsShuttingDown());
}

TEST_F(AppShell, DesktopSmallerThanTheGameEndsStartUpWithStatusOne) {
    ShellApp app("ShellSmall");
    int w = 0, h = 0;
    app.GetDesktopSize(&w, &h);  // no window system yet: the game's own size
    app.SetSize(std::max(w, 4000) + 1, std::max(h, 4000));
    app.Initialize();
    EXPECT_FALSE(app.IsInitialized());
    EXPECT_TRUE(app.IsShuttingDown());
    EXPECT_EQ(app.ExitCode(), 1);
}

TEST_F(AppShell, StartFolderConfigureBoxAndLeftoverSettingsFiles) {
    const std::string start = dir_ / "start";
    std::filesystem::create_directories(start);
    // A save killed mid-write left its temporary file; one of a live process stays.
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string stale = dir_ / ("settings.xml.tmp" + std::to_string(dead) + "_3");
    const std::string live = dir_ / ("settings.xml.tmp" + std::to_string(::getpid()) + "_9");
    testsupport::WriteBytes(std::filesystem::path(start) / "properties" / "config.xml",
                            "<config version=\"3\"/><title name=\"Started\"/>");
    testsupport::WriteBytes(stale, "<settings ver");
    testsupport::WriteBytes(live, "<settings ver");
    {
        ShellApp app("ShellStart");
        app.SetArguments({"game", "-changedir=" + start});
        app.Initialize();
        ASSERT_TRUE(app.IsInitialized());
        EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(start));
        EXPECT_FALSE(std::filesystem::exists(stale));
        EXPECT_TRUE(std::filesystem::exists(live));
        EXPECT_EQ(app.GetStoredDataVersion(), 3);  // config.xml read from the start folder
        EXPECT_EQ(app.Windows().GetTitle(app.MainWindow()), L"Started");
        app.Shutdown();
    }
    {
        ShellApp saver("ShellSaver");
        saver.SetArguments({"saver", "-screensaver", "/C"});
        saver.Initialize();
        EXPECT_TRUE(saver.IsShuttingDown());
        EXPECT_FALSE(saver.IsInitialized());
    }
}

}  // namespace

namespace {

// A desktop whose colour depth the device cannot use at all.
class NoDisplayFormats {
public:
    NoDisplayFormats() {
        plat::GraphicsConfig config = plat::DefaultGraphicsConfig();
        config.adapters[0].displayFormats.clear();
        plat::GraphicsSystem::SetConfigForTesting(config);
    }
    ~NoDisplayFormats() { plat::GraphicsSystem::SetConfigForTesting(std::nullopt); }
};

TEST_F(AppShell, UnusableColourDepthTriesFullScreenThenGivesUpWithStatusOne) {
    EXPECT_EXIT(
        {
            NoDisplayFormats depth;
            ShellApp app("ShellDepth1");
            app.Initialize();
            std::_Exit(7);
        },
        ::testing::ExitedWithCode(1), "switch to full screen.*Failed to initialize Direct3D");
    EXPECT_EXIT(
        {
            NoDisplayFormats depth;
            ShellApp app("ShellDepth2");
            app.SetFullscreenUnavailable();
            app.Initialize();
            std::_Exit(7);
        },
        ::testing::ExitedWithCode(1), "Please set your desktop color depth to 16 bit.");
}

// A program that needs data of its own: assets.xml, unless main.pak holds it.
class DataShellApp : public ShellApp {
public:
    using ShellApp::ShellApp;
    std::string_view RequiredDataFile() const override { return "properties/assets.xml"; }
};

TEST_F(AppShell, MissingOrDamagedGameDataSaysWhereItLookedAndEndsWithStatusOne) {
    const std::string empty = dir_ / "empty", damaged = dir_ / "damaged", loose = dir_ / "loose";
    std::filesystem::create_directories(empty);
    testsupport::WriteBytes(std::filesystem::path(damaged) / "main.pak", "not a pack at all");
    // Loose files do not excuse a pack that cannot be read.
    testsupport::WriteBytes(std::filesystem::path(damaged) / "properties/assets.xml", "<assets/>");
    testsupport::WriteBytes(std::filesystem::path(loose) / "properties/assets.xml", "<assets/>");
    const auto start = [](const std::string& folder) {
        DataShellApp app("ShellData");
        app.SetArguments({"game", "-changedir=" + folder});
        app.Initialize();
        std::_Exit(7);
    };
    EXPECT_EXIT(start(empty), ::testing::ExitedWithCode(1),
                "The game's data could not be found.\nIt looked for main.pak in " + empty + "\\.");
    EXPECT_EXIT(start(damaged), ::testing::ExitedWithCode(1),
                "The game's data could not be read.\nIt looked for main.pak in " + damaged + "\\.");
    // A start folder that is not there: the folder the program was started
    // from does not stand in for it, even with data beside the program.
    std::filesystem::current_path(loose);
    EXPECT_EXIT(start(empty + "/gone"), ::testing::ExitedWithCode(1),
                "The game's data could not be found.\nIt looked for main.pak in " + empty + "/gone\\.");
    DataShellApp app("ShellLooseData");
    app.SetArguments({"game", "-changedir=" + loose});
    app.Initialize();
    EXPECT_TRUE(app.IsInitialized());
}

TEST_F(AppShell, HelpAndUnknownOptionsPrintTheUsageAndWriteNothing) {
    const std::string fresh = dir_ / "fresh";
    SetAppDataFolder(fresh + "/");
    const auto start = [](const char* option) {
        ShellApp app("ShellUsage");
        app.SetArguments({"/usr/games/halvaro", option});
        app.Initialize();
        std::_Exit(7);
    };
    EXPECT_EXIT(start("--help"), ::testing::ExitedWithCode(1), "^Usage: halvaro .*\n  -changedir=FOLDER ");
    EXPECT_EXIT(start("-windowd"), ::testing::ExitedWithCode(1),
                "^Invalid command line parameter: -windowd\nUsage: halvaro ");
    EXPECT_FALSE(std::filesystem::exists(fresh));  // not even the data folder
}

TEST_F(AppShell, CrashOptionRaisesTheCrashReportAtOnce) {
    EXPECT_DEATH(
        {
            ShellApp app("ShellCrash");
            app.SetArguments({"game", "-crash"});
            app.Initialize();
            std::_Exit(0);
        },
        "");
}

}  // namespace
