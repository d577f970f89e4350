#include "tools/logoart/canvas.h"

#include <algorithm>
#include <cmath>

#include "rendering/image/image_data.h"
#include "rendering/imagefile/image_files.h"

namespace logoart {

namespace {

float SegmentDistance(float px, float py, Point a, Point b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length2 = dx * dx + dy * dy;
    float t = length2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0f, 1.0f);
    return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

}  // namespace

Rgba Hex(unsigned rgb, float alpha) {
    return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f, alpha};
}

Rgba Mix(const Rgba& x, const Rgba& y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * static_cast<size_t>(height)) {}

void Canvas::Fill(const Rgba& colour) { std::fill(pixels_.begin(), pixels_.end(), colour); }

void Canvas::VerticalGradient(const Rgba& top, const Rgba& bottom, float y0, float y1) {
    for (int y = 0; y < height_; ++y) {
        const Rgba c = Mix(top, bottom, Clamp01((y + 0.5f - y0) / (y1 - y0)));
        for (int x = 0; x < width_; ++x) Blend(x, y, c, 1.0f);
    }
}

void Canvas::RoundRect(float x0, float y0, float x1, float y1, float radius, const Rgba& top, const Rgba& bottom) {
    const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    for (int y = std::max(0, static_cast<int>(y0) - 1); y < std::min(height_, static_cast<int>(y1) + 2); ++y) {
        const Rgba c = Mix(top, bottom, Clamp01((y + 0.5f - y0) / (y1 - y0)));
        for (int x = std::max(0, static_cast<int>(x0) - 1); x < std::min(width_, static_cast<int>(x1) + 2); ++x) {
            // Signed distance to the rounded box.
            const float qx = std::fabs(x + 0.5f - cx) - hx, qy = std::fabs(y + 0.5f - cy) - hy;
            const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
            const float d = outside + std::min(std::max(qx, qy), 0.0f) - radius;
            Blend(x, y, c, Clamp01(0.5f - d));
        }
    }
}

void Canvas::Polygon(const std::vector<Point>& points, const Rgba& colour) {
    if (points.size() < 3) return;
    float minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (const Point& p : points) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    const int x0 = std::max(0, static_cast<int>(std::floor(minX)) - 1);
    const int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(maxX)) + 1);
    const int y0 = std::max(0, static_cast<int>(std::floor(minY)) - 1);
    const int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(maxY)) + 1);
    const size_t n = points.size();
    for (int y = y0; y <= y1; ++y) {
        const float py = y + 0.5f;
        for (int x = x0; x <= x1; ++x) {
            const float px = x + 0.5f;
            bool inside = false;
            // Only distances under a pixel change the coverage, so edges
            // whose box is farther away need no exact distance.
            float d = 1.0f;
            for (size_t i = 0, j = n - 1; i < n; j = i++) {
                const Point& a = points[i];
                const Point& b = points[j];
                if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x) inside = !inside;
                if (px < std::min(a.x, b.x) - 1 || px > std::max(a.x, b.x) + 1 || py < std::min(a.y, b.y) - 1 ||
                    py > std::max(a.y, b.y) + 1)
                    continue;
                d = std::min(d, SegmentDistance(px, py, a, b));
            }
            Blend(x, y, colour, Clamp01(inside ? 0.5f + d : 0.5f - d));
        }
    }
}

void Canvas::Draw(const Canvas& other, int x, int y) {
    for (int row = 0; row < other.height_; ++row)
        for (int col = 0; col < other.width_; ++col) {
            const Rgba& p =
                other.pixels_[static_cast<size_t>(row) * static_cast<size_t>(other.width_) + static_cast<size_t>(col)];
            if (p.a > 0) Blend(x + col, y + row, p, 1.0f);
        }
}

void Canvas::MaskBy(const Canvas& mask) {
    for (size_t i = 0; i < pixels_.size() && i < mask.pixels_.size(); ++i) pixels_[i].a *= mask.pixels_[i].a;
}

Canvas Canvas::Scaled(float factor) const {
    const int w = std::max(1, static_cast<int>(std::lround(width_ * factor)));
    const int h = std::max(1, static_cast<int>(std::lround(height_ * factor)));
    Canvas out(w, h);
    const float step = 1.0f / factor;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Sample a 3 x 3 lattice inside the source area of the new pixel.
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < 3; ++sy)
                for (int sx = 0; sx < 3; ++sx) {
                    const int px = std::min(width_ - 1, static_cast<int>((x + (sx + 0.5f) / 3) * step));
                    const int py = std::min(height_ - 1, static_cast<int>((y + (sy + 0.5f) / 3) * step));
                    const Rgba& p =
                        pixels_[static_cast<size_t>(py) * static_cast<size_t>(width_) + static_cast<size_t>(px)];
                    r += p.r * p.a, g += p.g * p.a, b += p.b * p.a, a += p.a;
                }
            if (a > 0)
                out.pixels_[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = {r / a, g / a,
                                                                                                         b / a, a / 9};
        }
    return out;
}

void Canvas::OpaqueBounds(int& x, int& y, int& width, int& height) const {
    int left = width_, top = height_, right = -1, bottom = -1;
    for (int row = 0; row < height_; ++row)
        for (int col = 0; col < width_; ++col)
            if (pixels_[static_cast<size_t>(row) * static_cast<size_t>(width_) + static_cast<size_t>(col)].a >=
                0.5f / 255) {
                left = std::min(left, col), right = std::max(right, col);
                top = std::min(top, row), bottom = std::max(bottom, row);
            }
    if (right < 0) {
        x = y = width = height = 0;
        return;
    }
    x = left, y = top, width = right - left + 1, height = bottom - top + 1;
}

Canvas Canvas::Crop(int x, int y, int width, int height) const {
    Canvas out(width, height);
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col)
            if (x + col >= 0 && y + row >= 0 && x + col < width_ && y + row < height_)
                out.pixels_[static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(col)] =
                    pixels_[static_cast<size_t>(y + row) * static_cast<size_t>(width_) + static_cast<size_t>(x + col)];
    return out;
}

void Canvas::Blend(int x, int y, const Rgba& colour, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) return;
    Rgba& d = pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    const float a = colour.a * coverage;
    const float outA = a + d.a * (1 - a);
    if (outA <= 0) return;
    d.r = (colour.r * a + d.r * d.a * (1 - a)) / outA;
    d.g = (colour.g * a + d.g * d.a * (1 - a)) / outA;
    d.b = (colour.b * a + d.b * d.a * (1 - a)) / outA;
    d.a = outA;
}

void Canvas::Stroke(const std::vector<Point>& points, float radius, const Rgba& colour) {
    if (points.empty()) return;
    float minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (const Point& p : points) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    // Pixels off the picture are never blended: only the part on it is visited.
    const int x0 = std::max(0, static_cast<int>(std::floor(minX - radius - 1)));
    const int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(maxX + radius + 1)));
    const int y0 = std::max(0, static_cast<int>(std::floor(minY - radius - 1)));
    const int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(maxY + radius + 1)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            // Segments whose box lies beyond the stroke's reach cannot cover the pixel.
            const float reach = radius + 1, px = x + 0.5f, py = y + 0.5f;
            float d = 1e9f;
            for (size_t i = 0; i + 1 < points.size(); ++i) {
                const Point& a = points[i];
                const Point& b = points[i + 1];
                if (px < std::min(a.x, b.x) - reach || px > std::max(a.x, b.x) + reach ||
                    py < std::min(a.y, b.y) - reach || py > std::max(a.y, b.y) + reach)
                    continue;
                d = std::min(d, SegmentDistance(px, py, a, b));
            }
            if (points.size() == 1) d = std::hypot(x + 0.5f - points[0].x, y + 0.5f - points[0].y);
            // One layer per shape: the union of its segments, blended once.
            Blend(x, y, colour, Clamp01(radius - d + 0.5f));
        }
    }
}

void Canvas::Disc(Point centre, float radius, const Rgba& colour) { Ellipse(centre, radius, radius, colour); }

void Canvas::Ellipse(Point centre, float rx, float ry, const Rgba& colour) {
    const int x0 = static_cast<int>(centre.x - rx - 2), x1 = static_cast<int>(centre.x + rx + 2);
    const int y0 = static_cast<int>(centre.y - ry - 2), y1 = static_cast<int>(centre.y + ry + 2);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float nx = (x + 0.5f - centre.x) / rx, ny = (y + 0.5f - centre.y) / ry;
            // Distance in pixels, near enough for a smooth edge.
            const float d = (std::sqrt(nx * nx + ny * ny) - 1) * std::min(rx, ry);
            Blend(x, y, colour, Clamp01(0.5f - d));
        }
    }
}

bool Canvas::Save(const std::string& path) const {
    ImageData image;
    if (!image.Allocate(width_, height_, false)) return false;
    auto byte = [](float v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
    for (size_t i = 0; i < pixels_.size(); ++i) {
        const Rgba& p = pixels_[i];
        image.GetBits()[i] = byte(p.a) << 24 | byte(p.r) << 16 | byte(p.g) << 8 | byte(p.b);
    }
    const bool jpeg = path.size() > 4 && path.compare(path.size() - 4, 4, ".jpg") == 0;
    return jpeg ? WriteJPEGImage(path, image) : WritePNGImage(path, image);
}

}  // namespace logoart
