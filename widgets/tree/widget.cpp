#include "widgets/tree/widget.h"

#include <vector>

#include "platform/window/virtual_keys.h"
#include "widgets/tree/widget_host.h"
#include "widgets/tree/widget_manager.h"

namespace {

int NextWidgetId() {
    static int counter = 0;
    return ++counter;
}

// Widgets constructed and not yet destroyed, in the whole process.
size_t aliveWidgets = 0;

// Click code to (button, click count): left 0, right 1, middle 2.
void SplitClickCode(int clickCode, int& button, int& count) {
    if (clickCode == 0) {
        button = 2;
        count = 1;
    } else if (clickCode > 0) {
        button = 0;
        count = clickCode;
    } else {
        button = 1;
        count = -clickCode;
    }
}

}  // namespace

Widget::Widget() : id_(NextWidgetId()) { ++aliveWidgets; }

size_t Widget::CountAlive() { return aliveWidgets; }

Widget::~Widget() {
    --aliveWidgets;
    CancelWidgetDeletion(this);
    if (parent_) {
        // Deleted while still in a tree: leave it, and do not queue this
        // half-destroyed object for deletion on the way out.
        deleteOnRemoval_ = false;
        parent_->RemoveWidget(this);
    }
}

void Widget::OrderChanged() {}

void Widget::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    MarkDirty();
    if (manager_) manager_->RecheckAllPointers();
}

void Widget::SetDisabled(bool disabled) {
    if (disabled == disabled_) return;
    disabled_ = disabled;
    if (disabled && manager_) manager_->DisownWidget(this);
    MarkDirty();
    if (!disabled && manager_) {
        // Become the target of a pointer already resting on the widget.
        PointerRecord* record = manager_->FindPointer(pointerId_);
        if (!record) return;
        const LocalPoint local =
            manager_->ScreenToLocal(this, static_cast<float>(record->x), static_cast<float>(record->y));
        if (ContainsPoint(static_cast<int>(local.x), static_cast<int>(local.y)))
            manager_->UpdateOver(record, record->x, record->y);
    }
}

void Widget::ShowHandCursor(bool show) {
    if (manager_) Service<WidgetHost>::Get().SetCursorKind(show ? 1 : 0);
}

bool Widget::WantsFocus() { return wantsFocus_; }

void Widget::DrawOverlayPriority(Graphics* g, int) { DrawOverlay(g); }

void Widget::DrawOverlay(Graphics*) {}

void Widget::GotFocus() { hasFocus_ = true; }

void Widget::LostFocus() { hasFocus_ = false; }

void Widget::KeyChar(wchar_t) {}

void Widget::KeyDown(int key) {
    if (key != static_cast<int>(plat::vk::kTab) || !manager_) return;
    Widget* target = manager_->IsKeyDown(static_cast<int>(plat::vk::kShift)) ? tabPrevious_ : tabNext_;
    if (target) manager_->SetFocus(target);
}

void Widget::KeyUp(int) {}

void Widget::MouseEnter() {}

void Widget::MouseLeave() {}

void Widget::MouseMove(int, int) {}

void Widget::MouseButtonDown(int, int, int, int) {}

void Widget::MouseDown(int x, int y, int clickCode) {
    int button = 0, count = 0;
    SplitClickCode(clickCode, button, count);
    MouseButtonDown(x, y, button, count);
}

void Widget::MouseButtonUp(int, int, int, int) {}

void Widget::MouseUp(int x, int y, int clickCode) {
    MouseUpAt(x, y);
    int button = 0, count = 0;
    SplitClickCode(clickCode, button, count);
    MouseButtonUp(x, y, button, count);
}

void Widget::MouseUpAt(int, int) {}

void Widget::MouseDrag(int, int) {}

void Widget::MouseWheel(int) {}

bool Widget::HitTest(float x, float y) {
    return x >= 0.0f && x < static_cast<float>(width_) && y >= 0.0f && y < static_cast<float>(height_);
}

Rect Widget::GetLocalRect() const { return {0, 0, width_, height_}; }

bool Widget::ContainsPoint(int x, int y) const { return x >= 0 && x < width_ && y >= 0 && y < height_; }

void Widget::AddedToManager(WidgetManager* manager) {
    const std::vector<Widget*> children(children_.begin(), children_.end());
    for (Widget* child : children) {
        if (child->parent_ != this) continue;  // an earlier callback took it out
        child->manager_ = manager;
        child->AddedToManager(manager);
    }
    manager->NoteLayerWidgetAttached(this);
    MarkDirty();
    if (mouseVisible_) manager->recheckPending_ = true;
}

void Widget::RemovedFromManager(WidgetManager* manager) {
    const std::vector<Widget*> children(children_.begin(), children_.end());
    for (Widget* child : children) {
        if (child->parent_ != this || !child->manager_) continue;
        manager->DisownWidget(child);
        child->RemovedFromManager(manager);
        child->manager_ = nullptr;
    }
}

void Widget::AddedToParent(WidgetContainer*) {}

void Widget::RemovedFromParent(WidgetContainer*) {
    if (deleteOnRemoval_) QueueWidgetDeletion(this);
}

void Widget::RemoveSelf() {
    removalPending_ = true;
    if (parent_) parent_->RemoveWidget(this);
}

void Widget::RemoveSelfKeep() {
    const bool keep = deleteOnRemoval_;
    deleteOnRemoval_ = false;
    RemoveSelf();
    deleteOnRemoval_ = keep;
}

void Widget::Resize(float x, float y, int width, int height) {
    if (x == x_ && y == y_ && width == width_ && height == height_) return;
    // The recheck walks the whole tree: where no pointer is on the widget,
    // before the move or after, the walk would find what it found. Where the
    // pointers lie in the parent's coordinates, the move does not change.
    const bool watched = mouseVisible_ && manager_;
    WidgetManager::PointerSpots spots;
    if (watched) spots = manager_->PointerSpotsAround(*this);
    const bool metBefore = watched && (spots.met || WidgetManager::MayHitAt(*this, spots));
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = height;
    MarkDirty();
    if (watched && (metBefore || WidgetManager::MayHitAt(*this, spots))) manager_->RecheckAllPointers();
}

void Widget::Move(float x, float y) { Resize(x, y, width_, height_); }
