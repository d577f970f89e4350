#pragma once
// A floating-point RGBA picture with the few anti-aliased shapes the logo
// and splash art are made of: round-ended strokes, discs, ellipses and
// vertical gradients, each blended over what is there ("over", straight
// alpha). Coverage is the shape's signed distance clamped to one pixel, so
// every edge is smooth without supersampling.

#include <string>
#include <vector>

namespace logoart {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// 0xRRGGBB with an alpha of 0..1.
Rgba Hex(unsigned rgb, float alpha = 1.0f);
Rgba Mix(const Rgba& x, const Rgba& y, float t);

struct Point {
    float x = 0, y = 0;
};

class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }

    void Fill(const Rgba& colour);
    // Top colour to bottom colour between rows y0 and y1 (clamped beyond).
    void VerticalGradient(const Rgba& top, const Rgba& bottom, float y0, float y1);
    // A polyline of round-ended segments of the given radius.
    void Stroke(const std::vector<Point>& points, float radius, const Rgba& colour);
    void Disc(Point centre, float radius, const Rgba& colour);
    void Ellipse(Point centre, float rx, float ry, const Rgba& colour);
    // A rectangle with rounded corners from (x0, y0) to (x1, y1), filled with
    // a vertical blend from `top` to `bottom` across its own height.
    void RoundRect(float x0, float y0, float x1, float y1, float radius, const Rgba& top, const Rgba& bottom);
    // The part of the picture at (x, y) of the given size, as a picture of its own.
    Canvas Crop(int x, int y, int width, int height) const;
    // Everything below the curve y = f(x) (x in pixels) in the colour.
    template <class Curve>
    void FillBelow(Curve curve, const Rgba& colour) {
        for (int x = 0; x < width_; ++x) {
            const float top = curve(x + 0.5f);
            for (int y = 0; y < height_; ++y) Blend(x, y, colour, Clamp01(y + 0.5f - top + 0.5f));
        }
    }

    // Writes PNG (with alpha) or JPEG (quality 80, alpha dropped) by the extension.
    bool Save(const std::string& path) const;

private:
    static float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
    void Blend(int x, int y, const Rgba& colour, float coverage);

    int width_, height_;
    std::vector<Rgba> pixels_;
};

}  // namespace logoart
