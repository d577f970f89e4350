// Graphics: construction, state, primitive draws and flushing the batch.
#include "rendering/draw/graphics.h"

#include "foundation/values/saturate.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/draw/batch_internal.h"
#include "rendering/font/font.h"
#include "rendering/image/image_render_target.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/quad_rows.h"
#include "rendering/image/texture_tiles.h"

namespace {

// One group of queued quads of `image`, in their order. The device draws an
// image's quads piece by piece: only with one piece are they drawn in their
// order, as the rows below draw them. Text is most of what is queued, a few
// hundred small glyphs a frame, and for them the device's setup of an
// indexed draw costs more than the rows.
void FlushQuads(ImageRenderTarget& destination, ImageSurface* image, const std::vector<QuadBatchItem>& items,
                const DrawState& state) {
    auto* target = dynamic_cast<ImageSurface*>(&destination);
    D3DInterface* d3d = D3DInterface::Instance();
    size_t rowsDrawn = 0;
    // The pieces are brought up to date before they are counted: an image
    // that changed its size since it was last drawn is laid out anew.
    if (target != nullptr && image != nullptr && d3d != nullptr && d3d->GetDevice() != nullptr &&
        PrepareImageTexture(*d3d, image) && image->GetTextures() != nullptr &&
        image->GetTextures()->pieces.size() == 1) {
        // Queued quads were cut to the clip already; the device draws them unclipped.
        const FRect whole(0.0f, 0.0f, static_cast<float>(destination.GetWidth()),
                          static_cast<float>(destination.GetHeight()));
        rowsDrawn = BlendQuadsInPlace(*target, image, items, whole, state);
    }
    if (rowsDrawn == items.size()) return;
    if (rowsDrawn == 0) {
        destination.DrawTriangles(image, items, &state);
        return;
    }
    const std::vector<QuadBatchItem> rest(items.begin() + static_cast<std::ptrdiff_t>(rowsDrawn), items.end());
    destination.DrawTriangles(image, rest, &state);
}

}  // namespace

Graphics::Graphics(ImageRenderTarget* destination)
    : destination_(destination ? destination : &ImageRenderTarget::Default()) {
    state_.clipRect = FRect(0, 0, static_cast<float>(DestinationWidth()), static_cast<float>(DestinationHeight()));
}

Graphics::~Graphics() {
    FlushBatch();
    if (state_.offscreen) SetOffscreen(false);
}

int Graphics::DestinationWidth() const { return destination_->GetWidth(); }
int Graphics::DestinationHeight() const { return destination_->GetHeight(); }

GraphicsBatch& Graphics::Batch() {
    if (!batch_) batch_ = std::make_unique<GraphicsBatch>();
    return *batch_;
}

void Graphics::SetState(const GraphicsState& state) {
    // Queued draws use the stencil, cull, shader and view matrix current at
    // flush time; keep them only while the new state would flush them alike.
    if (state_.batching) {
        const bool keep = state.batching && state.drawState.SameMatrix(state_.drawState) &&
                          state.drawState.shader == state_.drawState.shader;
        if (!keep) FlushBatch();
    }
    if (state.offscreen != state_.offscreen) SetOffscreen(state.offscreen);
    state_ = state;
}

void Graphics::ModulateColor(const Color& c) {
    if (state_.hasModulation) {
        state_.modulation = Color::Multiply(state_.modulation, c);
    } else {
        state_.hasModulation = true;
        state_.modulation = c.Premultiplied();
    }
}

Color Graphics::GetFinalColor(const Color& c) const {
    return state_.hasModulation ? Color::Multiply(c, state_.modulation) : c;
}

Color Graphics::ImageColor() const { return GetFinalColor(state_.colorizeImages ? state_.color : Color::White); }

void Graphics::SetDrawMode(int mode) {
    // Off-screen drawing accumulates additively whatever the widgets ask for.
    if (state_.offscreen) return;
    state_.drawState.mode = mode;
}

void Graphics::SetCulling(uint8_t cull) {
    if (cull != state_.drawState.cull) FlushBatch();
    state_.drawState.cull = cull;
}

void Graphics::SetShader(DeviceShaderProgram* shader) {
    if (shader != state_.drawState.shader) FlushBatch();
    state_.drawState.shader = shader;
}

void Graphics::SetBatching(bool on) {
    if (state_.batching && !on) FlushBatch();
    state_.batching = on;
}

void Graphics::ApplyTransform(const Matrix4& m) {
    FlushBatch();
    DrawState& ds = state_.drawState;
    if (ds.matrixSet) {
        Matrix4::Multiply(ds.matrix, ds.matrix, m);
    } else {
        ds.matrix = m;
        ds.matrixSet = 1;
    }
}

void Graphics::Translate(float dx, float dy) {
    state_.transX += dx;
    state_.transY += dy;
}

void Graphics::SetClipRect(float x, float y, int w, int h) {
    const FRect wanted(state_.transX + x, state_.transY + y, static_cast<float>(w), static_cast<float>(h));
    state_.clipRect = wanted.Intersection(
        FRect(0, 0, static_cast<float>(DestinationWidth()), static_cast<float>(DestinationHeight())));
}

void Graphics::ClipRect(float x, float y, int w, int h) {
    state_.clipRect = state_.clipRect.Intersection(
        FRect(state_.transX + x, state_.transY + y, static_cast<float>(w), static_cast<float>(h)));
}

Rect Graphics::ClippedIntRect(int x, int y, int w, int h) const {
    const FRect& c = state_.clipRect;
    const Rect clip(SaturateCast(c.x), SaturateCast(c.y), SaturateCast(c.w), SaturateCast(c.h));
    return Rect(SaturateCast(state_.transX + static_cast<float>(x)),
                SaturateCast(state_.transY + static_cast<float>(y)), w, h)
        .Intersection(clip);
}

void Graphics::ClearRect(int x, int y, int w, int h) { destination_->ClearRect(ClippedIntRect(x, y, w, h)); }

void Graphics::FillRect(int x, int y, int w, int h) {
    destination_->FillRect(ClippedIntRect(x, y, w, h), GetFinalColor(state_.color), &state_.drawState);
}

void Graphics::DrawRect(int w, int h) {
    const float r = static_cast<float>(w - 1), b = static_cast<float>(h - 1);
    DrawPolyline({0, 0, r, 0, r, b, 0, b, 0, 0});
}

void Graphics::DrawPolyline(const std::vector<float>& points) {
    std::vector<float> moved(points);
    for (size_t i = 0; i + 1 < moved.size(); i += 2) {
        moved[i] += state_.transX;
        moved[i + 1] += state_.transY;
    }
    destination_->DrawPolyline(moved, &state_.clipRect, GetFinalColor(state_.color), &state_.drawState);
}

void Graphics::DrawString(const std::wstring& text, int x, int y) {
    if (!state_.font) return;
    state_.font->DrawString(*this, static_cast<float>(x), static_cast<float>(y), text, GetFinalColor(state_.color),
                            state_.clipRect);
}

void Graphics::FlushBatch() {
    if (!batch_ || batch_->Empty()) return;
    const int savedMode = state_.drawState.mode;
    for (const auto& [order, modes] : batch_->Orders()) {
        for (const auto& [mode, images] : modes) {
            state_.drawState.mode = mode;
            for (const auto& [image, entry] : images) {
                if (!entry.plain.empty()) FlushQuads(*destination_, image, entry.plain, state_.drawState);
                for (const auto& [mask, records] : entry.masked)
                    destination_->DrawMaskedTriangles(image, mask, records, &state_.drawState);
            }
        }
    }
    batch_->Clear();
    state_.drawState.mode = savedMode;
}
