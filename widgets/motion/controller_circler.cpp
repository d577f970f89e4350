// Circler.

#include "widgets/motion/controller_circler.h"

#include <cmath>

Circler::Circler(std::wstring name, float* x, float* y, int centreX, int centreY, float arcAngle, float duration,
                 std::unique_ptr<EasingCurve> curve, DynamicWidget* widget, uint32_t changeBits)
    : Controller(std::move(name), widget, std::move(curve), true, changeBits),
      x_(x),
      y_(y),
      centreX_(centreX),
      centreY_(centreY) {
    rate_ = RateForDuration(duration);
    const float dx = *x_ - static_cast<float>(centreX_), dy = *y_ - static_cast<float>(centreY_);
    radius_ = std::sqrt(dx * dx + dy * dy);
    // Far from the centre the squares overflow where the distance does not.
    if (!std::isfinite(radius_)) radius_ = NearestFinite(std::hypot(double{dx}, double{dy}));
    startAngle_ = -std::atan2(dy, dx) * 57.2957763671875f;
    endAngle_ = NearestFinite(double{startAngle_} + arcAngle);
}

bool Circler::Update(float x) {
    progress_ += rate_ * x;
    if (progress_ > 1.0f) progress_ = 1.0f;
    const float c = Curve(progress_);
    const float theta = -((1.0f - c) * startAngle_ + c * endAngle_) * 3.1415927f / 180.0f;
    if (std::isfinite(theta)) {
        Store(x_, std::cos(theta) * radius_ + static_cast<float>(centreX_));
        Store(y_, std::sin(theta) * radius_ + static_cast<float>(centreY_));
    } else {
        // A curve far outside 0..1 carries the float angle past the range;
        // in double it is still an angle, and the point still on the circle.
        const double wide = -((1.0 - c) * startAngle_ + double{c} * endAngle_) * 3.1415927f / 180.0;
        Store(x_, std::cos(wide) * radius_ + centreX_);
        Store(y_, std::sin(wide) * radius_ + centreY_);
    }
    Refresh();
    return progress_ >= 1.0f;
}
