// The park's life in the tree, its factories, tiles, spawn spots, the
// reachability pass and the bridge to the display.
#include "game/park/parkgrid/kivra_grid.h"

#include <typeinfo>
#include <utility>

#include "foundation/expression/constants_map.h"
#include "foundation/system/app_services.h"
#include "foundation/system/log.h"
#include "foundation/system/random.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/kivra_level.h"
#include "game/park/buildings/front_gate.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/buildings/roller_coaster.h"
#include "game/park/display/park_display.h"
#include "game/park/grid/kivra_tile.h"
#include "game/park/parkgrid/kivra_spawner.h"
#include "game/park/parkgrid/park_registration.h"
#include "game/park/parkgrid/park_zones.h"
#include "game/park/people/kivra_person.h"
#include "game/park/tasks/kivra_grid_task.h"
#include "rendering/image/image.h"

namespace {

KIVRA_LEVEL* CurrentParkLevel() {
    ParkPlayer* player = ParkPlayer::Current();
    return player ? player->GetCurrentLevel() : nullptr;
}

uint32_t CeilDiv(int a, int b) { return b > 0 ? static_cast<uint32_t>((a + b - 1) / b) : 0; }

}  // namespace

KivraGrid::KivraGrid() : zones_(std::make_unique<ParkZones>(*this)) {
    RegisterParkFactory();
    SetAllowDiagonal(true);
}

KivraGrid::~KivraGrid() = default;

// ---- The display ------------------------------------------------------------

ParkDisplay* KivraGrid::Display() { return ParkDisplay::Current(); }

void KivraGrid::RunCallback(std::wstring_view name) {
    if (ParkDisplay* display = Display()) display->Widget().RunAnimationNamed(name);
}

void KivraGrid::SetDisplayVariable(const std::wstring& name, const PropertyValue& value) {
    if (ParkDisplay* display = Display()) display->Widget().SetVariable(name, value);
}

bool KivraGrid::TutorialRunning() {
    ParkDisplay* display = Display();
    return display != nullptr && !display->TutorialInactive();
}

std::wstring KivraGrid::TutorialStep() {
    ParkDisplay* display = Display();
    ParkPlayer* player = ParkPlayer::Current();
    if (display == nullptr || player == nullptr || display->TutorialInactive()) return {};
    return display->TutorialStepName(player->TutorialStep()).value_or(std::wstring());
}

void KivraGrid::TutorialEvent(int32_t event) {
    if (ParkDisplay* display = Display()) display->OnTutorialEvent(event, *this);
}

// ---- Life in the tree ----------------------------------------------------------

void KivraGrid::AddedToManager(WidgetManager* manager) {
    SetPriority(-5000);
    // A saved open gate lays its spawn spots again while its items are
    // placed: they stay beside the level's own.
    spawnSpots_.clear();
    Grid::AddedToManager(manager);
    walkEnergyCost_ = GetConstant(L"person_walk_energy_cost").ToReal() / 100.0f;
    const KIVRA_LEVEL* level = CurrentParkLevel();
    std::vector<TilePoint> opened = std::exchange(spawnSpots_, {});
    if (level != nullptr)
        for (const auto& [col, row] : level->spawn_points) AddSpawnSpot({col, row});
    for (const TilePoint& spot : opened) AddSpawnSpot(spot);
    for (auto& column : Tiles())
        for (auto& tile : column)
            if (auto* k = dynamic_cast<KivraTile*>(tile.get())) k->Refresh(Tiles());
    drawsOcean_ = level != nullptr && level->ocean;
    ocean_ = sun_ = nullptr;
    if (drawsOcean_) {
        ocean_ = dynamic_cast<Image*>(FindImageByName(L"ocean"));
        sun_ = dynamic_cast<Image*>(FindImageByName(L"sun_shine"));
        // Without its images the water is not drawn: the grid alone is.
        if (ocean_ == nullptr || sun_ == nullptr || ocean_->GetCelCount() <= 0) {
            LogWrite(L"Level has an ocean but no \"ocean\" or \"sun_shine\" image: the park is drawn without it", true);
            drawsOcean_ = false;
            ocean_ = sun_ = nullptr;
        } else {
            oceanCols_ = CeilDiv(width_, ocean_->GetCelWidth());
            oceanRows_ = CeilDiv(height_, ocean_->GetCelHeight());
        }
    }
}

void KivraGrid::RemovedFromManager(WidgetManager* manager) {
    CancelCurrentMode();
    // The popup stands in the display: it goes with the park.
    ClosePopupFor(popupBuilding_.Get());
    ReportBuildingsLeaving();
    const std::vector<GridItem*> items = Items();
    for (GridItem* item : items)
        if (auto* building = dynamic_cast<KivraBuilding*>(item)) RemoveFromZones(*building, false);
    // Visitors are not kept: the park opens empty.
    RemoveAllVisitors();
    Grid::RemovedFromManager(manager);
}

void KivraGrid::RemoveWidget(Widget* widget) {
    // A carried building that goes is no longer carried.
    if (held_ != nullptr && widget == held_) held_ = nullptr;
    ForgetPopupChild(widget);
    if (spawner_ != nullptr && widget == spawner_) spawner_ = nullptr;
    Grid::RemoveWidget(widget);
}

void KivraGrid::StartItems() {
    if (!IsStarted()) {
        if (const KIVRA_LEVEL* level = CurrentParkLevel()) AddTask(CreateTask(level->name), 0.5f);
        OnWeekStart();
    }
    Grid::StartItems();
    const std::vector<GridItem*> items = Items();
    for (GridItem* item : items)
        if (auto* building = dynamic_cast<KivraBuilding*>(item)) UpdateZones(*building, false);
    itemsStarted_ = true;
    ResetCycle();
    if (ParkDisplay* display = Display()) display->UpdateCalendar(weekTimer_);
    RunCallback(L"request_naming");
}

void KivraGrid::RemoveAllVisitors() {
    std::vector<GridItem*> persons;
    for (GridItem* item : Items())
        if (dynamic_cast<Person*>(item) != nullptr) persons.push_back(item);
    for (GridItem* person : persons) RemoveWidget(person);
}

void KivraGrid::SaveToLevel() {
    // Visitors are left out of the record (MakeLevelItem) but stay in the
    // park: a save in play must not cost the week the visitors it let in.
    if (KIVRA_LEVEL* level = CurrentParkLevel()) {
        level->camera_x = static_cast<int32_t>(-x_);
        level->camera_y = static_cast<int32_t>(-y_);
        level->week_time_left = WeekTimeLeft();
    }
    Grid::SaveToLevel();
}

// ---- Factories ------------------------------------------------------------------

std::unique_ptr<GridTile> KivraGrid::CreateTile(TileChar material, int32_t col, int32_t row) {
    auto tile = std::make_unique<KivraTile>(material, col, row);
    tile->state = DefaultTileState();
    return tile;
}

std::unique_ptr<Task> KivraGrid::CreateTask(std::wstring_view name) {
    return std::make_unique<KivraGridTask>(name, this, this);
}

GridItem* KivraGrid::CreateItem(std::wstring_view type) {
    ITEM_TYPE* record = FindRecordByName(ItemStats::Current(), type);
    if (record == nullptr) return nullptr;
    if (type == L"front_gate") return new FrontGate(false);
    if (dynamic_cast<BUILDING_TYPE*>(record) != nullptr) {
        if (type == L"roller_coaster" || type == L"kiddie_coaster") return new RollerCoaster(type);
        return new KivraBuilding(type);
    }
    if (dynamic_cast<PERSON_TYPE*>(record) != nullptr) return new KivraPerson(type);
    return Grid::CreateItem(type);
}

GridItem* KivraGrid::CreateAndPlaceItem(std::wstring_view type, int32_t col, int32_t row, int32_t orientation,
                                        std::wstring_view action) {
    // A script adding buildings on one tile would stack them: the tiles
    // under the one left would be cleared with the other, and joining the
    // zones would search every stacked pair, each add slower than the last.
    GridItem* item = RefuseStacked(Grid::CreateAndPlaceItem(type, col, row, orientation, action));
    // Standing outside the zones it would still be taken as a neighbour by
    // the next one placed, and its tiles would be walked through. Before
    // the items start, StartItems joins it with the rest.
    if (auto* building = dynamic_cast<KivraBuilding*>(item); building != nullptr && itemsStarted_) {
        building->StampMaterialOnTiles(Tiles());
        UpdateZones(*building, false);
        ResetCycle();
        MarkTileStatesDirty();
    }
    return item;
}

KivraBuilding* KivraGrid::CreateAndPlaceBuilding(std::wstring_view type, int32_t col, int32_t row, int32_t orientation,
                                                 std::wstring_view action) {
    GridItem* item = Grid::CreateAndPlaceItem(type, col, row, orientation, action);
    auto* building = dynamic_cast<KivraBuilding*>(item);
    if (item != nullptr && building == nullptr) RemoveWidget(item);
    return building;
}

// ---- Tiles --------------------------------------------------------------------

void KivraGrid::ResetTileStates() {
    for (auto& column : Tiles())
        for (auto& tile : column)
            if (auto* k = dynamic_cast<KivraTile*>(tile.get())) {
                k->overlay = DefaultTileState();
                k->refusesHeld = false;
            }
    Grid::ResetTileStates();
    if (held_ != nullptr) {
        held_->StampStateOnTiles(Tiles());
        // A click refused for the tutorial's sake shows where it would be taken.
        if (RefusalShown() != nullptr && TutorialWantsOtherTiles())
            for (auto& column : Tiles())
                for (auto& tile : column)
                    if (tile->material == 'T') tile->state = 'g';
    } else if (editMode_ == kSidewalk) {
        if (GridTile* tile = GetTileAt(hoverTile_.col, hoverTile_.row)) tile->state = highlightState_;
    }
}

KivraBuilding* KivraGrid::GetTileOccupant(TilePoint position) const {
    // Every visitor asks each step: the park's own tiles (CreateTile) skip the cast.
    GridTile* any = GetTileAt(position.col, position.row);
    auto* tile = any != nullptr && typeid(*any) == typeid(KivraTile) ? static_cast<KivraTile*>(any)
                                                                     : dynamic_cast<KivraTile*>(any);
    return tile ? tile->occupant : nullptr;
}

void KivraGrid::SetTileMaterial(TilePoint position, TileChar material) {
    GridTile* tile = GetTileAt(position.col, position.row);
    if (tile == nullptr) return;
    const bool walkable = tile->IsWalkable();
    tile->material = material;
    if (tile->IsWalkable() != walkable) ResetCycle();
    for (int32_t col = position.col - 1; col <= position.col + 1; ++col)
        for (int32_t row = position.row - 1; row <= position.row + 1; ++row)
            if (auto* k = dynamic_cast<KivraTile*>(GetTileAt(col, row))) k->Refresh(Tiles());
}

void KivraGrid::ClearPreviewTiles() {
    for (int32_t col = 0; col < Cols(); ++col)
        for (int32_t row = 0; row < Rows(); ++row)
            if (GetTileAt(col, row)->material == 'T') SetTileMaterial({col, row}, '_');
}

void KivraGrid::StampItemMaterial(GridItem& item) { item.StampMaterialOnTiles(Tiles()); }

void KivraGrid::MarkItemTiles(bool mark, KivraBuilding& building) {
    if (mark) NoteBuildingSetDown();
    building.MarkFootprintTiles(mark, Tiles(), true);
}

void KivraGrid::SetBuildingsMouseMode(int32_t mode) {
    for (GridItem* item : Items())
        if (auto* building = dynamic_cast<KivraBuilding*>(item)) building->SetMouseMode(mode);
}

GridItem* KivraGrid::HeldItem() const { return held_; }

// ---- Spawn spots ------------------------------------------------------------------

void KivraGrid::AddSpawnSpot(TilePoint position) {
    if (!IsSpawnSpot(position.col, position.row)) spawnSpots_.push_back(position);
}

bool KivraGrid::GetRandomSpawnSpot(TilePoint& out) const {
    if (spawnSpots_.empty()) return false;
    out = spawnSpots_[static_cast<size_t>(RandomRange(0, static_cast<int>(spawnSpots_.size())))];
    return true;
}

bool KivraGrid::IsSpawnSpot(int32_t col, int32_t row) const {
    for (const TilePoint& spot : spawnSpots_)
        if (spot.col == col && spot.row == row) return true;
    return false;
}

// ---- Reachability pass -------------------------------------------------------------

void KivraGrid::ResetCycle() {
    if (cycleNext_ >= 0) {
        cycleStop_ = cycleNext_;
    } else {
        cycleStop_ = cycleNext_ = 0;
    }
}

void KivraGrid::CycleNextBuilding() {
    if (cycleNext_ < 0) return;
    const auto n = static_cast<int32_t>(Items().size());
    if (cycleNext_ >= n) cycleNext_ = 0;
    if (cycleStop_ >= n) cycleStop_ = 0;
    const auto advance = [&] { cycleNext_ = cycleNext_ + 1 >= n ? 0 : cycleNext_ + 1; };
    for (int32_t step = 0; step < n; ++step) {
        auto* building = dynamic_cast<KivraBuilding*>(Items()[static_cast<size_t>(cycleNext_)]);
        advance();
        if (building != nullptr) {
            building->UpdateReachability();
            break;
        }
        if (cycleNext_ == cycleStop_) break;
    }
    if (cycleNext_ == cycleStop_) cycleStop_ = cycleNext_ = -1;
}

// ---- Modes and properties ----------------------------------------------------------------

void KivraGrid::CancelCurrentMode() {
    switch (editMode_) {
        case kNewBuilding: CancelNewBuilding(); break;
        case kMoveSelect:
        case kMoveHeld: CancelMove(); break;
        case kRotateSelect:
        case kRotateHeld: CancelRotate(); break;
        case kRemoveSelect: CancelRemove(); break;
        case kSidewalk: CancelSidewalk(); break;
        default: break;
    }
    pendingCancel_ = false;
}

float* KivraGrid::GetPropertyPtr(std::wstring_view name, uint32_t& mask) {
    if (name == L"week_timer") return &weekTimer_;
    return Grid::GetPropertyPtr(name, mask);
}

PropertyValue KivraGrid::GetProperty(std::wstring_view name) {
    if (name == L"week_timer") return PropertyValue::FromFloat(weekTimer_);
    return Grid::GetProperty(name);
}
