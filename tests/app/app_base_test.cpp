// The application base on the headless window system: a whole run marks the
// settings in progress and clears the mark at its end, a shutdown asked for
// by another thread ends the loop from the main thread, the loop keeps its
// fixed update rate, and the registry value lands under the application's key.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "app/settings/settings_file.h"
#include "app/shell/vorn_app_base.h"
#include "foundation/files/path_utils.h"
#include "foundation/files/xml_parser.h"
#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "foundation/system/track_interface.h"
#include "platform/system/registry.h"
#include "platform/window/virtual_keys.h"
#include "tests/foundation/test_support.h"
#include "tests/platform/temp_folder.h"

namespace {

class RecordingMusic : public TrackInterface {
public:
    void SetVolumeForName(std::wstring_view name, double volume) override { volumes[std::wstring(name)] = volume; }
    void UpdateFades() override { ++fades; }
    std::map<std::wstring, double> volumes;
    int fades = 0;
};

class CountingApp : public VornAppBase {
public:
    std::unique_ptr<TrackInterface> CreateMusicInterface() override {
        auto made = std::make_unique<RecordingMusic>();
        music = made.get();
        return made;
    }
    RecordingMusic* music = nullptr;
    CountingApp() {
        productName_ = "AppBaseTest";
        registryKey_ = "Maker\\Game";
    }
    void OnShutdownBegin() override { ++shutdowns; }
    void OnRunEnded() override { ++runsEnded; }
    int UpdateCount() const { return pacer_.UpdateCount(); }
    int shutdowns = 0;
    int runsEnded = 0;
};

std::wstring ReadInProgress(const std::string& path) {
    XMLElement seen;
    ReadSettingsFile(path, [&](const XMLElement& e) { seen = e; });
    return seen.attributes[L"in-progress"];
}

TEST(AppBase, RunEndedFromAnotherThreadSavesTheSettingsWithoutTheMark) {
    testsupport::TempFolder dir;
    const std::string previous = GetAppDataFolder();
    SetAppDataFolder(dir.Path().string() + "/");
    testsupport::WriteBytes(dir / "settings.xml", "<settings vol-theme=\"40\"/>");
    {
        CountingApp app;
        app.Initialize();
        ASSERT_TRUE(app.IsInitialized());
        ASSERT_TRUE(app.music);
        EXPECT_EQ(app.music->volumes, (std::map<std::wstring, double>{{L"theme", 0.4}}));
        EXPECT_EQ(ReadInProgress(dir / "settings.xml"), L"1");

        app.WriteAppRegistryString("Dure3V\\RuntimeError", "lost device");
        plat::Registry registry(dir.Path().string() + "/");
        EXPECT_EQ(registry.GetString("SOFTWARE\\Maker\\Game\\Dure3V", "RuntimeError"), "lost device");

        std::thread other([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            app.Shutdown();
        });
        const auto start = std::chrono::steady_clock::now();
        app.Run();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        other.join();
        EXPECT_TRUE(app.IsShuttingDown());
        EXPECT_EQ(app.runsEnded, 1);
        // A fixed 10 ms step: about one update per 10 ms of run (loose, the
        // machine is shared).
        EXPECT_GT(app.UpdateCount(), ms / 10 * 0.5);
        EXPECT_LE(app.UpdateCount(), ms / 10 + 25);
        EXPECT_EQ(app.music->fades, app.UpdateCount());  // music fades once per step
        EXPECT_EQ(ReadInProgress(dir / "settings.xml"), L"0");
        app.Shutdown();
        EXPECT_EQ(app.shutdowns, 1);
    }
    SetAppDataFolder(previous);
}

}  // namespace

namespace {

namespace msg = plat::msg;
namespace vk = plat::vk;

// Feeds messages the way the window procedure does and drains them.
class InputApp : public VornAppBase {
public:
    void Feed(uint32_t id, plat::WParam wParam, plat::LParam lParam = 0) {
        HandleWindowMessage(mainWindow_, id, wParam, lParam);
        while (DispatchQueuedInput()) {}
    }
    void SwitchScreenMode(bool windowed, bool forced) override {
        switches.push_back(windowed);
        VornAppBase::SwitchScreenMode(windowed, forced);
    }
    void KeyDown(int key) override {
        keys.push_back(key);
        VornAppBase::KeyDown(key);
    }
    void PlayDebugModeCue() override { ++cues; }
    void SetFullscreenUnavailable() { fullscreenUnavailable_ = true; }
    std::vector<bool> switches;
    std::vector<int> keys;
    int cues = 0;
};

TEST(AppBaseInput, AltEnterCtrlAltDAndMinimiseMute) {
    testsupport::TempFolder dir;
    const std::string previous = GetAppDataFolder();
    SetAppDataFolder(dir.Path().string() + "/");
    {
        InputApp app;
        app.Initialize();
        ASSERT_TRUE(app.IsInitialized());

        app.Feed(msg::kSysKeyDown, vk::kMenu);
        app.Feed(msg::kSysKeyDown, vk::kReturn);
        EXPECT_EQ(app.switches, std::vector<bool>{false});                   // windowed -> fullscreen
        EXPECT_EQ(app.keys, std::vector<int>{static_cast<int>(vk::kMenu)});  // Enter consumed
        app.SetFullscreenUnavailable();
        app.Feed(msg::kSysKeyDown, vk::kMenu);
        app.Feed(msg::kSysKeyDown, vk::kReturn);
        EXPECT_EQ(app.switches.size(), 1u);
        EXPECT_EQ(app.keys.back(), static_cast<int>(vk::kReturn));  // passed on as a key

        app.Feed(msg::kKeyDown, vk::kControl);
        app.Feed(msg::kKeyDown, 'D');
        EXPECT_TRUE(app.DebugKeyMode());
        EXPECT_EQ(app.cues, 1);
        app.Feed(msg::kKeyUp, vk::kControl);
        app.Feed(msg::kSysKeyUp, vk::kMenu);
        app.Feed(msg::kKeyDown, 'D');
        EXPECT_TRUE(app.DebugKeyMode());
        EXPECT_EQ(app.cues, 1);

        app.Feed(msg::kActivateApp, 1);
        EXPECT_FALSE(app.IsMuted());
        app.Feed(msg::kSize, plat::kSizeMinimized);
        EXPECT_TRUE(app.IsMuted());
        app.Feed(msg::kSize, plat::kSizeRestored);
        EXPECT_FALSE(app.IsMuted());
        app.Feed(msg::kActivateApp, 0);
        EXPECT_TRUE(app.IsMuted());
        app.Feed(msg::kActivateApp, 1);
        EXPECT_FALSE(app.IsMuted());
        app.Shutdown();
    }
    SetAppDataFolder(previous);
}

}  // namespace

namespace {

TEST(AppBaseDeathTest, SecondInstanceLeavesWithZeroAndBadOptionWithOne) {
    // The first copy runs threads, and a plain fork can copy a lock one of
    // them holds at that moment (the child then hangs at its exit): each
    // second copy is a fresh run of this program instead, which finds the
    // first copy's data folder through the environment. In that run the
    // "first" copy below is already the second one and leaves with 0.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    constexpr const char* kFolderVariable = "HALVARO_TEST_FIRST_COPY_FOLDER";
    std::optional<testsupport::TempFolder> dir;
    std::string folder;
    if (const char* inherited = std::getenv(kFolderVariable)) {
        folder = inherited;
    } else {
        dir.emplace();
        folder = dir->Path().string() + "/";
        setenv(kFolderVariable, folder.c_str(), 1);
    }
    const std::string previous = GetAppDataFolder();
    SetAppDataFolder(folder);
    {
        CountingApp first;
        first.Initialize();
        ASSERT_TRUE(first.IsInitialized());
        // The second copy leaves the first one's files alone: a rewrite
        // would give settings.xml a new inode.
        struct stat before {};
        ASSERT_EQ(::stat((folder + "settings.xml").c_str(), &before), 0);
        EXPECT_EXIT(
            {
                CountingApp second;
                second.Initialize();
                std::_Exit(7);  // not reached when the second copy leaves
            },
            ::testing::ExitedWithCode(0), "");
        struct stat after {};
        ASSERT_EQ(::stat((folder + "settings.xml").c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        first.Shutdown();
    }
    EXPECT_EXIT(
        {
            CountingApp app;
            app.SetArguments({"game", "-no-such-option"});
            app.Initialize();
            std::_Exit(7);
        },
        ::testing::ExitedWithCode(1), "Invalid command line parameter: -no-such-option");
    SetAppDataFolder(previous);
    if (dir) unsetenv(kFolderVariable);
}

}  // namespace

namespace {

// Start-up reads settings.xml long before it knows whether logging is on:
// the note about a damaged file must still reach the log once it opens.
TEST(AppBase, TheDamagedSettingsNoteReachesTheLogOpenedLater) {
    testsupport::TempFolder dir;
    testsupport::TempFolder desktop;
    testsupport::ScopedEnv xdg("XDG_DESKTOP_DIR", desktop.Path().c_str());
    const std::string previous = GetAppDataFolder();
    SetAppDataFolder(dir.Path().string() + "/");
    testsupport::WriteBytes(dir / "settings.xml", "<settings vol-theme=");
    LogSetProductName("AppBaseLog");
    {
        CountingApp app;
        app.Initialize();
        ASSERT_TRUE(app.IsInitialized());
        LogInit(true);  // as the loading does, once the constants are read
        const std::wstring log = text::FromUtf16LE(testsupport::ReadBytes(desktop / "AppBaseLog.log"));
        EXPECT_NE(log.find(L"settings.xml is unreadable; it was moved aside to settings.xml.bad"), std::wstring::npos)
            << text::ToUtf8(log);
        app.Shutdown();
    }
    LogDisable();
    LogSetProductName("Halvaro");
    SetAppDataFolder(previous);
}

}  // namespace
