// The cursor over a script's step tree and the loop that runs steps until
// one waits, the script ends or a newer play supersedes the run.
#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/script_host.h"

namespace {

// How many ExecuteSteps calls are open on the stack, over all widgets: a
// script that starts a widget whose script starts another, and so on,
// nests one call per widget.
int openRuns = 0;

size_t ListSize(const StepList* list) { return list ? list->size() : 0; }

}  // namespace

bool AnimationWidget::IsScriptDone() const {
    return static_cast<size_t>(cursor_.index) >= ListSize(cursor_.list) && blocks_.empty();
}

bool AnimationWidget::TestCondition(std::wstring_view expression, bool fallback) {
    if (expression.empty()) return fallback;
    return evaluator_.Evaluate(expression).ToBool();
}

void AnimationWidget::EndSteps() { cursor_.index = static_cast<int>(ListSize(cursor_.list)); }

void AnimationWidget::AdvanceStep(bool advance) {
    if (advance && static_cast<size_t>(cursor_.index) < ListSize(cursor_.list)) {
        const AnimationStep& step = (*cursor_.list)[cursor_.index];
        if (step.children.empty()) {
            ++cursor_.index;
        } else {
            blocks_.push_back(Cursor{cursor_.list, cursor_.index + 1});
            cursor_ = Cursor{&step.children, 0};
        }
    }
    while (!blocks_.empty() && static_cast<size_t>(cursor_.index) >= ListSize(cursor_.list)) {
        cursor_ = blocks_.back();
        blocks_.pop_back();
        if (!loops_.empty() && loops_.back().blockDepth == static_cast<int>(blocks_.size())) {
            LoopRecord& loop = loops_.back();
            if (!loop.inc.empty()) SetVariable(loop.variable, evaluator_.Evaluate(loop.inc));
            if (loop.count > 0) --loop.count;
            if (TestCondition(loop.cond, true) && loop.count != 0) {
                cursor_ = Cursor{loop.list, loop.index};
                AdvanceStep(true);
                return;
            }
            loops_.pop_back();
        }
    }
}

bool AnimationWidget::ExecuteSteps(bool advance) {
    if (openRuns >= kMaxNesting) {
        HaltForBudget(advance, "scripts start each other too deeply");
        return true;
    }
    ++openRuns;
    bool stopped = RunSteps(advance);
    --openRuns;
    return stopped;
}

bool AnimationWidget::RunSteps(bool advance) {
    waitKind_ = kRunning;
    budgetHalt_ = false;
    const int counter = playCounter_;
    for (int steps = 0;; ++steps) {
        if (steps == kStepBudget) {
            HaltForBudget(advance, "script runs too many steps without waiting");
            return true;
        }
        AdvanceStep(advance);
        advance = true;
        if (IsScriptDone()) {
            waitKind_ = kRunning;
            AnimationFinished();
            return false;
        }
        const AnimationStep& step = (*cursor_.list)[cursor_.index];
        if (TestCondition(step.ifText, true) && !TestCondition(step.unlessText, false)) {
            int hook = HandleCustomCommand(step);
            if (hook == hook_result::kNotHandled) hook = Service<ScriptHost>::Get().HandleScriptStep(step, *this);
            if (hook == hook_result::kStopHere) return true;
            if (hook == hook_result::kNotHandled) {
                switch (RunWord(step)) {
                    case WordResult::kNext: break;
                    case WordResult::kNextInPlace: advance = false; break;
                    case WordResult::kStop: return true;
                    case WordResult::kEndRun: return false;
                }
            }
        }
        if (playCounter_ != counter) return true;
    }
}

WordResult AnimationWidget::RunWord(const AnimationStep& step) {
    const ScriptWords& words = ScriptWordTable();
    if (WordFunction word = words.Find(WordGroup::kNoObject, step)) return word(*this, step, nullptr);
    if (StepHasAttribute(L"id")) {
        if (DynamicWidget* object = FindObject(L"id")) {
            WordFunction word = words.Find(WordGroup::kObject, step);
            return word ? word(*this, step, object) : WordResult::kNext;
        }
    }
    WordFunction word = words.Find(WordGroup::kNoObjectFound, step);
    return word ? word(*this, step, nullptr) : WordResult::kNext;
}

// The run stops as if it waited for one update; Update picks it up again.
void AnimationWidget::HaltForBudget(bool advance, const char* why) {
    waitKind_ = kRunning;
    budgetHalt_ = true;
    budgetAdvance_ = advance;
    if (reportedRunaway_) return;
    reportedRunaway_ = true;
    std::wstring name = definition_ ? definition_->name : std::wstring();
    LogWrite(L"Animation '" + name + L"': " + text::Widen(why) + L"; it goes on at the next update", true);
}

void AnimationWidget::SkipStep() {
    if (static_cast<size_t>(cursor_.index) < ListSize(cursor_.list)) ++cursor_.index;
}

void AnimationWidget::CallSteps(const StepList* list) {
    SkipStep();
    blocks_.push_back(cursor_);
    cursor_ = Cursor{list, 0};
}

void AnimationWidget::LeaveBlocks(size_t depth) {
    while (blocks_.size() > depth) {
        cursor_ = blocks_.back();
        blocks_.pop_back();
    }
}
