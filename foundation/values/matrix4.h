#pragma once
// A 4x4 float matrix, row-major: element (row, col) sits at index row*4 + col.
// Points are column vectors, so the translation is m[3], m[7], m[11]. The
// building steps (Translate, Scale, Rotate) pre-multiply: each new step
// applies after the transforms already in the matrix.

#include <array>
#include <cstddef>

struct Matrix4 {
    std::array<float, 16> m{};

    Matrix4() { SetIdentity(); }

    void SetIdentity();
    void Copy(const Matrix4& from) { m = from.m; }
    void Transpose(Matrix4& out) const;
    // Leaves `out` untouched when the determinant is exactly zero.
    void Inverse(Matrix4& out) const;
    // out = a * b; `out` may alias either operand.
    static void Multiply(Matrix4& out, const Matrix4& a, const Matrix4& b);
    // (x, y, z) with an implied w of 1; the first three rows of the product.
    void TransformVector3(float out[3], const float v[3]) const;
    void TransformVector4(float out[4], const float v[4]) const;

    // Byte-wise over the 16 floats, so -0 and 0 differ and NaN equals itself.
    bool Equals(const Matrix4& o) const;
    bool NotEquals(const Matrix4& o) const { return !Equals(o); }

    void Translate(float x, float y, float z);
    void Scale(float x, float y, float z);
    void Rotate(float radians, float ax, float ay, float az);
    void RotateDegrees(float degrees, float ax, float ay, float az);

    float& operator[](int i) { return m[static_cast<std::size_t>(i)]; }
    float operator[](int i) const { return m[static_cast<std::size_t>(i)]; }
};
