#include "game/data/progress/left_out_items.h"

#include <algorithm>

#include "foundation/system/text.h"

std::vector<LeftOutItem> FindLeftOutItems(const LEVEL& level, const ItemStats* catalogue) {
    std::vector<LeftOutItem> out;
    const auto rows = static_cast<size_t>(std::max(level.rows, 0));
    std::vector<bool> covered(static_cast<size_t>(std::max(level.cols, 0)) * rows);
    const auto tile = [rows](int32_t col, int32_t row) {
        return static_cast<size_t>(col) * rows + static_cast<size_t>(row);
    };
    for (const auto& item : level.items) {
        LEVEL_ITEM& record = *item;
        if (record.told) continue;
        if (record.col < 0 || record.row < 0 || record.col >= level.cols || record.row >= level.rows) {
            out.push_back({&record, text::WFormat(L"an item %ls off the grid at %d,%d", record.type.c_str(), record.col,
                                                  record.row)});
            continue;
        }
        if (catalogue == nullptr) continue;
        const ITEM_TYPE* type = FindRecordByName(catalogue, record.type);
        if (type == nullptr) {
            out.push_back({&record, L"an item of the unknown type " + record.type});
            continue;
        }
        // A footprint of no size covers no tile, and the park finds it on none.
        const int32_t side = std::min(type->width, type->height);
        if (dynamic_cast<const BUILDING_TYPE*>(type) == nullptr || side < 1) continue;
        const int32_t left = std::max(record.col - side + 1, 0), top = std::max(record.row - side + 1, 0);
        bool stacked = false;
        for (int32_t col = left; col <= record.col && !stacked; ++col)
            for (int32_t row = top; row <= record.row && !stacked; ++row) stacked = covered[tile(col, row)];
        if (stacked) {
            out.push_back({&record, text::WFormat(L"a building %ls on another at %d,%d", record.type.c_str(),
                                                  record.col, record.row)});
            continue;
        }
        for (int32_t col = left; col <= record.col; ++col)
            for (int32_t row = top; row <= record.row; ++row) covered[tile(col, row)] = true;
    }
    return out;
}
