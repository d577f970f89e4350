#pragma once
// An independent reading of a font file through FreeType, for expectations
// that must not come from the code under test.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <string>

namespace testsupport {

inline const std::string kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline const std::string kDejaVuSansBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
inline const std::string kDejaVuSansOblique = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Oblique.ttf";

class ReferenceFace {
public:
    ReferenceFace(const std::string& path, int em) {
        ok_ = FT_Init_FreeType(&library_) == 0 && FT_New_Face(library_, path.c_str(), 0, &face_) == 0 &&
              FT_Set_Pixel_Sizes(face_, 0, em) == 0;
        em_ = em;
    }
    ~ReferenceFace() {
        if (face_) FT_Done_Face(face_);
        if (library_) FT_Done_FreeType(library_);
    }
    ReferenceFace(const ReferenceFace&) = delete;
    ReferenceFace& operator=(const ReferenceFace&) = delete;

    bool Ok() const { return ok_; }
    FT_Face Face() const { return face_; }

    // Design-unit metrics scaled by floating point and rounded to nearest.
    int Ascent() const { return static_cast<int>(std::lround(Scaled(face_->ascender))); }
    int Descent() const { return static_cast<int>(std::lround(Scaled(-face_->descender))); }
    double Scaled(long units) const { return static_cast<double>(units) * em_ / face_->units_per_EM; }

    // Grid-fitted kerning between two characters, in whole pixels.
    int Kerning(wchar_t a, wchar_t b) const {
        FT_Vector v{0, 0};
        FT_Get_Kerning(face_, FT_Get_Char_Index(face_, a), FT_Get_Char_Index(face_, b), FT_KERNING_DEFAULT, &v);
        return static_cast<int>(std::lround(v.x / 64.0));
    }
    // The unhinted advance of a character in (fractional) pixels.
    double LinearAdvance(wchar_t c) const {
        if (FT_Load_Char(face_, c, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return -1;
        return face_->glyph->linearHoriAdvance / 65536.0;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    bool ok_ = false;
    int em_ = 0;
};

}  // namespace testsupport
