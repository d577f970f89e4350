#include "tools/fontsheet/glyph_sheet.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>

namespace {

// A transparent pixel between glyphs and around the edge, so a filtered
// sample at a glyph's border never picks up its neighbour.
constexpr int kPadding = 1;

struct Bitmap {
    SheetGlyph glyph;
    std::vector<uint8_t> coverage;  // width x height, top row first
};

// FreeType's 26.6 fixed-point values in whole pixels, rounded.
int RoundPixels(FT_Pos value) { return static_cast<int>((value + 32) >> 6); }

class Library {
public:
    Library() { ok_ = FT_Init_FreeType(&library_) == 0; }
    ~Library() {
        if (face_ != nullptr) FT_Done_Face(face_);
        if (ok_) FT_Done_FreeType(library_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    bool Open(const std::string& file) { return ok_ && FT_New_Face(library_, file.c_str(), 0, &face_) == 0; }
    FT_Face Face() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    bool ok_ = false;
};

bool RenderOne(FT_Face face, wchar_t code, Bitmap& out) {
    FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    if (index == 0) return false;
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows > 0) return false;
    out.glyph.code = code;
    out.glyph.width = static_cast<int>(bitmap.width);
    out.glyph.height = static_cast<int>(bitmap.rows);
    out.glyph.bearingX = slot->bitmap_left;
    out.glyph.top = slot->bitmap_top;
    out.glyph.advance = RoundPixels(slot->advance.x);
    out.coverage.resize(static_cast<size_t>(bitmap.width) * bitmap.rows);
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const uint8_t* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        std::copy(source, source + bitmap.width, out.coverage.begin() + static_cast<ptrdiff_t>(row) * bitmap.width);
    }
    return true;
}

// Rows of glyphs in code order, each row as tall as its tallest glyph.
int PackRows(std::vector<Bitmap>& bitmaps, int sheetWidth) {
    int x = kPadding;
    int y = kPadding;
    int rowHeight = 0;
    for (Bitmap& b : bitmaps) {
        if (x + b.glyph.width + kPadding > sheetWidth && x > kPadding) {
            x = kPadding;
            y += rowHeight + kPadding;
            rowHeight = 0;
        }
        b.glyph.x = x;
        b.glyph.y = y;
        x += b.glyph.width + kPadding;
        rowHeight = std::max(rowHeight, b.glyph.height);
    }
    return y + rowHeight + kPadding;
}

}  // namespace

bool RenderGlyphSheet(const std::string& fontFile, int pixelSize, const std::vector<wchar_t>& codes, int sheetWidth,
                      GlyphSheet& sheet, std::string& error) {
    Library library;
    if (!library.Open(fontFile)) {
        error = "cannot open the typeface " + fontFile;
        return false;
    }
    FT_Face face = library.Face();
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        error = "the typeface cannot be sized to " + std::to_string(pixelSize) + " pixels";
        return false;
    }
    sheet.familyName = face->family_name != nullptr ? face->family_name : "";
    sheet.pixelSize = pixelSize;
    const FT_Size_Metrics& metrics = face->size->metrics;
    sheet.ascent = RoundPixels(metrics.ascender);
    sheet.height = sheet.ascent - RoundPixels(metrics.descender);
    sheet.lineGap = std::max(0, RoundPixels(metrics.height) - sheet.height);

    std::vector<Bitmap> bitmaps;
    for (wchar_t code : codes) {
        Bitmap b;
        if (!RenderOne(face, code, b)) continue;
        if (b.glyph.width + 2 * kPadding > sheetWidth) {
            error = "a glyph is wider than the sheet";
            return false;
        }
        bitmaps.push_back(std::move(b));
    }
    std::sort(bitmaps.begin(), bitmaps.end(),
              [](const Bitmap& a, const Bitmap& b) { return a.glyph.code < b.glyph.code; });
    const int sheetHeight = PackRows(bitmaps, sheetWidth);

    sheet.image = std::make_unique<ImageData>();
    if (!sheet.image->Allocate(sheetWidth, sheetHeight, true)) {
        error = "the sheet is too large";
        return false;
    }
    sheet.glyphs.clear();
    for (const Bitmap& b : bitmaps) {
        for (int row = 0; row < b.glyph.height; ++row) {
            uint32_t* target = sheet.image->Row(b.glyph.y + row) + b.glyph.x;
            for (int column = 0; column < b.glyph.width; ++column) {
                // Straight alpha as every image file holds it: white, with the
                // coverage as alpha. Premultiplied on loading, each pixel
                // becomes (a, a, a, a) exactly, since 255 x a / 255 = a.
                uint32_t a = b.coverage[static_cast<size_t>(row) * b.glyph.width + column];
                target[column] = a == 0 ? 0 : (a << 24 | 0x00FFFFFFu);
            }
        }
        sheet.glyphs.push_back(b.glyph);
    }

    sheet.kerning.clear();
    if (FT_HAS_KERNING(face)) {
        for (const SheetGlyph& left : sheet.glyphs) {
            for (const SheetGlyph& right : sheet.glyphs) {
                FT_Vector delta{};
                FT_UInt l = FT_Get_Char_Index(face, static_cast<FT_ULong>(left.code));
                FT_UInt r = FT_Get_Char_Index(face, static_cast<FT_ULong>(right.code));
                if (FT_Get_Kerning(face, l, r, FT_KERNING_DEFAULT, &delta) != 0) continue;
                int amount = RoundPixels(delta.x);
                if (amount != 0) sheet.kerning.emplace_back(std::wstring{left.code, right.code}, amount);
            }
        }
    }
    return true;
}
