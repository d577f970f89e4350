#pragma once
// A recording in-game display for the park's tests: every animation the park
// runs on the display's script widget is written to one log with the
// variables set on the widget since the animation before it, and so are the
// calendar, panel and tutorial calls. A fake tutorial answers the display's
// questions: no step (inactive) or the named step, taking the events the
// test lists.
//
// Signals of the scenes it watches reach the park grid it finds as the
// game's display forwards them: the spawner is added and removed, the park
// opens after the week's review and the next week starts after sunrise.
// The park's scenes (the night's) run under the container given to it, or
// are only written down ("scene nightfall") and dropped.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "foundation/expression/constants_map.h"
#include "game/data/progress/goals.h"
#include "game/park/display/park_display.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "widgets/script/animation_widget.h"

namespace testsupport {

// The park grid added last among the container's children, or null.
inline KivraGrid* LastParkGrid(const WidgetContainer& root) {
    KivraGrid* found = nullptr;
    for (Widget* child : root.GetChildren())
        if (auto* grid = dynamic_cast<KivraGrid*>(child)) found = grid;
    return found;
}

// "name" alone, or "name: a=1 b=x" with the variables set before it in name order.
class RecordingScriptWidget : public AnimationWidget {
public:
    explicit RecordingScriptWidget(std::vector<std::wstring>& log) : AnimationWidget(0, 0, nullptr, 1.0f), log_(log) {}
    // Called after each animation is written down (a test's hook into the park).
    std::function<void(std::wstring_view)> onRun;
    // What the display itself does first (the recording display's part).
    std::function<void(std::wstring_view)> beforeHook;
    void RunAnimationNamed(std::wstring_view name) override {
        std::wstring line(name);
        for (const auto& [key, value] : Variables())
            if (key != L"self") line += (line.size() == name.size() ? L": " : L" ") + key + L"=" + value.ToString();
        const PropertyValue self = GetLocalVariable(L"self");
        Variables() = VariableMap{};
        SetVariable(L"self", self);
        log_.push_back(line);
        if (beforeHook) beforeHook(name);
        if (onRun) onRun(name);
    }

private:
    std::vector<std::wstring>& log_;
};

class RecordingDisplay : public ParkDisplay, public AnimationListener {
public:
    // The week's start sets the grid's timer at once, as the shipped script
    // does, so night does not fall at the next step: to "week_duration", or
    // a minute while the constants leave it out.
    RecordingDisplay() {
        widget.beforeHook = [this](std::wstring_view name) {
            KivraGrid* grid = ParkGrid();
            if (name != L"week_start_shared" || grid == nullptr) return;
            const int32_t week = GetConstantInt(L"week_duration");
            grid->SetWeekTimer(static_cast<float>(week > 0 ? week : 60));
        };
    }
    AnimationWidget& Widget() override { return widget; }
    bool TutorialInactive() override { return !tutorialStep.has_value(); }
    std::optional<std::wstring> TutorialStepName(int32_t) override { return tutorialStep; }
    bool TutorialReachedStep(std::wstring_view) override { return !tutorialStep.has_value(); }
    void MarkGoalChanged(Objective&) override {}
    void OnShownGoalCompleted(Objective&) override {}
    void UpdateCalendar(float) override { ++calendarUpdates; }
    void ResetGoalPanel() override { log.push_back(L"reset_goal_panel"); }
    void UpdateResearchAndMarketing(const RESEARCH_OPTION& done) override {
        log.push_back(L"research_finished " + done.name);
    }
    bool OnTutorialEvent(int32_t event, KivraGrid&) override {
        log.push_back(L"tutorial_event " + std::to_wstring(event));
        return acceptedEvents.contains(event);
    }

    void ShowWatchedScene(AnimationWidget& scene) override {
        log.push_back(L"scene " + (scene.GetDefinition() ? scene.GetDefinition()->name : std::wstring()));
        if (sceneParent == nullptr) {
            delete &scene;
            return;
        }
        Watch(&scene);
        sceneParent->AddWidget(&scene);
    }
    void AnimationSignal(int, std::wstring_view signal) override {
        log.push_back(L"signal " + std::wstring(signal));
        KivraGrid* grid = ParkGrid();
        if (grid == nullptr) return;
        if (signal == L"add_customer_spawner") grid->CreateSpawner();
        if (signal == L"remove_customer_spawner") grid->RemoveSpawner();
        if (signal == L"finish_reviewing_week_action") grid->OnParkOpen();
        if (signal == L"finish_sunrise") grid->StartWeekShared();
    }

    std::vector<std::wstring> TakeLog() { return std::exchange(log, {}); }

    std::vector<std::wstring> log;
    RecordingScriptWidget widget{log};
    std::optional<std::wstring> tutorialStep;  // none: no tutorial runs
    std::set<int32_t> acceptedEvents;
    int calendarUpdates = 0;
    // The park grid in the tree now, where the week's signals go; none
    // while the test gives no way to find it.
    std::function<KivraGrid*()> findGrid;
    KivraGrid* ParkGrid() const { return findGrid ? findGrid() : nullptr; }
    WidgetContainer* sceneParent = nullptr;  // where the park's scenes run

private:
    ScopedService<ParkDisplay> park_{this};
    ScopedService<GoalDisplay> goals_{this};
};

}  // namespace testsupport
