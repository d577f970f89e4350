#pragma once
// The game's two sliders. StretchSlider: a Slider whose track is drawn
// stretched along a given span. KivraSlider: a scroll bar that moves a
// content widget (the canvas) inside a clipping window; every new one opens
// at the value the last moved or set one had, so a scrolled list reopens
// where it was left. Main thread only.

#include "foundation/values/live_ref.h"
#include "widgets/controls/slider.h"

class DynamicWidget;
class Image;

class StretchSlider : public Slider {
public:
    // A negative span takes the track's own length along the axis.
    StretchSlider(Image* track, Image* thumb, SliderListener* listener, bool horizontal, int span);

    void Draw(Graphics* g) override;

    int GetSpan() const { return span_; }
    bool IsHorizontal() const { return horizontal_; }

private:
    Image* track_;
    bool horizontal_;
    int span_;
};

class KivraSlider : public StretchSlider {
public:
    struct Window {
        int x = 0, y = 0, width = 0, height = 0;
    };

    // Without a canvas it is a plain stretched slider; so is one whose canvas
    // a script has since removed.
    KivraSlider(DynamicWidget* canvas, const Window& window, Image* track, Image* thumb, SliderListener* listener,
                bool horizontal, int span);

    void Update() override;
    void SetValue(double value) override;
    void MouseDown(int x, int y, int clickCode) override;
    void MouseDrag(int x, int y) override;

    // The bounds of the widget and its dynamic children, as the canvas's offsets.
    void MeasureContent(const DynamicWidget* widget, bool first);
    float ContentLeft() const { return left_; }
    float ContentTop() const { return top_; }
    float ContentWidth() const { return contentWidth_; }
    float ContentHeight() const { return contentHeight_; }

    // The value the last slider was moved or set to.
    static float LastScrollValue();

private:
    LiveRef<DynamicWidget> canvas_;
    Window window_;
    float left_ = 0, top_ = 0, contentWidth_ = 0, contentHeight_ = 0;
};
