#pragma once
// The distance bounds of the distance filters: squared tile distances
// against squared bounds, both inclusive, a negative bound meaning none.
// With neither bound set the filter answers before measuring anything.

#include "game/park/base/tile_geometry.h"

struct DistanceBounds {
    float max = -1.0f;
    float min = -1.0f;

    bool Unbounded() const { return max < 0.0f && min < 0.0f; }
    // `squared`: the candidate's squared distance.
    bool Admits(float squared) const {
        if (min >= 0.0f && squared < min * min) return false;
        return max < 0.0f || squared <= max * max;
    }
};

// The squared distance from a point to the nearest tile of a rectangle.
float SquaredDistanceToRect(const TileRect& rect, TilePoint point);
