// The game application on the headless window system: the start-up screens
// run logo, "splash", "splash2", first screen through the main loop on a fake
// clock while the loading thread fills the bar to exactly its total; without
// the logo the first screen comes at once; and the pause counter stops the
// widgets, the board and the focused menu and never goes below 0.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/assets/asset_host.h"
#include "app/assets/asset_records.h"
#include "app/assets/asset_registry.h"
#include "app/player/basic_player_state.h"
#include "app/shell/game_app.h"
#include "foundation/system/log.h"
#include "rendering/image/image_surface.h"
#include "tests/app/app_services_support.h"
#include "tests/platform/temp_folder.h"
#include "widgets/screens/board.h"
#include "widgets/screens/distributor_screen.h"
#include "widgets/screens/logo_screen.h"
#include "widgets/screens/menu.h"
#include "widgets/screens/title_screen.h"

namespace {

namespace fs = std::filesystem;

class FirstScreen : public TitleScreen {
public:
    FirstScreen() : TitleScreen(nullptr) {}
    void LoadingFinished() override {
        ++finished;
        TitleScreen::LoadingFinished();
    }
    int finished = 0;
};

class PlainBoard : public Board {
public:
    void ShowMainMenu() override {}
    void ShowPlayMenu() override {}
};

// Notes the thread of every volume call: the loading thread must leave the
// mixer's channels to the main thread.
class ThreadRecordingSounds : public testsupport::VolumeRecordingSounds {
public:
    void SetMasterVolume(double volume) override {
        threads.push_back(std::this_thread::get_id());
        VolumeRecordingSounds::SetMasterVolume(volume);
    }
    std::vector<std::thread::id> threads;
};

struct Opened {
    std::string kind;
    int update = 0;
};

class StartupApp : public GameApp {
public:
    static constexpr int kExtraSteps = 2;

    StartupApp(std::string folder, bool logo) : GameApp("StartupTest", "v0.1", 800, 600), folder_(std::move(folder)) {
        showLogoScreen_ = logo;
        auto made = std::make_unique<ThreadRecordingSounds>();
        sounds = made.get();
        soundManager_ = std::move(made);
    }
    ~StartupApp() override { WaitForLoadingThread(); }

    uint32_t Now() override { return clock; }
    void Sleep(uint32_t ms) override { clock += ms > 0 ? ms : 1; }
    bool HandleChangeDirectory(const std::string&) override {
        fs::current_path(folder_);
        return true;
    }
    int GetExtraLoadingSteps() override { return kExtraSteps; }
    void LoadResources() override {
        GameApp::LoadResources();
        progressBeforeExtra = GetLoadingProgress();
        for (int i = 0; i < kExtraSteps; ++i) AdvanceLoadingStep();
    }
    void LoadingThreadCompleted() override {
        volumesBeforeCompletion = sounds->masterVolumes.size();
        GameApp::LoadingThreadCompleted();
    }
    TitleScreen* CreateFirstScreen() override {
        first = new FirstScreen();
        return first;
    }
    void AddMenu(Menu* menu) override {
        std::string kind = dynamic_cast<LogoScreen*>(menu)          ? "logo"
                           : dynamic_cast<DistributorScreen*>(menu) ? "splash"
                           : dynamic_cast<TitleScreen*>(menu)       ? "first"
                                                                    : "other";
        opened.push_back({kind, updates});
        GameApp::AddMenu(menu);
    }
    void UpdateFrames() override {
        ++updates;
        GameApp::UpdateFrames();
        if (first && ResourcesLoaded()) {
            progressAtEnd = GetLoadingProgress();
            Shutdown();
        }
        if (updates > 5000) Shutdown();  // a sequence that never ends fails, not hangs
    }
    // Time passes while the loop runs, as a real clock's would.
    void PumpWindowMessages() override {
        ++clock;
        GameApp::PumpWindowMessages();
    }
    int ShowMessageBox(std::wstring_view, std::wstring_view text) override {
        boxes.push_back(std::wstring(text));
        return 1;
    }
    void Pause(bool on) { on ? Deactivated() : Activated(); }
    bool Redraw() override {
        const bool drew = GameApp::Redraw();
        if (drew && !drewFrame) loadingAtFirstFrame = LoadingThreadStarted();
        drewFrame = drewFrame || drew;
        return drew;
    }
    Image* Pointer() const { return customCursorImages_[0]; }

    uint32_t clock = 1000;
    int updates = 0;
    FirstScreen* first = nullptr;
    double progressAtEnd = -1;
    double progressBeforeExtra = -1;
    std::vector<Opened> opened;
    std::vector<std::wstring> boxes;
    ThreadRecordingSounds* sounds = nullptr;
    size_t volumesBeforeCompletion = 0;
    bool drewFrame = false;
    bool loadingAtFirstFrame = false;

private:
    std::string folder_;
};

// A content folder: the logo pictures and splash pictures of the repository,
// and files whose loading steps the test counts itself.
class GameAppTest : public ::testing::Test {
protected:
    static constexpr int kGameFiles = 2;
    static constexpr int kAnimations = 3;

    void SetUp() override {
        const fs::path data = fs::path(HALVARO_SOURCE_DIR) / "data";
        fs::create_directories(dir_ / "images");
        fs::create_directories(dir_ / "properties");
        fs::copy(data / "images" / "logo", dir_ / "images/logo", fs::copy_options::recursive);
        fs::copy_file(data / "splash.jpg", dir_ / "splash.jpg");
        fs::copy_file(data / "splash2.jpg", dir_ / "splash2.jpg");
        std::string assets = "<assets><intro>";
        for (const char* name : {"P", "E", "L", "M", "A", "E_Tilt", "M_Tilt", "Trail", "PelmarTM"})
            assets += std::string("<image name=\"") + name + "\" path=\"images/logo\"/>";
        assets += "<image name=\"Ball\" path=\"images/logo\" cols=\"3\"/></intro><game>";
        for (int i = 0; i < kGameFiles; ++i) assets += "<sound name=\"s" + std::to_string(i) + "\" path=\"sounds\"/>";
        assets += "</game></assets>";
        testsupport::WriteBytes(dir_ / "properties/assets.xml", assets);
        std::string animations = "<animations>";
        for (int i = 0; i < kAnimations; ++i) animations += "<animation name=\"a" + std::to_string(i) + "\"/>";
        testsupport::WriteBytes(dir_ / "properties/animations.xml", animations + "</animations>");
        testsupport::WriteBytes(dir_ / "properties/constants.xml", "<constants><define logging=\"0\"/></constants>");
    }

    testsupport::ScopedDataFolder appData_;
    testsupport::TempFolder dir_;
    testsupport::CurrentDirectoryGuard cwd_{fs::current_path()};
};

TEST_F(GameAppTest, StartupScreensRunInOrderWhileLoadingFillsTheBar) {
    StartupApp app(dir_.Path().string(), true);
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    ASSERT_NE(app.Assets(), nullptr);
    EXPECT_EQ(AssetRegistry::Instance(), app.Assets());
    ASSERT_EQ(app.opened.size(), 1u);
    EXPECT_EQ(app.opened[0].kind, "logo");

    app.Run();

    ASSERT_EQ(app.opened.size(), 4u) << "boxes: " << app.boxes.size();
    EXPECT_EQ(app.opened[1].kind, "splash");
    EXPECT_EQ(app.opened[2].kind, "splash");
    EXPECT_EQ(app.opened[3].kind, "first");
    // The logo lasts its 500 updates; each picture more than 400.
    EXPECT_GE(app.opened[1].update, LogoScreen::kEndUpdate);
    EXPECT_GT(app.opened[2].update - app.opened[1].update, 400);
    EXPECT_GT(app.opened[3].update - app.opened[2].update, 400);
    EXPECT_TRUE(app.boxes.empty());

    // Game files, fonts (none), animations, constants.xml and the game's own.
    const int total = kGameFiles + 0 + kAnimations + 1 + StartupApp::kExtraSteps;
    EXPECT_EQ(app.LoadingStepsDone(), total);
    // The bar's total is exactly that: short of the game's steps it reads their share less.
    EXPECT_DOUBLE_EQ(app.progressBeforeExtra, static_cast<double>(total - StartupApp::kExtraSteps) / total);
    EXPECT_DOUBLE_EQ(app.progressAtEnd, 1.0);
    ASSERT_NE(app.first, nullptr);
    EXPECT_EQ(app.first->finished, 1);  // opened after loading ended: told at once, and once
    EXPECT_EQ(app.LoadingScreen(), app.first);

    // The player is done with it: the intro pictures go, the second time finds nothing.
    EXPECT_NE(app.Assets()->FindImageByName(L"Ball"), nullptr);
    app.first->Close();
    EXPECT_EQ(app.LoadingScreen(), nullptr);
    EXPECT_EQ(app.Assets()->FindImageByName(L"Ball"), nullptr);
    app.TitleScreenDone();
    EXPECT_EQ(app.Assets()->FindImageByName(L"P"), nullptr);
}

TEST_F(GameAppTest, WithoutTheLogoTheFirstScreenComesAtOnce) {
    StartupApp app(dir_.Path().string(), false);
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    // Without a settings.xml the game's own defaults hold: full screen, its own cursors.
    EXPECT_FALSE(app.Settings().Values().windowed);
    EXPECT_TRUE(app.Settings().Values().customCursors);
    ASSERT_EQ(app.opened.size(), 1u);
    EXPECT_EQ(app.opened[0].kind, "first");
    EXPECT_EQ(app.LoadingScreen(), app.first);
    EXPECT_EQ(app.first->finished, 0);  // loading has not run yet
    EXPECT_GT(app.SplashCounter(), 2);
    app.Run();
    EXPECT_EQ(app.first->finished, 1);  // told when loading ended
    EXPECT_EQ(app.opened.size(), 1u);
}

TEST_F(GameAppTest, TheLoadedSoundsTakeTheEffectsVolumeOnTheMainThread) {
    StartupApp app(dir_.Path().string(), false);
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    app.SetSfxVolume(0.4);
    app.Run();
    ASSERT_TRUE(app.ResourcesLoaded());
    for (const std::thread::id& thread : app.sounds->threads) EXPECT_EQ(thread, std::this_thread::get_id());
    // Applied again once loading completed, so the sounds it loaded have it.
    ASSERT_GT(app.sounds->masterVolumes.size(), app.volumesBeforeCompletion);
    EXPECT_DOUBLE_EQ(app.sounds->masterVolumes[app.volumesBeforeCompletion], 0.4);
}

// The images of both assets passes decode from the moment the data is
// mounted: the intro pass registers its own before the loading thread runs,
// the game pass the rest after it, a file both passes list included, and
// each is the file's own picture.
TEST_F(GameAppTest, BothPassesRegisterTheFilesOwnPicturesDecodedAheadOfThem) {
    fs::create_directories(dir_ / "images/game");
    fs::copy_file(dir_ / "images/logo/Ball.png", dir_ / "images/game/Wheel.png");
    std::string assets = "<assets><intro><image name=\"P\" path=\"images/logo\"/>";
    assets += "<image name=\"Trail\" path=\"images/logo\"/></intro><game>";
    assets += "<image name=\"Wheel\" path=\"images/game\"/><image name=\"Trail\" path=\"images/logo\"/>";
    testsupport::WriteBytes(dir_ / "properties/assets.xml", assets + "</game></assets>");

    StartupApp app(dir_.Path().string(), false);
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    EXPECT_NE(app.Assets()->FindImageByName(L"Trail"), nullptr);
    EXPECT_EQ(app.Assets()->FindImageByName(L"Wheel"), nullptr);  // the loading thread's
    app.Run();
    ASSERT_TRUE(app.ResourcesLoaded());

    AssetHost plain;
    for (const auto& [name, path] : {std::pair{L"P", "images/logo/P"}, std::pair{L"Trail", "images/logo/Trail"},
                                     std::pair{L"Wheel", "images/game/Wheel"}}) {
        auto* registered = dynamic_cast<ImageSurface*>(app.Assets()->FindImageByName(name));
        ImageRecord record;
        record.name = name;
        record.path = path;
        std::unique_ptr<ImageSurface> file = plain.LoadImageFile(record);
        ASSERT_NE(registered, nullptr) << path;
        ASSERT_NE(file, nullptr) << path;
        ASSERT_EQ(registered->GetWidth(), file->GetWidth()) << path;
        ASSERT_EQ(registered->GetHeight(), file->GetHeight()) << path;
        const size_t bytes = sizeof(uint32_t) * file->GetWidth() * file->GetHeight();
        EXPECT_EQ(std::memcmp(registered->GetBits(), file->GetBits(), bytes), 0) << path;
    }
}

// Only the intro section comes before the first frame; the loading thread
// starts after it and registers the persistent section (the cursors among
// it). A title screen that opens at once registers that section itself.
TEST_F(GameAppTest, ThePersistentSectionFollowsTheFirstFrameUnlessTheTitleComesFirst) {
    fs::create_directories(dir_ / "images/menu");
    fs::copy_file(dir_ / "images/logo/P.png", dir_ / "images/menu/custom_pointer.png");
    std::string assets = testsupport::ReadBytes(dir_ / "properties/assets.xml");
    assets.insert(assets.find("<game>"),
                  "<persistent><image name=\"custom_pointer\" path=\"images/menu\"/></persistent>");
    testsupport::WriteBytes(dir_ / "properties/assets.xml", assets);
    {
        StartupApp app(dir_.Path().string(), true);
        app.Initialize();
        ASSERT_TRUE(app.IsInitialized());
        EXPECT_NE(app.Assets()->FindImageByName(L"Ball"), nullptr);
        EXPECT_EQ(app.Assets()->FindImageByName(L"custom_pointer"), nullptr);
        app.Run();
        EXPECT_TRUE(app.drewFrame);
        EXPECT_FALSE(app.loadingAtFirstFrame);
        ASSERT_NE(app.Assets()->FindImageByName(L"custom_pointer"), nullptr);
        EXPECT_EQ(app.Pointer(), app.Assets()->FindImageByName(L"custom_pointer"));
    }
    StartupApp app(dir_.Path().string(), false);
    app.Initialize();
    ASSERT_NE(app.Assets()->FindImageByName(L"custom_pointer"), nullptr);
    EXPECT_EQ(app.Pointer(), app.Assets()->FindImageByName(L"custom_pointer"));
    app.Run();
    EXPECT_TRUE(app.ResourcesLoaded());
}

// The log as plain text (its lines are UTF-16LE; ASCII content only).
std::string ReadLog(const fs::path& folder) {
    std::string text;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".log")
            for (char c : testsupport::ReadBytes(entry.path().string()))
                if (c != '\0') text += c;
    return text;
}

double Statistic(const std::string& log, const std::string& name) {
    const size_t at = log.find(name + " = ");
    return at == std::string::npos ? -1.0 : std::stod(log.substr(log.find('=', at) + 1));
}

TEST_F(GameAppTest, ExitStatisticsGoToTheLogAndCountFramesOverTheWholeRun) {
    testsupport::WriteBytes(dir_ / "properties/constants.xml", "<constants><define logging=\"1\"/></constants>");
    testsupport::TempFolder desktop;
    const char* was = std::getenv("XDG_DESKTOP_DIR");
    const std::string saved = was ? was : "";
    ::setenv("XDG_DESKTOP_DIR", desktop.Path().c_str(), 1);
    testing::internal::CaptureStderr();
    {
        StartupApp app(dir_.Path().string(), false);
        app.Initialize();
        ASSERT_TRUE(app.IsInitialized());
        app.Run();
    }
    const std::string terminal = testing::internal::GetCapturedStderr();
    LogDisable();
    was ? ::setenv("XDG_DESKTOP_DIR", saved.c_str(), 1) : ::unsetenv("XDG_DESKTOP_DIR");

    EXPECT_EQ(terminal.find("Update Count"), std::string::npos) << terminal;
    EXPECT_EQ(terminal.find("DESTROYED HWND"), std::string::npos) << terminal;
    const std::string log = ReadLog(desktop.Path());
    const double milliseconds = std::round(Statistic(log, "Seconds      ") * 1000.0);
    const double draws = Statistic(log, "Draw Count   ");
    ASSERT_GT(milliseconds, 0) << log;
    ASSERT_GT(draws, 0) << log;
    EXPECT_EQ(Statistic(log, "Avg FPS      "), std::floor(draws * 1000.0 / milliseconds)) << log;
}

TEST_F(GameAppTest, PauseCounterStopsWidgetsBoardAndFocusedMenuAndStaysAtOrAboveZero) {
    StartupApp app(dir_.Path().string(), false);
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    auto* menu = new Menu(nullptr, false, false);
    app.GameApp::AddMenu(menu);
    app.Widgets().SetFocus(menu);
    ASSERT_EQ(app.GetMenuStack().FocusedMenu(), menu);
    PlainBoard board;
    app.SetBoard(&board);

    app.Pause(true);
    app.Pause(true);
    EXPECT_EQ(app.GetPauseCount(), 2);
    EXPECT_TRUE(board.IsBoardPaused());
    EXPECT_TRUE(menu->IsPaused());
    EXPECT_FALSE(app.first->IsPaused());  // the title screen never pauses
    app.Pause(false);
    EXPECT_TRUE(board.IsBoardPaused());
    app.Pause(false);
    app.Pause(false);
    EXPECT_EQ(app.GetPauseCount(), 0);
    EXPECT_FALSE(board.IsBoardPaused());
    EXPECT_FALSE(menu->IsPaused());

    // Removing the focused menu hands the focus to the one below it.
    app.RemoveMenu(menu);
    EXPECT_EQ(app.GetMenuStack().FocusedMenu(), app.first);
    app.SetBoard(nullptr);

    // The scripts' values and the player's symbols and play time.
    EXPECT_EQ(app.GetSystemValue(L"screen_width").ToInt(), 800);
    EXPECT_TRUE(app.GetSystemValue(L"windows").ToBool());
    EXPECT_EQ(app.GetSystemValue(L"Mouse_x").ToString(), L"");
    EXPECT_EQ(app.PlayerSymbols(), nullptr);
    PlayTime time;
    EXPECT_FALSE(app.GetPlayTime(time));
    BasicPlayerState player;
    player.MakeCurrent();
    player.hours_ = 2;
    player.centiseconds_ = 5999;
    ASSERT_TRUE(app.GetPlayTime(time));
    EXPECT_EQ(time.hours, 2);
    EXPECT_EQ(time.ticks, 5999);
    EXPECT_EQ(app.PlayerSymbols(), &player.symbols_);

    // The hidden word quits without the game saving.
    app.HandleTypedCommand(L"wimbolx");
    EXPECT_TRUE(app.SaveOnExit());
    app.HandleTypedCommand(L"wimbolxe");
    EXPECT_FALSE(app.SaveOnExit());
    EXPECT_TRUE(app.IsShuttingDown());
}

}  // namespace
