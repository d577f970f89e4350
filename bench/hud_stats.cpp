// The build menu's list: "get-stats" of the building types, run as the
// display's script runs it, over catalogues of 50, 200 and 800 building
// types (prices drawn at random, many equal). At 200 types it must stay
// under 50 microseconds. The yardstick gathers the same types and sorts
// them by price with the standard library's stable sort.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_host.h"
#include "game/frontend/hud/user_interface.h"
#include "tests/game/park/board_scene.h"
#include "widgets/tree/widget_manager.h"

namespace {

std::string Catalogue(int types) {
    std::mt19937 rng(4357);
    std::string text = "<items><rides>";
    for (int i = 0; i < types; ++i) {
        text += "<building type=\"ride" + std::to_string(i) + "\" buycost=\"" + std::to_string(rng() % 40 * 25) + "\"";
        if (i % 10 == 0) text += " stationary=\"true\"";
        text += ">A</building>";
    }
    return text + "</rides></items>";
}

struct Display {
    explicit Display(int types) {
        std::ofstream("properties/items.xml") << Catalogue(types);
        items.Load();
        scene.Play(testsupport::LevelBuilder(8, 8, L'_'));
        AnimationStep step;
        step.name = L"get-stats";
        step.attributes = {{L"search", L"literal(items)"}, {L"_results", L"list"}, {L"_number", L"count"}};
        FindAnimation(L"build_menu")->steps = {step};
        hud = new UserInterface();
        mgr.AddWidget(hud);
    }
    ~Display() { mgr.RemoveAllWidgets(true, false); }

    testsupport::BoardScene scene;
    KivraItemStats items;
    WidgetManager mgr;
    UserInterface* hud = nullptr;
};

void BM_BuildList(benchmark::State& state) {
    testsupport::HeadlessDeviceHost screen;
    Display display(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        display.hud->RunAnimationNamed(L"build_menu");
        benchmark::DoNotOptimize(display.hud->BuildingTypes().Size());
    }
}
BENCHMARK(BM_BuildList)->Arg(50)->Arg(200)->Arg(800)->Unit(benchmark::kMicrosecond);

// The yardstick: the same types gathered and stable-sorted by price.
void BM_GatherAndSort(benchmark::State& state) {
    testsupport::HeadlessDeviceHost screen;
    Display display(static_cast<int>(state.range(0)));
    std::vector<KIVRA_BUILDING_TYPE*> list;
    for (auto _ : state) {
        list.clear();
        for (const auto& [name, type] : display.items.Types())
            if (auto* building = dynamic_cast<KIVRA_BUILDING_TYPE*>(type); building && !building->stationary)
                list.push_back(building);
        std::stable_sort(list.begin(), list.end(), [](auto* a, auto* b) { return a->buycost < b->buycost; });
        benchmark::DoNotOptimize(list.data());
    }
}
BENCHMARK(BM_GatherAndSort)->Arg(50)->Arg(200)->Arg(800)->Unit(benchmark::kMicrosecond);

}  // namespace
