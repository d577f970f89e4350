// System fonts: the point-size rule against the typeface itself, and text
// drawn through the drawing context on the software device: anti-aliased
// pixels obeying the blending formula, only inside the clip, with the
// shadow, the draw mode, and device release and re-creation.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/fonts/system_font.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/sys_font.h"
#include "tests/rendering/fonts_test_support.h"
#include "tests/rendering/graphics_test_support.h"

namespace {

using testsupport::Argb;
using testsupport::Unpack;

// The cell of the typeface at an em of `pixels`, from FreeType's face values:
// ascender and descender scaled and rounded one by one.
struct Cell {
    int ascent = 0, height = 0;
};
Cell CellOf(int pixels) {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    Cell cell;
    if (FT_Init_FreeType(&library) != 0) return cell;
    if (FT_New_Face(library, testsupport::kSystemTypeface, 0, &face) == 0) {
        const double scale = static_cast<double>(pixels) / face->units_per_EM;
        cell.ascent = static_cast<int>(std::floor(face->ascender * scale + 0.5));
        cell.height = cell.ascent + static_cast<int>(std::floor(-face->descender * scale + 0.5));
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return cell;
}

TEST(SysFontSize, TwelvePointsFromFontsXmlAreASixteenPixelEm) {
    testsupport::FontApp app;
    app.dpi = 120;  // the descriptor form ignores the screen
    auto font = SysFont::SysFontFromDesc("DejaVu Sans", 12, false, false, false);
    ASSERT_NE(font->GetSystemFont(), nullptr);
    EXPECT_EQ(font->GetSystemFont()->Metrics().em, 16);
    const Cell cell = CellOf(16);
    EXPECT_FLOAT_EQ(font->GetAscent(), static_cast<float>(cell.ascent));
    EXPECT_FLOAT_EQ(font->GetHeight(), static_cast<float>(cell.height));
    EXPECT_FLOAT_EQ(font->GetDescent(), static_cast<float>(cell.height - cell.ascent));
    EXPECT_FLOAT_EQ(font->GetAscentPadding(), 0);
    EXPECT_FLOAT_EQ(font->GetLineSpacingOffset(), 0);
}

TEST(SysFontSize, ScreenFormUsesTheScreensDotsPerInch) {
    testsupport::FontApp app;
    app.dpi = 120;
    SysFont font(&app, "DejaVu Sans", 12);
    EXPECT_EQ(font.GetSystemFont()->Metrics().em, 20);  // 12 x 120 / 72
    EXPECT_FLOAT_EQ(font.GetHeight(), static_cast<float>(CellOf(20).height));
    SysFont withoutApp(nullptr, "DejaVu Sans", 12);
    EXPECT_EQ(withoutApp.GetSystemFont()->Metrics().em, 16);
}

class SysFontDrawTest : public testsupport::FontDeviceTest {
protected:
    void SetUp() override {
        FontDeviceTest::SetUp();
        font = SysFont::SysFontFromDesc("DejaVu Sans", 12, false, false, false);
    }
    void TearDown() override {
        font.reset();
        FontDeviceTest::TearDown();
    }

    // Draws the text in `color` over `background` and returns the screen.
    std::vector<uint32_t> Draw(const std::wstring& text, int x, int y, const Color& color, Argb background,
                               const Rect* clip = nullptr, int mode = kDrawNormal) {
        Background(background);
        {
            Graphics g(Target());
            g.Translate(3, 2);
            if (clip) g.SetClipRectR(*clip);
            g.SetDrawMode(mode);
            g.SetFont(font.get());
            g.SetColor(color);
            g.DrawString(text, x, y);
        }
        return DrawBufferPixels();
    }

    Argb At(const std::vector<uint32_t>& px, int x, int y) const {
        return Unpack(px[static_cast<size_t>(y) * host.screenW + x]);
    }

    std::unique_ptr<SysFont> font;
};

TEST_F(SysFontDrawTest, TextIsAntiAliasedOverTheBackgroundAtItsBaseline) {
    const Argb blue{255, 0, 0, 255};
    const auto px = Draw(L"Hxg", 20, 40, Color::FromRGBA(255, 0, 0, 255), blue);
    const int baseline = 40 + 2, left = 20 + 3;
    int partial = 0, full = 0, inkBelow = 0, inkAbove = 0;
    int rightmost = -1;
    for (int y = 0; y < host.screenH; ++y)
        for (int x = 0; x < host.screenW; ++x) {
            const Argb p = At(px, x, y);
            // Red over blue with coverage c: (255c, 0, 255(1 - c)), opaque.
            ASSERT_EQ(p.a, 255) << x << "," << y;
            ASSERT_EQ(p.g, 0) << x << "," << y;
            ASSERT_NEAR(p.r + p.b, 255, 2) << x << "," << y;
            if (p.r == 0) continue;
            ASSERT_GE(x, left) << y;
            ASSERT_GE(y, baseline - font->GetAscent() + 1) << x;
            ASSERT_LT(y, baseline - font->GetAscent() + 1 + font->GetHeight()) << x;
            rightmost = std::max(rightmost, x);
            if (p.r > 250)
                ++full;
            else
                ++partial;
            // "H" and "x" stand on the baseline: the row above it is inked, the
            // one below only by the descender of "g".
            if (y == baseline && x < left + 20 && p.r > 128) ++inkAbove;
            if (y == baseline + 1 && x < left + 20 && p.r > 64) ++inkBelow;
        }
    EXPECT_GT(full, 20);
    EXPECT_GT(partial, 10);  // anti-aliased edges
    EXPECT_GT(inkAbove, 3);
    EXPECT_EQ(inkBelow, 0);
    // The measured width covers the ink.
    const float width = font->StringWidth(L"Hxg");
    EXPECT_GT(width, 20);
    EXPECT_LE(rightmost, left + static_cast<int>(width) + 1);
    EXPECT_GE(rightmost, left + static_cast<int>(width) - 4);
}

TEST_F(SysFontDrawTest, ClipKeepsEveryPixelOutsideItUntouched) {
    const Argb grey{255, 50, 50, 50};
    const std::wstring text = L"WWWWWWWWWW";
    const auto whole = Draw(text, 10, 40, Color::White, grey);
    const Rect clip(30, 0, 40, 36);  // before the translation of (3, 2)
    const auto cut = Draw(text, 10, 40, Color::White, grey, &clip);
    int inside = 0;
    for (int y = 0; y < host.screenH; ++y)
        for (int x = 0; x < host.screenW; ++x) {
            const bool in = x >= 33 && x < 73 && y >= 2 && y < 38;
            const size_t at = static_cast<size_t>(y) * host.screenW + x;
            if (in) {
                ASSERT_EQ(cut[at], whole[at]) << x << "," << y;
                if (Unpack(cut[at]).r > 50) ++inside;
            } else {
                ASSERT_EQ(cut[at], 0xFF323232u) << x << "," << y;
            }
        }
    EXPECT_GT(inside, 20);
}

TEST_F(SysFontDrawTest, ShadowIsOpaqueBlackOnePixelRightAndDown) {
    const Argb grey{255, 128, 128, 128};
    const auto plain = Draw(L"HIL", 20, 40, Color::White, grey);
    font->shadow = true;
    const auto shadowed = Draw(L"HIL", 20, 40, Color::White, grey);
    int shadowPixels = 0;
    for (int y = 1; y < 80; ++y)
        for (int x = 1; x < 120; ++x) {
            const Argb here = At(plain, x, y), upLeft = At(plain, x - 1, y - 1);
            const Argb got = At(shadowed, x, y);
            if (here.r == 255) {
                EXPECT_EQ(got.r, 255) << x << "," << y;  // the text lies over its shadow
            } else if (here.r == 128 && upLeft.r == 255) {
                EXPECT_EQ(got.r, 0) << x << "," << y;
                ++shadowPixels;
            }
        }
    EXPECT_GT(shadowPixels, 10);
}

TEST_F(SysFontDrawTest, AdditiveModeAddsTheText) {
    const Argb background{255, 0, 0, 200};
    const auto px = Draw(L"HH", 20, 40, Color::FromRGBA(255, 0, 0, 255), background, nullptr, kDrawAdditive);
    int lit = 0;
    for (int y = 20; y < 50; ++y)
        for (int x = 20; x < 60; ++x) {
            const Argb p = At(px, x, y);
            ASSERT_EQ(p.b, 200) << x << "," << y;  // added to, never covered
            if (p.r > 0) ++lit;
        }
    EXPECT_GT(lit, 20);
}

TEST_F(SysFontDrawTest, ClipBeyondTheIntRangeHidesNothing) {
    const Argb grey{255, 50, 50, 50};
    const auto expected = Draw(L"Hello", 10, 40, Color::White, grey);
    Background(grey);
    {
        Graphics g(Target());
        g.Translate(3, 2);
        font->DrawString(g, 10, 40, L"Hello", Color::White, FRect(0, 0, 1e10f, 1e10f));
    }
    const auto got = DrawBufferPixels();
    ASSERT_EQ(got.size(), expected.size());
    size_t inked = 0, differing = 0;
    for (size_t i = 0; i < got.size(); ++i) {
        if (expected[i] != 0xFF323232u) ++inked;
        if (got[i] != expected[i]) ++differing;
    }
    EXPECT_GT(inked, 20u);
    EXPECT_EQ(differing, 0u);
}

TEST_F(SysFontDrawTest, TargetThatIsNoImageSurfaceDrawsNothing) {
    testsupport::RecordingTarget target;
    {
        Graphics g(&target);
        g.SetFont(font.get());
        g.DrawString(L"Hello", 10, 20);
    }
    EXPECT_TRUE(target.calls.empty());
    Graphics nowhere(nullptr);
    nowhere.SetFont(font.get());
    nowhere.DrawString(L"Hello", 10, 20);
}

TEST_F(SysFontDrawTest, DeviceFontIsReleasedWithTheDeviceAndMadeAgain) {
    const Argb grey{255, 50, 50, 50};
    std::unique_ptr<Font> copy(font->Duplicate());
    auto* sysCopy = dynamic_cast<SysFont*>(copy.get());
    ASSERT_NE(sysCopy, nullptr);
    const auto before = Draw(L"Park", 20, 40, Color::White, grey);
    EXPECT_TRUE(font->HasDeviceFont());
    EXPECT_GT(font->GetSystemFont()->CachedGlyphCount(), 0u);
    EXPECT_GT(sysCopy->StringWidth(L"Park"), 0);

    d3d->Cleanup();
    EXPECT_FALSE(font->HasDeviceFont());
    EXPECT_FALSE(sysCopy->HasDeviceFont());
    EXPECT_EQ(font->GetSystemFont()->CachedGlyphCount(), 0u);
    EXPECT_FLOAT_EQ(font->StringWidth(L"Park"), 0);  // no device to make it on

    InitWindowed();
    BindDrawBuffer();
    const auto after = Draw(L"Park", 20, 40, Color::White, grey);
    EXPECT_TRUE(font->HasDeviceFont());
    EXPECT_EQ(after, before);
}

TEST_F(SysFontDrawTest, CopySharesTheDeviceFontAndKeepsTheStyle) {
    font->shadow = true;
    font->color = Color::FromRGBA(1, 2, 3, 4);
    font->lineSpacingOffset = 5;
    font->ascentPadding = 2;
    std::unique_ptr<Font> copy(font->Duplicate());
    auto* sysCopy = dynamic_cast<SysFont*>(copy.get());
    ASSERT_NE(sysCopy, nullptr);
    EXPECT_EQ(sysCopy->GetSystemFont(), font->GetSystemFont());
    EXPECT_TRUE(sysCopy->shadow);
    EXPECT_EQ(sysCopy->color, font->color);
    EXPECT_FLOAT_EQ(sysCopy->GetHeight(), font->GetHeight());
    EXPECT_FLOAT_EQ(sysCopy->GetAscent(), font->GetAscent());
    EXPECT_FLOAT_EQ(sysCopy->GetLineSpacingOffset(), 0);
    EXPECT_FLOAT_EQ(sysCopy->GetAscentPadding(), 0);

    // The copy outlives its source and still draws.
    const float width = font->StringWidth(L"Hello");
    font.reset();
    EXPECT_FLOAT_EQ(sysCopy->StringWidth(L"Hello"), width);
    sysCopy->shadow = false;
    sysCopy->color = Color::White;
    Background(Argb{255, 0, 0, 0});
    {
        Graphics g(Target());
        g.SetFont(sysCopy);
        g.SetColor(Color::White);
        g.DrawString(L"Hello", 10, 30);
    }
    int lit = 0;
    for (uint32_t p : DrawBufferPixels())
        if (Unpack(p).r > 128) ++lit;
    EXPECT_GT(lit, 20);
}

}  // namespace
