// Placing one building in parks of 50, 100, 200 and 400 buildings: the
// placing step (stamps, the zone update, the tile refresh bookkeeping) of a
// building carried for moving, so no money or display is involved; and the
// building leaving the zones. The buildings are of four types with buffs and
// clashing characteristics, and the game knows a combination of each
// requirement kind, so the zones link, buff, penalise and search for real.
// A park grows with its buildings (400 spread over 64 x 64 as densely as 50
// over 23 x 23). Each should grow at most linearly with the park. The
// yardstick walks the park's items once with the run-time type test every
// whole-park pass of the placing step makes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <random>

#include "bench/bench_host.h"
#include "game/data/catalogues/game_stats.h"
#include "game/data/catalogues/item_stats.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "tests/game/park/board_scene.h"
#include "widgets/tree/widget_manager.h"

namespace {

constexpr int kSide = 64;

class BenchPark : public KivraGrid {
public:
    using KivraGrid::SetEditMode;
};

constexpr std::string_view kItems = R"(<items>
  <ride>
    <building type="swing" buycost="10" capacity="4" ticketprice="3" characteristic="noisy">AA AA</building>
    <building type="slide" buycost="10" capacity="4" ticketprice="2" characteristic="quiet">AA AA</building>
  </ride>
  <snack><building type="cart" buycost="10" capacity="2" appealbuff="0.5" characteristic="bright">AA AA</building></snack>
  <decoration><building type="tree" buycost="10" appealbuff="1" characteristic="dark">AA AA</building></decoration>
</items>)";

constexpr std::string_view kCombos = R"(<game>
  <combo name="playground" money_offset="2"><building type="swing"/><building type="slide"/><building type="cart"/></combo>
  <combo name="midway" money_offset="1"><building category="ride"/><building category="ride"/><building category="snack"/></combo>
  <combo name="racket" money_offset="1"><building characteristic="noisy"/></combo>
</game>)";

struct Park {
    explicit Park(int buildings) {
        std::ofstream("properties/items.xml") << kItems;
        std::ofstream("properties/game.xml") << kCombos;
        items.Load();
        game.Load();
        const int side = 2 + static_cast<int>(std::lround((kSide - 2) * std::sqrt(buildings / 400.0)));
        scene.Play(testsupport::LevelBuilder(side, side, L'_'));
        grid = new BenchPark();
        mgr.AddWidget(grid);
        std::mt19937 rng(4357);
        const wchar_t* types[] = {L"swing", L"slide", L"cart", L"tree"};
        for (int i = 0; i < buildings; ++i)
            grid->CreateAndPlaceBuilding(types[rng() % 4], 1 + static_cast<int>(rng() % (side - 1)),
                                         1 + static_cast<int>(rng() % (side - 1)), 0, L"");
        grid->StartItems();
        moved = grid->CreateAndPlaceBuilding(L"swing", side / 2, side / 2, 0, L"");
    }
    ~Park() { mgr.RemoveAllWidgets(true, false); }

    // What the moving tool does before the placing step.
    void PickUp() {
        moved->RemoveAllWidgets(true, false);  // the fade scripts of the last round
        grid->RemoveFromZones(*moved, true);
        grid->SetEditMode(KivraGrid::kMoveHeld);
        grid->StartHoverFade(*moved);
    }

    testsupport::BoardScene scene;
    KivraItemStats items;
    GameStats game;
    WidgetManager mgr;
    BenchPark* grid = nullptr;
    KivraBuilding* moved = nullptr;
};

void BM_PlaceBuilding(benchmark::State& state) {
    testsupport::HeadlessDeviceHost screen;
    Park park(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        park.PickUp();
        state.ResumeTiming();
        park.grid->PlaceBuilding(true);
    }
}
BENCHMARK(BM_PlaceBuilding)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMicrosecond);

void BM_RemoveFromZones(benchmark::State& state) {
    testsupport::HeadlessDeviceHost screen;
    Park park(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        park.grid->RemoveFromZones(*park.moved, true);
        state.PauseTiming();
        park.grid->UpdateZones(*park.moved, false);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RemoveFromZones)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMicrosecond);

// The yardstick: one pass over the park's items with the type test.
void BM_WalkItems(benchmark::State& state) {
    testsupport::HeadlessDeviceHost screen;
    Park park(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        int buildings = 0;
        for (GridItem* item : park.grid->Items()) buildings += dynamic_cast<KivraBuilding*>(item) != nullptr;
        benchmark::DoNotOptimize(buildings);
    }
}
BENCHMARK(BM_WalkItems)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMicrosecond);

}  // namespace
