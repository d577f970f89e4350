#include "widgets/tree/removal_listener.h"

RemovalWidget::~RemovalWidget() {
    if (removalListener_) removalListener_->watched_.erase(this);
}

void RemovalWidget::SetRemovalListener(RemovalListener* listener) {
    if (listener == removalListener_) return;
    if (removalListener_) removalListener_->watched_.erase(this);
    removalListener_ = listener;
    if (listener) listener->watched_.insert(this);
}

void RemovalWidget::ReportRemoval(int widgetId) {
    RemovalListener* listener = removalListener_;
    if (!listener) return;
    SetRemovalListener(nullptr);
    listener->WidgetRemoved(widgetId);
}

void RemovalListener::WidgetRemoved(int) {}

RemovalListener::~RemovalListener() {
    for (RemovalWidget* widget : watched_) widget->removalListener_ = nullptr;
}
