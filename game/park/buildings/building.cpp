#include "game/park/buildings/building.h"

#include "game/park/grid/grid.h"
#include "game/park/grid/grid_footprint.h"

Building::Building(std::wstring_view type) : GridItem(type) {}

Building::~Building() = default;

void Building::AddedToManager(WidgetManager* manager) {
    GridItem::AddedToManager(manager);
    doors_.clear();
    const auto* record = dynamic_cast<const BUILDING_TYPE*>(TypeRecord());
    if (record == nullptr) return;
    // Offsets from the anchor of the footprint just made.
    const TilePoint anchor = GetGridPosition();
    for (const Door& d : record->doors)
        CreateDoor({anchor.col + d.col, anchor.row + d.row}, static_cast<TileChar>(d.code));
}

void Building::RemovedFromManager(WidgetManager* manager) {
    doors_.clear();
    GridItem::RemovedFromManager(manager);
}

void Building::CreateDoor(TilePoint point, TileChar side) { doors_.push_back({point.col, point.row, side}); }

const Door* Building::FindDoor(TilePoint point, TileChar side) const {
    for (const Door& d : doors_)
        if (d.col == point.col && d.row == point.row && (side == 0 || d.code == side)) return &d;
    return nullptr;
}

bool Building::CanPlace() {
    Grid* grid = GetGrid();
    return grid != nullptr && GetFootprint() != nullptr && grid->CanPlaceFootprint(*GetFootprint());
}

std::unique_ptr<GridFootprint> Building::CreateFootprint(const ITEM_TYPE* record) {
    auto footprint = GridItem::CreateFootprint(record);
    footprint->stampState = 'r';
    return footprint;
}

void Building::MoveTo(TilePoint position) {
    const TilePoint from = GetGridPosition();
    if (position != from) ShiftDoors(position.col - from.col, position.row - from.row);
    GridItem::MoveTo(position);
}

void Building::ShiftDoors(int32_t dcol, int32_t drow) {
    for (Door& d : doors_) {
        d.col += dcol;
        d.row += drow;
    }
}

std::vector<TilePoint> Building::DoorPoints() const {
    std::vector<TilePoint> points;
    points.reserve(doors_.size());
    for (const Door& d : doors_) points.push_back({d.col, d.row});
    return points;
}

void Building::SetDoorPoints(const std::vector<TilePoint>& points) {
    for (size_t i = 0; i < doors_.size(); ++i) {
        doors_[i].col = points[i].col;
        doors_[i].row = points[i].row;
    }
}

bool Building::RotateFootprintAboutCentre(int32_t degrees) {
    const TileRect r = GetFootprintRect();
    const TileCentre centre{static_cast<float>(r.col) - static_cast<float>(r.cols) * 0.5f + 0.5f,
                            static_cast<float>(r.row) - static_cast<float>(r.rows) * 0.5f + 0.5f};
    const bool changed = GridItem::RotateFootprintAboutCentre(degrees);
    std::vector<TilePoint> points = DoorPoints();
    RotatePoints(centre, points, degrees);
    SetDoorPoints(points);
    return changed || !doors_.empty();
}

// The plain turn swaps the footprint's sides about a fixed anchor, which
// mirrors it across the diagonal through the anchor: the doors are mirrored
// the same way, so a door beside one side stays beside the same side. (A
// true quarter turn about the anchor would leave some inside the footprint.)
bool Building::RotateFootprint(int32_t degrees) {
    const TilePoint anchor = GetGridPosition();
    const bool changed = GridItem::RotateFootprint(degrees);
    std::vector<TilePoint> points = DoorPoints();
    TransposePoints({static_cast<float>(anchor.col), static_cast<float>(anchor.row)}, points);
    SetDoorPoints(points);
    return changed || !doors_.empty();
}

void Building::AttachToTiles() {
    GridItem::AttachToTiles();
    Grid* grid = GetGrid();
    if (grid == nullptr) return;
    for (const Door& d : doors_) AttachTile(grid->GetTileAt(d.col, d.row), true);
}

void Building::StampStateOnTiles(GridTileColumns& tiles) {
    GridItem::StampStateOnTiles(tiles);
    StampDoorsOnTiles(tiles);
}

void Building::StampDoorsOnTiles(GridTileColumns& tiles) {
    for (const Door& d : doors_) {
        if (d.code == 0) continue;
        if (GridTile* t = TileAt(tiles, d.col, d.row)) t->state = static_cast<TileChar>(d.code);
    }
}

PropertyValue Building::GetProperty(std::wstring_view name) {
    if (name == L"doors") return PropertyValue(static_cast<int>(doors_.size()));
    return GridItem::GetProperty(name);
}
