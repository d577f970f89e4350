// Surface-to-surface copies, fills and clears.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gfx/device.h"
#include "platform/gfx/formats.h"
#include "platform/gfx/sampler.h"

namespace plat {

namespace {

bool Inside(const Rect& r, const Surface* s) {
    return r.left >= 0 && r.top >= 0 && r.right <= s->Width() && r.bottom <= s->Height() && r.left < r.right &&
           r.top < r.bottom;
}

Rect Whole(const Surface* s) { return Rect{0, 0, s->Width(), s->Height()}; }

Rect Intersect(const Rect& a, const Rect& b) {
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

bool Empty(const Rect& r) { return r.left >= r.right || r.top >= r.bottom; }

void CopyRows(const Surface* src, const Rect& from, Surface* dst, int dx, int dy) {
    const int bpp = BytesPerPixel(src->GetFormat());
    const size_t bytes = static_cast<size_t>(from.right - from.left) * bpp;
    for (int y = from.top; y < from.bottom; ++y)
        std::memmove(dst->Row(dy + y - from.top) + dx * bpp, src->Row(y) + from.left * bpp, bytes);
    dst->Touch(dy, dy + from.bottom - from.top);
}

void FillColor(Surface* s, const Rect& r, uint32_t argb) {
    const Format f = s->GetFormat();
    const int bpp = BytesPerPixel(f);
    uint8_t pixel[4];
    FromArgb(f, argb, pixel);
    if (bpp == 4 && r.left == 0 && r.top == 0 && r.right == s->Width() && r.bottom == s->Height()) {
        uint32_t word;
        std::memcpy(&word, pixel, 4);
        s->FillLater(word);
        return;
    }
    for (int y = r.top; y < r.bottom; ++y) {
        uint8_t* p = s->Row(y) + r.left * bpp;
        if (bpp == 4) {
            uint32_t v;
            std::memcpy(&v, pixel, 4);
            std::fill_n(reinterpret_cast<uint32_t*>(p), r.right - r.left, v);
        } else {
            for (int x = r.left; x < r.right; ++x, p += bpp) std::memcpy(p, pixel, static_cast<size_t>(bpp));
        }
    }
    s->Touch(r.top, r.bottom);
}

}  // namespace

HResult Device::UpdateSurface(Surface* src, const Rect* srcRect, Surface* dst, const Point* dstPoint) {
    Record(Call::UpdateSurface);
    if (!src || !dst || src == dst || src->GetPool() != Pool::SystemMem || dst->GetPool() != Pool::Default ||
        src->GetFormat() != dst->GetFormat() || src->IsDepthStencil() || dst->IsDepthStencil())
        return kErrInvalidCall;
    const Rect from = srcRect ? *srcRect : Whole(src);
    const Point to = dstPoint ? *dstPoint : Point{from.left, from.top};
    const Rect target{to.x, to.y, to.x + from.right - from.left, to.y + from.bottom - from.top};
    if (!Inside(from, src) || !Inside(target, dst)) return kErrInvalidCall;
    CopyRows(src, from, dst, to.x, to.y);
    return kOk;
}

HResult Device::GetRenderTargetData(Surface* renderTarget, Surface* dst) {
    Record(Call::GetRenderTargetData);
    if (!renderTarget || !dst || !renderTarget->IsRenderTarget() || dst->GetPool() != Pool::SystemMem ||
        renderTarget->GetFormat() != dst->GetFormat() || renderTarget->Width() != dst->Width() ||
        renderTarget->Height() != dst->Height())
        return kErrInvalidCall;
    CopyRows(renderTarget, Whole(renderTarget), dst, 0, 0);
    return kOk;
}

HResult Device::StretchRect(Surface* src, const Rect* srcRect, Surface* dst, const Rect* dstRect,
                            TextureFilter filter) {
    Record(Call::StretchRect, static_cast<uint32_t>(filter));
    if (!src || !dst || src == dst || src->GetPool() != Pool::Default || dst->GetPool() != Pool::Default ||
        src->IsDepthStencil() || dst->IsDepthStencil() || !dst->IsRenderTarget())
        return kErrInvalidCall;
    const Rect from = srcRect ? *srcRect : Whole(src);
    const Rect to = dstRect ? *dstRect : Whole(dst);
    if (!Inside(from, src) || !Inside(to, dst)) return kErrInvalidCall;
    const int sw = from.right - from.left, sh = from.bottom - from.top;
    const int dw = to.right - to.left, dh = to.bottom - to.top;
    if (sw == dw && sh == dh) {
        // At 1:1 every sample falls on its own texel's centre, where both
        // filters give the texel itself: the rows are copied, or converted
        // in one pass. The frame's present takes this path every frame, and
        // copies only the rows drawn since the last one when nothing else
        // wrote to the target in between.
        const Surface::RowSpan rows = src->RowsToCopy(dst->Id(), dst->Version(), from, to);
        const Rect part{from.left, rows.top, from.right, rows.bottom};
        if (src->GetFormat() == dst->GetFormat()) {
            CopyRows(src, part, dst, to.left, to.top + rows.top - from.top);
        } else {
            const TextureView whole = src->View();
            const int bpp = BytesPerPixel(dst->GetFormat());
            for (int y = rows.top; y < rows.bottom; ++y)
                RowFromArgb(dst->GetFormat(), whole.pixels + static_cast<size_t>(y) * whole.pitch + from.left,
                            dst->Row(to.top + y - from.top) + to.left * bpp, dw);
            dst->Touch(to.top + rows.top - from.top, to.top + rows.bottom - from.top);
        }
        src->NoteCopied(dst->Id(), dst->Version());
        return kOk;
    }
    const TextureView whole = src->View();
    const int bpp = BytesPerPixel(dst->GetFormat());
    SamplerSetup s;
    s.view = whole;
    s.view.pixels = whole.pixels + static_cast<size_t>(from.top) * whole.pitch + from.left;
    s.view.width = sw;
    s.view.height = sh;
    s.bilinear = filter == TextureFilter::Linear;
    std::vector<int32_t> u(static_cast<size_t>(dw)), v(static_cast<size_t>(dw));
    std::vector<uint32_t> row(static_cast<size_t>(dw));
    for (int y = 0; y < dh; ++y) {
        const int32_t vy = static_cast<int32_t>((static_cast<int64_t>(2 * y + 1) * sh << 16) / (2 * dh));
        for (int x = 0; x < dw; ++x) {
            u[static_cast<size_t>(x)] = static_cast<int32_t>((static_cast<int64_t>(2 * x + 1) * sw << 16) / (2 * dw));
            v[static_cast<size_t>(x)] = vy;
        }
        SampleSpan(s, u.data(), v.data(), dw, row.data());
        RowFromArgb(dst->GetFormat(), row.data(), dst->Row(to.top + y) + to.left * bpp, dw);
    }
    dst->Touch(to.top, to.bottom);
    return kOk;
}

HResult Device::ColorFill(Surface* surface, const Rect* rect, uint32_t argb) {
    Record(Call::ColorFill, 0, 0, argb);
    if (!surface || surface->GetPool() != Pool::Default || surface->IsDepthStencil()) return kErrInvalidCall;
    const Rect r = rect ? *rect : Whole(surface);
    if (!Inside(r, surface)) return kErrInvalidCall;
    FillColor(surface, r, argb);
    return kOk;
}

HResult Device::Clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t argb, float, uint32_t stencil) {
    Record(Call::Clear, count, flags, argb, stencil);
    if ((count > 0) != (rects != nullptr)) return kErrInvalidCall;
    if ((flags & (kClearZBuffer | kClearStencil)) && !state_.depthStencil) return kErrInvalidCall;
    // As on the device replaced, a clear is limited to the viewport and,
    // while the scissor test is on, to the scissor rectangle.
    Surface* target = state_.renderTarget;
    Rect area{static_cast<int32_t>(state_.viewport.x), static_cast<int32_t>(state_.viewport.y),
              static_cast<int32_t>(state_.viewport.x + state_.viewport.width),
              static_cast<int32_t>(state_.viewport.y + state_.viewport.height)};
    area = Intersect(area, Whole(target));
    if (state_.Get(RenderState::ScissorTestEnable)) area = Intersect(area, state_.scissor);
    const uint32_t n = count ? count : 1;
    for (uint32_t i = 0; i < n; ++i) {
        const Rect r = count ? Intersect(area, rects[i]) : area;
        if (Empty(r)) continue;
        if (flags & kClearTarget) FillColor(target, r, argb);
        if (flags & kClearStencil) {
            Surface* ds = state_.depthStencil;
            const Rect sr = Intersect(r, Whole(ds));
            for (int y = sr.top; y < sr.bottom; ++y)
                std::memset(ds->StencilRow(y) + sr.left, static_cast<int>(stencil & 0xFF),
                            static_cast<size_t>(sr.right - sr.left));
        }
    }
    return kOk;
}

}  // namespace plat
