#include "rendering/image/image_data.h"

#include <algorithm>
#include <new>

bool ImageData::SizeAllowed(int64_t width, int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide;
}

bool ImageData::Allocate(int width, int height, bool clear) {
    bits_.reset();
    width_ = 0;
    height_ = 0;
    if (!SizeAllowed(width, height)) return false;
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    bits_.reset(new (std::nothrow) uint32_t[count]);
    if (!bits_) return false;
    if (clear) std::fill_n(bits_.get(), count, 0u);
    width_ = width;
    height_ = height;
    return true;
}
