#include "platform/fonts/system_font.h"

#include "tests/platform/fonts_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using plat::FontRequest;
using plat::SystemFont;

std::unique_ptr<SystemFont> Make(std::string face, int points, int dpi = 96, int weight = 400, bool italic = false) {
    FontRequest r;
    r.face = std::move(face);
    r.pointSize = points;
    r.dpi = dpi;
    r.weight = weight;
    r.italic = italic;
    return SystemFont::Create(r);
}

TEST(FontsEmRule, TwelvePointsAtNinetySixDpiIsSixteenPixels) {
    EXPECT_EQ(plat::EmPixels(12, 96), 16);
    EXPECT_EQ(plat::EmPixels(12, 120), 20);
}

TEST(FontsEmRule, RoundsPointsTimesDpiOverSeventyTwoToNearest) {
    for (int dpi : {72, 96, 120, 144}) {
        for (int points = 1; points <= 72; ++points) {
            const long expected = std::lround(points * static_cast<double>(dpi) / 72.0);
            EXPECT_EQ(plat::EmPixels(points, dpi), expected) << points << " pt at " << dpi << " dpi";
        }
    }
}

TEST(FontsEmRule, MissingSizeOrDpiReadsAsTwelvePointsAtNinetySix) {
    EXPECT_EQ(plat::EmPixels(0, 96), 16);
    EXPECT_EQ(plat::EmPixels(-5, 96), 16);
    EXPECT_EQ(plat::EmPixels(12, 0), 16);
    EXPECT_EQ(plat::EmPixels(100000, 96), plat::MaxEmPixels);
}

TEST(FontsMetrics, CellIsRoundedAscenderPlusRoundedDescender) {
    for (int points : {6, 8, 9, 10, 11, 12, 14, 18, 24, 36, 48}) {
        auto font = Make("DejaVu Sans", points);
        ASSERT_TRUE(font);
        const int em = static_cast<int>(std::lround(points * 96 / 72.0));
        testsupport::ReferenceFace ref(testsupport::kDejaVuSans, em);
        ASSERT_TRUE(ref.Ok());
        const plat::FontMetrics& m = font->Metrics();
        EXPECT_EQ(m.em, em) << points;
        EXPECT_EQ(m.ascent, ref.Ascent()) << points;
        EXPECT_EQ(m.descent, ref.Descent()) << points;
        EXPECT_EQ(m.height, ref.Ascent() + ref.Descent()) << points;
    }
}

TEST(FontsMetrics, TwelvePointDejaVuSansHasNineteenPixelCell) {
    // 1901 and 483 of 2048 units at 16 pixels: 14.85 and 3.77.
    auto font = Make("DejaVu Sans", 12);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Metrics().em, 16);
    EXPECT_EQ(font->Metrics().ascent, 15);
    EXPECT_EQ(font->Metrics().descent, 4);
    EXPECT_EQ(font->Metrics().height, 19);
}

TEST(FontsResolve, InstalledFaceIsUsedIgnoringCaseAndSpaces) {
    for (const char* name : {"DejaVu Serif", "dejavu serif", "DejaVuSerif"}) {
        auto font = Make(name, 12);
        ASSERT_TRUE(font) << name;
        EXPECT_FALSE(font->UsedFallback()) << name;
        EXPECT_EQ(font->FamilyName(), "DejaVu Serif") << name;
    }
}

TEST(FontsResolve, MissingFaceFallsBackToDejaVuSansWithItsMetrics) {
    for (int points : {9, 12, 20}) {
        auto missing = Make("No Such Typeface Anywhere", points);
        auto direct = Make("DejaVu Sans", points);
        ASSERT_TRUE(missing && direct);
        EXPECT_TRUE(missing->UsedFallback());
        EXPECT_FALSE(direct->UsedFallback());
        EXPECT_EQ(missing->FilePath(), testsupport::kDejaVuSans);
        EXPECT_EQ(missing->FamilyName(), "DejaVu Sans");
        EXPECT_EQ(missing->Metrics().em, direct->Metrics().em);
        EXPECT_EQ(missing->Metrics().height, direct->Metrics().height);
        EXPECT_EQ(missing->Metrics().ascent, direct->Metrics().ascent);
        EXPECT_EQ(missing->MeasureWidth(L"Fallback text 123"), direct->MeasureWidth(L"Fallback text 123"));
    }
}

TEST(FontsResolve, MissingFaceKeepsTheRequestedStyle) {
    auto bold = Make("No Such Typeface", 12, 96, 700);
    auto italic = Make("No Such Typeface", 12, 96, 400, true);
    ASSERT_TRUE(bold && italic);
    EXPECT_EQ(bold->FilePath(), testsupport::kDejaVuSansBold);
    EXPECT_EQ(italic->FilePath(), testsupport::kDejaVuSansOblique);
}

TEST(FontsResolve, EmptyOrOddFaceNamesStillGiveAFont) {
    for (const char* name : {"", " ", ":bold", "Sans\x01\xff", "DejaVu Sans:italic=1"}) {
        auto font = Make(name, 12);
        ASSERT_TRUE(font) << name;
        EXPECT_GT(font->Metrics().height, 0);
        EXPECT_GT(font->MeasureWidth(L"x"), 0);
    }
}

TEST(FontsResolve, ZeroSizeGivesTheDefaultSizeNotAnEmptyFont) {
    auto font = Make("DejaVu Sans", 0);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Metrics().em, 16);
    EXPECT_GT(font->MeasureWidth(L"abc"), 0);
}

}  // namespace
