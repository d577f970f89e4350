#pragma once
// Building: a grid item with doors. The doors come from the type record
// when the building enters a widget manager, as offsets from the anchor its
// new footprint has then, and are freed when it leaves; every move of the
// footprint shifts them, every turn turns them with it, so each door keeps
// its place beside the footprint. A door links its tile to the building and
// stamps its side character on the tile state.
//
// The footprint stamps 'r' (the placement highlight) until the game's
// buildings choose otherwise. Main thread only.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "game/data/catalogues/item_types.h"
#include "game/park/grid/grid_item.h"

class Building : public GridItem {
public:
    explicit Building(std::wstring_view type);
    ~Building() override;

    // The footprint fits the grid on buildable tiles.
    virtual bool CanPlace();
    virtual void CreateDoor(TilePoint point, TileChar side);
    // Sided doors inside the grid write their side into their tile's state.
    virtual void StampDoorsOnTiles(GridTileColumns& tiles);

    // The first door at exactly that tile with that side; any side for 0.
    const Door* FindDoor(TilePoint point, TileChar side) const;
    const std::vector<Door>& Doors() const { return doors_; }

    Building* AsBuilding() final { return this; }
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    std::unique_ptr<GridFootprint> CreateFootprint(const ITEM_TYPE* record) override;
    void MoveTo(TilePoint position) override;
    bool RotateFootprintAboutCentre(int32_t degrees) override;
    bool RotateFootprint(int32_t degrees) override;
    void AttachToTiles() override;
    void StampStateOnTiles(GridTileColumns& tiles) override;
    PropertyValue GetProperty(std::wstring_view name) override;

protected:
    // Every door moves by the offset, as the footprint's anchor did.
    void ShiftDoors(int32_t dcol, int32_t drow);

private:
    std::vector<TilePoint> DoorPoints() const;
    void SetDoorPoints(const std::vector<TilePoint>& points);

    std::vector<Door> doors_;
};
