#include "game/park/tasks/tile_filters.h"

#include <algorithm>

#include "game/park/base/filter_subjects.h"
#include "game/park/buildings/building.h"
#include "game/park/grid/grid_item.h"

float SquaredDistanceToRect(const TileRect& rect, TilePoint point) {
    const int64_t dx = int64_t{point.col} - std::clamp(point.col, rect.Left(), std::max(rect.Left(), rect.col));
    const int64_t dy = int64_t{point.row} - std::clamp(point.row, rect.Top(), std::max(rect.Top(), rect.row));
    return OffsetDistance(dx, dy, true);
}

bool AcceptTileBySpawnSpot::Accept(GridTile* candidate) {
    return grid != nullptr && grid->IsSpawnSpot(candidate->Col(), candidate->Row());
}

AcceptTileByDoor::AcceptTileByDoor(std::unique_ptr<GridItemFilter> buildings, TileChar side)
    : buildings_(std::move(buildings)), side_(side) {}

AcceptTileByDoor::~AcceptTileByDoor() = default;

bool AcceptTileByDoor::Accept(GridTile* candidate) {
    for (GridItem* item : candidate->GetBuildings()) {
        Building* building = item->AsBuilding();
        if (building == nullptr || (buildings_ != nullptr && !buildings_->Accept(item))) continue;
        const Door* door = building->FindDoor(candidate->Position(), 0);
        if (door != nullptr && (side_ == kAnySide || door->code == side_)) return true;
    }
    return false;
}

bool AcceptTileByDoor::OnlyTiles(std::vector<TilePoint>& points) const {
    const GridItem* only = nullptr;
    if (buildings_ == nullptr || !buildings_->OnlyItem(only)) return false;
    // Accept finds the building's door at the tile it asks about: the tiles
    // it can accept are the door tiles, whichever side is asked for.
    if (const auto* building = dynamic_cast<const Building*>(only))
        for (const Door& door : building->Doors()) points.push_back({door.col, door.row});
    return true;
}

float PreferTileByDistance::SquaredDistance(const GridTile& tile) const {
    if (item != nullptr) return SquaredDistanceToRect(item->GetFootprintRect(), tile.Position());
    return OffsetDistance(int64_t{point.col} - tile.Col(), int64_t{point.row} - tile.Row(), true);
}

bool PreferTileByDistance::Accept(GridTile* candidate) {
    return bounds.Unbounded() || bounds.Admits(SquaredDistance(*candidate));
}

GridTile* PreferTileByDistance::Prefer(GridTile* a, GridTile* b) {
    const float da = SquaredDistance(*a), db = SquaredDistance(*b);
    return da < db ? a : db < da ? b : nullptr;
}
