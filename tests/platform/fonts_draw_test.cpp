#include "platform/fonts/system_font.h"

#include "tests/platform/fonts_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using plat::FontRequest;
using plat::PixelBuffer;
using plat::PixelRect;
using plat::SystemFont;

struct Canvas {
    int width;
    int height;
    int stride;  // in pixels; wider than a row, so pitch handling is exercised
    std::vector<uint32_t> pixels;

    Canvas(int w, int h, uint32_t fill, int pad = 3)
        : width(w), height(h), stride(w + pad), pixels(static_cast<size_t>((w + pad) * h), fill) {}
    PixelBuffer Buffer() { return {pixels.data(), width, height, stride * 4}; }
    uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y * stride + x)]; }
};

bool Inside(const PixelRect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

unsigned Channel(uint32_t v, int shift) { return (v >> shift) & 255u; }

std::unique_ptr<SystemFont> DejaVu(int points) {
    return SystemFont::Create(FontRequest{"DejaVu Sans", points, 96, 400, false, false});
}

TEST(FontsDraw, TouchesOnlyPixelsInsideTheClipAndTheTextBox) {
    auto font = DejaVu(14);
    ASSERT_TRUE(font);
    const uint32_t background = 0x80402010;
    Canvas canvas(120, 60, background);
    // The box starts mid-word and the clip cuts across the glyphs on every side.
    const PixelRect box{10, 12, 100, 60};
    const PixelRect clip{14, 16, 70, 24};
    ASSERT_TRUE(font->DrawText(canvas.Buffer(), box, clip, L"Jumping quickly, yes!", 0xFFFFFFFF));

    int lit = 0;
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            if (Inside(box, x, y) && Inside(clip, x, y)) {
                lit += canvas.At(x, y) != background;
            } else {
                ASSERT_EQ(canvas.At(x, y), background) << x << "," << y;
            }
        }
    }
    EXPECT_GT(lit, 20);
    // The padding beyond each row belongs to the caller and stays untouched.
    for (int y = 0; y < canvas.height; ++y)
        for (int x = canvas.width; x < canvas.stride; ++x)
            ASSERT_EQ(canvas.pixels[static_cast<size_t>(y * canvas.stride + x)], background);
}

TEST(FontsDraw, TextOverhangingTheBufferIsCutAtItsEdges) {
    auto font = DejaVu(24);
    ASSERT_TRUE(font);
    Canvas canvas(40, 20, 0);
    const PixelRect everywhere{-1000, -1000, 1000, 1000};
    for (const PixelRect& box : {PixelRect{-15, -10, 1000, 1000}, PixelRect{30, 8, 1000, 1000},
                                 PixelRect{-5000, 5, 1000, 1000}, PixelRect{2000000000, 0, 2147483647, 1000}}) {
        EXPECT_TRUE(font->DrawText(canvas.Buffer(), box, everywhere, L"Overhang Wy", 0xFFFFFFFF));
    }
    for (int y = 0; y < canvas.height; ++y)
        for (int x = canvas.width; x < canvas.stride; ++x)
            ASSERT_EQ(canvas.pixels[static_cast<size_t>(y * canvas.stride + x)], 0u);
}

TEST(FontsDraw, GlyphSitsOnTheBaselineAscentBelowTheBoxTop) {
    auto font = DejaVu(12);
    ASSERT_TRUE(font);
    testsupport::ReferenceFace ref(testsupport::kDejaVuSans, 16);
    ASSERT_TRUE(ref.Ok());
    ASSERT_EQ(FT_Load_Char(ref.Face(), 'H', FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP), 0);
    ASSERT_EQ(FT_Render_Glyph(ref.Face()->glyph, FT_RENDER_MODE_NORMAL), 0);
    const FT_GlyphSlot slot = ref.Face()->glyph;

    Canvas canvas(40, 40, 0);
    const int left = 7, top = 5;
    ASSERT_TRUE(font->DrawText(canvas.Buffer(), {left, top, 40, 40}, {0, 0, 40, 40}, L"H", 0xFFFFFFFF));

    const int originX = left + slot->bitmap_left;
    const int originY = top + ref.Ascent() - slot->bitmap_top;
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const int gx = x - originX, gy = y - originY;
            unsigned coverage = 0;
            if (gx >= 0 && gy >= 0 && gx < static_cast<int>(slot->bitmap.width) &&
                gy < static_cast<int>(slot->bitmap.rows))
                coverage = slot->bitmap.buffer[gy * slot->bitmap.pitch + gx];
            // White through coverage c onto transparent black is c in every channel.
            const uint32_t expected = coverage * 0x01010101u;
            ASSERT_EQ(canvas.At(x, y), expected) << x << "," << y;
        }
    }
}

// dst' = src*c + dst*(1 - srcAlpha*c), in floating point.
uint32_t Expected(uint32_t dst, uint32_t src, double c) {
    const double srcAlpha = Channel(src, 24) / 255.0;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const double v = Channel(src, shift) * c + Channel(dst, shift) * (1.0 - srcAlpha * c);
        out |= static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L)) << shift;
    }
    return out;
}

TEST(FontsDraw, BlendsThroughCoverageInPremultipliedAlpha) {
    auto font = DejaVu(18);
    ASSERT_TRUE(font);
    const std::wstring text = L"Blend &gs @%";
    const PixelRect box{3, 2, 200, 40};
    const PixelRect clip{0, 0, 200, 40};

    // Coverage first: opaque white onto transparent black leaves it in the alpha channel.
    Canvas coverage(200, 40, 0);
    ASSERT_TRUE(font->DrawText(coverage.Buffer(), box, clip, text, 0xFFFFFFFF));

    const uint32_t backgrounds[] = {0xC0306090, 0xFF102030, 0x00000000, 0x40404040};
    // The last colour has a component above its alpha: not premultiplied, yet blended by the formula.
    const uint32_t colours[] = {0xFF2080C0, 0x80800000, 0x40102030, 0x00000000, 0xFFFFFFFF, 0x80FF4000};
    for (uint32_t background : backgrounds) {
        for (uint32_t colour : colours) {
            Canvas canvas(200, 40, background);
            ASSERT_TRUE(font->DrawText(canvas.Buffer(), box, clip, text, colour));
            int partial = 0;
            for (int y = 0; y < 40; ++y) {
                for (int x = 0; x < 200; ++x) {
                    const unsigned cov = Channel(coverage.At(x, y), 24);
                    partial += cov > 0 && cov < 255;
                    const uint32_t want = Expected(background, colour, cov / 255.0);
                    const uint32_t got = canvas.At(x, y);
                    for (int shift = 0; shift < 32; shift += 8)
                        ASSERT_NEAR(static_cast<int>(Channel(got, shift)), static_cast<int>(Channel(want, shift)), 1)
                            << std::hex << "bg " << background << " colour " << colour << std::dec << " at " << x << ","
                            << y << " coverage " << cov;
                }
            }
            EXPECT_GT(partial, 20) << "anti-aliased edges expected";
        }
    }
}

TEST(FontsDraw, ColourWithComponentsAboveAlphaSaturatesInsteadOfWrapping) {
    auto font = DejaVu(16);
    ASSERT_TRUE(font);
    Canvas canvas(60, 30, 0xFFFFFFFF);
    ASSERT_TRUE(font->DrawText(canvas.Buffer(), {0, 0, 60, 30}, {0, 0, 60, 30}, L"Mix", 0x10FFFFFF));
    for (uint32_t p : canvas.pixels) ASSERT_EQ(p, 0xFFFFFFFFu);
}

TEST(FontsDraw, AfterReleaseTheCacheIsRebuiltWithIdenticalPixels) {
    auto font = DejaVu(13);
    ASSERT_TRUE(font);
    const std::wstring text = L"Release, then draw again";
    const PixelRect box{2, 3, 220, 30};
    Canvas before(220, 30, 0xFF203040);
    ASSERT_TRUE(font->DrawText(before.Buffer(), box, box, text, 0xFFF0E0D0));
    const size_t cached = font->CachedGlyphCount();
    EXPECT_GT(cached, 10u);
    const int width = font->MeasureWidth(text);

    font->ReleaseDeviceState();
    EXPECT_EQ(font->CachedGlyphCount(), 0u);
    Canvas after(220, 30, 0xFF203040);
    ASSERT_TRUE(font->DrawText(after.Buffer(), box, box, text, 0xFFF0E0D0));
    EXPECT_EQ(font->CachedGlyphCount(), cached);
    EXPECT_EQ(after.pixels, before.pixels);

    font->ReleaseDeviceState();
    EXPECT_EQ(font->MeasureWidth(text), width);
}

TEST(FontsDraw, UnusableBuffersAreRefusedAndLeftAlone) {
    auto font = DejaVu(12);
    ASSERT_TRUE(font);
    Canvas canvas(30, 20, 0x12345678, 0);
    const PixelRect all{0, 0, 30, 20};
    EXPECT_FALSE(font->DrawText({nullptr, 30, 20, 120}, all, all, L"x", 0xFFFFFFFF));
    EXPECT_FALSE(font->DrawText({canvas.pixels.data(), 30, 20, 100}, all, all, L"x", 0xFFFFFFFF));
    EXPECT_FALSE(font->DrawText({canvas.pixels.data(), 0, 20, 120}, all, all, L"x", 0xFFFFFFFF));
    EXPECT_FALSE(font->DrawText({canvas.pixels.data(), 30, -1, 120}, all, all, L"x", 0xFFFFFFFF));
    // An empty clip or an inverted box is a valid request that draws nothing.
    EXPECT_TRUE(font->DrawText(canvas.Buffer(), all, {5, 5, 5, 20}, L"xyz", 0xFFFFFFFF));
    EXPECT_TRUE(font->DrawText(canvas.Buffer(), {20, 10, 0, 0}, all, L"xyz", 0xFFFFFFFF));
    for (uint32_t p : canvas.pixels) ASSERT_EQ(p, 0x12345678u);
}

TEST(FontsDraw, UnderlineKeepsTheCellAndDrawsTheSamePixels) {
    FontRequest plain{"DejaVu Sans", 12, 96, 400, false, false};
    FontRequest underlined = plain;
    underlined.underline = true;
    auto a = SystemFont::Create(plain);
    auto b = SystemFont::Create(underlined);
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(b->Request().underline);
    EXPECT_EQ(a->Metrics().height, b->Metrics().height);
    EXPECT_EQ(a->Metrics().ascent, b->Metrics().ascent);
    Canvas ca(100, 24, 0), cb(100, 24, 0);
    const PixelRect all{0, 0, 100, 24};
    a->DrawText(ca.Buffer(), all, all, L"under line", 0xFFFFFFFF);
    b->DrawText(cb.Buffer(), all, all, L"under line", 0xFFFFFFFF);
    EXPECT_EQ(ca.pixels, cb.pixels);
}

}  // namespace

namespace {

TEST(FontsDrawStyles, SynthesisedObliqueSlantsTheSameAdvances) {
    // The light family has no oblique file: its upright outlines are sheared.
    auto upright = SystemFont::Create(FontRequest{"DejaVu Sans Light", 16, 96, 400, false, false});
    auto slanted = SystemFont::Create(FontRequest{"DejaVu Sans Light", 16, 96, 400, true, false});
    ASSERT_TRUE(upright && slanted);
    ASSERT_FALSE(slanted->UsedFallback());
    EXPECT_EQ(slanted->FilePath(), upright->FilePath());
    EXPECT_EQ(slanted->MeasureWidth(L"lllll"), upright->MeasureWidth(L"lllll"));

    // An upright 'l' is a vertical bar; sheared, its top row sits further right than its bottom row.
    const auto inkCentre = [](SystemFont& font, bool topRow) {
        Canvas canvas(40, 40, 0);
        font.DrawText(canvas.Buffer(), {10, 5, 40, 40}, {0, 0, 40, 40}, L"l", 0xFFFFFFFF);
        for (int i = 0; i < canvas.height; ++i) {
            const int y = topRow ? i : canvas.height - 1 - i;
            double sum = 0, weighted = 0;
            for (int x = 0; x < canvas.width; ++x) {
                sum += canvas.At(x, y) >> 24;
                weighted += x * static_cast<double>(canvas.At(x, y) >> 24);
            }
            if (sum > 0) return weighted / sum;
        }
        return -1.0;
    };
    EXPECT_NEAR(inkCentre(*upright, true), inkCentre(*upright, false), 0.5);
    EXPECT_GT(inkCentre(*slanted, true), inkCentre(*slanted, false) + 1.5);
}

TEST(FontsDrawStyles, HugeGlyphsStayWithinTheCacheBudget) {
    auto font = SystemFont::Create(FontRequest{"DejaVu Sans", 10000, 96, 400, false, false});
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Metrics().em, plat::MaxEmPixels);
    // Each raster is several hundred kilobytes; all of them together would pass the budget.
    const std::wstring text = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ@#%&MW";
    Canvas canvas(64, 64, 0);
    const PixelRect all{0, 0, 64, 64};
    for (wchar_t c : text) {
        ASSERT_TRUE(font->DrawText(canvas.Buffer(), {-200, -300, 64, 64}, all, std::wstring(1, c), 0xFFFFFFFF));
    }
    EXPECT_GT(font->CachedGlyphCount(), 0u);
    EXPECT_LT(font->CachedGlyphCount(), text.size());
    EXPECT_GT(font->MeasureWidth(text), 0);
}

}  // namespace
