#include "widgets/tree/pause_memo.h"

#include <cstdint>

#include "widgets/tree/widget_container.h"
#include "widgets/tree/widget_host.h"

namespace {

int g_passDepth = 0;
// Counts the changes; an answer is good while the count it was given at stands.
uint64_t g_changes = 0;

struct Answer {
    const WidgetContainer* owner = nullptr;
    uint64_t changes = 0;
    bool paused = false;
};
Answer g_last;

}  // namespace

void PauseAnswersChanged() { ++g_changes; }

namespace pause_memo {

PassScope::PassScope() { ++g_passDepth; }

PassScope::~PassScope() {
    if (--g_passDepth == 0) g_last = Answer{};
}

bool OwnerPaused(const WidgetContainer& owner) {
    if (g_passDepth == 0) return owner.IsPaused();
    if (g_last.owner == &owner && g_last.changes == g_changes) return g_last.paused;
    const uint64_t changes = g_changes;
    const bool paused = owner.IsPaused();
    g_last = Answer{&owner, changes, paused};
    return paused;
}

}  // namespace pause_memo
