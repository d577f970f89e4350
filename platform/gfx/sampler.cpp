#include "platform/gfx/sampler.h"

#include <cmath>

namespace plat {

namespace {

inline int Wrap(int i, int size) {
    int r = i % size;
    return r < 0 ? r + size : r;
}

inline int Clamp(int i, int size) { return i < 0 ? 0 : (i >= size ? size - 1 : i); }

template <bool kWrapU, bool kWrapV>
void PointSpan(const TextureView& t, const int32_t* u, const int32_t* v, int n, uint32_t* out) {
    for (int i = 0; i < n; ++i) {
        int x = u[i] >> 16, y = v[i] >> 16;
        x = kWrapU ? Wrap(x, t.width) : Clamp(x, t.width);
        y = kWrapV ? Wrap(y, t.height) : Clamp(y, t.height);
        out[i] = t.pixels[static_cast<size_t>(y) * t.pitch + x];
    }
}

template <bool kWrapU, bool kWrapV>
void BilinearSpan(const TextureView& t, const int32_t* u, const int32_t* v, int n, uint32_t* out) {
    for (int i = 0; i < n; ++i) {
        // Texel centres sit at i + 0.5: move them onto the integers, then keep
        // 8 bits of fraction, rounded.
        int32_t uu = (u[i] - 0x8000 + 0x80) >> 8, vv = (v[i] - 0x8000 + 0x80) >> 8;
        int x0 = uu >> 8, y0 = vv >> 8;
        uint32_t fx = static_cast<uint32_t>(uu & 0xFF), fy = static_cast<uint32_t>(vv & 0xFF);
        int x1 = x0 + 1, y1 = y0 + 1;
        if (kWrapU) {
            x0 = Wrap(x0, t.width);
            x1 = Wrap(x1, t.width);
        } else {
            x0 = Clamp(x0, t.width);
            x1 = Clamp(x1, t.width);
        }
        if (kWrapV) {
            y0 = Wrap(y0, t.height);
            y1 = Wrap(y1, t.height);
        } else {
            y0 = Clamp(y0, t.height);
            y1 = Clamp(y1, t.height);
        }
        const uint32_t* r0 = t.pixels + static_cast<size_t>(y0) * t.pitch;
        const uint32_t* r1 = t.pixels + static_cast<size_t>(y1) * t.pitch;
        uint32_t top = fx ? LerpArgb(r0[x0], r0[x1], fx) : r0[x0];
        uint32_t bottom = fx ? LerpArgb(r1[x0], r1[x1], fx) : r1[x0];
        out[i] = fy ? LerpArgb(top, bottom, fy) : top;
    }
}

using SpanFn = void (*)(const TextureView&, const int32_t*, const int32_t*, int, uint32_t*);

SpanFn Choose(const SamplerSetup& s) {
    static const SpanFn kPoint[4] = {PointSpan<false, false>, PointSpan<false, true>,
                                     PointSpan<true, false>, PointSpan<true, true>};
    static const SpanFn kLinear[4] = {BilinearSpan<false, false>, BilinearSpan<false, true>,
                                      BilinearSpan<true, false>, BilinearSpan<true, true>};
    int k = (s.wrapU ? 2 : 0) + (s.wrapV ? 1 : 0);
    return s.bilinear ? kLinear[k] : kPoint[k];
}

}  // namespace

void SampleSpan(const SamplerSetup& s, const int32_t* u, const int32_t* v, int n, uint32_t* out) {
    if (!s.view.pixels) {
        for (int i = 0; i < n; ++i) out[i] = 0xFFFFFFFFu;
        return;
    }
    Choose(s)(s.view, u, v, n, out);
}

uint32_t SampleAt(const SamplerSetup& s, float sx, float ty) {
    auto fix = [](double t) {
        double c = std::fmin(std::fmax(t * 65536.0, -2147483000.0), 2147483000.0);
        return static_cast<int32_t>(std::lround(c));
    };
    int32_t u = fix(static_cast<double>(sx) * s.view.width);
    int32_t v = fix(static_cast<double>(ty) * s.view.height);
    uint32_t out = 0;
    SampleSpan(s, &u, &v, 1, &out);
    return out;
}

}  // namespace plat
