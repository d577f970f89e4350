// The reachability pass: one building re-checked per park update, in a park
// of 200 buildings of 2 x 2 tiles on 100 x 100 tiles crossed by a sidewalk
// lattice (every fifth row and column) that leads to an open front gate.
// Each step times one call of the pass (a path search from the building's
// door to the gate's way in, or none for a door off the sidewalk); the pass
// starts again whenever it ends. The yardstick is the same search by target:
// from a building's door to the gate's door tile, with no filter.
#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <vector>

#include "bench/bench_host.h"
#include "game/data/catalogues/item_stats.h"
#include "game/park/buildings/front_gate.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "tests/game/park/board_scene.h"
#include "widgets/tree/widget_manager.h"

namespace {

constexpr int kSide = 100;
constexpr int kBuildings = 200;

constexpr std::string_view kItems = R"(<items>
  <ride><building type="swing" buycost="10" capacity="4">_d AA AA</building></ride>
  <gate><building type="front_gate" capacity="40">_GGGG_ 2GGGG1 _GGGG_ _GGGG_
    <upgrade label="open" coincost="500" heartcost="0" property="open" offset="1"/></building></gate>
</items>)";

struct Park {
    Park() {
        std::ofstream("properties/items.xml") << kItems;
        items.Load();
        testsupport::LevelBuilder level(kSide, kSide, L'_');
        std::wstring map;
        for (int row = 0; row < kSide; ++row) {
            for (int col = 0; col < kSide; ++col) map += row % 5 == 0 || col % 5 == 0 ? L'S' : L'_';
            map += L' ';
        }
        scene.Play(level.Map(map));
        grid = new KivraGrid();
        mgr.AddWidget(grid);
        auto* gate = dynamic_cast<FrontGate*>(grid->CreateAndPlaceBuilding(L"front_gate", 52, 53, 2, L""));
        gate->OpenGate();
        gateDoor = {gate->Doors().front().col, gate->Doors().front().row};
        std::mt19937 rng(4357);
        for (int i = 0; i < kBuildings; ++i) {
            KivraBuilding* b = grid->CreateAndPlaceBuilding(L"swing", 2 + static_cast<int>(rng() % (kSide - 3)),
                                                            2 + static_cast<int>(rng() % (kSide - 3)), 1, L"");
            grid->MarkItemTiles(true, *b);
            doors.push_back({b->Doors().front().col, b->Doors().front().row});
        }
        grid->StartItems();
    }
    ~Park() { mgr.RemoveAllWidgets(true, false); }

    testsupport::BoardScene scene;
    KivraItemStats items;
    WidgetManager mgr;
    KivraGrid* grid = nullptr;
    TilePoint gateDoor;
    std::vector<TilePoint> doors;
};

void BM_ReachabilityStep(benchmark::State& state) {
    testsupport::HeadlessDeviceHost screen;
    Park park;
    for (auto _ : state) {
        if (park.grid->CycleNext() < 0) {
            state.PauseTiming();
            park.grid->ResetCycle();
            state.ResumeTiming();
        }
        park.grid->CycleNextBuilding();
    }
}
BENCHMARK(BM_ReachabilityStep)->Unit(benchmark::kMicrosecond);

// The yardstick: one search by target from each door in turn.
void BM_PathToGateDoor(benchmark::State& state) {
    testsupport::HeadlessDeviceHost screen;
    Park park;
    TilePath path;
    size_t next = 0;
    for (auto _ : state) {
        park.grid->FindPathToTile(path, park.doors[next], park.gateDoor, nullptr);
        next = (next + 1) % park.doors.size();
        benchmark::DoNotOptimize(path.size());
    }
}
BENCHMARK(BM_PathToGateDoor)->Unit(benchmark::kMicrosecond);

}  // namespace
