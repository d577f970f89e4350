#include "platform/fonts/system_font.h"

#include "tests/platform/fonts_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using plat::FontRequest;
using plat::SystemFont;

class FontsMeasure : public ::testing::Test {
protected:
    void SetUp() override {
        font_ = SystemFont::Create(FontRequest{"DejaVu Sans", 12, 96, 400, false, false});
        ASSERT_TRUE(font_);
        ASSERT_TRUE(ref_.Ok());
    }
    int Width(const std::wstring& s) { return font_->MeasureWidth(s); }

    std::unique_ptr<SystemFont> font_;
    testsupport::ReferenceFace ref_{testsupport::kDejaVuSans, 16};
};

TEST_F(FontsMeasure, EmptyAndControlOnlyTextsHaveNoWidth) {
    EXPECT_EQ(Width(L""), 0);
    EXPECT_EQ(Width(L"\t\n\r\x7f"), 0);
}

TEST_F(FontsMeasure, CharacterWidthIsItsAdvanceToTheNearestPixel) {
    for (wchar_t c : std::wstring(L"aimW@ 1.")) {
        const double advance = ref_.LinearAdvance(c);
        ASSERT_GT(advance, 0) << static_cast<char>(c);
        // Hinting may move an advance by a pixel, never more.
        EXPECT_NEAR(Width(std::wstring(1, c)), advance, 1.0) << static_cast<char>(c);
    }
}

TEST_F(FontsMeasure, PairWidthIsBothWidthsPlusTheFacesKerning) {
    // "ab" has no kerning pair in the face; the others do.
    EXPECT_EQ(ref_.Kerning(L'a', L'b'), 0);
    EXPECT_LT(ref_.Kerning(L'A', L'V'), 0);
    EXPECT_LT(ref_.Kerning(L'T', L'o'), 0);
    for (const wchar_t* pair : {L"ab", L"AV", L"To", L"Ta", L"LT", L"xy"}) {
        const std::wstring first(1, pair[0]);
        const std::wstring second(1, pair[1]);
        EXPECT_EQ(Width(pair), Width(first) + Width(second) + ref_.Kerning(pair[0], pair[1]))
            << static_cast<char>(pair[0]) << static_cast<char>(pair[1]);
    }
}

TEST_F(FontsMeasure, LongTextIsTheSumOfItsParts) {
    const std::wstring text = L"The quick brown fox jumps over the lazy dog";
    int expected = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        expected += Width(text.substr(i, 1));
        if (i > 0) expected += ref_.Kerning(text[i - 1], text[i]);
    }
    EXPECT_EQ(Width(text), expected);
}

TEST_F(FontsMeasure, ControlCharactersAreSkippedOnOneLine) {
    EXPECT_EQ(Width(L"a\tb"), Width(L"a") + Width(L"b"));
    EXPECT_EQ(Width(L"ab\ncd"), Width(L"ab") + Width(L"cd"));
}

TEST_F(FontsMeasure, CharactersOutsideTheFaceStillTakeRoom) {
    // Not in the face and not even a character: drawn as the face's missing-glyph box.
    EXPECT_GT(Width(std::wstring(1, static_cast<wchar_t>(0x10FFFF))), 0);
    EXPECT_GT(Width(std::wstring(1, static_cast<wchar_t>(0x7FFFFFFF))), 0);
}

TEST(FontsMeasureStyles, BoldIsWiderThanRegular) {
    const std::wstring text = L"Welcome to the park";
    for (int points : {9, 12, 18}) {
        auto regular = SystemFont::Create(FontRequest{"DejaVu Sans", points, 96, 400, false, false});
        auto bold = SystemFont::Create(FontRequest{"DejaVu Sans", points, 96, 700, false, false});
        ASSERT_TRUE(regular && bold);
        EXPECT_EQ(bold->FilePath(), testsupport::kDejaVuSansBold);
        EXPECT_GT(bold->MeasureWidth(text), regular->MeasureWidth(text)) << points;
    }
}

TEST(FontsMeasureStyles, SynthesisedBoldIsWiderWhenTheFamilyHasNoBold) {
    // The light family has a single file; bold comes from emboldening its outlines.
    const std::wstring text = L"Welcome to the park";
    auto light = SystemFont::Create(FontRequest{"DejaVu Sans Light", 12, 96, 400, false, false});
    auto bolder = SystemFont::Create(FontRequest{"DejaVu Sans Light", 12, 96, 700, false, false});
    ASSERT_TRUE(light && bolder);
    ASSERT_FALSE(light->UsedFallback());
    EXPECT_EQ(light->FilePath(), bolder->FilePath());
    EXPECT_GT(bolder->MeasureWidth(text), light->MeasureWidth(text));
}

}  // namespace
