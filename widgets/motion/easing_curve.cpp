#include "widgets/motion/easing_curve.h"

#include <algorithm>
#include <cmath>

namespace {

// (base^t - 1) / (base - 1), shared by InExpo and InElastic. A base of 1 is
// the limit of the formula, t; a base whose power has no real value (a
// negative base) or overflows also gives t rather than NaN or infinity.
float ExponentialRise(float base, float t) {
    if (base == 1.0f) return t;
    float v = (std::pow(base, t) - 1.0f) / (base - 1.0f);
    return std::isfinite(v) ? v : t;
}

}  // namespace

float ParabolicCurve::Evaluate(float t) {
    float v = a_ * t * t + b_ * t + c_;
    // A degenerate jump (coefficients from a zero span) moves straight on.
    return std::isfinite(v) ? v : t;
}

float InSine::Evaluate(float t) {
    // Past about 1e38 the angle overflows and its cosine is NaN.
    float v = 1.0f - std::cos(t * kCurvePi * 0.5f);
    return std::isfinite(v) ? v : t;
}

float InExpo::Evaluate(float t) { return ExponentialRise(base_, t); }

float InCirc::Evaluate(float t) {
    float d = 1.0f - t;
    // Outside 0..2 the root has no real value; the quarter circle's edge (0)
    // continues it there, so a propeller running past 2 rests instead of
    // writing NaN.
    return std::sqrt(std::max(0.0f, 1.0f - d * d));
}

float InBack::Evaluate(float t) {
    float v = t * t * t * (accel_ + 1.0f) - t * t * accel_;
    return std::isfinite(v) ? v : t;
}

float InElastic::Evaluate(float t) {
    float v = ExponentialRise(base_, t) * ((1.0f - fraction_) + std::sin(frequency_ * t) * fraction_);
    return std::isfinite(v) ? v : t;
}

float InBounce::Evaluate(float t) {
    // Far from 0..1 the arcs fall below the float range.
    auto arc = [t](float top, float centre) { return NearestFinite(top - 8.0f * (t - centre) * (t - centre)); };
    if (t > 0.646f) return arc(1.0f, 1.0f);
    if (t > 0.293f) return arc(0.25f, 0.46967f);
    if (t > 0.116f) return arc(0.0625f, 0.204505f);
    return arc(0.027f, 0.0603075f);
}

OutCurve::OutCurve(std::unique_ptr<EasingCurve> inner)
    : inner_(inner ? std::move(inner) : std::make_unique<Linear>()) {}

float OutCurve::Evaluate(float t) { return 1.0f - inner_->Evaluate(1.0f - t); }

InOutCurve::InOutCurve(std::unique_ptr<EasingCurve> inner)
    : inner_(inner ? std::move(inner) : std::make_unique<Linear>()) {}

float InOutCurve::Evaluate(float t) {
    float u = 2.0f * t;
    if (u < 1.0f) return 0.5f * inner_->Evaluate(u);
    return 1.0f - 0.5f * inner_->Evaluate(2.0f - u);
}
