#pragma once
// Internal to the graphics device: the two ways the narrow row blends are
// handed their rows, a list of pointers or rows a fixed distance apart, so
// one kernel serves both.
#include <cstddef>
#include <cstdint>

namespace plat {

struct ListedRows {
    const uint32_t* const* src;
    uint32_t* const* dst;
    const uint32_t* Source(int r) const { return src[r]; }
    uint32_t* Target(int r) const { return dst[r]; }
};

struct StridedRows {
    const uint32_t* src;
    ptrdiff_t srcStride;
    uint32_t* dst;
    ptrdiff_t dstPitch;
    const uint32_t* Source(int r) const { return src + srcStride * r; }
    uint32_t* Target(int r) const { return dst + dstPitch * r; }
};

}  // namespace plat
