#pragma once
// The platform's own 4x4 matrix and the four matrix helpers the engine uses
// with the device's transforms. The convention is the device's: points are row
// vectors multiplied on the left (p' = p * M), so a translation sits in the
// last row (m[3][0..2]) and a product A * B applies A first.

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace plat {

struct Matrix {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    static Matrix Identity() { return Matrix{}; }
    bool operator==(const Matrix& o) const;
};

// out = transpose(in); `out` may be `in`.
Matrix* MatrixTranspose(Matrix* out, const Matrix* in);
// out = a * b; `out` may alias either operand.
Matrix* MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b);
Matrix* MatrixTranslation(Matrix* out, float x, float y, float z);
// Left-handed perspective for an off-centre view volume: x from l to r and y
// from b to t at the near plane map to -1..1, depth zn..zf maps to 0..1.
Matrix* MatrixPerspectiveOffCenterLH(Matrix* out, float l, float r, float b, float t, float zn, float zf);

// p * M for a row vector p = (x, y, z, w).
// Inline: every vertex of every draw goes through it.
// Each column is summed in the same order either way, so both give the
// same bits.
inline void TransformPoint(const Matrix& m, const float in[4], float out[4]) {
#if defined(__SSE2__)
    __m128 o = _mm_mul_ps(_mm_set1_ps(in[0]), _mm_loadu_ps(m.m[0]));
    o = _mm_add_ps(o, _mm_mul_ps(_mm_set1_ps(in[1]), _mm_loadu_ps(m.m[1])));
    o = _mm_add_ps(o, _mm_mul_ps(_mm_set1_ps(in[2]), _mm_loadu_ps(m.m[2])));
    o = _mm_add_ps(o, _mm_mul_ps(_mm_set1_ps(in[3]), _mm_loadu_ps(m.m[3])));
    _mm_storeu_ps(out, o);
#else
    float o[4];
    for (int c = 0; c < 4; ++c) o[c] = in[0] * m.m[0][c] + in[1] * m.m[1][c] + in[2] * m.m[2][c] + in[3] * m.m[3][c];
    for (int c = 0; c < 4; ++c) out[c] = o[c];
#endif
}

}  // namespace plat
