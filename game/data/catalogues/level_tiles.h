#pragma once
// The tile-map text of levels and the footprint text of buildings: words
// separated by single spaces (the XML reader has already collapsed every run
// of blanks), one word per row, one character per column. tiles[col][row].
//
// The first row fixes the column count. Characters past it in a longer row
// are dropped; a shorter row is filled with the empty tile '_', so every
// column holds exactly one character per row. The filler never exceeds the
// text's own length: a damaged text cannot grow a huge map; the rows past
// that point are dropped.

#include <cstdint>
#include <string_view>
#include <vector>

using TileColumns = std::vector<std::vector<wchar_t>>;

inline constexpr wchar_t kEmptyTile = L'_';

// Replaces `columns`; `cols` and `rows` get the map's size.
void ParseTileText(std::wstring_view text, TileColumns& columns, int32_t& cols, int32_t& rows);
