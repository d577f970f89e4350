// The game's generated image font: its descriptor loads through FontData and
// agrees with its glyph sheet and with the typeface it was made from.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/rendering/font_data_test_support.h"

namespace {

using testsupport::Held;
using testsupport::RecordingApp;

std::vector<wchar_t> ExpectedCharacters() {
    std::vector<wchar_t> codes;
    for (wchar_t c = 0x20; c <= 0x7E; ++c) codes.push_back(c);
    for (wchar_t c = 0xA1; c <= 0xFF; ++c)
        if (c != 0xAD) codes.push_back(c);
    return codes;
}

// The typeface opened straight through FreeType at the font's size.
class Typeface {
public:
    explicit Typeface(int pixels) {
        ok_ = FT_Init_FreeType(&library_) == 0 && FT_New_Face(library_, testsupport::kSystemTypeface, 0, &face_) == 0 &&
              FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels)) == 0;
    }
    ~Typeface() {
        if (face_ != nullptr) FT_Done_Face(face_);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }
    Typeface(const Typeface&) = delete;
    Typeface& operator=(const Typeface&) = delete;
    bool ok() const { return ok_; }
    FT_Face face() const { return face_; }

    // The design advance scaled to the size, without hinting: the reference
    // a stored whole-pixel width may differ from by rounding and hinting only.
    double Advance(wchar_t c) const {
        FT_Fixed advance = 0;
        FT_Get_Advance(face_, FT_Get_Char_Index(face_, static_cast<FT_ULong>(c)), FT_LOAD_NO_HINTING, &advance);
        return static_cast<double>(advance) / 65536.0;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    bool ok_ = false;
};

class GeneratedFont : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(font->Load(testsupport::kShippedFontDescriptor, &app));
        ASSERT_TRUE(app.boxes.empty()) << text::ToUtf8(app.boxes.front());
        ASSERT_EQ(font->GetLayers().size(), 1u);
        layer = font->GetLayerByName(L"Main");
        ASSERT_NE(layer, nullptr);
        image = layer->GetImage();
        ASSERT_NE(image, nullptr);
        ASSERT_NE(image->data, nullptr);
    }

    RecordingApp app;
    Held font;
    const FontLayer* layer = nullptr;
    const FontLayerImage* image = nullptr;
};

TEST_F(GeneratedFont, EveryCharacterHasARectangleInsideTheSheet) {
    const int width = image->GetWidth();
    const int height = image->GetHeight();
    std::vector<int> owners(static_cast<size_t>(width) * height, 0);
    for (wchar_t c : ExpectedCharacters()) {
        SCOPED_TRACE(static_cast<int>(c));
        const CharData* g = layer->FindCharData(c);
        ASSERT_NE(g, nullptr);
        EXPECT_GT(g->advanceWidth, 0.0f);
        ASSERT_GE(g->imageX, 0.0f);
        ASSERT_GE(g->imageY, 0.0f);
        ASSERT_LE(g->imageX + g->imageWidth, width);
        ASSERT_LE(g->imageY + g->imageHeight, height);
        for (int y = 0; y < static_cast<int>(g->imageHeight); ++y)
            for (int x = 0; x < static_cast<int>(g->imageWidth); ++x)
                ++owners[static_cast<size_t>(g->imageY + y) * width + static_cast<size_t>(g->imageX + x)];
    }
    EXPECT_EQ(layer->GetChars().size(), ExpectedCharacters().size());
    // No two glyphs share a pixel, and nothing is drawn outside the glyphs.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            ASSERT_LE(owners[i], 1) << x << "," << y;
            if (owners[i] == 0) {
                ASSERT_EQ(image->data->GetBits()[i], 0u) << x << "," << y;
            }
        }
    }
    // The no-break space and the soft hyphen borrow other glyphs.
    EXPECT_EQ(font->MapChar(0xA0), L' ');
    EXPECT_EQ(font->MapChar(0xAD), L'-');
}

TEST_F(GeneratedFont, WidthsMatchTheTypefaceAdvances) {
    const float size = font->GetDefaultPointSize();
    ASSERT_GT(size, 0.0f);
    EXPECT_EQ(layer->pointSize, size);
    Typeface face(static_cast<int>(size));
    ASSERT_TRUE(face.ok()) << testsupport::kSystemTypeface;
    for (wchar_t c : {L'A', L'W', L'i', L' '}) {
        SCOPED_TRACE(static_cast<char>(c));
        EXPECT_NEAR(layer->FindCharData(c)->advanceWidth, face.Advance(c), 1.0);
    }
    // The line holds the typeface's ascender and descender.
    const FT_Size_Metrics& m = face.face()->size->metrics;
    EXPECT_NEAR(layer->ascent, m.ascender / 64.0, 1.0);
    EXPECT_NEAR(layer->height, (m.ascender - m.descender) / 64.0, 1.0);
}

TEST_F(GeneratedFont, GlyphsAreWhiteCoverageOnTheBaseline) {
    Typeface face(static_cast<int>(font->GetDefaultPointSize()));
    ASSERT_TRUE(face.ok());
    for (wchar_t c : {L'A', L'g', L'\u00C5'}) {
        SCOPED_TRACE(static_cast<int>(c));
        ASSERT_EQ(FT_Load_Char(face.face(), static_cast<FT_ULong>(c), FT_LOAD_RENDER), 0);
        const FT_Bitmap& bitmap = face.face()->glyph->bitmap;
        const CharData* g = layer->FindCharData(c);
        ASSERT_EQ(g->imageWidth, static_cast<float>(bitmap.width));
        ASSERT_EQ(g->imageHeight, static_cast<float>(bitmap.rows));
        for (unsigned y = 0; y < bitmap.rows; ++y) {
            for (unsigned x = 0; x < bitmap.width; ++x) {
                const uint32_t coverage = bitmap.buffer[y * static_cast<unsigned>(bitmap.pitch) + x];
                const uint32_t pixel = image->data->Row(static_cast<int>(g->imageY) +
                                                        static_cast<int>(y))[static_cast<int>(g->imageX) + x];
                ASSERT_EQ(pixel >> 24, coverage) << x << "," << y;
                if (coverage > 0) {
                    ASSERT_EQ(pixel & 0xFFFFFFu, 0xFFFFFFu);
                }
            }
        }
        // Drawn at the layer's ascent below the line top, the glyph's bitmap
        // top lies bitmap_top pixels above the baseline.
        EXPECT_EQ(layer->ascent - g->offsetY, static_cast<float>(face.face()->glyph->bitmap_top));
        EXPECT_EQ(g->offsetX, static_cast<float>(face.face()->glyph->bitmap_left));
    }
    // A sits on the baseline; g hangs below it; the ring of Å rises above A.
    EXPECT_EQ(layer->FindCharData(L'A')->offsetY + layer->FindCharData(L'A')->imageHeight, layer->ascent);
    EXPECT_GT(layer->FindCharData(L'g')->offsetY + layer->FindCharData(L'g')->imageHeight, layer->ascent);
    EXPECT_LT(layer->FindCharData(L'\u00C5')->offsetY, layer->FindCharData(L'A')->offsetY);
}

TEST_F(GeneratedFont, KerningPairsAreTheTypefaces) {
    Typeface face(static_cast<int>(font->GetDefaultPointSize()));
    ASSERT_TRUE(face.ok());
    ASSERT_TRUE(FT_HAS_KERNING(face.face()));
    int pairs = 0;
    for (const auto& [c, data] : layer->GetChars()) pairs += static_cast<int>(data.kerning.size());
    EXPECT_GT(pairs, 0);
    for (const wchar_t* pair : {L"AV", L"AT", L"Ty", L"LT", L"VA", L"AA", L"oo"}) {
        SCOPED_TRACE(text::ToUtf8(pair));
        FT_Vector delta{};
        ASSERT_EQ(FT_Get_Kerning(face.face(), FT_Get_Char_Index(face.face(), pair[0]),
                                 FT_Get_Char_Index(face.face(), pair[1]), FT_KERNING_DEFAULT, &delta),
                  0);
        EXPECT_EQ(layer->FindCharData(pair[0])->GetKerning(pair[1]), std::round(delta.x / 64.0));
    }
}

}  // namespace
