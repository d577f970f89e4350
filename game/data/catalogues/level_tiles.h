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
//
// A tile is a character the reader gives back as itself when the map is
// written and read again. Blanks and control characters would split a row or
// stop the reader, and the noncharacters U+FFFE and U+FFFF (like halves of
// surrogate pairs) cannot be read from UTF-8; yet a quoted stretch of a
// damaged text, "&cr;" or a UTF-16 file can deliver them. They are read, and
// written, as the empty tile.

#include <cstdint>
#include <string_view>
#include <vector>

using TileColumns = std::vector<std::vector<wchar_t>>;

inline constexpr wchar_t kEmptyTile = L'_';

bool IsTileCharacter(wchar_t c);

// Replaces `columns`; `cols` and `rows` get the map's size.
void ParseTileText(std::wstring_view text, TileColumns& columns, int32_t& cols, int32_t& rows);
// Adds the rows of `text` below those of the map, as if the two texts were
// one with a blank between them: a map read in pieces is read whole, each
// piece read once. The filler a piece may add is bounded by its own length.
void AddTileRows(std::wstring_view text, TileColumns& columns, int32_t& cols, int32_t& rows);
