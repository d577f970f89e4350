// Keyboard focus, the key table, activation and the modal layers of the
// WidgetManager, and forgetting widgets that leave or are disabled.

#include "widgets/tree/widget.h"
#include "widgets/tree/widget_manager.h"

namespace {

bool InKeyTable(int key) { return key >= 0 && key < WidgetManager::kKeyTableSize; }

}  // namespace

void WidgetManager::SetFocus(Widget* widget) {
    const Entry entry(*this);
    if (widget == focus_) return;
    Widget* old = focus_;
    focus_ = widget && widget->manager_ == this ? widget : nullptr;
    Widget* focus = focus_;
    if (old) old->LostFocus();
    // LostFocus may already have moved the focus elsewhere.
    if (focus && focus == focus_ && active_) focus->GotFocus();
}

bool WidgetManager::KeyDown(int key) {
    const Entry entry(*this);
    if (InKeyTable(key)) keyTable_[key] = 1;
    if (focus_) focus_->KeyDown(key);
    return true;
}

bool WidgetManager::KeyUp(int key) {
    const Entry entry(*this);
    if (InKeyTable(key)) keyTable_[key] = 0;
    if (focus_) focus_->KeyUp(key);
    return true;
}

bool WidgetManager::KeyChar(wchar_t c) {
    const Entry entry(*this);
    if (focus_) focus_->KeyChar(c);
    return true;
}

bool WidgetManager::IsKeyDown(int key) const { return InKeyTable(key) && keyTable_[key] != 0; }

void WidgetManager::ClearKeyTable() {
    for (uint8_t& entry : keyTable_) entry = 0;
}

void WidgetManager::ApplicationActivated() {
    const Entry entry(*this);
    if (active_) return;
    active_ = true;
    if (focus_) focus_->GotFocus();
}

void WidgetManager::ApplicationDeactivated() {
    const Entry entry(*this);
    if (!active_) return;
    for (auto& [id, record] : pointers_) record->rawButtons = 0;
    // The focus widget sees every held key come up, so nothing stays pressed.
    for (int key = 0; key < kKeyTableSize; ++key)
        if (keyTable_[key]) KeyUp(key);
    active_ = false;
    if (focus_) focus_->LostFocus();
}

// ---- Modal layers -----------------------------------------------------------------

void WidgetManager::PushModalLayer(Widget* widget, uint32_t addMask, uint32_t removeMask) {
    if (!layers_.empty()) layers_.back().savedFocus = focus_;
    // A widget outside this tree would never report its removal or deletion
    // here, so its layer must not touch it until it is attached.
    layers_.push_back({widget, nullptr, addMask, removeMask, !widget || widget->manager_ != this});
    SetModalLayer(widget, addMask, removeMask);
}

void WidgetManager::PushModalLayerDefault(Widget* widget) {
    PushModalLayer(widget, defaultLayerAdd_, defaultLayerRemove_);
}

void WidgetManager::SetModalLayer(Widget* widget, uint32_t addMask, uint32_t removeMask) {
    const Entry entry(*this);
    modal_ = widget;
    belowModalAdd_ = addMask;
    belowModalRemove_ = removeMask;
    if (widget && (removeMask & pass_flag::kMouse)) {
        if (PointerRecord* record = FindPointer(widget->pointerId_)) {
            if (record->over && ComesBefore(this, record->over, widget)) ClearOver(record);
        }
    }
    if (widget && focus_ && (removeMask & pass_flag::kFocus) && ComesBefore(this, focus_, widget)) {
        Widget* old = focus_;
        focus_ = nullptr;
        old->LostFocus();
    }
    if (removeMask & pass_flag::kMouse) ReleaseAllPointers();
    RecheckAllPointers();
}

void WidgetManager::PopModalLayer(Widget* widget) {
    const Entry entry(*this);
    if (layers_.empty()) return;
    if (layers_.back().widget != widget) {
        for (auto it = layers_.begin(); it != layers_.end(); ++it) {
            if (it->widget == widget) {
                layers_.erase(it);
                return;
            }
        }
        return;
    }
    layers_.pop_back();
    if (layers_.empty()) return;
    const ModalLayer top = layers_.back();
    // A layer whose widget has left the tree blocks nothing any more.
    SetModalLayer(top.widgetGone ? nullptr : top.widget, top.addMask, top.removeMask);
    if (!focus_ && top.savedFocus) {
        focus_ = top.savedFocus;
        focus_->GotFocus();
    }
}

// ---- Forgetting widgets ----------------------------------------------------------

void WidgetManager::DisownWidget(Widget* widget) {
    const Entry entry(*this);
    for (auto& [id, record] : pointers_) {
        if (record->over == widget) ClearOver(record.get());
        if (record->capture == widget) {
            const uint32_t held = record->heldButtons;
            record->capture = nullptr;
            record->heldButtons = 0;
            ReleasePointerButtons(record.get(), widget, held);
        }
    }
    if (focus_ == widget) {
        focus_ = nullptr;
        widget->LostFocus();
    }
    if (modal_ == widget) modal_ = nullptr;
}
