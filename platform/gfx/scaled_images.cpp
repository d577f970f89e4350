#include "platform/gfx/scaled_images.h"

#include <algorithm>

namespace plat {

bool ScaledImages::BeginDraw(const SamplerSetup& s, uint64_t version, std::span<const int32_t> u) {
    current_ = nullptr;
    const TextureView& t = s.view;
    const size_t n = u.size();
    if (!t.pixels || t.height <= 0 || n == 0 || (static_cast<size_t>(t.height) + 1) * n > kMostSamples) return false;
    ++draws_;
    const Key key{version, t.pixels, t.width, t.height, t.pitch, s.wrapU, s.wrapV};
    Plan* oldest = nullptr;
    for (Plan& p : plans_) {
        if (p.key == key && std::ranges::equal(p.u, u)) {
            p.lastUsed = draws_;
            current_ = &p;
            return true;
        }
        if (!oldest || p.lastUsed < oldest->lastUsed) oldest = &p;
    }
    if (plans_.size() < kPlans) {
        plans_.emplace_back();
        oldest = &plans_.back();
    }
    Plan& p = *oldest;
    p.key = key;
    p.u.assign(u.begin(), u.end());
    p.samples.resize((static_cast<size_t>(t.height) + 1) * n);
    p.made.assign(static_cast<size_t>(t.height) + 1, Made{});
    p.lastUsed = draws_;
    current_ = &p;
    return true;
}

ScaledImages::Row ScaledImages::At(int32_t v) {
    if (!current_) return {};
    Plan& p = *current_;
    const ColumnStep step = BilinearColumn(v);
    if (step.column < -1 || step.column >= p.key.height) return {};
    const size_t at = static_cast<size_t>(step.column + 1);
    uint32_t* samples = p.samples.data() + at * p.u.size();
    Made& made = p.made[at];
    // A row this draw was handed, at the weight of another of its pixel
    // rows between the same texel rows (a magnified image's), may not be
    // blended yet: it is not made over.
    const bool same = made.draw != 0 && made.weight == step.weight;
    if (!same && made.draw == draws_) return {};
    made = {draws_, step.weight};
    return {samples, same};
}

}  // namespace plat
