#pragma once
// Front-end menu tests: the menu test tree with a game application double
// (FrontendHostDouble) holding a four-slot profile book (ProfileBookDouble)
// and handing the board's menus to a board when the test gives one, the
// images the menus look up by name, a parent recording the actions passed
// up to it, and a title screen double.

#include <array>
#include <string>
#include <vector>

#include "foundation/expression/localization_map.h"
#include "game/frontend/menus/frontend_host.h"
#include "game/frontend/menus/profile_book.h"
#include "rendering/image/image_surface.h"
#include "tests/widgets/controls_test_support.h"
#include "tests/widgets/menu_test_support.h"
#include "widgets/controls/button_widget.h"
#include "widgets/screens/board.h"
#include "widgets/screens/startup_host.h"

namespace testsupport {

class ProfileBookDouble : public ProfileBook {
public:
    bool Save() override {
        ++saves;
        return true;
    }
    bool CreateProfile(const std::wstring& name, int slot, bool select) override {
        if (slot < 0) slot = FirstEmptySlot();
        if (name.empty() || slot < 0 || slot >= kSlots || !names[slot].empty()) return false;
        names[slot] = name;
        if (select) selected = slot;
        return true;
    }
    void ChooseProfile(const std::wstring& name, int slot) override {
        if (slot < 0 || slot >= kSlots) return;
        names[slot] = name;
        selected = slot;
    }
    void DeleteProfile(int slot) override {
        if (slot < 0 || slot >= kSlots) return;
        names[slot].clear();
        if (selected == slot) selected = -1;
    }
    void ResetProfile(int) override {}
    std::wstring GetProfileName(int slot) const override {
        return slot >= 0 && slot < kSlots ? names[slot] : std::wstring();
    }
    int GetSelectedSlot() const override { return selected; }
    int FirstEmptySlot() const override {
        for (int i = 0; i < kSlots; ++i)
            if (names[i].empty()) return i;
        return -1;
    }

    std::array<std::wstring, kSlots> names;
    int selected = -1;
    int saves = 0;
};

class FrontendHostDouble : public NullFrontendHost {
public:
    void ShowMainMenu() override {
        calls.push_back(L"main menu");
        if (board) board->ShowMainMenu();
    }
    void ShowPlayMenu() override {
        calls.push_back(L"play menu");
        if (board) board->ShowPlayMenu();
    }
    // The double's own book unless a test hands the game's.
    ProfileBook* GetProfiles() override { return gameBook ? gameBook : &book; }
    bool GetPlayTime(int& hours, int& minutes) const override {
        hours = 3;
        minutes = 7;
        return true;
    }
    std::string GetVersion() const override { return "v1.3"; }
    InGameDisplay* GetInGameDisplay() override { return display; }
    // A plain menu stands for the display when the test asks for one.
    Menu* CreateInGameDisplay() override {
        calls.push_back(L"display");
        if (!makesDisplays) return nullptr;
        madeDisplays.push_back(new Menu(L""));
        return madeDisplays.back();
    }
    bool HasWindowedMode() const override { return windowedModePossible; }
    bool GameHasDesktopShape() const override { return sameShape; }
    void PlaySoundEffectByName(std::wstring_view name) override { calls.push_back(L"sound " + std::wstring(name)); }
    void SaveSettings() override { calls.push_back(L"save settings"); }
    void LoadDynamicAssets(const std::set<std::wstring>& names) override {
        for (const auto& n : names) calls.push_back(L"load " + n);
    }
    void UnloadDynamicAssets(const std::set<std::wstring>& names) override {
        for (const auto& n : names) calls.push_back(L"unload " + n);
    }

    ProfileBookDouble book;
    ProfileBook* gameBook = nullptr;
    std::vector<std::wstring> calls;
    InGameDisplay* display = nullptr;
    bool makesDisplays = false;
    std::vector<Menu*> madeDisplays;
    Board* board = nullptr;
    bool windowedModePossible = true;
    bool sameShape = false;

private:
    ScopedService<FrontendHost> installed_{this};
};

// A parent that records the actions its menus pass up.
class ParentRecorder : public AnimationWidget {
public:
    ParentRecorder() : AnimationWidget(L"", 0, 0, false) {}
    void DoAction(std::wstring_view action, std::wstring_view, int) override { actions.emplace_back(action); }
    std::vector<std::wstring> actions;
};

class StartupDouble : public NullStartupHost {
public:
    void TitleScreenDone() override { ++titleDone; }
    int titleDone = 0;

private:
    ScopedService<StartupHost> installed_{this};
};

class FrontendTest : public MenuTest {
protected:
    FrontendTest() {
        // Popup intros end at once, so dialogs take clicks.
        Define(L"popup_intro", {Step(L"note", {{L"text", L"in"}})});
        fonts.Add(L"plain2");
        fonts.Add(L"button");
        for (const wchar_t* name : {L"EnterName", L"EnterNameOk", L"row", L"ok", L"Slider", L"Slider_Thumb",
                                    L"check_box", L"check_box_checked", L"Dialog"}) {
            const std::wstring n(name);
            const bool big = n == L"EnterName" || n == L"Dialog";
            AddImage(name, big ? 500 : n == L"Slider_Thumb" ? 20 : 100, big ? 400 : 20);
        }
    }
    // Opaque, so the pointer finds what it clicks.
    ImageSurface* AddImage(const std::wstring& name, int w, int h) {
        images.emplace_back(std::make_unique<ImageSurface>(false));
        const std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, 0xFF808080u);
        images.back()->SetBits(pixels.data(), w, h, false);
        assets.images[name] = images.back().get();
        return images.back().get();
    }
    ~FrontendTest() override { LocalizationMap().clear(); }

    void Updates(int n) {
        for (int i = 0; i < n; ++i) {
            mgr.UpdateFrame();
            mgr.UpdateFractionFrame(1.0f);
        }
    }
    void Press(uint32_t key) {
        mgr.KeyDown(static_cast<int>(key));
        mgr.KeyUp(static_cast<int>(key));
    }
    // Clicks the middle of a widget, wherever it stands on the screen.
    void ClickOn(Widget* widget) {
        const FRect r = widget->MapRectToScreen(
            FRect(0, 0, static_cast<float>(widget->GetWidth()), static_cast<float>(widget->GetHeight())));
        Click(static_cast<int>(r.x + r.w / 2), static_cast<int>(r.y + r.h / 2));
    }
    // The menu as the child of a recording parent in the tree; the parent.
    ParentRecorder* UnderRecorder(Widget* menu) {
        auto* parent = new ParentRecorder();
        mgr.AddWidget(parent);
        parent->AddWidget(menu);
        return parent;
    }
    template <class M>
    M* OpenOf() const {
        for (const auto& [id, menu] : menus.open)
            if (auto* m = dynamic_cast<M*>(menu)) return m;
        return nullptr;
    }

    FrontendHostDouble app;
    StartupDouble startup;
    ScopedFonts fonts;
    std::vector<std::unique_ptr<ImageSurface>> images;
};

}  // namespace testsupport
