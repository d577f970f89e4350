#pragma once
// Writes the font descriptor of a glyph sheet: one layer named Main with the
// sheet as its image, the character rectangles, advance widths, offsets and
// kerning pairs, and a character map for the characters drawn with another
// character's glyph.

#include <string>
#include <utility>
#include <vector>

#include "tools/fontsheet/glyph_sheet.h"

struct DescriptorOptions {
    std::string imageName;                             // the sheet's file name, beside the descriptor
    std::string commandLine;                           // how the files were made, for the heading
    std::vector<std::pair<wchar_t, wchar_t>> charMap;  // (from, to)
};

// The descriptor text (without a byte-order mark).
std::wstring BuildFontDescriptor(const GlyphSheet& sheet, const DescriptorOptions& options);

// A descriptor string holding exactly `text`: double quotes, with quotes
// doubled and backslashes escaped.
std::wstring QuoteDescriptorString(std::wstring_view text);
