// Persons and filters on a 64 x 64 sidewalk park, against the 10 ms step.
//
// BM_FindItems2000: the grid's item search over 2,000 items (200 buildings
// of 2 x 2, 1,800 persons) with a three-member preferring composite
// (category, building, distance preference); bound 1% of the step.
// BM_Walking2000: 2,000 persons walking between random tiles round a few
// blocks, diagonals on, each given a new goal when it stops: the fixed
// update plus the per-frame pass, searches included; bound 10% of the step
// on average. Its counters split the step: searches, walking (the rest of
// the update and the pass), tile states, and the depth sort a frame's draw
// would run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_host.h"
#include "game/park/people/person.h"
#include "game/park/tasks/composite_filters.h"
#include "game/park/tasks/item_filters.h"
#include "tests/game/park/board_scene.h"
#include "thread_clock.h"
#include "widgets/tree/widget_manager.h"

namespace {

constexpr int kSide = 64;
constexpr std::string_view kItems = R"(<items>
  <people><person type="walker" path_speed="3.0"/></people>
  <shops><building type="hut">AA2 AA_</building></shops>
</items>)";

// Sidewalk with four blocks of 8 x 8 that the walkers go round.
std::wstring ParkMap() {
    std::wstring text;
    for (int r = 0; r < kSide; ++r) {
        if (r > 0) text += L' ';
        for (int c = 0; c < kSide; ++c) {
            const bool block = (c % 32 >= 12 && c % 32 < 20) && (r % 32 >= 12 && r % 32 < 20);
            text += block ? L'X' : L'S';
        }
    }
    return text;
}

struct Park {
    Park(int huts, int walkers) {
        scene.Play(testsupport::LevelBuilder(kSide, kSide).Map(ParkMap()));
        std::ofstream("properties/items.xml") << kItems;
        items.Load();
        grid = new testsupport::TestGrid();
        mgr.AddWidget(grid);
        grid->SetAllowDiagonal(true);
        for (int i = 0; i < huts; ++i) grid->CreateAndPlaceItem(L"hut", Any(), Any(), 0, L"");
        for (int i = 0; i < walkers;) {
            const TilePoint at{Any(), Any()};
            if (!grid->IsWalkableAt(at.col, at.row)) continue;
            persons.push_back(dynamic_cast<Person*>(grid->CreateAndPlaceItem(L"walker", at.col, at.row, 0, L"")));
            ++i;
        }
    }
    ~Park() { mgr.RemoveAllWidgets(true, false); }
    int Any() { return static_cast<int>(rng() % kSide); }

    testsupport::HeadlessDeviceHost screen;
    testsupport::BoardScene scene;
    ItemStats items;
    WidgetManager mgr;
    testsupport::TestGrid* grid = nullptr;
    std::vector<Person*> persons;
    std::mt19937 rng{4357};
};

void BM_FindItems2000(benchmark::State& state) {
    Park park(200, 1800);
    PreferItemByFilters filter(true);
    filter.AddFilter(std::make_unique<AcceptItemByCategory>(L"shops"));
    filter.AddFilter(std::make_unique<AcceptBuilding>());
    filter.AddFilter(std::make_unique<PreferItemByDistance>(TilePoint{20, 30}, 40.0f, -1.0f));
    std::vector<GridItem*> found;
    for (auto _ : state) {
        park.grid->FindItems(found, &filter);
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["found"] = static_cast<double>(found.size());
}
BENCHMARK(BM_FindItems2000)->Unit(benchmark::kMicrosecond);

// Processor time of this thread: the machine may be shared.
using Clock = ThreadClock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// New goals for the persons that stopped.
int64_t Replan(Park& park) {
    int64_t plans = 0;
    for (Person* p : park.persons) {
        if (p->IsFollowingPath()) continue;
        p->FindPathTo({park.Any(), park.Any()});
        ++plans;
    }
    return plans;
}

void BM_Walking2000(benchmark::State& state) {
    Park park(0, 2000);
    // Long enough for the walks to fall out of step with one another.
    for (int i = 0; i < 3000; ++i) {
        Replan(park);
        park.mgr.UpdateFrame();
        park.mgr.UpdateFractionFrame(1.0f);
    }
    Clock::duration searches{}, tiles{}, walking{}, depth{};
    int64_t steps = 0, plans = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        plans += Replan(park);
        const auto t1 = Clock::now();
        park.grid->ResetTileStates();
        const auto t2 = Clock::now();
        park.mgr.UpdateFrame();
        park.mgr.UpdateFractionFrame(1.0f);
        const auto t3 = Clock::now();
        state.PauseTiming();
        const auto t4 = Clock::now();
        park.grid->SortItemsByDepth();
        depth += Clock::now() - t4;
        state.ResumeTiming();
        searches += t1 - t0;
        tiles += t2 - t1;
        walking += t3 - t2;
        ++steps;
    }
    const auto per = [&](Clock::duration d) { return Ms(d) / static_cast<double>(steps); };
    state.counters["search_ms"] = per(searches);
    state.counters["walk_ms"] = per(walking);
    state.counters["tiles_ms"] = per(tiles);
    state.counters["depth_ms"] = per(depth);
    state.counters["plans_per_step"] = static_cast<double>(plans) / static_cast<double>(steps);
}
BENCHMARK(BM_Walking2000)->Unit(benchmark::kMillisecond)->Iterations(1000);

}  // namespace

namespace {
// The yardstick: the same 2,000 persons standing, the tree's own update and pass.
void BM_Standing2000(benchmark::State& state) {
    Park park(0, 2000);
    for (auto _ : state) {
        park.mgr.UpdateFrame();
        park.mgr.UpdateFractionFrame(1.0f);
    }
}
BENCHMARK(BM_Standing2000)->Unit(benchmark::kMillisecond);
}  // namespace
