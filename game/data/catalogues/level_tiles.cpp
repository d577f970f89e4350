#include "game/data/catalogues/level_tiles.h"

#include <algorithm>

bool IsTileCharacter(wchar_t c) {
    const auto code = static_cast<uint32_t>(c);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code > 0x20 && !surrogate && code != 0xFFFE && code != 0xFFFF && code <= 0x10FFFF;
}

void ParseTileText(std::wstring_view text, TileColumns& columns, int32_t& cols, int32_t& rows) {
    columns.clear();
    cols = 0;
    rows = 0;
    AddTileRows(text, columns, cols, rows);
}

void AddTileRows(std::wstring_view text, TileColumns& columns, int32_t& cols, int32_t& rows) {
    // Filling short rows must not let a small damaged text grow a huge map:
    // never more filler than the text has characters. Past that, rows are dropped.
    size_t fillBudget = text.size();
    bool full = false;
    size_t position = 0;  // within the current row
    const auto endRow = [&] {
        const size_t used = std::min(position, columns.size());
        const size_t missing = columns.size() - used;
        position = 0;
        if (missing > fillBudget) {
            for (size_t c = 0; c < used; ++c) columns[c].pop_back();
            full = true;
            return;
        }
        fillBudget -= missing;
        if (rows == 0 && !columns.empty()) {
            cols = static_cast<int32_t>(columns.size());
            // One allocation per column for a well-formed map.
            const size_t spaces = static_cast<size_t>(std::count(text.begin(), text.end(), L' '));
            const size_t guess = std::min(spaces + 1, 2 * text.size() / columns.size());
            for (auto& column : columns) column.reserve(guess);
        }
        for (size_t c = used; c < columns.size(); ++c) columns[c].push_back(kEmptyTile);
        ++rows;
    };
    for (wchar_t c : text) {
        if (full) return;
        if (c == L' ') {
            endRow();
            continue;
        }
        if (rows == 0) columns.emplace_back();
        if (position < columns.size()) columns[position].push_back(IsTileCharacter(c) ? c : kEmptyTile);
        ++position;
    }
    if (!full) endRow();  // the text ends its last row as a space would
}
