#pragma once
// A transform that stays a cheap 2D translation until scale or rotation needs
// a real matrix. The drawing context tests isTranslation to pick a plain image
// draw over a matrix draw; callers that only move may add to tx, ty directly.

#include "foundation/values/matrix4.h"

struct Transform {
    Matrix4 matrix;  // valid only while isComplex
    bool isTranslation = true;
    bool isComplex = false;
    bool keepComplex = false;  // a reset goes straight back to matrix form
    float tx = 0.0f;
    float ty = 0.0f;

    Transform() { Reset(); }

    void Reset();
    void MakeComplex();
    void Flatten();
    const Matrix4& GetMatrix();
    void ForceMatrix();
    void Scale(float sx, float sy);
    void Translate(float x, float y, float z);
    void Rotate(float degrees, float ax, float ay, float az);
};
