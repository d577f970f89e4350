#include "game/park/base/task.h"

#include "game/park/base/task_owner.h"
#include "game/park/base/task_sequence.h"
#include "widgets/script/script_host.h"

Task::Task(std::wstring_view name, TaskOwner* owner)
    : AnimationWidget(L"", 0, 0, false), name_(name), updateScript_(name_ + L"_update"), owner_(owner) {
    // Read by the fixed step only: whether the task drives itself, and by
    // its sequence whether it is paused or done. Whether its script runs or
    // waits, which the sequence asks next, the sequence names with its
    // current task (SetCurrent).
    AddPassLines(&paused_, &done_ + 1, UpdatePass::kStep);
}

Task::~Task() {
    // Deleted while still in its sequence: the removal that follows no longer
    // reaches this class's RemovedFromParent.
    if (sequence_) sequence_->Forget(this);
}

bool Task::PlayScript(std::wstring_view suffix) {
    std::wstring script = name_;
    script += suffix;
    AnimationMap& library = AnimationLibrary();
    auto it = library.find(script);
    if (it == library.end()) return false;
    PlayAnimation(&it->second);
    return true;
}

void Task::Update() {
    // The animation widget's update resumes a script cut short by the step budget.
    AnimationWidget::Update();
    if (!sequence_) UpdateTask();
}

void Task::UpdateTask() {
    const int wait = GetWaitKind();
    if (wait != kPersist && !(wait == kRunning && IsScriptDone())) return;
    if (!updateDefinition_) {
        AnimationMap& library = AnimationLibrary();
        auto it = library.find(updateScript_);
        if (it == library.end()) return;
        // The library's entries never move: found once, kept.
        updateDefinition_ = &it->second;
    }
    PlayAnimation(updateDefinition_);
}

void Task::Start() { PlayScript(L"_start"); }

void Task::Finish() {
    SetRemoveWhenScriptEnds(true);
    // A finish script without steps never reaches its end: it counts as none.
    if (!PlayScript(L"_finish") || (GetWaitKind() == kRunning && IsScriptDone())) StopAnimation();
}

void Task::Pause() {
    paused_ = true;
    if (!PlayScript(L"_pause")) ResetScript();
}

void Task::Resume() {
    paused_ = false;
    PlayScript(L"_resume");
}

void Task::RemovedFromParent(WidgetContainer* parent) {
    if (sequence_ && parent == sequence_) {
        sequence_->Forget(this);
        sequence_ = nullptr;
    }
    AnimationWidget::RemovedFromParent(parent);
}

int Task::HandleCustomCommand(const AnimationStep& step) {
    using namespace std::string_view_literals;
    const std::wstring_view word = step.name;
    if (word == L"add-task"sv) return AddTaskStep(step);
    if (word == L"finish-task"sv) return FinishTaskStep();
    return AnimationWidget::HandleCustomCommand(step);
}

int Task::AddTaskStep(const AnimationStep& step) {
    TaskSequence* sequence = sequence_;
    if (!sequence || !owner_) return hook_result::kHandled;
    std::unique_ptr<Task> task = owner_->CreateTask(StepAttributeString(L"name"));
    if (!task) return hook_result::kHandled;
    const float priority = StepAttributeFloatOr(L"priority", kDefaultPriority);
    // The step's attributes come in ascending order of name.
    for (const auto& [attribute, text] : step.attributes)
        if (attribute != L"name" && attribute != L"priority")
            task->SetVariable(attribute, EvalStepAttribute(attribute));
    sequence->AddTask(std::move(task), priority);
    // Displaced by the new task: this script stops where it is.
    return sequence->GetCurrent() == this ? hook_result::kNotHandled : hook_result::kStopHere;
}

int Task::FinishTaskStep() {
    TaskSequence* sequence = sequence_;
    if (!sequence) return hook_result::kHandled;
    done_ = true;
    // A task that is not running (a queued one's pause script) is finished
    // when it comes back; the running one now, and the next starts.
    if (sequence->GetCurrent() == this) sequence->UpdateTask();
    return hook_result::kStopHere;
}
