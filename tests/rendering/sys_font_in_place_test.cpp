// System-font text blended straight into the target's pixels against the
// former route through a scratch image: the glyphs drawn over transparent
// black, that image then laid over the target with the premultiplied blend.
// The two round once and twice per channel, so they may differ by a step.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/fonts/system_font.h"
#include "platform/gfx/span_over.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/sys_font.h"
#include "tests/rendering/fonts_test_support.h"
#include "tests/rendering/graphics_test_support.h"

namespace {

// Rounding once instead of twice moves a channel by at most this much.
constexpr int kTolerance = 1;

class SysFontInPlaceTest : public testsupport::FontDeviceTest {
protected:
    // Premultiplied noise over the whole draw buffer, written to its pixels.
    std::vector<uint32_t> NoiseBackground(uint32_t seed) {
        std::mt19937 rng(seed);
        const int w = host.screenW, h = host.screenH;
        std::vector<uint32_t> px(static_cast<size_t>(w) * h);
        for (uint32_t& p : px) {
            const uint32_t v = rng(), a = v >> 24;
            p = (a << 24) | ((v >> 16 & 0xFF) * a / 255) << 16 | ((v >> 8 & 0xFF) * a / 255) << 8 |
                (v & 0xFF) * a / 255;
        }
        EXPECT_TRUE(Target()->BindRenderTarget());
        plat::Surface* surface = Target()->GetD3DSurface();
        for (int y = 0; y < h; ++y)
            std::copy_n(px.begin() + static_cast<ptrdiff_t>(y) * w, w, reinterpret_cast<uint32_t*>(surface->Row(y)));
        surface->Touch();
        Target()->SetTargetNewer();
        return px;
    }

    // The former route: text into a cleared scratch, then laid over `background`.
    // The same face and size as the SysFont, made apart from it.
    std::vector<uint32_t> ThroughScratch(bool shadow, std::vector<uint32_t> background, int x, int top,
                                         const plat::PixelRect& clip, const std::wstring& text, uint32_t argb) {
        auto face = plat::SystemFont::Create(plat::FontRequest{"DejaVu Sans", 12, 96, 400, false, false});
        const int w = host.screenW, h = host.screenH;
        std::vector<uint32_t> scratch(background.size(), 0);
        const plat::PixelBuffer buffer{scratch.data(), w, h, w * 4};
        if (shadow) face->DrawText(buffer, {x + 1, top + 1, w, h}, clip, text, 0xFF000000u);
        face->DrawText(buffer, {x, top, w, h}, clip, text, argb);
        for (size_t i = 0; i < background.size(); ++i) background[i] = plat::OverPixel(scratch[i], background[i]);
        return background;
    }
};

TEST_F(SysFontInPlaceTest, InPlaceTextMatchesTheScratchRouteWithinOneStep) {
    const std::wstring text = L"Visitors: 1,284  Happiness: 87% Wq|_";
    struct Case {
        Color color;
        bool shadow;
        Rect clip;
    };
    const Case cases[] = {
        {Color::FromRGBA(255, 255, 255, 255), false, Rect(0, 0, host.screenW, host.screenH)},
        {Color::FromRGBA(250, 120, 30, 160), false, Rect(0, 0, host.screenW, host.screenH)},
        {Color::FromRGBA(40, 200, 90, 255), true, Rect(0, 0, host.screenW, host.screenH)},
        {Color::FromRGBA(90, 90, 250, 100), true, Rect(25, 20, 80, 12)},
    };
    uint32_t seed = 1;
    for (const Case& c : cases) {
        std::unique_ptr<SysFont> font = SysFont::SysFontFromDesc("DejaVu Sans", 12, false, false, false);
        font->shadow = c.shadow;
        const std::vector<uint32_t> background = NoiseBackground(seed++);
        const int x = 17, y = 30;
        {
            Graphics g(Target());
            g.SetClipRectR(c.clip);
            g.SetFont(font.get());
            g.SetColor(c.color);
            g.DrawString(text, x, y);
        }
        const std::vector<uint32_t> got = DrawBufferPixels();
        const int top = y - static_cast<int>(font->GetAscent()) + 1;
        const plat::PixelRect clip{c.clip.x, c.clip.y, c.clip.x + c.clip.w, c.clip.y + c.clip.h};
        const std::vector<uint32_t> expected =
            ThroughScratch(c.shadow, background, x, top, clip, text, c.color.ToPremultipliedARGB());
        int inked = 0;
        for (size_t i = 0; i < got.size(); ++i) {
            inked += got[i] != background[i];
            for (int shift = 0; shift < 32; shift += 8)
                ASSERT_LE(
                    std::abs(static_cast<int>(got[i] >> shift & 0xFF) - static_cast<int>(expected[i] >> shift & 0xFF)),
                    kTolerance)
                    << "pixel " << i % host.screenW << "," << i / host.screenW << " shadow " << c.shadow;
        }
        EXPECT_GT(inked, 50);
    }
}

}  // namespace
