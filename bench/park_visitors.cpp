// Visitors in the park's fixed step: a 100 x 100 sidewalk park grid with
// 200 rides of 2 x 2 (a door below each) and N visitors going from ride to
// ride as their task scripts make them: a visitor that stands still searches
// for a door of a ride that suits it (the leap rule picks the match), walks
// there, goes in for the ride's time per use and comes out. One iteration is
// one 10 ms step: the visitors' decisions, the fixed update and the per-frame
// pass (no drawing). Bound: 1 ms on average and 4 ms for the slowest 1% at
// 2,000 visitors; counters give the mean, the slowest 1%, the searches per
// step and the bytes allocated per visitor made.
//
// BM_ShippedLevel/N: the same step on the shipped first level as the game
// plays it (shipped_level.h): the in-game display with the tutorial at its
// "navigate" step (the park runs, the step's message shows), the park paved
// and filled with the buildings the level sells, the gate open, and N
// visitors of the level's kinds arriving at its spawn spots and living by
// their shipped scripts (searches, queues, rides, snacks, going home). One
// iteration is one fixed update plus the per-frame pass of the whole tree,
// display included; the counters give the buildings, the visitors still in
// the park and those inside a building at the end.
//
// BM_Walkers2000, the yardstick in the same run: 2,000 plain persons on a
// plain grid of the same map walking to random tiles, as park_walking does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "bench_host.h"
#include "foundation/expression/constants_map.h"
#include "game/data/catalogues/item_stats.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "game/park/people/kivra_person.h"
#include "game/park/tasks/item_filters.h"
#include "game/park/tasks/tile_filters.h"
#include "platform/system/heap_pages.h"
#include "shipped_level.h"
#include "tests/game/park/board_scene.h"
#include "thread_clock.h"
#include "widgets/tree/widget_manager.h"

namespace {
std::atomic<long long> g_bytes{0};
}  // namespace

void* operator new(std::size_t size) {
    g_bytes.fetch_add(static_cast<long long>(size), std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

constexpr int kSide = 100;
constexpr int kRides = 200;
constexpr std::string_view kItems = R"(<items>
  <people><person type="fan" path_speed="3" energy="80" needed_appeal_level="1" search_food_energy="30"
                  preferred_building_category="ride" preferred_characteristic="noisy"/>
          <person type="walker" path_speed="3"/></people>
  <ride><building type="hut" capacity="6" appeal="4" timeperuse="300" energyperuse="-5"
                  characteristic="noisy">AA AA 2_</building></ride>
</items>)";

// Processor time of this thread: the machine may be shared.
using Clock = ThreadClock;

struct VisitorPark {
    explicit VisitorPark(int visitors, bool plain) {
        ConstantsMap()[L"person_walk_energy_cost"] = PropertyValue(1.5f);
        ConstantsMap()[L"person_leap_increase"] = PropertyValue(5);
        ConstantsMap()[L"appeal_maximum"] = PropertyValue(12);
        scene.Play(testsupport::LevelBuilder(kSide, kSide, L'S'));
        std::ofstream("properties/items.xml") << kItems;
        items.Load();
        if (plain) {
            plainGrid = new testsupport::TestGrid();
            grid = plainGrid;
        } else {
            park = new KivraGrid();
            grid = park;
        }
        mgr.AddWidget(grid);
        grid->SetAllowDiagonal(true);
        if (park != nullptr) {
            park->SetWeekTimer(1.0e9f);
            // Rows of rides every 7 tiles, sidewalk all round them.
            for (int i = 0; i < kRides; ++i) {
                const int col = 3 + (i % 14) * 7, row = 3 + (i / 14) * 7;
                if (KivraBuilding* hut = park->CreateAndPlaceBuilding(L"hut", col, row, 0, L""))
                    park->MarkItemTiles(true, *hut);
            }
        }
        const long long before = g_bytes.load();
        for (int made = 0; made < visitors;) {
            const TilePoint at{Any(), Any()};
            if (!grid->IsWalkableAt(at.col, at.row)) continue;
            auto* person =
                dynamic_cast<Person*>(grid->CreateAndPlaceItem(plain ? L"walker" : L"fan", at.col, at.row, 0, L""));
            persons.push_back(person);
            if (auto* fan = dynamic_cast<KivraPerson*>(person)) fans.push_back(fan);
            ++made;
        }
        bytesPerVisitor = static_cast<double>(g_bytes.load() - before) / std::max(visitors, 1);
    }
    ~VisitorPark() { mgr.RemoveAllWidgets(true, false); }
    int Any() { return static_cast<int>(rng() % kSide); }

    // What a visitor's task script does with a visitor at rest.
    int64_t Decide() {
        int64_t searches = 0;
        if (park == nullptr) {
            for (Person* p : persons) {
                if (p->IsFollowingPath()) continue;
                p->FindPathTo({Any(), Any()});
                ++searches;
            }
            return searches;
        }
        for (KivraPerson* fan : fans) {
            if (fan->GetBuildingInUse() != nullptr) {
                if (fan->GetStay() == 0) fan->GainHappiness();
                continue;
            }
            if (fan->IsFollowingPath() || fan->GetCoveringBuilding() != nullptr) continue;
            if (KivraBuilding* ride = DoorRideAt(*fan)) {
                fan->EnterBuilding(*ride);
                continue;
            }
            auto suits = std::make_unique<AcceptBuildingByVisitorPreferences>(fan);
            AcceptTileByDoor doors(std::move(suits), L'0');
            fan->FindPathToMatch(&doors);
            ++searches;
        }
        return searches;
    }
    // A ride whose door the visitor stands on, and that suits it.
    KivraBuilding* DoorRideAt(KivraPerson& fan) {
        const TilePoint at = fan.GetGridPosition();
        GridTile* tile = park->GetTileAt(at.col, at.row);
        if (tile == nullptr) return nullptr;
        AcceptBuildingByVisitorPreferences suits(&fan);
        for (GridItem* item : tile->GetItems()) {
            auto* ride = dynamic_cast<KivraBuilding*>(item);
            if (ride != nullptr && ride->FindDoor(at, 0) != nullptr && suits.Accept(ride)) return ride;
        }
        return nullptr;
    }

    testsupport::HeadlessDeviceHost screen;
    testsupport::BoardScene scene;
    KivraItemStats items;
    WidgetManager mgr;
    Grid* grid = nullptr;
    KivraGrid* park = nullptr;
    testsupport::TestGrid* plainGrid = nullptr;
    std::vector<Person*> persons;
    std::vector<KivraPerson*> fans;
    std::mt19937 rng{4357};
    double bytesPerVisitor = 0.0;
};

// One 10 ms step, apart so that an instruction count can be limited to it
// (valgrind --tool=callgrind --toggle-collect='*OneStep*').
[[gnu::noinline]] int64_t OneStep(VisitorPark& park) {
    const int64_t searches = park.Decide();
    park.mgr.UpdateFrame();
    park.mgr.UpdateFractionFrame(1.0f);
    return searches;
}

// The mean step and the slowest hundredth's, from every step's time.
void CountStepTimes(benchmark::State& state, std::vector<double>& steps) {
    std::sort(steps.begin(), steps.end());
    double sum = 0.0;
    for (double s : steps) sum += s;
    const auto n = static_cast<double>(steps.size());
    state.counters["mean_ms"] = sum / n;
    state.counters["p99_ms"] = steps[static_cast<size_t>(0.99 * (n - 1))];
}

void RunSteps(benchmark::State& state, int visitors, bool plain) {
    VisitorPark park(visitors, plain);
    // Long enough for the visits to fall out of step with one another.
    for (int i = 0; i < 2000; ++i) {
        park.Decide();
        park.mgr.UpdateFrame();
        park.mgr.UpdateFractionFrame(1.0f);
    }
    std::vector<double> steps;
    int64_t searches = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        searches += OneStep(park);
        steps.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    const auto n = static_cast<double>(steps.size());
    CountStepTimes(state, steps);
    state.counters["searches_per_step"] = static_cast<double>(searches) / n;
    int inside = 0;
    for (KivraPerson* fan : park.fans) inside += fan->GetBuildingInUse() != nullptr;
    state.counters["inside"] = inside;
    state.counters["bytes_per_visitor"] = park.bytesPerVisitor;
}

void BM_Visitors(benchmark::State& state) { RunSteps(state, static_cast<int>(state.range(0)), false); }
BENCHMARK(BM_Visitors)->Arg(100)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(2000);

// One step of the shipped level, apart for instruction counts as OneStep.
[[gnu::noinline]] void ShippedStep(benchsupport::ShippedLevel& park) { park.Step(); }

void BM_ShippedLevel(benchmark::State& state) {
    // The game asks for large pages under its heap before a level is made;
    // so is this level (and the yardstick after it).
    static plat::HeapPages heapPages;
    heapPages.Reserve();
    testsupport::HeadlessDeviceHost screen;
    benchsupport::ShippedLevel park(L"maple_green", 10);
    park.Grow(static_cast<int>(state.range(0)));
    // Long enough for the arrivals to pass the gate and spread over the rides.
    for (int i = 0; i < 4000; ++i) park.Step();
    heapPages.Cover();
    std::vector<double> steps;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        ShippedStep(park);
        steps.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    CountStepTimes(state, steps);
    state.counters["buildings"] = park.buildings;
    state.counters["visitors"] = park.Visitors();
    state.counters["inside"] = park.InsideBuildings();
    state.counters["tutorial_step"] = park.player->TutorialStep();
}
BENCHMARK(BM_ShippedLevel)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(2000);

void BM_Walkers2000(benchmark::State& state) { RunSteps(state, 2000, true); }
BENCHMARK(BM_Walkers2000)->Unit(benchmark::kMillisecond)->Iterations(2000);

}  // namespace
