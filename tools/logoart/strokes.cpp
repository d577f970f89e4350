#include "tools/logoart/strokes.h"

#include <cmath>

namespace logoart {

namespace {

constexpr float kPi = 3.14159265f;

// Half an ellipse from angle a0 to a1 (degrees, 0 pointing right, clockwise).
std::vector<Point> Arc(Point centre, float rx, float ry, float a0, float a1) {
    std::vector<Point> points;
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        const float a = (a0 + (a1 - a0) * i / steps) * kPi / 180;
        points.push_back({centre.x + rx * std::cos(a), centre.y + ry * std::sin(a)});
    }
    return points;
}

std::vector<Point> Bowl() {
    // Top bar, a half ellipse to the right, and the middle bar back.
    std::vector<Point> bowl = {{12, 8}};
    for (const Point& p : Arc({42, 31}, 22, 23, -90, 90)) bowl.push_back(p);
    bowl.push_back({12, 54});
    return bowl;
}

}  // namespace

Strokes LetterStrokes(char letter) {
    switch (letter) {
        case 'P': return {{{12, 8}, {12, 97}}, Bowl()};
        case 'R': return {{{12, 8}, {12, 97}}, Bowl(), {{34, 54}, {62, 97}}};
        case 'E': return {{{60, 8}, {12, 8}, {12, 97}, {60, 97}}, {{12, 52}, {50, 52}}};
        case 'L': return {{{12, 8}, {12, 97}, {60, 97}}};
        case 'M': return {{{10, 97}, {10, 8}, {36, 62}, {62, 8}, {62, 97}}};
        case 'A': return {{{6, 97}, {36, 8}, {66, 97}}, {{18, 66}, {54, 66}}};
        case 'H': return {{{12, 8}, {12, 97}}, {{60, 8}, {60, 97}}, {{12, 52}, {60, 52}}};
        case 'V': return {{{6, 8}, {36, 97}, {66, 8}}};
        case 'O': return {Arc({36, 52}, 26, 44, 0, 360)};
        case 'T': return {{{6, 8}, {66, 8}}, {{36, 8}, {36, 97}}};
        case 'Y': return {{{6, 8}, {36, 52}, {66, 8}}, {{36, 52}, {36, 97}}};
        case 'K': return {{{12, 8}, {12, 97}}, {{62, 8}, {12, 62}}, {{30, 45}, {64, 97}}};
        default: return {};
    }
}

Strokes Place(const Strokes& strokes, float scale, float degrees, Point pivot, float dx, float dy) {
    const float a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    Strokes out;
    for (const auto& line : strokes) {
        std::vector<Point> placed;
        for (const Point& p : line) {
            const float x = (p.x - pivot.x) * scale, y = (p.y - pivot.y) * scale;
            placed.push_back({pivot.x * scale + x * c - y * s + dx, pivot.y * scale + x * s + y * c + dy});
        }
        out.push_back(std::move(placed));
    }
    return out;
}

void DrawLetter(Canvas& canvas, const Strokes& strokes, float radius, const Rgba& body, const Rgba& outline) {
    for (const auto& line : strokes) canvas.Stroke(line, radius + 2, outline);
    for (const auto& line : strokes) canvas.Stroke(line, radius, body);
}

float DrawWord(Canvas& canvas, const char* word, float x, float y, float scale, const Rgba& body, const Rgba& outline) {
    const float start = x;
    for (const char* c = word; *c; ++c) {
        if (*c != ' ') DrawLetter(canvas, Place(LetterStrokes(*c), scale, 0, {0, 0}, x, y), 9 * scale, body, outline);
        x += 84 * scale;
    }
    return x - start;
}

}  // namespace logoart
