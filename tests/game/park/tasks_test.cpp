// Tasks through real scene scripts on the park bench: which scripts run in
// which step, the queue by priority, and what "add-task" and "finish-task"
// leave behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/park/base/task_owner.h"
#include "game/park/base/task_sequence.h"
#include "tests/game/park/park_bench.h"

namespace {

using testsupport::ParkBench;
using Lines = std::vector<std::wstring>;
using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;

// An owner that makes its sequence when it joins the tree, as the grid and its items do.
class OwnerWidget : public AnimationWidget, public TaskOwner {
public:
    OwnerWidget() : AnimationWidget(L"", 0, 0, false) {}
    void AddedToManager(WidgetManager* manager) override {
        AnimationWidget::AddedToManager(manager);
        CreateSequence(this);
    }
};

using testsupport::Log;
AnimationStep AddTask(Attributes attributes) { return ParkBench::Step(L"add-task", std::move(attributes)); }
AnimationStep FinishTask() { return ParkBench::Step(L"finish-task"); }

class TasksTest : public ParkBench {
protected:
    TasksTest() {
        owner = new OwnerWidget;
        mgr.AddWidget(owner);
    }
    TaskSequence& Sequence() { return *owner->GetSequence(); }
    Task* Add(const wchar_t* name, float priority) {
        std::unique_ptr<Task> task = owner->CreateTask(name);
        Task* raw = task.get();
        owner->AddTask(std::move(task), priority);
        return raw;
    }
    std::vector<std::wstring> QueueNames() {
        std::vector<std::wstring> names;
        for (Task* task : Sequence().GetQueue()) names.push_back(task->GetName());
        return names;
    }

    OwnerWidget* owner;
};

TEST_F(TasksTest, HigherPriorityPausesTheRunningTaskWhichComesBackThroughItsStart) {
    Define(L"walk_start", {Log(L"walk start")});
    Define(L"walk_update",
           {Step(L"count"), Log(L"walk update"),
            AddTask({{L"name", L"rest"}, {L"priority", L"0.7"}, {L"if", L"n == 2"}}), Log(L"walk goes on")});
    Define(L"walk_pause", {Log(L"walk pause")});
    Define(L"walk_resume", {Log(L"walk resume")});
    Define(L"rest_start", {Log(L"rest start")});
    Define(L"rest_update", {Log(L"rest update"), FinishTask(), Log(L"never after finish")});
    Define(L"rest_finish", {Log(L"rest finish")});

    Task* walk = Add(L"walk", 0.5f);
    EXPECT_EQ(TakeLog(), (Lines{L"walk start"}));
    Advance();
    EXPECT_EQ(TakeLog(), (Lines{L"walk update", L"walk goes on"}));
    // The step that adds the higher task stops: its task is no longer current.
    Advance();
    EXPECT_EQ(TakeLog(), (Lines{L"walk update", L"walk pause", L"rest start"}));
    EXPECT_EQ(Sequence().GetCurrent()->GetName(), L"rest");
    EXPECT_EQ(QueueNames(), (std::vector<std::wstring>{L"walk"}));
    // "finish-task" ends rest and starts walk again within the same step, through its start script.
    Advance();
    EXPECT_EQ(TakeLog(), (Lines{L"rest update", L"rest finish", L"walk start"}));
    EXPECT_EQ(Sequence().GetCurrent(), walk);
    EXPECT_TRUE(Sequence().GetQueue().empty());
    Advance();
    EXPECT_EQ(TakeLog(), (Lines{L"walk update", L"walk goes on"}));
    EXPECT_EQ(Sequence().GetChildren().size(), 1u);  // rest was removed and deleted
}

TEST_F(TasksTest, AddTaskQueuesByPriorityAndHandsItsOtherAttributesOn) {
    // The first task runs at 1.0; the first time it starts, it adds the others.
    Define(
        L"boss_start",
        {Step(L"count"),
         Step(L"if", {{L"cond", L"n == 1"}},
              {AddTask({{L"name", L"ant"}, {L"priority", L"0.9"}}), AddTask({{L"name", L"bee"}, {L"priority", L"0.3"}}),
               AddTask({{L"name", L"cat"}, {L"priority", L"0.5"}, {L"speed", L"1 + 2"}, {L"target", L"gate"}}),
               AddTask({{L"name", L"dog"}}), Log(L"boss goes on"), AddTask({{L"name", L"elk"}, {L"priority", L"2.0"}}),
               Log(L"never: displaced")})});
    Define(L"cat_start", {Step(L"log", {{L"text", L"cat speed"}, {L"value", L"speed"}}),
                          Step(L"log", {{L"text", L"cat target"}, {L"value", L"target"}})});
    Add(L"boss", 1.0f);
    EXPECT_EQ(TakeLog(), (Lines{L"boss goes on"}));
    // elk displaced boss, which waits first; equal priorities keep their order.
    EXPECT_EQ(Sequence().GetCurrent()->GetName(), L"elk");
    EXPECT_FLOAT_EQ(Sequence().GetCurrent()->GetPriority(), 1.0f);
    EXPECT_EQ(QueueNames(), (std::vector<std::wstring>{L"boss", L"ant", L"cat", L"dog", L"bee"}));
    std::vector<float> priorities;
    for (Task* task : Sequence().GetQueue()) priorities.push_back(task->GetPriority());
    EXPECT_EQ(priorities, (std::vector<float>{1.0f, 0.9f, 0.5f, 0.5f, 0.3f}));
    // Finishing from outside the scripts works the queue down in order.
    std::vector<std::wstring> order;
    while (Task* current = Sequence().GetCurrent()) {
        order.push_back(current->GetName());
        Define(current->GetName() + L"_update", {FinishTask()});
        Advance();
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"elk", L"boss", L"ant", L"cat", L"dog", L"bee"}));
    EXPECT_EQ(TakeLog(), (Lines{L"cat speed=3", L"cat target=gate"}));
    EXPECT_TRUE(Sequence().IsDone());
}

// How often the update script starts in five steps, by how it ends.
struct UpdateCase {
    const char* label;
    std::vector<AnimationStep> update;
    int expected;
};

TEST_F(TasksTest, UpdateScriptStartsAgainOnlyOnceItEndedOrPersists) {
    const std::vector<UpdateCase> cases = {
        {"ends at once", {Step(L"count")}, 5},
        {"persists", {Step(L"count"), Step(L"persist"), Step(L"count")}, 5},
        // The wait ends in the per-frame pass of the third step.
        {"waits three updates", {Step(L"count"), Step(L"wait-for", {{L"time", L"3"}})}, 2},
    };
    for (const UpdateCase& c : cases) {
        SCOPED_TRACE(c.label);
        Define(L"job_update", c.update);
        Task* queued = Add(L"job", 0.5f);
        // The same task outside any sequence drives itself.
        auto* lone = new Task(L"job", nullptr);
        mgr.AddWidget(lone);
        Advance(5);
        EXPECT_EQ(Count(*queued), c.expected);
        EXPECT_EQ(Count(*lone), c.expected);
        owner->ClearTasks();
        lone->RemoveSelf();
        Advance();
    }
}

TEST_F(TasksTest, PausedSequenceRunsNothingUntilResumedAndClearRemovesEveryTask) {
    Define(L"dig_update", {Step(L"count")});
    Define(L"dig_pause", {Log(L"dig pause")});
    Define(L"dig_resume", {Log(L"dig resume")});
    Define(L"wait_pause", {Log(L"never: queued tasks are not paused")});
    Task* dig = Add(L"dig", 0.5f);
    Add(L"wait", 0.5f);
    Advance(2);
    owner->PauseTasks();
    Advance(3);
    EXPECT_EQ(Count(*dig), 2);
    owner->ResumeTasks();
    Advance();
    EXPECT_EQ(Count(*dig), 3);
    EXPECT_EQ(TakeLog(), (Lines{L"dig pause", L"dig resume"}));
    EXPECT_FALSE(dig->IsTaskPaused());

    // Not done: the current task pauses on its way out; the queued one goes quietly.
    const PropertyValue ref = PropertyValue::FromWidget(dig);
    owner->ClearTasks();
    EXPECT_EQ(TakeLog(), (Lines{L"dig pause"}));
    EXPECT_TRUE(Sequence().IsDone());
    EXPECT_TRUE(Sequence().GetChildren().empty());
    Advance();
    EXPECT_EQ(ref.ToWidget<Task>(), nullptr);
}

TEST_F(TasksTest, CreateSequenceReplacesTheOldOneAndItsTasks) {
    PropertyValue task = PropertyValue::FromWidget(Add(L"old", 0.5f));
    TaskSequence* first = owner->GetSequence();
    owner->CreateSequence(owner);
    EXPECT_NE(owner->GetSequence(), first);
    EXPECT_TRUE(owner->GetSequence()->IsDone());
    Advance();
    EXPECT_EQ(task.ToWidget<Task>(), nullptr);
    EXPECT_EQ(owner->GetChildren().size(), 1u);
}

// --- Faults mended -------------------------------------------------------------

TEST_F(TasksTest, AddAndFinishOutsideASequenceAreIgnoredAndTheScriptGoesOn) {
    Define(L"stray_update", {AddTask({{L"name", L"other"}}), FinishTask(), Log(L"stray goes on")});
    auto* stray = new Task(L"stray", owner);
    mgr.AddWidget(stray);
    Advance(2);
    EXPECT_EQ(TakeLog(), (Lines{L"stray goes on", L"stray goes on"}));
    EXPECT_FALSE(stray->IsDone());
    EXPECT_TRUE(Sequence().IsDone());
}

TEST_F(TasksTest, TaskGivenToAnOwnerWithoutASequenceIsDestroyed) {
    OwnerWidget outside;  // never in a tree: no sequence
    std::unique_ptr<Task> task = outside.CreateTask(L"lost");
    const PropertyValue ref = PropertyValue::FromWidget(task.get());
    outside.AddTask(std::move(task), 0.5f);
    EXPECT_EQ(ref.ToWidget<Task>(), nullptr);
}

TEST_F(TasksTest, FinishScriptWithoutStepsStillRemovesTheTask) {
    Define(L"quick_update", {FinishTask()});
    Define(L"quick_finish", {});
    const PropertyValue ref = PropertyValue::FromWidget(Add(L"quick", 0.5f));
    Advance(2);
    EXPECT_EQ(ref.ToWidget<Task>(), nullptr);
    EXPECT_TRUE(Sequence().GetChildren().empty());
}

// A displaced task whose pause script says "finish-task" used to finish at
// once, start the queued task, and have it overwritten by the new one: a
// task lost for good in the sequence.
TEST_F(TasksTest, TaskFinishingInItsPauseScriptLosesNoQueuedTask) {
    Define(L"walk_pause", {FinishTask()});
    for (const wchar_t* name : {L"walk", L"look", L"rest"}) {
        Define(std::wstring(name) + L"_start", {Step(L"log", {{L"text", name}})});
        Define(std::wstring(name) + L"_update", {FinishTask()});
    }
    Add(L"walk", 0.5f);
    Add(L"look", 0.5f);
    Add(L"rest", 0.9f);
    EXPECT_EQ(QueueNames(), (std::vector<std::wstring>{L"walk", L"look"}));
    Advance(4);
    EXPECT_EQ(TakeLog(), (Lines{L"walk", L"rest", L"walk", L"look"}));
    EXPECT_TRUE(Sequence().IsDone());
}

TEST_F(TasksTest, OwnerDeletedBeforeItsSequenceLeavesNoLinkBehind) {
    Define(L"late_update", {AddTask({{L"name", L"more"}})});
    Task* late = Add(L"late", 0.5f);
    // The sequence moves to another parent and outlives its owner.
    TaskSequence* sequence = owner->GetSequence();
    owner->RemoveWidget(sequence);
    mgr.AddWidget(sequence);
    owner->RemoveSelf();
    host.DeleteDeferred();
    Advance(2);
    EXPECT_EQ(late->GetOwner(), nullptr);
    EXPECT_TRUE(sequence->GetQueue().empty());
}

}  // namespace
