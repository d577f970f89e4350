#pragma once
// The park's isometric drawing kit: the tile geometry every park picture is
// cut to, a projection from ground units (tiles along the column and row
// axes, and height in pixels) to a picture's pixels, and the solid shapes the
// buildings are made of, lit from the upper left so the left-front faces are
// in shade.

#include <string>
#include <vector>

#include "tools/logoart/canvas.h"

namespace parkart {

using logoart::Canvas;
using logoart::Hex;
using logoart::Mix;
using logoart::Point;
using logoart::Rgba;

// One tile is 64 x 32 pixels on screen; a tile picture is 4 pixels larger each
// way (constants.xml's grid_tile_overlap_x/_y) so neighbours overlap instead of
// leaving seams.
constexpr int kTileW = 64, kTileH = 32, kOverlap = 4;
constexpr int kTileCelW = kTileW + kOverlap, kTileCelH = kTileH + kOverlap;

Rgba Lighter(const Rgba& c, float t);
Rgba Darker(const Rgba& c, float t);

// Ground units to pixels: u runs along the grid's columns (down and right on
// screen), v along its rows (down and left), z up, in pixels. (u, v) = (0, 0)
// is the footprint's top corner, drawn at (topX, topY).
struct Iso {
    float topX = 0, topY = 0;
    Point At(float u, float v, float z = 0) const {
        return {topX + (u - v) * kTileW / 2, topY + (u + v) * kTileH / 2 - z};
    }
};

// A picture for a building of n x m tiles (n along u, m along v) whose
// footprint's bottom corner lands on the picture's bottom edge, centred
// horizontally on the anchor tile, with `above` pixels of room over the
// footprint's top corner. The grid places item pictures this way.
struct Plot {
    Plot(int cols, int rows, int above);
    Canvas canvas;
    Iso iso;
    int cols, rows;
};

// An upright box from (u0, v0) to (u1, v1), z0 to z1: the two faces towards
// the viewer and its top.
void Box(Canvas& c, const Iso& iso, float u0, float v0, float u1, float v1, float z0, float z1, const Rgba& colour);
// A round column (an upright cylinder) of radius r tiles standing on (u, v).
void Column(Canvas& c, const Iso& iso, float u, float v, float r, float z0, float z1, const Rgba& colour);
// A cone from a circle of radius r at z0 to a tip at z1.
void Cone(Canvas& c, const Iso& iso, float u, float v, float r, float z0, float z1, const Rgba& colour);
// A ground diamond from (u0, v0) to (u1, v1) at height z.
void Flat(Canvas& c, const Iso& iso, float u0, float v0, float u1, float v1, float z, const Rgba& colour);
// A disc lying flat: the ellipse of radius r tiles at height z.
void FlatDisc(Canvas& c, const Iso& iso, float u, float v, float r, float z, const Rgba& colour);
// A soft dark ellipse under something standing at (u, v).
void Shadow(Canvas& c, const Iso& iso, float u, float v, float r);
// A roof ridge along u over the box (u0, v0)-(u1, v1) from z0 rising to z1.
void GableRoof(Canvas& c, const Iso& iso, float u0, float v0, float u1, float v1, float z0, float z1,
               const Rgba& colour);
// A striped awning sloping down from the front-right face's top edge at u = u1.
void Awning(Canvas& c, const Iso& iso, float u1, float v0, float v1, float z, float depth, const Rgba& a,
            const Rgba& b);

// Writes the picture, reporting a failure on stderr.
bool Save(const Canvas& canvas, const std::string& path);

}  // namespace parkart
