#include "game/park/base/tile_geometry.h"

#include <cmath>
#include <numbers>

int32_t RoundTileCoordinate(float v) {
    const float halves = std::floor(2.0f * v + 0.5f);
    return static_cast<int32_t>(std::floor(halves * 0.5f + 0.5f));
}

void RotatePoints(TileCentre centre, std::vector<TilePoint>& points, int32_t degrees) {
    degrees %= 360;
    if (degrees < 0) degrees += 360;
    if (degrees == 0) return;
    const float theta = static_cast<float>(degrees) * std::numbers::pi_v<float> / 180.0f;
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    for (TilePoint& p : points) {
        const float dx = static_cast<float>(p.col) - centre.col;
        const float dy = static_cast<float>(p.row) - centre.row;
        p.col = RoundTileCoordinate(centre.col + (dx * c - dy * s));
        p.row = RoundTileCoordinate(centre.row + (dy * c + dx * s));
    }
}

void TransposePoints(TileCentre centre, std::vector<TilePoint>& points) {
    for (TilePoint& p : points) {
        const float dx = static_cast<float>(p.col) - centre.col;
        const float dy = static_cast<float>(p.row) - centre.row;
        p.col = RoundTileCoordinate(centre.col + dy);
        p.row = RoundTileCoordinate(centre.row + dx);
    }
}

float PointDistance(TilePoint a, TilePoint b) {
    const auto dc = static_cast<float>(int64_t{b.col} - a.col);
    const auto dr = static_cast<float>(int64_t{b.row} - a.row);
    return std::sqrt(dc * dc + dr * dr);
}

float OffsetDistance(int64_t dx, int64_t dy, bool squared) {
    const auto fx = static_cast<float>(dx);
    const auto fy = static_cast<float>(dy);
    if (dx != 0 && dy != 0) {
        const float e = fx * fx + fy * fy;
        return squared ? e : std::sqrt(e);
    }
    const float d = std::fabs(fx + fy);
    return squared ? d * d : d;
}
