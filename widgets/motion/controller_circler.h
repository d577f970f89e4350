#pragma once
// Circler: moves a widget's x and y fields along an arc about a centre.
// Angles are in degrees and count against the y-down screen direction, so
// a positive arc turns counter-clockwise as seen on screen. Main thread only.

#include "widgets/motion/controller.h"

class Circler : public Controller {
public:
    // The radius and start angle come from the fields' present values; a
    // duration of 0 or less runs the arc in one update unit.
    Circler(std::wstring name, float* x, float* y, int centreX, int centreY, float arcAngle, float duration,
            std::unique_ptr<EasingCurve> curve, DynamicWidget* widget, uint32_t changeBits);
    bool Update(float x) override;

    float GetRadius() const { return radius_; }
    float GetStartAngle() const { return startAngle_; }

private:
    float* x_;
    float* y_;
    int32_t centreX_, centreY_;
    float startAngle_, endAngle_;
    float radius_;
};
