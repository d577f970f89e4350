#include "game/data/catalogues/level_tiles.h"

void ParseTileText(std::wstring_view text, TileColumns& columns, int32_t& cols, int32_t& rows) {
    columns.clear();
    cols = 0;
    rows = 0;
    size_t position = 0;  // within the current row
    const auto endRow = [&] {
        if (rows == 0) cols = static_cast<int32_t>(columns.size());
        for (size_t c = position; c < columns.size(); ++c) columns[c].push_back(kEmptyTile);
        ++rows;
        position = 0;
    };
    for (wchar_t c : text) {
        if (c == L' ') {
            endRow();
            continue;
        }
        if (rows == 0) columns.emplace_back();
        if (position < columns.size()) columns[position].push_back(c);
        ++position;
    }
    endRow();  // the text ends its last row as a space would
}
