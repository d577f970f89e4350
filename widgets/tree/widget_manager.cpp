// Construction, layout, the update and draw passes, overlays and the
// click listeners of the WidgetManager.

#include "widgets/tree/widget_manager.h"

#include <algorithm>

#include "widgets/tree/click_listener.h"
#include "widgets/tree/graphics_sink.h"
#include "widgets/tree/widget.h"
#include "widgets/tree/widget_host.h"

WidgetManager::WidgetManager() { manager_ = this; }

WidgetManager::~WidgetManager() {
    // Records first: the widgets leaving at shutdown get no pointer callbacks.
    pointers_.clear();
    input_sources_.clear();
    click_listeners_.clear();
    layers_.clear();
    pending_overlays_.clear();
    RemoveAllWidgets(false, false);
    DeleteOrphanedWidgets();
}

void WidgetManager::SetScreenLayout(const Rect& logical, const Rect& window) {
    logical_screen_ = logical;
    window_picture_ = window;
    width_ = logical.w + 2 * logical.x;
    height_ = logical.h + 2 * logical.y;
}

void WidgetManager::MapWindowToScreen(int& x, int& y) const {
    const Rect& l = logical_screen_;
    const Rect& w = window_picture_;
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
    return active_ ? default_flags_ : ApplyFlagMasks(default_flags_, inactive_add_, inactive_remove_);
}

PassFlags WidgetManager::BuildPassFlags() const {
    PassFlags flags;
    flags.normal = GetCurrentFlags();
    flags.belowModal = ApplyFlagMasks(flags.normal, below_modal_add_, below_modal_remove_);
    flags.pastModal = modal_ == nullptr;
    return flags;
}

bool WidgetManager::UpdateFrame() {
    PassFlags flags = BuildPassFlags();
    {
        const Entry entry(*this);
        UpdateAll(flags);
    }
    // Without a host, removed widgets wait until no call into the manager is
    // in progress: a nested loop, run from a pass or from input dispatch,
    // must not delete a widget whose callback is still running further up
    // the stack.
    if (entry_depth_ == 0) DeleteOrphanedWidgets();
    return dirty_;
}

bool WidgetManager::UpdateFractionFrame(float fraction) {
    const Entry entry(*this);
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
    lowest_overlay_ = kNoOverlay;
    pending_overlays_.clear();
    {
        ScopedContext screen(Service<GraphicsSink>::Get().BeginScreen(screen_image_));
        current_graphics_ = screen.Get();
        DrawWidgetsTo(current_graphics_);
        DrawOverlays(kNoOverlay);
        current_graphics_ = nullptr;
    }
    dirty_ = false;
    return true;
}

void WidgetManager::AddPendingOverlay(Widget* widget, int priority) {
    if (!widget) return;
    pending_overlays_.push_back({widget, priority});
    lowest_overlay_ = std::min(lowest_overlay_, priority);
}

void WidgetManager::DrawOverlays(int threshold) {
    const Entry entry(*this);
    GraphicsSink& sink = Service<GraphicsSink>::Get();
    for (;;) {
        const int drawing = lowest_overlay_;
        int nextLowest = kNoOverlay;
        // By index: an overlay may queue further overlays while it draws.
        for (size_t i = 0; i < pending_overlays_.size(); ++i) {
            Widget* widget = pending_overlays_[i].widget;
            const int priority = pending_overlays_[i].priority;
            if (!widget) continue;
            if (priority != drawing) {
                nextLowest = std::min(nextLowest, priority);
                continue;
            }
            pending_overlays_[i].widget = nullptr;
            ScopedContext copy(current_graphics_ ? sink.CopyContext(current_graphics_) : nullptr);
            if (copy.Get()) {
                const FRect origin = widget->MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f});
                sink.Translate(copy.Get(), static_cast<float>(-logical_screen_.x), static_cast<float>(-logical_screen_.y));
                sink.Translate(copy.Get(), origin.x, origin.y);
            }
            widget->DrawOverlayPriority(copy.Get(), priority);
        }
        lowest_overlay_ = nextLowest;
        if (lowest_overlay_ == kNoOverlay) {
            pending_overlays_.clear();
            return;
        }
        if (lowest_overlay_ >= threshold) return;
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
    for (PendingOverlay& overlay : pending_overlays_)
        if (overlay.widget == widget) overlay.widget = nullptr;
}

// ---- Click listeners -------------------------------------------------------------

void WidgetManager::AddClickListener(ClickListener* listener) {
    if (!listener) return;
    if (std::find(click_listeners_.begin(), click_listeners_.end(), listener) == click_listeners_.end())
        click_listeners_.push_back(listener);
}

void WidgetManager::RemoveClickListener(ClickListener* listener) {
    click_listeners_.erase(std::remove(click_listeners_.begin(), click_listeners_.end(), listener),
                           click_listeners_.end());
}

void WidgetManager::NotifyClickPress() {
    const Entry entry(*this);
    const std::vector<ClickListener*> listeners = click_listeners_;
    for (ClickListener* listener : listeners) listener->ClickStarted();
}

void WidgetManager::NotifyClickRelease() {
    const Entry entry(*this);
    const std::vector<ClickListener*> listeners = click_listeners_;
    for (ClickListener* listener : listeners) listener->Clicked();
}
