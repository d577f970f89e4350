// Construction, layout, the update and draw passes, overlays and the
// click listeners of the WidgetManager.

#include "widgets/tree/widget_manager.h"

#include <algorithm>

#include "widgets/tree/click_listener.h"
#include "widgets/tree/graphics_sink.h"
#include "widgets/tree/pause_memo.h"
#include "widgets/tree/widget.h"
#include "widgets/tree/widget_host.h"

namespace {

uint64_t updateSerial = 0;

}  // namespace

uint64_t WidgetManager::UpdateSerial() { return updateSerial; }

// A new tree starts with an update of its own.
WidgetManager::WidgetManager() {
    manager_ = this;
    ++updateSerial;
}

WidgetManager::~WidgetManager() {
    // Records first: the widgets leaving at shutdown get no pointer callbacks.
    pointers_.clear();
    inputSources_.clear();
    clickListeners_.clear();
    layers_.clear();
    pendingOverlays_.clear();
    RemoveAllWidgets(false, false);
    DeleteOrphanedWidgets();
}

void WidgetManager::SetScreenLayout(const Rect& logical, const Rect& window) {
    logicalScreen_ = logical;
    windowPicture_ = window;
    width_ = logical.w + 2 * logical.x;
    height_ = logical.h + 2 * logical.y;
}

void WidgetManager::MapWindowToScreen(int& x, int& y) const {
    const Rect& l = logicalScreen_;
    const Rect& w = windowPicture_;
    // Before a layout is set the window and the screen are one.
    if (w.w <= 0 || w.h <= 0) return;
    x = static_cast<int>(static_cast<int64_t>(x - w.x) * l.w / w.w) + l.x;
    y = static_cast<int>(static_cast<int64_t>(y - w.y) * l.h / w.h) + l.y;
}

LocalPoint WidgetManager::ScreenToLocal(const Widget* widget, float x, float y) const {
    const FRect r = widget->MapRectFromScreen({x, y, 1.0f, 1.0f});
    return {r.x, r.y};
}

uint32_t WidgetManager::GetCurrentFlags() const {
    return active_ ? defaultFlags_ : ApplyFlagMasks(defaultFlags_, inactiveAdd_, inactiveRemove_);
}

PassFlags WidgetManager::BuildPassFlags() const {
    PassFlags flags;
    flags.normal = GetCurrentFlags();
    flags.belowModal = ApplyFlagMasks(flags.normal, belowModalAdd_, belowModalRemove_);
    flags.pastModal = modal_ == nullptr;
    return flags;
}

bool WidgetManager::UpdateFrame() {
    ++updateSerial;
    PassFlags flags = BuildPassFlags();
    {
        const Entry entry(*this);
        const pause_memo::PassScope pauses;
        UpdateAll(flags);
    }
    // Without a host, removed widgets wait until no call into the manager is
    // in progress: a nested loop, run from a pass or from input dispatch,
    // must not delete a widget whose callback is still running further up
    // the stack.
    if (entryDepth_ == 0) DeleteOrphanedWidgets();
    return dirty_;
}

bool WidgetManager::UpdateFractionFrame(float fraction) {
    const Entry entry(*this);
    const pause_memo::PassScope pauses;
    PassFlags flags = BuildPassFlags();
    UpdateFractionAll(flags, fraction);
    return dirty_;
}

void WidgetManager::DrawWidgetsTo(Graphics* g) {
    const Entry entry(*this);
    PassFlags flags = BuildPassFlags();
    GraphicsSink& sink = Service<GraphicsSink>::Get();
    ChildWalk walk(*this);
    while (Widget* child = walk.Current()) {
        if (child == modal_) flags.pastModal = true;
        if (child->visible_) {
            ScopedContext copy(g ? sink.CopyContext(g) : nullptr);
            if (copy.Get()) sink.Translate(copy.Get(), child->x_, child->y_);
            child->DrawAll(flags, copy.Get());
        }
        walk.Next();
    }
}

bool WidgetManager::DrawScreen() {
    if (!dirty_) return false;
    lowestOverlay_ = kNoOverlay;
    pendingOverlays_.clear();
    {
        ScopedContext screen(Service<GraphicsSink>::Get().BeginScreen(screenImage_));
        currentGraphics_ = screen.Get();
        DrawWidgetsTo(currentGraphics_);
        DrawOverlays(kNoOverlay);
        currentGraphics_ = nullptr;
    }
    dirty_ = false;
    return true;
}

void WidgetManager::AddPendingOverlay(Widget* widget, int priority) {
    if (!widget) return;
    pendingOverlays_.push_back({widget, priority});
    lowestOverlay_ = std::min(lowestOverlay_, priority);
}

void WidgetManager::DrawOverlays(int threshold) {
    const Entry entry(*this);
    GraphicsSink& sink = Service<GraphicsSink>::Get();
    for (;;) {
        const int drawing = lowestOverlay_;
        int nextLowest = kNoOverlay;
        // By index: an overlay may queue further overlays while it draws.
        for (size_t i = 0; i < pendingOverlays_.size(); ++i) {
            Widget* widget = pendingOverlays_[i].widget;
            const int priority = pendingOverlays_[i].priority;
            if (!widget) continue;
            if (priority != drawing) {
                nextLowest = std::min(nextLowest, priority);
                continue;
            }
            pendingOverlays_[i].widget = nullptr;
            ScopedContext copy(currentGraphics_ ? sink.CopyContext(currentGraphics_) : nullptr);
            if (copy.Get()) {
                const FRect origin = widget->MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f});
                sink.Translate(copy.Get(), static_cast<float>(-logicalScreen_.x),
                               static_cast<float>(-logicalScreen_.y));
                sink.Translate(copy.Get(), origin.x, origin.y);
            }
            widget->DrawOverlayPriority(copy.Get(), priority);
        }
        lowestOverlay_ = nextLowest;
        if (lowestOverlay_ == kNoOverlay) {
            pendingOverlays_.clear();
            return;
        }
        if (lowestOverlay_ >= threshold) return;
    }
}

// ---- Leaving the tree ------------------------------------------------------------

void WidgetManager::DetachWidget(Widget* widget) {
    const Entry entry(*this);
    const std::vector<Widget*> children(widget->children_.begin(), widget->children_.end());
    for (Widget* child : children)
        if (child->parent_ == widget && child->manager_ == this) DetachWidget(child);
    ForgetRemovedWidget(widget);
    widget->RemovedFromManager(this);
    widget->MarkDirty();
    widget->manager_ = nullptr;
}

void WidgetManager::NoteLayerWidgetAttached(Widget* widget) {
    for (ModalLayer& layer : layers_)
        if (layer.widget == widget) layer.widgetGone = false;
}

void WidgetManager::ForgetRemovedWidget(Widget* widget) {
    DisownWidget(widget);
    for (ModalLayer& layer : layers_) {
        if (layer.savedFocus == widget) layer.savedFocus = nullptr;
        if (layer.widget == widget) layer.widgetGone = true;
    }
    for (PendingOverlay& overlay : pendingOverlays_)
        if (overlay.widget == widget) overlay.widget = nullptr;
}

// ---- Click listeners -------------------------------------------------------------

void WidgetManager::AddClickListener(ClickListener* listener) {
    if (!listener) return;
    if (std::find(clickListeners_.begin(), clickListeners_.end(), listener) == clickListeners_.end())
        clickListeners_.push_back(listener);
}

void WidgetManager::RemoveClickListener(ClickListener* listener) {
    clickListeners_.erase(std::remove(clickListeners_.begin(), clickListeners_.end(), listener), clickListeners_.end());
}

void WidgetManager::NotifyClickPress() {
    const Entry entry(*this);
    const std::vector<ClickListener*> listeners = clickListeners_;
    for (ClickListener* listener : listeners) listener->ClickStarted();
}

void WidgetManager::NotifyClickRelease() {
    const Entry entry(*this);
    const std::vector<ClickListener*> listeners = clickListeners_;
    for (ClickListener* listener : listeners) listener->Clicked();
}
