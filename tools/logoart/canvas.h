#pragma once
// A floating-point RGBA picture with the few anti-aliased shapes the logo
// and splash art are made of: round-ended strokes, discs, ellipses and
// vertical gradients, each blended over what is there ("over", straight
// alpha). Coverage is the shape's signed distance clamped to one pixel, so
// every edge is smooth without supersampling.

#include <algorithm>
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
    // A closed polygon (either winding), edges anti-aliased like the strokes.
    void Polygon(const std::vector<Point>& points, const Rgba& colour);
    // The other picture laid over this one with its top-left corner at (x, y).
    void Draw(const Canvas& other, int x, int y);
    // Every pixel's alpha times the mask's alpha at the same place (the mask
    // is as large as this picture): cuts a texture to a shape.
    void MaskBy(const Canvas& mask);
    // A copy shrunk (or grown) by the factor, each new pixel the average of
    // the pixels it covers, weighted by their alpha.
    Canvas Scaled(float factor) const;
    // The part of the picture at (x, y) of the given size, as a picture of its own.
    Canvas Crop(int x, int y, int width, int height) const;
    // The smallest rectangle holding every pixel that is not fully clear
    // (x, y, width, height); all zero for an empty picture.
    void OpaqueBounds(int& x, int& y, int& width, int& height) const;
    // Every pixel of the rectangle gets colourAt(x, y) blended over it (the
    // callback's alpha is the coverage), for textures no shape describes.
    template <class Shader>
    void Shade(int x0, int y0, int x1, int y1, Shader colourAt) {
        for (int y = std::max(0, y0); y < std::min(height_, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(width_, x1); ++x) Blend(x, y, colourAt(x, y), 1.0f);
    }
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
