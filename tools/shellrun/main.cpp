// Starts the application base on an empty screen, so the shell can be seen in
// a real window until the game's own entry point exists. Closing the window
// (or --seconds N) ends it; the exit status is the application's.
// --debug-screenshot N presses Ctrl+Alt+D and then F11 after N seconds, as a
// developer would, so a screenshot lands in "_screenshots" of the start
// folder (the program's own, unless -changedir names another). --overlay
// (after the others) shows the frames a second.
// --game FOLDER (first) starts the game application on a content folder
// instead (logo, splash pictures, then a plain first screen with the loading
// bar) and prints the time from start to the logo's first presented frame and
// to the end of loading.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <unistd.h>

#include "app/shell/game_app.h"
#include "app/shell/vorn_app_base.h"
#include "platform/window/messages.h"
#include "platform/window/virtual_keys.h"
#include "rendering/draw/graphics.h"
#include "widgets/screens/logo_screen.h"
#include "widgets/screens/title_screen.h"
#include "widgets/tree/widget.h"

namespace {

// A plain backdrop so the picture shows the draw buffer reached the window.
class Backdrop : public Widget {
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;
    Backdrop() { Resize(0, 0, kWidth, kHeight); }
    void Draw(Graphics* g) override {
        g->SetColor(Color(40, 70, 110, 255));
        g->FillRect(0, 0, kWidth, kHeight);
        g->SetColor(Color(230, 180, 60, 255));
        g->FillRect(kWidth / 2 - 40, kHeight / 2 - 40, 80, 80);
    }
};

class ShellApp : public VornAppBase {
public:
    ShellApp() {
        productName_ = "ShellRun";
        title_ = L"Shell";
        width_ = Backdrop::kWidth;
        height_ = Backdrop::kHeight;
    }
    void OnInitialized() override {
        backdrop_ = new Backdrop;
        Widgets().AddWidget(backdrop_);
    }
    void PressScreenshotKeysAfter(double seconds) { screenshotAfterMs_ = static_cast<uint32_t>(seconds * 1000); }
    void UpdateFrames() override {
        VornAppBase::UpdateFrames();
        if (screenshotAfterMs_ == 0) return;
        if (started_ == 0) started_ = Now();
        if (Now() - started_ < screenshotAfterMs_) return;
        screenshotAfterMs_ = 0;
        // Through the window procedure, as the keyboard delivers them.
        namespace msg = plat::msg;
        namespace vk = plat::vk;
        for (auto [id, key] : {std::pair{msg::kKeyDown, vk::kControl},
                               {msg::kSysKeyDown, vk::kMenu},
                               {msg::kSysKeyDown, uint32_t{'D'}},
                               {msg::kSysKeyUp, uint32_t{'D'}},
                               {msg::kSysKeyUp, vk::kMenu},
                               {msg::kKeyUp, vk::kControl},
                               {msg::kKeyDown, vk::kF1 + 10},
                               {msg::kKeyUp, vk::kF1 + 10}})
            HandleWindowMessage(mainWindow_, id, key, 0);
    }
    // Removal hands the widget to the deferred-delete list, which frees it.
    void OnShutdownBegin() override {
        if (backdrop_) Widgets().RemoveWidget(backdrop_);
        backdrop_ = nullptr;
    }

private:
    Backdrop* backdrop_ = nullptr;
    uint32_t screenshotAfterMs_ = 0;
    uint32_t started_ = 0;
};

using Clock = std::chrono::steady_clock;
const Clock::time_point gStarted = Clock::now();

double MsSinceStart() { return std::chrono::duration<double, std::milli>(Clock::now() - gStarted).count(); }

// A first screen with nothing of the game's: the loading bar on a dark ground.
class PlainFirstScreen : public TitleScreen {
public:
    PlainFirstScreen() : TitleScreen(nullptr) {}
    void Draw(Graphics* g) override {
        g->SetColor(Color(20, 30, 50, 255));
        g->FillRect(0, 0, GetWidth(), GetHeight());
        const double progress = VornAppBase::Instance()->GetLoadingProgress();
        g->SetColor(Color(90, 90, 90, 255));
        g->FillRect(GetWidth() / 4, GetHeight() * 3 / 4, GetWidth() / 2, 20);
        g->SetColor(Color(230, 180, 60, 255));
        g->FillRect(GetWidth() / 4, GetHeight() * 3 / 4, static_cast<int>(GetWidth() / 2 * progress), 20);
    }
    void Update() override {
        TitleScreen::Update();
        MarkDirty();
    }
};

class GameRun : public GameApp {
public:
    explicit GameRun(std::string folder) : GameApp("Halvaro", "v1.3", 1024, 768), folder_(std::move(folder)) {}
    ~GameRun() override { WaitForLoadingThread(); }
    bool HandleChangeDirectory(const std::string&) override { return ::chdir(folder_.c_str()) == 0; }
    TitleScreen* CreateFirstScreen() override { return new PlainFirstScreen(); }
    void PresentFrame() override {
        GameApp::PresentFrame();
        // The logo is the only screen until it asks for the first splash picture.
        if (!logoShown_ && SplashCounter() == 0) {
            logoShown_ = true;
            std::fprintf(stderr, "first logo frame presented: %.1f ms after start\n", MsSinceStart());
        }
    }
    void LoadingThreadCompleted() override {
        std::fprintf(stderr, "loading finished: %.1f ms after start\n", MsSinceStart());
        GameApp::LoadingThreadCompleted();
    }

private:
    std::string folder_;
    bool logoShown_ = false;
};

// Runs an initialised application until it ends, or for `seconds` when above 0.
int RunFor(VornAppBase& app, double seconds) {
    std::thread timer;
    if (seconds > 0) {
        timer = std::thread([&app, seconds] {
            std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(seconds * 1000)));
            app.Shutdown();
        });
    }
    app.Run();
    if (timer.joinable()) timer.join();
    return app.ExitCode();
}

int RunGame(const std::string& folder, double seconds) {
    GameRun app(folder);
    app.Initialize();
    return RunFor(app, seconds);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    if (arguments.size() >= 3 && arguments[1] == "--game") {
        const std::string folder = arguments[2];
        arguments.erase(arguments.begin() + 1, arguments.begin() + 3);
        double seconds = 0;
        if (arguments.size() >= 3 && arguments[1] == "--seconds") seconds = std::atof(arguments[2].c_str());
        return RunGame(folder, seconds);
    }
    double seconds = 0;
    double screenshotAfter = 0;
    while (arguments.size() >= 3 && (arguments[1] == "--seconds" || arguments[1] == "--debug-screenshot")) {
        (arguments[1] == "--seconds" ? seconds : screenshotAfter) = std::atof(arguments[2].c_str());
        arguments.erase(arguments.begin() + 1, arguments.begin() + 3);
    }
    bool overlay = false;
    if (arguments.size() >= 2 && arguments[1] == "--overlay") {
        overlay = true;
        arguments.erase(arguments.begin() + 1);
    }
    ShellApp app;
    if (screenshotAfter > 0) app.PressScreenshotKeysAfter(screenshotAfter);
    app.SetArguments(arguments);
    app.SetOverlay(overlay, 0);
    app.Initialize();
    return RunFor(app, seconds);
}
