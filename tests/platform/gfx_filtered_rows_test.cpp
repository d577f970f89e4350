// Rows kept for a sub-texel offset: every entry the per-sample filter's, and
// each row's extent the tightest one holding every entry that is not clear,
// for sprite rows clear at either edge by any amount (a draw skips rows by
// it), rows clear all along, textures as narrow as one texel, clamped and
// wrapped; rows made down the texture, sharing texel rows blended across,
// and up it; and a draw's rows grouped into runs for the blend.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "platform/gfx/filtered_rows.h"
#include "platform/gfx/sampler.h"

namespace filtered_rows_test {

TEST(FilteredRowsTest, KeptRowsHoldTheFiltersSamplesWithinTheirExtent) {
    std::mt19937 rng(2719);
    int rowsChecked = 0;
    for (const bool wrap : {false, true})
        for (const int w : {1, 3, 4, 5, 7, 8, 13, 15, 16, 28, 40})
            for (const uint32_t fx : {0u, 96u, 255u})
                for (int pattern = 0; pattern < 12; ++pattern) {
                    // Row r of the texture: clear for its first and last few texels.
                    constexpr int kH = 6;
                    std::vector<uint32_t> texels(static_cast<size_t>(w) * kH, 0);
                    for (int r = 0; r < kH; ++r) {
                        const int left = static_cast<int>(rng() % static_cast<uint32_t>(w + 1));
                        const int right = static_cast<int>(rng() % static_cast<uint32_t>(w + 1));
                        for (int c = left; c < w - right; ++c)
                            texels[static_cast<size_t>(r * w + c)] = rng() | 0xFF000000u;
                    }
                    plat::SamplerSetup s;
                    s.view = {texels.data(), w, kH, w};
                    s.bilinear = true;
                    s.wrapU = s.wrapV = wrap;
                    // The row offset: pattern by pattern, with and without a weight.
                    const double vFraction = pattern % 3 == 0 ? 0.5 : 0.5 + pattern / 13.0;
                    plat::FilteredRows kept;
                    // The first draw at an offset only marks it; the second keeps its rows.
                    for (int draw = 0; draw < 2; ++draw) {
                        kept.BeginDraw(s, 1, fx);
                        // Down the rows, as draws make them, or up them.
                        for (int i = -1; i < kH; ++i) {
                            const int r = pattern % 2 == 0 ? i : kH - 2 - i;
                            const auto v = static_cast<int32_t>(std::lround((r + vFraction) * 65536.0));
                            const plat::KeptRow row = kept.Row(s, v);
                            if (draw == 0) {
                                ASSERT_EQ(row.texels, nullptr);
                                break;
                            }
                            ASSERT_NE(row.texels, nullptr) << "w " << w << " row " << r;
                            // Entry c blends columns c and c + 1 by fx: the sample half a
                            // texel on from column c, fx / 256 further.
                            const int n = w + 1;
                            std::vector<int32_t> u(static_cast<size_t>(n)), vs(static_cast<size_t>(n), v);
                            for (int c = -1; c < w; ++c)
                                u[static_cast<size_t>(c + 1)] =
                                    c * 65536 + 0x8000 + static_cast<int32_t>(fx * 256) - 0x80;
                            std::vector<uint32_t> want(static_cast<size_t>(n));
                            plat::SampleSpan(s, u.data(), vs.data(), n, want.data());
                            int first = w, last = -2;
                            for (int c = -1; c < w; ++c) {
                                const uint32_t expected = want[static_cast<size_t>(c + 1)];
                                ASSERT_EQ(row.texels[c], expected)
                                    << "w " << w << " fx " << fx << " row " << r << " entry " << c;
                                if (expected != 0) {
                                    first = std::min(first, c);
                                    last = c;
                                }
                            }
                            if (last < -1) {
                                EXPECT_GE(row.first, row.end) << "w " << w << " row " << r << " is clear all along";
                            } else {
                                EXPECT_EQ(row.first, first) << "w " << w << " fx " << fx << " row " << r;
                                EXPECT_EQ(row.end, last + 1) << "w " << w << " fx " << fx << " row " << r;
                            }
                            ++rowsChecked;
                        }
                    }
                }
    EXPECT_EQ(rowsChecked, 2 * 11 * 3 * 12 * 7);
}

// A row of samples is known clear only where both texel rows it blends are
// clear all along: rows at, between and beside clear texel rows, clamped and
// wrapped at the top and bottom; a texture whose pixels change is looked at
// again.
TEST(FilteredRowsTest, ClearRowsAreThoseBetweenTexelRowsClearAllAlong) {
    constexpr int kW = 9, kH = 7;
    // Rows 0, 2, 3 and 6 clear; row 5 clear but for its last texel.
    std::vector<uint32_t> texels(static_cast<size_t>(kW) * kH, 0);
    for (const int row : {1, 4})
        for (int c = 0; c < kW; ++c) texels[static_cast<size_t>(row * kW + c)] = 0xFF102030u;
    texels[static_cast<size_t>(5 * kW + kW - 1)] = 0x01000000u;
    const auto clear = [&](int row) {
        for (int c = 0; c < kW; ++c)
            if (texels[static_cast<size_t>(row * kW + c)] != 0) return false;
        return true;
    };
    for (const bool wrap : {false, true}) {
        plat::SamplerSetup s;
        s.view = {texels.data(), kW, kH, kW};
        s.bilinear = true;
        s.wrapV = wrap;
        plat::FilteredRows rows;
        rows.BeginDraw(s, 1, 64);
        for (int quarter = -8; quarter < 4 * (kH + 2); ++quarter) {
            // Row coordinates a quarter texel apart, from above the texture to below it.
            const int32_t v = quarter * 16384;
            const int64_t at = (int64_t{v} - 0x8000 + 0x80) >> 16;
            const auto address = [&](int64_t r) {
                return static_cast<int>(wrap ? ((r % kH) + kH) % kH : std::clamp<int64_t>(r, 0, kH - 1));
            };
            EXPECT_EQ(rows.ClearAt(v), clear(address(at)) && clear(address(at + 1)))
                << (wrap ? "wrapped" : "clamped") << ", row coordinate " << quarter / 4.0;
        }
    }
    // The same texture with a clear row filled: the next draw sees it.
    plat::SamplerSetup s;
    s.view = {texels.data(), kW, kH, kW};
    s.bilinear = true;
    plat::FilteredRows rows;
    rows.BeginDraw(s, 1, 0);
    EXPECT_TRUE(rows.ClearAt(2 * 65536 + 0x8000));
    texels[static_cast<size_t>(3 * kW)] = 0xFF000000u;
    rows.BeginDraw(s, 2, 0);
    EXPECT_FALSE(rows.ClearAt(2 * 65536 + 0x8000));
}

// Sprites of one texture drawn at eight offsets in turn, as visitors walking
// alike share a cel: from its second draw on each offset's rows are kept,
// none thrown out by the other offsets' draws between, and the first draw at
// a ninth offset still finds it not kept. A texture past the size where a
// kept offset's copy grows large keeps three offsets: eight in turn throw
// each other out, three in turn are kept.
TEST(FilteredRowsTest, OffsetsDrawnInTurnAreKeptUpToTheTexturesShare) {
    struct Case {
        int w, h, offsets;
        bool kept;
    };
    for (const Case c : {Case{6, 4, 8, true}, Case{256, 256, 8, true}, Case{257, 256, 8, false},
                         Case{400, 300, 3, true}, Case{400, 300, 4, false}}) {
        std::vector<uint32_t> texels(static_cast<size_t>(c.w) * c.h, 0xFF336699u);
        plat::SamplerSetup s;
        s.view = {texels.data(), c.w, c.h, c.w};
        s.bilinear = true;
        plat::FilteredRows rows;
        const auto drawAt = [&](int offset) {
            rows.BeginDraw(s, 1, static_cast<uint32_t>(16 * offset));
            return rows.Row(s, 2 * 65536 + 0x8000 + 512 * offset).texels != nullptr;
        };
        for (int round = 0; round < 3; ++round)
            for (int offset = 0; offset < c.offsets; ++offset)
                EXPECT_EQ(drawAt(offset), round > 0 && c.kept)
                    << c.w << " x " << c.h << ", round " << round << ", offset " << offset;
        EXPECT_FALSE(drawAt(c.offsets)) << c.w << " x " << c.h;
    }
}

// Rows of a draw grouped into runs, against their definition: rows clear
// in the entries read (when left out) are in no run and every other row
// passed is in one; runs are as long as they can be, cut only by such rows
// or at the `most`-th run, and none reaches a row not made; each run's
// extent spans its rows' own. Rows of every kind come in stretches of
// one to nine, so the four-row steps meet both kinds, and not made, within
// and across their blocks.
TEST(FilteredRowsTest, RowsGroupIntoRunsForTheBlend) {
    using Made = plat::FilteredRows::Made;
    using Run = plat::FilteredRows::Run;
    std::mt19937 rng(4242);
    for (int trial = 0; trial < 3000; ++trial) {
        const int count = static_cast<int>(rng() % 40);
        const int lowest = static_cast<int>(rng() % 6) - 1, past = lowest + 1 + static_cast<int>(rng() % 20);
        std::vector<Made> made;
        while (static_cast<int>(made.size()) < count) {
            const int kind = static_cast<int>(rng() % 12), stretch = 1 + static_cast<int>(rng() % 9);
            for (int k = 0; k < stretch && static_cast<int>(made.size()) < count; ++k) {
                const int a = static_cast<int>(rng() % 28) - 1, b = a + static_cast<int>(rng() % 12);
                // Left of the entries read, right of them, clear all along, not made, or over them.
                if (kind == 0) made.push_back({lowest - 8, lowest - static_cast<int32_t>(rng() % 3)});
                if (kind == 1) made.push_back({past + static_cast<int32_t>(rng() % 3), past + 9});
                if (kind == 2) made.push_back({past + 4, past + 4});
                if (kind == 3 && rng() % 4 == 0) made.push_back({});
                if (kind >= 3 && made.size() < static_cast<size_t>(count)) made.push_back({a, std::max(b, a + 1)});
            }
        }
        made.resize(static_cast<size_t>(count));
        const bool skipClear = rng() % 4 != 0;
        const int most = 1 + static_cast<int>(rng() % 5);
        auto clear = [&](const Made& m) { return skipClear && (m.first >= past || m.end <= lowest); };
        for (const auto group : {plat::FilteredRows::GroupRuns, plat::FilteredRows::GroupRunsPlain}) {
            std::vector<Run> runs(static_cast<size_t>(most));
            int found = -1;
            const int passed = group(made.data(), count, lowest, past, skipClear, runs.data(), most, found);
            ASSERT_GE(found, 0);
            ASSERT_LE(found, most);
            runs.resize(static_cast<size_t>(found));
            // Up to the first row not made, less the rows of the run open there.
            int ready = 0;
            while (ready < count && made[static_cast<size_t>(ready)].Ready()) ++ready;
            int whole = ready;
            if (ready < count)
                while (whole > 0 && !clear(made[static_cast<size_t>(whole - 1)])) --whole;
            ASSERT_TRUE(found == most || passed == whole) << "trial " << trial;
            ASSERT_LE(passed, whole) << "trial " << trial;
            // Row by row: in the run that holds it, or clear.
            size_t k = 0;
            for (int r = 0; r < passed; ++r) {
                while (k < runs.size() && runs[k].end <= r) ++k;
                const bool inRun = k < runs.size() && runs[k].start <= r;
                ASSERT_NE(inRun, clear(made[static_cast<size_t>(r)])) << "trial " << trial << " row " << r;
            }
            for (size_t j = 0; j < runs.size(); ++j) {
                const Run& run = runs[j];
                ASSERT_LT(run.start, run.end);
                ASSERT_LE(run.end, passed);
                // Cut at its end by a row left out, or by the end of the rows passed.
                ASSERT_TRUE(run.end == passed || clear(made[static_cast<size_t>(run.end)])) << "trial " << trial;
                ASSERT_TRUE(j + 1 < runs.size() || found < most || run.end == passed) << "trial " << trial;
                ASSERT_TRUE(run.start == 0 || clear(made[static_cast<size_t>(run.start - 1)])) << "trial " << trial;
                int first = INT32_MAX, last = INT32_MIN;
                for (int r = run.start; r < run.end; ++r) {
                    first = std::min(first, static_cast<int>(made[static_cast<size_t>(r)].first));
                    last = std::max(last, static_cast<int>(made[static_cast<size_t>(r)].end));
                }
                ASSERT_EQ(run.first, first) << "trial " << trial << " run " << j;
                ASSERT_EQ(run.last, last) << "trial " << trial << " run " << j;
            }
        }
    }
}

}  // namespace filtered_rows_test
