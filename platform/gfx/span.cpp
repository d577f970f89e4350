#include "platform/gfx/span.h"

#include "platform/gfx/span_modulate.h"
#include "platform/gfx/span_over.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plat {

namespace {

inline uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

inline uint32_t Arg(StageArg a, uint32_t tex, uint32_t diffuse, uint32_t current) {
    switch (a) {
        case StageArg::Texture: return tex;
        case StageArg::Diffuse: return diffuse;
        default: return current;
    }
}

inline uint32_t AddSat(uint32_t a, uint32_t b) {
    uint32_t r = 0;
    for (int s = 0; s < 32; s += 8) {
        uint32_t v = Channel(a, s) + Channel(b, s);
        r |= (v > 255 ? 255 : v) << s;
    }
    return r;
}

inline uint32_t ApplyOp(StageOp op, uint32_t a1, uint32_t a2) {
    switch (op) {
        case StageOp::SelectArg1: return a1;
        case StageOp::SelectArg2: return a2;
        case StageOp::Modulate: return ModulateArgb(a1, a2);
        case StageOp::Add: return AddSat(a1, a2);
        default: return a1;
    }
}

bool IsPlainModulate(const StageCombine& c) {
    return c.colorOp == StageOp::Modulate && c.alphaOp == StageOp::Modulate && c.color1 == StageArg::Texture &&
           c.alpha1 == StageArg::Texture && c.color2 == c.alpha2 && c.color2 != StageArg::Texture;
}

}  // namespace

void CombineStage(const StageCombine& c, const uint32_t* tex, const uint32_t* diffuse, uint32_t* current, int n) {
    if (c.colorOp == StageOp::Disable) return;
    if (IsPlainModulate(c)) {
        // The common case: texture times the incoming colour.
        const uint32_t* other = c.color2 == StageArg::Diffuse ? diffuse : current;
        if (!tex) {
            if (other != current) std::memcpy(current, other, static_cast<size_t>(n) * 4);
            return;
        }
        ModulateRow(tex, other, current, n);
        return;
    }
    const bool alphaDisabled = c.alphaOp == StageOp::Disable;
    for (int i = 0; i < n; ++i) {
        uint32_t t = tex ? tex[i] : 0xFFFFFFFFu;
        uint32_t cur = current[i];
        uint32_t rgb = ApplyOp(c.colorOp, Arg(c.color1, t, diffuse[i], cur), Arg(c.color2, t, diffuse[i], cur));
        uint32_t a = alphaDisabled
                         ? cur
                         : ApplyOp(c.alphaOp, Arg(c.alpha1, t, diffuse[i], cur), Arg(c.alpha2, t, diffuse[i], cur));
        current[i] = (rgb & 0x00FFFFFFu) | (a & 0xFF000000u);
    }
}

namespace {

inline bool Test(Compare f, uint32_t ref, uint32_t value) {
    switch (f) {
        case Compare::Never: return false;
        case Compare::Less: return ref < value;
        case Compare::Equal: return ref == value;
        case Compare::LessEqual: return ref <= value;
        case Compare::Greater: return ref > value;
        case Compare::NotEqual: return ref != value;
        case Compare::GreaterEqual: return ref >= value;
        default: return true;
    }
}

inline uint8_t Apply(StencilOp op, uint8_t value, uint8_t ref) {
    switch (op) {
        case StencilOp::Zero: return 0;
        case StencilOp::Replace: return ref;
        case StencilOp::IncrSat: return value == 255 ? 255 : static_cast<uint8_t>(value + 1);
        case StencilOp::DecrSat: return value == 0 ? 0 : static_cast<uint8_t>(value - 1);
        case StencilOp::Invert: return static_cast<uint8_t>(~value);
        case StencilOp::Incr: return static_cast<uint8_t>(value + 1);
        case StencilOp::Decr: return static_cast<uint8_t>(value - 1);
        default: return value;
    }
}

}  // namespace

int StencilSpan(const StencilSetup& s, uint8_t* stencil, uint8_t* pass, int n) {
    int passed = 0;
    const uint32_t ref = s.ref & s.mask;
    for (int i = 0; i < n; ++i) {
        uint8_t v = stencil[i];
        bool ok = Test(s.func, ref, v & s.mask);
        uint8_t nv = Apply(ok ? s.passOp : s.failOp, v, s.ref);
        stencil[i] = static_cast<uint8_t>((v & ~s.writeMask) | (nv & s.writeMask));
        pass[i] = ok ? 1 : 0;
        passed += ok ? 1 : 0;
    }
    return passed;
}

namespace {

// Factor for one channel, 0..255. `ch` is the channel shift (24 for alpha).
inline uint32_t Factor(Blend f, uint32_t src, uint32_t dst, int ch) {
    switch (f) {
        case Blend::Zero: return 0;
        case Blend::One: return 255;
        case Blend::SrcColor: return Channel(src, ch);
        case Blend::InvSrcColor: return 255 - Channel(src, ch);
        case Blend::SrcAlpha: return src >> 24;
        case Blend::InvSrcAlpha: return 255 - (src >> 24);
        case Blend::DestAlpha: return dst >> 24;
        case Blend::InvDestAlpha: return 255 - (dst >> 24);
        case Blend::DestColor: return Channel(dst, ch);
        case Blend::InvDestColor: return 255 - Channel(dst, ch);
        case Blend::SrcAlphaSat: {
            if (ch == 24) return 255;
            uint32_t a = src >> 24, ida = 255 - (dst >> 24);
            return a < ida ? a : ida;
        }
        default: return 255;
    }
}

inline uint32_t Combine(BlendOp op, uint32_t s, uint32_t fs, uint32_t d, uint32_t fd) {
    int32_t sv = static_cast<int32_t>(s * fs), dv = static_cast<int32_t>(d * fd), r;
    switch (op) {
        case BlendOp::Subtract: r = sv - dv; break;
        case BlendOp::RevSubtract: r = dv - sv; break;
        case BlendOp::Min: return s < d ? s : d;
        case BlendOp::Max: return s > d ? s : d;
        default: r = sv + dv; break;
    }
    if (r <= 0) return 0;
    uint32_t v = Div255(static_cast<uint32_t>(r));
    return v > 255 ? 255 : v;
}

void CopySpan(const BlendSetup&, const uint32_t* src, const uint8_t* mask, uint32_t* dst, int n) {
    if (!mask) {
        std::memcpy(dst, src, static_cast<size_t>(n) * 4);
        return;
    }
    for (int i = 0; i < n; ++i)
        if (mask[i]) dst[i] = src[i];
}

#if defined(__SSE2__)
int AddFour(const uint32_t* src, uint32_t* dst, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_adds_epu8(s, d));
    }
    return i;
}
#else
int AddFour(const uint32_t*, uint32_t*, int) { return 0; }
#endif

template <OverRowFn Row>
void OverSpan(const BlendSetup&, const uint32_t* src, const uint8_t* mask, uint32_t* dst, int n) {
    if (!mask) {
        Row(src, dst, n);
        return;
    }
    for (int i = 0; i < n; ++i)
        if (mask[i]) dst[i] = OverPixel(src[i], dst[i]);
}

void AddSpan(const BlendSetup&, const uint32_t* src, const uint8_t* mask, uint32_t* dst, int n) {
    for (int i = mask ? 0 : AddFour(src, dst, n); i < n; ++i)
        if (!mask || mask[i]) dst[i] = AddSat(src[i], dst[i]);
}

void GeneralSpan(const BlendSetup& b, const uint32_t* src, const uint8_t* mask, uint32_t* dst, int n) {
    for (int i = 0; i < n; ++i)
        if (!mask || mask[i]) dst[i] = BlendPixel(b, src[i], dst[i]);
}

}  // namespace

uint32_t BlendPixel(const BlendSetup& b, uint32_t s, uint32_t d) {
    if (!b.enabled) return s;
    uint32_t out = 0;
    for (int ch = 0; ch < 24; ch += 8)
        out |= Combine(b.op, Channel(s, ch), Factor(b.src, s, d, ch), Channel(d, ch), Factor(b.dst, s, d, ch)) << ch;
    out |= Combine(b.opAlpha, s >> 24, Factor(b.srcAlpha, s, d, 24), d >> 24, Factor(b.dstAlpha, s, d, 24)) << 24;
    return out;
}

bool BlendColorIgnoresDestAlpha(const BlendSetup& b) {
    if (!b.enabled) return true;
    auto readsDestAlpha = [](Blend f) {
        return f == Blend::DestAlpha || f == Blend::InvDestAlpha || f == Blend::SrcAlphaSat;
    };
    return !readsDestAlpha(b.src) && !readsDestAlpha(b.dst);
}

bool BlendKeepsTargetUnderClear(const BlendSetup& b) {
    const bool sameAlpha = b.srcAlpha == b.src && b.dstAlpha == b.dst && b.opAlpha == b.op;
    return b.enabled && sameAlpha && b.op == BlendOp::Add && b.src == Blend::One &&
           (b.dst == Blend::InvSrcAlpha || b.dst == Blend::One);
}

bool BlendIsOver(const BlendSetup& b) {
    return b.enabled && b.srcAlpha == b.src && b.dstAlpha == b.dst && b.opAlpha == b.op && b.op == BlendOp::Add &&
           b.src == Blend::One && b.dst == Blend::InvSrcAlpha;
}

bool BlendIgnoresTarget(const BlendSetup& b) {
    const bool sameAlpha = b.srcAlpha == b.src && b.dstAlpha == b.dst && b.opAlpha == b.op;
    return !b.enabled || (sameAlpha && b.op == BlendOp::Add && b.src == Blend::One && b.dst == Blend::Zero);
}

BlendSpanFn ChooseBlend(const BlendSetup& b) {
    if (BlendIgnoresTarget(b)) return CopySpan;
    if (BlendIsOver(b))
        return CpuHasAvx512() ? OverSpan<OverRowAvx512> : CpuHasAvx2() ? OverSpan<OverRowAvx2> : OverSpan<OverRowSse2>;
    const bool sameAlpha = b.srcAlpha == b.src && b.dstAlpha == b.dst && b.opAlpha == b.op;
    if (sameAlpha && b.op == BlendOp::Add && b.src == Blend::One && b.dst == Blend::One) return AddSpan;
    return GeneralSpan;
}

}  // namespace plat
