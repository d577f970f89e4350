#pragma once
// Leaf filters over tiles: by state or material character, spawn spots,
// building doors, and distance (from a point, or from an item's footprint).
// The pointers they are given (grid, item) are not owned and must outlive
// the search; the door filter owns its building filter.

#include <cstdint>
#include <memory>

#include "game/park/base/grid_filter.h"
#include "game/park/base/tile_geometry.h"
#include "game/park/grid/grid_tile.h"
#include "game/park/tasks/filter_distance.h"

class SpawnSpots;

class AcceptTileByState : public GridTileFilter {
public:
    explicit AcceptTileByState(TileChar state) : state(state) {}
    bool Accept(GridTile* candidate) override { return candidate->state == state; }

    const TileChar state;
};

class AcceptTileByMaterial : public GridTileFilter {
public:
    explicit AcceptTileByMaterial(TileChar material) : material(material) {}
    bool Accept(GridTile* candidate) override { return candidate->material == material; }

    const TileChar material;
};

class AcceptTileBySpawnSpot : public GridTileFilter {
public:
    explicit AcceptTileBySpawnSpot(const SpawnSpots* grid) : grid(grid) {}
    bool Accept(GridTile* candidate) override;

    const SpawnSpots* const grid;
};

// A tile holding a door of a building the building filter accepts; side
// '0' takes any door, another character only doors of that side. Each
// building is asked about the first of its doors on the tile only.
class AcceptTileByDoor : public GridTileFilter {
public:
    AcceptTileByDoor(std::unique_ptr<GridItemFilter> buildings, TileChar side);
    ~AcceptTileByDoor() override;
    bool Accept(GridTile* candidate) override;
    // Of one building: its door tiles.
    bool OnlyTiles(std::vector<TilePoint>& points) const override;
    bool OnlyBuildingTiles() const override { return true; }

    static constexpr TileChar kAnySide = '0';

private:
    std::unique_ptr<GridItemFilter> buildings_;
    TileChar side_;
};

// Tiles within the bounds of a point, or of an item's footprint; the nearer preferred.
class PreferTileByDistance : public GridTileFilter {
public:
    PreferTileByDistance(TilePoint point, float maxDistance, float minDistance)
        : point(point), bounds{maxDistance, minDistance} {}
    PreferTileByDistance(const GridItem* item, float maxDistance, float minDistance)
        : item(item), bounds{maxDistance, minDistance} {}
    bool Accept(GridTile* candidate) override;
    GridTile* Prefer(GridTile* a, GridTile* b) override;

    const TilePoint point;
    const GridItem* const item = nullptr;
    const DistanceBounds bounds;

private:
    float SquaredDistance(const GridTile& tile) const;
};
