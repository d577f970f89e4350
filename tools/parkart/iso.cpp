#include "tools/parkart/iso.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace parkart {

namespace {

constexpr float kPi = 3.14159265f;

// Points of the circle of radius r tiles around (u, v) at height z, from
// angle a0 to a1 (radians, 0 along u).
std::vector<Point> Arc(const Iso& iso, float u, float v, float r, float z, float a0, float a1, int steps) {
    std::vector<Point> points;
    for (int i = 0; i <= steps; ++i) {
        const float a = a0 + (a1 - a0) * static_cast<float>(i) / static_cast<float>(steps);
        points.push_back(iso.At(u + r * std::cos(a), v + r * std::sin(a), z));
    }
    return points;
}

}  // namespace

Rgba Lighter(const Rgba& c, float t) { return Mix(c, Hex(0xFFFFFF, c.a), t); }
Rgba Darker(const Rgba& c, float t) { return Mix(c, Hex(0x1B1430, c.a), t); }

Plot::Plot(int cols_, int rows_, int above)
    : canvas((cols_ > rows_ ? cols_ : rows_) * kTileW + 8, (cols_ + rows_) * kTileH / 2 + above),
      cols(cols_),
      rows(rows_) {
    // The anchor tile (the bottom one) is centred; the footprint's top corner
    // sits rows - cols half tiles to its left.
    const float anchorX = canvas.Width() / 2.0f;
    iso.topX = anchorX + (rows - cols) * kTileW / 2.0f;
    iso.topY = static_cast<float>(above);
}

void Box(Canvas& c, const Iso& iso, float u0, float v0, float u1, float v1, float z0, float z1, const Rgba& colour) {
    // Left-front face (v = v1) in shade, right-front face (u = u1) half lit, top lit.
    c.Polygon({iso.At(u0, v1, z0), iso.At(u1, v1, z0), iso.At(u1, v1, z1), iso.At(u0, v1, z1)}, Darker(colour, 0.3f));
    c.Polygon({iso.At(u1, v1, z0), iso.At(u1, v0, z0), iso.At(u1, v0, z1), iso.At(u1, v1, z1)}, Darker(colour, 0.1f));
    c.Polygon({iso.At(u0, v0, z1), iso.At(u1, v0, z1), iso.At(u1, v1, z1), iso.At(u0, v1, z1)}, Lighter(colour, 0.15f));
}

void Column(Canvas& c, const Iso& iso, float u, float v, float r, float z0, float z1, const Rgba& colour) {
    // The visible half of the side: from the left silhouette through the front to the right one.
    std::vector<Point> side = Arc(iso, u, v, r, z0, 3 * kPi / 4, -kPi / 4, 16);
    std::vector<Point> top = Arc(iso, u, v, r, z1, -kPi / 4, -5 * kPi / 4, 16);
    side.insert(side.end(), top.begin(), top.end());
    c.Polygon(side, Darker(colour, 0.15f));
    // A lit band down the right-front side reads as roundness.
    std::vector<Point> band = Arc(iso, u, v, r, z0, 0.35f, -0.45f, 6);
    std::vector<Point> bandTop = Arc(iso, u, v, r, z1, -0.45f, 0.35f, 6);
    band.insert(band.end(), bandTop.begin(), bandTop.end());
    c.Polygon(band, Lighter(colour, 0.1f));
    c.Polygon(Arc(iso, u, v, r, z1, 0, 2 * kPi, 32), Lighter(colour, 0.2f));
}

void Cone(Canvas& c, const Iso& iso, float u, float v, float r, float z0, float z1, const Rgba& colour) {
    std::vector<Point> base = Arc(iso, u, v, r, z0, 3 * kPi / 4, -kPi / 4, 16);
    base.push_back(iso.At(u, v, z1));
    c.Polygon(base, colour);
    std::vector<Point> lit = Arc(iso, u, v, r, z0, 0.4f, -0.7f, 8);
    lit.push_back(iso.At(u, v, z1));
    c.Polygon(lit, Lighter(colour, 0.2f));
}

void Flat(Canvas& c, const Iso& iso, float u0, float v0, float u1, float v1, float z, const Rgba& colour) {
    c.Polygon({iso.At(u0, v0, z), iso.At(u1, v0, z), iso.At(u1, v1, z), iso.At(u0, v1, z)}, colour);
}

void FlatDisc(Canvas& c, const Iso& iso, float u, float v, float r, float z, const Rgba& colour) {
    c.Polygon(Arc(iso, u, v, r, z, 0, 2 * kPi, 40), colour);
}

void Shadow(Canvas& c, const Iso& iso, float u, float v, float r) {
    for (int i = 0; i < 3; ++i) FlatDisc(c, iso, u + 0.08f, v - 0.04f, r * (1.0f + 0.12f * i), 0, Hex(0x1B1430, 0.12f));
}

void GableRoof(Canvas& c, const Iso& iso, float u0, float v0, float u1, float v1, float z0, float z1,
               const Rgba& colour) {
    const float vm = (v0 + v1) / 2;
    // The gable end towards the viewer, then the slope that faces left-front.
    c.Polygon({iso.At(u1, v0, z0), iso.At(u1, v1, z0), iso.At(u1, vm, z1)}, Darker(colour, 0.05f));
    c.Polygon({iso.At(u0, v1, z0), iso.At(u1, v1, z0), iso.At(u1, vm, z1), iso.At(u0, vm, z1)}, Darker(colour, 0.25f));
    c.Stroke({iso.At(u0, vm, z1), iso.At(u1, vm, z1)}, 1.2f, Lighter(colour, 0.3f));
}

void Awning(Canvas& c, const Iso& iso, float u1, float v0, float v1, float z, float depth, const Rgba& a,
            const Rgba& b) {
    const int stripes = std::max(2, static_cast<int>(std::lround((v1 - v0) * 6)));
    for (int i = 0; i < stripes; ++i) {
        const float s0 = v0 + (v1 - v0) * static_cast<float>(i) / static_cast<float>(stripes);
        const float s1 = v0 + (v1 - v0) * static_cast<float>(i + 1) / static_cast<float>(stripes);
        const Rgba& colour = i % 2 == 0 ? a : b;
        c.Polygon(
            {iso.At(u1, s0, z), iso.At(u1, s1, z), iso.At(u1 + depth, s1, z - 10), iso.At(u1 + depth, s0, z - 10)},
            colour);
        // Scalloped hem.
        const Point hem = iso.At(u1 + depth, (s0 + s1) / 2, z - 10);
        c.Ellipse({hem.x, hem.y + 1}, 4.5f * (s1 - s0) * 6, 3, Darker(colour, 0.1f));
    }
}

bool Save(const Canvas& canvas, const std::string& path) {
    if (canvas.Save(path)) return true;
    std::fprintf(stderr, "parkart: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace parkart
