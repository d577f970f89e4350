// Single-quad blitters: at a point, through a matrix, and masked.
#include "rendering/image/blitters.h"

#include <cmath>
#include <mutex>

#include "foundation/values/saturate.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/blit_internal.h"
#include "rendering/image/image_surface.h"

bool GetPieceAt(const TexturePieces& pieces, float x, float y, float width, float height, PiecePart* part) {
    if (pieces.pieceWidth <= 0 || pieces.pieceHeight <= 0) return false;
    const float lx = x - static_cast<float>(pieces.region.x), ly = y - static_cast<float>(pieces.region.y);
    if (!(lx >= 0) || !(ly >= 0)) return false;
    const int col = SaturateCast(lx / static_cast<float>(pieces.pieceWidth));
    const int row = SaturateCast(ly / static_cast<float>(pieces.pieceHeight));
    // A column past the grid must not wrap into the next row's pieces.
    if (col < 0 || row < 0 || col >= pieces.cols || row >= pieces.rows) return false;
    const int index = row * pieces.cols + col;
    if (index >= static_cast<int>(pieces.pieces.size())) return false;
    const TexturePiece& piece = pieces.pieces[static_cast<size_t>(index)];
    const float texW = static_cast<float>(piece.width), texH = static_cast<float>(piece.height);
    const float fx = lx - static_cast<float>(col * pieces.pieceWidth);
    const float fy = ly - static_cast<float>(row * pieces.pieceHeight);
    const float x2 = std::min(fx + width, texW), y2 = std::min(fy + height, texH);
    part->texture = piece.texture;
    part->index = index;
    part->width = x2 - fx;
    part->height = y2 - fy;
    part->s1 = fx / texW;
    part->t1 = fy / texH;
    part->s2 = x2 / texW;
    part->t2 = y2 / texH;
    return part->texture != nullptr;
}

bool HasPieces(ImageSurface* image) {
    const TexturePieces* pieces = image ? image->GetTextures() : nullptr;
    return pieces && !pieces->pieces.empty() && pieces->format != plat::Format::Unknown;
}

TexturePieces* BeginTexturedDraw(D3DInterface& d3d, ImageSurface* image, int drawKind, const DrawState* state,
                                 const FRect* clip) {
    static const DrawState kDefaultState;
    if (!HasPieces(image) ||
        !d3d.BeginTexturedDraw(drawKind, image->premultiplied, state ? *state : kDefaultState, clip))
        return nullptr;
    return image->GetTextures();
}

namespace {

// Per-cel textures hold one cel: load the one the source starts in.
bool LoadCelFor(D3DInterface& d3d, ImageSurface* image, const FRect& source) {
    if (!(image->GetFlags() & kTexPerCel)) return true;
    return CreateTexturePieces(image->GetTextures(), image, d3d, &source);
}

void DrawStrip(D3DInterface& d3d, const void* vertices, uint32_t stride, const char* name) {
    d3d.CheckResult(name, d3d.GetDevice()->DrawPrimitiveUP(plat::PrimitiveType::TriangleStrip, 2, vertices, stride));
}

}  // namespace

void Blt(D3DInterface& d3d, ImageSurface* image, float x, float y, const FRect& source, const Color& color,
         const DrawState* state) {
    std::lock_guard lock(d3d.GetDeviceLock());
    if (!(source.w > 0) || !(source.h > 0)) return;
    TexturePieces* pieces = BeginTexturedDraw(d3d, image, kDrawKindBlit, state, nullptr);
    if (!pieces || !LoadCelFor(d3d, image, source)) return;
    const uint32_t argb = color.ToPremultipliedARGB();
    WalkSource(*pieces, source, [&](float px, float py, const PiecePart& p) {
        DeviceVertex quad[4];
        PartQuad(p, argb, x + (px - source.x) - 0.5f, y + (py - source.y) - 0.5f, quad);
        d3d.CheckResult("SetTexture", d3d.GetDevice()->SetTexture(0, p.texture));
        DrawStrip(d3d, quad, sizeof(DeviceVertex), "DrawPrimitive (Tri)");
    });
}

void TransformCorner(const Matrix4& matrix, float cx, float cy, float x, float y, DeviceVertex* out) {
    const float in[4] = {cx, cy, 0.0f, 1.0f};
    float p[4];
    matrix.TransformVector4(p, in);
    out->x = p[0] + x - 0.5f;
    out->y = p[1] + y - 0.5f;
    out->z = p[2];
}

void BltTransformed(D3DInterface& d3d, ImageSurface* image, const FRect& source, const Matrix4& matrix, float x,
                    float y, const Color& color, const DrawState* state, const FRect* clip) {
    std::lock_guard lock(d3d.GetDeviceLock());
    if (!(source.w > 0) || !(source.h > 0)) return;
    TexturePieces* pieces = BeginTexturedDraw(d3d, image, kDrawKindBlit, state, clip);
    if (!pieces || !LoadCelFor(d3d, image, source)) return;
    const uint32_t argb = color.ToPremultipliedARGB();
    // Corners are relative to the centre of the whole source rectangle, so a
    // clipped source keeps its place.
    const float ox = source.x + source.w * 0.5f, oy = source.y + source.h * 0.5f;
    WalkSource(*pieces, source, [&](float px, float py, const PiecePart& p) {
        DeviceVertex quad[4];
        PartQuad(p, argb, 0, 0, quad);
        TransformQuad(matrix, px - ox, py - oy, p.width, p.height, x, y, quad);
        d3d.CheckResult("SetTexture gTexture", d3d.GetDevice()->SetTexture(0, p.texture));
        DrawStrip(d3d, quad, sizeof(DeviceVertex), "DrawPrimitive (Tri) 3");
    });
}

void TransformQuad(const Matrix4& matrix, float l, float t, float w, float h, float x, float y, DeviceVertex quad[4]) {
    TransformCorner(matrix, l, t, x, y, &quad[0]);
    TransformCorner(matrix, l, t + h, x, y, &quad[1]);
    TransformCorner(matrix, l + w, t, x, y, &quad[2]);
    TransformCorner(matrix, l + w, t + h, x, y, &quad[3]);
}

// The mask's texture and coordinates for a mask rectangle: origin and
// extent in texture coordinates; false when no single piece holds it.
bool MaskCoordinates(const TexturePieces& mask, const FRect& rect, plat::Texture** texture, float out[4]) {
    if (mask.pieces.size() == 1) {
        const TexturePiece& piece = mask.pieces[0];
        const float w = static_cast<float>(piece.width), h = static_cast<float>(piece.height);
        *texture = piece.texture;
        out[0] = (rect.x - static_cast<float>(mask.region.x)) / w;
        out[1] = (rect.y - static_cast<float>(mask.region.y)) / h;
        out[2] = rect.w / w;
        out[3] = rect.h / h;
        return piece.texture != nullptr;
    }
    PiecePart p;
    if (!GetPieceAt(mask, rect.x, rect.y, rect.w, rect.h, &p) || p.width < rect.w || p.height < rect.h) return false;
    *texture = p.texture;
    out[0] = p.s1;
    out[1] = p.t1;
    out[2] = p.s2 - p.s1;
    out[3] = p.t2 - p.t1;
    return true;
}

void RestoreSingleTexture(D3DInterface& d3d) {
    d3d.GetDevice()->SetFVF(kFvfSingleTexture);
    d3d.GetDevice()->SetTexture(1, nullptr);
}

void BltMasked(D3DInterface& d3d, ImageSurface* image, ImageSurface* mask, float x, float y, const FRect& source,
               const FRect& maskSource, const Color& color, const DrawState* state) {
    std::lock_guard lock(d3d.GetDeviceLock());
    if (!(source.w > 0) || !(source.h > 0) || !HasPieces(mask)) return;
    TexturePieces* pieces = BeginTexturedDraw(d3d, image, kDrawKindMaskedBlit, state, nullptr);
    if (!pieces || !LoadCelFor(d3d, image, source) || !LoadCelFor(d3d, mask, maskSource)) return;
    plat::Texture* maskTexture = nullptr;
    float m[4];
    if (!MaskCoordinates(*mask->GetTextures(), maskSource, &maskTexture, m)) return;
    plat::Device* device = d3d.GetDevice();
    device->SetFVF(kFvfTwoTexture);
    d3d.CheckResult("SetTexture", device->SetTexture(1, maskTexture));
    const uint32_t argb = color.ToPremultipliedARGB();
    WalkSource(*pieces, source, [&](float px, float py, const PiecePart& p) {
        const float ms1 = m[0] + m[2] * (px - source.x) / source.w;
        const float ms2 = m[0] + m[2] * (px + p.width - source.x) / source.w;
        const float mt1 = m[1] + m[3] * (py - source.y) / source.h;
        const float mt2 = m[1] + m[3] * (py + p.height - source.y) / source.h;
        const float dx = x + (px - source.x) - 0.5f, dy = y + (py - source.y) - 0.5f;
        const TwoTextureVertex quad[4] = {{dx, dy, 0, argb, p.s1, p.t1, ms1, mt1},
                                          {dx, dy + p.height, 0, argb, p.s1, p.t2, ms1, mt2},
                                          {dx + p.width, dy, 0, argb, p.s2, p.t1, ms2, mt1},
                                          {dx + p.width, dy + p.height, 0, argb, p.s2, p.t2, ms2, mt2}};
        d3d.CheckResult("SetTexture gTexture", device->SetTexture(0, p.texture));
        DrawStrip(d3d, quad, sizeof(TwoTextureVertex), "DrawPrimitive (Tri) 1");
    });
    RestoreSingleTexture(d3d);
}
