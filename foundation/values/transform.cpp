#include "foundation/values/transform.h"

void Transform::Reset() {
    tx = ty = 0.0f;
    isTranslation = true;
    isComplex = false;
    if (keepComplex) MakeComplex();
}

void Transform::MakeComplex() {
    if (isComplex) return;
    isComplex = true;
    Flatten();
}

void Transform::Flatten() {
    if (!isTranslation) return;
    isTranslation = false;
    matrix.SetIdentity();
    matrix.m[3] = tx;
    matrix.m[7] = ty;
}

const Matrix4& Transform::GetMatrix() {
    Flatten();
    return matrix;
}

void Transform::ForceMatrix() {
    keepComplex = true;
    MakeComplex();
}

void Transform::Scale(float sx, float sy) {
    MakeComplex();
    matrix.Scale(sx, sy, 1.0f);
}

void Transform::Translate(float x, float y, float z) {
    MakeComplex();
    matrix.Translate(x, y, z);
}

void Transform::Rotate(float degrees, float ax, float ay, float az) {
    MakeComplex();
    matrix.RotateDegrees(degrees, ax, ay, az);
}
