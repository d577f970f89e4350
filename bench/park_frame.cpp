// A busy park frame at 1024 x 768 with the in-game display over it. The real
// game starts headless on data/ (SDL's dummy drivers, a fresh data folder),
// a new player opens the first park through the map as the menus do, and
// the park is grown the way a player grows it: the gate opened, a lattice of
// sidewalk painted over the grass, 200 buildings set down on it through the
// grid where the player's placing check allows, every one stamped on and
// holding its tiles (the set-up fails on a building standing on another),
// and 2,000 visitors stood on the sidewalks, the screen's middle first, so
// every part of the screen is full of them.
//
// One frame is timed as the game draws it: the whole screen repainted (the
// park, its items, the display's script widgets) and presented to the
// headless device. The park's update between frames runs as in play, so the
// visitors walk and the depth order changes. Each frame is timed in turn
// with its yardstick, a memcpy of the bytes a frame writes (the draw buffer
// and the presented frame); `over_floor` is the ratio of their sums. The
// update is timed apart: `step_us` is one update as the game runs it, after
// a frame was drawn over the caches it uses, not a step run on warm caches.
// BM_ParkFrame/park:0 is the park as shipped, for comparison; park:1 the
// busy park at the tutorial's first step, which holds the visitors still;
// park:2 the busy park with the tutorial skipped, the visitors walking, so
// the depth order is sorted again every frame. From the park's opening on,
// the random generators are seeded and every update and frame is run by the
// bench, so each run draws the same frames, whatever the loading took.
//
// HALVARO_FRAME_PNG=/path/busy writes the last frame drawn to
// /path/busy1.png (busy2.png; busy0.png for the park as shipped).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "foundation/files/path_utils.h"
#include "foundation/system/random.h"
#include "foundation/system/runtime_random.h"
#include "game/data/progress/player_state.h"
#include "game/frontend/entry/my_game_app.h"
#include "game/frontend/hud/user_interface.h"
#include "game/frontend/menus/enter_name_menu.h"
#include "game/frontend/menus/level_select_menu.h"
#include "game/frontend/menus/loading_menu.h"
#include "game/frontend/menus/main_menu.h"
#include "game/park/buildings/front_gate.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/grid/grid_tile.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "game/park/parkgrid/kivra_spawner.h"
#include "platform/window/virtual_keys.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/image_surface.h"
#include "rendering/imagefile/image_files.h"
#include "thread_clock.h"
#include "widgets/controls/button_widget.h"

namespace fs = std::filesystem;

namespace {

constexpr int kBuildings = 200;
constexpr int kVisitors = 2000;
// The draw buffer and the presented frame, 1024 x 768 x 4 bytes each.
constexpr size_t kFrameBytes = size_t{1024} * 768 * 4 * 2;

using Clock = ThreadClock;

// The game, driven through its menus into the first park; once the park is
// ready, `measure` runs inside the game's update and the game then quits.
class BusyParkGame : public MyGameApp {
public:
    enum Scene { kShipped = 0, kBusy = 1, kBusyWalking = 2 };

    BusyParkGame(const std::string& dataFolder, Scene scene, std::function<void(BusyParkGame&)> measure)
        : scene_(scene), measure_(std::move(measure)) {
        SetArguments({"halvaro", "-changedir=" + dataFolder});
    }

    // False when the park never opened.
    bool Play() {
        Initialize();
        if (IsInitialized()) Run();
        return measured_;
    }

    // One untimed update of the game, as the main loop runs it between frames.
    void Step() {
        MyGameApp::UpdateFrames();
        Widgets().UpdateFractionFrame(1.0f);
    }
    // One frame: the whole screen drawn and presented.
    void DrawFrame() {
        Widgets().MarkAllDirty();
        Redraw();
    }
    bool WriteFrame(const std::string& path) {
        auto* screen = dynamic_cast<ImageSurface*>(d3d_->GetDrawBuffer());
        if (!screen || !screen->GetBits()) return false;
        ImageData out;
        if (!out.Allocate(screen->GetWidth(), screen->GetHeight(), false)) return false;
        const uint32_t* bits = screen->GetBits();
        for (size_t i = 0; i < out.PixelCount(); ++i) out.GetBits()[i] = bits[i] | 0xFF000000u;
        return WritePNGImage(path, out);
    }

    KivraGrid* Park() const {
        auto* display = OpenMenu<UserInterface>();
        return display ? &display->Grid() : nullptr;
    }
    int buildings = 0, visitors = 0, onScreen = 0;
    int stacked = 0;  // tiles of a building that another building holds

protected:
    void UpdateFrames() override {
        MyGameApp::UpdateFrames();
        if (IsShuttingDown()) return;
        if (++frames_ > 20000) {
            Shutdown();  // stuck: the park never opened
            return;
        }
        switch (stage_) {
            case 0: {  // the title screen, once loading is done
                auto* title = dynamic_cast<LoadingMenu*>(LoadingScreen());
                if (title && title->GetPlayButton()) {
                    ClickOn(title->GetPlayButton());
                    ++stage_;
                } else if (!title && frames_ % 20 == 19) {
                    ClickAt(512, 384);  // past the start-up pictures
                }
                break;
            }
            case 1:
                if (OpenMenu<EnterNameMenu>()) {
                    for (wchar_t c : std::wstring_view(L"Ada")) Widgets().KeyChar(c);
                    Widgets().KeyDown(static_cast<int>(plat::vk::kReturn));
                    Widgets().KeyUp(static_cast<int>(plat::vk::kReturn));
                    ++stage_;
                }
                break;
            case 2:
                if (auto* menu = OpenMenu<MainMenu>()) {
                    // The introduction was seen: play goes straight to the map.
                    if (BasicPlayerState* player = BasicPlayerState::Current()) player->started_ = true;
                    menu->DoAction(L"play", L"", 0);
                    ++stage_;
                }
                break;
            case 3:
                if (auto* map = OpenMenu<LevelSelectMenu>()) {
                    map->DoAction(L"play", L"maple_green", 0);
                    ++stage_;
                }
                break;
            case 4:
                if (KivraGrid* park = Park(); park && park->ItemsStarted()) {
                    // The same park on every run, however long loading took.
                    SeedRandom(4357);
                    SeedRuntimeRandom(4357);
                    // The spawner shuffled its visitors as the park opened,
                    // from the generator start-up seeded with the time.
                    if (KivraSpawner* spawner = park->GetSpawner(); spawner && spawner->IsEnabled())
                        spawner->BuildSpawnQueue();
                    if (scene_ == kBusyWalking) OpenMenu<UserInterface>()->DoAction(L"end_tutorial_action", L"", 0);
                    if (scene_ != kShipped) Grow(*park);
                    // The display's scripts run in, frame by frame as the
                    // loop below runs them, so each run draws the same frames.
                    for (int i = 0; i < 300; ++i) {
                        Step();
                        DrawFrame();
                    }
                    ++stage_;
                }
                break;
            case 5:
                measure_(*this);
                measured_ = true;
                ++stage_;
                Shutdown();
                break;
            default: break;
        }
    }

private:
    template <class M>
    M* OpenMenu() const {
        for (const auto& [id, menu] : openMenus_)
            if (auto* found = dynamic_cast<M*>(menu)) return found;
        return nullptr;
    }
    void ClickAt(int x, int y) {
        Widgets().WindowMouseMove(x, y);
        Widgets().WindowMouseDown(x, y, 1);
        Widgets().WindowMouseUp(x, y, 1);
    }
    void ClickOn(Widget* widget) {
        const FRect at = widget->MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f});
        ClickAt(static_cast<int>(at.x) + widget->GetWidth() / 2, static_cast<int>(at.y) + widget->GetHeight() / 2);
    }

    // The tiles by their distance to the middle of the screen, nearest first.
    std::vector<TilePoint> TilesFromTheMiddle(const KivraGrid& park) const {
        std::vector<std::pair<float, TilePoint>> tiles;
        for (int32_t col = 0; col < park.Cols(); ++col)
            for (int32_t row = 0; row < park.Rows(); ++row) {
                const PixelPoint p = park.TileToScreen(col, row);
                const float dx = park.GetX() + p.x - 512.0f, dy = park.GetY() + p.y - 384.0f;
                tiles.push_back({dx * dx + dy * dy * 4.0f, {col, row}});
            }
        std::stable_sort(tiles.begin(), tiles.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<TilePoint> out;
        for (const auto& [d, at] : tiles) out.push_back(at);
        return out;
    }

    void Grow(KivraGrid& park) {
        // The gate opened from its popup, so the buildings on the lattice
        // are reached and show no sign that they are not.
        for (GridItem* item : park.Items())
            if (auto* gate = dynamic_cast<FrontGate*>(item)) gate->PurchaseUpgrade(L"open");
        const std::vector<TilePoint> order = TilesFromTheMiddle(park);
        // Sidewalk every third column and row over the open grass.
        for (const TilePoint at : order)
            if ((at.col % 3 == 0 || at.row % 3 == 0) && park.GetTileAt(at.col, at.row)->IsBuildable())
                park.SetTileMaterial(at, L'C');
        // Buildings in the blocks between, of every kind for sale.
        static constexpr const wchar_t* kTypes[] = {L"bouncy_castle", L"playhouse", L"cotton_candy",  L"gift_shop",
                                                    L"play_pipes",    L"oak_tree",  L"flowers_red",   L"burger_diner",
                                                    L"playhouse",     L"fountain",  L"pretzel_stand", L"gift_shop"};
        size_t next = 0;
        for (const TilePoint at : order) {
            if (buildings == kBuildings) break;
            for (int attempt = 0; attempt < 3 && buildings < kBuildings; ++attempt) {
                const wchar_t* type = kTypes[(next + static_cast<size_t>(attempt)) % std::size(kTypes)];
                // Carried, it meets the player's placing check; set down, it
                // takes its tiles and joins the zones as a placed one does,
                // so no later one passes the check on top of it.
                KivraBuilding* building = park.CreateAndPlaceBuilding(type, at.col, at.row, 1, L"");
                if (!building) continue;
                if (!building->CanPlace()) {
                    building->SetDeleteOnRemoval(true);
                    building->RemoveSelf();
                    continue;
                }
                park.StampItemMaterial(*building);
                park.UpdateZones(*building, false);
                ++buildings;
                ++next;
                break;
            }
        }
        // Visitors on the sidewalks, a few to a tile, the middle first.
        while (visitors < kVisitors) {
            const int before = visitors;
            for (const TilePoint at : order) {
                if (visitors == kVisitors) break;
                if (!park.IsWalkableAt(at.col, at.row)) continue;
                if (park.CreateAndPlaceItem(visitors % 3 ? L"picnicker" : L"daredevil", at.col, at.row, 0, L""))
                    ++visitors;
            }
            if (visitors == before) break;
        }
        park.ResetCycle();
        park.MarkDepthDirty();
        park.MarkTileStatesDirty();
        // A park a player could build: every tile of a building is its own.
        // One standing on another would be left out of the park read back.
        for (GridItem* item : park.Items()) {
            auto* building = dynamic_cast<KivraBuilding*>(item);
            const TileRect r = item->GetFootprintRect();
            for (int32_t col = r.Left(); building && col <= r.col; ++col)
                for (int32_t row = r.Top(); row <= r.row; ++row)
                    stacked += park.GetTileAt(col, row) && park.GetTileOccupant({col, row}) != building;
        }
        for (GridItem* item : park.Items()) {
            const float x = park.GetX() + item->GetX(), y = park.GetY() + item->GetY();
            onScreen += x > -64 && x < 1088 && y > -64 && y < 832;
        }
    }

    Scene scene_;
    std::function<void(BusyParkGame&)> measure_;
    int stage_ = 0, frames_ = 0;
    bool measured_ = false;
};

// A fresh data folder for the game's saves while it lives.
class FreshHome {
public:
    FreshHome() : previous_(GetAppDataFolder()) {
        std::string pattern = (fs::temp_directory_path() / "halvaro_frame_XXXXXX").string();
        if (::mkdtemp(pattern.data())) folder_ = pattern;
        SetAppDataFolder(folder_.string() + "/");
    }
    ~FreshHome() {
        SetAppDataFolder(previous_);
        std::error_code ec;
        if (!folder_.empty()) fs::remove_all(folder_, ec);
    }

private:
    std::string previous_;
    fs::path folder_;
};

void BM_ParkFrame(benchmark::State& state) {
    const auto scene = static_cast<BusyParkGame::Scene>(state.range(0));
    const fs::path cwd = fs::current_path();
    FreshHome home;
    // The tiles' shared images belong to the game that registered them.
    GridTile::ForgetTileImages();
    std::vector<char> from(kFrameBytes, 1), to(kFrameBytes);
    Clock::duration frame{}, floor{}, step{};
    int items = 0;
    BusyParkGame game(std::string(HALVARO_SOURCE_DIR) + "/data", scene, [&](BusyParkGame& g) {
        if (g.stacked != 0) {
            state.SkipWithError("the grown park has a building standing on another");
            return;
        }
        items = g.Park() ? static_cast<int>(g.Park()->Items().size()) : 0;
        for (auto _ : state) {
            const Clock::time_point s0 = Clock::now();
            g.Step();
            const Clock::time_point t0 = Clock::now();
            step += t0 - s0;
            std::memcpy(to.data(), from.data(), from.size());
            benchmark::DoNotOptimize(to.data());
            benchmark::ClobberMemory();
            const Clock::time_point t1 = Clock::now();
            g.DrawFrame();
            frame += Clock::now() - t1;
            floor += t1 - t0;
        }
        if (const char* png = std::getenv("HALVARO_FRAME_PNG"); png)
            g.WriteFrame(std::string(png) + std::to_string(scene) + ".png");
    });
    const bool played = game.Play();
    fs::current_path(cwd);
    if (game.stacked != 0) return;
    if (!played) {
        state.SkipWithError("the park did not open");
        return;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["frame_us"] = std::chrono::duration<double, std::micro>(frame).count() / n;
    state.counters["step_us"] = std::chrono::duration<double, std::micro>(step).count() / n;
    state.counters["floor_us"] = std::chrono::duration<double, std::micro>(floor).count() / n;
    state.counters["over_floor"] = std::chrono::duration<double>(frame) / std::chrono::duration<double>(floor);
    state.counters["items"] = items;
    state.counters["buildings"] = game.buildings;
    state.counters["visitors"] = game.visitors;
    state.counters["on_screen"] = game.onScreen;
}
BENCHMARK(BM_ParkFrame)->ArgName("park")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)->Iterations(300);

}  // namespace
