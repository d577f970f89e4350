#include "widgets/controls/slider.h"

#include <cmath>

#include "foundation/values/saturate.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image.h"
#include "widgets/tree/widget_host.h"

namespace {

constexpr int kPointerCursor = 0;
constexpr int kDraggingCursor = 2;

int CelLength(const Image* image, bool horizontal) {
    if (!image) return 0;
    return horizontal ? image->GetCelWidth() : image->GetCelHeight();
}

}  // namespace

Slider::Slider(Image* track, Image* thumb, SliderListener* listener)
    : listener_(listener), track_(track), thumb_(thumb) {
    mouseVisible_ = true;
}

int Slider::Length() const { return horizontal_ ? width_ : height_; }

int Slider::ThumbLength() const { return CelLength(thumb_, horizontal_); }

void Slider::SetCursorKind(int kind) const {
    if (manager_) Service<WidgetHost>::Get().SetCursorKind(kind);
}

void Slider::SetValue(double value) {
    if (std::isnan(value))
        value = 0.0;
    else if (value < 0.0)
        value = 0.0;
    else if (value > 1.0)
        value = 1.0;
    value_ = value;
    MarkDirty();
}

void Slider::Draw(Graphics* g) {
    if (!g) return;
    if (track_)
        g->DrawImageWhole(track_, static_cast<float>((width_ - track_->GetCelWidth()) / 2),
                          static_cast<float>((height_ - track_->GetCelHeight()) / 2));
    if (!thumb_) return;
    const int thumbW = thumb_->GetCelWidth(), thumbH = thumb_->GetCelHeight();
    if (horizontal_)
        g->DrawImageWhole(thumb_, static_cast<float>(value_ * (width_ - thumbW)),
                          static_cast<float>((height_ - thumbH) * 0.5));
    else
        g->DrawImageWhole(thumb_, static_cast<float>((width_ - thumbW) / 2),
                          static_cast<float>(value_ * (height_ - thumbH)));
}

void Slider::MouseDown(int x, int y, int) {
    const int press = Along(x, y);
    const int thumbStart = SaturateCast((Length() - ThumbLength()) * value_);
    if (press >= thumbStart && press < thumbStart + ThumbLength()) {
        SetCursorKind(kDraggingCursor);
        dragOffsetX_ = x - (horizontal_ ? thumbStart : 0);
        dragOffsetY_ = y - (horizontal_ ? 0 : thumbStart);
        dragging_ = true;
        changedWhileDragging_ = false;
        return;
    }
    // A slider of no length has no position to jump to.
    if (!clickJumps_ || Length() <= 0) return;
    SetValue(static_cast<double>(press) / Length());
    if (listener_) {
        listener_->SliderChanged(this, value_);
        listener_->SliderCommitted(this, value_);
    }
    changedWhileDragging_ = false;
}

void Slider::MouseDrag(int x, int y) {
    const int room = Length() - ThumbLength();
    if (!dragging_ || room <= 0) return;
    double value = static_cast<double>(horizontal_ ? x - dragOffsetX_ : y - dragOffsetY_) / room;
    value = value < 0.0 ? 0.0 : value > 1.0 ? 1.0 : value;
    if (value == value_) return;
    value_ = value;
    if (listener_) listener_->SliderChanged(this, value_);
    changedWhileDragging_ = true;
    MarkDirty();
}

void Slider::MouseUpAt(int, int) {
    dragging_ = false;
    SetCursorKind(kPointerCursor);
    if (listener_) {
        listener_->SliderChanged(this, value_);
        if (changedWhileDragging_) listener_->SliderCommitted(this, value_);
    }
    changedWhileDragging_ = false;
}

void Slider::MouseMove(int x, int y) {
    const int at = Along(x, y);
    const int thumbStart = SaturateCast((Length() - ThumbLength()) * value_);
    SetCursorKind(at >= thumbStart && at < thumbStart + ThumbLength() ? kDraggingCursor : kPointerCursor);
}

void Slider::MouseLeave() {
    if (!dragging_) SetCursorKind(kPointerCursor);
}
