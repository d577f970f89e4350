// ImageSurface: an unscaled, axis-aligned image blended straight into this
// target's pixels, which the software device keeps in memory. It reads the
// very texels the device would sample and blends them with the device's own
// row routine, so the pixels are those of the device's rectangle path; what
// it saves is the per-draw state setup, vertex transform and quad matching.
#include <algorithm>
#include <cmath>
#include <mutex>

#include "platform/gfx/span.h"
#include "platform/gfx/span_modulate.h"
#include "platform/gfx/span_over.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/quad_rows.h"
#include "rendering/image/texture_tiles.h"

namespace {

// Whole numbers well inside the int range: every sum below stays exact.
// A whole number of that size is its own truncation, which the conversion
// gives without a call to the library's floor.
constexpr float kPixelLimit = static_cast<float>(1 << 28);
bool Whole(float v) { return std::fabs(v) < kPixelLimit && v == static_cast<float>(static_cast<int32_t>(v)); }

// The blend the device sets up for premultiplied images under the normal mode.
plat::BlendSetup OverSetup() {
    plat::BlendSetup b;
    b.enabled = true;
    b.src = b.srcAlpha = plat::Blend::One;
    b.dst = b.dstAlpha = plat::Blend::InvSrcAlpha;
    return b;
}

constexpr int kChunk = 128;

// The blend of several narrow rows a fixed distance apart at a call, where
// the processor has one: a glyph's rows are a few dozen pixels wide, and one
// call a row cost about as much as its blend.
plat::OverStridedFn NarrowOverRows() { return plat::CpuHasAvx2() ? plat::ChooseOverStrided() : nullptr; }

// `rows` rows of `width` (at most kOverRowsPixels) texels, a texel pitch
// apart, over target rows a pitch apart, each first modulated by `colour`
// when given (a row of the colour at least `width` long), as the device's
// texture stage does: the over blend of each row as the one-row blend gives it.
void BlendNarrowRows(plat::OverStridedFn overRows, const uint32_t* texels, size_t texelPitch, uint32_t* dst,
                     size_t pitch, int width, int rows, const uint32_t* colour) {
    const auto stride = static_cast<ptrdiff_t>(pitch);
    if (!colour) {
        overRows(texels, static_cast<ptrdiff_t>(texelPitch), dst, stride, width, rows);
        return;
    }
    constexpr int kBatch = 32;
    uint32_t shaded[kBatch][plat::kOverRowsPixels];
    for (int done = 0; done < rows;) {
        const int n = std::min(kBatch, rows - done);
        for (int r = 0; r < n; ++r, texels += texelPitch) plat::ModulateRow(texels, colour, shaded[r], width);
        overRows(shaded[0], plat::kOverRowsPixels, dst, stride, width, n);
        dst += pitch * static_cast<size_t>(n);
        done += n;
    }
}

}  // namespace

namespace {

enum class RowsDraw {
    kDevice,   // only the device's draw gives its pixels
    kNothing,  // an empty source: the device draws nothing either (a space's glyph)
    kRows,
};

// What the draw's own numbers say: the image, state, places and clip.
RowsDraw RowsDrawOf(const ImageSurface* image, float x, float y, const FRect& source, const FRect& clip,
                    const DrawState& state) {
    if (!image || !image->premultiplied || (image->GetFlags() & kTexPerCel)) return RowsDraw::kDevice;
    if (state.mode != kDrawNormal || state.stencilTest != 0 || state.cull != 0 || state.shader || state.matrixSet)
        return RowsDraw::kDevice;
    if (!(source.w > 0) || !(source.h > 0)) return RowsDraw::kNothing;
    if (!Whole(x) || !Whole(y) || !Whole(source.x) || !Whole(source.y) || !Whole(source.w) || !Whole(source.h))
        return RowsDraw::kDevice;
    if (!Whole(clip.x) || !Whole(clip.y) || !Whole(clip.x + clip.w) || !Whole(clip.y + clip.h))
        return RowsDraw::kDevice;
    return RowsDraw::kRows;
}

// The image's textures brought up to date and the target bound, under the
// lock the caller holds from `d3d`: the target's 32-bit pixels in memory, or
// null.
plat::Surface* BeginRows(D3DInterface& d3d, ImageSurface& target, ImageSurface* image) {
    if (!PrepareImageTexture(d3d, image)) return nullptr;
    plat::Surface* surface = target.GetD3DSurface();
    if (!surface || surface->GetFormat() != plat::Format::A8R8G8B8 || surface->IsLocked() || !target.BindRenderTarget())
        return nullptr;
    return surface;
}

// One draw's rows blended into `surface`, the target's, after BeginRows;
// false, nothing drawn, where its source is not within one texture piece.
bool BlendSourceRows(const ImageSurface& target, plat::Surface* surface, ImageSurface* image, float x, float y,
                     const FRect& source, const FRect& clip, const Color& color) {
    // The one texture piece that holds the whole source, at its own size.
    const TexturePieces* pieces = image->GetTextures();
    if (!pieces || pieces->pieces.empty() || pieces->format == plat::Format::Unknown || pieces->pieceWidth <= 0 ||
        pieces->pieceHeight <= 0)
        return false;
    const int sx = static_cast<int>(source.x) - pieces->region.x, sy = static_cast<int>(source.y) - pieces->region.y;
    const int sw = static_cast<int>(source.w), sh = static_cast<int>(source.h);
    if (sx < 0 || sy < 0 || sx + sw > pieces->region.w || sy + sh > pieces->region.h) return false;
    const int col = sx / pieces->pieceWidth, row = sy / pieces->pieceHeight;
    if (col >= pieces->cols || row >= pieces->rows) return false;
    const size_t index = static_cast<size_t>(row) * static_cast<size_t>(pieces->cols) + static_cast<size_t>(col);
    if (index >= pieces->pieces.size()) return false;
    const TexturePiece& piece = pieces->pieces[index];
    const int tx = sx - col * pieces->pieceWidth, ty = sy - row * pieces->pieceHeight;
    if (!piece.texture || tx + sw > piece.width || ty + sh > piece.height) return false;
    const plat::TextureView view = piece.texture->Level0()->View();
    if (!view.pixels || tx + sw > view.width || ty + sh > view.height) return false;

    // The pixels the device would fill: the quad inside the viewport, the
    // surface and the scissor.
    const int left = std::max({static_cast<int>(x), static_cast<int>(clip.x), 0});
    const int top = std::max({static_cast<int>(y), static_cast<int>(clip.y), 0});
    const int right =
        std::min({static_cast<int>(x) + sw, static_cast<int>(clip.x + clip.w), target.sourceWidth, surface->Width()});
    const int bottom =
        std::min({static_cast<int>(y) + sh, static_cast<int>(clip.y + clip.h), target.sourceHeight, surface->Height()});
    if (right > left && bottom > top) {
        static const plat::BlendSetup kOver = OverSetup();
        static const plat::BlendSpanFn blend = plat::ChooseBlend(kOver);
        const uint32_t argb = color.ToPremultipliedARGB();
        const int width = right - left;
        const int texX = tx + (left - static_cast<int>(x));
        // The draw's colour as a row, for the texture stage's modulation.
        uint32_t colour[kChunk];
        if (argb != 0xFFFFFFFFu) std::fill_n(colour, std::min(kChunk, width), argb);
        const uint32_t* const firstTexels = view.pixels +
                                            static_cast<size_t>(ty + (top - static_cast<int>(y))) * view.pitch +
                                            static_cast<size_t>(texX);
        static const plat::OverStridedFn overRows = NarrowOverRows();
        if (overRows && width <= plat::kOverRowsPixels) {
            BlendNarrowRows(overRows, firstTexels, view.pitch, reinterpret_cast<uint32_t*>(surface->Row(top)) + left,
                            static_cast<size_t>(surface->Pitch()) / sizeof(uint32_t), width, bottom - top,
                            argb == 0xFFFFFFFFu ? nullptr : colour);
            surface->Touch(top, bottom);
            return true;
        }
        for (int py = top; py < bottom; ++py) {
            const uint32_t* texels = view.pixels + static_cast<size_t>(ty + (py - static_cast<int>(y))) * view.pitch +
                                     static_cast<size_t>(texX);
            uint32_t* dst = reinterpret_cast<uint32_t*>(surface->Row(py)) + left;
            if (argb == 0xFFFFFFFFu) {
                blend(kOver, texels, nullptr, dst, width);
                continue;
            }
            // The texture stage's modulation, then the blend, a chunk at a time.
            uint32_t shaded[kChunk];
            for (int at = 0; at < width; at += kChunk) {
                const int n = std::min(kChunk, width - at);
                plat::ModulateRow(texels + at, colour, shaded, n);
                blend(kOver, shaded, nullptr, dst + at, n);
            }
        }
        surface->Touch(top, bottom);
    }
    return true;
}

}  // namespace

bool ImageSurface::BlendRowsInPlace(ImageSurface* image, float x, float y, const FRect& source, const FRect& clip,
                                    const Color& color, const DrawState& state) {
    const RowsDraw kind = RowsDrawOf(image, x, y, source, clip, state);
    if (kind != RowsDraw::kRows) return kind == RowsDraw::kNothing;
    D3DInterface* d3d = D3DInterface::Instance();
    if (!d3d || !d3d->GetDevice()) return false;
    std::lock_guard lock(d3d->GetDeviceLock());
    plat::Surface* surface = BeginRows(*d3d, *this, image);
    if (!surface || !BlendSourceRows(*this, surface, image, x, y, source, clip, color)) return false;
    SetTargetNewer();
    return true;
}

size_t BlendQuadsInPlace(ImageSurface& target, ImageSurface* image, std::span<const QuadBatchItem> items,
                         const FRect& clip, const DrawState& state) {
    size_t done = 0;
    // An image drawn into itself has its textures made again from each quad's
    // pixels, as each of its own draws would.
    if (image == &target) {
        for (const QuadBatchItem& item : items) {
            if (!item.pureTranslation ||
                !target.BlendRowsInPlace(image, item.x, item.y, item.source, clip, item.color, state))
                break;
            ++done;
        }
        return done;
    }
    D3DInterface* d3d = D3DInterface::Instance();
    if (!d3d || !d3d->GetDevice()) return 0;
    std::lock_guard lock(d3d->GetDeviceLock());
    // Begun at the first quad the rows take, as BlendRowsInPlace begins each.
    plat::Surface* surface = nullptr;
    bool drawn = false;
    for (const QuadBatchItem& item : items) {
        if (!item.pureTranslation) break;
        const RowsDraw kind = RowsDrawOf(image, item.x, item.y, item.source, clip, state);
        if (kind == RowsDraw::kDevice) break;
        if (kind == RowsDraw::kRows) {
            if (!surface && !(surface = BeginRows(*d3d, target, image))) break;
            if (!BlendSourceRows(target, surface, image, item.x, item.y, item.source, clip, item.color)) break;
            drawn = true;
        }
        ++done;
    }
    if (drawn) target.SetTargetNewer();
    return done;
}
