// Saving a park of 50, 200 and 400 buildings into its level and building it
// again from the level: the park leaves the tree (each building's record with
// its upgrades and boosts, the tile materials) and a new park enters it
// (every building placed, its improvements restored, the goals told) and
// starts its items, as the display does (the zones formed). The
// aim is 20 ms at 200 buildings. The yardstick is the same round trip of the
// empty park: building and saving the tiles alone.
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

constexpr int kSide = 100;

struct Park {
    explicit Park(int buildings) {
        std::ofstream("properties/items.xml") << R"(<items><rides>
            <building type="hut" buycost="10" capacity="4">AA AA
              <upgrade label="paint" coincost="5" property="appeal" offset="2"/>
              <upgrade label="roof" coincost="5" property="capacity" offset="1"/>
              <boost label="music" coincost="5" duration="2" property="appeal" offset="3"/>
            </building></rides></items>)";
        items.Load();
        scene.Play(testsupport::LevelBuilder(kSide, kSide, L'_'));
        auto* grid = new KivraGrid();
        mgr.AddWidget(grid);
        std::mt19937 rng(4357);
        for (int i = 0; i < buildings; ++i)
            grid->CreateAndPlaceBuilding(L"hut", 1 + static_cast<int>(rng() % (kSide - 1)),
                                         1 + static_cast<int>(rng() % (kSide - 1)), 1 + static_cast<int>(rng() % 2),
                                         L"");
        grid->StartItems();
        mgr.RemoveWidget(grid);
    }
    ~Park() { mgr.RemoveAllWidgets(true, false); }

    void RoundTrip() {
        auto* grid = new KivraGrid();
        mgr.AddWidget(grid);
        grid->StartItems();
        mgr.RemoveWidget(grid);
        delete grid;
    }

    testsupport::BoardScene scene;
    KivraItemStats items;
    WidgetManager mgr;
};

void BM_SaveAndRebuildPark(benchmark::State& state) {
    testsupport::HeadlessDeviceHost screen;
    Park park(static_cast<int>(state.range(0)));
    for (auto _ : state) park.RoundTrip();
}
BENCHMARK(BM_SaveAndRebuildPark)->Arg(0)->Arg(50)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

}  // namespace
