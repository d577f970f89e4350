#include "foundation/values/matrix4.h"

#include <cmath>
#include <cstring>

namespace {

// Sine and cosine of right angles come out as 6e-17 and the like; snapping
// them keeps rotated sprites on exact pixel grids.
float Snap(float v) {
    float whole = std::trunc(v);
    float fraction = v - whole;
    return std::fabs(fraction) < 1e-5f ? whole : v;
}

void PreMultiply(Matrix4& target, const Matrix4& step) { Matrix4::Multiply(target, step, target); }

}  // namespace

void Matrix4::SetIdentity() {
    m.fill(0.0f);
    m[0] = m[5] = m[10] = m[15] = 1.0f;
}

void Matrix4::Transpose(Matrix4& out) const {
    Matrix4 t;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) t.m[static_cast<size_t>(c * 4 + r)] = m[static_cast<size_t>(r * 4 + c)];
    out = t;
}

void Matrix4::Multiply(Matrix4& out, const Matrix4& a, const Matrix4& b) {
    Matrix4 r;
    for (size_t i = 0; i < 4; ++i)
        for (size_t j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (size_t k = 0; k < 4; ++k) sum += a.m[i * 4 + k] * b.m[k * 4 + j];
            r.m[i * 4 + j] = sum;
        }
    out = r;
}

void Matrix4::Inverse(Matrix4& out) const {
    const auto& a = m;
    std::array<float, 16> inv{};
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] +
             a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] - a[8] * a[7] * a[14] -
             a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] +
             a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] - a[8] * a[6] * a[13] -
              a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] - a[9] * a[3] * a[14] -
             a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] +
             a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] -
             a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] +
              a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
             a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] -
             a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] +
              a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] -
              a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] -
             a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
             a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
              a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] + a[8] * a[1] * a[6] -
              a[8] * a[2] * a[5];
    float det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (det == 0.0f) return;
    float scale = 1.0f / det;
    for (auto& v : inv) v *= scale;
    out.m = inv;
}

void Matrix4::TransformVector3(float out[3], const float v[3]) const {
    float r[3];
    for (size_t i = 0; i < 3; ++i) r[i] = m[i * 4] * v[0] + m[i * 4 + 1] * v[1] + m[i * 4 + 2] * v[2] + m[i * 4 + 3];
    for (int i = 0; i < 3; ++i) out[i] = r[i];
}

void Matrix4::TransformVector4(float out[4], const float v[4]) const {
    float r[4];
    for (size_t i = 0; i < 4; ++i)
        r[i] = m[i * 4] * v[0] + m[i * 4 + 1] * v[1] + m[i * 4 + 2] * v[2] + m[i * 4 + 3] * v[3];
    for (int i = 0; i < 4; ++i) out[i] = r[i];
}

bool Matrix4::Equals(const Matrix4& o) const { return std::memcmp(m.data(), o.m.data(), sizeof(m)) == 0; }

void Matrix4::Translate(float x, float y, float z) {
    Matrix4 e;
    e.m[3] = x;
    e.m[7] = y;
    e.m[11] = z;
    PreMultiply(*this, e);
}

void Matrix4::Scale(float x, float y, float z) {
    Matrix4 e;
    e.m[0] = x;
    e.m[5] = y;
    e.m[10] = z;
    PreMultiply(*this, e);
}

void Matrix4::Rotate(float radians, float ax, float ay, float az) {
    float s = Snap(std::sin(radians));
    float c = Snap(std::cos(radians));
    float t = 1.0f - c;
    float lengthSquared = ax * ax + ay * ay + az * az;
    if (lengthSquared != 1.0f) {
        float length = std::sqrt(lengthSquared);
        if (length > 0.0f) {
            ax /= length;
            ay /= length;
            az /= length;
        }
    }
    const float x = ax, y = ay, z = az;
    Matrix4 e;
    e.m[0] = t * x * x + c;
    e.m[1] = t * x * y + s * z;
    e.m[2] = Snap(t * x * z - s * y);
    e.m[4] = t * x * y - s * z;
    e.m[5] = t * y * y + c;
    e.m[6] = Snap(t * y * z + s * x);
    e.m[8] = Snap(t * x * z + s * y);
    e.m[9] = Snap(t * y * z - s * x);
    e.m[10] = Snap(t * z * z + c);
    PreMultiply(*this, e);
}

void Matrix4::RotateDegrees(float degrees, float ax, float ay, float az) {
    Rotate(static_cast<float>(static_cast<double>(degrees) * 3.1415927 / 180.0), ax, ay, az);
}
