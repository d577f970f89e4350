// ImageSurface as a render target: binding with its projection, and every
// drawing operation into the image.
#include <mutex>

#include "rendering/device/d3d_interface.h"
#include "rendering/device/device_surface_image.h"
#include "rendering/image/blitters.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/texture_tiles.h"

namespace {

D3DInterface* UsableDevice() {
    D3DInterface* d3d = D3DInterface::Instance();
    return d3d && d3d->GetDevice() ? d3d : nullptr;
}

// The shape shared by every draw into an image: a usable device, then
// under the lock the sources' textures, the binding, the device operation
// and the target marked newer. Preparing a texture takes the lock itself;
// held from the start, it is taken once per draw rather than twice.
template <class F>
void DrawInto(ImageSurface& target, ImageSurface* image, ImageSurface* mask, F&& operation) {
    D3DInterface* d3d = UsableDevice();
    if (!d3d) return;
    std::lock_guard lock(d3d->GetDeviceLock());
    if (image && !PrepareImageTexture(*d3d, image)) return;
    if (mask && !PrepareImageTexture(*d3d, mask)) return;
    if (!target.BindRenderTarget()) return;
    operation(*d3d);
    target.SetTargetNewer();
}

// Drawing operations without a source image.
template <class F>
void DrawUntextured(ImageSurface& target, F&& operation) {
    DrawInto(target, nullptr, nullptr, std::forward<F>(operation));
}

void SetLineAntialiasing(D3DInterface& d3d, bool on) {
    d3d.CheckResult("SetRenderState",
                    d3d.GetDevice()->SetRenderState(plat::RenderState::AntialiasedLineEnable, on ? 1u : 0u));
}

}  // namespace

bool ImageSurface::BindRenderTarget() {
    D3DInterface* d3d = UsableDevice();
    if (!d3d) return false;
    std::lock_guard lock(d3d->GetDeviceLock());
    plat::Surface* surface = GetD3DSurface();
    if (!surface) return false;
    if (d3d->GetRenderTargetImage() == this) return true;
    d3d->EndScene();
    // A plain image that was drawn into keeps its pixels in memory as well
    // (not the back buffer, whose pixels never leave the device).
    if (auto* previous = dynamic_cast<ImageSurface*>(d3d->GetRenderTargetImage());
        previous && !(previous->GetFlags() & kImageRenderTarget) && !previous->IsBackBuffer())
        previous->GetBits();
    plat::Device* device = d3d->GetDevice();
    if (d3d->CheckResult("SetRenderTarget", device->SetRenderTarget(0, surface))) return false;
    d3d->CheckResult("SetDepthStencilSurface", device->SetDepthStencilSurface(depthStencil_));
    const plat::Viewport viewport{0,    0,   static_cast<uint32_t>(sourceWidth), static_cast<uint32_t>(sourceHeight),
                                  0.0f, 1.0f};
    d3d->CheckResult("SetViewport", device->SetViewport(&viewport));
    const plat::Matrix projection = PixelProjection(sourceWidth, sourceHeight, static_cast<int>(surfaceDesc_.width),
                                                    static_cast<int>(surfaceDesc_.height));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) projection_[r * 4 + c] = projection.m[r][c];
    device->SetTransform(plat::TransformState::Projection, &projection);
    d3d->SetRenderTargetImage(this);
    d3d->RenderTargetChanged();
    return true;
}

void ImageSurface::FillRect(const Rect& rect, const Color& color, const DrawState* state) {
    DrawUntextured(*this, [&](D3DInterface& d3d) { d3d.FillRect(&color, state, rect); });
}

void ImageSurface::ClearRect(const Rect& rect) {
    DrawUntextured(*this, [&](D3DInterface& d3d) { d3d.ClearRect(rect); });
}

void ImageSurface::ClearStencil() {
    EnsureDepthStencil();
    DrawUntextured(*this, [&](D3DInterface& d3d) { d3d.ClearStencil(); });
}

void ImageSurface::DrawLine(float x1, float y1, float x2, float y2, const Color& color, const DrawState* state) {
    DrawUntextured(*this, [&](D3DInterface& d3d) {
        SetLineAntialiasing(d3d, false);
        // The third point lights the end pixel.
        d3d.DrawLine(nullptr, &color, state, {x1, y1, x2, y2, x2 + 0.5f, y2 + 0.5f});
    });
}

void ImageSurface::DrawPolyline(const std::vector<float>& points, const FRect* clip, const Color& color,
                                const DrawState* state) {
    DrawUntextured(*this, [&](D3DInterface& d3d) {
        SetLineAntialiasing(d3d, false);
        d3d.DrawLine(clip, &color, state, points);
    });
}

void ImageSurface::DrawLineAA(float x1, float y1, float x2, float y2, const Color& color, const DrawState* state) {
    DrawUntextured(*this, [&](D3DInterface& d3d) {
        SetLineAntialiasing(d3d, true);
        d3d.DrawLine(nullptr, &color, state, {x1, y1, x2, y2});
    });
}

void ImageSurface::FillPolygon(const std::vector<float>& points, const std::vector<uint16_t>& indices, float dx,
                               float dy, const FRect* clip, const Color& color, const DrawState* state) {
    DrawUntextured(*this, [&](D3DInterface& d3d) { d3d.FillPolygon(clip, &color, state, points, indices, dx, dy); });
}

void ImageSurface::DrawImage(ImageSurface* image, float x, float y, const FRect& source, const Color& color,
                             const DrawState* state) {
    if (!image) return;
    DrawInto(*this, image, nullptr, [&](D3DInterface& d3d) { Blt(d3d, image, x, y, source, color, state); });
}

void ImageSurface::DrawImageClipped(ImageSurface* image, float x, float y, const FRect& source, const FRect& clip,
                                    const Color& color, const DrawState* state) {
    if (!image) return;
    if (state && state->matrixSet) {
        // A view matrix moves the quad after clipping could be decided here;
        // the scissor test clips it instead.
        DrawInto(*this, image, nullptr, [&](D3DInterface& d3d) {
            BltTransformed(d3d, image, source, Matrix4(), x + source.w * 0.5f, y + source.h * 0.5f, color, state,
                           &clip);
        });
        return;
    }
    const FRect c = FRect(x, y, source.w, source.h).Intersection(clip);
    if (!(c.w > 0) || !(c.h > 0)) return;
    const FRect cut(source.x + (c.x - x), source.y + (c.y - y), c.w, c.h);
    DrawInto(*this, image, nullptr, [&](D3DInterface& d3d) { Blt(d3d, image, c.x, c.y, cut, color, state); });
}

void ImageSurface::DrawImageTransformed(ImageSurface* image, float x, float y, const Matrix4& matrix, const FRect* clip,
                                        const Color& color, const DrawState* state, const FRect& source) {
    if (!image) return;
    DrawInto(*this, image, nullptr,
             [&](D3DInterface& d3d) { BltTransformed(d3d, image, source, matrix, x, y, color, state, clip); });
}

void ImageSurface::DrawImageMesh(ImageSurface* image, const std::vector<MeshVertex>& vertices,
                                 const std::vector<uint16_t>& indices, float dx, float dy, const Color& color,
                                 const DrawState* state, const FRect* clip) {
    if (!image) return;
    DrawInto(*this, image, nullptr,
             [&](D3DInterface& d3d) { DrawMesh(d3d, image, vertices, indices, dx, dy, color, state, clip); });
}

void ImageSurface::DrawImageMasked(ImageSurface* image, float x, float y, const FRect& source, ImageSurface* mask,
                                   const FRect& maskSource, const Color& color, const DrawState* state) {
    if (!image || !mask) return;
    DrawInto(*this, image, mask,
             [&](D3DInterface& d3d) { BltMasked(d3d, image, mask, x, y, source, maskSource, color, state); });
}

void ImageSurface::DrawImageMaskedClipped(ImageSurface* image, float x, float y, const FRect& source,
                                          ImageSurface* mask, const FRect& maskSource, const FRect& clip,
                                          const Color& color, const DrawState* state) {
    if (!image || !mask) return;
    if (state && state->matrixSet) {
        DrawImageMasked(image, x, y, source, mask, maskSource, color, state);
        return;
    }
    const FRect c = FRect(x, y, source.w, source.h).Intersection(clip);
    if (!(c.w > 0) || !(c.h > 0) || !(source.w > 0) || !(source.h > 0)) return;
    const FRect cut(source.x + (c.x - x), source.y + (c.y - y), c.w, c.h);
    // The mask rectangle is cut in proportion.
    const FRect maskCut(maskSource.x + (c.x - x) * maskSource.w / source.w,
                        maskSource.y + (c.y - y) * maskSource.h / source.h, maskSource.w * c.w / source.w,
                        maskSource.h * c.h / source.h);
    DrawImageMasked(image, c.x, c.y, cut, mask, maskCut, color, state);
}

void ImageSurface::DrawTriangles(ImageSurface* image, const std::vector<QuadBatchItem>& items, const DrawState* state) {
    if (!image) return;
    DrawInto(*this, image, nullptr, [&](D3DInterface& d3d) { DrawTexturedTriangles(d3d, image, items, state); });
}

void ImageSurface::DrawMaskedTriangles(ImageSurface* image, ImageSurface* mask,
                                       const std::vector<MaskedBatchItem>& items, const DrawState* state) {
    if (!image || !mask) return;
    DrawInto(*this, image, mask, [&](D3DInterface& d3d) { ::DrawMaskedTriangles(d3d, image, mask, items, state); });
}

void ImageSurface::DrawImageGridMesh(ImageSurface* image, const GridMeshArgs& args, const FRect* clip,
                                     const Color& color, const DrawState* state) {
    if (!image) return;
    DrawInto(*this, image, nullptr, [&](D3DInterface& d3d) { DrawGridMesh(d3d, image, args, color, state, clip); });
}
