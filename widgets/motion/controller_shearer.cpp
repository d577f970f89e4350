// Shearer.

#include "widgets/motion/controller_shearer.h"

#include <cmath>

namespace {
constexpr float kAbsent = 268435456.0f;

// The velocity stays finite: an infinite one times an update of no time is NaN.
void Decay(float& velocity, float acceleration, float decay) {
    if (velocity == 0.0f || acceleration != 0.0f) return;
    velocity = NearestFinite(velocity * decay);
    if (velocity > -0.0001f && velocity < 0.0001f) velocity = 0.0f;
}

void Accelerate(float& velocity, float& acceleration, float maximum, float x) {
    if (acceleration == 0.0f) return;
    velocity += x * acceleration;
    if ((acceleration > 0.0f && velocity >= maximum) || (acceleration < 0.0f && velocity <= maximum)) {
        velocity = maximum;
        acceleration = 0.0f;
    }
}

// `strictBelow`: moving down stops only once strictly past the target.
void Move(float& shear, float& velocity, float& acceleration, float target, float x, bool strictBelow) {
    if (velocity == 0.0f) return;
    const bool up = velocity > 0.0f;
    shear += x * velocity;
    const bool arrived = up ? shear >= target : (strictBelow ? shear < target : shear <= target);
    if (arrived) {
        shear = target;
        velocity = 0.0f;
        acceleration = 0.0f;
    }
}
}  // namespace

Shearer::Shearer(std::wstring name, DynamicWidget* widget, uint32_t changeBits, Fields fields, float targetX,
                 float targetY, float offsetX, float offsetY, float speed, float acceleration, float decay)
    : Controller(std::move(name), widget, nullptr, true, changeBits),
      fields_(fields),
      targetX_(targetX == kAbsent ? *fields.shearX : targetX),
      targetY_(targetY == kAbsent ? *fields.shearY : targetY),
      decay_(std::isnan(decay) ? 1.0f : decay) {  // a decay that is not a number damps nothing
    *fields_.offsetX = offsetX;
    *fields_.offsetY = offsetY;
    if (speed == 0.0f) {
        *fields_.shearX = targetX_;
        *fields_.shearY = targetY_;
        return;
    }
    const float dx = targetX_ - *fields_.shearX, dy = targetY_ - *fields_.shearY;
    const float d = std::sqrt(dx * dx + dy * dy);
    // Already there (or a target that is not a number): nothing moves.
    if (!(d > 0.0f) || !std::isfinite(d)) return;
    // A speed that is not a number is taken as a negative one, an
    // acceleration that is not a number as none; infinite ones as the
    // largest finite (infinity times an update of no time is NaN).
    if (!(speed >= 0.0f)) speed = 0.01f;
    speed = NearestFinite(speed);
    acceleration = std::isnan(acceleration) ? 0.0f : NearestFinite(acceleration);
    // Shared out along the line; the share first where speed x distance overflows.
    auto share = [&](float delta) {
        const float v = delta * speed / d;
        return std::isfinite(v) ? v : speed * (delta / d);
    };
    maxVelocityX_ = share(dx);
    maxVelocityY_ = share(dy);
    if (acceleration == 0.0f) {
        velocityX_ = maxVelocityX_;
        velocityY_ = maxVelocityY_;
    } else {
        accelerationX_ = dx >= 0.0f ? acceleration : -acceleration;
        accelerationY_ = dy < 0.0f ? -acceleration : acceleration;
    }
}

bool Shearer::Update(float x) {
    Decay(velocityX_, accelerationX_, decay_);
    Decay(velocityY_, accelerationY_, decay_);
    Accelerate(velocityX_, accelerationX_, maxVelocityX_, x);
    Accelerate(velocityY_, accelerationY_, maxVelocityY_, x);
    Move(*fields_.shearX, velocityX_, accelerationX_, targetX_, x, false);
    Move(*fields_.shearY, velocityY_, accelerationY_, targetY_, x, true);
    Refresh();
    return velocityX_ == 0.0f && velocityY_ == 0.0f && accelerationX_ == 0.0f && accelerationY_ == 0.0f;
}
