// The recursive walks of the tree: fixed-step update, per-frame update, draw
// and hit test.

#include <cassert>

#include "widgets/tree/graphics_sink.h"
#include "widgets/tree/pause_memo.h"
#include "widgets/tree/widget.h"
#include "widgets/tree/widget_container.h"
#include "widgets/tree/widget_host.h"
#include "widgets/tree/widget_manager.h"

namespace {

// Applies a container's masks to both words of a pass and puts them back
// when the container's part of the pass ends. Most widgets have none: the
// words then stay as they are, and every container below puts back what
// it changed.
class MaskedFlags {
public:
    MaskedFlags(PassFlags& flags, uint32_t add, uint32_t remove)
        : flags_((add | remove) != 0 ? &flags : nullptr), normal_(flags.normal), below_(flags.belowModal) {
        if (flags_ == nullptr) return;
        flags.normal = ApplyFlagMasks(flags.normal, add, remove);
        flags.belowModal = ApplyFlagMasks(flags.belowModal, add, remove);
    }
    ~MaskedFlags() {
        if (flags_ == nullptr) return;
        flags_->normal = normal_;
        flags_->belowModal = below_;
    }
    MaskedFlags(const MaskedFlags&) = delete;
    MaskedFlags& operator=(const MaskedFlags&) = delete;

private:
    PassFlags* flags_;
    uint32_t normal_;
    uint32_t below_;
};

}  // namespace

// Here, beside the walks that ask it of every widget they visit: where it
// is not overridden, as for most widgets, they then ask it without a call.
[[gnu::always_inline]] inline bool WidgetContainer::PausedByOwner() const {
    // A menu is its own pause owner and answers for itself.
    if (pauseOwner_ && pauseOwner_ != this) return pause_memo::OwnerPaused(*pauseOwner_);
    return Service<WidgetHost>::Get().GetPauseCount() > 0;
}

bool WidgetContainer::IsPaused() const { return PausedByOwner(); }

[[gnu::always_inline]] inline bool WidgetContainer::PausedInWalk() const {
    // A class that overrides IsPaused without saying so would be asked
    // the wrong question here: the checked builds catch it in any test that
    // visits one.
    assert(answersPause_ || IsPaused() == PausedByOwner());
    return answersPause_ ? IsPaused() : PausedByOwner();
}

// While this widget's own update runs: a lone child's lines for the pass
// (its header was asked for a visit ago), as a visitor's task sequence,
// whose current task the sequence reads at once, and those of the lone
// child's own lone child, as the sequence's task, whose header was asked
// for a visit ago too: asked for only as the sequence's visit began, the
// task's lines came after the sequence's short update was over. Else the
// first child's header. A lone child's lines were asked for already unless
// this widget is the root: a parent's walk over several children asks for
// them a child earlier (PrefetchAhead), and a parent's visit over a lone
// child as those of its lone child's lone child, as for the sequence's
// task. Always inline, as PrefetchLines.
[[gnu::always_inline]] inline void WidgetContainer::PrefetchChildren(PassLines lines) const {
    if (const Widget* lone = children_.Lone()) {
        if (parent_ == nullptr) PrefetchLines(*lone, lines);
        if (const Widget* below = static_cast<const WidgetContainer&>(*lone).children_.Lone())
            PrefetchLines(*below, lines);
    } else if (!children_.empty()) {
        PrefetchHeader(children_.front());
    }
}

// One visit of either update pass, the flag masks aside. Most widgets are
// leaves, and most containers of a park hold one child, as a visitor its
// task sequence and the sequence its task: the walk over a lone child
// visits it without the general walk's steps and look-ahead, and goes on to
// them only when that visit left other children behind the cursor.
template <bool frame>
[[gnu::always_inline]] inline void WidgetContainer::VisitForUpdate(PassFlags& flags, float fraction) {
    if (!manager_) return;
    constexpr PassLines lines = frame ? PassLines::kFrame : PassLines::kUpdate;
    // The first child's node came with this widget's pass lines.
    PrefetchChildren(lines);
    if ((flags.Effective() & pass_flag::kUpdate) && manager_ != this && !PausedInWalk()) {
        if constexpr (frame)
            UpdateFraction(fraction);
        else
            Update();
    }
    if (children_.empty()) return;
    const auto visit = [&](Widget* child) {
        if constexpr (frame)
            child->UpdateFractionAll(flags, fraction);
        else
            child->UpdateAll(flags);
    };
    ChildWalk walk(*this);
    // A container taken out of the tree mid-pass stops walking.
    if (Widget* lone = children_.Lone(); lone && manager_) {
        // What the walk's first step finds, with nothing ahead to ask for.
        if (lone == manager_->modal_) flags.pastModal = true;
        visit(lone);
        walk.Next();
        if (walk.Finished()) return;
    }
    while (Widget* child = manager_ ? walk.Current() : nullptr) {
        walk.PrefetchAhead<lines>();
        if (child == manager_->modal_) flags.pastModal = true;
        visit(child);
        walk.Next();
    }
}

void WidgetContainer::UpdateAll(PassFlags& flags) {
    // Most widgets have no masks: the pass's words are then left alone.
    if ((addFlags_ | removeFlags_) == 0) return VisitForUpdate<false>(flags, 0.0f);
    MaskedFlags masked(flags, addFlags_, removeFlags_);
    VisitForUpdate<false>(flags, 0.0f);
}

void WidgetContainer::UpdateFractionAll(PassFlags& flags, float fraction) {
    if ((addFlags_ | removeFlags_) == 0) return VisitForUpdate<true>(flags, fraction);
    MaskedFlags masked(flags, addFlags_, removeFlags_);
    VisitForUpdate<true>(flags, fraction);
}

void WidgetContainer::DrawAll(PassFlags& flags, Graphics* g) {
    if (manager_ && manager_->lowestOverlay_ < overlayThreshold_) manager_->DrawOverlays(overlayThreshold_);
    MaskedFlags masked(flags, addFlags_, removeFlags_);
    GraphicsSink& sink = Service<GraphicsSink>::Get();
    if (clipChildren_ && g) sink.ClipRect(g, 0.0f, 0.0f, width_, height_);
    const uint32_t effective = flags.Effective();
    const bool drawSelf = (effective & pass_flag::kDraw) != 0;
    if (drawSelf && g) {
        sink.SetBatching(g, (effective & pass_flag::kBatching) != 0);
        if (effective & pass_flag::kDrawOrderByPriority) sink.OffsetDrawOrder(g, priority_);
        sink.SetOffscreen(g, (effective & pass_flag::kOffscreen) != 0);
    }
    if (children_.empty()) {
        if (drawSelf) Draw(g);
        return;
    }
    if (g) sink.PushState(g);
    // The first child's first lines are fetched while this widget draws. A
    // lone child's were asked for a visit ago (PrefetchLines): what the pass
    // reads of it, and the first lines of its own lone child, can be asked
    // for now, so that a chain passed by, as every visitor's tasks are, is
    // come by the time the walk reaches it.
    if (const Widget* lone = children_.Lone())
        PrefetchLines(*lone, PassLines::kDraw);
    else
        PrefetchHeader(children_.front());
    if (drawSelf) Draw(g);
    ChildWalk walk(*this);
    while (Widget* child = walk.Current()) {
        walk.PrefetchAhead<PassLines::kDraw>();
        if (child->visible_) {
            if (manager_ && child == manager_->modal_) flags.pastModal = true;
            // The tasks under every visitor are thousands of such subtrees.
            if (child->DrawChangesNothing(flags, effective, drawSelf || !g)) {
                walk.Next();
                continue;
            }
            if (g) {
                sink.RestoreState(g);
                sink.Translate(g, child->x_, child->y_);
            }
            child->DrawAll(flags, g);
        }
        walk.Next();
    }
    if (g) sink.PopState(g);
}

bool WidgetContainer::DrawChangesNothing(const PassFlags& flags, uint32_t outer, bool outerSet) const {
    if (!DrawsNothing()) return false;
    // Overlays drawn first, and the modal widget, which moves the pass on.
    if (manager_ && (manager_->lowestOverlay_ < overlayThreshold_ || this == manager_->modal_)) return false;
    const PassFlags mine{ApplyFlagMasks(flags.normal, addFlags_, removeFlags_),
                         ApplyFlagMasks(flags.belowModal, addFlags_, removeFlags_), flags.pastModal};
    const uint32_t effective = mine.Effective();
    constexpr uint32_t kSwitches = pass_flag::kBatching | pass_flag::kOffscreen;
    const bool drawSelf = (effective & pass_flag::kDraw) != 0;
    // Switching batching off flushes the batch, and off-screen drawing
    // changes the target: only switches set as they stand may be passed by.
    if (drawSelf && !(outerSet && ((effective ^ outer) & kSwitches) == 0)) return false;
    for (const Widget* child : children_)
        if (child->visible_ && !child->DrawChangesNothing(mine, drawSelf ? effective : outer, outerSet)) return false;
    return true;
}

Widget* WidgetContainer::FindWidgetAt(float x, float y, uint32_t flags, float* localX, float* localY) {
    const uint32_t inherited = ApplyFlagMasks(flags, addFlags_, removeFlags_);
    bool belowModal = false;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Widget* child = *it;
        if (child->manager_ && child->visible_) {
            uint32_t childFlags = ApplyFlagMasks(inherited, child->addFlags_, child->removeFlags_);
            if (belowModal)
                childFlags = ApplyFlagMasks(childFlags, manager_->belowModalAdd_, manager_->belowModalRemove_);
            const FRect p = child->MapRectFromParent({x, y, 1.0f, 1.0f});
            const bool clippedAway =
                child->clipChildren_ && !child->ContainsPoint(static_cast<int>(p.x), static_cast<int>(p.y));
            if (!clippedAway) {
                if (!child->children_.empty()) {
                    if (Widget* found = child->FindWidgetAt(p.x, p.y, childFlags, localX, localY)) return found;
                }
                if ((childFlags & pass_flag::kMouse) && child->mouseVisible_ && child->HitTest(p.x, p.y)) {
                    if (localX) *localX = p.x;
                    if (localY) *localY = p.y;
                    return child;
                }
            }
        }
        if (manager_ && child == manager_->modal_) belowModal = true;
    }
    return nullptr;
}
