// A grid item's place on the grid: entering the tree, the tile links,
// moves, facing, dragging, the depth test and the script properties.
#include "game/park/grid/grid_item.h"

#include <algorithm>
#include <cmath>

#include "foundation/values/property_table.h"
#include "game/data/catalogues/item_stats.h"
#include "game/park/base/task.h"
#include "game/park/base/task_sequence.h"
#include "game/park/grid/grid.h"
#include "game/park/grid/grid_footprint.h"
#include "game/park/grid/park_factory.h"

GridItem::GridItem(std::wstring_view type) : DragWidget(0, 0, nullptr, 1.0f, false), type_(type) {
    SetDraggable(false, false);
    // A person's step asks for its tile through the footprint, twice.
    AddPassLines(&grid_, &footprint_ + 1, UpdatePass::kStep);
}

GridItem::~GridItem() {
    // Deleted while still on the grid: the grid and the tiles must not keep it.
    if (grid_ != nullptr && GetParent() == grid_) grid_->ReleaseItem(this);
}

ITEM_TYPE* GridItem::TypeRecord() const { return FindRecordByName(ItemStats::Current(), type_); }

void GridItem::AddedToManager(WidgetManager* manager) {
    DragWidget::AddedToManager(manager);
    CreateSequence(this);
    const ITEM_TYPE* record = TypeRecord();
    category_ = record ? record->category : std::wstring();
    autoFlip_ = record && record->auto_flip_x;
    if (std::unique_ptr<GridFootprint> made = CreateFootprint(record))
        footprint_.emplace(*made);
    else
        footprint_.reset();
    Watch(this);
}

std::unique_ptr<GridFootprint> GridItem::CreateFootprint(const ITEM_TYPE* record) {
    auto footprint = std::make_unique<GridFootprint>();
    footprint->SetSize(record ? record->width : 1, record ? record->height : 1);
    return footprint;
}

std::unique_ptr<Task> GridItem::CreateTask(std::wstring_view name) {
    return ParkFactory::Registered().MakeGridTask(name, this, grid_);
}

void GridItem::SetGrid(Grid* grid) { grid_ = grid; }
void GridItem::DetachFromTiles(Grid*) { DetachAll(true); }
void GridItem::StartDefaultTask() {}

// ---- Tile links -----------------------------------------------------------

void GridItem::AttachTile(GridTile* tile, bool notify) {
    if (tile == nullptr) return;
    tiles_.insert(tile);
    if (notify) tile->AddItem(this);
}

void GridItem::DetachTile(GridTile* tile, bool notify) {
    if (notify && tile != nullptr) tile->RemoveItem(this);
    tiles_.erase(tile);
}

void GridItem::DetachAll(bool notify) {
    while (!tiles_.empty()) DetachTile(*tiles_.begin(), notify);
}

bool GridItem::IsOnTile(GridTile* tile) const { return tiles_.contains(tile); }

void GridItem::AttachToTiles() {
    DetachAll(true);
    if (!footprint_ || !grid_) return;
    const TileRect r = footprint_->GetRect();
    for (int32_t col = r.Left(); col <= r.col; ++col)
        for (int32_t row = r.Top(); row <= r.row; ++row) AttachTile(grid_->GetTileAt(col, row), true);
}

void GridItem::StampStateOnTiles(GridTileColumns& tiles) {
    if (footprint_ && footprint_->stampState != 0) footprint_->StampState(tiles);
}

void GridItem::StampMaterialOnTiles(GridTileColumns& tiles) {
    if (footprint_ && footprint_->stampMaterial != 0) footprint_->StampMaterial(tiles);
}

// ---- Position and facing --------------------------------------------------

int32_t GridItem::GetOrientation() const { return footprint_ ? footprint_->Orientation() : 0; }

void GridItem::MarkGridDirty() {
    if (grid_ == nullptr) return;
    grid_->MarkDepthDirty();
    grid_->MarkDirty();
    grid_->MarkTileStatesDirty();
    grid_->MarkDirty();
}

namespace {

// A script or a save may give any number: held within kFarTile of the grid,
// the footprint, doors and zone worked out from the origin stay numbers (at
// the far ends their walks counted past the largest and never ended), and
// the item is as far off every grid as it was.
TilePoint HeldNearGrid(int32_t col, int32_t row) {
    constexpr int32_t kFar = GridTransform::kFarTile;
    return {std::clamp(col, -kFar, kFar), std::clamp(row, -kFar, kFar)};
}

}  // namespace

void GridItem::MoveToColRow(int32_t col, int32_t row) { MoveTo(HeldNearGrid(col, row)); }

TileRect GridItem::FootprintAt(int32_t col, int32_t row) const {
    const TilePoint at = HeldNearGrid(col, row);
    TileRect r = GetFootprintRect();
    r.col = at.col;
    r.row = at.row;
    return r;
}

void GridItem::MoveTo(TilePoint position) {
    if (footprint_ && position != GetGridPosition()) footprint_->MoveTo(position.col, position.row);
    if (grid_ == nullptr) return;
    StandPictureOn(position);
    AttachToTiles();
    MarkGridDirty();
}

void GridItem::StandPictureOn(TilePoint position) {
    if (grid_ == nullptr) return;
    const PixelPoint p = grid_->TileToScreen(position.col, position.row);
    Move(p.x - static_cast<float>(width_) * 0.5f,
         p.y - static_cast<float>(height_) + 0.5f * static_cast<float>(GridTile::TileStepH()));
}

void GridItem::MoveCentreTo(TilePoint position) {
    const TileRect r = GetFootprintRect();
    const float cx = static_cast<float>(r.col) - static_cast<float>(r.cols) * 0.5f + 0.5f;
    const float cy = static_cast<float>(r.row) - static_cast<float>(r.rows) * 0.5f + 0.5f;
    MoveTo({r.col + static_cast<int32_t>(static_cast<float>(position.col) - cx),
            r.row + static_cast<int32_t>(static_cast<float>(position.row) - cy)});
}

TilePoint GridItem::GetTileUnder(float dx, float dy) {
    if (grid_ == nullptr) return {-GridTransform::kFarTile, -GridTransform::kFarTile};
    const float footY = static_cast<float>(height_) - 0.5f * static_cast<float>(GridTile::TileStepH());
    const FRect foot{static_cast<float>(width_) * 0.5f, footY, 1.0f, 1.0f};
    // Up the widgets between the item and its grid, not out to the screen
    // and back: each walking person asks this at every step, and the way
    // through the screen added the grid's scroll offset and took it off
    // again, which could round the foot onto a neighbouring tile. An item
    // held outside the grid's widgets goes by the screen.
    // Most items stand on the grid itself and map by their offset alone (no
    // transform for their children): that mapping asked directly, as the
    // depth key asks it, without the walk's call through the table.
    if (parent_ == grid_ && !transformChildren_) return grid_->ScreenToTile(foot.x + x_ + dx, foot.y + y_ + dy);
    FRect local = foot;
    const WidgetContainer* node = this;
    for (; node != nullptr && node != grid_; node = node->GetParent()) local = node->MapRectToParent(local);
    if (node == nullptr) local = grid_->MapRectFromScreen(MapRectToScreen(foot));
    return grid_->ScreenToTile(local.x + dx, local.y + dy);
}

void GridItem::FaceDirection(float dx, float dy) {
    if (std::fabs(dx) <= std::fabs(dy))
        SetOrientation(dy < 0.0f ? 0 : 2);
    else
        SetOrientation(dx < 0.0f ? 3 : 1);
}

void GridItem::FaceItem(GridItem& other, bool towards) {
    if (!other.footprint_) return;
    const TilePoint p = GetGridPosition();
    SetOrientation(towards ? other.footprint_->SideFacing(p) : other.footprint_->SideOf(p));
}

// ---- Dragging -------------------------------------------------------------

void GridItem::BeginDrag(int x, int y) {
    DragWidget::BeginDrag(x, y);
    ResetScript();
    held_ = true;
    if (grid_) {
        grid_->MarkDepthDirty();
        grid_->MarkDirty();
    }
    DetachAll(true);
    PauseTasks();
}

void GridItem::EndDrag() {
    DragWidget::EndDrag();
    held_ = false;
    if (grid_) {
        grid_->MarkDepthDirty();
        grid_->MarkDirty();
    }
    MoveTo(GetTileUnder(0.0f, 0.0f));
    ResumeTasks();
}

// ---- Depth ----------------------------------------------------------------

namespace {

// std::fmin and std::fmax, which the compiler calls out of line for their
// NaN rule (a NaN argument gives the other one): the same rule, inline.
// Zeros of either sign compare equal in every test that reads the results.
float DepthMin(float a, float b) { return std::isnan(b) || a < b ? a : b; }
float DepthMax(float a, float b) { return std::isnan(b) || a > b ? a : b; }

}  // namespace

DepthKey GridItem::GetDepthKey() const {
    // Without a transform for its children the item maps a point to its
    // parent by its offset alone, as the widget's own mapping then does:
    // that mapping asked directly, inline, not through the table.
    const FRect corners[2] = {{0.0f, 0.0f, 1.0f, 1.0f},
                              {static_cast<float>(width_), static_cast<float>(height_), 1.0f, 1.0f}};
    const auto map = [this](const FRect& r) {
        return transformChildren_ ? MapRectToParent(r) : WidgetContainer::MapRectToParent(r);
    };
    const FRect a = map(corners[0]), b = map(corners[1]);
    const TileRect r = GetFootprintRect();
    return {.left = DepthMin(a.x, b.x),
            .right = DepthMax(a.x, b.x),
            .bottom = DepthMax(a.y, b.y),
            .col = r.col,
            .row = r.row,
            .cols = r.cols,
            .rows = r.rows,
            .footprint = GetFootprint(),
            .id = GetId()};
}

bool GridItem::DrawsBefore(GridItem& other) { return KeyDrawsBefore(GetDepthKey(), other.GetDepthKey()); }

// ---- Properties -----------------------------------------------------------

const PropertyTable<GridItem>& GridItem::Properties() {
    using T = PropertyTable<GridItem>;
    static const T table{
        T::Value(L"category", [](GridItem& i) { return PropertyValue(i.category_); }),
        T::Value(L"type", [](GridItem& i) { return PropertyValue(i.type_); }),
        T::Value(L"action", [](GridItem& i) { return PropertyValue(i.action_); }),
        T::Value(L"overlay", [](GridItem& i) { return PropertyValue(i.held_); }),
        T::Value(L"col", [](GridItem& i) { return PropertyValue(static_cast<int>(i.GetGridPosition().col)); }),
        T::Value(L"row", [](GridItem& i) { return PropertyValue(static_cast<int>(i.GetGridPosition().row)); }),
        T::Value(L"orientation", [](GridItem& i) { return PropertyValue(static_cast<int>(i.GetOrientation())); }),
        T::Value(L"first_frame", [](GridItem& i) { return PropertyValue(static_cast<int>(i.firstFrame_)); }),
        T::Value(L"tiles", [](GridItem& i) { return PropertyValue(static_cast<int>(i.tiles_.size())); }),
        T::Value(L"task",
                 [](GridItem& i) {
                     const TaskSequence* sequence = i.GetSequence();
                     const Task* current = sequence ? sequence->GetCurrent() : nullptr;
                     return PropertyValue(current ? current->GetName() : std::wstring());
                 }),
    };
    return table;
}

PropertyValue GridItem::GetProperty(std::wstring_view name) {
    if (auto reader = Properties().FindReader(name)) return reader.Read(*this, handles_);
    return DragWidget::GetProperty(name);
}
