#include "widgets/tree/widget_container.h"

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

bool WidgetContainer::IsPaused() const {
    // A menu is its own pause owner and answers for itself.
    if (pause_owner_ && pause_owner_ != this) return pause_owner_->IsPaused();
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

void WidgetContainer::TakePauseOwner(WidgetContainer* owner) {
    if (!owner || owner == pause_owner_) return;
    pause_owner_ = owner;
    for (Widget* child : children_) child->TakePauseOwner(owner);
}

void WidgetContainer::ClearPauseOwnerOfSubtree() {
    pause_owner_ = nullptr;
    for (Widget* child : children_) child->ClearPauseOwnerOfSubtree();
}

void WidgetContainer::AddWidget(Widget* widget) {
    if (!widget || widget->parent_ == this) return;
    // A widget inside itself would make the tree a cycle.
    if (IsInSubtreeOf(widget)) return;
    if (widget->parent_) {
        // Moving between parents: leave the old one without being deleted.
        const bool keep = widget->delete_on_removal_;
        widget->delete_on_removal_ = false;
        widget->parent_->RemoveWidget(widget);
        widget->delete_on_removal_ = keep;
    }
    // Added again before its deferred deletion ran: it lives on.
    CancelWidgetDeletion(widget);

    WidgetManager* guardOwner = nullptr;
    if (manager_ && !manager_->add_guard_) {
        guardOwner = manager_;
        guardOwner->add_guard_ = true;
    }

    widget->node_ = children_.insert(InsertPosition(children_.end(), widget->priority_), widget);
    widget->manager_ = manager_;
    widget->parent_ = this;
    widget->TakePauseOwner(pause_owner_);
    widget->AddedToParent(this);
    if (manager_) widget->AddedToManager(manager_);

    if (guardOwner) {
        guardOwner->add_guard_ = false;
        if (guardOwner->recheck_pending_) {
            guardOwner->recheck_pending_ = false;
            guardOwner->RecheckAllPointers();
        }
        guardOwner->dirty_ = true;
    }
    if (widget->removal_pending_ && widget->parent_ == this) RemoveWidget(widget);
}

void WidgetContainer::RemoveWidget(Widget* widget) {
    if (!widget || widget->parent_ != this) return;
    StepCursorsPast(widget->node_);
    children_.erase(widget->node_);
    widget->removal_pending_ = false;
    widget->parent_ = nullptr;
    if (widget->manager_) widget->manager_->DetachWidget(widget);
    widget->RemovedFromParent(this);
    widget->ClearPauseOwnerOfSubtree();
}

void WidgetContainer::RemoveAllWidgets(bool setDeleteFlag, bool recursive) {
    while (!children_.empty()) {
        Widget* child = children_.front();
        if (setDeleteFlag) child->delete_on_removal_ = true;
        RemoveWidget(child);
        if (recursive) child->RemoveAllWidgets(setDeleteFlag, recursive);
    }
}

void WidgetContainer::Reposition(Widget* widget, Hint hint, Widget* other) {
    if (!widget || widget->parent_ != this) return;
    if (other == widget && (hint == Hint::Before || hint == Hint::After)) return;
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
    widget->OrderChanged();
}

void WidgetContainer::BringToFront(Widget* widget) { Reposition(widget, Hint::End, nullptr); }
void WidgetContainer::BringToBack(Widget* widget) { Reposition(widget, Hint::Begin, nullptr); }
void WidgetContainer::PutBehind(Widget* widget, Widget* other) { Reposition(widget, Hint::Before, other); }
void WidgetContainer::PutInFront(Widget* widget, Widget* other) { Reposition(widget, Hint::After, other); }

void WidgetContainer::SortChildren() {
    // A walk in progress goes on with the child that followed the one it is
    // visiting, as after a re-positioning; the sort would otherwise carry its
    // cursor elsewhere and skip or repeat siblings.
    for (ChildCursor* c = cursors_; c; c = c->outer) {
        if (!c->advanced && c->pos != children_.end()) {
            ++c->pos;
            c->advanced = true;
        }
    }
    // list::sort is stable and relinks nodes, so every stored position stays valid.
    children_.sort([](const Widget* a, const Widget* b) { return a->priority_ < b->priority_; });
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
    return root && FirstMet(root, a, b) == 1;
}
