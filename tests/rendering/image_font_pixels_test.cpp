// Image fonts drawn through the drawing context on the software device: the
// game's generated font reproduces its glyph sheet (read straight through
// libpng) where its descriptor places the glyphs, rescaled strips keep the
// glyphs' ink whether or not they fit one texture, and a string longer than
// the old glyph pool reaches the screen to its last character.
#include <memory>
#include <string>
#include <vector>

#include "rendering/draw/graphics.h"
#include "rendering/font/font_data.h"
#include "rendering/font/image_font.h"
#include "tests/rendering/fonts_test_support.h"

namespace {

using testsupport::Argb;
using testsupport::Near;
using testsupport::Over;
using testsupport::Picture;
using testsupport::Premultiply;
using testsupport::Unpack;

class ImageFontPixelTest : public testsupport::FontDeviceTest {
protected:
    void TearDown() override {
        font.reset();
        FontDeviceTest::TearDown();
    }

    // The alpha of a sheet or strip area, summed.
    static long InkOf(const uint32_t* pixels, int pitch, const Rect& r) {
        long sum = 0;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x)
                sum += static_cast<long>(pixels[static_cast<size_t>(y) * pitch + x] >> 24);
        return sum;
    }

    std::unique_ptr<ImageFont> font;
};

TEST_F(ImageFontPixelTest, GeneratedFontReproducesItsSheetWhereTheDescriptorPlacesTheGlyphs) {
    font = std::make_unique<ImageFont>(testsupport::kShippedFontDescriptor, false, 1.0);
    ASSERT_TRUE(font->GetFontData()->IsLoaded());
    const Picture sheet = testsupport::ReadPicture(testsupport::kShippedFontSheet);
    ASSERT_EQ(sheet.width, 256);
    const FontLayer* layer = font->GetFontData()->GetLayerByName(L"Main");
    ASSERT_NE(layer, nullptr);

    const Argb background{255, 40, 60, 80};
    Background(background);
    const std::wstring text = L"AVg,Wy";
    const float x = 20, y = 40, transX = 7, transY = 3;
    {
        Graphics g(Target());
        g.Translate(transX, transY);
        g.SetFont(font.get());
        g.SetColor(Color::White);
        g.DrawString(text, static_cast<int>(x), static_cast<int>(y));
    }

    // The reference: each glyph's sheet rectangle composited in string order
    // at pen + offset, its top the ascent (less its offset) above the baseline.
    std::vector<Argb> expected(static_cast<size_t>(host.screenW) * host.screenH, background);
    float pen = x + transX;
    for (size_t i = 0; i < text.size(); ++i) {
        const CharData* glyph = layer->FindCharData(text[i]);
        ASSERT_NE(glyph, nullptr);
        const int left = static_cast<int>(pen + glyph->offsetX);
        const int top = static_cast<int>(y + transY - (layer->ascent - glyph->offsetY));
        for (int j = 0; j < static_cast<int>(glyph->imageHeight); ++j)
            for (int k = 0; k < static_cast<int>(glyph->imageWidth); ++k) {
                const Argb texel = Premultiply(
                    Unpack(sheet.At(static_cast<int>(glyph->imageX) + k, static_cast<int>(glyph->imageY) + j)));
                Argb& out = expected[static_cast<size_t>(top + j) * host.screenW + left + k];
                out = Over(texel, out);
            }
        if (i + 1 < text.size()) pen += glyph->GetKerning(text[i + 1]) + layer->spacing;
        pen += glyph->advanceWidth;
    }
    const uint32_t* bits = Target()->GetBits();
    int lit = 0;
    for (int py = 0; py < 80; ++py)
        for (int px = 0; px < 160; ++px) {
            const size_t at = static_cast<size_t>(py) * host.screenW + px;
            ASSERT_TRUE(Near(expected[at], bits[at], 2)) << px << "," << py;
            if (Unpack(bits[at]).r > 200) ++lit;
        }
    EXPECT_GT(lit, 40);  // the comparison covered real ink
}

TEST_F(ImageFontPixelTest, HalfSizeStripHoldsAQuarterOfTheInk) {
    font = std::make_unique<ImageFont>(testsupport::kShippedFontDescriptor, false, 1.0);
    font->SetPointSize(8);
    font->Prepare();
    ASSERT_EQ(font->GetActiveLayers().size(), 1u);
    const ActiveFontLayer& active = font->GetActiveLayers()[0];
    ASSERT_TRUE(active.OwnsImage());
    const uint32_t* strip = active.image->GetSurface()->GetBits();
    ASSERT_NE(strip, nullptr);
    const Picture sheet = testsupport::ReadPicture(testsupport::kShippedFontSheet);
    const FontLayer& layer = *active.layer;
    for (wchar_t c : std::wstring(L"AMWg@%")) {
        const CharData& glyph = *layer.FindCharData(c);
        const Rect sheetRect(static_cast<int>(glyph.imageX), static_cast<int>(glyph.imageY),
                             static_cast<int>(glyph.imageWidth), static_cast<int>(glyph.imageHeight));
        const Rect& stripRect = active.glyphRects.at(c);
        EXPECT_EQ(stripRect.w, sheetRect.w / 2);
        EXPECT_EQ(stripRect.h, sheetRect.h / 2);
        const double want = InkOf(sheet.pixels.data(), sheet.width, sheetRect) *
                            (static_cast<double>(stripRect.w) * stripRect.h) / (sheetRect.w * sheetRect.h);
        const double got = static_cast<double>(InkOf(strip, active.image->sourceWidth, stripRect));
        EXPECT_NEAR(got, want, want * 0.25) << static_cast<char>(c);
    }
}

TEST_F(ImageFontPixelTest, StripTooWideForOneTextureIsDrawnThroughAWindowAlike) {
    font = std::make_unique<ImageFont>(testsupport::kShippedFontDescriptor, false, 1.0);
    font->SetPointSize(12);
    font->Prepare();
    ImageSurface* direct = font->GetActiveLayers()[0].image->GetSurface();
    const uint32_t* directBits = direct->GetBits();
    ASSERT_NE(directBits, nullptr);
    const std::vector<uint32_t> wanted(directBits, directBits + direct->sourceWidth * direct->sourceHeight);
    const int width = direct->sourceWidth;
    font.reset();
    images.clear();
    d3d.reset();

    // Again on a device whose textures hold 64 x 64 texels at most.
    d3d = std::make_unique<D3DInterface>(&host);
    Start(testsupport::Caps(false, 64));
    font = std::make_unique<ImageFont>(testsupport::kShippedFontDescriptor, false, 1.0);
    font->SetPointSize(12);
    font->Prepare();
    ImageSurface* windowed = font->GetActiveLayers()[0].image->GetSurface();
    ASSERT_GT(width, 64);
    ASSERT_EQ(windowed->sourceWidth, width);
    const uint32_t* got = windowed->GetBits();
    ASSERT_NE(got, nullptr);
    // The sheet itself is now cut into pieces, which filter differently at
    // their seams: compare the glyphs that lie inside one piece.
    const ActiveFontLayer& active = font->GetActiveLayers()[0];
    const int pieceW = d3d->GetTextureLimits().maxWidth, pieceH = d3d->GetTextureLimits().maxHeight;
    int compared = 0;
    for (const auto& [c, rect] : active.glyphRects) {
        const CharData& glyph = *active.layer->FindCharData(c);
        const int left = static_cast<int>(glyph.imageX), top = static_cast<int>(glyph.imageY);
        const int right = left + static_cast<int>(glyph.imageWidth), bottom = top + static_cast<int>(glyph.imageHeight);
        // One texel of filter reach on each side.
        if ((left - 1) / pieceW != (right + 1) / pieceW || (top - 1) / pieceH != (bottom + 1) / pieceH || left == 0 ||
            top == 0)
            continue;
        ++compared;
        for (int py = rect.y; py < rect.y + rect.h; ++py)
            for (int px = rect.x; px < rect.x + rect.w; ++px) {
                const size_t at = static_cast<size_t>(py) * width + px;
                ASSERT_TRUE(Near(Unpack(wanted[at]), got[at], 2)) << static_cast<int>(c) << " at " << px << "," << py;
            }
    }
    EXPECT_GT(compared, 60);

    // And it draws: the strip's glyph lands on the screen.
    Background(Argb{255, 0, 0, 0});
    {
        Graphics g(Target());
        font->DrawString(g, 10, 30, L"W", Color::White, g.GetClipRect());
    }
    const uint32_t* screen = Target()->GetBits();
    int lit = 0;
    for (int py = 0; py < 40; ++py)
        for (int px = 0; px < 40; ++px)
            if (Unpack(screen[static_cast<size_t>(py) * host.screenW + px]).g > 128) ++lit;
    EXPECT_GT(lit, 5);
}

// The pool once held 4,096 glyphs: everything after them was never drawn.
TEST_F(ImageFontPixelTest, LastCharactersOfAStringLongerThanTheOldPoolAreDrawn) {
    testsupport::TempDir dir;
    Picture picture{4, 4, std::vector<uint32_t>(16, 0xFFFFFFFF)};
    testsupport::WritePicture(dir.Path("bar.png"), picture);
    testsupport::WriteText(dir.Path("bar.txt"),
                           "CreateLayer Body;\n"
                           "LayerSetImage Body 'bar.png';\n"
                           "LayerSetAscent Body 4;\n"
                           "LayerSetImageMap Body ('i') ((0 0 1 4));\n"
                           "LayerSetCharWidths Body ('i') (1);\n");
    font = std::make_unique<ImageFont>(dir.Path("bar.txt"), true, 1.0);
    ASSERT_TRUE(font->GetFontData()->IsLoaded());
    Background(Argb{255, 0, 0, 0});
    {
        Graphics g(Target());
        font->DrawString(g, -4900, 20, std::wstring(5000, L'i'), Color::White, g.GetClipRect());
    }
    const uint32_t* screen = Target()->GetBits();
    for (int px = 0; px < 110; ++px) {
        const bool inked = px < 100;  // characters 4900 to 4999
        EXPECT_EQ(screen[static_cast<size_t>(17) * host.screenW + px], inked ? 0xFFFFFFFFu : 0xFF000000u) << px;
    }
}

}  // namespace
