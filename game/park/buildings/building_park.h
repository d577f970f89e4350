#pragma once
// What a game building asks of the park it stands in. The park grid sits in
// the room above the buildings and implements this; a building reaches it
// through a run-time type test of its grid, and without one (a building not
// on a park) it uses the defaults below and asks nothing.
// Main thread only.

#include <cstdint>

#include "game/park/base/tile_geometry.h"
#include "game/park/grid/grid_tile.h"

class GridItem;
class KivraBuilding;

// How every building of the park answers the pointer, set by the park's
// editing tools and read by the buildings when the pointer enters or leaves
// them and when they draw.
struct BuildingHover {
    // 2: a building shows its item popup when the pointer enters it.
    int32_t popup = 2;
    // 2: a non-stationary building fades while the pointer is over it;
    // otherwise every building fades exactly when this is 0.
    int32_t fade = 1;
    // 2: a building turns translucent while the pointer is over it; 0: near
    // the held building (or the pointer); 1: never.
    int32_t translucent = 1;
    // Buildings stamp their doors while a building is held or sidewalk painted.
    bool showDoors = false;
    // The move, rotate or remove tools are on: clicks on buildings go to the park.
    bool editModeActive = false;
};

class BuildingPark {
public:
    virtual const BuildingHover& Hover() const = 0;
    // The park has started its items: buildings placed from now on are active.
    virtual bool ItemsStarted() const = 0;
    // The week's timer; 0 or less at nightfall.
    virtual float WeekTimer() const = 0;
    // A week is being played: neither night nor the open park after it.
    // Timed boosts run in played weeks, as research does.
    virtual bool WeekRunning() const = 0;
    // The building the player carries, or null.
    virtual GridItem* HeldItem() const = 0;
    // The tile under the pointer.
    virtual TilePoint PointerTile() const = 0;
    // A new reachability pass over the buildings.
    virtual void ResetCycle() = 0;
    // A tile inside the grid takes the material (the front gate's entrance).
    virtual void SetTileMaterial(TilePoint position, TileChar material) = 0;
    // Visitors may arrive on the tile too; a spot listed already stays once.
    virtual void AddSpawnSpot(TilePoint position) = 0;
    // A standing building joins the zones and marks its tiles; leaving undoes both.
    virtual void UpdateZones(KivraBuilding& building, bool popups) = 0;
    virtual void RemoveFromZones(KivraBuilding& building, bool popups) = 0;
    virtual void ShowItemPopup(KivraBuilding& building) = 0;
    virtual void HideItemPopup(KivraBuilding& building, bool immediately) = 0;
    // A click on a building while the editing tools are on.
    virtual void OnBuildingClicked(KivraBuilding& building) = 0;

protected:
    ~BuildingPark() = default;
};
