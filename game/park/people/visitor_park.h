#pragma once
// What a visitor asks of the park it walks in. The park grid sits in the
// room above the people and implements this; a visitor finds it on its grid
// once, when the grid is set, and on a grid that is no park it spends no
// energy walking, is never covered and never told the week is over.
// Main thread only.

#include <cstdint>

#include "game/park/base/tile_geometry.h"

class KivraBuilding;

class VisitorPark {
public:
    // Energy a visitor spends in one fixed step of walking (the park reads
    // its constant once).
    virtual float WalkEnergyCost() const = 0;
    // The building standing on the tile, or null (also outside the grid).
    virtual KivraBuilding* GetTileOccupant(TilePoint position) const = 0;
    // The week's timer; 0 or less once the week has run out.
    virtual float WeekTimer() const = 0;
    // The player's tutorial holds the park still, as the park saw it at
    // the start of this step (asked once for all visitors).
    virtual bool VisitorsPaused() const = 0;
    // How many times a building was set down on the park's tiles: a tile
    // found without an occupant stays without one until this changes, so a
    // visitor standing on it need not look again (every visitor asks at
    // every step, and the tile lies far from the visitor in memory).
    uint32_t BuildingsSetDown() const { return buildingsSetDown_; }

protected:
    ~VisitorPark() = default;
    // Before a building becomes the occupant of tiles.
    void NoteBuildingSetDown() { ++buildingsSetDown_; }

private:
    uint32_t buildingsSetDown_ = 0;
};
