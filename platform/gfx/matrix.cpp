#include "platform/gfx/matrix.h"

#include <cstring>

namespace plat {

bool Matrix::operator==(const Matrix& o) const { return std::memcmp(m, o.m, sizeof m) == 0; }

Matrix* MatrixTranspose(Matrix* out, const Matrix* in) {
    Matrix t;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) t.m[r][c] = in->m[c][r];
    *out = t;
    return out;
}

Matrix* MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b) {
    Matrix t;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float s = 0.0f;
            for (int k = 0; k < 4; ++k) s += a->m[r][k] * b->m[k][c];
            t.m[r][c] = s;
        }
    *out = t;
    return out;
}

Matrix* MatrixTranslation(Matrix* out, float x, float y, float z) {
    *out = Matrix{};
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
    return out;
}

Matrix* MatrixPerspectiveOffCenterLH(Matrix* out, float l, float r, float b, float t, float zn, float zf) {
    Matrix p;
    p.m[0][0] = 2.0f * zn / (r - l);
    p.m[1][1] = 2.0f * zn / (t - b);
    p.m[2][0] = (l + r) / (l - r);
    p.m[2][1] = (t + b) / (b - t);
    p.m[2][2] = zf / (zf - zn);
    p.m[2][3] = 1.0f;
    p.m[3][2] = zn * zf / (zn - zf);
    p.m[3][3] = 0.0f;
    *out = p;
    return out;
}

}  // namespace plat
