#include "platform/gfx/scaled_rows.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/gfx/across_and_down.h"
#include "platform/gfx/lanes_avx2.h"
#include "platform/gfx/span_over.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace plat {

namespace {

// The planned columns, as the blending across reads them.
struct ScaledColumns {
    const int32_t* left;
    const int32_t* right;
    const uint32_t* weight;
    const int32_t* groupFirst;
    const int32_t* leftAt;
    const int32_t* rightAt;
};

void AcrossScalar(const uint32_t* row, const int32_t* left, const int32_t* right, const uint32_t* weight, int i, int n,
                  uint32_t* out) {
    for (; i < n; ++i) out[i] = LerpArgb(row[left[i]], row[right[i]], weight[i]);
}

#if defined(__x86_64__)
// Texels at[k] (0..15) of the sixteen in `low` and `high`.
__attribute__((target("avx2"))) inline __m256i Pick(__m256i low, __m256i high, __m256i at) {
    return _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(low, at), _mm256_permutevar8x32_epi32(high, at),
                              _mm256_cmpgt_epi32(at, _mm256_set1_epi32(7)));
}

// Eight samples at a time, each sample's weight spread over its four
// channels. A group's texels are picked out of the sixteen from its first
// column where it has such a column, gathered otherwise.
__attribute__((target("avx2"))) void AcrossAvx2(const uint32_t* row, const ScaledColumns& c, int n, uint32_t* out) {
    const auto* texels = reinterpret_cast<const int*>(row);
    const __m256i zero = _mm256_setzero_si256();
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i a, b;
        if (const int32_t first = c.groupFirst[i / 8]; first >= 0) {
            const __m256i low = Load8(row + first), high = Load8(row + first + 8);
            a = Pick(low, high, Load8(c.leftAt + i));
            b = Pick(low, high, Load8(c.rightAt + i));
        } else {
            a = _mm256_i32gather_epi32(texels, Load8(c.left + i), 4);
            b = _mm256_i32gather_epi32(texels, Load8(c.right + i), 4);
        }
        const __m256i f = Load8(c.weight + i);
        const __m256i f2 = _mm256_or_si256(f, _mm256_slli_epi32(f, 16));
        const __m256i fLo = _mm256_unpacklo_epi32(f2, f2), fHi = _mm256_unpackhi_epi32(f2, f2);
        const __m256i full = _mm256_set1_epi16(256);
        const __m256i lo =
            LerpLanes(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero), _mm256_sub_epi16(full, fLo), fLo);
        const __m256i hi =
            LerpLanes(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero), _mm256_sub_epi16(full, fHi), fHi);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_packus_epi16(lo, hi));
    }
    AcrossScalar(row, c.left, c.right, c.weight, i, n, out);
}
#endif

void Across(const uint32_t* row, const ScaledColumns& c, int n, uint32_t* out) {
#if defined(__x86_64__)
    static const bool avx2 = CpuHasAvx2();
    if (avx2) {
        AcrossAvx2(row, c, n, out);
        return;
    }
#endif
    AcrossScalar(row, c.left, c.right, c.weight, 0, n, out);
}

}  // namespace

bool ScaledRows::Begin(const SamplerSetup& s, const int32_t* u, int n) {
    if (!s.bilinear || !s.view.pixels || s.view.width <= 0 || s.view.height <= 0 || n < 1 || n > kMostColumns)
        return false;
    sampler_ = &s;
    n_ = n;
    std::copy_n(u, n, u_);
    for (int i = 0; i < n; ++i) {
        const ColumnStep c = BilinearColumn(u[i]);
        TexelPair(s.wrapU, c.column, s.view.width, left_[i], right_[i]);
        weight_[i] = c.weight;
    }
    FindRun();
    // A run blends its texel rows as two rows are blended: the groups serve
    // only samples that make none, as a scaled image's do.
    if (runBegin_ == runEnd_) PlanGroups();
    acrossRow_[0] = acrossRow_[1] = -1;
    return true;
}

void ScaledRows::PlanGroups() {
    const int width = sampler_->view.width;
    for (int g = 0; g * 8 + 8 <= n_; ++g) {
        const int32_t first = std::min(*std::min_element(left_ + g * 8, left_ + g * 8 + 8),
                                       *std::min_element(right_ + g * 8, right_ + g * 8 + 8));
        bool near = first + 16 <= width;
        for (int i = g * 8; i < g * 8 + 8; ++i) {
            leftAt_[i] = left_[i] - first;
            rightAt_[i] = right_[i] - first;
            near = near && leftAt_[i] < 16 && rightAt_[i] < 16;
        }
        groupFirst_[g] = near ? first : -1;
    }
}

void ScaledRows::FindRun() {
    const int n = n_;
    runBegin_ = runEnd_ = 0;
    // The middle samples decide the direction; the ends join when they fit.
    runMirrored_ = n > 2 ? left_[2] < left_[1] : n == 2 && left_[1] < left_[0];
    const auto take = [this](int a, int b) {
        runBegin_ = a;
        runEnd_ = b;
        runFrom_ = left_[runMirrored_ ? b - 1 : a];
    };
    if (n < 3) {
        for (const auto& [a, b] : {std::pair{0, n}, {1, n}, {0, n - 1}})
            if (a < b && IsRun(a, b)) return take(a, b);
        return;
    }
    // Every run holds samples 1 .. n - 2, asked once; each end then joins
    // when it continues them, as a run from either end would find.
    if (!IsRun(1, n - 1)) return;
    const int32_t step = runMirrored_ ? -1 : 1;
    const auto joins = [&](int i) {
        return left_[i] == left_[1] + step * (i - 1) && right_[i] == left_[i] + 1 && weight_[i] == weight_[1];
    };
    const bool first = joins(0), last = joins(n - 1);
    take(first ? 0 : 1, last ? n : n - 1);
}

bool ScaledRows::IsRun(int a, int b) const {
    const int32_t step = runMirrored_ ? -1 : 1;
    for (int i = a; i < b; ++i)
        if (left_[i] != left_[a] + step * (i - a) || right_[i] != left_[i] + 1 || weight_[i] != weight_[a])
            return false;
    return true;
}

const uint32_t* ScaledRows::Kept(int y) const {
    for (int k = 0; k < 2; ++k)
        if (acrossRow_[k] == y) return across_[k];
    return nullptr;
}

const uint32_t* ScaledRows::TexelRow(int y) const {
    const TextureView& t = sampler_->view;
    return t.pixels + static_cast<size_t>(y) * t.pitch;
}

void ScaledRows::RunEnds(const uint32_t* row, uint32_t* out) const {
    for (int i : {0, n_ - 1})
        if (i < runBegin_ || i >= runEnd_) out[i] = LerpTexels(row, left_[i], right_[i], weight_[i]);
}

const uint32_t* ScaledRows::Across(int y, int keep) {
    if (const uint32_t* kept = Kept(y)) return kept;
    // The slot not holding the row the caller still needs.
    const int slot = acrossRow_[0] == keep ? 1 : 0;
    const uint32_t* row = TexelRow(y);
    if (runBegin_ < runEnd_) {
        uint32_t* out = across_[slot];
        LerpRowSpan(row + runFrom_, row + runFrom_ + 1, weight_[runBegin_], runEnd_ - runBegin_, out + runBegin_);
        if (runMirrored_) std::reverse(out + runBegin_, out + runEnd_);
        RunEnds(row, out);
    } else {
        plat::Across(row, {left_, right_, weight_, groupFirst_, leftAt_, rightAt_}, n_, across_[slot]);
    }
    acrossRow_[slot] = y;
    return across_[slot];
}

const uint32_t* ScaledRows::Blend(int32_t v, uint32_t* out) {
    const ColumnStep step = BilinearColumn(v);
    int32_t y0 = 0, y1 = 0;
    TexelPair(sampler_->wrapV, step.column, sampler_->view.height, y0, y1);
    // The row above is most often the one the row before blended across last.
    const uint32_t* upper = Kept(y0);
    if (!upper) upper = Across(y0, y1);
    if (step.weight == 0) return upper;
    if (const uint32_t* lower = Kept(y1); lower || runBegin_ == runEnd_) {
        LerpRowSpan(upper, lower ? lower : Across(y1, y0), step.weight, n_, out);
        return out;
    }
    // A run's rows step down a texel row at a time, each pixel row meeting
    // one texel row not yet blended across (an image moving on its own at
    // an offset): that row is blended across and the samples down in one
    // pass, rather than the row stored and read back for a second pass.
    const int slot = upper == across_[0] ? 1 : 0;
    const uint32_t* row = TexelRow(y1);
    uint32_t* across = across_[slot];
    AcrossAndDown({row + runFrom_, weight_[runBegin_], step.weight, upper + runBegin_, across + runBegin_,
                   out + runBegin_, runEnd_ - runBegin_},
                  runMirrored_);
    RunEnds(row, across);
    for (int i : {0, n_ - 1})
        if (i < runBegin_ || i >= runEnd_) out[i] = LerpArgb(upper[i], across[i], step.weight);
    acrossRow_[slot] = y1;
    return out;
}

const uint32_t* ScaledRows::Row(int32_t v) { return Blend(v, out_); }

void ScaledRows::RowInto(int32_t v, uint32_t* out) {
    const uint32_t* row = Blend(v, out);
    if (row != out) std::memcpy(out, row, static_cast<size_t>(n_) * 4);
}

}  // namespace plat
