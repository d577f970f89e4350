#include "widgets/tree/removal_listener.h"

RemovalWidget::~RemovalWidget() {
    if (removal_listener_) removal_listener_->watched_.erase(this);
}

void RemovalWidget::SetRemovalListener(RemovalListener* listener) {
    if (listener == removal_listener_) return;
    if (removal_listener_) removal_listener_->watched_.erase(this);
    removal_listener_ = listener;
    if (listener) listener->watched_.insert(this);
}

void RemovalWidget::ReportRemoval(int widgetId) {
    RemovalListener* listener = removal_listener_;
    if (!listener) return;
    SetRemovalListener(nullptr);
    listener->WidgetRemoved(widgetId);
}

void RemovalListener::WidgetRemoved(int) {}

RemovalListener::~RemovalListener() {
    for (RemovalWidget* widget : watched_) widget->removal_listener_ = nullptr;
}
