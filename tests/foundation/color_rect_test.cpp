#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "foundation/values/color.h"
#include "foundation/values/rect.h"

namespace {

TEST(ColorTest, PackedAlphaZeroMeansOpaque) {
    Color red = Color::FromARGB(0x00FF0000);
    EXPECT_EQ(red.r, 255);
    EXPECT_EQ(red.a, 255);
    EXPECT_FALSE(red.premultiplied);
    Color half = Color::FromARGB(0x80102030);
    EXPECT_EQ(half.a, 0x80);
    EXPECT_EQ(half.g, 0x20);
    // The explicit constructor keeps a transparent alpha.
    EXPECT_EQ(Color::FromRGBA(255, 0, 0, 0).a, 0);
}

TEST(ColorTest, FromFloatsRoundsClampsAndIsPremultiplied) {
    Color c = Color::FromFloats(1.0f, 1.0f, 1.0f, 0.5f);
    EXPECT_EQ(c.r, 255);
    EXPECT_EQ(c.a, 128);  // trunc(127.5 + 0.5)
    EXPECT_TRUE(c.premultiplied);
    Color clamped = Color::FromFloats(-0.3f, 2.0f, 0.0f, 1.0f);
    EXPECT_EQ(clamped.r, 0);
    EXPECT_EQ(clamped.g, 255);
}

// A post-render colour of 0 x infinity reaches this as NaN: converting NaN to
// an int is undefined, and on x86 gave the most negative int.
TEST(ColorTest, FromFloatsTakesNanAsZeroAndInfinitiesAsTheEnds) {
    const float inf = std::numeric_limits<float>::infinity();
    Color c = Color::FromFloats(std::nanf(""), inf, -inf, std::nanf(""));
    EXPECT_EQ(c.r, 0);
    EXPECT_EQ(c.g, 255);
    EXPECT_EQ(c.b, 0);
    EXPECT_EQ(c.a, 0);
}

TEST(ColorTest, PackingPremultipliesPlainColours) {
    EXPECT_EQ(Color::FromRGBA(200, 100, 50, 0).ToPremultipliedARGB(), 0u);
    // 200*128/255 = 100, 100*128/255 = 50, 50*128/255 = 25 (truncated).
    EXPECT_EQ(Color::FromRGBA(200, 100, 50, 128).ToPremultipliedARGB(), 0x80643219u);
    // Already premultiplied components are packed unchanged.
    EXPECT_EQ(Color::FromRGBAFlag(200, 100, 50, 128, true).ToPremultipliedARGB(), 0x80C86432u);
    EXPECT_EQ(Color::FromRGB(1, 2, 3).ToPremultipliedARGB(), 0xFF010203u);
}

TEST(ColorTest, EqualityIncludesThePremultipliedFlag) {
    EXPECT_TRUE(Color::FromRGB(1, 2, 3).Equals(Color::FromRGBA(1, 2, 3, 255)));
    EXPECT_FALSE(Color::FromRGB(1, 2, 3).Equals(Color::FromRGBAFlag(1, 2, 3, 255, true)));
    EXPECT_TRUE(Color::FromRGB(1, 2, 3).Premultiplied().premultiplied);
}

TEST(ColorTest, MultiplyPremultipliesThePlainSideWhenFlagsDiffer) {
    Color plain = Color::FromRGBA(255, 255, 255, 128);
    Color pre = Color::FromRGBAFlag(255, 255, 255, 255, true);
    Color mixed = Color::Multiply(plain, pre);
    EXPECT_TRUE(mixed.premultiplied);
    EXPECT_EQ(mixed.r, 255 * 128 / 255);  // the plain colour was premultiplied first
    Color both = Color::Multiply(plain, Color::FromRGBA(255, 255, 255, 128));
    EXPECT_FALSE(both.premultiplied);
    EXPECT_EQ(both.r, 255);
    EXPECT_EQ(both.a, 128 * 128 / 255);
}

TEST(ColorTest, OutOfRangeScriptComponentsDoNotOverflowTheProducts) {
    // color() hands script integers through unchanged; the products must not overflow.
    const int64_t big = 100000;
    const int64_t product = big * big / 255;
    Color c = Color::FromRGBA(100000, 0, 0, 100000);
    uint32_t expected = (static_cast<uint32_t>(big) << 24) | ((static_cast<uint32_t>(product) & 0xFFu) << 16);
    EXPECT_EQ(c.ToPremultipliedARGB(), expected);
    EXPECT_EQ(c.Premultiplied().r, static_cast<int32_t>(product));
    Color square = Color::Multiply(Color::FromRGB(100000, 1, 1), Color::FromRGB(100000, 1, 1));
    EXPECT_EQ(square.r, static_cast<int32_t>(product));
}

TEST(RectTest, IntersectionOfTouchingRectanglesKeepsTheEdge) {
    Rect a(0, 0, 10, 10);
    EXPECT_EQ(a.Intersection(Rect(10, 0, 5, 5)), Rect(10, 0, 0, 5));
    EXPECT_EQ(a.Intersection(Rect(11, 0, 5, 5)), Rect(0, 0, 0, 0));
    EXPECT_EQ(a.Intersection(Rect(5, -5, 20, 8)), Rect(5, 0, 5, 3));
    EXPECT_EQ(FRect(0, 0, 1, 1).Intersection(FRect(0.5f, 0.5f, 1, 1)), FRect(0.5f, 0.5f, 0.5f, 0.5f));
}

TEST(RectTest, ContainsExcludesRightAndBottomEdges) {
    FRect r(0, 0, 10, 10);
    EXPECT_TRUE(r.Contains(0, 0));
    EXPECT_TRUE(r.Contains(9.99f, 9.99f));
    EXPECT_FALSE(r.Contains(10, 5));
    EXPECT_FALSE(r.Contains(5, 10));
}

TEST(RectTest, CornerIntersection) {
    CornerRect r = IntersectCornerRects({0, 0, 10, 10}, {5, 5, 20, 20});
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.right, 10);
    CornerRect none = IntersectCornerRects({0, 0, 10, 10}, {11, 0, 20, 20});
    EXPECT_EQ(none.left, 0);
    EXPECT_EQ(none.right, 0);
}

// Script sizes reach INT_MAX; the right edge x + w did not fit an int.
TEST(RectTest, IntersectionNearIntMaxDoesNotOverflow) {
    const Rect huge(10, 20, INT_MAX, INT_MAX);
    EXPECT_EQ(huge.Intersection(Rect(0, 0, 200, 100)), Rect(10, 20, 190, 80));
    EXPECT_EQ(Rect(0, 0, 200, 100).Intersection(huge), Rect(10, 20, 190, 80));
    EXPECT_EQ(huge.Intersection(Rect(5, 5, INT_MAX, INT_MAX)), Rect(10, 20, INT_MAX - 5, INT_MAX - 15));
    // Far left and far right: the width of the span does not fit an int either.
    EXPECT_EQ(Rect(INT_MIN, 0, INT_MAX, 10).Intersection(Rect(INT_MAX - 1, 0, 1, 10)), Rect(0, 0, 0, 0));
    EXPECT_EQ(Rect(INT_MIN, 0, INT_MAX, 10).Intersection(Rect(-2, 0, 5, 10)), Rect(-2, 0, 1, 10));
}

// The far corners of the int range: the span from the most negative left to
// the most positive right does not fit an int, and subtracting them wrapped.
TEST(RectTest, CornerIntersectionAtTheEndsOfTheIntRange) {
    const CornerRect everything{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    CornerRect all = IntersectCornerRects(everything, everything);
    EXPECT_EQ(all.left, INT_MIN);
    EXPECT_EQ(all.top, INT_MIN);
    EXPECT_EQ(all.right, INT_MAX);
    EXPECT_EQ(all.bottom, INT_MAX);
    // Disjoint at the far ends: the right edge lies a whole int range left of the left one.
    CornerRect none = IntersectCornerRects({INT_MAX, 0, INT_MAX, 10}, {INT_MIN, 0, INT_MIN, 10});
    EXPECT_EQ(none.left, 0);
    EXPECT_EQ(none.top, 0);
    EXPECT_EQ(none.right, 0);
    EXPECT_EQ(none.bottom, 0);
}

}  // namespace
