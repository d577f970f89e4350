#include "widgets/script/animation_widget.h"

#include "widgets/script/script_menu.h"
#include "widgets/tree/widget_manager.h"

AnimationWidget::AnimationWidget(std::wstring_view animation, int x, int y, bool removeWhenDone)
    : DynamicWidget(x, y, nullptr, 1.0f), removeWhenDone_(removeWhenDone) {
    Construct(animation);
}

AnimationWidget::AnimationWidget(int x, int y, Image* image, float opacity) : DynamicWidget(x, y, image, opacity) {
    Construct(L"");
}

void AnimationWidget::Construct(std::wstring_view animation) {
    // The per-frame update asks every widget's wait; the fixed step reads
    // the run state only of a run the budget cut (HaltForBudget).
    NameRunStateLines(UpdatePass::kFrame);
    variables_[L"self"] = PropertyValue::FromWidget(this);
    PlayAnimationNamed(animation);
}

AnimationWidget::~AnimationWidget() {
    // No wait may wake the script while its widget is going.
    waitKind_ = kRunning;
    budgetHalt_ = false;
    RemoveObjects(true);
}

// --- Tree ----------------------------------------------------------------------

void AnimationWidget::Update() {
    DynamicWidget::Update();
    // Nothing but HaltForBudget sets the flag, and it names the flag's line
    // for the step: a widget whose step does not fetch it was never cut,
    // known without waiting on the line.
    if (StepFetches(&budgetHalt_) && budgetHalt_ && manager_) {
        budgetHalt_ = false;
        ExecuteSteps(budgetAdvance_);
    }
}

void AnimationWidget::AddedToManager(WidgetManager* manager) {
    DynamicWidget::AddedToManager(manager);
    if (waitingForClick_ && manager_) manager_->AddClickListener(this);
    if (keepStateOnRemoval_) {
        keepStateOnRemoval_ = false;
        return;
    }
    if (!IsScriptDone()) ExecuteSteps(false);
}

void AnimationWidget::RemovedFromManager(WidgetManager* manager) {
    keptAbove_ = nullptr;
    if (AnimationListener* listener = GetAnimationListener()) listener->AnimationComplete(id_);
    SetWaitForClick(false);
    if (ScriptMenu* menu = ScriptMenuOf(*this)) {
        // Taken out first: stopping may run scripts that start loops again.
        std::map<int, int> loops;
        loops.swap(soundLoops_);
        for (const auto& [sound, count] : loops)
            for (int i = 0; i < count; ++i) menu->StopMenuSound(sound, 0.0f);
    }
    DynamicWidget::RemovedFromManager(manager);
}

void AnimationWidget::AddedToParent(WidgetContainer* parent) {
    DynamicWidget::AddedToParent(parent);
    if (GetAnimationListener()) return;
    if (auto* listener = dynamic_cast<AnimationListener*>(parent)) listener->Watch(this);
}

void AnimationWidget::RemovedFromParent(WidgetContainer* parent) {
    if (!keepStateOnRemoval_) ResetScript();
    DynamicWidget::RemovedFromParent(parent);
}

void AnimationWidget::RemoveSelfKeep() {
    keepStateOnRemoval_ = true;
    DynamicWidget::RemoveSelfKeep();
}

PropertyValue AnimationWidget::GetProperty(std::wstring_view name) {
    if (name == L"layer") return PropertyValue::FromWidget(dynamic_cast<ExtendedPropertyInterface*>(GetLayer()));
    return DynamicWidget::GetProperty(name);
}

// --- Script control ----------------------------------------------------------

void AnimationWidget::PlayAnimation(AnimationDefinition* definition) {
    ResetScript();
    ++playCounter_;
    definition_ = definition;
    cursor_ = Cursor{definition ? &definition->steps : nullptr, 0};
    if (!definition || definition->steps.empty()) {
        EmptyAnimationPlayed();
        return;
    }
    if (manager_) ExecuteSteps(false);
}

void AnimationWidget::PlayAnimationNamed(std::wstring_view name) { PlayAnimation(FindAnimation(name)); }

void AnimationWidget::PushAnimation(AnimationDefinition* definition) {
    if (!definition) return;
    const bool idle = IsScriptDone();
    // Beneath every open block: it runs once the present script is through.
    blocks_.insert(blocks_.begin(), Cursor{&definition->steps, 0});
    for (LoopRecord& loop : loops_) ++loop.blockDepth;
    if (!idle) return;
    waitKind_ = kRunning;
    if (definition->steps.empty()) {
        blocks_.erase(blocks_.begin());
        for (LoopRecord& loop : loops_) --loop.blockDepth;
        EmptyAnimationPlayed();
    } else if (manager_) {
        ExecuteSteps(false);
    }
}

void AnimationWidget::PushAnimationNamed(std::wstring_view name) { PushAnimation(FindAnimation(name)); }

void AnimationWidget::RunAnimation(AnimationDefinition* definition) {
    if (waitKind_ == kPersist || (waitKind_ == kRunning && IsScriptDone())) ResetScript();
    PushAnimation(definition);
}

void AnimationWidget::RunAnimationNamed(std::wstring_view name) { RunAnimation(FindAnimation(name)); }

bool AnimationWidget::RestartAnimationIfCurrent(std::wstring_view name) {
    if (!definition_ || definition_->name != name) return false;
    RestartAnimation();
    return true;
}

void AnimationWidget::RestartAnimation() {
    // Stopped first: a script waiting for a child would otherwise wake at
    // each removal and start another child for the loop to remove.
    ResetScript();
    RemoveObjects(false);
    PlayAnimation(definition_);
}

void AnimationWidget::RemoveObjects(bool forget) {
    while (!objects_.empty()) {
        auto first = objects_.begin();
        const int id = first->first;
        DynamicWidget* object = first->second;
        // An object removed and kept, then deleted, has left our watch
        // without a report: its pointer must not be followed.
        if (RemovalListener::IsWatching(object)) object->RemoveSelf();
        // Whether or not the removal reported back: an object with no
        // parent stays where it is and would hold the loop forever.
        objects_.erase(id);
    }
    if (forget) variables_.clear();
}

void AnimationWidget::StopAnimation() {
    ResetScript();
    AnimationFinished();
}

void AnimationWidget::ResetScript() {
    waitKind_ = kRunning;
    if (definition_) cursor_ = Cursor{&definition_->steps, static_cast<int>(definition_->steps.size())};
    blocks_.clear();
    loops_.clear();
    pressSeen_ = false;
    budgetHalt_ = false;
}

void AnimationWidget::AnimationFinished() {
    if (removeWhenDone_) RemoveSelf();
}

int AnimationWidget::HandleCustomCommand(const AnimationStep&) { return 0; }

void AnimationWidget::EmptyAnimationPlayed() {}

bool AnimationWidget::AnyObjectAnimating() const {
    for (const auto& [id, object] : objects_)
        if (RemovalListener::IsWatching(object) && object->IsAnimating()) return true;
    return false;
}

void AnimationWidget::ObjectAdded(ButtonBinding&) {}

void AnimationWidget::HandleButtonEvent(ButtonBinding& binding) {
    SetVariable(L"button_id", PropertyValue(binding.name));
    switch (binding.kind) {
        case ButtonBinding::kLaunch: PlayAnimationNamed(binding.target); break;
        case ButtonBinding::kCall:
            // A subroutine: when it ends, the step that was current runs again.
            blocks_.push_back(cursor_);
            cursor_ = Cursor{&FindAnimation(binding.target)->steps, 0};
            ExecuteSteps(false);
            break;
        case ButtonBinding::kAction: DoAction(binding.target, binding.parameter, binding.number); break;
        default: break;
    }
}

void AnimationWidget::DoAction(std::wstring_view action, std::wstring_view parameter, int number) {
    if (auto* parent = dynamic_cast<AnimationWidget*>(parent_)) parent->DoAction(action, parameter, number);
}

// --- Objects -------------------------------------------------------------------

ScriptMenu* ScriptMenuOf(const WidgetContainer& widget) { return dynamic_cast<ScriptMenu*>(widget.GetPauseOwner()); }

void AnimationWidget::RegisterObject(const std::wstring& id, DynamicWidget* widget) {
    if (!widget) return;
    SpendWork(kWidgetWork);
    widget->SetId(id);
    if (!widget->GetButtonListener()) widget->SetButtonListener(this);
    widget->SetRemovalListener(this);
    variables_[id] = PropertyValue::FromWidget(widget);
    objects_[widget->GetId()] = widget;
    GetLayer()->AddWidget(widget);
}

WidgetContainer* AnimationWidget::GetLayer() {
    if (DynamicWidget* layer = layer_.Get()) return layer;
    return this;
}

void AnimationWidget::PopLayer() {
    if (layerStack_.empty()) return;
    layer_ = layerStack_.back();
    layerStack_.pop_back();
}

void AnimationWidget::SetNoticeMenu(DynamicWidget* menu, bool unpauseRequested, bool savedPausable) {
    noticeMenu_ = LiveRef<DynamicWidget>(menu);
    noticeMenuId_ = menu ? menu->GetId() : -1;
    unpauseRequested_ = unpauseRequested;
    savedPausable_ = savedPausable;
}

void AnimationWidget::WidgetRemoved(int widgetId) {
    if (noticeMenuId_ >= 0 && widgetId == noticeMenuId_) {
        noticeMenu_.Reset();
        noticeMenuId_ = -1;
        if (waitKind_ != kNoticeMenu) return;
        if (unpauseRequested_)
            if (ScriptMenu* menu = ScriptMenuOf(*this)) menu->SetPausable(savedPausable_);
        if (manager_) {
            ExecuteSteps(true);
        } else {
            // Out of the tree the script may not run: it goes on after the
            // notice once the widget is back.
            waitKind_ = kRunning;
            AdvanceStep(true);
        }
        return;
    }
    if (auto it = objects_.find(widgetId); it != objects_.end()) {
        // Called from the removal itself, so the object is still alive.
        auto named = variables_.find(it->second->GetIdText());
        if (named != variables_.end() && named->second.ToWidget<DynamicWidget>() == it->second) variables_.erase(named);
        objects_.erase(it);
    } else {
        for (auto v = variables_.begin(); v != variables_.end(); ++v) {
            Widget* widget = v->second.ToWidget<Widget>();
            if (widget && widget->GetId() == widgetId) {
                variables_.erase(v);
                break;
            }
        }
    }
    buttons_.erase(widgetId);
    if (waitKind_ >= kObjectGone && waitKind_ <= kLastObjectWait && waitTargetId_ == widgetId && manager_)
        ExecuteSteps(true);
}

void AnimationWidget::AnimationComplete(int widgetId) {
    runningAnimations_.erase(widgetId);
    if (waitKind_ == kAnimation && waitTargetId_ == widgetId) ExecuteSteps(true);
}

// --- Clicks and buttons ------------------------------------------------------

void AnimationWidget::SetWaitForClick(bool on) {
    pressSeen_ = false;
    if (on == waitingForClick_) return;
    waitingForClick_ = on;
    if (!manager_) return;
    if (on)
        manager_->AddClickListener(this);
    else
        manager_->RemoveClickListener(this);
}

void AnimationWidget::ClickStarted() { pressSeen_ = true; }

void AnimationWidget::Clicked() {
    if (!pressSeen_ || waitKind_ < kCondition || waitKind_ > kLastWait || !StepAttributeBool(L"click")) return;
    if (StepHasAttribute(L"clicked")) SetVariable(StepAttributeText(L"clicked"), PropertyValue(true));
    if (StepHasAttribute(L"timed_out")) SetVariable(StepAttributeText(L"timed_out"), PropertyValue(false));
    SetWaitForClick(false);
    ExecuteSteps(true);
}

namespace {

constexpr int kWaitMouseUp = 9;
constexpr int kWaitMouseDown = 10;
constexpr int kWaitHover = 11;
constexpr int kWaitLeave = 12;

}  // namespace

void AnimationWidget::ButtonMouseEnter(int id) {
    lastButtonId_ = id;
    auto it = buttons_.find(id);
    if (it != buttons_.end() && !it->second.hoverAnimation.empty()) {
        ButtonBinding binding = it->second;  // the runs may change the table
        RunAnimationNamed(binding.leaveAnimation);
        SetVariable(L"button_id", PropertyValue(binding.name));
        RunAnimationNamed(binding.hoverAnimation);
        return;
    }
    if (waitKind_ == kWaitHover && objects_.count(id) && waitTargetId_ == id) ExecuteSteps(true);
}

void AnimationWidget::ButtonMouseLeave(int id) {
    auto it = buttons_.find(id);
    if (it != buttons_.end() && !it->second.leaveAnimation.empty()) {
        RunAnimationNamed(std::wstring(it->second.leaveAnimation));
        return;
    }
    if (waitKind_ == kWaitLeave && waitTargetId_ == id) ExecuteSteps(true);
}

void AnimationWidget::ButtonPress(int id) {
    lastButtonId_ = id;
    const int counter = playCounter_;
    if (auto it = buttons_.find(id); it != buttons_.end() && !it->second.depress) {
        ButtonBinding binding = it->second;
        HandleButtonEvent(binding);
    }
    if (waitKind_ == kWaitMouseDown && playCounter_ == counter && waitTargetId_ == id) ExecuteSteps(true);
}

void AnimationWidget::ButtonRelease(int id) {
    lastButtonId_ = id;
    const int counter = playCounter_;
    if (auto it = buttons_.find(id); it != buttons_.end() && it->second.depress) {
        ButtonBinding binding = it->second;
        HandleButtonEvent(binding);
    }
    if (waitKind_ == kWaitMouseUp && playCounter_ == counter && waitTargetId_ == id) ExecuteSteps(true);
}
