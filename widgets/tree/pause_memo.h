#pragma once
// What one update pass has learnt of the pause owners. Thousands of widgets
// share one owner (the menu they sit in) and each asks it, through its own
// IsPaused, whether it may update; within a pass the owner is asked once and
// its answer kept until something that may change an answer happens, which
// says so through PauseAnswersChanged (widget_host.h). Outside a pass every
// question goes to the owner. Main thread only.

class WidgetContainer;

namespace pause_memo {

// Held by a pass over the tree; passes inside passes share the memo, which
// is forgotten when the outermost ends.
class PassScope {
public:
    PassScope();
    ~PassScope();
    PassScope(const PassScope&) = delete;
    PassScope& operator=(const PassScope&) = delete;
};

// owner->IsPaused(), from the memo when a pass already asked it and nothing
// changed since.
bool OwnerPaused(const WidgetContainer& owner);

}  // namespace pause_memo
