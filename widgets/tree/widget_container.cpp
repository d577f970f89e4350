#include "widgets/tree/widget_container.h"

#include <algorithm>
#include <bit>
#include <utility>
#include <vector>

#include "rendering/device/d3d_interface.h"
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

void WidgetContainer::Update() {}

void WidgetContainer::UpdateFraction(float) {}

void WidgetContainer::Draw(Graphics*) {}

FRect WidgetContainer::MapRectFromParent(const FRect& r) const { return {r.x - x_, r.y - y_, r.w, r.h}; }

// ---- Child list ------------------------------------------------------------

WidgetContainer::CursorMoves& WidgetContainer::ChildCursor::Moves() {
    if (!moves) moves = std::make_unique<CursorMoves>();
    return *moves;
}

Widget* WidgetContainer::ChildWalk::CurrentAfterMoves() {
    const ChildList& children = owner_.children_;
    for (;;) {
        cursor_.advanced = false;
        if (cursor_.pos >= children.size()) {
            if (!cursor_.moves || cursor_.moves->missedBehind.empty()) return nullptr;
            // Moved behind the cursor before its turn; still a child, as a
            // removal takes it off this list.
            std::vector<Widget*>& missed = cursor_.moves->missedBehind;
            Widget* child = missed.front();
            missed.erase(missed.begin());
            return child;
        }
        Widget* child = children[cursor_.pos];
        if (!cursor_.moves) return child;
        std::vector<Widget*>& ahead = cursor_.moves->visitedAhead;
        auto done = std::find(ahead.begin(), ahead.end(), child);
        if (done == ahead.end()) return child;
        ahead.erase(done);
        ++cursor_.pos;
    }
}

template <WidgetContainer::PassLines lines>
void WidgetContainer::ChildWalk::PrefetchAheadOfSeveral() const {
    // A child's visit takes long enough to cover a fetch from memory: the
    // walk asks for the first lines of the child two on, and reads them a
    // child later to ask for the rest the pass reads of it and for the first
    // lines of its only child, whose address they hold, so that its own walk
    // finds them come. Where a child has several, its walk looks ahead among
    // them.
    const ChildList& children = owner_.children_;
    const size_t at = cursor_.pos;
    const size_t count = children.size();
    if (at >= count) return;
    // The first child's first lines were asked for before its parent's own
    // visit (in the update passes a lone child, as every visitor's sequence
    // and task, never comes here: PrefetchAhead).
    if (at == 0) PrefetchLines(*children[0], lines);
    if constexpr (lines == PassLines::kDraw) {
        if (at + 1 < count) PrefetchLines(*children[at + 1], lines);
        if (at + 2 < count) PrefetchHeader(children[at + 2]);
        return;
    }
    // The update passes go down a child's chain of only children, as a
    // visitor's task sequence and task, one visit a level: the child's own
    // visit asks for its only child's lines and reads them at once, and a
    // visit earlier is too late for the level below. So the walk runs a
    // child further ahead, and asks for the lines of the next child's only
    // child, whose first lines were asked for a visit ago.
    if (at == 0) {
        // The first child's own visit does not ask for its lone child's
        // lines (PrefetchChildren): no walk asked for them a child earlier.
        if (const Widget* lone = children[0]->children_.Lone()) PrefetchLines(*lone, lines);
        if (count > 1) PrefetchLines(*children[1], lines);
    }
    if (at + 1 < count)
        if (const Widget* lone = children[at + 1]->children_.Lone()) PrefetchLines(*lone, lines);
    if (at + 2 < count) PrefetchLines(*children[at + 2], lines);
    if (at + 3 < count) PrefetchHeader(children[at + 3]);
}

template void WidgetContainer::ChildWalk::PrefetchAheadOfSeveral<WidgetContainer::PassLines::kDraw>() const;
template void WidgetContainer::ChildWalk::PrefetchAheadOfSeveral<WidgetContainer::PassLines::kUpdate>() const;
template void WidgetContainer::ChildWalk::PrefetchAheadOfSeveral<WidgetContainer::PassLines::kFrame>() const;

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

void WidgetContainer::AddPassLines(const void* first, const void* end, UpdatePass pass) {
    const uint64_t lines = LinesOf(first, end);
    if (HasPass(pass, UpdatePass::kStep)) stepLines_ |= lines;
    if (HasPass(pass, UpdatePass::kFrame)) frameLines_ |= lines;
}

void WidgetContainer::NamePassTarget(const void* target, bool fixedStep, const void* also) {
    const auto offset = static_cast<intptr_t>(reinterpret_cast<uintptr_t>(target) - reinterpret_cast<uintptr_t>(this));
    const bool fits = target && offset >= INT32_MIN && offset <= INT32_MAX;
    passTarget_ = fits ? static_cast<int32_t>(offset) : 0;
    stepTarget_ = fixedStep;
    // Counted between the lines themselves: the target's place within its
    // line stays that place in every line a whole number of lines away.
    const auto lines = static_cast<intptr_t>(reinterpret_cast<uintptr_t>(also) >> 6) -
                       static_cast<intptr_t>(reinterpret_cast<uintptr_t>(target) >> 6);
    targetAlso_ = fits && also && lines >= INT8_MIN && lines <= INT8_MAX ? static_cast<int8_t>(lines) : 0;
}

void WidgetContainer::AddDrawLines(std::initializer_list<const void*> fields) {
    for (const void* field : fields) drawLines_ |= LinesOf(field, static_cast<const char*>(field) + 1);
}

size_t WidgetContainer::IndexOf(const Widget* child) const { return children_.IndexOf(child, child->slot_); }

bool WidgetContainer::IsBehind(const ChildCursor& cursor, const Widget* child) const {
    const size_t at = IndexOf(child);
    if (at == cursor.pos) return !cursor.advanced;
    return at < cursor.pos;
}

bool WidgetContainer::HasVisited(const ChildCursor& cursor, Widget* child) const {
    if (cursor.moves) {
        auto named = [child](const std::vector<Widget*>& list) {
            return std::find(list.begin(), list.end(), child) != list.end();
        };
        if (named(cursor.moves->visitedAhead)) return true;
        if (named(cursor.moves->missedBehind)) return false;
    }
    return IsBehind(cursor, child);
}

void WidgetContainer::ForgetInCursors(const Widget* child) {
    for (ChildCursor* c = cursors_; c; c = c->outer) {
        if (!c->moves) continue;
        std::erase(c->moves->visitedAhead, child);
        std::erase(c->moves->missedBehind, child);
    }
}

size_t WidgetContainer::InsertPosition(size_t hint, int priority) const {
    auto nearestNotAbove = [&](size_t from) {
        while (from > 0) {
            --from;
            if (children_[from]->priority_ <= priority) return from + 1;
        }
        return size_t{0};
    };
    const size_t count = children_.size();
    size_t e = hint;
    while (e < count && children_[e]->priority_ < priority) ++e;
    if (e == count) return nearestNotAbove(count);
    if (e == 0 || children_[e]->priority_ == priority) return e;
    return nearestNotAbove(e);
}

size_t WidgetContainer::AddPosition(const Widget& widget) const {
    return InsertPosition(children_.size(), widget.priority_);
}

void WidgetContainer::InsertAt(size_t at, Widget* child) {
    children_.Insert(at, child);
    child->slot_ = at;
    // Inserted before a cursor's child: behind it, as a list node would be.
    for (ChildCursor* c = cursors_; c; c = c->outer)
        if (c->pos >= at) ++c->pos;
}

void WidgetContainer::EraseAt(size_t at) {
    children_.Erase(at);
    // A cursor on the child erased moves on to the one that followed it.
    for (ChildCursor* c = cursors_; c; c = c->outer) {
        if (c->pos == at)
            c->advanced = true;
        else if (c->pos > at)
            --c->pos;
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

    InsertAt(AddPosition(*widget), widget);
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
    EraseAt(IndexOf(widget));
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
    EraseAt(IndexOf(widget));
    const bool otherIsChild = other && other->parent_ == this;
    size_t at = children_.size();
    if (hint == Hint::Begin)
        at = 0;
    else if (hint == Hint::Before && otherIsChild)
        at = IndexOf(other);
    else if (hint == Hint::After && otherIsChild)
        at = IndexOf(other) + 1;
    InsertAt(InsertPosition(at, widget->priority_), widget);
    // Carried across a walk's cursor: its place no longer tells whether that
    // walk visited it.
    for (ChildCursor* c = cursors_; c; c = c->outer) {
        const bool behind = IsBehind(*c, widget);
        if (c->movingVisited && !behind) c->Moves().visitedAhead.push_back(widget);
        if (!c->movingVisited && behind) c->Moves().missedBehind.push_back(widget);
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
    for (size_t at = 0; at < children_.size(); ++at)
        place(children_[at], at < cursor.pos || (at == cursor.pos && !cursor.advanced));
}

void WidgetContainer::SortByPriority() {
    // Each priority is read once, into one array: a sort comparing the
    // children themselves reads two widgets at every comparison, and a
    // park's thousands of items lie all over memory.
    static std::vector<std::pair<int, Widget*>> order;
    order.clear();
    for (Widget* child : children_) order.emplace_back(child->priority_, child);
    const auto byPriority = [](const auto& a, const auto& b) { return a.first < b.first; };
    // Most sorts of a park find it as the last one left it.
    if (std::is_sorted(order.begin(), order.end(), byPriority)) return;
    std::stable_sort(order.begin(), order.end(), byPriority);
    // The walks in progress stay on the children they are at.
    std::vector<Widget*> atCursors;
    for (ChildCursor* c = cursors_; c; c = c->outer)
        atCursors.push_back(c->pos < children_.size() ? children_[c->pos] : nullptr);
    children_.Reorder([](size_t i) { return order[i].second; });
    size_t next = 0;
    for (ChildCursor* c = cursors_; c; c = c->outer, ++next)
        c->pos = atCursors[next] ? IndexOf(atCursors[next]) : children_.size();
}

void WidgetContainer::SortChildren() {
    // What each walk in progress has visited, before the sort moves it.
    for (ChildCursor* c = cursors_; c; c = c->outer) {
        CursorMoves& moves = c->Moves();
        moves.sortVisited.clear();
        ForEachPlace(*c, [&moves](Widget* child, bool behind) {
            auto named = [child](const std::vector<Widget*>& list) {
                return std::find(list.begin(), list.end(), child) != list.end();
            };
            if ((behind || named(moves.visitedAhead)) && !named(moves.missedBehind)) moves.sortVisited.push_back(child);
        });
        std::sort(moves.sortVisited.begin(), moves.sortVisited.end());
    }
    // A walk in progress goes on with the child that followed the one it is
    // visiting, as after a re-positioning.
    for (ChildCursor* c = cursors_; c; c = c->outer) {
        if (!c->advanced && c->pos < children_.size()) {
            ++c->pos;
            c->advanced = true;
        }
    }
    SortByPriority();
    // The sort may carry children across a cursor either way: name those.
    for (ChildCursor* c = cursors_; c; c = c->outer) {
        CursorMoves& moves = c->Moves();
        moves.visitedAhead.clear();
        moves.missedBehind.clear();
        ForEachPlace(*c, [&moves](Widget* child, bool behind) {
            const bool visited = std::binary_search(moves.sortVisited.begin(), moves.sortVisited.end(), child);
            if (visited && !behind) moves.visitedAhead.push_back(child);
            if (!visited && behind) moves.missedBehind.push_back(child);
        });
        moves.sortVisited.clear();
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
