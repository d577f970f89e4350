// Waiting: "wait-for" sets what the script waits on and stops the run;
// "persist" holds the script at its step for good. The per-frame poll
// (AnimationWidget::UpdateFraction) decides whether the wait is over, counts
// the time-out down and wakes the script; the listener reports of the
// widget end the event waits (clicks, mouse events, removals, completions).
#include "foundation/system/service.h"
#include "foundation/system/sound_manager.h"
#include "foundation/system/track_interface.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/word_families.h"

namespace {

enum : int {
    kWaitObjects = 4,
    kWaitAnimations = 5,
    kWaitObject = 6,
    kWaitAnimation = 7,
    kWaitController = 8,
    kWaitMouseUp = 9,
    kWaitMouseDown = 10,
    kWaitHover = 11,
    kWaitLeave = 12,
    kWaitSound = 13,
    kWaitTrack = 14,
};

bool RunsController(const DynamicWidget& widget, const std::wstring& name) {
    const auto& controllers = widget.GetControllers();
    auto it = controllers.find(name);
    return it != controllers.end() && it->second;
}

WordResult WaitOn(AnimationWidget& widget, int kind) {
    widget.SetWaitKind(kind);
    return WordResult::kStop;
}

// The event waits on the object "id" found.
WordResult WaitOnObject(AnimationWidget& widget, DynamicWidget& target, const std::wstring& event) {
    AnimationWidget::Awaited& awaited = widget.GetAwaited();
    awaited.object = &target;
    widget.SetWaitTargetId(target.GetId());
    if (event == L"mouse_up") return WaitOn(widget, kWaitMouseUp);
    if (event == L"mouse_down") return WaitOn(widget, kWaitMouseDown);
    if (event == L"mouse_hover") return WaitOn(widget, kWaitHover);
    if (event == L"mouse_leave") return WaitOn(widget, kWaitLeave);
    if (event == L"animation") {
        auto* animation = dynamic_cast<AnimationWidget*>(&target);
        if (!animation || animation->IsScriptDone()) return WordResult::kNext;
        awaited.animation = animation;
        return WaitOn(widget, kWaitAnimation);
    }
    if ((event.empty() || event == L"controller") && widget.StepHasAttribute(L"controller")) {
        awaited.controller = widget.StepAttributeString(L"controller");
        return WaitOn(widget, kWaitController);
    }
    if (event.empty() || event == L"object")
        return target.IsAnimating() ? WaitOn(widget, kWaitObject) : WordResult::kNext;
    return WordResult::kNext;
}

// Waits on a sound or track while it is registered; on "cond" otherwise.
WordResult WaitOnPlaying(AnimationWidget& widget, int id, int kind) {
    widget.GetAwaited().soundOrTrack = id;
    if (id < 0) return WaitOn(widget, AnimationWidget::kCondition);
    widget.SetTimeout(0.0f);  // a sound's own end is the only end
    return WaitOn(widget, kind);
}

WordResult DecideWait(AnimationWidget& widget) {
    const std::wstring& event = widget.StepAttributeText(L"event");
    if (event == L"animations") return WaitOn(widget, kWaitAnimations);
    if (event == L"objects") return widget.AnyObjectAnimating() ? WaitOn(widget, kWaitObjects) : WordResult::kNext;
    if (widget.StepHasAttribute(L"id"))
        if (DynamicWidget* target = widget.FindObject(L"id")) return WaitOnObject(widget, *target, event);
    if (widget.StepHasAttribute(L"sound"))
        return WaitOnPlaying(widget, widget.StepAttributeSound(L"sound"), kWaitSound);
    if (widget.StepHasAttribute(L"track"))
        return WaitOnPlaying(widget, widget.StepAttributeTrack(L"track"), kWaitTrack);
    if (widget.StepAttributeBoolOr(L"cond", false)) return WordResult::kNext;
    return WaitOn(widget, AnimationWidget::kCondition);
}

WordResult WaitFor(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    const float timeout = widget.StepAttributeFloatOr(L"time", 0.0f);
    if (widget.StepHasAttribute(L"time") && timeout == 0.0f) return WordResult::kNext;
    widget.SetTimeout(timeout);
    widget.GetAwaited() = AnimationWidget::Awaited{};
    if (widget.StepAttributeBoolOr(L"click", false)) widget.SetWaitForClick(true);
    return DecideWait(widget);
}

WordResult Persist(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    widget.SetWaitKind(AnimationWidget::kPersist);
    if (AnimationListener* listener = widget.GetAnimationListener()) listener->AnimationEnded(widget.GetId());
    return WordResult::kStop;
}

}  // namespace

void AnimationWidget::UpdateFraction(float x) {
    DynamicWidget::UpdateFraction(x);
    // Most of a park's scripts wait on nothing.
    if (waitKind_ < kCondition || waitKind_ > kLastWait) return;
    UpdateWait(x);
}

void AnimationWidget::UpdateWait(float x) {
    bool over = false;
    switch (waitKind_) {
        case kCondition: {
            const AnimationStep* step = CurrentStep();
            if (step != conditionStep_) {
                conditionStep_ = step;
                condition_ = StepHasAttribute(L"cond") ? &StepAttributeText(L"cond") : nullptr;
                keptAnchor_ = nullptr;
            }
            over = condition_ != nullptr && ConditionHolds();
            break;
        }
        case kWaitObjects: over = !AnyObjectAnimating(); break;
        case kWaitAnimations:
            // A child deleted without its report (moved to another listener) counts as done.
            std::erase_if(runningAnimations_, [](const auto& entry) { return !entry.second; });
            over = runningAnimations_.empty();
            break;
        case kWaitObject: {
            auto* target = awaited_.object.Get();
            over = !target || !target->IsAnimating();
            break;
        }
        case kWaitAnimation: {
            auto* animation = awaited_.animation.Get();
            over = !animation || animation->IsScriptDone();
            break;
        }
        case kWaitController: {
            auto* target = awaited_.object.Get();
            over = !target || !RunsController(*target, awaited_.controller);
            break;
        }
        case kWaitSound: over = !Service<SoundManager>::Get().FindPlayingInstance(awaited_.soundOrTrack); break;
        case kWaitTrack: over = !Service<TrackInterface>::Get().IsTrackPlaying(awaited_.soundOrTrack); break;
        default: break;  // mouse events end by the listener reports only
    }
    bool timedOut = false;
    if (!over) {
        if (timeout_ <= 0.0f) return;  // no time-out: waits for ever
        timeout_ -= x;
        if (timeout_ > 0.0f) return;
        timedOut = true;
    }
    if (StepAttributeBoolOr(L"click", false)) SetWaitForClick(false);
    if (StepHasAttribute(L"clicked")) SetVariable(StepAttributeText(L"clicked"), PropertyValue(false));
    if (StepHasAttribute(L"timed_out")) SetVariable(StepAttributeText(L"timed_out"), PropertyValue(timedOut));
    ExecuteSteps(true);
}

bool AnimationWidget::ConditionHolds() {
    if (keptAnchor_ != nullptr && keptStamp_ == variables_.Stamp()) {
        ExtendedPropertyInterface* object = keptAbove_ != nullptr ? keptAbove_ : keptAnchor_->target;
        if (object == nullptr) return keptNegate_;
        if (keptReading_ != nullptr) return keptReading_->read(*object, keptReading_->entry).ToBool() != keptNegate_;
        const std::wstring_view name = std::wstring_view(condition_->str()).substr(keptPropertyAt_, keptPropertySize_);
        return object->GetProperty(name).ToBool() != keptNegate_;
    }
    const bool holds = evaluator_.Evaluate(*condition_).ToBool();
    KeepConditionReading();
    return holds;
}

// Read after the evaluation, which may have changed the variables itself.
void AnimationWidget::KeepConditionReading() {
    keptAnchor_ = nullptr;
    ExpressionEvaluator::MemberReading reading;
    if (!evaluator_.LastMemberReading(*condition_, reading)) return;
    const VariableMap& variables = variables_;
    const auto it = variables.find(reading.variable);
    if (it == variables.end() || it->second.ReferenceAnchor() == nullptr) return;
    // The reading's views last only until the next evaluation; the text
    // lasts as long as its step, which the wait keeps.
    const std::wstring_view text = condition_->str();
    const size_t at = text.find(reading.property);
    if (at == std::wstring_view::npos) return;
    keptPropertyAt_ = static_cast<uint32_t>(at);
    keptPropertySize_ = static_cast<uint32_t>(reading.property.size());
    keptNegate_ = reading.negate;
    keptStamp_ = variables_.Stamp();
    keptAnchor_ = it->second.ReferenceAnchor();
    ExtendedPropertyInterface* target = keptAnchor_->target;
    const auto* object = dynamic_cast<const Widget*>(target);
    keptAbove_ = manager_ != nullptr && object != nullptr && IsInSubtreeOf(object) ? target : nullptr;
    // The anchor's object is the same one until it dies: its reading lasts.
    keptReading_ = target != nullptr ? target->ResolveProperty(text.substr(at, reading.property.size())) : nullptr;
}

void RegisterWaitWords(ScriptWords& words) {
    words.Register(WordGroup::kNoObject, L"wait-for", WaitFor);
    words.Register(WordGroup::kNoObject, L"persist", Persist);
}
