// A grid task's search word on a 100 x 100 sidewalk park with 200 buildings
// (190 huts, 10 stalls, each 2 x 2 with one door): a walker in the middle
// runs "follow-path" to the nearest stall door and "stop-following-path",
// as a visitor's script does each time it chooses where to go. The
// yardstick, in the same iteration, is the bare path search the word makes:
// Grid::FindPathToMatch with a door filter built once. "ratio" is the word's
// time over the yardstick's; "allocs_per_word" counts the word's
// allocations (attribute values, the filters it builds, the walk's own),
// "allocs_per_bare_walk" those of the same walk started and stopped
// without the word (untimed).
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>

#include "bench/allocation_counter.h"
#include "bench/bench_host.h"
#include "game/park/people/person.h"
#include "game/park/tasks/grid_task.h"
#include "game/park/tasks/item_filters.h"
#include "game/park/tasks/tile_filters.h"
#include "tests/game/park/board_scene.h"
#include "widgets/tree/widget_manager.h"

namespace {

constexpr int kSide = 100;
constexpr std::string_view kItems = R"(<items>
  <people><person type="walker" path_speed="3.0"/></people>
  <shops><building type="hut">AA2 AA_</building><building type="stall">AA2 AA_</building></shops>
</items>)";

AnimationStep Step(const wchar_t* word, std::vector<std::pair<std::wstring, std::wstring>> attributes) {
    AnimationStep step;
    step.name = word;
    for (auto& [name, value] : attributes) step.attributes[name] = value;
    return step;
}

struct Park {
    Park() {
        scene.Play(testsupport::LevelBuilder(kSide, kSide));
        std::ofstream("properties/items.xml") << kItems;
        items.Load();
        grid = new testsupport::TestGrid();
        mgr.AddWidget(grid);
        grid->SetAllowDiagonal(true);
        // 20 columns by 10 rows of buildings, every nineteenth a stall.
        for (int i = 0; i < 200; ++i) {
            const int col = 3 + (i % 20) * 5, row = 4 + (i / 20) * 10;
            grid->CreateAndPlaceItem(i % 19 == 7 ? L"stall" : L"hut", col, row, 0, L"");
        }
        walker = dynamic_cast<Person*>(grid->CreateAndPlaceItem(L"walker", 50, 51, 0, L""));
        FindAnimation(L"seek_start")->steps.clear();
        search = FindAnimation(L"seek_search");
        search->steps = {Step(L"follow-path", {{L"id", L"owner"}, {L"type", L"stall"}}),
                         Step(L"stop-following-path", {{L"id", L"owner"}})};
        std::unique_ptr<Task> made = walker->CreateTask(L"seek");
        task = dynamic_cast<GridTask*>(made.get());
        walker->AddTask(std::move(made), 0.5f);
    }
    ~Park() { mgr.RemoveAllWidgets(true, false); }

    testsupport::HeadlessDeviceHost screen;
    testsupport::BoardScene scene;
    ItemStats items;
    WidgetManager mgr;
    testsupport::TestGrid* grid = nullptr;
    Person* walker = nullptr;
    GridTask* task = nullptr;
    AnimationDefinition* search = nullptr;
};

void BM_SearchWordAgainstBareFindPathToMatch(benchmark::State& state) {
    Park park;
    AcceptTileByDoor doors(std::make_unique<AcceptItemByType>(L"stall"), AcceptTileByDoor::kAnySide);
    TilePath path;
    double wordSeconds = 0.0, bareSeconds = 0.0;
    long allocations = 0, bareAllocations = 0, walkAllocations = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const long before = testsupport::g_allocations.load();
        park.task->PlayAnimation(park.search);
        allocations += testsupport::g_allocations.load() - before;
        const auto middle = std::chrono::steady_clock::now();
        const long bareBefore = testsupport::g_allocations.load();
        park.grid->FindPathToMatch(path, park.walker->GetGridPosition(), &doors, park.walker, 1);
        bareAllocations += testsupport::g_allocations.load() - bareBefore;
        const auto end = std::chrono::steady_clock::now();
        // What the person's own walk allocates, beside the word's share: untimed.
        const long walkBefore = testsupport::g_allocations.load();
        park.walker->FindPathToMatch(&doors);
        park.walker->ClearPath();
        walkAllocations += testsupport::g_allocations.load() - walkBefore;
        benchmark::DoNotOptimize(path.data());
        const double word = std::chrono::duration<double>(middle - start).count();
        wordSeconds += word;
        bareSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(word);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ratio"] = bareSeconds > 0.0 ? wordSeconds / bareSeconds : 0.0;
    state.counters["bare_us"] = bareSeconds / n * 1e6;
    state.counters["allocs_per_word"] = static_cast<double>(allocations) / n;
    state.counters["allocs_per_bare_search"] = static_cast<double>(bareAllocations) / n;
    state.counters["allocs_per_bare_walk"] = static_cast<double>(walkAllocations) / n;
    state.counters["path_tiles"] = static_cast<double>(path.size());
}
BENCHMARK(BM_SearchWordAgainstBareFindPathToMatch)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
