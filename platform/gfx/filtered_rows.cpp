#include "platform/gfx/filtered_rows.h"

namespace plat {

void FilteredRows::BeginDraw(const SamplerSetup& s, uint64_t version, uint32_t fx) {
    pending_ = Key{version, s.view.pixels, s.view.width, s.view.height, s.view.pitch, fx, 0, s.wrapU, s.wrapV};
    firstRow_ = true;
}

const uint32_t* FilteredRows::MakeRow(const SamplerSetup& s, int32_t v) {
    const ColumnStep step = BilinearColumn(v);
    if (firstRow_) {
        // The draw's offset is known with its first row: kept when an
        // earlier draw had it too.
        firstRow_ = false;
        pending_.fy = step.weight;
        keep_ = pending_ == key_;
        if (!keep_) {
            key_ = pending_;
            ready_.clear();
        }
    }
    if (!keep_ || step.weight != key_.fy) return nullptr;
    const int width = s.view.width, height = s.view.height;
    const size_t stride = static_cast<size_t>(width) + 1;
    if (ready_.empty()) {
        texels_.resize(stride * (static_cast<size_t>(height) + 1));
        ready_.assign(static_cast<size_t>(height) + 1, 0);
    }
    // Rows -1 .. height - 1 by the upper texel row of the sample.
    const int upper = step.column;
    if (upper < -1 || upper >= height) return nullptr;
    uint32_t* out = texels_.data() + stride * static_cast<size_t>(upper + 1);
    if (!ready_[static_cast<size_t>(upper + 1)]) {
        BilinearRunSpan(BilinearRows(s, v), -1, s.wrapU ? width - 1 : 0, s.wrapU ? 0 : width - 1, key_.fx, width + 1,
                        out);
        ready_[static_cast<size_t>(upper + 1)] = 1;
    }
    return out + 1;
}

}  // namespace plat
