#include "rendering/image/image_data.h"

#include <algorithm>

bool ImageData::SizeAllowed(int64_t width, int64_t height) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    return width * height <= kMaxPixels;
}

bool ImageData::Allocate(int width, int height, bool clear) {
    bits_.reset();
    width_ = 0;
    height_ = 0;
    if (!SizeAllowed(width, height)) return false;
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    bits_ = std::make_unique_for_overwrite<uint32_t[]>(count);
    if (clear) std::fill_n(bits_.get(), count, 0u);
    width_ = width;
    height_ = height;
    return true;
}
