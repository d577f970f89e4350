// The grid's life: construction from the current level, entering and
// leaving the tree, the item factory and placement, the per-step work.
#include "game/park/grid/grid.h"

#include <algorithm>

#include "foundation/expression/constants_map.h"
#include "foundation/system/app_services.h"
#include "foundation/system/log.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/level_records.h"
#include "game/data/progress/player_state.h"
#include "game/park/base/task.h"
#include "game/park/grid/grid_item.h"
#include "game/park/grid/park_factory.h"
#include "rendering/device/device_host.h"
#include "rendering/image/image.h"

namespace {

// A push setting from the constants map; 0 or absent gives the fallback.
float PushSetting(std::wstring_view name, float fallback) {
    const float value = GetConstant(name).ToReal();
    return value != 0.0f ? value : fallback;
}

// A camera coordinate of the level; 0 centres the grid on the screen.
int32_t CameraOrCentre(int32_t camera, int32_t gridSize, int32_t screenSize) {
    return camera != 0 ? camera : (gridSize - screenSize) / 2;
}

}  // namespace

Grid::Grid() : DragWidget(0, 0, nullptr, 1.0f, true) {
    SetHandCursor(false);  // the whole park under the pointer is no button
    SetCache(true, false);
    GridTile::LoadTileImages();
    const LEVEL* level = CurrentLevel();
    if (level != nullptr) {
        cols_ = std::max(level->cols, 0);
        rows_ = std::max(level->rows, 0);
        SetImage(dynamic_cast<Image*>(FindImageByName(level->background)));
    }

    const DeviceHost& screen = Service<DeviceHost>::Get();
    const int sw = screen.ScreenWidth(), sh = screen.ScreenHeight();
    const int32_t cx = CameraOrCentre(level ? level->camera_x : 0, width_, sw);
    const int32_t cy = CameraOrCentre(level ? level->camera_y : 0, height_, sh);
    Move(x_ - static_cast<float>(cx), y_ - static_cast<float>(cy));

    GridLayout layout{.tileStepW = GridTile::TileStepW(),
                      .tileStepH = GridTile::TileStepH(),
                      .cols = cols_,
                      .rows = rows_,
                      .width = width_,
                      .height = height_,
                      .originX = level ? level->grid_x : 0,
                      .originY = level ? level->grid_y : 0};
    transform_.Build(LayoutWithConstants(layout));

    const float swf = static_cast<float>(sw), shf = static_cast<float>(sh);
    SetPushSpeed(PushSetting(L"grid_push_speed", (swf + shf) * 0.0027f));
    SetPushMargins(PushSetting(L"grid_push_width", swf * 0.2f), PushSetting(L"grid_push_height", shf * 0.2f));
    SetPushable(false);
    Watch(this);
}

Grid::~Grid() {
    // Items outlive the grid only as orphans: they forget it and its tiles.
    for (GridItem* item : items_) {
        item->DetachAll(true);
        item->SetGrid(nullptr);
    }
}

PlayerState* Grid::CurrentPlayer() { return dynamic_cast<PlayerState*>(BasicPlayerState::Current()); }

LEVEL* Grid::CurrentLevel() {
    PlayerState* player = CurrentPlayer();
    return player ? player->CurrentLevelRecord() : nullptr;
}

void Grid::AddedToManager(WidgetManager* manager) {
    DragWidget::AddedToManager(manager);
    CreateSequence(this);
    const LEVEL* level = CurrentLevel();
    BuildTiles(level);
    built_ = true;
    builtFrom_ = level ? std::optional<std::wstring>(level->name) : std::nullopt;
    if (level != nullptr) PlaceLevelItems(*level);
    SetTransformChildren(true);
}

void Grid::BuildTiles(const LEVEL* level) {
    tiles_.clear();
    tiles_.resize(static_cast<size_t>(cols_));
    for (int32_t col = 0; col < cols_; ++col) {
        auto& column = tiles_[static_cast<size_t>(col)];
        column.reserve(static_cast<size_t>(rows_));
        for (int32_t row = 0; row < rows_; ++row) {
            // A damaged level's map may be shorter than its size: empty tiles there.
            wchar_t material = kEmptyTile;
            if (level && static_cast<size_t>(col) < level->tiles.size() &&
                static_cast<size_t>(row) < level->tiles[static_cast<size_t>(col)].size())
                material = level->tiles[static_cast<size_t>(col)][static_cast<size_t>(row)];
            // Materials are 16-bit: a wider character would alias another one.
            if (material < 0 || material > 0xFFFF) material = kEmptyTile;
            column.push_back(CreateTile(static_cast<TileChar>(material), col, row));
        }
    }
}

void Grid::PlaceLevelItems(const LEVEL& level) {
    // Placing may run scripts; walk indices, never iterators into the list.
    for (size_t i = 0; i < level.items.Size(); ++i) {
        const LEVEL_ITEM& record = *level.items.At(i);
        if (PlaceLevelItem(record) != nullptr) continue;
        unplaced_.insert(&record);
        // A stacked one was told so as it was left out.
        if (FirstRefusal(L"left out", record.type))
            LogWrite(L"Level item \"" + record.type +
                         L"\" of unknown type, off the park or on another building skipped; kept in the level",
                     true);
    }
}

void Grid::RemovedFromManager(WidgetManager* manager) {
    SaveToLevel();
    DragWidget::RemovedFromManager(manager);
    DiscardItems();
    built_ = false;
    unplaced_.clear();
    for (auto& column : tiles_)
        while (!column.empty()) column.pop_back();
    tiles_.clear();
}

void Grid::DiscardItems() {
    // Unlinked from the tiles before these go; the level holds what they were.
    while (!items_.empty()) RemoveWidget(items_.back());
}

std::unique_ptr<GridTile> Grid::CreateTile(TileChar material, int32_t col, int32_t row) {
    auto tile = std::make_unique<GridTile>(material, col, row);
    tile->state = defaultTileState_;
    return tile;
}

GridItem* Grid::CreateItem(std::wstring_view type) {
    ITEM_TYPE* record = FindRecordByName(ItemStats::Current(), type);
    if (record == nullptr) return nullptr;
    if (dynamic_cast<PERSON_TYPE*>(record) != nullptr) return ParkFactory::Registered().MakePerson(type);
    if (dynamic_cast<BUILDING_TYPE*>(record) != nullptr) return ParkFactory::Registered().MakeBuilding(type);
    return new GridItem(type);
}

GridItem* Grid::CreateAndPlaceItem(std::wstring_view type, int32_t col, int32_t row, int32_t orientation,
                                   std::wstring_view action) {
    GridItem* item = CreateItem(type);
    if (item == nullptr) return nullptr;
    adding_ = item;
    AddWidget(item);
    adding_ = nullptr;
    item->SetPriority(items_.empty() ? 0 : items_.back()->GetPriority() + 1);
    items_.push_back(item);
    item->SetGrid(this);
    item->SetAction(action);
    item->SetOrientation(orientation);
    item->MoveToColRow(col, row);
    if (started_) item->StartDefaultTask();
    return item;
}

size_t Grid::AddPosition(const Widget& widget) const {
    if (&widget != adding_) return DragWidget::AddPosition(widget);
    // An item goes in at the default priority and takes its own just after,
    // without a sort: so it stays on the border of the children at or below
    // that priority and those above it, and the children stay split there
    // (the depth sort and the scripts' re-ordering sort them whole). The
    // border is then found by halving, not by walking back over a crowd of
    // visitors at every one added.
    const int priority = widget.GetPriority();
    const auto border = std::ranges::partition_point(
        children_, [priority](const Widget* child) { return child->GetPriority() <= priority; });
    return static_cast<size_t>(border - children_.begin());
}

void Grid::RemoveWidget(Widget* widget) {
    if (auto* item = dynamic_cast<GridItem*>(widget)) ReleaseItem(item);
    DragWidget::RemoveWidget(widget);
}

void Grid::ReleaseItem(GridItem* item) {
    if (auto it = std::find(items_.begin(), items_.end(), item); it != items_.end()) {
        items_.erase(it);
        item->DetachFromTiles(this);
    }
    tileStatesDirty_ = true;
    MarkDirty();
}

void Grid::StartItems() {
    if (started_) return;
    started_ = true;
    // A task may place or remove items: walk a copy.
    const std::vector<GridItem*> items = items_;
    for (GridItem* item : items) item->StartDefaultTask();
}

void Grid::ResetTileStates() {
    for (auto& column : tiles_)
        for (auto& tile : column) tile->state = defaultTileState_;
    for (GridItem* item : items_) item->StampStateOnTiles(tiles_);
    tileStatesDirty_ = false;
}

std::unique_ptr<Task> Grid::CreateTask(std::wstring_view name) {
    return ParkFactory::Registered().MakeGridTask(name, this, this);
}

void Grid::Update() {
    DragWidget::Update();
    if (goalsDirty_) CheckLevelGoals();
    if (tileStatesDirty_) ResetTileStates();
}
