#include "game/data/catalogues/item_stats.h"

#include <climits>

#include "foundation/expression/constants_map.h"
#include "game/data/catalogues/level_tiles.h"

namespace {
ItemStats* gCurrent = nullptr;

bool IsCell(wchar_t c) { return c >= L'A' && c <= L'Z'; }
}  // namespace

ItemStats::~ItemStats() {
    if (gCurrent == this) gCurrent = nullptr;
}

ItemStats* ItemStats::Current() { return gCurrent; }

void ItemStats::Load() {
    LoadPropertiesXml("items.xml");
    loaded_ = true;
    gCurrent = this;
    openGroup_.clear();
    currentType_ = nullptr;
}

void ItemStats::ElementStart(const std::wstring& name) {
    if (name == L"items") return;
    std::unique_ptr<ITEM_TYPE> record = CreateType(name);
    if (!record) {
        // Only one group level: a group inside a group is ignored.
        if (openGroup_.empty()) openGroup_ = name;
        return;
    }
    currentType_ = record.get();
    ReadTypeAttributes(*record);
    types_[record->type] = record.get();
    records_.push_back(std::move(record));
}

void ItemStats::ElementEnd(const std::wstring& name) {
    if (!openGroup_.empty() && name == openGroup_) openGroup_.clear();
    if (currentType_ != nullptr && name == currentType_->type) currentType_ = nullptr;
}

void ItemStats::ElementText(const std::wstring& text) {
    if (auto* building = dynamic_cast<BUILDING_TYPE*>(currentType_)) ParseFootprint(*building, text);
}

std::unique_ptr<ITEM_TYPE> ItemStats::CreateType(const std::wstring& tag) {
    if (tag == L"person") return std::make_unique<PERSON_TYPE>();
    if (tag == L"building") return std::make_unique<BUILDING_TYPE>();
    return nullptr;
}

bool ItemStats::ReadTypeAttributes(ITEM_TYPE& record) {
    record.type = GetAttribute(L"type");
    record.category = openGroup_;
    record.width = ReadSide(L"width", 1);
    record.height = ReadSide(L"height", 1);
    record.image = GetAttribute(L"image");
    record.auto_flip_x = GetAttributeBool(L"auto_flip_x");
    if (auto* person = dynamic_cast<PERSON_TYPE*>(&record)) {
        person->path_speed = GetAttributeFloatOr(L"path_speed", GetConstant(L"person_path_speed").ToReal());
        person->foot_offset = GetAttributeFloatOr(L"foot_offset", GetConstant(L"person_foot_offset").ToReal());
        // People face their way unless told otherwise.
        person->auto_flip_x = GetAttributeBoolOr(L"auto_flip_x", true);
        return true;
    }
    return dynamic_cast<BUILDING_TYPE*>(&record) != nullptr;
}

int32_t ItemStats::ReadSide(const wchar_t* attribute, int32_t fallback) {
    const int32_t side = GetAttributeIntOr(attribute, fallback);
    if (side <= kLongestSide) return side;
    ReportMalformed(L"The " + std::wstring(attribute) + L" of item type '" + GetAttribute(L"type") + L"' is " +
                    std::to_wstring(side) + L"; " + std::to_wstring(kLongestSide) + L" is the longest");
    return kLongestSide;
}

void ItemStats::ParseFootprint(BUILDING_TYPE& building, const std::wstring& text) {
    TileColumns columns;
    int32_t cols = 0;
    int32_t rows = 0;
    ParseTileText(text, columns, cols, rows);
    struct Corner {
        int32_t col = 0, row = 0, sum = 0;
    };
    Corner nearCorner{0, 0, INT_MAX};
    Corner farCorner{0, 0, INT_MIN};
    std::vector<Door> doors;
    for (int32_t c = 0; c < cols; ++c) {
        for (int32_t r = 0; r < rows; ++r) {
            const wchar_t code = columns[static_cast<size_t>(c)][static_cast<size_t>(r)];
            if (IsCell(code)) {
                if (c + r < nearCorner.sum) nearCorner = {c, r, c + r};
                if (c + r > farCorner.sum) farCorner = {c, r, c + r};
            } else if (code != kEmptyTile) {
                doors.push_back({c, r, code});
            }
        }
    }
    if (farCorner.sum == INT_MIN) {
        ReportMalformed(L"The footprint of building '" + building.type + L"' has no cell");
        return;
    }
    building.width = farCorner.col - nearCorner.col + 1;
    building.height = farCorner.row - nearCorner.row + 1;
    for (Door& door : doors) {
        door.col -= farCorner.col;
        door.row -= farCorner.row;
    }
    // A later text of the same building replaces the doors rather than adding to them.
    building.doors = std::move(doors);
}

ITEM_TYPE* ItemStats::Find(std::wstring_view type) const {
    ITEM_TYPE* const* record = types_.Find(type);
    return record ? *record : nullptr;
}

ITEM_TYPE* FindRecordByName(const ItemStats* catalogue, std::wstring_view type) {
    return catalogue ? catalogue->Find(type) : nullptr;
}
