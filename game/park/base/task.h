#pragma once
// A task: one named piece of an owner's behaviour (the grid's, an item's)
// whose steps live in the scene scripts "<name>_start", "<name>_update",
// "<name>_finish", "<name>_pause" and "<name>_resume". A task is a widget:
// added to its owner's TaskSequence it becomes the sequence's child, and the
// tree updates it and deletes it once it has removed itself.
//
// Promises: a script that is missing is simply not played; the update script
// starts again each fixed step in which it is not running (it ended, or
// stopped at "persist"), never twice in a step; "finish-task" ends the task
// within its own step and nothing runs on it afterwards. A task that leaves
// its sequence, by removal or deletion, is forgotten by it at once.
// "add-task" and "finish-task" in a task outside any sequence are ignored and
// the script goes on.
// Callers must not delete a task that is in a tree (remove it). Main thread only.

#include <memory>
#include <string>
#include <string_view>

#include "widgets/script/animation_widget.h"

class TaskOwner;
class TaskSequence;

class Task : public AnimationWidget {
public:
    static constexpr float kDefaultPriority = 0.5f;

    Task(std::wstring_view name, TaskOwner* owner);
    ~Task() override;

    // Set by "finish-task"; nothing clears it.
    virtual bool IsDone() const { return done_; }
    // One step of a task that runs: its update script starts again when it is not running.
    virtual void UpdateTask();
    virtual void Start();
    // The task leaves its parent once its finish script ends, at once without one.
    virtual void Finish();
    virtual void Pause();
    virtual void Resume();

    // The widget's own update; a task outside any sequence also drives itself.
    void Update() override;
    // "add-task" and "finish-task"; anything else is left to the base.
    int HandleCustomCommand(const AnimationStep& step) override;
    void RemovedFromParent(WidgetContainer* parent) override;
    // Tasks draw as any dynamic widget does, which a task without an image
    // passes by (DrawsNothing); no task class draws on its own.
    void Draw(Graphics* g) final { AnimationWidget::Draw(g); }
    void DrawAll(PassFlags& flags, Graphics* g) final { AnimationWidget::DrawAll(flags, g); }

    const std::wstring& GetName() const { return name_; }
    float GetPriority() const { return priority_; }
    bool IsTaskPaused() const { return paused_; }
    TaskSequence* GetSequence() const { return sequence_; }
    TaskOwner* GetOwner() const { return owner_; }

protected:
    bool DrawsNothing() const override { return HasNothingToDraw(); }
    // Plays "<name><suffix>" when the library holds it; false when it does not.
    bool PlayScript(std::wstring_view suffix);

    bool paused_ = false;

private:
    friend class TaskSequence;

    int AddTaskStep(const AnimationStep& step);
    int FinishTaskStep();

    // Beside paused_, in the line of the task every update pass reads.
    TaskSequence* sequence_ = nullptr;
    bool done_ = false;
    std::wstring name_;
    std::wstring updateScript_;  // formed once: it is looked up until found
    AnimationDefinition* updateDefinition_ = nullptr;
    TaskOwner* owner_;
    float priority_ = kDefaultPriority;
};
