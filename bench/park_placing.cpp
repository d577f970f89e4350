// Placing one building in parks of 50, 100, 200 and 400 buildings: the
// placing step (stamps, the zone update, the tile refresh bookkeeping) of a
// building carried for moving, so no money or display is involved; and the
// building leaving the zones. Each should grow at most linearly with the
// park. The yardstick walks the park's items once with the run-time type
// test every whole-park pass of the placing step makes.
#include <benchmark/benchmark.h>

#include <fstream>
#include <random>

#include "bench/bench_host.h"
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

struct Park {
    explicit Park(int buildings) {
        std::ofstream("properties/items.xml")
            << R"(<items><rides><building type="hut" buycost="10" capacity="4">AA AA</building></rides></items>)";
        items.Load();
        scene.Play(testsupport::LevelBuilder(kSide, kSide, L'_'));
        grid = new BenchPark();
        mgr.AddWidget(grid);
        std::mt19937 rng(4357);
        for (int i = 0; i < buildings; ++i)
            grid->CreateAndPlaceBuilding(L"hut", 1 + static_cast<int>(rng() % (kSide - 1)),
                                         1 + static_cast<int>(rng() % (kSide - 1)), 0, L"");
        grid->StartItems();
        moved = grid->CreateAndPlaceBuilding(L"hut", kSide / 2, kSide / 2, 0, L"");
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
