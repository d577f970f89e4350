#pragma once
// Shearer: moves a widget's shear towards a target along a straight line,
// at once (speed 0), at a constant speed, or accelerating up to it; an axis
// that no longer accelerates has its velocity damped by the decay factor
// at every update. The shear-line offsets are written at construction.
// Main thread only.

#include "widgets/motion/controller.h"

class Shearer : public Controller {
public:
    struct Fields {
        float* shearX;
        float* shearY;
        float* offsetX;
        float* offsetY;
    };
    // A target of 268435456 (the absent argument) keeps the present shear.
    Shearer(std::wstring name, DynamicWidget* widget, uint32_t changeBits, Fields fields, float targetX, float targetY,
            float offsetX, float offsetY, float speed, float acceleration, float decay);
    bool Update(float x) override;

    float GetVelocityX() const { return velocityX_; }
    float GetVelocityY() const { return velocityY_; }
    float GetMaxVelocityX() const { return maxVelocityX_; }
    float GetMaxVelocityY() const { return maxVelocityY_; }

private:
    Fields fields_;
    float targetX_, velocityX_ = 0.0f, targetY_, velocityY_ = 0.0f;
    float accelerationX_ = 0.0f, maxVelocityX_ = 0.0f, accelerationY_ = 0.0f, maxVelocityY_ = 0.0f;
    float decay_;
};
