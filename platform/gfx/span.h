#pragma once
// Per-span pixel routines of the rasterizer: the texture-stage combiner, the
// stencil test with its operations, and blending into a row of 32-bit ARGB
// pixels. Each routine runs over a whole span with its choices made once, so
// no per-pixel dispatch happens. Channel arithmetic is 8-bit integer with
// rounding: a product a*b/255 is rounded to the nearest integer.

#include <cstdint>

#include "platform/gfx/gfx_types.h"

namespace plat {

inline uint32_t Div255(uint32_t x) { return (x + 128 + ((x + 128) >> 8)) >> 8; }

// round(a * b / 255) per channel.
inline uint32_t ModulateArgb(uint32_t a, uint32_t b) {
    uint32_t r = 0;
    for (int s = 0; s < 32; s += 8) r |= Div255(((a >> s) & 0xFF) * ((b >> s) & 0xFF)) << s;
    return r;
}

struct StageCombine {
    StageOp colorOp = StageOp::Disable, alphaOp = StageOp::Disable;
    StageArg color1 = StageArg::Texture, color2 = StageArg::Current;
    StageArg alpha1 = StageArg::Texture, alpha2 = StageArg::Current;
};

// One texture stage over a span: `tex` holds the stage's samples (null reads
// as opaque white), `diffuse` the interpolated vertex colour, `current` the
// previous stage's result on entry and this stage's on return.
void CombineStage(const StageCombine& c, const uint32_t* tex, const uint32_t* diffuse, uint32_t* current, int n);

struct StencilSetup {
    bool enabled = false;
    Compare func = Compare::Always;
    uint8_t ref = 0, mask = 0xFF, writeMask = 0xFF;
    StencilOp failOp = StencilOp::Keep, passOp = StencilOp::Keep;
};

// Tests each pixel of the span, applies the fail or pass operation to the
// stored value and sets pass[i] to 1 or 0. Returns how many passed.
int StencilSpan(const StencilSetup& s, uint8_t* stencil, uint8_t* pass, int n);

struct BlendSetup {
    bool enabled = false;
    Blend src = Blend::One, dst = Blend::Zero, srcAlpha = Blend::One, dstAlpha = Blend::Zero;
    BlendOp op = BlendOp::Add, opAlpha = BlendOp::Add;
};

// Blends src into dst; `mask` (may be null) selects the pixels written.
using BlendSpanFn = void (*)(const BlendSetup& b, const uint32_t* src, const uint8_t* mask, uint32_t* dst, int n);
BlendSpanFn ChooseBlend(const BlendSetup& b);
// The premultiplied over blend: dst = src + dst * (255 - src alpha) / 255.
bool BlendIsOver(const BlendSetup& b);
// The blend writes the source as it is, whatever the target held.
bool BlendIgnoresTarget(const BlendSetup& b);
// The colour channels of the result never read the target's alpha, so a
// target without alpha can be blended in place.
bool BlendColorIgnoresDestAlpha(const BlendSetup& b);

// A clear source pixel (all zero) leaves the target's pixel as it is, as
// the premultiplied over and additive blends do.
bool BlendKeepsTargetUnderClear(const BlendSetup& b);

// One pixel through the general blend, for checks and single pixels.
uint32_t BlendPixel(const BlendSetup& b, uint32_t src, uint32_t dst);

}  // namespace plat

namespace plat {

// With white as the incoming colour, the stage outputs its texel unchanged.
inline bool StagePassesTexture(const StageCombine& c) {
    bool modulate = c.colorOp == StageOp::Modulate && c.alphaOp == StageOp::Modulate && c.color1 == StageArg::Texture &&
                    c.alpha1 == StageArg::Texture && c.color2 != StageArg::Texture && c.alpha2 != StageArg::Texture;
    bool select = c.colorOp == StageOp::SelectArg1 && c.color1 == StageArg::Texture &&
                  ((c.alphaOp == StageOp::SelectArg1 && c.alpha1 == StageArg::Texture) ||
                   (c.alphaOp == StageOp::Modulate && c.alpha1 == StageArg::Texture && c.alpha2 != StageArg::Texture));
    return modulate || select;
}

// Without a texture (white) the stage leaves the previous stage's colour as is.
inline bool StageKeepsCurrent(const StageCombine& c) {
    if (c.colorOp == StageOp::Disable) return true;
    return c.colorOp == StageOp::Modulate && c.alphaOp == StageOp::Modulate && c.color1 == StageArg::Texture &&
           c.alpha1 == StageArg::Texture && c.color2 == StageArg::Current && c.alpha2 == StageArg::Current;
}

}  // namespace plat
