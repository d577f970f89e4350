#pragma once
// The queue behind a batching Graphics: image quads filed by draw order, then
// draw mode, then image (and mask image), each group sent to the target in
// one call when the batch is flushed. Map nodes are stable, so the group the
// last draw went to is remembered and a run of draws of one image in one
// order and mode skips the lookups.

#include <cstdint>
#include <map>
#include <vector>

#include "rendering/image/image_render_target.h"

class ImageSurface;

class GraphicsBatch {
public:
    struct Entry {
        std::vector<QuadBatchItem> plain;
        std::map<ImageSurface*, std::vector<MaskedBatchItem>> masked;  // by mask image
    };
    using ImageGroups = std::map<ImageSurface*, Entry>;  // by object identity
    using ModeGroups = std::map<int, ImageGroups>;
    using OrderGroups = std::map<int32_t, ModeGroups>;

    bool Empty() const { return orders_.empty(); }
    void Clear() {
        orders_.clear();
        last_ = nullptr;
    }

    Entry& At(int32_t drawOrder, int mode, ImageSurface* image) {
        if (last_ && lastOrder_ == drawOrder && lastMode_ == mode && lastImage_ == image) return *last_;
        last_ = &orders_[drawOrder][mode][image];
        lastOrder_ = drawOrder;
        lastMode_ = mode;
        lastImage_ = image;
        return *last_;
    }

    const OrderGroups& Orders() const { return orders_; }

private:
    OrderGroups orders_;
    Entry* last_ = nullptr;
    int32_t lastOrder_ = 0;
    int lastMode_ = 0;
    ImageSurface* lastImage_ = nullptr;
};
