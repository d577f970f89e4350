// Words that steer the script: the blocks "if", "unless", "loop" and "for"
// with "break" and "continue", the subroutine "call", and "stop", "signal",
// "print" and "breakpoint".
//
// A block word whose condition fails moves the cursor past its step itself,
// so its children are not entered. A loop with no children opens no loop
// record: the record would wait for a body end that never comes and stand
// in front of every enclosing loop's record.
#include <cstdint>
#include <cstdlib>

#include "foundation/system/diagnostics.h"
#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "foundation/values/saturate.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/word_families.h"

namespace {

// Nested calls a script may hold open: a call chain that re-enters itself
// would otherwise grow the block stack by one entry per step for ever.
constexpr size_t kMostOpenBlocks = 4096;

WordResult SkipBlock(AnimationWidget& widget) {
    widget.SkipStep();
    return WordResult::kNextInPlace;
}

WordResult If(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    return widget.StepAttributeBool(L"cond") ? WordResult::kNext : SkipBlock(widget);
}

WordResult Unless(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    return widget.StepAttributeBool(L"cond") ? SkipBlock(widget) : WordResult::kNext;
}

// A record for the loop step at the cursor, whose body is entered next.
AnimationWidget::LoopRecord OpenLoop(AnimationWidget& widget, int count) {
    AnimationWidget::LoopRecord loop;
    loop.list = widget.CursorList();
    loop.index = widget.CursorIndex();
    loop.blockDepth = static_cast<int>(widget.BlockDepth());
    loop.count = count;
    loop.cond = widget.StepAttributeText(L"cond");
    return loop;
}

WordResult Loop(AnimationWidget& widget, const AnimationStep& step, DynamicWidget*) {
    const int count = widget.StepAttributeIntOr(L"count", -1);
    if (count == 0 || !widget.TestCondition(widget.StepAttributeText(L"cond"), true) || step.children.empty())
        return SkipBlock(widget);
    widget.Loops().push_back(OpenLoop(widget, count));
    return WordResult::kNext;
}

WordResult For(AnimationWidget& widget, const AnimationStep& step, DynamicWidget*) {
    const std::wstring& name = widget.StepAttributeText(L"name");
    widget.SetVariable(name, widget.EvalStepAttribute(L"from"));
    if (!widget.TestCondition(widget.StepAttributeText(L"cond"), true) || step.children.empty())
        return SkipBlock(widget);
    AnimationWidget::LoopRecord loop = OpenLoop(widget, -1);
    loop.variable = name;
    if (widget.StepHasAttribute(L"to")) {
        const int from = widget.StepAttributeInt(L"from");
        const int to = widget.StepAttributeInt(L"to");
        if (from == to) return SkipBlock(widget);
        const int inc = widget.StepAttributeIntOr(L"inc", from < to ? 1 : -1);
        // No step at all would count for ever (and divide by zero below).
        if (inc == 0) return SkipBlock(widget);
        const int64_t span = std::llabs(int64_t{to} - from), stride = std::llabs(int64_t{inc});
        loop.count = SaturateCast<int>(static_cast<double>((span + stride - 1) / stride));
        loop.inc = ExpressionText(text::WFormat(L"%ls%+d", name.c_str(), inc));
    } else {
        loop.inc = widget.StepAttributeText(L"step");
    }
    widget.Loops().push_back(std::move(loop));
    return WordResult::kNext;
}

// Leaves whatever blocks inside the innermost loop's body are open and ends
// the body's run; the loop's end then decides whether it runs again.
WordResult LeaveBody(AnimationWidget& widget, bool breaking) {
    if (widget.Loops().empty()) return WordResult::kNext;
    AnimationWidget::LoopRecord& loop = widget.Loops().back();
    widget.LeaveBlocks(static_cast<size_t>(loop.blockDepth) + 1);
    widget.EndSteps();
    if (breaking) loop.count = 0;
    return WordResult::kNextInPlace;
}

WordResult Break(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) { return LeaveBody(widget, true); }

WordResult Continue(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) { return LeaveBody(widget, false); }

WordResult Call(AnimationWidget& widget, const AnimationStep& step, DynamicWidget*) {
    for (const auto& [name, text] : step.attributes)
        if (name != L"animation") widget.SetVariable(name, widget.EvalStepAttribute(name));
    if (widget.BlockDepth() >= kMostOpenBlocks) {
        static bool reported = false;
        if (!reported) LogWrite(L"Animation call nests too deeply; the call is skipped", true);
        reported = true;
        return WordResult::kNext;
    }
    widget.CallSteps(&FindAnimation(widget.StepAttributeString(L"animation"))->steps);
    return WordResult::kNextInPlace;
}

WordResult Stop(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    widget.StopAnimation();
    return WordResult::kEndRun;
}

WordResult StopObject(AnimationWidget&, const AnimationStep&, DynamicWidget* object) {
    object->StopChanges();
    return WordResult::kNext;
}

WordResult Signal(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    const bool stop = widget.StepAttributeBool(L"stop");
    if (AnimationListener* listener = widget.GetAnimationListener()) {
        const std::wstring message = widget.StepAttributeString(L"message");
        const int id = widget.GetId();
        listener->AnimationSignal(id, message);
        if (message == L"complete") listener->AnimationComplete(id);
    }
    return stop ? WordResult::kStop : WordResult::kNext;
}

WordResult Print(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    const std::wstring message = widget.StepAttributeString(L"message");
    DebugPrint(L"%ls\n", message.c_str());
    LogWrite(message, true);
    return WordResult::kNext;
}

WordResult Breakpoint(AnimationWidget&, const AnimationStep&, DynamicWidget*) { return WordResult::kNext; }

}  // namespace

void RegisterFlowWords(ScriptWords& words) {
    words.Register(WordGroup::kNoObject, L"stop", Stop, true);
    words.Register(WordGroup::kNoObject, L"call", Call);
    words.Register(WordGroup::kObject, L"stop", StopObject);
    const std::pair<const wchar_t*, WordFunction> blockWords[] = {
        {L"if", If},         {L"unless", Unless}, {L"loop", Loop},
        {L"for", For},       {L"break", Break},   {L"continue", Continue},
        {L"signal", Signal}, {L"print", Print},   {L"breakpoint", Breakpoint},
    };
    for (const auto& [name, word] : blockWords) words.Register(WordGroup::kNoObjectFound, name, word);
}
