// Starts the application base on an empty screen, so the shell can be seen in
// a real window until the game's own entry point exists. Closing the window
// (or --seconds N) ends it; --overlay (after --seconds) shows the frames a
// second; the exit status is the application's.

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/shell/vorn_app_base.h"
#include "rendering/draw/graphics.h"
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
    // Removal hands the widget to the deferred-delete list, which frees it.
    void OnShutdownBegin() override {
        if (backdrop_) Widgets().RemoveWidget(backdrop_);
        backdrop_ = nullptr;
    }

private:
    Backdrop* backdrop_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    double seconds = 0;
    if (arguments.size() >= 3 && arguments[1] == "--seconds") {
        seconds = std::atof(arguments[2].c_str());
        arguments.erase(arguments.begin() + 1, arguments.begin() + 3);
    }
    bool overlay = false;
    if (arguments.size() >= 2 && arguments[1] == "--overlay") {
        overlay = true;
        arguments.erase(arguments.begin() + 1);
    }
    ShellApp app;
    app.SetArguments(arguments);
    app.SetOverlay(overlay, 0);
    app.Initialize();
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
