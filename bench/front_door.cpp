// One frame of the front door's main menu against the 10 ms update step, and
// against an empty screen's frame drawn by the same loop. The game's data
// comes from data/ as the game reads it: packed, mounted, assets.xml read
// into the asset registry (intro, persistent and game sections, the intro
// assets then released as when the title screen is done), the fonts, the
// constants, the texts and the scene scripts. The main menu stands alone (no
// board under it) and its fade-in has ended before timing starts; the second
// case has the options dialog open above it.
//
// A frame, as BM_IdleFrame in app_idle_frame.cpp counts it: one fixed
// update, the fractional update, a full repaint of the 1024 x 768 draw buffer
// and the present to the headless device. The loop's clock moves one step per
// frame and sleeping is skipped, so the time measured is the work alone. Each
// frame is timed in turn with a memcpy of the bytes a frame writes, its
// memory floor; `over_floor` is the ratio of their sums.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "app/assets/asset_manager.h"
#include "app/assets/asset_registry.h"
#include "foundation/expression/constants.h"
#include "foundation/expression/localization.h"
#include "foundation/expression/localization_map.h"
#include "foundation/files/pak_interface.h"
#include "foundation/files/pak_writer.h"
#include "foundation/system/app_services.h"
#include "foundation/system/sound_manager.h"
#include "game/frontend/menus/frontend_host.h"
#include "game/frontend/menus/main_menu.h"
#include "game/frontend/menus/options_menu.h"
#include "game/frontend/menus/profile_book.h"
#include "idle_loop.h"
#include "rendering/font/fonts_xml.h"
#include "rendering/image/image.h"
#include "rendering/image/image_registry_host.h"
#include "thread_clock.h"
#include "widgets/screens/menu.h"
#include "widgets/screens/menu_host.h"
#include "widgets/script/animation_stats.h"

namespace fs = std::filesystem;

namespace {

// Every sound loads; nothing is played.
class SilentSounds : public NullSoundManager {
public:
    bool LoadSound(int, std::string_view) override { return true; }

private:
    ScopedService<SoundManager> installed_{this};
};

// The application's lookups by name, answered by the registry.
class RegistryLookups : public NullAppServices {
public:
    explicit RegistryLookups(AssetRegistry& registry) : registry_(registry) {}
    ExtendedPropertyInterface* FindImageByName(std::wstring_view name) override {
        return registry_.FindImageByName(name);
    }
    int FindSoundId(std::wstring_view name) override { return registry_.FindSoundId(name); }
    int FindTrackId(std::wstring_view name) override { return registry_.FindTrackId(name); }

private:
    AssetRegistry& registry_;
    ScopedService<AppServices> installed_{this};
};

// One player, selected, so the greeting carries a name.
class OnePlayerBook : public ProfileBook {
public:
    bool Save() override { return true; }
    bool CreateProfile(const std::wstring&, int, bool) override { return false; }
    void ChooseProfile(const std::wstring&, int) override {}
    void DeleteProfile(int) override {}
    void ResetProfile(int) override {}
    std::wstring GetProfileName(int slot) const override { return slot == 0 ? L"Ada" : L""; }
    int GetSelectedSlot() const override { return 0; }
    int FirstEmptySlot() const override { return 1; }
};

// The game application as the menus see it on a fresh machine: full screen,
// one player.
class FreshGame : public NullFrontendHost {
public:
    FreshGame() { SwitchScreenMode(false, false); }
    ProfileBook* GetProfiles() override { return &book_; }

private:
    OnePlayerBook book_;
    ScopedService<FrontendHost> installed_{this};
};

// data/ packed and mounted, read as the game reads it; the working folder is
// an empty one beside the pack while it lives, so nothing loose is read.
class GameData {
public:
    GameData() {
        std::string pattern = (fs::temp_directory_path() / "halvaro_bench_XXXXXX").string();
        if (!::mkdtemp(pattern.data())) return;
        folder_ = pattern;
        const fs::path data = fs::path(HALVARO_SOURCE_DIR) / "data";
        if (!BuildPack(data.string(), (folder_ / "main.pak").string()).ok) return;
        fs::create_directories(folder_ / "run");
        previous_ = fs::current_path();
        fs::current_path(folder_ / "run");
        pak_.Mount((folder_ / "main.pak").string());
        { AssetManager intro(registry_, true); }
        { AssetManager game(registry_, false); }
        LoadFontsXml(false);
        { Constants constants; }
        LocalizationMap().clear();
        Localization texts;
        texts.LoadPropertiesXml("localization.xml");
        AnimationLibrary().clear();
        { AnimationStats animations(false); }
        // The title screen is done by the time the main menu shows.
        registry_.DrainPendingAssets();
        loaded_ = AnimationExists(L"main_menu") && registry_.FindImageByName(L"GameLogo") != nullptr;
    }
    ~GameData() {
        AnimationLibrary().clear();
        LocalizationMap().clear();
        UnloadFonts();
        registry_.UnloadAllAssets();
        std::error_code ec;
        if (!previous_.empty()) fs::current_path(previous_, ec);
        if (!folder_.empty()) fs::remove_all(folder_, ec);
    }

    bool Loaded() const { return loaded_; }

private:
    fs::path folder_;
    fs::path previous_;
    PakInterface pak_;
    SilentSounds sounds_;
    AssetRegistry registry_;
    ScopedService<ImageRegistryHost> fontPages_{&registry_};
    RegistryLookups lookups_{registry_};
    bool loaded_ = false;
};

GameData& Data() {
    static GameData data;
    return data;
}

// The application's register of open menus: a menu shown joins the widget
// manager (a modal one on a modal layer); closing takes it out.
class MenuRegister : public NullMenuHost {
public:
    explicit MenuRegister(WidgetManager& manager) : manager_(manager) {}
    ~MenuRegister() override {
        while (!open_.empty()) RemoveMenu(open_.begin()->second);
    }

    void AddMenu(Menu* menu) override {
        if (!menu) return;
        if (auto it = open_.find(menu->GetId()); it != open_.end()) RemoveMenu(it->second);
        open_[menu->GetId()] = menu;
        manager_.AddWidget(menu);
        if (menu->IsModal() && menu->GetManager() == &manager_) manager_.PushModalLayerDefault(menu);
        menu->MenuOpened();
    }
    void RemoveMenu(Menu* menu) override {
        if (!menu) return;
        auto it = open_.find(menu->GetId());
        if (it == open_.end() || it->second != menu) return;
        open_.erase(it);
        menu->SetDeleteOnRemoval(true);
        if (menu->IsModal()) manager_.PopModalLayer(menu);
        manager_.RemoveWidget(menu);
    }
    WidgetManager* GetWidgetManager() override { return &manager_; }

    template <class M>
    M* Find() const {
        for (const auto& [id, menu] : open_)
            if (auto* m = dynamic_cast<M*>(menu)) return m;
        return nullptr;
    }

private:
    WidgetManager& manager_;
    std::map<int, Menu*> open_;
    ScopedService<MenuHost> installed_{this};
};

// The idle loop with the menus' hosts beside it.
class MenuLoop : public IdleLoop {
public:
    FreshGame game;
    MenuRegister menus{manager};
};

int CountWidgets(const WidgetContainer& container) {
    int count = 0;
    for (const Widget* child : container.GetChildren()) count += 1 + CountWidgets(*child);
    return count;
}

enum Screen { kEmpty = 0, kMainMenu = 1, kMainMenuWithOptions = 2 };

using Clock = ThreadClock;

// What a repainted main-menu frame writes: the draw buffer once with the
// menu's layers over its background, and the presented frame, about 8.4 MB.
constexpr size_t kFrameBytes = 8'400'000;

void BM_FrontDoorFrame(benchmark::State& state) {
    if (!Data().Loaded()) {
        state.SkipWithError("the game's data did not load from data/");
        return;
    }
    MenuLoop loop;
    const auto screen = static_cast<Screen>(state.range(0));
    int settling = loop.RunUntil([] { return true; }, 0, 5);
    if (screen != kEmpty) {
        ShowMenu(new MainMenu());
        auto* main = loop.menus.Find<MainMenu>();
        if (!main) {
            state.SkipWithError("the main menu did not open");
            return;
        }
        // The buttons' fades end 18 updates after the script does.
        settling += loop.RunUntil([main] { return main->IsScriptDone(); }, 2000, 100);
        if (screen == kMainMenuWithOptions) {
            main->DoAction(L"options", L"", 0);
            auto* options = loop.menus.Find<OptionsMenu>();
            if (!options) {
                state.SkipWithError("the options dialog did not open");
                return;
            }
            settling += loop.RunUntil(
                [options] { return options->IsScriptDone() && options->GetFadeState() != DialogMenu::kFadingIn; }, 2000,
                100);
        }
    }
    // The memory floor: a copy of as many bytes as the frame writes, timed in
    // turn with it so both meet the same load.
    std::vector<char> from(kFrameBytes, 1), to(kFrameBytes);
    Clock::duration frame{}, floor{};
    const int updatesBefore = loop.pacer.UpdateCount();
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        const Clock::time_point t1 = Clock::now();
        loop.Frame();
        frame += Clock::now() - t1;
        floor += t1 - t0;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["frame_us"] = std::chrono::duration<double, std::micro>(frame).count() / n;
    state.counters["floor_us"] = std::chrono::duration<double, std::micro>(floor).count() / n;
    state.counters["over_floor"] = std::chrono::duration<double>(frame) / std::chrono::duration<double>(floor);
    state.counters["updates/frame"] =
        benchmark::Counter(static_cast<double>(loop.pacer.UpdateCount() - updatesBefore) / state.iterations());
    state.counters["settling frames"] = settling;
    state.counters["widgets"] = CountWidgets(loop.manager);
}
BENCHMARK(BM_FrontDoorFrame)
    ->ArgName("screen")
    ->Arg(kEmpty)
    ->Arg(kMainMenu)
    ->Arg(kMainMenuWithOptions)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
