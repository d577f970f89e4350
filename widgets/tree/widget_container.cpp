#include "widgets/tree/widget_container.h"

#include <algorithm>
#include <bit>
#include <utility>
#include <vector>

#include "rendering/device/d3d_interface.h"
#include "widgets/tree/pause_memo.h"
#include "widgets/tree/widget.h"
#include "widgets/tree/widget_host.h"
#include "widgets/tree/widget_manager.h"

WidgetContainer::WidgetContainer() = default;

WidgetContainer::~WidgetContainer() { RemoveAllWidgets(false, false); }

void WidgetContainer::SetFocus(Widget*) {}

void WidgetContainer::MarkDirty() {
    if (parent_)
        parent_->MarkDirty();
    else if (manager_)
        manager_->dirty_ = true;
}

bool WidgetContainer::IsPaused() const {
    // A menu is its own pause owner and answers for itself.
    if (pauseOwner_ && pauseOwner_ != this) return pause_memo::OwnerPaused(*pauseOwner_);
    return Service<WidgetHost>::Get().GetPauseCount() > 0;
}

void WidgetContainer::UpdateUnlessPaused() {
    if (!IsPaused()) Update();
}

void WidgetContainer::Update() {}

void WidgetContainer::UpdateFractionUnlessPaused(float fraction) {
    if (!IsPaused()) UpdateFraction(fraction);
}

void WidgetContainer::UpdateFraction(float) {}

void WidgetContainer::Draw(Graphics*) {}

FRect WidgetContainer::MapRectToParent(const FRect& r) const { return {r.x + x_, r.y + y_, r.w, r.h}; }

FRect WidgetContainer::MapRectFromParent(const FRect& r) const { return {r.x - x_, r.y - y_, r.w, r.h}; }

// ---- Child list ------------------------------------------------------------

WidgetContainer::ChildWalk::ChildWalk(WidgetContainer& owner) : owner_(owner) {
    cursor_.pos = owner.children_.begin();
    cursor_.advanced = false;
    cursor_.outer = owner.cursors_;
    owner.cursors_ = &cursor_;
}

WidgetContainer::ChildWalk::~ChildWalk() { owner_.cursors_ = cursor_.outer; }

Widget* WidgetContainer::ChildWalk::CurrentAfterMoves() {
    for (;;) {
        cursor_.advanced = false;
        if (cursor_.pos == owner_.children_.end()) {
            if (cursor_.missedBehind.empty()) return nullptr;
            // Moved behind the cursor before its turn; still a child, as a
            // removal takes it off this list.
            Widget* missed = cursor_.missedBehind.front();
            cursor_.missedBehind.erase(cursor_.missedBehind.begin());
            return missed;
        }
        Widget* child = *cursor_.pos;
        auto done = std::find(cursor_.visitedAhead.begin(), cursor_.visitedAhead.end(), child);
        if (done == cursor_.visitedAhead.end()) return child;
        cursor_.visitedAhead.erase(done);
        ++cursor_.pos;
    }
}

void WidgetContainer::ChildWalk::PrefetchAhead(PassLines lines) const {
    // A child's visit takes long enough to cover a fetch from memory, but
    // the list's nodes lie scattered, so each step can only ask one node
    // further than the last: node i + 1 was asked for two children ago,
    // node i + 2 and the first lines of its child one child ago, so reading
    // them here rarely waits. The next child then fetches the rest the pass
    // reads of it, which lies across many lines that would otherwise be
    // waited on one by one.
    const auto end = owner_.children_.end();
    if (cursor_.pos == end) return;
    // The first child's first lines were asked for before its parent's own visit.
    if (cursor_.pos == owner_.children_.begin()) PrefetchLines(**cursor_.pos, lines);
    auto it = std::next(cursor_.pos);
    if (it == end) return;
    PrefetchLines(**it, lines);
    if (++it == end) return;
    PrefetchHeader(*it);
    if (++it != end) __builtin_prefetch(&*it);
}

void WidgetContainer::PrefetchHeader(const WidgetContainer* widget) {
    const char* at = reinterpret_cast<const char*>(widget);
    __builtin_prefetch(at);
    __builtin_prefetch(at + 64);
}

void WidgetContainer::PrefetchLines(const WidgetContainer& widget, PassLines lines) {
    const char* at = reinterpret_cast<const char*>(&widget);
    for (uint64_t named = lines == PassLines::kDraw ? widget.drawLines_ : widget.passLines_; named != 0;
         named &= named - 1)
        __builtin_prefetch(at + 64 * std::countr_zero(named));
    // Its address only: the node itself is read when the child's own pass begins.
    if (!widget.children_.empty()) __builtin_prefetch(&*widget.children_.begin());
}

uint64_t WidgetContainer::LinesOf(const void* first, const void* end) const {
    const auto* base = reinterpret_cast<const char*>(this);
    const auto* from = static_cast<const char*>(first);
    const auto* to = static_cast<const char*>(end);
    if (from < base || to <= from) return 0;
    const auto firstLine = static_cast<size_t>(from - base) / 64;
    const auto lastLine = static_cast<size_t>(to - 1 - base) / 64;
    uint64_t lines = 0;
    for (size_t line = firstLine; line <= lastLine && line < 64; ++line)
        if (line >= 2) lines |= uint64_t{1} << line;
    return lines;
}

void WidgetContainer::AddPassLines(const void* first, const void* end) { passLines_ |= LinesOf(first, end); }

void WidgetContainer::AddDrawLines(std::initializer_list<const void*> fields) {
    for (const void* field : fields) drawLines_ |= LinesOf(field, static_cast<const char*>(field) + 1);
}

bool WidgetContainer::IsBehind(const ChildCursor& cursor, const Widget* child) const {
    if (cursor.pos != children_.end() && *cursor.pos == child) return !cursor.advanced;
    for (auto it = child->node_;; ++it) {
        if (it == cursor.pos) return true;
        if (it == children_.end()) return false;
    }
}

bool WidgetContainer::HasVisited(const ChildCursor& cursor, Widget* child) const {
    auto named = [child](const std::vector<Widget*>& list) {
        return std::find(list.begin(), list.end(), child) != list.end();
    };
    if (named(cursor.visitedAhead)) return true;
    if (named(cursor.missedBehind)) return false;
    return IsBehind(cursor, child);
}

void WidgetContainer::ForgetInCursors(const Widget* child) {
    for (ChildCursor* c = cursors_; c; c = c->outer) {
        std::erase(c->visitedAhead, child);
        std::erase(c->missedBehind, child);
    }
}

WidgetContainer::ChildList::iterator WidgetContainer::InsertPosition(ChildList::iterator hint, int priority) {
    auto nearestNotAbove = [&](ChildList::iterator from) {
        while (from != children_.begin()) {
            --from;
            if ((*from)->priority_ <= priority) return std::next(from);
        }
        return children_.begin();
    };
    auto e = hint;
    while (e != children_.end() && (*e)->priority_ < priority) ++e;
    if (e == children_.end()) return nearestNotAbove(children_.end());
    if (e == children_.begin() || (*e)->priority_ == priority) return e;
    return nearestNotAbove(e);
}

void WidgetContainer::StepCursorsPast(ChildList::iterator node) {
    for (ChildCursor* c = cursors_; c; c = c->outer) {
        if (c->pos == node) {
            ++c->pos;
            c->advanced = true;
        }
    }
}

bool WidgetContainer::IsInSubtreeOf(const Widget* widget) const {
    for (const WidgetContainer* c = this; c; c = c->parent_)
        if (c == widget) return true;
    return false;
}

void WidgetContainer::SetPauseOwner(WidgetContainer* owner) {
    pauseOwner_ = owner;
    PauseAnswersChanged();
}

void WidgetContainer::TakePauseOwner(WidgetContainer* owner) {
    if (!owner || owner == pauseOwner_) return;
    pauseOwner_ = owner;
    PauseAnswersChanged();
    for (Widget* child : children_) child->TakePauseOwner(owner);
}

void WidgetContainer::ClearPauseOwnerOfSubtree() {
    pauseOwner_ = nullptr;
    PauseAnswersChanged();
    for (Widget* child : children_) child->ClearPauseOwnerOfSubtree();
}

void WidgetContainer::AddWidget(Widget* widget) {
    if (!widget || widget->parent_ == this) return;
    // A widget inside itself would make the tree a cycle.
    if (IsInSubtreeOf(widget)) return;
    if (widget->parent_) {
        // Moving between parents: leave the old one without being deleted.
        const bool keep = widget->deleteOnRemoval_;
        widget->deleteOnRemoval_ = false;
        widget->parent_->RemoveWidget(widget);
        widget->deleteOnRemoval_ = keep;
    }
    // Added again before its deferred deletion ran: it lives on.
    CancelWidgetDeletion(widget);

    WidgetManager* guardOwner = nullptr;
    if (manager_ && !manager_->addGuard_) {
        guardOwner = manager_;
        guardOwner->addGuard_ = true;
    }

    widget->node_ = children_.insert(InsertPosition(children_.end(), widget->priority_), widget);
    widget->manager_ = manager_;
    widget->parent_ = this;
    widget->TakePauseOwner(pauseOwner_);
    widget->AddedToParent(this);
    if (manager_) widget->AddedToManager(manager_);

    if (guardOwner) {
        guardOwner->addGuard_ = false;
        if (guardOwner->recheckPending_) {
            guardOwner->recheckPending_ = false;
            guardOwner->RecheckAllPointers();
        }
        guardOwner->dirty_ = true;
    }
    if (widget->removalPending_ && widget->parent_ == this) RemoveWidget(widget);
}

void WidgetContainer::RemoveWidget(Widget* widget) {
    if (!widget || widget->parent_ != this) return;
    ForgetInCursors(widget);
    StepCursorsPast(widget->node_);
    children_.erase(widget->node_);
    widget->removalPending_ = false;
    widget->parent_ = nullptr;
    if (widget->manager_) widget->manager_->DetachWidget(widget);
    widget->RemovedFromParent(this);
    widget->ClearPauseOwnerOfSubtree();
}

void WidgetContainer::RemoveAllWidgets(bool setDeleteFlag, bool recursive) {
    while (!children_.empty()) {
        Widget* child = children_.front();
        if (setDeleteFlag) child->deleteOnRemoval_ = true;
        RemoveWidget(child);
        if (recursive) child->RemoveAllWidgets(setDeleteFlag, recursive);
    }
}

void WidgetContainer::Reposition(Widget* widget, Hint hint, Widget* other) {
    if (!widget || widget->parent_ != this) return;
    if (other == widget && (hint == Hint::Before || hint == Hint::After)) return;
    for (ChildCursor* c = cursors_; c; c = c->outer) c->movingVisited = HasVisited(*c, widget);
    ForgetInCursors(widget);
    StepCursorsPast(widget->node_);
    children_.erase(widget->node_);
    const bool otherIsChild = other && other->parent_ == this;
    ChildList::iterator at = children_.end();
    if (hint == Hint::Begin)
        at = children_.begin();
    else if (hint == Hint::Before && otherIsChild)
        at = other->node_;
    else if (hint == Hint::After && otherIsChild)
        at = std::next(other->node_);
    widget->node_ = children_.insert(InsertPosition(at, widget->priority_), widget);
    // Carried across a walk's cursor: its place no longer tells whether that
    // walk visited it.
    for (ChildCursor* c = cursors_; c; c = c->outer) {
        const bool behind = IsBehind(*c, widget);
        if (c->movingVisited && !behind) c->visitedAhead.push_back(widget);
        if (!c->movingVisited && behind) c->missedBehind.push_back(widget);
    }
    widget->OrderChanged();
}

void WidgetContainer::BringToFront(Widget* widget) { Reposition(widget, Hint::End, nullptr); }
void WidgetContainer::BringToBack(Widget* widget) { Reposition(widget, Hint::Begin, nullptr); }
void WidgetContainer::PutBehind(Widget* widget, Widget* other) { Reposition(widget, Hint::Before, other); }
void WidgetContainer::PutInFront(Widget* widget, Widget* other) { Reposition(widget, Hint::After, other); }

// Calls place(child, behind) for each child in list order, behind telling
// whether it lies behind the cursor (or is the one being visited).
template <typename Place>
void WidgetContainer::ForEachPlace(const ChildCursor& cursor, Place place) const {
    bool beforeCursor = true;
    for (auto it = children_.begin(); it != children_.end(); ++it) {
        if (it == cursor.pos) beforeCursor = false;
        place(*it, beforeCursor || (it == cursor.pos && !cursor.advanced));
    }
}

void WidgetContainer::SortByPriority() {
    // Each priority is read once, into one array: a sort of the list itself
    // reads two widgets at every comparison, and a park's thousands of items
    // lie all over memory. The order is the stable one list::sort gives.
    // Nodes are relinked, never copied, so every stored position stays valid.
    static std::vector<std::pair<int, ChildList::iterator>> order;
    order.clear();
    for (auto it = children_.begin(); it != children_.end(); ++it) order.emplace_back((*it)->priority_, it);
    const auto byPriority = [](const auto& a, const auto& b) { return a.first < b.first; };
    // Most sorts of a park find it as the last one left it.
    if (std::is_sorted(order.begin(), order.end(), byPriority)) return;
    std::stable_sort(order.begin(), order.end(), byPriority);
    for (const auto& [priority, node] : order) children_.splice(children_.end(), children_, node);
}

void WidgetContainer::SortChildren() {
    // What each walk in progress has visited, before the sort moves it.
    for (ChildCursor* c = cursors_; c; c = c->outer) {
        c->sortVisited.clear();
        ForEachPlace(*c, [c](Widget* child, bool behind) {
            auto named = [child](const std::vector<Widget*>& list) {
                return std::find(list.begin(), list.end(), child) != list.end();
            };
            if ((behind || named(c->visitedAhead)) && !named(c->missedBehind)) c->sortVisited.push_back(child);
        });
        std::sort(c->sortVisited.begin(), c->sortVisited.end());
    }
    // A walk in progress goes on with the child that followed the one it is
    // visiting, as after a re-positioning.
    for (ChildCursor* c = cursors_; c; c = c->outer) {
        if (!c->advanced && c->pos != children_.end()) {
            ++c->pos;
            c->advanced = true;
        }
    }
    SortByPriority();
    // The sort may carry children across a cursor either way: name those.
    for (ChildCursor* c = cursors_; c; c = c->outer) {
        c->visitedAhead.clear();
        c->missedBehind.clear();
        ForEachPlace(*c, [c](Widget* child, bool behind) {
            const bool visited = std::binary_search(c->sortVisited.begin(), c->sortVisited.end(), child);
            if (visited && !behind) c->visitedAhead.push_back(child);
            if (!visited && behind) c->missedBehind.push_back(child);
        });
        c->sortVisited.clear();
    }
}

// ---- Mapping and order -------------------------------------------------------

FRect WidgetContainer::MapRectToScreen(const FRect& r) const {
    const FRect m = MapRectToParent(r);
    if (parent_) return parent_->MapRectToScreen(m);
    if (m.w >= 0.9999f && m.w <= 1.0001f) return m;
    D3DInterface* d3d = D3DInterface::Instance();
    Matrix4 viewProjection;
    if (!d3d || !d3d->GetViewProjection(&viewProjection)) return m;
    Matrix4 transposed;
    viewProjection.Transpose(transposed);
    const float in[4] = {m.x, m.y, m.w, m.h};
    float out[4];
    transposed.TransformVector4(out, in);
    if (out[3] != 1.0f && out[3] != 0.0f) {
        for (int i = 0; i < 3; ++i) out[i] /= out[3];
        out[3] = 1.0f;
    }
    const DeviceHost& screen = Service<DeviceHost>::Get();
    const float halfW = static_cast<float>(screen.ScreenWidth()) / 2.0f;
    const float halfH = static_cast<float>(screen.ScreenHeight()) / 2.0f;
    return {halfW * (out[0] + 1.0f), halfH * (out[1] + 1.0f), out[2], out[3]};
}

FRect WidgetContainer::MapRectFromScreen(const FRect& r) const {
    return MapRectFromParent(parent_ ? parent_->MapRectFromScreen(r) : r);
}

namespace {

// 0 neither found, 1 a first, 2 b first.
int FirstMet(const WidgetContainer* node, const Widget* a, const Widget* b) {
    for (const Widget* child : node->GetChildren()) {
        if (child == a) return 1;
        if (child == b) return 2;
        if (int found = FirstMet(child, a, b)) return found;
    }
    return 0;
}

}  // namespace

bool WidgetContainer::ComesBefore(const WidgetContainer* root, const Widget* a, const Widget* b) {
    // A widget does not come before itself: the modal widget keeps its own focus.
    return root && a != b && FirstMet(root, a, b) == 1;
}
