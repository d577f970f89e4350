// The application's services as the game uses them: the mute counter with
// volumes set while muted, what the lower layers reach through the wiring,
// the loading thread's progress, the screen-mode switch, and the error file
// that stands in for message boxes in screensaver mode.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/assets/asset_registry.h"
#include "app/crash/crash_host.h"
#include "app/settings/settings_file.h"
#include "app/shell/loading_thread.h"
#include "app/shell/screensaver_watch.h"
#include "foundation/files/xml_parser.h"
#include "foundation/system/app_services.h"
#include "platform/window/messages.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/image.h"
#include "rendering/image/image_surface.h"
#include "rendering/imagefile/image_files.h"
#include "tests/app/app_services_support.h"
#include "tests/platform/fake_opener.h"
#include "tests/support/text_pattern.h"
#include "widgets/screens/menu_host.h"

namespace {

namespace msg = plat::msg;
using testsupport::ScopedDataFolder;
using testsupport::ServicesApp;

std::map<std::wstring, std::wstring> ReadSettings(const std::string& path) {
    std::map<std::wstring, std::wstring> seen;
    ReadSettingsFile(path, [&](const XMLElement& e) {
        for (const auto& [k, v] : e.attributes) seen[k] = v;
    });
    return seen;
}

TEST(AppSoundServices, MuteLevelsNestAndVolumesSetWhileMutedTakeEffectAtTheLastUnmute) {
    ScopedDataFolder data;
    ServicesApp app;
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    app.Feed(msg::kActivateApp, 1);
    ASSERT_EQ(app.MuteCount(), 0);
    const int resumed = app.tracks->resumes;
    app.SetSfxVolume(0.6);
    EXPECT_EQ(app.sound->masterVolumes.back(), 0.6);

    // Minimising an active window: the minimise and the lost visibility each add a level.
    app.Feed(msg::kSize, plat::kSizeMinimized);
    EXPECT_EQ(app.MuteCount(), 2);
    EXPECT_EQ(app.tracks->master, 0.0);
    EXPECT_EQ(app.tracks->pauses, 2);
    EXPECT_EQ(app.sound->masterVolumes.back(), 0.0);

    // Set while muted: stored, sent as 0.
    app.SetSfxVolume(0.3);
    app.SetTrackVolume(L"theme", 0.4);
    app.RegisterTrackVolume(L"menu");
    app.RegisterTrackVolume(L"theme");  // an existing entry keeps its value
    EXPECT_EQ(app.sound->masterVolumes.back(), 0.0);
    EXPECT_EQ(app.GetSfxVolume(), 0.3);
    EXPECT_EQ(app.GetTrackVolume(L"theme"), 0.4);
    EXPECT_EQ(app.GetTrackVolume(L"menu"), 0.85);
    EXPECT_EQ(app.GetTrackVolume(L"never"), 0.0);
    EXPECT_EQ(app.tracks->sent[L"theme"], 0.0);
    EXPECT_EQ(app.tracks->sent[L"menu"], 0.0);

    // The stored values are what the settings keep.
    app.SaveSettingsFile();
    auto saved = ReadSettings(data.Folder() / "settings.xml");
    EXPECT_EQ(saved[L"vol-theme"], L"40");
    EXPECT_EQ(saved[L"sfx"], L"30");

    app.Unmute();
    EXPECT_TRUE(app.IsMuted());
    EXPECT_EQ(app.tracks->sent[L"theme"], 0.0);
    EXPECT_EQ(app.tracks->resumes, resumed);

    app.Unmute();
    EXPECT_FALSE(app.IsMuted());
    EXPECT_EQ(app.tracks->master, 1.0);
    EXPECT_EQ(app.tracks->resumes, resumed + 1);
    EXPECT_EQ(app.sound->masterVolumes.back(), 0.3);
    // A track volume set while muted is heard again, not left at 0.
    EXPECT_EQ(app.tracks->sent[L"theme"], 0.4);
    EXPECT_EQ(app.tracks->sent[L"menu"], 0.85);

    app.Unmute();  // one too many: the counter stays at 0
    EXPECT_EQ(app.MuteCount(), 0);
    app.Mute();
    EXPECT_TRUE(app.IsMuted());

    // The mixer volume also becomes the effects volume.
    app.SetMixerVolume(0.7);
    EXPECT_EQ(app.sound->mixer, 0.7);
    EXPECT_EQ(app.GetSfxVolume(), 0.7);
    app.Shutdown();
}

TEST(AppSoundServices, LowerLayersReachTheApplicationThroughTheWiring) {
    ScopedDataFolder data;
    {
        ServicesApp app;
        app.Initialize();
        // The registry the game owns; the application answers from it.
        AssetRegistry assets(&app.GetAssetHost());
        ImageData pixels;
        ASSERT_TRUE(pixels.Allocate(4, 4, true));
        ASSERT_TRUE(WritePNGImage(data.Folder() / "logo.png", pixels));
        ImageRecord logo;
        logo.path = data.Folder() / "logo";
        logo.name = L"logo";
        ASSERT_TRUE(assets.AddImage(logo, false));
        SoundRecord themeRecord;
        themeRecord.path = "music/theme.ogg";
        themeRecord.name = L"theme";
        assets.AddTrack(themeRecord, false);

        EXPECT_EQ(FindImageByName(L"logo"), static_cast<ExtendedPropertyInterface*>(assets.FindImageByName(L"logo")));
        EXPECT_NE(FindImageByName(L"logo"), nullptr);
        EXPECT_EQ(FindSoundId(L"other"), -1);
        const int theme = FindTrackId(L"theme");
        EXPECT_GE(theme, 0);
        app.PlayTrackByName(L"theme", -1, true);
        EXPECT_EQ(app.tracks->played, std::vector<int>{theme});
        // Every declared track has a volume of its own in the settings.
        EXPECT_EQ(app.Settings().Values().trackVolumes.size(), 1u);
        EXPECT_EQ(app.Settings().Values().trackVolumes.begin()->second, 0.85);

        SetStoredDataVersion(12);
        EXPECT_EQ(GetStoredDataVersion(), 12);
        EXPECT_EQ(ReadSettings(data.Folder() / "settings.xml").count(L"version"), 1u);
        app.SaveSettingsFile();
        EXPECT_EQ(ReadSettings(data.Folder() / "settings.xml")[L"version"], L"12");

        // The crash reporter's view of the application.
        const std::string header = Service<CrashHost>::Get().BuildCrashReportHeader();
        EXPECT_TRUE(testsupport::MatchesPattern(header,
                                                "Product: ServicesTest\r\nVersion: [0-9.]+\r\n"
                                                "Time Loaded: 00:00:[0-5][0-9]\r\nFullscreen: No\r\n"
                                                "Primary ThreadId: [0-9A-F]+\r\n"))
            << header;
        EXPECT_FALSE(app.GetProductVersion(VornAppBase::ProgramFilePath()).empty());
        EXPECT_TRUE(app.GetProductVersion(data.Folder() / "settings.xml").empty());
        app.Shutdown();
    }
    EXPECT_EQ(Service<CrashHost>::Installed(), nullptr);
    EXPECT_EQ(Service<MenuHost>::Installed(), nullptr);
}

TEST(LoadingThread, ProgressIsTheStepShareCappedAtOneAndOneOnceHandled) {
    struct Case {
        bool handled, started;
        int total, done;
        double expected;
    };
    const Case cases[] = {
        {false, false, 4, 2, 0.0}, {false, true, 0, 5, 0.0}, {false, true, 3, 1, 1.0 / 3},
        {false, true, 4, 9, 1.0},  {true, true, 8, 2, 1.0},  {true, false, 0, 0, 1.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(LoadingProgress(c.handled, c.started, c.total, c.done), c.expected)
            << c.handled << c.started << " " << c.total << " " << c.done;
}

class LoadingApp : public ServicesApp {
public:
    void LoadResources() override {
        ++loads;
        for (int i = 0; i < 3; ++i) AdvanceLoadingStep();  // through the foundation's entry point
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void LoadingThreadCompleted() override {
        ++completions;
        VornAppBase::LoadingThreadCompleted();
    }
    std::atomic<int> loads{0};
    std::atomic<bool> release{false};
    int completions = 0;
};

template <class Predicate>
bool WaitFor(Predicate done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

TEST(LoadingThread, ProgressFollowsTheStepsAndCompletionIsHandledOnceOnTheMainThread) {
    ScopedDataFolder data;
    LoadingApp app;
    app.Initialize();
    app.SetLoadingSteps(5);
    EXPECT_EQ(app.GetLoadingProgress(), 0.0);
    EXPECT_FALSE(app.Throttled());

    app.StartLoadingThread();
    EXPECT_TRUE(app.Throttled());
    ASSERT_TRUE(WaitFor([&] { return app.LoadingStepsDone() == 3; }));
    EXPECT_DOUBLE_EQ(app.GetLoadingProgress(), 0.6);
    app.Step();
    EXPECT_EQ(app.completions, 0);

    app.release = true;
    ASSERT_TRUE(WaitFor([&] { return app.LoadingThreadDone(); }));
    // Done, but not yet seen by the main thread: the bar still shows the steps.
    EXPECT_DOUBLE_EQ(app.GetLoadingProgress(), 0.6);
    EXPECT_TRUE(app.Throttled());
    app.Step();
    EXPECT_EQ(app.completions, 1);
    EXPECT_EQ(app.GetLoadingProgress(), 1.0);  // although 3 of 5 steps were done
    EXPECT_FALSE(app.Throttled());
    app.Step();
    app.StartLoadingThread();  // once only
    app.WaitForLoadingThread();
    EXPECT_EQ(app.completions, 1);
    EXPECT_EQ(app.loads, 1);
    app.Shutdown();
}

TEST(AppScreenMode, SwitchMakesTheWindowAgainOnlyWhenTheModeChangesOrIsForced) {
    ScopedDataFolder data;
    ServicesApp app;
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    const plat::WindowHandle first = app.MainWindow();
    app.SwitchScreenMode(true, false);  // already windowed
    EXPECT_EQ(app.MainWindow(), first);

    app.SwitchScreenMode(false, false);
    EXPECT_FALSE(app.Settings().Values().windowed);
    const plat::WindowHandle second = app.MainWindow();
    EXPECT_NE(second, first);
    ASSERT_NE(D3DInterface::Instance(), nullptr);
    EXPECT_TRUE(D3DInterface::Instance()->IsReady());
    EXPECT_FALSE(D3DInterface::Instance()->IsWindowed());
    EXPECT_NE(D3DInterface::Instance()->GetDrawBuffer(), nullptr);

    app.ReapplyScreenMode();
    EXPECT_NE(app.MainWindow(), second);
    EXPECT_TRUE(D3DInterface::Instance()->IsReady());

    app.SetForceFullscreen(true);
    app.SwitchScreenMode(true, false);  // a forced full screen stays
    EXPECT_FALSE(app.Settings().Values().windowed);
    app.Shutdown();
}

TEST(AppMessages, ScreensaverModeAppendsBoxesToTheErrorFileStartedAnewEachRun) {
    ScopedDataFolder data;
    testsupport::TempFolder work;
    testsupport::WriteBytes(work / "ScrError.txt", "left from an earlier run\n");
    testsupport::CurrentDirectoryGuard here(work.Path());
    ServicesApp app;
    app.SetScreensaverMode(true);
    app.ShowFatalErrorWide(L"first");
    app.ShowFatalError("second");
    EXPECT_EQ(app.VornAppBase::ShowMessageBox(L"Caption", L"third"), 1);
    const std::string file = testsupport::ReadBytes(work / "ScrError.txt");
    const std::string stamp = " [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]+\n";
    EXPECT_TRUE(testsupport::MatchesPattern(file, "first" + stamp + "second" + stamp + "third" + stamp)) << file;
}

}  // namespace

namespace {

TEST(AppUrl, APendingPageOpensOnceAndTheWatchDecidesWhetherTheBrowserTookOver) {
    ScopedDataFolder data;
    testsupport::FakeOpener opener;
    ServicesApp app;
    app.Initialize();
    app.Feed(msg::kActivateApp, 1);

    const std::string page = "https://example.org/help?topic=a b";
    EXPECT_TRUE(app.OpenUrl(page, false));
    EXPECT_TRUE(app.OpenUrl(page, false));  // pending: not opened again
    EXPECT_EQ(opener.WaitForCall(), "1\n[" + page + "]\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(opener.Calls(), 1);
    EXPECT_TRUE(app.UrlPending());

    // Still active 12 s later: the browser never came.
    const uint32_t now = static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
    app.UrlWatchTick(now + 11000, now);
    EXPECT_TRUE(app.UrlPending());
    app.UrlWatchTick(now + 13000, now);
    EXPECT_FALSE(app.UrlPending());
    EXPECT_FALSE(app.IsShuttingDown());

    // Refused by the opener: reported at once, nothing pending.
    EXPECT_FALSE(app.OpenUrl("-x", false));
    EXPECT_FALSE(app.UrlPending());

    // Losing activation while pending: the browser took over; close-after ends the run.
    EXPECT_TRUE(app.OpenUrl("https://example.org/shop", true));
    app.Feed(msg::kActivateApp, 0);
    EXPECT_FALSE(app.UrlPending());
    EXPECT_TRUE(app.IsShuttingDown());
}

}  // namespace

namespace {

TEST(AppImages, ADuplicateHoldsTheSourcePixelsAndItsNameAndGrid) {
    ScopedDataFolder data;
    ServicesApp app;
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    ImageSurface source;
    source.name = L"strip";
    std::vector<uint32_t> pixels(8 * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x070503);
    ASSERT_TRUE(source.SetBits(pixels.data(), 8, 4, false));
    source.SetRowsCols(1, 2);

    std::unique_ptr<ImageSurface> copy(app.DuplicateImage(&source));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->name, L"strip");
    EXPECT_EQ(copy->cols, 2);
    ASSERT_EQ(copy->GetWidth(), 8);
    ASSERT_EQ(copy->GetHeight(), 4);
    const uint32_t* bits = copy->GetBits();
    ASSERT_TRUE(bits);
    for (size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(bits[i], pixels[i]) << i;
    EXPECT_TRUE(app.Images().Contains(copy.get()));
    app.Shutdown();
}

// A desktop whose screen saver starts after three seconds and never says
// when its last input was, over a windowed game whose clock the test moves.
class IdleDesktopApp : public ServicesApp {
public:
    IdleDesktopApp() { running_ = true; }  // timer ticks count as in a running game
    uint32_t Now() override { return clock; }
    ScreenSaverSystem& SystemScreenSaver() override { return saver; }
    struct : ScreenSaverSystem {
        bool ReadSettings(int* timeoutSeconds, bool* enabled) override {
            *timeoutSeconds = 3;
            *enabled = true;
            return true;
        }
        bool LastInputTime(uint32_t, uint32_t*) override { return false; }
        bool IsRunning(bool* running) override {
            *running = false;
            return true;
        }
    } saver;
    uint32_t clock = 0;
};

TEST(AppScreenSaver, AnIdleWindowedGameNeitherUpdatesNorDrawsUntilInputComesBack) {
    ScopedDataFolder data;
    IdleDesktopApp app;
    app.Initialize();
    ASSERT_TRUE(app.IsInitialized());
    EXPECT_TRUE(app.Step());

    app.clock = 60000;  // a minute without input: the check pauses the game
    EXPECT_FALSE(app.Draw());
    EXPECT_FALSE(app.Step());
    EXPECT_FALSE(app.Draw());

    // The pointer moves; at the next check, within the timeout, the game goes on.
    app.clock = 60900;
    app.Feed(msg::kTimer, 1);
    app.Feed(msg::kMouseMove, 0, 0);
    app.clock = 61001;
    app.Draw();
    EXPECT_TRUE(app.Step());
    app.Shutdown();
}

}  // namespace
