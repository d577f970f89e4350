#pragma once
// The small geometry the park stands on: tile positions, tile rectangles
// anchored at their far corner, the turning and mirroring of lists of tile
// points (footprints, building doors), and the distance between a tile and
// a point.
//
// A rectangle (col, row, cols, rows) covers columns col-cols+1 .. col and
// rows row-rows+1 .. row: its anchor is the covered tile with the largest
// column and row. A size of 0 covers nothing.
//
// Point operations work in single precision and round each result to the
// nearest half first, then halves up (0.24 gives 0, 0.25 gives 1), so a
// quarter turn about a half-tile centre lands on whole tiles the same way
// on every machine. Plain values: any thread.

#include <cstdint>
#include <vector>

struct TilePoint {
    int32_t col = 0;
    int32_t row = 0;
    bool operator==(const TilePoint&) const = default;
};

// A point between tiles: the centre a list of tile points turns about.
struct TileCentre {
    float col = 0.0f;
    float row = 0.0f;
};

struct TileRect {
    int32_t col = 0;
    int32_t row = 0;
    int32_t cols = 0;
    int32_t rows = 0;

    int32_t Left() const { return col - cols + 1; }
    int32_t Top() const { return row - rows + 1; }
    bool Covers(TilePoint p) const { return p.col >= Left() && p.col <= col && p.row >= Top() && p.row <= row; }
    // The two rectangles share a tile.
    bool Overlaps(const TileRect& o) const {
        return col >= o.Left() && row >= o.Top() && Left() <= o.col && Top() <= o.row;
    }
    bool operator==(const TileRect&) const = default;
};

// A coordinate rounded to the nearest half, then halves up.
int32_t RoundTileCoordinate(float v);

// Turns every point about the centre by `degrees` (any whole number; 0 and
// whole turns change nothing), counter-clockwise in (col, row) terms.
void RotatePoints(TileCentre centre, std::vector<TilePoint>& points, int32_t degrees);
// Mirrors every point across the diagonal through the centre (the column
// and row offsets trade places).
void TransposePoints(TileCentre centre, std::vector<TilePoint>& points);

// The straight-line distance between two tile points, in single precision.
float PointDistance(TilePoint a, TilePoint b);

// How far a point lies from a tile (dx, dy the point's offsets from it):
// Euclidean when both offsets are non-zero, else the straight count; squared
// on request.
float OffsetDistance(int64_t dx, int64_t dy, bool squared);
