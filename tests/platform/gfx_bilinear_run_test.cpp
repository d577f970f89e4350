// The whole-row bilinear filter against the filter's definition, sample by
// sample: every row length from one sample to several blocks (so each
// vector loop meets every remainder it can leave), both weights zero or not,
// and the row's two ends addressed apart from its middle.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gfx_test_util.h"
#include "platform/gfx/sampler.h"

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

}  // namespace
