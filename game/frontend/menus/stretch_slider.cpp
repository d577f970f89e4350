#include "game/frontend/menus/stretch_slider.h"

#include <algorithm>
#include <cmath>

#include "rendering/draw/graphics.h"
#include "rendering/image/image.h"
#include "widgets/dynamic/dynamic_widget.h"

namespace {

float g_lastScrollValue = 0.0f;

int CelW(const Image* image) { return image ? image->GetCelWidth() : 0; }
int CelH(const Image* image) { return image ? image->GetCelHeight() : 0; }

}  // namespace

StretchSlider::StretchSlider(Image* track, Image* thumb, SliderListener* listener, bool horizontal, int span)
    : Slider(nullptr, thumb, listener), track_(track), horizontal_(horizontal), span_(span) {
    SetHorizontal(horizontal);
    if (span_ < 0) span_ = horizontal ? CelW(track) : CelH(track);
    if (horizontal)
        Resize(x_, y_, span_, CelH(thumb));
    else
        Resize(x_, y_, CelW(thumb), span_);
}

void StretchSlider::Draw(Graphics* g) {
    if (!g) return;
    if (track_) {
        const int w = horizontal_ ? span_ : CelW(track_);
        const int h = horizontal_ ? CelH(track_) : span_;
        g->DrawImageScaled(track_, static_cast<float>((width_ - w) / 2), static_cast<float>((height_ - h) / 2),
                           static_cast<float>(w), static_cast<float>(h), 0);
    }
    // The base has no track of its own: it draws the thumb.
    Slider::Draw(g);
}

float KivraSlider::LastScrollValue() { return g_lastScrollValue; }

KivraSlider::KivraSlider(DynamicWidget* canvas, const Window& window, Image* track, Image* thumb,
                         SliderListener* listener, bool horizontal, int span)
    : StretchSlider(track, thumb, listener, horizontal, span), canvas_(canvas), window_(window) {
    if (canvas) {
        canvas->SetClipping(true);
        canvas->SetFloatProperty(L"abs_clip_x1", static_cast<float>(window.x), false);
        canvas->SetFloatProperty(L"abs_clip_x2", static_cast<float>(window.x + window.width), false);
        canvas->SetFloatProperty(L"abs_clip_y1", static_cast<float>(window.y), false);
        canvas->SetFloatProperty(L"abs_clip_y2", static_cast<float>(window.y + window.height), false);
        MeasureContent(canvas, true);
    }
    Slider::SetValue(g_lastScrollValue);
}

void KivraSlider::MeasureContent(const DynamicWidget* widget, bool first) {
    if (!widget) return;
    const float x = widget->GetX(), y = widget->GetY();
    const float w = std::trunc(static_cast<float>(widget->GetWidth()) * widget->scale_x);
    const float h = std::trunc(static_cast<float>(widget->GetHeight()) * widget->scale_y);
    if (first) {
        left_ = x;
        top_ = y;
        contentWidth_ = w;
        contentHeight_ = h;
    } else {
        left_ = std::min(left_, x);
        top_ = std::min(top_, y);
        contentWidth_ = std::max(contentWidth_, w + x - left_);
        contentHeight_ = std::max(contentHeight_, h + y - top_);
    }
    for (const Widget* child : widget->GetChildren())
        if (const auto* dynamic = dynamic_cast<const DynamicWidget*>(child)) MeasureContent(dynamic, false);
}

void KivraSlider::Update() {
    // The canvas belongs to the script's tree, which may remove it first.
    DynamicWidget* canvas = canvas_.Get();
    if (!canvas) return;
    const auto value = static_cast<float>(GetValue());
    if (IsHorizontal()) {
        float x = static_cast<float>(window_.x);
        if (contentWidth_ > static_cast<float>(window_.width))
            x -= (contentWidth_ - static_cast<float>(window_.width)) * value;
        canvas->Move(x, top_);
    } else {
        float y = static_cast<float>(window_.y);
        if (contentHeight_ > static_cast<float>(window_.height))
            y -= (contentHeight_ - static_cast<float>(window_.height)) * value;
        canvas->Move(left_, y);
    }
}

void KivraSlider::SetValue(double value) {
    Slider::SetValue(value);
    g_lastScrollValue = static_cast<float>(GetValue());
}

void KivraSlider::MouseDown(int x, int y, int clickCode) {
    Slider::MouseDown(x, y, clickCode);
    g_lastScrollValue = static_cast<float>(GetValue());
}

void KivraSlider::MouseDrag(int x, int y) {
    Slider::MouseDrag(x, y);
    g_lastScrollValue = static_cast<float>(GetValue());
}
