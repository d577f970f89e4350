// Deep copies of levels: player states and saved parks own theirs.
#include "game/data/catalogues/level_stats.h"

void LevelStats::CopyLevelsFrom(const LevelStats& other) {
    if (&other == this) return;
    ClearLevels();
    for (const auto& [name, level] : other.levels_) {
        if (level == nullptr) continue;
        LEVEL* copy = AddLevel(CloneLevel(*level));
        if (other.firstLevel_ != nullptr && name == other.firstLevel_->name) firstLevel_ = copy;
    }
}

std::unique_ptr<LEVEL> LevelStats::CloneLevel(const LEVEL& level) {
    std::unique_ptr<LEVEL> copy = CreateLevelLike(level);
    copy->name = level.name;
    copy->background = level.background;
    copy->camera_x = level.camera_x;
    copy->camera_y = level.camera_y;
    copy->grid_x = level.grid_x;
    copy->grid_y = level.grid_y;
    copy->cols = level.cols;
    copy->rows = level.rows;
    copy->tiles = level.tiles;
    for (const auto& [name, value] : level.metrics) copy->metrics[name] = value;
    for (const auto& item : level.items) copy->items.Add(CloneItem(*item));
    for (const auto& goal : level.goals) copy->goals.Add(CloneGoal(*goal));
    return copy;
}

std::unique_ptr<LEVEL_ITEM> LevelStats::CloneItem(const LEVEL_ITEM& item) {
    std::unique_ptr<LEVEL_ITEM> copy = CreateItemLike(item);
    copy->type = item.type;
    copy->col = item.col;
    copy->row = item.row;
    copy->orientation = item.orientation;
    copy->action = item.action;
    copy->told = item.told;
    return copy;
}

std::unique_ptr<LEVEL_GOAL> LevelStats::CloneGoal(const LEVEL_GOAL& goal) {
    std::unique_ptr<LEVEL_GOAL> copy = CreateGoalLike(goal);
    copy->name = goal.name;
    copy->metric = goal.metric;
    copy->requirement = goal.requirement;
    copy->comparison = goal.comparison;
    copy->completed = goal.completed;
    return copy;
}
