#include "platform/fonts/face_raster_internal.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace plat::fonts_internal {

struct FaceRaster::Library {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Library() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

namespace {

// 26.6 fixed point to whole pixels, halves up (also for negative values).
int RoundPixels(FT_Pos v) { return static_cast<int>((v + 32) >> 6); }

// value x em / unitsPerEm, rounded to the nearest pixel, halves up; never negative.
int ScaleRounded(long value, int em, int unitsPerEm) {
    if (value <= 0 || unitsPerEm <= 0) return 0;
    const int64_t scaled = static_cast<int64_t>(value) * em;
    return static_cast<int>((2 * scaled + unitsPerEm) / (2 * static_cast<int64_t>(unitsPerEm)));
}

bool SizeScalable(FT_Face face, int em, FontMetrics& m) {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) != 0) return false;
    long ascender = face->ascender;
    long descender = -static_cast<long>(face->descender);
    if (ascender + descender <= 0) {
        ascender = face->bbox.yMax;
        descender = -face->bbox.yMin;
    }
    m.ascent = ScaleRounded(ascender, em, face->units_per_EM);
    m.descent = ScaleRounded(descender, em, face->units_per_EM);
    return true;
}

bool SizeFixed(FT_Face face, int em, FontMetrics& m) {
    if (face->num_fixed_sizes <= 0 || !face->available_sizes) return false;
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i) {
        const auto distance = [&](int k) { return std::labs(face->available_sizes[k].y_ppem - (em << 6)); };
        if (distance(i) < distance(best)) best = i;
    }
    if (FT_Select_Size(face, best) != 0) return false;
    m.ascent = std::max(0, RoundPixels(face->size->metrics.ascender));
    m.descent = std::max(0, RoundPixels(-face->size->metrics.descender));
    return true;
}

// Any 1-, 2-, 4-bit or colour raster as 0..255 coverage.
bool CopyConverted(FT_Library library, const FT_Bitmap& source, Glyph& g) {
    FT_Bitmap gray;
    FT_Bitmap_Init(&gray);
    bool ok = FT_Bitmap_Convert(library, &source, &gray, 1) == 0 && gray.num_grays > 1;
    if (ok) {
        const unsigned top = gray.num_grays - 1;
        for (int y = 0; y < g.rows; ++y) {
            const unsigned char* row = gray.buffer + static_cast<ptrdiff_t>(y) * gray.pitch;
            for (int x = 0; x < g.width; ++x)
                g.coverage[static_cast<size_t>(y) * g.width + x] =
                    static_cast<uint8_t>(std::min(255u, row[x] * 255u / top));
        }
    }
    FT_Bitmap_Done(library, &gray);
    return ok;
}

void CopyCoverage(FT_Library library, const FT_Bitmap& bitmap, Glyph& g) {
    g.width = static_cast<int>(bitmap.width);
    g.rows = static_cast<int>(bitmap.rows);
    if (g.width <= 0 || g.rows <= 0) {
        g.width = g.rows = 0;
        return;
    }
    g.coverage.assign(static_cast<size_t>(g.width) * g.rows, 0);
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.num_grays == 256) {
        // With an upward flow the buffer starts at the bottom row.
        const unsigned char* first =
            bitmap.pitch >= 0 ? bitmap.buffer : bitmap.buffer - static_cast<ptrdiff_t>(bitmap.pitch) * (g.rows - 1);
        for (int y = 0; y < g.rows; ++y)
            std::copy_n(first + static_cast<ptrdiff_t>(y) * bitmap.pitch, g.width,
                        g.coverage.begin() + static_cast<ptrdiff_t>(y) * g.width);
        return;
    }
    if (!CopyConverted(library, bitmap, g)) {
        g.coverage.clear();
        g.width = g.rows = 0;
    }
}

}  // namespace

std::unique_ptr<FaceRaster> FaceRaster::Open(const FontFile& file, int em, bool bold, bool italic) {
    std::unique_ptr<FaceRaster> raster(new FaceRaster());
    raster->lib_ = std::make_unique<Library>();
    Library& lib = *raster->lib_;
    if (FT_Init_FreeType(&lib.library) != 0) return nullptr;
    if (FT_New_Face(lib.library, file.path.c_str(), file.index, &lib.face) != 0) return nullptr;
    FT_Face face = lib.face;

    FontMetrics& m = raster->metrics_;
    m.em = em;
    raster->scalable_ = FT_IS_SCALABLE(face);
    if (!(raster->scalable_ ? SizeScalable(face, em, m) : SizeFixed(face, em, m))) return nullptr;
    if (m.ascent + m.descent <= 0) m.ascent = em;  // a face with no vertical extent still gets a cell
    m.height = m.ascent + m.descent;

    raster->family_ = face->family_name ? face->family_name : "";
    raster->kerning_ = FT_HAS_KERNING(face);
    raster->emboldenGlyphs_ = bold && !(face->style_flags & FT_STYLE_FLAG_BOLD);
    raster->slantGlyphs_ = italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
    return raster;
}

FaceRaster::~FaceRaster() = default;

void FaceRaster::Clear() {
    latinKerning_.clear();
    latinKerning_.shrink_to_fit();
    latin_.fill(nullptr);
    byChar_.clear();
    glyphs_.clear();
    rasterBytes_ = 0;
}

const Glyph& FaceRaster::GlyphFor(char32_t ch) {
    if (ch < latin_.size()) {
        const Glyph*& slot = latin_[ch];
        if (!slot) slot = &GlyphAt(FT_Get_Char_Index(lib_->face, ch));
        return *slot;
    }
    auto it = byChar_.find(ch);
    if (it != byChar_.end()) return *it->second;
    const Glyph& glyph = GlyphAt(FT_Get_Char_Index(lib_->face, ch));
    byChar_.emplace(ch, &glyph);
    return glyph;
}

const Glyph& FaceRaster::GlyphAt(unsigned index) {
    auto it = glyphs_.find(index);
    if (it != glyphs_.end()) return it->second;
    Glyph glyph = Render(index);
    // Only the glyph being returned is in use while a line is laid out, so the
    // others may go.
    if (rasterBytes_ + glyph.coverage.size() > GlyphCacheBudgetBytes) Clear();
    rasterBytes_ += glyph.coverage.size();
    return glyphs_.emplace(index, std::move(glyph)).first->second;
}

// A glyph that fails to load is kept as an empty raster, so it is not retried every frame.
Glyph FaceRaster::Render(unsigned index) {
    Glyph g;
    g.index = index;
    FT_Face face = lib_->face;
    FT_Int32 flags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL;
    // Embedded bitmaps in outline fonts are usually one-bit; anti-aliased outlines look as intended.
    if (scalable_) flags |= FT_LOAD_NO_BITMAP;
    if (FT_Load_Glyph(face, index, flags) != 0) return g;
    FT_GlyphSlot slot = face->glyph;
    if (slantGlyphs_) FT_GlyphSlot_Oblique(slot);
    if (emboldenGlyphs_) FT_GlyphSlot_Embolden(slot);
    g.advance = RoundPixels(slot->advance.x);
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    CopyCoverage(lib_->library, slot->bitmap, g);
    return g;
}

int FaceRaster::LatinKerning(char32_t left, char32_t right, unsigned leftIndex, unsigned rightIndex) {
    if (latinKerning_.empty()) latinKerning_.assign(256 * 256, kUnknownKerning);
    int16_t& slot = latinKerning_[left * 256 + right];
    if (slot == kUnknownKerning)
        slot = static_cast<int16_t>(std::clamp(Kerning(leftIndex, rightIndex), INT16_MIN + 1, INT16_MAX));
    return slot;
}

int FaceRaster::Kerning(unsigned left, unsigned right) {
    FT_Vector delta{0, 0};
    if (FT_Get_Kerning(lib_->face, left, right, FT_KERNING_DEFAULT, &delta) != 0) return 0;
    return RoundPixels(delta.x);
}

}  // namespace plat::fonts_internal
