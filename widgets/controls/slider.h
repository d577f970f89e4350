#pragma once
// Slider: a value from 0 to 1 shown as a thumb on a track, horizontal or
// vertical. Dragging the thumb reports every change (SliderChanged) and, on
// release, commits a drag that changed the value (SliderCommitted); a press
// on the track outside the thumb jumps there and reports both; every release
// reports SliderChanged. SetValue never reports. A slider without room along
// its axis (no size, or a thumb as large as the slider) ignores presses and
// drags rather than divide by nothing. Images are borrowed.

#include "widgets/tree/widget.h"

class Image;
class Slider;

class SliderListener {
public:
    virtual ~SliderListener() = default;
    virtual void SliderChanged(Slider*, double) {}
    virtual void SliderCommitted(Slider*, double) {}
};

class Slider : public Widget {
public:
    Slider(Image* track, Image* thumb, SliderListener* listener);

    void Draw(Graphics* g) override;
    void MouseDown(int x, int y, int clickCode) override;
    void MouseDrag(int x, int y) override;
    void MouseUpAt(int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseLeave() override;
    // Clamped to [0, 1]; not a number gives 0.
    virtual void SetValue(double value);

    double GetValue() const { return value_; }
    bool IsDragging() const { return dragging_; }
    void SetHorizontal(bool on) { horizontal_ = on; }
    void SetClickJumps(bool on) { clickJumps_ = on; }

private:
    int Length() const;
    int ThumbLength() const;
    int Along(int x, int y) const { return horizontal_ ? x : y; }
    void SetCursorKind(int kind) const;

    SliderListener* listener_;
    double value_ = 0.0;
    Image* track_;
    Image* thumb_;
    bool dragging_ = false;
    bool changedWhileDragging_ = false;
    int dragOffsetX_ = 0, dragOffsetY_ = 0;
    bool horizontal_ = true;
    bool clickJumps_ = true;
};
