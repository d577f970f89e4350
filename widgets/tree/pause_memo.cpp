#include "widgets/tree/pause_memo.h"

#include "widgets/tree/widget_container.h"
#include "widgets/tree/widget_host.h"

using pause_memo::internal::memo;

void PauseAnswersChanged() {
    ++memo.changes;
    memo.owner = nullptr;
}

namespace pause_memo {

PassScope::PassScope() { ++memo.passDepth; }

PassScope::~PassScope() {
    if (--memo.passDepth == 0) {
        memo.owner = nullptr;
        memo.paused = false;
    }
}

bool internal::AskOwner(const WidgetContainer& owner) {
    if (memo.passDepth == 0) return owner.IsPaused();
    const uint64_t changes = memo.changes;
    const bool paused = owner.IsPaused();
    // An answer that changed something as it was given is asked again.
    memo.owner = memo.changes == changes ? &owner : nullptr;
    memo.paused = paused;
    return paused;
}

}  // namespace pause_memo
