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
        // earlier draw had it too; else it takes the place of the offset
        // used longest ago, to be kept from its next draw on.
        firstRow_ = false;
        pending_.fy = step.weight;
        ++draws_;
        kept_ = nullptr;
        Slot* oldest = &slots_[0];
        for (Slot& slot : slots_) {
            if (slot.key == pending_) {
                kept_ = &slot;
                break;
            }
            if (slot.lastUsed < oldest->lastUsed) oldest = &slot;
        }
        if (!kept_) {
            oldest->key = pending_;
            oldest->ready.clear();
            oldest->lastUsed = draws_;
            return nullptr;
        }
        kept_->lastUsed = draws_;
    }
    if (!kept_ || step.weight != kept_->key.fy) return nullptr;
    Slot& slot = *kept_;
    const int width = s.view.width, height = s.view.height;
    const size_t stride = static_cast<size_t>(width) + 1;
    if (slot.ready.empty()) {
        slot.texels.resize(stride * (static_cast<size_t>(height) + 1));
        slot.ready.assign(static_cast<size_t>(height) + 1, 0);
    }
    // Rows -1 .. height - 1 by the upper texel row of the sample.
    const int upper = step.column;
    if (upper < -1 || upper >= height) return nullptr;
    uint32_t* out = slot.texels.data() + stride * static_cast<size_t>(upper + 1);
    if (!slot.ready[static_cast<size_t>(upper + 1)]) {
        BilinearRunSpan(BilinearRows(s, v), -1, s.wrapU ? width - 1 : 0, s.wrapU ? 0 : width - 1, slot.key.fx,
                        width + 1, out);
        slot.ready[static_cast<size_t>(upper + 1)] = 1;
    }
    return out + 1;
}

}  // namespace plat
