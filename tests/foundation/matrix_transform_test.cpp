#include <gtest/gtest.h>

#include <cmath>

#include "foundation/values/matrix4.h"
#include "foundation/values/transform.h"

namespace {

void Apply(const Matrix4& m, float x, float y, float& ox, float& oy) {
    float in[3] = {x, y, 0}, out[3];
    m.TransformVector3(out, in);
    ox = out[0];
    oy = out[1];
}

TEST(Matrix4Test, StepsApplyAfterEarlierOnes) {
    Matrix4 m;
    m.Scale(2, 3, 1);
    m.Translate(10, 20, 0);  // translation happens after the scale
    float x, y;
    Apply(m, 1, 1, x, y);
    EXPECT_FLOAT_EQ(x, 12);
    EXPECT_FLOAT_EQ(y, 23);
    EXPECT_FLOAT_EQ(m[3], 10);
    EXPECT_FLOAT_EQ(m[7], 20);
}

TEST(Matrix4Test, RightAngleRotationIsExact) {
    Matrix4 m;
    m.RotateDegrees(90, 0, 0, 1);
    // Only exact zeros and ones: sine and cosine are snapped before use.
    for (int i : {0, 1, 4, 5}) {
        EXPECT_TRUE(m[i] == 0.0f || std::fabs(m[i]) == 1.0f) << i << " " << m[i];
    }
    float x, y;
    Apply(m, 1, 0, x, y);
    // Row 1 holds t*x*y - s*z, so (1, 0) maps to (0, -1).
    EXPECT_FLOAT_EQ(x, 0);
    EXPECT_FLOAT_EQ(y, -1);
}

TEST(Matrix4Test, AxisIsNormalised) {
    Matrix4 a, b;
    a.Rotate(0.3f, 0, 0, 2);
    b.Rotate(0.3f, 0, 0, 1);
    EXPECT_TRUE(a.Equals(b));
}

TEST(Matrix4Test, InverseUndoesAndSingularLeavesOutput) {
    Matrix4 m;
    m.Scale(2, 4, 1);
    m.RotateDegrees(30, 0, 0, 1);
    m.Translate(5, -7, 0);
    Matrix4 inv;
    m.Inverse(inv);
    Matrix4 product;
    Matrix4::Multiply(product, m, inv);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(product[i], (i % 5 == 0) ? 1.0f : 0.0f, 1e-5f) << i;

    Matrix4 singular;
    singular.Scale(0, 1, 1);
    Matrix4 untouched;
    untouched.Translate(1, 2, 3);
    Matrix4 before = untouched;
    singular.Inverse(untouched);
    EXPECT_TRUE(untouched.Equals(before));
}

TEST(Matrix4Test, TransposeSwapsRowsAndColumns) {
    Matrix4 m;
    m.Translate(1, 2, 3);
    Matrix4 t;
    m.Transpose(t);
    EXPECT_FLOAT_EQ(t[12], 1);
    EXPECT_FLOAT_EQ(t[13], 2);
    EXPECT_FLOAT_EQ(t[14], 3);
    EXPECT_FLOAT_EQ(t[3], 0);
}

TEST(TransformTest, StaysTranslationUntilScaled) {
    Transform t;
    EXPECT_TRUE(t.isTranslation);
    EXPECT_FALSE(t.isComplex);
    t.tx = 4;
    t.ty = 6;
    t.Scale(2, 2);
    EXPECT_TRUE(t.isComplex);
    EXPECT_FALSE(t.isTranslation);
    float x, y;
    Apply(t.GetMatrix(), 1, 1, x, y);
    // The pending translation came first, the scale after it.
    EXPECT_FLOAT_EQ(x, 10);
    EXPECT_FLOAT_EQ(y, 14);
}

TEST(TransformTest, KeepComplexSurvivesReset) {
    Transform t;
    t.ForceMatrix();
    t.Reset();
    EXPECT_TRUE(t.isComplex);
    EXPECT_FALSE(t.isTranslation);
    Transform plain;
    plain.Scale(3, 3);
    plain.Reset();
    EXPECT_TRUE(plain.isTranslation);
}

}  // namespace
