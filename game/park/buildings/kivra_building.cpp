// The game's building: its statistics, occupants, activity, place on the
// grid and its stamps on the tiles.
#include "game/park/buildings/kivra_building.h"

#include <algorithm>
#include <limits>

#include "app/player/basic_player_state.h"
#include "foundation/expression/constants_map.h"
#include "game/data/catalogues/item_types.h"
#include "game/data/progress/goal_display.h"
#include "game/park/base/task.h"
#include "game/park/grid/grid.h"
#include "game/park/grid/grid_footprint.h"
#include "game/park/grid/kivra_tile.h"
#include "game/park/grid/park_factory.h"

KivraBuilding::KivraBuilding(std::wstring_view type) : Building(type) {
    AddPassLines(&occupants_, &boosts_ + 1, UpdatePass::kStep);
    SetMouseDefault(true);
    DragWidget::SetDraggable(!pointerToGrid_, false);
    CreateImprovements();
}

KivraBuilding::~KivraBuilding() {
    // Deleted on the grid: leave it as a removal does while this is still a
    // building, so no visitor keeps it.
    if (Grid* grid = GetGrid(); grid != nullptr && GetParent() == grid) grid->ReleaseItem(this);
}

std::unique_ptr<Task> KivraBuilding::CreateTask(std::wstring_view name) {
    return ParkFactory::Registered().MakeParkTask(name, this, GetGrid());
}

// Found once per grid: every building asks it each step.
BuildingPark* KivraBuilding::Park() const { return park_; }

const BuildingHover& KivraBuilding::Hover() const {
    static const BuildingHover defaults;
    const BuildingPark* park = Park();
    return park ? park->Hover() : defaults;
}

void KivraBuilding::AddedToManager(WidgetManager* manager) {
    Building::AddedToManager(manager);
    ReadTypeStatistics();
    vacancies_ = capacity_ - static_cast<int32_t>(occupants_.size());
    reachable_ = true;
    SetPostRender(2);
    auto* player = dynamic_cast<ExtendedPropertyInterface*>(BasicPlayerState::Current());
    SetVariable(L"player_state", PropertyValue::FromPropertyInterface(player));
}

void KivraBuilding::ReadTypeStatistics() {
    const auto* record = dynamic_cast<const KIVRA_BUILDING_TYPE*>(TypeRecord());
    if (record == nullptr) return;
    capacity_ = record->capacity;
    buyCost_ = record->buycost;
    appeal_ = record->appeal;
    appealBuff_ = record->appealbuff;
    ticketPrice_ = record->ticketprice;
    stationary_ = record->stationary;
    characteristics_ = record->characteristics;
    timePerUse_ = record->timeperuse;
    costPerUse_ = record->costperuse;
    energyPerUse_ = record->energyperuse;
    // No zone size of its own: half the footprint, rounded up.
    const TileRect r = GetFootprintRect();
    zoneWidth_ = record->zone_width >= 1 ? record->zone_width : r.cols / 2 + r.cols % 2;
    zoneHeight_ = record->zone_height >= 1 ? record->zone_height : r.rows / 2 + r.rows % 2;
}

// ---- Occupancy --------------------------------------------------------------

void KivraBuilding::AddVisitor(BuildingVisitor* visitor) {
    --vacancies_;
    occupants_.push_back(visitor);
}

void KivraBuilding::RemoveVisitor(BuildingVisitor* visitor) {
    const auto removed = std::erase(occupants_, visitor);
    vacancies_ += static_cast<int32_t>(removed);
}

int32_t KivraBuilding::EjectAllVisitors() {
    int64_t hearts = 0;
    while (!occupants_.empty()) {
        BuildingVisitor* first = occupants_.front();
        hearts += first->GainHappiness();
        // A visitor that stayed would hold the building forever: it leaves.
        if (!occupants_.empty() && occupants_.front() == first) RemoveVisitor(first);
    }
    return static_cast<int32_t>(std::min<int64_t>(hearts, std::numeric_limits<int32_t>::max()));
}

void KivraBuilding::LetVisitorsOut() {
    // A visit cut short ends as any other: its hearts are earned.
    const int32_t hearts = EjectAllVisitors();
    if (ParkPlayer* player = ParkPlayer::Current(); player != nullptr && hearts > 0)
        player->ChangeResource(L"hearts", hearts, true, Hud());
}

// ---- Activity and pointer ----------------------------------------------------

bool KivraBuilding::IsActive() {
    if (!active_) {
        const BuildingPark* park = Park();
        active_ = park != nullptr && park->ItemsStarted();
    }
    return active_;
}

void KivraBuilding::SetGrid(Grid* grid) {
    Building::SetGrid(grid);
    park_ = dynamic_cast<BuildingPark*>(grid);
    SetDraggable(false, false);
}

void KivraBuilding::SetDraggable(bool draggable, bool endDrag) {
    Building::SetDraggable(draggable, endDrag);
    pointerToGrid_ = !draggable;
}

void KivraBuilding::SetMouseDefault(bool on) {
    mouseDefault_ = on;
    SetMouseVisible(on);
}

void KivraBuilding::SetMouseMode(int32_t mode) {
    mouseMode_ = mode;
    SetMouseVisible(mode == 0 ? mouseDefault_ : mode == 1);
}

void KivraBuilding::DetachFromTiles(Grid* grid) {
    DetachAll(true);
    EjectAllVisitors();
    if (grid == nullptr) grid = GetGrid();
    if (grid != nullptr) ReleaseVisitors(*grid);
    if (BuildingPark* park = Park(); park != nullptr && IsActive()) park->RemoveFromZones(*this, true);
}

void KivraBuilding::ReleaseVisitors(Grid& grid) {
    const std::vector<GridItem*> items = grid.Items();
    for (GridItem* item : items)
        if (auto* visitor = dynamic_cast<BuildingVisitor*>(item)) visitor->BuildingLeaving(*this);
}

// ---- Place on the grid --------------------------------------------------------

std::unique_ptr<GridFootprint> KivraBuilding::CreateFootprint(const ITEM_TYPE* record) {
    auto footprint = Building::CreateFootprint(record);
    footprint->stampState = '_';
    return footprint;
}

TileChar KivraBuilding::FootprintState() const { return GetFootprint() ? GetFootprint()->stampState : 0; }

void KivraBuilding::MoveTo(TilePoint position) {
    const bool moved = position != GetGridPosition();
    BuildingPark* park = Park();
    // A standing building moved (a script's "set-origin") leaves its tiles
    // and zones and joins them where it stands now: its old tiles would
    // name it still, after it is gone.
    const bool standing = moved && park != nullptr && InZones();
    if (standing) park->RemoveFromZones(*this, false);
    Building::MoveTo(position);
    if (standing) park->UpdateZones(*this, false);
    if (moved && park != nullptr) park->ResetCycle();
}

void KivraBuilding::SetOrientation(int32_t orientation) {
    // A turn changes the footprint as a move does.
    BuildingPark* park = Park();
    const bool standing = orientation != GetOrientation() && park != nullptr && InZones();
    if (standing) park->RemoveFromZones(*this, false);
    Building::SetOrientation(orientation);
    if (standing) park->UpdateZones(*this, false);
}

void KivraBuilding::SwapZoneSidesFor(int32_t degrees) {
    if (degrees % 180 != 0) std::swap(zoneWidth_, zoneHeight_);
}

bool KivraBuilding::RotateFootprintAboutCentre(int32_t degrees) {
    SwapZoneSidesFor(degrees);
    return Building::RotateFootprintAboutCentre(degrees);
}

bool KivraBuilding::RotateFootprint(int32_t degrees) {
    SwapZoneSidesFor(degrees);
    return Building::RotateFootprint(degrees);
}

void KivraBuilding::SetScreenPositionFromTile(float x, float y) {
    Grid* grid = GetGrid();
    if (grid == nullptr) return;
    const TileRect before = GetFootprintRect();
    // The footprint centres on the pointer: along an odd side its middle
    // tile is the one under the pointer, along an even side its middle is
    // the tile corner nearest the pointer (a 2 x 2 aimed at a corner four
    // tiles share goes on those four), the tile before that corner being the
    // one under the pointer moved half a tile back. The picture stands on
    // the footprint as it will once set down: the marked tiles are where it is.
    const PixelPoint o = grid->TileToScreen(0, 0), c = grid->TileToScreen(1, 0), r = grid->TileToScreen(0, 1);
    const float hc = before.cols % 2 == 0 ? 0.5f : 0.0f, hr = before.rows % 2 == 0 ? 0.5f : 0.0f;
    const TilePoint under =
        grid->ScreenToTile(x - hc * (c.x - o.x) - hr * (r.x - o.x), y - hc * (c.y - o.y) - hr * (r.y - o.y));
    StandPictureOn({under.col + before.cols / 2, under.row + before.rows / 2});
    UpdateDragPlacement();
    if (GetFootprintRect() != before) {
        grid->MarkTileStatesDirty();
        grid->MarkDirty();
    }
}

void KivraBuilding::UpdateDragPlacement() {
    Grid* grid = GetGrid();
    GridFootprint* footprint = GetFootprint();
    if (grid == nullptr || footprint == nullptr) return;
    const TilePoint from = GetGridPosition();
    const TilePoint to = GetTileUnder(0.0f, 0.0f);
    if (to == from) return;
    footprint->SetPosition(to.col, to.row);
    ShiftDoors(to.col - from.col, to.row - from.row);
    footprint->stampState = grid->CanPlaceFootprint(*footprint) ? 'g' : 'r';
    grid->MarkTileStatesDirty();
    grid->MarkDirty();
}

void KivraBuilding::SetFootprintState(TileChar state) {
    GridFootprint* footprint = GetFootprint();
    if (footprint == nullptr || footprint->stampState == state) return;
    if (Grid* grid = GetGrid()) {
        grid->MarkTileStatesDirty();
        grid->MarkDirty();
    }
    footprint->stampState = state;
}

TileRect KivraBuilding::GetZoneRect() const {
    TileRect r = GetFootprintRect();
    r.col += zoneWidth_;
    r.row += zoneHeight_;
    r.cols += 2 * zoneWidth_;
    r.rows += 2 * zoneHeight_;
    return r;
}

bool KivraBuilding::IsAppealMaxed() const { return appeal_ >= GetConstant(L"appeal_maximum").ToReal(); }

// ---- Stamps on the tiles --------------------------------------------------------

void KivraBuilding::StampStateOnTiles(GridTileColumns& tiles) {
    if (zoneHighlighted_) {
        MarkZoneTiles(tiles);
        Building::StampStateOnTiles(tiles);
        if (held_ && FootprintState() == 'r') MarkRefusingTiles(tiles);
    } else if (Hover().showDoors) {
        Building::StampDoorsOnTiles(tiles);
    }
}

void KivraBuilding::StampDoorsOnTiles(GridTileColumns& tiles) {
    if (Hover().showDoors) Building::StampDoorsOnTiles(tiles);
}

void KivraBuilding::MarkFootprintTiles(bool set, GridTileColumns& tiles, bool refresh) {
    const TileRect r = GetFootprintRect();
    for (int32_t col = r.Left(); col <= r.col; ++col)
        for (int32_t row = r.Top(); row <= r.row; ++row)
            if (auto* tile = dynamic_cast<KivraTile*>(TileAt(tiles, col, row))) tile->occupant = set ? this : nullptr;
    if (!refresh) return;
    const auto refreshAt = [&tiles](int32_t col, int32_t row) {
        if (auto* tile = dynamic_cast<KivraTile*>(TileAt(tiles, col, row))) tile->Refresh(tiles);
    };
    for (int32_t col = r.col - r.cols; col <= r.col + 1; ++col) {
        refreshAt(col, r.row - r.rows);
        refreshAt(col, r.row + 1);
    }
    for (int32_t row = r.row - r.rows + 1; row <= r.row; ++row) {
        refreshAt(r.col - r.cols, row);
        refreshAt(r.col + 1, row);
    }
}

void KivraBuilding::MarkRefusingTiles(GridTileColumns& tiles) {
    const TileRect r = GetFootprintRect();
    for (int32_t col = r.Left(); col <= r.col; ++col)
        for (int32_t row = r.Top(); row <= r.row; ++row)
            if (auto* tile = dynamic_cast<KivraTile*>(TileAt(tiles, col, row)); tile && !tile->IsBuildable())
                tile->refusesHeld = true;
}

void KivraBuilding::MarkZoneTiles(GridTileColumns& tiles) {
    const TileRect zone = GetZoneRect();
    const TileRect own = GetFootprintRect();
    const TileChar m = zoneOverlay_;
    for (int32_t col = zone.Left(); col <= zone.col; ++col) {
        for (int32_t row = zone.Top(); row <= zone.row; ++row) {
            if (own.Covers({col, row})) continue;
            auto* tile = dynamic_cast<KivraTile*>(TileAt(tiles, col, row));
            if (tile == nullptr) continue;
            TileChar& o = tile->overlay;
            // Two rings meeting (the held one and a highlighted one) show both.
            if (o == '#' && (m == '*' || m == 'a')) continue;
            o = (o == 'a' && m == '*') || (o == '*' && m == 'a') ? TileChar('#') : m;
        }
    }
}
