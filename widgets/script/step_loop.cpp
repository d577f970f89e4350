// The cursor over a script's step tree and the loop that runs steps until
// one waits, the script ends or a newer play supersedes the run.
#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/script_host.h"
#include "widgets/tree/widget_manager.h"

namespace {

// How many ExecuteSteps calls are open on the stack, over all widgets: a
// script that starts a widget whose script starts another, and so on,
// nests one call per widget.
int openRuns = 0;
// The widget whose steps run innermost: widgets made meanwhile were started
// by its script.
AnimationWidget* runningScript = nullptr;
// What the outermost open run and everything it started may still do, and
// what all runs of the present fixed update together may still do.
int workLeft = 0;
int updateWorkLeft = 0;
uint64_t workUpdate = ~uint64_t{0};
// Cuts so far, over all widgets.
int cuts = 0;

size_t ListSize(const StepList* list) { return list ? list->size() : 0; }

}  // namespace

bool AnimationWidget::IsScriptDone() const {
    return static_cast<size_t>(cursor_.index) >= ListSize(cursor_.list) && blocks_.empty();
}

bool AnimationWidget::TestCondition(const ExpressionText& expression, bool fallback) {
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

int AnimationWidget::StartDepthHere() { return runningScript ? runningScript->startDepth_ + 1 : 0; }

bool AnimationWidget::SpendWork(int units) {
    if (openRuns == 0) return true;  // not inside a run: nothing to bound
    if (workLeft <= 0 || updateWorkLeft <= 0) return false;
    // Widgets made by a run count at once: a run that began below the
    // limit must not go on growing the tree past it.
    if (units >= kWidgetWork && Widget::CountAlive() >= kMostWidgets) {
        workLeft = 0;
        return false;
    }
    workLeft -= units;
    updateWorkLeft -= units;
    return true;
}

int AnimationWidget::CountCuts() { return cuts; }

bool AnimationWidget::ExecuteSteps(bool advance) {
    if (startDepth_ >= kMaxNesting) {
        // Started by a chain of scripts that may go on without end (a script
        // that starts itself): this link is not run at all, at any update.
        ResetScript();
        ReportRunaway("it is started by scripts started by scripts too deeply and does not run");
        AnimationFinished();
        return false;
    }
    if (openRuns >= kMaxNesting) {
        HaltForBudget(advance, "scripts start each other too deeply");
        return true;
    }
    if (openRuns == 0) {
        if (workUpdate != WidgetManager::UpdateSerial()) {
            workUpdate = WidgetManager::UpdateSerial();
            updateWorkLeft = kUpdateBudget;
        }
        // While the tree is that full, scripts wait: made widgets would only grow it.
        workLeft = Widget::CountAlive() < kMostWidgets ? kStepBudget : 0;
    }
    ++openRuns;
    AnimationWidget* outer = runningScript;
    runningScript = this;
    bool stopped = RunSteps(advance);
    runningScript = outer;
    --openRuns;
    return stopped;
}

bool AnimationWidget::RunSteps(bool advance) {
    waitKind_ = kRunning;
    budgetHalt_ = false;
    const int counter = playCounter_;
    for (;;) {
        if (!SpendWork(1)) {
            HaltForBudget(advance, "script does too much work in one update");
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
    ++cuts;
    waitKind_ = kRunning;
    budgetHalt_ = true;
    budgetAdvance_ = advance;
    NameRunStateLines(UpdatePass::kStep);
    ReportRunaway(std::string(why) + "; it goes on at the next update");
}

void AnimationWidget::ReportRunaway(std::string_view what) {
    if (reportedRunaway_) return;
    reportedRunaway_ = true;
    std::wstring name = definition_ ? definition_->name : std::wstring();
    LogWrite(L"Animation '" + name + L"': " + text::Widen(what), true);
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
