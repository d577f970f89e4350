// The whole-row bilinear filter against the filter's definition, sample by
// sample: every row length from one sample to several blocks (so each
// vector loop meets every remainder it can leave), both weights zero or not,
// and the row's two ends addressed apart from its middle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "gfx_test_util.h"
#include "platform/gfx/sampler.h"
#include "platform/gfx/scaled_rows.h"

namespace {

using testsupport::Mix;

// Sample i of a run from texel column `first`: columns first + i and
// first + i + 1 of both rows, the run's two outer columns taken from where
// the addressing put them.
uint32_t ExpectedRun(const std::vector<uint32_t>& upper, const std::vector<uint32_t>& lower, int first, int firstLeft,
                     int lastRight, uint32_t fx, uint32_t fy, int n, int i) {
    const int left = i == 0 ? firstLeft : first + i;
    const int right = i == n - 1 ? lastRight : first + i + 1;
    const uint32_t top = Mix(upper[static_cast<size_t>(left)], upper[static_cast<size_t>(right)], fx);
    const uint32_t bottom = Mix(lower[static_cast<size_t>(left)], lower[static_cast<size_t>(right)], fx);
    return Mix(top, bottom, fy);
}

TEST(BilinearRunTest, EveryLengthAndWeightMatchesTheSampleBySampleFilter) {
    std::mt19937 rng(4357);
    constexpr int kWidth = 80;
    std::vector<uint32_t> upper(kWidth + 2), lower(kWidth + 2);
    const uint32_t weights[] = {0, 1, 77, 128, 255};
    int checked = 0;
    for (int n = 1; n <= kWidth - 2; ++n)
        for (const uint32_t fx : weights)
            for (const uint32_t fy : weights) {
                for (auto& t : upper) t = rng();
                for (auto& t : lower) t = rng();
                const int first = 1 + static_cast<int>(rng() % static_cast<uint32_t>(kWidth - n));
                // The ends as clamping or wrapping may send them.
                const int firstLeft = static_cast<int>(rng() % kWidth), lastRight = static_cast<int>(rng() % kWidth);
                const plat::RowPair rows{upper.data(), lower.data(), fy};
                // Guards on both sides catch a block that runs past the row.
                std::vector<uint32_t> out(static_cast<size_t>(n) + 16, 0xDEADBEEFu);
                plat::BilinearRunSpan(rows, first, firstLeft, lastRight, fx, n, out.data() + 8);
                for (int i = 0; i < n; ++i)
                    ASSERT_EQ(out[static_cast<size_t>(i) + 8],
                              ExpectedRun(upper, lower, first, firstLeft, lastRight, fx, fy, n, i))
                        << "n " << n << " fx " << fx << " fy " << fy << " sample " << i;
                for (int g = 0; g < 8; ++g) {
                    ASSERT_EQ(out[static_cast<size_t>(g)], 0xDEADBEEFu) << "before the row, n " << n;
                    ASSERT_EQ(out[static_cast<size_t>(n + 8 + g)], 0xDEADBEEFu) << "past the row, n " << n;
                }
                ++checked;
            }
    EXPECT_EQ(checked, (kWidth - 2) * 25);
}

// A scaled image's rows, each texel row blended across once, against the
// per-sample filter: shrunk and enlarged, mirrored, reaching past every edge
// under clamping and wrapping, rows walked down, up and jumping, every row
// length up to the most the planner takes.
TEST(ScaledRowsTest, RowsOfAScaledImageMatchTheSampleBySampleFilter) {
    std::mt19937 rng(9176);
    constexpr int kW = 23, kH = 17;
    std::vector<uint32_t> texels(static_cast<size_t>(kW + 3) * kH);
    for (auto& t : texels) t = rng();
    struct Case {
        double uStart, uStep;  // texels
        double vStart, vStep;
        bool wrapU, wrapV;
    };
    const Case cases[] = {
        {0.3, 0.93, 0.2, 0.93, false, false},
        {-2.7, 1.13, -1.5, 1.07, false, false},
        {20.4, -0.71, 15.9, -0.88, false, false},
        {-5.2, 0.51, -3.3, 0.37, true, true},
        {3.5, 2.0, 30.25, 2.5, true, false},
        {11.0, 0.0, 8.0, 0.0, false, true},
        // Unscaled at an offset, as images moving on their own are drawn.
        {2.375, 1.0, 1.625, 1.0, false, false},
        {17.6, -1.0, 3.4, 1.0, false, false},
        {-1.25, 1.0, -0.5, 1.0, false, false},
        {20.5, 1.0, 14.75, 1.0, true, true},
        {-0.25, 1.0, 2.5, 1.0, false, false},
        {22.6, -1.0, 0.2, 1.0, false, false},
    };
    for (const Case& c : cases)
        for (int n : {1, 2, 7, 8, 9, 23, 64, plat::ScaledRows::kMostColumns}) {
            plat::SamplerSetup s;
            s.view = {texels.data(), kW, kH, kW + 3};
            s.bilinear = true;
            s.wrapU = c.wrapU;
            s.wrapV = c.wrapV;
            std::vector<int32_t> u(static_cast<size_t>(n)), v(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                u[static_cast<size_t>(i)] = static_cast<int32_t>((c.uStart + i * c.uStep) * 65536.0);
            plat::ScaledRows rows;
            ASSERT_TRUE(rows.Begin(s, u.data(), n));
            for (int r = 0; r < 24; ++r) {
                // Mostly in order, now and then a jump back to an earlier row.
                const double at = c.vStart + (r % 7 == 6 ? r / 3 : r) * c.vStep;
                const int32_t row = static_cast<int32_t>(at * 65536.0);
                std::fill(v.begin(), v.end(), row);
                std::vector<uint32_t> expected(static_cast<size_t>(n));
                plat::SampleSpan(s, u.data(), v.data(), n, expected.data());
                const uint32_t* got = rows.Row(row);
                for (int i = 0; i < n; ++i)
                    ASSERT_EQ(got[i], expected[static_cast<size_t>(i)])
                        << "u from " << c.uStart << " by " << c.uStep << ", row " << r << ", n " << n << ", sample "
                        << i;
            }
        }
    // What the planner does not take: point filtering, no texels, no columns, too many.
    plat::SamplerSetup point;
    point.view = {texels.data(), kW, kH, kW + 3};
    std::vector<int32_t> u(plat::ScaledRows::kMostColumns + 1, 0);
    plat::ScaledRows rows;
    EXPECT_FALSE(rows.Begin(point, u.data(), 4));
    plat::SamplerSetup empty;
    empty.bilinear = true;
    EXPECT_FALSE(rows.Begin(empty, u.data(), 4));
    point.bilinear = true;
    EXPECT_FALSE(rows.Begin(point, u.data(), 0));
    EXPECT_FALSE(rows.Begin(point, u.data(), plat::ScaledRows::kMostColumns + 1));
}

}  // namespace

// Rows of an image drawn unscaled at an offset, as a sprite moving on its own
// is, written into a row of the caller's: each new texel row is blended
// across and the samples down in one pass. Against the per-sample filter, for
// runs of every remainder a block leaves, forward and mirrored, at row offsets
// with and without a weight, the run's ends inside or moved by the addressing;
// nothing written outside the row.
TEST(ScaledRowsTest, RowsOfAnUnscaledImageAtAnOffsetMatchTheSampleBySampleFilter) {
    std::mt19937 rng(6151);
    constexpr int kW = 70, kH = 12;
    std::vector<uint32_t> texels(static_cast<size_t>(kW) * kH);
    for (auto& t : texels) t = rng();
    for (const bool wrap : {false, true})
        for (const bool mirrored : {false, true})
            for (const int n : {1, 3, 7, 8, 9, 15, 16, 17, 28, 29, 63})
                for (const double uStart : {-0.6, 0.25, 0.5, 3.875, kW - n - 0.3, kW - n + 0.7})
                    for (const double vStart : {-0.75, 0.5, 2.3125}) {
                        plat::SamplerSetup s;
                        s.view = {texels.data(), kW, kH, kW};
                        s.bilinear = true;
                        s.wrapU = s.wrapV = wrap;
                        std::vector<int32_t> u(static_cast<size_t>(n)), v(static_cast<size_t>(n));
                        for (int i = 0; i < n; ++i) {
                            const double at = mirrored ? uStart + n - 1 - i : uStart + i;
                            u[static_cast<size_t>(i)] = static_cast<int32_t>(std::lround(at * 65536.0));
                        }
                        plat::ScaledRows rows;
                        ASSERT_TRUE(rows.Begin(s, u.data(), n));
                        for (int r = 0; r < kH + 2; ++r) {
                            const auto row = static_cast<int32_t>(std::lround((vStart + r) * 65536.0));
                            std::fill(v.begin(), v.end(), row);
                            std::vector<uint32_t> expected(static_cast<size_t>(n));
                            plat::SampleSpan(s, u.data(), v.data(), n, expected.data());
                            std::vector<uint32_t> got(static_cast<size_t>(n) + 16, 0xDEADBEEFu);
                            rows.RowInto(row, got.data() + 8);
                            for (int i = 0; i < n; ++i)
                                ASSERT_EQ(got[static_cast<size_t>(i) + 8], expected[static_cast<size_t>(i)])
                                    << "n " << n << (mirrored ? " mirrored" : "") << (wrap ? " wrapped" : "")
                                    << ", u from " << uStart << ", v from " << vStart << ", row " << r << ", sample "
                                    << i;
                            for (int g = 0; g < 8; ++g) {
                                ASSERT_EQ(got[static_cast<size_t>(g)], 0xDEADBEEFu) << "before the row, n " << n;
                                ASSERT_EQ(got[static_cast<size_t>(n + 8 + g)], 0xDEADBEEFu) << "past the row, n " << n;
                            }
                        }
                    }
}
