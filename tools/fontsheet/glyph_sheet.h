#pragma once
// Renders a typeface through FreeType into one glyph sheet: white glyphs whose
// alpha is the coverage, packed in rows, with the metrics, advances, bitmap
// offsets and kerning pairs a font descriptor needs.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rendering/image/image_data.h"

struct SheetGlyph {
    wchar_t code = 0;
    int x = 0;  // place in the sheet
    int y = 0;
    int width = 0;
    int height = 0;
    int bearingX = 0;  // from the pen to the bitmap's left edge
    int top = 0;       // from the baseline up to the bitmap's top edge
    int advance = 0;   // whole pixels
};

struct GlyphSheet {
    std::string familyName;
    int pixelSize = 0;
    int ascent = 0;                                     // baseline to the top of a line
    int height = 0;                                     // top to bottom of a line
    int lineGap = 0;                                    // extra space between lines
    std::vector<SheetGlyph> glyphs;                     // ascending code
    std::vector<std::pair<std::wstring, int>> kerning;  // two characters, whole pixels
    std::unique_ptr<ImageData> image;
};

// Renders `codes` (those the face has) at `pixelSize` pixels per em. False,
// with the reason in `error`, when FreeType cannot open or size the face.
bool RenderGlyphSheet(const std::string& fontFile, int pixelSize, const std::vector<wchar_t>& codes, int sheetWidth,
                      GlyphSheet& sheet, std::string& error);
