#include "game/park/base/task_sequence.h"

#include <algorithm>

#include "game/park/base/task_owner.h"

TaskSequence::TaskSequence(TaskOwner* owner) : Task(L"", owner) {
    AddPassLines(&switching_, &current_ + 1, UpdatePass::kStep);
}

TaskSequence::~TaskSequence() {
    // The children leave only in the container's destructor, when this part
    // is gone: they must not report back to it.
    for (Widget* child : GetChildren())
        if (auto* task = dynamic_cast<Task*>(child); task && task->sequence_ == this) task->sequence_ = nullptr;
    if (TaskOwner* owner = GetOwner(); owner && owner->sequence_ == this) owner->sequence_ = nullptr;
}

void TaskSequence::AddTask(std::unique_ptr<Task> owned, float priority) {
    if (!owned) return;
    Task* task = owned.release();
    task->priority_ = priority;
    task->sequence_ = this;
    AddWidget(task);
    if (!current_) {
        SetCurrent(task);
        task->Start();
    } else if (current_->priority_ < priority) {
        Task* displaced = current_;
        switching_ = true;
        displaced->Pause();
        switching_ = false;
        // Its pause script may have taken it out of the sequence.
        if (displaced->sequence_ == this) queue_.push_front(displaced);
        SetCurrent(task);
        task->Start();
    } else if (queue_.empty() || !(queue_.back()->priority_ < priority)) {
        queue_.push_back(task);
    } else {
        auto lower = std::find_if(queue_.begin(), queue_.end(), [&](Task* t) { return t->priority_ < priority; });
        queue_.insert(lower, task);
    }
    // The start script may have finished and removed the task meanwhile; it
    // is still alive (deletion waits), and a stored priority does no harm.
    if (task->priority_ > 1.0f) task->priority_ = 1.0f;
}

void TaskSequence::UpdateTask() {
    if (paused_ || switching_) return;
    if (Task* task = current_) {
        if (task->IsDone()) {
            task->Finish();
            // Unless its finish script put another task in its place.
            if (current_ == task) SetCurrent(nullptr);
        } else {
            task->UpdateTask();
        }
    }
    if (!current_ && !queue_.empty()) {
        SetCurrent(queue_.front());
        queue_.pop_front();
        // Back through its start script, also when it was paused.
        current_->Start();
    }
}

void TaskSequence::Finish() { RemoveSelf(); }

void TaskSequence::Pause() {
    paused_ = true;
    if (current_) current_->Pause();
}

void TaskSequence::Resume() {
    paused_ = false;
    if (current_) current_->Resume();
}

void TaskSequence::Clear() {
    std::deque<Task*> queued;
    queued.swap(queue_);
    for (Task* task : queued) task->RemoveSelf();
    if (Task* task = current_) {
        if (task->IsDone())
            task->Finish();
        else
            task->Pause();
        task->RemoveSelf();
        if (current_ == task) SetCurrent(nullptr);
    }
}

void TaskSequence::Forget(Task* task) {
    if (current_ == task) SetCurrent(nullptr);
    queue_.erase(std::remove(queue_.begin(), queue_.end(), task), queue_.end());
}

void TaskSequence::SetCurrent(Task* task) {
    current_ = task;
    // Whether the task is done, then its wait: read one after the other.
    NamePassTarget(task ? &task->done_ : nullptr, true, task ? task->WaitField() : nullptr);
}

void TaskSequence::DetachOwner() {
    TaskOwner* owner = GetOwner();
    for (Widget* child : GetChildren())
        if (auto* task = dynamic_cast<Task*>(child); task && task->owner_ == owner) task->owner_ = nullptr;
    owner_ = nullptr;
}
