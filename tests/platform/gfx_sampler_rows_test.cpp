// The per-sample bilinear filter over whole spans, against its definition
// written out sample by sample: rows of a scaled image (one row coordinate,
// columns stepping by any amount, in either direction, running off either
// side of the texture), spans whose row coordinate changes (as a rotated
// triangle's do), under every addressing mode, with textures as narrow as
// one texel. The spans take eight samples at a time where they can and one
// at a time elsewhere; both must give the definition's bits.
#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "gfx_test_util.h"
#include "platform/gfx/sampler.h"

namespace {

using testsupport::Mix;

// Where the addressing mode sends texel index i of a row or column of `size`.
int Address(int i, int size, bool wrap) {
    if (wrap) return ((i % size) + size) % size;
    return i < 0 ? 0 : i >= size ? size - 1 : i;
}

// The sample at 16.16 texel coordinates (u, v): texel centres at i + 0.5,
// weights rounded to 1/256, the two texels of each row mixed, then the rows.
uint32_t ExpectedSample(const std::vector<uint32_t>& texels, int w, int h, bool wrapU, bool wrapV, int32_t u,
                        int32_t v) {
    const int64_t uu = (int64_t{u} - 0x8000 + 0x80) >> 8, vv = (int64_t{v} - 0x8000 + 0x80) >> 8;
    const auto column = static_cast<int>(uu >> 8), row = static_cast<int>(vv >> 8);
    const auto fx = static_cast<uint32_t>(uu & 0xFF), fy = static_cast<uint32_t>(vv & 0xFF);
    auto at = [&](int x, int y) {
        return texels[static_cast<size_t>(Address(y, h, wrapV)) * static_cast<size_t>(w) +
                      static_cast<size_t>(Address(x, w, wrapU))];
    };
    return Mix(Mix(at(column, row), at(column + 1, row), fx), Mix(at(column, row + 1), at(column + 1, row + 1), fx),
               fy);
}

class SamplerRowsTest : public ::testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(SamplerRowsTest, ScaledRowsAndTurningSpansGiveTheDefinitionsBits) {
    const auto [wrapU, wrapV] = GetParam();
    std::mt19937 random(wrapU * 2 + wrapV + 77);
    auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    int mismatches = 0;
    for (int span = 0; span < 3000 && mismatches < 5; ++span) {
        const int w = between(0, 3) == 0 ? between(1, 3) : between(4, 70), h = between(1, 40);
        std::vector<uint32_t> texels(static_cast<size_t>(w * h));
        for (uint32_t& t : texels) t = static_cast<uint32_t>(random());
        plat::SamplerSetup s;
        s.view = {texels.data(), w, h, w};
        s.bilinear = true;
        s.wrapU = wrapU;
        s.wrapV = wrapV;
        const int n = between(1, 128);
        // Starts from a texel beyond either side to well inside; steps from a
        // strong shrink to a strong stretch, mirrored or not.
        const int32_t u0 = between(-3 * 65536, (w + 3) * 65536), du = between(-2 * 65536, 2 * 65536);
        const int32_t v0 = between(-2 * 65536, (h + 2) * 65536);
        const int32_t dv = between(0, 2) == 0 ? between(-40000, 40000) : 0;
        std::vector<int32_t> u(static_cast<size_t>(n)), v(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            u[static_cast<size_t>(i)] = u0 + du * i;
            v[static_cast<size_t>(i)] = v0 + dv * i;
        }
        std::vector<uint32_t> out(static_cast<size_t>(n));
        plat::SampleSpan(s, u.data(), v.data(), n, out.data());
        for (int i = 0; i < n && mismatches < 5; ++i) {
            const uint32_t want =
                ExpectedSample(texels, w, h, wrapU, wrapV, u[static_cast<size_t>(i)], v[static_cast<size_t>(i)]);
            if (out[static_cast<size_t>(i)] != want) {
                ++mismatches;
                ADD_FAILURE() << "span " << span << " (" << w << "x" << h << ", n " << n << "), sample " << i << ": "
                              << std::hex << out[static_cast<size_t>(i)] << " != " << want;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Addressing, SamplerRowsTest, ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<bool, bool>>& i) {
                             return std::string(std::get<0>(i.param) ? "WrapU" : "ClampU") +
                                    (std::get<1>(i.param) ? "WrapV" : "ClampV");
                         });

}  // namespace
