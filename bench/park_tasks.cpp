// Tasks in the park's fixed step: 2,000 owners (drag widgets, as the grid's
// items are) each running one task whose update script makes a few
// assignments and ends, so the sequence starts it again every step; one fixed
// update plus the per-frame pass. The yardstick replays the same script on
// 2,000 bare animation widgets in the same run, with the same two passes.
// BM_GridTaskOwnersStep: the same with grid tasks, the kind the grid's items
// make, whose words every step of the script passes first.
// BM_NappingGridTaskOwnersStep: the steady state of visitors, whose scripts
// mostly wait: each update script waits 50 steps, then counts; beside it
// BM_IdleOwnersStep, the same owners and sequences with no task at all.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "bench/bench_host.h"
#include "game/park/base/task_owner.h"
#include "game/park/base/task_sequence.h"
#include "game/park/grid/drag_widget.h"
#include "game/park/tasks/grid_task.h"
#include "widgets/tree/widget_manager.h"

namespace {

constexpr int kOwners = 2000;

AnimationStep Step(const wchar_t* word, std::vector<std::pair<std::wstring, std::wstring>> attributes = {}) {
    AnimationStep step;
    step.name = word;
    for (auto& [name, value] : attributes) step.attributes[name] = value;
    return step;
}

AnimationStep Assign(const wchar_t* name, const wchar_t* value) {
    // "assign" evaluates its name: a literal keeps it a name.
    return Step(L"assign", {{L"name", std::wstring(L"literal(") + name + L")"}, {L"value", value}});
}

struct Scripts {
    Scripts() {
        // n is defined first: an undefined bare word is its own text.
        FindAnimation(L"chore_start")->steps = {Assign(L"n", L"0")};
        FindAnimation(L"chore_update")->steps = {Assign(L"n", L"n + 1"), Assign(L"half", L"n / 2"),
                                                 Assign(L"busy", L"n > 10"), Assign(L"target", L"half * 3 + 1")};
        FindAnimation(L"nap_start")->steps = {Assign(L"n", L"0")};
        FindAnimation(L"nap_update")->steps = {Step(L"wait-for", {{L"time", L"50"}}), Assign(L"n", L"n + 1")};
    }
};

class Owner : public DragWidget, public TaskOwner {
public:
    Owner(int x, int y) : DragWidget(0, 0, nullptr, 1.0f, false) { Move(static_cast<float>(x), static_cast<float>(y)); }
    void AddedToManager(WidgetManager* manager) override {
        DragWidget::AddedToManager(manager);
        CreateSequence(this);
    }
};

// An owner of grid tasks (on no grid: the script uses none of its words).
class GridTaskOwner : public Owner {
public:
    using Owner::Owner;
    std::unique_ptr<Task> CreateTask(std::wstring_view name) override {
        return std::make_unique<GridTask>(name, this, nullptr);
    }
};

void ReportShareOfStep(benchmark::State& state) {
    state.counters["share_of_10ms_step"] = benchmark::Counter(
        static_cast<double>(state.iterations()) / 100.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// 2,000 owners, each with its sequence and one task, in one manager.
template <class O = Owner>
struct OwnerWorld {
    // No task name: the owners stand idle.
    explicit OwnerWorld(const wchar_t* task = L"chore") {
        for (int i = 0; i < kOwners; ++i) {
            auto* owner = new O((i % 50) * 20, (i / 50) * 20);
            mgr.AddWidget(owner);
            if (task) owner->AddTask(owner->CreateTask(task), Task::kDefaultPriority);
        }
    }
    void Step() {
        mgr.UpdateFrame();
        mgr.UpdateFractionFrame(1.0f);
    }
    WidgetManager mgr;
};

struct NappingWorld : OwnerWorld<GridTaskOwner> {
    NappingWorld() : OwnerWorld(L"nap") {}
};
struct IdleWorld : OwnerWorld<GridTaskOwner> {
    IdleWorld() : OwnerWorld(nullptr) {}
};

// The yardstick: 2,000 bare animation widgets replaying the update script.
struct BareWorld {
    BareWorld() {
        for (int i = 0; i < kOwners; ++i) {
            auto* w = new AnimationWidget(L"", (i % 50) * 20, (i / 50) * 20, false);
            mgr.AddWidget(w);
            w->PlayAnimationNamed(L"chore_start");
            widgets.push_back(w);
        }
    }
    void Step() {
        for (AnimationWidget* w : widgets) w->PlayAnimation(update);
        mgr.UpdateFrame();
        mgr.UpdateFractionFrame(1.0f);
    }
    WidgetManager mgr;
    std::vector<AnimationWidget*> widgets;
    AnimationDefinition* update = FindAnimation(L"chore_update");
};

template <class World>
void BM_Step(benchmark::State& state) {
    static Scripts scripts;
    testsupport::HeadlessDeviceHost screen;
    World world;
    for (auto _ : state) world.Step();
    ReportShareOfStep(state);
}
BENCHMARK(BM_Step<OwnerWorld<>>)->Name("BM_TaskOwnersStep")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Step<OwnerWorld<GridTaskOwner>>)->Name("BM_GridTaskOwnersStep")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Step<NappingWorld>)->Name("BM_NappingGridTaskOwnersStep")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Step<IdleWorld>)->Name("BM_IdleOwnersStep")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Step<BareWorld>)->Name("BM_BareWidgetsReplayStep")->Unit(benchmark::kMicrosecond);

// Both in every iteration, so a busy machine slows them alike: the time is
// the owners' step, "ratio" the owners' time over the yardstick's.
template <class O>
void BM_OwnersAgainstBareWidgets(benchmark::State& state) {
    static Scripts scripts;
    testsupport::HeadlessDeviceHost screen;
    OwnerWorld<O> owners;
    BareWorld bare;
    double ownersSeconds = 0.0, bareSeconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        owners.Step();
        const auto middle = std::chrono::steady_clock::now();
        bare.Step();
        const auto end = std::chrono::steady_clock::now();
        const double ownersStep = std::chrono::duration<double>(middle - start).count();
        ownersSeconds += ownersStep;
        bareSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(ownersStep);
    }
    state.counters["ratio"] = bareSeconds > 0.0 ? ownersSeconds / bareSeconds : 0.0;
    state.counters["share_of_10ms_step"] = ownersSeconds / static_cast<double>(state.iterations()) / 0.01;
}
BENCHMARK(BM_OwnersAgainstBareWidgets<Owner>)
    ->Name("BM_TaskOwnersAgainstBareWidgets")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OwnersAgainstBareWidgets<GridTaskOwner>)
    ->Name("BM_GridTaskOwnersAgainstBareWidgets")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
