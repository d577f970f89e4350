#pragma once
// The real game application driven by a scripted player: it starts on the
// game's own data with SDL's dummy drivers and a fresh data folder, and a
// queue of player steps runs once an update, each until it reports done.
// A step that never comes to pass stops the game and is named.
//
// RunFast() lets time pass only when the game sleeps: updates then run back
// to back as fast as the machine goes, still 100 to the game's second, one
// frame in kDrawEvery is drawn, and the random numbers start from a fixed
// seed. A week of the park takes seconds, the same way each run.

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "foundation/files/path_utils.h"
#include "foundation/system/random.h"
#include "foundation/system/runtime_random.h"
#include "game/frontend/entry/my_game_app.h"
#include "game/frontend/menus/loading_menu.h"
#include "platform/window/messages.h"
#include "platform/window/virtual_keys.h"
#include "widgets/controls/button_widget.h"
#include "widgets/screens/dialog_menu.h"
#include "widgets/script/animation_widget.h"

namespace testsupport {

class DrivenGame : public MyGameApp {
public:
    // No step may wait longer than this many updates unless it says so.
    static constexpr int kPatience = 3000;
    static constexpr int kDrawEvery = 5;
    static constexpr uint32_t kSeed = 20261208;

    explicit DrivenGame(const std::string& dataFolder) { SetArguments({"halvaro", "-changedir=" + dataFolder}); }

    void Then(std::string name, std::function<bool()> act, int patience = kPatience) {
        steps_.push_back({std::move(name), std::move(act), patience});
    }

    // Runs the game until it ends; the first step that never came to pass, or empty.
    std::string Play() {
        Initialize();
        if (IsInitialized()) Run();
        if (!steps_.empty() && stuckAt_.empty()) stuckAt_ = steps_.front().name + " (the game ended first)";
        return stuckAt_;
    }

    // From now on the dice fall the same in every run, too.
    void RunFast() {
        clock_ = MyGameApp::Now();
        fast_ = true;
        SeedRandom(kSeed);
        SeedRuntimeRandom(kSeed);
    }

    template <class M>
    M* OpenMenu() const {
        for (const auto& [id, menu] : openMenus_)
            if (auto* found = dynamic_cast<M*>(menu)) return found;
        return nullptr;
    }

    // What a scene script made under that id in the widget, if anything.
    static DynamicWidget* ScriptObject(AnimationWidget* scene, const wchar_t* id) {
        if (!scene) return nullptr;
        auto it = scene->Variables().find(id);
        return it == scene->Variables().end() ? nullptr : it->second.ToWidget<DynamicWidget>();
    }

    void MoveTo(int x, int y) { Widgets().WindowMouseMove(x, y); }
    void ClickAt(int x, int y) {
        Widgets().WindowMouseMove(x, y);
        Widgets().WindowMouseDown(x, y, 1);
        Widgets().WindowMouseUp(x, y, 1);
    }
    // Where the widget's top left corner lies on the screen (a point: w and h are 1).
    static FRect Origin(Widget* widget) { return widget->MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f}); }
    static ScreenPoint Middle(Widget* widget) {
        const FRect at = Origin(widget);
        return {static_cast<int>(at.x) + widget->GetWidth() / 2, static_cast<int>(at.y) + widget->GetHeight() / 2};
    }
    void ClickOn(Widget* widget) {
        const ScreenPoint at = Middle(widget);
        ClickAt(at.x, at.y);
    }
    void Type(std::wstring_view text) {
        for (wchar_t c : text) Widgets().KeyChar(c);
    }
    // A key pressed and let go; Enter, Escape and Backspace also type their
    // character between the two, as the window system reports them.
    void Press(uint32_t key) {
        Widgets().KeyDown(static_cast<int>(key));
        if (key == plat::vk::kReturn) Widgets().KeyChar(L'\r');
        if (key == plat::vk::kEscape) Widgets().KeyChar(L'\x1b');
        if (key == plat::vk::kBack) Widgets().KeyChar(L'\b');
        Widgets().KeyUp(static_cast<int>(key));
    }
    // The window's close button, as the window system reports it.
    void CloseWindow() { windows_->PostMessage(mainWindow_, plat::msg::kClose, 0, 0); }

    int FramesOnStep() const { return frames_; }

protected:
    void UpdateFrames() override {
        MyGameApp::UpdateFrames();
        if (steps_.empty() || !stuckAt_.empty()) return;
        if (steps_.front().act()) {
            steps_.pop_front();
            frames_ = 0;
        } else if (++frames_ > steps_.front().patience) {
            stuckAt_ = steps_.front().name;
            Shutdown();
        }
    }
    uint32_t Now() override { return fast_ ? clock_ : MyGameApp::Now(); }
    void Sleep(uint32_t ms) override {
        if (fast_)
            clock_ += ms;
        else
            MyGameApp::Sleep(ms);
    }
    void SleepBriefly(double ms) override {
        if (fast_)
            ++clock_;
        else
            MyGameApp::SleepBriefly(ms);
    }
    bool Redraw() override {
        if (!fast_ || ++undrawn_ % kDrawEvery == 0) return MyGameApp::Redraw();
        pacer_.needsRedraw_ = false;
        pacer_.AccumulateTime(Now());
        return true;
    }

private:
    struct PlayerStep {
        std::string name;
        std::function<bool()> act;
        int patience;
    };
    std::deque<PlayerStep> steps_;
    std::string stuckAt_;
    int frames_ = 0;
    bool fast_ = false;
    uint32_t clock_ = 0;
    int undrawn_ = 0;
};

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The game's UTF-16 files, as plain text for searching (ASCII content only).
inline std::string Narrow(const std::string& bytes) {
    std::string text;
    for (char c : bytes)
        if (c != '\0') text += c;
    return text;
}

// A fresh data folder for each test, and the steps every run begins with.
class DrivenGameTest : public ::testing::Test {
protected:
    DrivenGameTest() : cwd_(std::filesystem::current_path()) {
        home_ = std::filesystem::temp_directory_path() / ("halvaro_driven_" + std::to_string(::getpid()));
        std::filesystem::remove_all(home_);
        std::filesystem::create_directories(home_);
        SetAppDataFolder(home_.string() + "/");
    }
    ~DrivenGameTest() override {
        std::filesystem::current_path(cwd_);
        std::filesystem::remove_all(home_);
    }

    // Skips the logo and splash pictures by clicking, as an impatient player does.
    static void SkipToTitle(DrivenGame& game) {
        game.Then("start-up screens", [&game] {
            if (dynamic_cast<LoadingMenu*>(game.LoadingScreen())) return true;
            if (game.FramesOnStep() % 20 == 19) game.ClickAt(512, 384);
            return false;
        });
        game.Then("loading", [&game] {
            auto* title = dynamic_cast<LoadingMenu*>(game.LoadingScreen());
            return title && title->GetPlayButton();
        });
    }

    static void PressPlayOnTitle(DrivenGame& game) {
        game.Then("play on the title screen", [&game] {
            auto* title = dynamic_cast<LoadingMenu*>(game.LoadingScreen());
            if (!title || !title->GetPlayButton()) return false;
            EXPECT_DOUBLE_EQ(game.GetLoadingProgress(), 1.0);
            game.ClickOn(title->GetPlayButton());
            return true;
        });
    }

    // A player looks at a screen for a moment before clicking: a dialog has
    // dropped in by then.
    static bool Settled(DrivenGame& game, Menu* menu) {
        auto* dialog = dynamic_cast<DialogMenu*>(menu);
        const bool fading = dialog && (dialog->GetFadeState() == DialogMenu::kFadingIn ||
                                       dialog->GetFadeState() == DialogMenu::kFadingOut);
        return !fading && game.FramesOnStep() >= 60;
    }

    // Waits for a script button to be shown in full, then clicks it.
    static void ClickScriptButton(DrivenGame& game, std::string name, std::function<Menu*()> menu, const wchar_t* id) {
        game.Then(std::move(name), [&game, menu, id] {
            Menu* open = menu();
            DynamicWidget* button = DrivenGame::ScriptObject(open, id);
            if (!button || !open->IsActive() || button->opacity < 1.0f || !Settled(game, open)) return false;
            game.ClickOn(button);
            return true;
        });
    }

    std::filesystem::path cwd_;
    std::filesystem::path home_;
    const std::string data_ = std::string(HALVARO_SOURCE_DIR) + "/data";
};

}  // namespace testsupport
