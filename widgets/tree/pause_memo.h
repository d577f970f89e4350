#pragma once
// What one update pass has learnt of the pause owners. Thousands of widgets
// share one owner (the menu they sit in) and each asks it, through its own
// IsPaused, whether it may update; within a pass the owner is asked once and
// its answer kept until something that may change an answer happens, which
// says so through PauseAnswersChanged (widget_host.h). Outside a pass every
// question goes to the owner. Main thread only.

#include <cstdint>

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

namespace internal {

// The memo itself: how deep the passes are, the count of changes, and the
// last answer with the owner it is good for. The owner is null outside a
// pass and from any change on until an owner is asked afresh, so that the
// question every widget of a pass asks is one comparison. Inline for
// OwnerPaused's kept answer, read by every widget of a pass.
struct Memo {
    int passDepth = 0;
    uint64_t changes = 0;
    const WidgetContainer* owner = nullptr;
    bool paused = false;
};
inline Memo memo;

bool AskOwner(const WidgetContainer& owner);

}  // namespace internal

// owner->IsPaused(), from the memo when a pass already asked it and nothing
// changed since.
inline bool OwnerPaused(const WidgetContainer& owner) {
    const internal::Memo& m = internal::memo;
    if (m.owner == &owner) return m.paused;
    return internal::AskOwner(owner);
}

}  // namespace pause_memo
