// The visitor spawner: building its queue for 10^3 to 10^6 visitors should
// grow linearly (yardstick: shuffling as many integers with the standard
// library's shuffle), and one step of spawning should cost the same
// whatever the queue's length (yardstick: the one constants lookup a step
// makes). Steps run with spawning disabled, so the queue keeps its length
// and no visitor is made.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <numeric>
#include <random>
#include <vector>

#include "bench/bench_host.h"
#include "foundation/expression/constants_map.h"
#include "foundation/system/runtime_random.h"
#include "game/data/catalogues/item_stats.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "game/park/parkgrid/kivra_spawner.h"
#include "tests/game/park/board_scene.h"
#include "widgets/tree/widget_manager.h"

namespace {

struct Park {
    Park() {
        std::ofstream("properties/items.xml") << R"(<items><people><person type="walker"/></people></items>)";
        items.Load();
        ConstantsMap()[L"week_duration"] = PropertyValue(60);
        KivraSpawner::ForgetTiming();
        scene.Play(testsupport::LevelBuilder(16, 16, L'_'));
        grid = new KivraGrid();
        mgr.AddWidget(grid);
        grid->AddSpawnSpot({1, 1});
    }
    ~Park() {
        mgr.RemoveAllWidgets(true, false);
        ConstantsMap().clear();
    }
    // A spawner of n visitors of three types, not in the tree.
    std::unique_ptr<KivraSpawner> Spawner(int64_t n) {
        auto spawner = std::make_unique<KivraSpawner>(*grid);
        spawner->AddVisitorEntry(L"walker", static_cast<uint32_t>(n / 2));
        spawner->AddVisitorEntry(L"runner", static_cast<uint32_t>(n / 4));
        spawner->AddVisitorEntry(L"sitter", static_cast<uint32_t>(n - n / 2 - n / 4));
        return spawner;
    }

    testsupport::BoardScene scene;
    KivraItemStats items;
    WidgetManager mgr;
    KivraGrid* grid = nullptr;
};

void BM_BuildSpawnQueue(benchmark::State& state) {
    testsupport::HeadlessDeviceHost screen;
    Park park;
    SeedRuntimeRandom(4357);
    auto spawner = park.Spawner(state.range(0));
    for (auto _ : state) spawner->BuildSpawnQueue();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BuildSpawnQueue)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_YardstickShuffle(benchmark::State& state) {
    std::vector<uint32_t> values(static_cast<size_t>(state.range(0)));
    std::iota(values.begin(), values.end(), 0u);
    std::minstd_rand rng(4357);
    for (auto _ : state) {
        std::shuffle(values.begin(), values.end(), rng);
        benchmark::DoNotOptimize(values.data());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_YardstickShuffle)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_SpawnerStep(benchmark::State& state) {
    testsupport::HeadlessDeviceHost screen;
    Park park;
    ConstantsMap()[L"disable_spawning"] = PropertyValue(true);
    auto spawner = park.Spawner(state.range(0));
    spawner->BuildSpawnQueue();
    for (auto _ : state) spawner->Update();
    if (spawner->QueuedVisitors() != static_cast<uint64_t>(state.range(0))) state.SkipWithError("the queue changed");
}
BENCHMARK(BM_SpawnerStep)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kNanosecond);

void BM_YardstickConstantLookup(benchmark::State& state) {
    ConstantsMap()[L"disable_spawning"] = PropertyValue(true);
    for (auto _ : state) benchmark::DoNotOptimize(GetConstant(L"disable_spawning").ToBool());
    ConstantsMap().clear();
}
BENCHMARK(BM_YardstickConstantLookup)->Unit(benchmark::kNanosecond);

}  // namespace
