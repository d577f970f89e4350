// The grid's side of the level record: items to records and back, the tile
// materials, and the level's goals.
#include <string>
#include <utility>

#include "foundation/system/log.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/level_records.h"
#include "game/data/progress/player_state.h"
#include "game/park/grid/grid.h"
#include "game/park/grid/grid_item.h"

namespace {

// Only an item on one of the grid's tiles is placed: every walk over an
// item's tiles runs from its tile, and a damaged save's far number
// (2147483647) would run those walks past the end of the numbers.
bool OnGrid(const LEVEL_ITEM& record, int32_t cols, int32_t rows) {
    return record.col >= 0 && record.col < cols && record.row >= 0 && record.row < rows;
}

}  // namespace

std::unique_ptr<LEVEL_ITEM> Grid::CreateLevelItem(std::wstring_view) { return std::make_unique<LEVEL_ITEM>(); }

std::unique_ptr<LEVEL_ITEM> Grid::MakeLevelItem(GridItem& item) {
    std::unique_ptr<LEVEL_ITEM> record = CreateLevelItem(item.GetType());
    record->type = item.GetType();
    const TilePoint at = item.GetGridPosition();
    record->col = at.col;
    record->row = at.row;
    record->orientation = item.GetOrientation();
    record->action = item.GetAction();
    return record;
}

GridItem* Grid::PlaceLevelItem(const LEVEL_ITEM& record) {
    if (!OnGrid(record, cols_, rows_)) return nullptr;
    // A damaged or edited save may stack buildings on one tile.
    return RefuseStacked(CreateAndPlaceItem(record.type, record.col, record.row, record.orientation, record.action));
}

GridItem* Grid::RefuseStacked(GridItem* item) {
    // The park never lets one building stand on another (and its zones
    // would search every stacked pair), so the later one is left out as
    // placing would refuse it.
    if (item == nullptr || !RefuseStacked(*item, item->GetFootprintRect(), L"left out")) return item;
    RemoveWidget(item);
    return nullptr;
}

bool Grid::RefuseStacked(GridItem& item, const TileRect& footprint, std::wstring_view outcome) {
    if (item.AsBuilding() == nullptr || !OverlapsBuilding(item, footprint)) return false;
    if (FirstRefusal(outcome, item.GetType()))
        LogWrite(L"A \"" + item.GetType() + L"\" at " + std::to_wstring(footprint.col) + L"," +
                     std::to_wstring(footprint.row) + L" would stand on another building: " + std::wstring(outcome),
                 true);
    return true;
}

bool Grid::FirstRefusal(std::wstring_view outcome, std::wstring_view type) {
    return reportedRefusals_.emplace(outcome, type).second;
}

bool Grid::OverlapsBuilding(const GridItem& item, const TileRect& r) const {
    for (int32_t col = r.Left(); col <= r.col; ++col)
        for (int32_t row = r.Top(); row <= r.row; ++row) {
            const GridTile* tile = GetTileAt(col, row);
            if (tile == nullptr) continue;
            // A tile lists the buildings whose doors lie on it too.
            for (const GridItem* other : tile->GetBuildings())
                if (other != &item && other->GetFootprintRect().Covers({col, row})) return true;
        }
    return false;
}

void Grid::SaveToLevel() {
    LEVEL* level = CurrentLevel();
    if (level == nullptr || !built_ || !builtFrom_ || level->name != *builtFrom_) return;
    // Records that were never placed (a type the catalogue lacks, off the
    // grid, on another building) stay, so a content error loses nothing of a
    // saved park; every other record is written again from its item, once.
    std::vector<std::unique_ptr<LEVEL_ITEM>> unplaced;
    for (auto& record : level->items.TakeAll())
        if (unplaced_.contains(record.get())) unplaced.push_back(std::move(record));
    for (GridItem* item : items_)
        if (std::unique_ptr<LEVEL_ITEM> record = MakeLevelItem(*item)) level->items.Add(std::move(record));
    for (auto& record : unplaced) level->items.Add(std::move(record));

    level->tiles.clear();
    for (const auto& column : tiles_) {
        auto& saved = level->tiles.emplace_back();
        saved.reserve(column.size());
        for (const auto& tile : column) saved.push_back(static_cast<wchar_t>(tile->material));
    }
}

namespace {

bool IsGoalMet(const LEVEL_GOAL& goal, int32_t metric) {
    const float value = static_cast<float>(metric);
    switch (goal.comparison) {
        case LEVEL_GOAL::kAbove: return value >= goal.requirement;
        case LEVEL_GOAL::kExactly: return value == goal.requirement;
        case LEVEL_GOAL::kBelow: return value <= goal.requirement;
        default: return false;
    }
}

}  // namespace

void Grid::CheckLevelGoals() {
    PlayerState* player = CurrentPlayer();
    LEVEL* level = player ? player->CurrentLevelRecord() : nullptr;
    if (level != nullptr) {
        for (size_t i = 0; i < level->goals.Size(); ++i) {
            LEVEL_GOAL& goal = *level->goals.At(i);
            if (goal.completed || !IsGoalMet(goal, player->GetMetric(goal.metric))) continue;
            goal.completed = true;
            OnGridEvent(goal);
        }
    }
    goalsDirty_ = false;
}

void Grid::OnGridEvent(LEVEL_GOAL&) {}
