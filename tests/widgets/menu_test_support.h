#pragma once
// Menu tests: a managed tree on the fake host with an application double for
// the menus. The double keeps a register of open menus by id (showing a menu
// adds it to the manager, modal ones on a modal layer; closing takes it
// out, deleted later), forwards the stack operations to a real MenuStack,
// and records typed words, sound loops and shutdowns.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "foundation/system/app_services.h"
#include "tests/widgets/script_test_support.h"
#include "widgets/screens/menu.h"
#include "widgets/screens/menu_host.h"

namespace testsupport {

class MenuHostDouble : public NullMenuHost {
public:
    explicit MenuHostDouble(WidgetManager& manager) : manager_(manager) {}

    void AddMenu(Menu* menu) override {
        if (!menu) return;
        RemoveMenu(open.count(menu->GetId()) ? open[menu->GetId()] : nullptr);
        open[menu->GetId()] = menu;
        manager_.AddWidget(menu);
        if (menu->IsModal() && menu->GetManager() == &manager_) manager_.PushModalLayerDefault(menu);
        menu->MenuOpened();
    }
    void RemoveMenu(Menu* menu) override {
        if (!menu) return;
        auto it = open.find(menu->GetId());
        if (it == open.end() || it->second != menu) return;
        open.erase(it);
        menu->SetDeleteOnRemoval(true);
        if (menu->IsModal()) manager_.PopModalLayer(menu);
        manager_.RemoveWidget(menu);
    }
    void HandleTypedCommand(std::wstring_view text) override {
        typed.emplace_back(text);
        NullMenuHost::HandleTypedCommand(text);
    }
    void StartSoundLoop(int id, float) override { loops.push_back("start " + std::to_string(id)); }
    void StopSoundLoop(int id, float) override { loops.push_back("stop " + std::to_string(id)); }
    void SilenceSoundLoops(bool silence, const std::set<int>& ids) override {
        std::string line = silence ? "silence" : "restore";
        for (int id : ids) line += " " + std::to_string(id);
        loops.push_back(line);
    }
    void Shutdown() override { ++shutdowns; }
    bool IsScreensaverPreview() const override { return preview; }
    WidgetManager* GetWidgetManager() override { return &manager_; }

    std::map<int, Menu*> open;
    std::vector<std::wstring> typed;
    std::vector<std::string> loops;
    int shutdowns = 0;
    bool preview = false;

private:
    WidgetManager& manager_;
    ScopedService<MenuHost> installed_{this};
};

// Sounds, tracks and images registered by name, and the sound effects played.
class NamedAssets : public NullAppServices {
public:
    ExtendedPropertyInterface* FindImageByName(std::wstring_view name) override {
        auto it = images.find(std::wstring(name));
        return it == images.end() ? nullptr : it->second;
    }
    int FindSoundId(std::wstring_view name) override {
        auto it = sounds.find(std::wstring(name));
        return it == sounds.end() ? -1 : it->second;
    }
    int FindTrackId(std::wstring_view name) override {
        auto it = tracks.find(std::wstring(name));
        return it == tracks.end() ? -1 : it->second;
    }
    void PlaySoundEffect(int id, int gap, double volume) override {
        effects.push_back(std::to_string(id) + " gap " + std::to_string(gap) + " volume " +
                          std::to_string(static_cast<int>(volume * 100)) + "%");
    }

    std::map<std::wstring, ExtendedPropertyInterface*> images;
    std::map<std::wstring, int> sounds;
    std::map<std::wstring, int> tracks;
    std::vector<std::string> effects;

private:
    ScopedService<AppServices> installed_{this};
};

class MenuTest : public ScriptTest {
protected:
    MenuTest() = default;
    ~MenuTest() override {
        // Menus leave through the register so the stack empties with them.
        while (!menus.open.empty()) menus.RemoveMenu(menus.open.begin()->second);
    }

    // Full screen, not modal (so only pausing keeps the mouse from it), running `animation`.
    Menu* OpenMenu(const wchar_t* animation = L"", bool modal = false) {
        auto* menu = new Menu(animation);
        menu->SetModal(modal);
        menus.AddMenu(menu);
        return menu;
    }
    void Click(int x, int y) {
        mgr.WindowMouseMove(x, y);
        mgr.WindowMouseDown(x, y, 1);
        mgr.WindowMouseUp(x, y, 1);
    }
    void Type(std::wstring_view text) {
        for (wchar_t c : text) mgr.KeyChar(c);
    }
    bool IsOpen(const Menu* menu) const {
        for (const auto& [id, open] : menus.open)
            if (open == menu) return true;
        return false;
    }

    NamedAssets assets;
    MenuHostDouble menus{mgr};
};

}  // namespace testsupport
