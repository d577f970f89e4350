#pragma once
// Shared steps of the blitters: the start of every textured draw and the
// walk of a source rectangle across an image's texture pieces.

#include "rendering/device/d3d_interface.h"
#include "rendering/image/blitters.h"
#include "rendering/image/texture_tiles.h"

struct TwoTextureVertex {
    float x, y, z;
    uint32_t diffuse;
    float s, t, ms, mt;
};
static_assert(sizeof(TwoTextureVertex) == 32);

struct GridVertex {
    float x, y, z, nx, ny, nz;
    uint32_t diffuse;
    float s, t;
};
static_assert(sizeof(GridVertex) == 36);

// The image's pieces when it can be drawn now (device, pieces, an open scene),
// with the draw mode and clip applied; null otherwise.
TexturePieces* BeginTexturedDraw(D3DInterface& d3d, ImageSurface* image, int drawKind, const DrawState* state,
                                 const FRect* clip);
// Pieces that hold usable textures.
bool HasPieces(ImageSurface* image);

// A piece part's quad in strip order: texture coordinates and colour set,
// corners at (dx, dy) .. (dx + part width, dy + part height).
inline void PartQuad(const PiecePart& p, uint32_t argb, float dx, float dy, DeviceVertex quad[4]) {
    quad[0] = {dx, dy, 0, argb, p.s1, p.t1};
    quad[1] = {dx, dy + p.height, 0, argb, p.s1, p.t2};
    quad[2] = {dx + p.width, dy, 0, argb, p.s2, p.t1};
    quad[3] = {dx + p.width, dy + p.height, 0, argb, p.s2, p.t2};
}

// Moves a corner (cx, cy) relative to a quad's centre through the matrix to
// (x, y), with the half-pixel shift; keeps the transformed z.
void TransformCorner(const Matrix4& matrix, float cx, float cy, float x, float y, DeviceVertex* out);
// The four corners of a quad (left, top, width, height about its centre), in
// strip order, through the matrix to (x, y).
void TransformQuad(const Matrix4& matrix, float l, float t, float w, float h, float x, float y, DeviceVertex quad[4]);
// The mask's texture and its coordinates (origin s, t, extent s, t) for a
// mask rectangle; false when no single piece holds the whole rectangle.
bool MaskCoordinates(const TexturePieces& mask, const FRect& rect, plat::Texture** texture, float out[4]);
// Back to the single-texture vertex format, nothing on texture stage 1.
void RestoreSingleTexture(D3DInterface& d3d);

// Calls part(x, y, piecePart) for each piece part of the source rectangle,
// clipped to the pieces' region first; stops at any point outside the grid or
// any part without positive size, so a bad rectangle can never loop.
template <class F>
void WalkSource(const TexturePieces& pieces, const FRect& source, F&& part) {
    const FRect region = FRect::FromRect(pieces.region);
    const FRect c = source.Intersection(region);
    if (!(c.w > 0) || !(c.h > 0)) return;
    const float right = c.x + c.w, bottom = c.y + c.h;
    for (float y = c.y; y + 0.001f < bottom;) {
        float rowHeight = 0;
        for (float x = c.x; x + 0.001f < right;) {
            PiecePart p;
            if (!GetPieceAt(pieces, x, y, right - x, bottom - y, &p) || !(p.width > 0) || !(p.height > 0)) break;
            part(x, y, p);
            x += p.width;
            rowHeight = p.height;
        }
        if (!(rowHeight > 0)) break;
        y += rowHeight;
    }
}
