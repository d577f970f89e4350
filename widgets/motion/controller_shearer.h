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
    Shearer(std::wstring name, DynamicWidget* widget, uint32_t changeBits, Fields fields, float targetX,
            float targetY, float offsetX, float offsetY, float speed, float acceleration, float decay);
    bool Update(float x) override;

    float GetVelocityX() const { return velocity_x_; }
    float GetVelocityY() const { return velocity_y_; }
    float GetMaxVelocityX() const { return max_velocity_x_; }
    float GetMaxVelocityY() const { return max_velocity_y_; }

private:
    Fields fields_;
    float target_x_, velocity_x_ = 0.0f, target_y_, velocity_y_ = 0.0f;
    float acceleration_x_ = 0.0f, max_velocity_x_ = 0.0f, acceleration_y_ = 0.0f, max_velocity_y_ = 0.0f;
    float decay_;
};
