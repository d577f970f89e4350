#pragma once
// The one sequence of an owner's tasks: it runs one task at a time, chosen by
// priority. A task of higher priority pauses the running one, which waits at
// the front of the queue and comes back through its start script once the
// higher one is done; equal priorities run in order of arrival.
//
// Promises: every task added becomes a child widget of the sequence; the queue
// and the current task never name a task that has left the sequence; a
// priority above 1.0 is stored as 1.0 after it has been compared. The
// sequence drives its current task once per fixed step (as a task outside
// any sequence, its own update calls UpdateTask). Main thread only.

#include <deque>
#include <memory>

#include "game/park/base/task.h"

class TaskSequence : public Task {
public:
    explicit TaskSequence(TaskOwner* owner);
    ~TaskSequence() override;

    // Takes the task in and runs it, or queues it by its priority.
    void AddTask(std::unique_ptr<Task> task, float priority);
    // Removes every task: queued ones quietly, the current one finished when
    // it is done and paused otherwise.
    void Clear();

    // No current task and nothing queued.
    bool IsDone() const override { return !current_ && queue_.empty(); }
    void UpdateTask() override;
    void Start() override {}
    // The sequence leaves its parent.
    void Finish() override;
    void Pause() override;
    void Resume() override;

    Task* GetCurrent() const { return current_; }
    // Waiting tasks, front first.
    const std::deque<Task*>& GetQueue() const { return queue_; }

private:
    friend class Task;
    friend class TaskOwner;

    // The task left the sequence: it is neither current nor queued any more.
    void Forget(Task* task);
    // The owner is going: no task of this sequence reaches it from now on.
    void DetachOwner();
    // The fixed step asks the current task whether it is done before it
    // reads anything else of it: the walk fetches that line with the
    // sequence's own.
    void SetCurrent(Task* task);

    // While the displaced task pauses, its scripts may not switch tasks.
    // First, so that it and current_ share the task's last line: an update
    // reads the queue only when no task is current, and the walks need not
    // fetch the queue's two lines for every visitor.
    bool switching_ = false;
    Task* current_ = nullptr;
    std::deque<Task*> queue_;
};
