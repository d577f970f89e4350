// Graphics: image draws, plain, transformed, meshed and masked, drawn at
// once or queued into the batch.
#include <array>

#include "foundation/values/transform.h"
#include "rendering/draw/batch_internal.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image.h"
#include "rendering/image/image_surface.h"

namespace {

bool SameSize(const FRect& a, const FRect& b) { return a.w == b.w && a.h == b.h; }

// No z terms: the matrix maps the quad's plane onto itself.
bool Is2D(const Matrix4& m) {
    return m[2] == 0 && m[6] == 0 && m[8] == 0 && m[9] == 0 && m[11] == 0 && m[14] == 0 && m[10] == 1;
}

}  // namespace

void Graphics::DrawImage(Image* image, float x, float y, int cel, const FRect& source) {
    if (!image) return;
    FRect src = source;
    ImageSurface* surface = image->ResolveCel(cel, &x, &y, &src, nullptr);
    if (!surface) return;
    DrawImageCore(surface, x, y, src);
}

void Graphics::DrawImageCore(ImageSurface* surface, float x, float y, const FRect& source) {
    if (!surface) return;
    x += state_.transX;
    y += state_.transY;
    const Color color = ImageColor();
    if (!state_.batching) {
        destination_->DrawImageClipped(surface, x, y, source, state_.clipRect, color, &state_.drawState);
        return;
    }
    QuadBatchItem item;
    item.pureTranslation = 1;
    item.color = color;
    const FRect c = FRect(x, y, source.w, source.h).Intersection(state_.clipRect);
    if (!SameSize(c, source) && !state_.drawState.matrixSet) {
        if (c.w == 0 || c.h == 0) return;
        item.x = c.x;
        item.y = c.y;
        item.source = FRect(source.x + (c.x - x), source.y + (c.y - y), c.w, c.h);
    } else {
        // With a view matrix the device does the clipping.
        item.x = x;
        item.y = y;
        item.source = source;
    }
    Batch().At(state_.drawOrder, state_.drawState.mode, surface).plain.push_back(item);
}

bool Graphics::DrawImageRows(Image* image, float x, float y, const FRect& source) {
    auto* target = dynamic_cast<ImageSurface*>(destination_);
    if (!image || !target) return false;
    FRect src = source;
    ImageSurface* surface = image->ResolveCel(0, &x, &y, &src, nullptr);
    if (!surface) return false;
    // What was queued lies beneath this draw.
    FlushBatch();
    return target->BlendRowsInPlace(surface, x + state_.transX, y + state_.transY, src, state_.clipRect, ImageColor(),
                                    state_.drawState);
}

void Graphics::DrawImageWhole(Image* image, float x, float y) {
    if (!image) return;
    if (image->rows * image->cols == 1) {
        DrawImage(image, x, y, 0,
                  FRect(0, 0, static_cast<float>(image->GetCelWidth()), static_cast<float>(image->GetCelHeight())));
        return;
    }
    ImageSurface* surface = image->GetSurface();
    if (!surface) return;
    DrawImageCore(surface, x, y, FRect(0, 0, static_cast<float>(surface->width), static_cast<float>(surface->height)));
}

void Graphics::DrawImageTransform(Image* image, Transform* transform, const FRect& source, float x, float y, int cel) {
    if (!image || !transform) return;
    if (!transform->isTranslation) {
        DrawImageMatrix(transform->GetMatrix(), image, x, y, source, cel);
        return;
    }
    DrawImage(image, transform->tx - source.w * 0.5f + x, transform->ty - source.h * 0.5f + y, cel, source);
}

void Graphics::DrawImageTransformFull(Image* image, Transform* transform, float x, float y, int cel) {
    if (!image) return;
    const FRect source(0, 0, static_cast<float>(image->GetCelWidth()), static_cast<float>(image->GetCelHeight()));
    DrawImageTransform(image, transform, source, x, y, cel);
}

void Graphics::DrawImageStretched(Image* image, const FRect& destination, const FRect& source) {
    // An empty source has no scale that maps it onto the destination.
    if (!image || source.w <= 0 || source.h <= 0) return;
    Transform t;
    t.Scale(destination.w / source.w, destination.h / source.h);
    DrawImageTransformRect(image, &t, source, destination.x + destination.w * 0.5f,
                           destination.y + destination.h * 0.5f, 0);
}

void Graphics::DrawImageScaled(Image* image, float x, float y, float w, float h, int cel) {
    if (!image || image->GetCelWidth() <= 0 || image->GetCelHeight() <= 0) return;
    Transform t;
    t.Scale(w / static_cast<float>(image->GetCelWidth()), h / static_cast<float>(image->GetCelHeight()));
    DrawImageTransformFull(image, &t, x + w * 0.5f, y + h * 0.5f, cel);
}

bool Graphics::QueueMatrixDraw(ImageSurface* surface, float x, float y, const FRect& source, const Matrix4& matrix) {
    const FRect& clip = state_.clipRect;
    const bool wholeTarget =
        clip == FRect(0, 0, static_cast<float>(DestinationWidth()), static_cast<float>(DestinationHeight()));
    if (!wholeTarget) {
        // Transformed quads are not cut on the CPU: queue only those the
        // partial clip leaves whole.
        if (!Is2D(matrix)) return false;
        const float hw = source.w * 0.5f, hh = source.h * 0.5f;
        const std::array<std::array<float, 2>, 4> corners{{{-hw, -hh}, {hw, -hh}, {-hw, hh}, {hw, hh}}};
        for (const auto& corner : corners) {
            const float v[4] = {corner[0], corner[1], 0.0f, 1.0f};
            float p[4];
            matrix.TransformVector4(p, v);
            if (!clip.Contains(p[0] - 0.5f + x, p[1] - 0.5f + y)) return false;
        }
    }
    QuadBatchItem item;
    item.pureTranslation = 0;
    item.x = x;
    item.y = y;
    item.source = source;
    item.matrix = matrix;
    item.color = ImageColor();
    Batch().At(state_.drawOrder, state_.drawState.mode, surface).plain.push_back(item);
    return true;
}

void Graphics::DrawImageMatrix(const Matrix4& matrix, Image* image, float x, float y, const FRect& source, int cel) {
    if (!image) return;
    Matrix4 m = matrix;
    FRect src = source;
    ImageSurface* surface = image->ResolveCel(cel, nullptr, nullptr, &src, &m);
    if (!surface) return;
    x += state_.transX;
    y += state_.transY;
    if (state_.batching) {
        if (QueueMatrixDraw(surface, x, y, src, m)) return;
        FlushBatch();
    }
    destination_->DrawImageTransformed(surface, x, y, m, &state_.clipRect, ImageColor(), &state_.drawState, src);
}

void Graphics::DrawImageTransformCel(Image* image, int cel, int meshCols, int meshRows, Transform* transform, float x,
                                     float y, const FRect& source) {
    if (!image || !transform) return;
    GridMeshArgs args;
    args.matrix = transform->GetMatrix();
    args.source = source;
    ImageSurface* surface = image->ResolveCel(cel, nullptr, nullptr, &args.source, &args.matrix);
    if (!surface) return;
    args.cols = meshCols;
    args.rows = meshRows;
    args.x = state_.transX + x;
    args.y = state_.transY + y;
    destination_->DrawImageGridMesh(surface, args, &state_.clipRect, ImageColor(), &state_.drawState);
}

void Graphics::DrawImageMasked(float x, float y, Image* image, int cel, const FRect& source, Image* mask, int maskCel,
                               const FRect& maskSource) {
    if (!image || !mask || source.w <= 0 || source.h <= 0 || maskSource.w <= 0 || maskSource.h <= 0) return;
    x += state_.transX;
    y += state_.transY;

    FRect src = source, msrc = maskSource;
    float dx = 0, dy = 0;
    ImageSurface* surface = image->ResolveCel(cel, &dx, &dy, &src, nullptr);
    if (!surface) return;
    if (!SameSize(src, source)) {
        if (src.w <= 0 || src.h <= 0) return;
        x += dx;
        y += dy;
        const float sx = maskSource.w / source.w, sy = maskSource.h / source.h;
        msrc.x += dx * sx;
        msrc.y += dy * sy;
        msrc.w = src.w * sx;
        msrc.h = src.h * sy;
    }

    const FRect maskAsked = msrc;
    float mdx = 0, mdy = 0;
    ImageSurface* maskSurface = mask->ResolveCel(maskCel, &mdx, &mdy, &msrc, nullptr);
    if (!maskSurface) return;
    if (!SameSize(msrc, maskAsked)) {
        if (msrc.w <= 0 || msrc.h <= 0) return;
        const float sx = src.w / maskAsked.w, sy = src.h / maskAsked.h;
        x += mdx * sx;
        y += mdy * sy;
        src.x += mdx * sx;
        src.y += mdy * sy;
        src.w = msrc.w * sx;
        src.h = msrc.h * sy;
    }

    if (!state_.batching) {
        destination_->DrawImageMaskedClipped(surface, x, y, src, maskSurface, msrc, state_.clipRect, ImageColor(),
                                             &state_.drawState);
        return;
    }
    QueueMaskedDraw(surface, x, y, src, maskSurface, msrc);
}

void Graphics::QueueMaskedDraw(ImageSurface* surface, float x, float y, const FRect& source, ImageSurface* mask,
                               const FRect& maskSource) {
    MaskedBatchItem item;
    item.x = x;
    item.y = y;
    item.source = source;
    item.maskSource = maskSource;
    item.color = ImageColor();
    if (!state_.drawState.matrixSet) {
        const FRect c = FRect(x, y, source.w, source.h).Intersection(state_.clipRect);
        if (c.w == 0 || c.h == 0) return;
        if (!SameSize(c, source)) {
            const float sx = maskSource.w / source.w, sy = maskSource.h / source.h;
            item.x = c.x;
            item.y = c.y;
            item.source = FRect(source.x + (c.x - x), source.y + (c.y - y), c.w, c.h);
            item.maskSource = FRect(maskSource.x + (c.x - x) * sx, maskSource.y + (c.y - y) * sy, c.w * sx, c.h * sy);
        }
    }
    Batch().At(state_.drawOrder, state_.drawState.mode, surface).masked[mask].push_back(item);
}
