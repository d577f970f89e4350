#pragma once
// What a visitor asks of the park it walks in. The park grid sits in the
// room above the people and implements this; a visitor finds it on its grid
// once, when the grid is set, and on a grid that is no park it spends no
// energy walking, is never covered and never told the week is over.
// Main thread only.

#include "game/park/grid/tile_geometry.h"

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

protected:
    ~VisitorPark() = default;
};
