#pragma once
// The premultiplied "over" blend of a whole row, dst = src + dst * (255 - src
// alpha) / 255 rounded per channel and saturated, in one version per
// instruction set. Every version gives the same bits; OverRow picks the
// fastest the processor runs.

#include <cstddef>
#include <cstdint>

namespace plat {

using OverRowFn = void (*)(const uint32_t* src, uint32_t* dst, int n);

// One pixel, for tails and masked spans.
uint32_t OverPixel(uint32_t s, uint32_t d);

void OverRowSse2(const uint32_t* src, uint32_t* dst, int n);
// Only where CpuHasAvx2() holds.
void OverRowAvx2(const uint32_t* src, uint32_t* dst, int n);

// Rows blended one after another, src[r] onto dst[r], each as OverRow
// blends it; rows of at most kOverRowsPixels pixels go faster than one call
// a row would. Only where CpuHasAvx2() holds; the target rows must not
// overlap each other or the source rows. Wider rows, as a park's ground
// tiles give, go faster one at a time, their clear and opaque lines
// skipped and copied.
constexpr int kOverRowsPixels = 63;
void OverRowsAvx2(const uint32_t* const* src, uint32_t* const* dst, int n, int rows);

using OverRowsFn = void (*)(const uint32_t* const* src, uint32_t* const* dst, int n, int rows);

// The same over rows a fixed distance apart, as a sprite's rows are in its
// texture and on the target: row r's pixels at src + r * srcStride and
// dst + r * dstPitch (in pixels), read right to left from there in the
// mirrored version. No list of rows is built for them. Only where
// CpuHasAvx2() holds.
using OverStridedFn = void (*)(const uint32_t* src, ptrdiff_t srcStride, uint32_t* dst, ptrdiff_t dstPitch, int n,
                               int rows);
void OverStridedAvx2(const uint32_t* src, ptrdiff_t srcStride, uint32_t* dst, ptrdiff_t dstPitch, int n, int rows);
void OverStridedMirroredAvx2(const uint32_t* src, ptrdiff_t srcStride, uint32_t* dst, ptrdiff_t dstPitch, int n,
                             int rows);

// The same with AVX-512's masks on 256-bit vectors (foundation and vector
// length instructions), only where CpuHasAvx512() holds: rows of at most
// kOverRowsPixels pixels go faster, wider ones as the AVX2 versions take
// them.
void OverRowAvx512(const uint32_t* src, uint32_t* dst, int n);
void OverRowsAvx512(const uint32_t* const* src, uint32_t* const* dst, int n, int rows);
void OverStridedAvx512(const uint32_t* src, ptrdiff_t srcStride, uint32_t* dst, ptrdiff_t dstPitch, int n, int rows);
void OverStridedMirroredAvx512(const uint32_t* src, ptrdiff_t srcStride, uint32_t* dst, ptrdiff_t dstPitch, int n,
                               int rows);

bool CpuHasAvx2();
bool CpuHasAvx512();

// The version for this processor.
OverRowFn ChooseOverRow();
// The rows version for this processor, only where CpuHasAvx2() holds.
OverRowsFn ChooseOverRows();
// The strided versions for this processor, only where CpuHasAvx2() holds.
OverStridedFn ChooseOverStrided();
OverStridedFn ChooseOverStridedMirrored();

}  // namespace plat
