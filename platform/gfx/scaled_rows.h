#pragma once
// Bilinear samples of a scaled, axis-aligned rectangle row by row. Every row
// of such a rectangle samples the same texel columns with the same column
// weights; only the row coordinate changes. The filter blends the two texels
// of each texel row first and then the two rows, each step rounded, so a
// texel row blended across is the same for every sample row that reads it:
// here it is blended once and kept while the rows below still read it,
// instead of four texels being fetched and blended again for every sample.
//
// Promises: Row gives the bits SampleSpan gives for the same coordinates.
// Threads: the device's thread only, as every draw.

#include <cstdint>
#include <span>

#include "platform/gfx/sampler.h"

namespace plat {

class ScaledRows {
public:
    static constexpr int kMostColumns = 128;

    // Plans the columns of samples at u[0..n) (16.16 texel coordinates) of a
    // bilinear sampler; false, and nothing planned, when `s` filters by point,
    // has no texels, or n is not 1..kMostColumns.
    bool Begin(const SamplerSetup& s, const int32_t* u, int n);
    // The n samples at row coordinate v (16.16), valid until the next call.
    const uint32_t* Row(int32_t v);
    // The same samples written to out[0..n).
    void RowInto(int32_t v, uint32_t* out);
    // The column coordinates planned.
    std::span<const int32_t> Columns() const { return {u_, static_cast<size_t>(n_)}; }

private:
    // The samples at v in `out`, or the texel row blended across that they
    // equal.
    const uint32_t* Blend(int32_t v, uint32_t* out);
    // Texel row y blended across the planned columns, made in the slot not
    // holding texel row `keep` unless one holds it already.
    const uint32_t* Across(int y, int keep);
    // Texel row y blended across, when a slot holds it; else null.
    const uint32_t* Kept(int y) const;
    const uint32_t* TexelRow(int y) const;
    // The samples at either end outside the run, blended across from `row`.
    void RunEnds(const uint32_t* row, uint32_t* out) const;

    const SamplerSetup* sampler_ = nullptr;
    int n_ = 0;
    int32_t u_[kMostColumns];
    int32_t left_[kMostColumns], right_[kMostColumns];
    uint32_t weight_[kMostColumns];
    // Eight samples at a time whose texels all lie within sixteen of the
    // row, from the group's first column on: those sixteen are read whole
    // and the samples' texels picked out of them, instead of being gathered
    // one by one. -1: the group's texels lie further apart, or the sixteen
    // would reach past the row.
    static constexpr int kGroups = kMostColumns / 8;
    int32_t groupFirst_[kGroups];
    int32_t leftAt_[kMostColumns], rightAt_[kMostColumns];  // from the group's first column
    // Samples runBegin_ .. runEnd_ - 1 a texel apart, each one's pair of
    // columns the next one's moved by one, under one weight, as an image
    // drawn unscaled at an offset gives: a texel row is then blended across
    // there as two rows are blended, from column `runFrom_` on, and turned
    // round when the image is mirrored. A sample at either end whose column
    // the addressing moved (at the texture's edge) is blended on its own.
    // No run: runBegin_ == runEnd_.
    int runBegin_ = 0, runEnd_ = 0;
    int32_t runFrom_ = 0;
    bool runMirrored_ = false;
    // Whether samples a .. b - 1 make such a run.
    bool IsRun(int a, int b) const;
    // The longest run of the planned samples, ends joined where they fit.
    void FindRun();
    // The groups of samples blended across eight at a time.
    void PlanGroups();
    // Two texel rows blended across, by texel row (-1: none yet).
    uint32_t across_[2][kMostColumns];
    int acrossRow_[2] = {-1, -1};
    uint32_t out_[kMostColumns];
};

}  // namespace plat
