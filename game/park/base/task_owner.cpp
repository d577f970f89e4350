#include "game/park/base/task_owner.h"

#include "game/park/base/task_sequence.h"
#include "widgets/script/animation_stats.h"

TaskOwner::~TaskOwner() {
    if (sequence_) sequence_->DetachOwner();
}

void TaskOwner::AddTask(std::unique_ptr<Task> task, float priority) {
    // Without a sequence the task goes nowhere, and `task` frees it.
    if (sequence_) sequence_->AddTask(std::move(task), priority);
}

std::unique_ptr<Task> TaskOwner::CreateTask(std::wstring_view name) { return std::make_unique<Task>(name, this); }

void TaskOwner::ClearTasks() {
    if (sequence_) sequence_->Clear();
}

void TaskOwner::PauseTasks() {
    if (sequence_) sequence_->Pause();
}

void TaskOwner::ResumeTasks() {
    if (sequence_) sequence_->Resume();
}

void TaskOwner::CreateSequence(WidgetContainer* parent) {
    if (sequence_) DestroySequence();
    // Only the tree owns a sequence: without a parent none is made.
    if (!parent) return;
    sequence_ = new TaskSequence(this);
    parent->AddWidget(sequence_);
}

void TaskOwner::DestroySequence() {
    TaskSequence* sequence = sequence_;
    if (!sequence) return;
    sequence->Clear();
    sequence->RemoveSelf();
    // Its deletion waits, and may come after this owner's.
    sequence->DetachOwner();
    sequence_ = nullptr;
}

bool TaskScriptExists(std::wstring_view name) {
    std::wstring script(name);
    script += L"_start";
    if (AnimationExists(script)) return true;
    script.resize(name.size());
    script += L"_update";
    return AnimationExists(script);
}
