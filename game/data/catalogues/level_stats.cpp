#include "game/data/catalogues/level_stats.h"

namespace {
LevelStats* gCurrent = nullptr;
}

LevelStats::~LevelStats() {
    if (gCurrent == this) gCurrent = nullptr;
}

LevelStats* LevelStats::Current() { return gCurrent; }

void LevelStats::Load() {
    LoadPropertiesXml("levels.xml");
    loaded_ = true;
    gCurrent = this;
    currentLevel_ = nullptr;
    currentItem_ = nullptr;
    currentGoal_ = nullptr;
}

void LevelStats::ElementStart(const std::wstring& name) {
    textRun_ = false;
    if (name == L"level") {
        std::unique_ptr<LEVEL> level = NewLevel();
        ReadElementAttributes(*level);
        currentLevel_ = AddLevel(std::move(level));
        if (firstLevel_ == nullptr) firstLevel_ = currentLevel_;
        return;
    }
    const bool item = name == L"item";
    const bool goal = name == L"goal";
    if (!item && !goal && name != L"metric") return;
    if (currentLevel_ == nullptr) {
        ReportMalformed(L"<" + name + L"> stands outside any level");
        return;
    }
    if (item) {
        std::unique_ptr<LEVEL_ITEM> record = NewItem();
        ReadElementAttributes(*record);
        currentItem_ = currentLevel_->items.Add(std::move(record));
    } else if (goal) {
        std::unique_ptr<LEVEL_GOAL> record = NewGoal();
        ReadElementAttributes(*record);
        currentGoal_ = currentLevel_->goals.Add(std::move(record));
    } else {
        currentLevel_->metrics[GetAttribute(L"name")] = GetAttributeInt(L"value");
    }
}

void LevelStats::ElementEnd(const std::wstring& name) {
    textRun_ = false;
    if (name == L"level") {
        currentLevel_ = nullptr;
    } else if (name == L"levels") {
        currentLevel_ = nullptr;
        currentItem_ = nullptr;
        currentGoal_ = nullptr;
    }
}

void LevelStats::ElementText(const std::wstring& text) {
    // Text right after text had a comment or instruction between: it
    // continues the map, so no row before it is lost.
    if (currentLevel_ != nullptr && textRun_)
        AddTileRows(text, currentLevel_->tiles, currentLevel_->cols, currentLevel_->rows);
    else if (currentLevel_ != nullptr)
        ParseTiles(text, currentLevel_->tiles, currentLevel_->cols, currentLevel_->rows);
    textRun_ = true;
}

void LevelStats::ReadElementAttributes(LEVEL_ELEMENT& record) {
    if (auto* level = dynamic_cast<LEVEL*>(&record)) {
        level->name = GetAttribute(L"name");
        level->background = HasAttribute(L"background") ? GetAttribute(L"background") : level->name;
        level->grid_x = GetAttributeInt(L"grid_x");
        level->grid_y = GetAttributeInt(L"grid_y");
        level->camera_x = GetAttributeInt(L"camera_x");
        level->camera_y = GetAttributeInt(L"camera_y");
    } else if (auto* item = dynamic_cast<LEVEL_ITEM*>(&record)) {
        item->type = GetAttribute(L"type");
        item->col = GetAttributeInt(L"col");
        item->row = GetAttributeInt(L"row");
        // A quarter turn, taken as the park turns an item: any other number
        // counts its quarters round, and is written back as the turn it makes.
        item->orientation = (GetAttributeInt(L"orientation") % 4 + 4) % 4;
        item->action = GetAttribute(L"action");
    } else if (auto* goal = dynamic_cast<LEVEL_GOAL*>(&record)) {
        goal->name = GetAttribute(L"name");
        goal->metric = GetAttribute(L"metric");
        goal->completed = GetAttributeBool(L"completed");
        static constexpr std::pair<const wchar_t*, LEVEL_GOAL::Comparison> kComparisons[] = {
            {L"above", LEVEL_GOAL::kAbove}, {L"exactly", LEVEL_GOAL::kExactly}, {L"below", LEVEL_GOAL::kBelow}};
        for (const auto& [attribute, comparison] : kComparisons) {
            if (!HasAttribute(attribute)) continue;
            goal->comparison = comparison;
            goal->requirement = GetAttributeFloat(attribute);
            break;
        }
    }
}

LEVEL* LevelStats::AddLevel(std::unique_ptr<LEVEL> level) {
    LEVEL* stored = level.get();
    levels_[stored->name] = stored;
    records_.push_back(std::move(level));
    return stored;
}

void LevelStats::ClearLevels() {
    levels_.Clear();
    firstLevel_ = nullptr;
    currentLevel_ = nullptr;
    currentItem_ = nullptr;
    currentGoal_ = nullptr;
    records_.clear();
}

LEVEL* LevelStats::Find(std::wstring_view name) const {
    LEVEL* const* level = levels_.Find(name);
    return level ? *level : nullptr;
}

void LevelStats::ParseTiles(std::wstring_view text, TileColumns& columns, int32_t& cols, int32_t& rows) {
    ParseTileText(text, columns, cols, rows);
}

LEVEL* FindRecordByName(const LevelStats* catalogue, std::wstring_view name) {
    return catalogue ? catalogue->Find(name) : nullptr;
}
