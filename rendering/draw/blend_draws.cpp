// Graphics: draws whose draw mode is composed by a blend shader reading the
// destination's own pixels, which are first copied to a scratch target and
// handed to the shader as the second texture.
#include <algorithm>
#include <memory>
#include <mutex>

#include "foundation/values/saturate.h"
#include "foundation/values/transform.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/draw/graphics.h"
#include "rendering/draw/scratch_internal.h"
#include "rendering/image/image.h"
#include "rendering/image/image_surface.h"

namespace {

// Never shrinks: the draws use only the top-left part they need. False when
// the size is beyond what an image may be.
bool EnsureSize(ImageSurface& surface, int w, int h) {
    if (surface.width >= w && surface.height >= h) return true;
    return surface.Create(std::max(w, surface.width), std::max(h, surface.height));
}

// The device's shader for the context's draw mode; null without a device or
// when the mode has none.
DeviceShaderProgram* FindBlendShader(int drawMode) {
    D3DInterface* d3d = D3DInterface::Instance();
    return d3d ? d3d->GetBlendShaders().Find(drawMode) : nullptr;
}

}  // namespace

ImageSurface* BlendScratchTarget(D3DInterface& d3d, int index, int w, int h) {
    auto* surface = dynamic_cast<ImageSurface*>(d3d.GetScratchRenderTarget(index));
    if (!surface) {
        auto made = std::make_unique<ImageSurface>(true);
        surface = made.get();
        d3d.SetScratchRenderTarget(index, std::move(made));
    }
    return EnsureSize(*surface, w, h) ? surface : nullptr;
}

void Graphics::DrawToScratch(Image* image, int cel, const FRect& source, float x, float y) {
    if (!image) return;
    DeviceShaderProgram* shader = FindBlendShader(state_.drawState.mode);
    if (!shader) return;
    if (state_.drawState.matrixSet) {
        Transform fresh;
        DrawViaScratch(image, &fresh, source, x, y, cel);
        return;
    }
    x += state_.transX;
    y += state_.transY;
    FRect src = source;
    ImageSurface* surface = image->ResolveCel(cel, &x, &y, &src, nullptr);
    auto* destination = dynamic_cast<ImageSurface*>(destination_);
    D3DInterface* d3d = D3DInterface::Instance();
    const int w = SaturateCast(src.w), h = SaturateCast(src.h);
    if (!surface || !destination || !d3d || w <= 0 || h <= 0) return;
    // The shader reads what is already drawn, queued draws included.
    FlushBatch();
    std::lock_guard lock(d3d->GetDeviceLock());
    ImageSurface* background = BlendScratchTarget(*d3d, 0, w, h);
    if (!background) return;
    {
        Graphics copy(background);
        copy.SetDrawMode(kDrawOpaque);
        copy.DrawImageCore(
            destination, -x, -y,
            FRect(0, 0, static_cast<float>(destination->width), static_cast<float>(destination->height)));
    }
    DrawState blend = state_.drawState;
    blend.mode = kDrawOpaque;
    blend.shader = shader;
    destination_->DrawImageMaskedClipped(surface, x, y, src, background, FRect(0, 0, src.w, src.h), state_.clipRect,
                                         ImageColor(), &blend);
}

void Graphics::DrawViaScratch(Image* image, Transform* transform, const FRect& source, float x, float y, int cel) {
    if (!image || !transform) return;
    DeviceShaderProgram* shader = FindBlendShader(state_.drawState.mode);
    auto* destination = dynamic_cast<ImageSurface*>(destination_);
    D3DInterface* d3d = D3DInterface::Instance();
    const FRect clip = state_.clipRect;
    const int w = SaturateCast(clip.w), h = SaturateCast(clip.h);
    if (!shader || !destination || !d3d || w <= 0 || h <= 0) return;
    FlushBatch();
    std::lock_guard lock(d3d->GetDeviceLock());
    ImageSurface* drawn = BlendScratchTarget(*d3d, 0, w, h);
    ImageSurface* background = BlendScratchTarget(*d3d, 1, w, h);
    if (!drawn || !background) return;
    drawn->Clear();
    const FRect area(0, 0, static_cast<float>(w), static_cast<float>(h));
    {
        // The image as this context would draw it, moved so that the clip's
        // corner lands on the scratch's origin. The tint is applied once,
        // when the scratch is composed.
        Graphics copy(drawn);
        GraphicsState s = state_;
        s.offscreen = false;
        s.batching = false;
        s.clipRect = area;
        s.colorizeImages = false;
        s.hasModulation = false;
        s.drawState.mode = kDrawOpaque;
        copy.SetState(s);
        copy.DrawImageTransformRect(image, transform, source, x - clip.x, y - clip.y, cel);
    }
    {
        Graphics copy(background);
        copy.SetClipRectR(Rect(0, 0, w, h));
        copy.SetDrawMode(kDrawOpaque);
        copy.DrawImage(destination, -clip.x, -clip.y, 0,
                       FRect(0, 0, static_cast<float>(destination->GetCelWidth()),
                             static_cast<float>(destination->GetCelHeight())));
    }
    DrawState blend;
    blend.mode = kDrawOpaque;
    blend.shader = shader;
    destination_->DrawImageMasked(drawn, clip.x, clip.y, area, background, area, ImageColor(), &blend);
}
