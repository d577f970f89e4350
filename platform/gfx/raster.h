#pragma once
// Internal to the graphics device: the rasterizer. It takes vertices already
// in screen space (snapped to 1/256 pixel) and fills the pixels the device
// being replaced would fill: pixel centres at integer coordinates, the
// top-left rule for shared edges, the diamond-exit rule for lines. Attributes
// are interpolated perspective-correctly unless all three vertices share one
// w, in which case plain linear interpolation gives the same result faster.
// An axis-aligned textured quad goes through DrawRect, which copies whole
// texel rows when texels map one to one onto pixels.

#include <cmath>
#include <cstdint>

#include "platform/gfx/resources.h"
#include "platform/gfx/sampler.h"
#include "platform/gfx/span.h"

namespace plat {

class PixelProgram;

namespace raster {

constexpr int kSubBits = 8;
constexpr int kSub = 1 << kSubBits;
constexpr int kChunk = 128;

// std::llround (halves away from zero) without the library call, for
// |x| < 2^62. The largest double below one half, added with x's sign, takes
// x past the next whole number away from zero exactly when x's fraction is
// at least a half: a fraction short of it by at least one unit of x's last
// place stays short after the sum's rounding (the added amount is a quarter
// of a unit below a half). The conversion then truncates, in one instruction.
inline int64_t RoundHalfAway(double x) { return static_cast<int64_t>(x + std::copysign(0.49999999999999994, x)); }
// std::llround's answer for any x: the library is asked only far out (or
// for what is not a number).
inline int64_t LlRound(double x) { return std::fabs(x) < 4611686018427387904.0 ? RoundHalfAway(x) : std::llround(x); }

enum Attr { kR, kG, kB, kA, kU0, kV0, kU1, kV1, kAttrCount };

// The colour channels a[kA], a[kR], a[kG], a[kB] as ARGB: each rounded
// halves away from zero (std::lround's rule; a float is exact as a double)
// and held to 0..255.
inline uint32_t PackColor(const float* a) {
    auto c = [](float v) {
        const int64_t r = LlRound(v);
        return static_cast<uint32_t>(r < 0 ? 0 : (r > 255 ? 255 : r));
    };
    return (c(a[kA]) << 24) | (c(a[kR]) << 16) | (c(a[kG]) << 8) | c(a[kB]);
}

struct RasterVertex {
    int64_t fx = 0, fy = 0;  // screen position in 1/256 pixel
    float z = 0.0f;
    float w = 1.0f;            // clip-space w, for perspective correction
    float a[kAttrCount] = {};  // colour channels 0..255; texture coordinates in texels
};

// Everything a draw call fixes before its primitives are rasterized.
struct DrawSetup {
    Surface* target = nullptr;
    bool direct32 = false;  // target is A8R8G8B8: blend in place
    // Target is X8R8G8B8 and the blend's colour does not read the target's
    // alpha: blend in place too, then set the alpha bytes as a conversion would.
    bool opaqueInPlace = false;
    Surface* depthStencil = nullptr;  // set only while the stencil test is on
    Rect clip;                        // pixels that may be written: [left, right) x [top, bottom)
    StencilSetup stencil;
    BlendSetup blend;
    BlendSpanFn blendFn = nullptr;
    bool overRows = false;  // the blend is over, and OverRowsAvx2 runs here
    // What the blend makes of the target, asked once for the draws of the setup.
    bool ignoresTarget = false;          // BlendIgnoresTarget
    bool keepsTargetUnderClear = false;  // BlendKeepsTargetUnderClear
    StageCombine stages[kMaxTextureStages];
    int stageCount = 0;  // stages before the first disabled one
    bool textured[kMaxTextureStages] = {};
    SamplerSetup samplers[kMaxTextureStages];
    Surface* textures[kMaxTextureStages] = {};  // whose texels the samplers read
    bool minBilinear[kMaxTextureStages] = {}, magBilinear[kMaxTextureStages] = {};
    Cull cull = Cull::None;
    PixelProgram* program = nullptr;
    // Rows of the target written so far: [writtenTop, writtenBottom).
    int writtenTop = 0, writtenBottom = 0;
};

bool ClipIsEmpty(const DrawSetup& d);

// Winding on screen, y down: positive is clockwise.
int64_t SignedArea(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c);
bool IsCulled(const DrawSetup& d, int64_t area);

void DrawTriangle(DrawSetup& d, const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2);
// Two triangles forming an axis-aligned rectangle with texture coordinates
// that follow the axes; false when they do not (nothing drawn then).
bool TryDrawRect(DrawSetup& d, const RasterVertex* const t0[3], const RasterVertex* const t1[3]);
// The same for a strip's two triangles, (v0, v1, v2) and (v2, v1, v3).
bool TryDrawStripRect(DrawSetup& d, const RasterVertex* const v[4]);
// A strip known to be a rectangle whose v1 lies at (v0.fx, v3.fy) and v2 at
// (v3.fx, v0.fy), every corner with v0's colour and w, u following x and v
// following y: drawn from its two diagonal corners alone, with the pixels
// TryDrawStripRect gives the four. False (nothing drawn) for what that
// would not take as a rectangle.
bool DrawStripRectCorners(DrawSetup& d, const RasterVertex& v0, const RasterVertex& v3, uint32_t color);
void DrawLine(DrawSetup& d, const RasterVertex& a, const RasterVertex& b);
void DrawPoint(DrawSetup& d, const RasterVertex& v);

// Per-pixel inputs of one chunk of a span (at most kChunk pixels).
struct ChunkInputs {
    bool flat = false;  // every diffuse value equals flatColor
    uint32_t flatColor = 0;
    uint32_t diffuse[kChunk];
    int32_t u[kMaxTextureStages][kChunk];  // 16.16 texel coordinates
    int32_t v[kMaxTextureStages][kChunk];
};

// Shades and writes pixels x .. x + n - 1 of row y. `tex0` may point at
// stage 0's texels for the span, skipping the sampler.
void ShadeChunk(DrawSetup& d, int x, int y, int n, const ChunkInputs& in, const uint32_t* tex0);
// Notes rows top .. bottom - 1 among those written.
inline void MarkRowsWritten(DrawSetup& d, int top, int bottom) {
    if (d.writtenTop >= d.writtenBottom) {
        d.writtenTop = top;
        d.writtenBottom = bottom;
        return;
    }
    if (top < d.writtenTop) d.writtenTop = top;
    if (bottom > d.writtenBottom) d.writtenBottom = bottom;
}
// Writes finished colours (after stencil) through the blender.
void WriteSpan(DrawSetup& d, int x, int y, int n, const uint32_t* src, const uint8_t* mask);

// Steps a texel coordinate across n pixels into 16.16 fixed-point values;
// values beyond +-kMaxFixedTexel are clamped to it.
void StepCoordinates(double start, double step, int n, int32_t* out);

// floor(a / b) and ceil(a / b) for b > 0.
inline int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
inline int64_t CeilDiv(int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

}  // namespace raster
}  // namespace plat
