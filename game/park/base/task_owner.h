#pragma once
// What an object with tasks mixes in (the grid, the grid items): its one task
// sequence, made when it joins a widget manager, and the virtual operations
// through which scripts and game code add, clear, pause and resume tasks.
// Subclasses override CreateTask to make tasks of their own kinds.
//
// Promises: an owner without a sequence ignores every request, and a task
// handed to it then is destroyed. The sequence belongs to the widget tree;
// either side may go first without the other reaching it afterwards.
// Main thread only.

#include <memory>
#include <string_view>

class Task;
class TaskSequence;
class WidgetContainer;

class TaskOwner {
public:
    TaskOwner() = default;
    virtual ~TaskOwner();
    TaskOwner(const TaskOwner&) = delete;
    TaskOwner& operator=(const TaskOwner&) = delete;

    virtual void AddTask(std::unique_ptr<Task> task, float priority);
    virtual std::unique_ptr<Task> CreateTask(std::wstring_view name);
    virtual void ClearTasks();
    virtual void PauseTasks();
    virtual void ResumeTasks();

    // A new sequence, added to `parent` as a child widget; an older one is destroyed first.
    void CreateSequence(WidgetContainer* parent);
    // Clears the sequence and takes it out of the tree.
    void DestroySequence();
    TaskSequence* GetSequence() const { return sequence_; }

private:
    friend class TaskSequence;

    TaskSequence* sequence_ = nullptr;
};

// Whether the library holds a start or an update script for a task of that name.
bool TaskScriptExists(std::wstring_view name);
