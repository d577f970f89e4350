// A fill of a whole target is made only when its pixels are next read or
// written, and not at all when a draw then copies over every one of them:
// whatever follows the fill, the pixels must be the ones an immediate fill
// would have left.
#include <functional>

#include "gfx_test_util.h"
#include "platform/gfx/span.h"

namespace {

using namespace testsupport;

class GfxFillLaterTest : public GfxTest {};

TEST_F(GfxFillLaterTest, WhatFollowsAWholeFillSeesTheFilledPixels) {
    constexpr uint32_t kFill = 0xFF336699u;
    const std::vector<uint32_t> texels = Noise(kW * kH, 77, false);
    plat::Texture* image = MakeTexture(kW, kH, texels);
    plat::BlendSetup over;
    over.enabled = true;
    over.src = over.srcAlpha = plat::Blend::One;
    over.dst = over.dstAlpha = plat::Blend::InvSrcAlpha;
    auto copy = [&] { device_->SetRenderState(plat::RenderState::AlphaBlendEnable, 0); };
    struct Case {
        const char* name;
        std::function<void()> draw;
        std::function<uint32_t(int x, int y)> expected;
    };
    auto texel = [&](int x, int y) { return texels[static_cast<size_t>(y * kW + x)]; };
    const Case cases[] = {
        {"nothing drawn", [] {}, [](int, int) { return kFill; }},
        {"every pixel copied",
         [&] {
             copy();
             Quad(0, 0, kW, kH, 0xFFFFFFFFu);
         },
         texel},
        {"every pixel blended over",
         [&] {
             BlendNormal();
             Quad(0, 0, kW, kH, 0xFFFFFFFFu);
         },
         [&](int x, int y) { return plat::BlendPixel(over, texel(x, y), kFill); }},
        {"all but the last row copied",
         [&] {
             copy();
             Quad(0, 0, kW, kH - 1, 0xFFFFFFFFu, 0, 0, 1, (kH - 1.0f) / kH);
         },
         [&](int x, int y) { return y < kH - 1 ? texel(x, y) : kFill; }},
        {"filled again, then a corner copied",
         [&] {
             Clear(0xFF000000u);
             copy();
             Quad(0, 0, 8, 8, 0xFFFFFFFFu, 0, 0, 8.0f / kW, 8.0f / kH);
         },
         [&](int x, int y) { return x < 8 && y < 8 ? texel(x, y) : 0xFF000000u; }},
    };
    device_->SetTexture(0, image);
    for (const Case& c : cases) {
        Clear(kFill);
        c.draw();
        const std::vector<uint32_t> px = Read();
        int wrong = 0;
        for (int y = 0; y < kH && wrong < 3; ++y)
            for (int x = 0; x < kW && wrong < 3; ++x)
                if (At(px, x, y) != c.expected(x, y)) {
                    ++wrong;
                    ADD_FAILURE() << c.name << ": pixel " << x << ", " << y << " is " << std::hex << At(px, x, y)
                                  << ", not " << c.expected(x, y);
                }
    }

    // A filled target read as a texture by the next draw.
    plat::Texture* canvas = nullptr;
    ASSERT_EQ(plat::kOk, device_->CreateTexture(kW, kH, 1, plat::kUsageRenderTarget, plat::Format::A8R8G8B8,
                                                plat::Pool::Default, &canvas));
    plat::Surface* level = nullptr;
    ASSERT_EQ(plat::kOk, canvas->GetSurfaceLevel(0, &level));
    Bind(level);
    Clear(0xFF808000u);
    Bind(target_);
    Clear(kFill);
    device_->SetTexture(0, canvas);
    copy();
    Quad(0, 0, kW, kH, 0xFFFFFFFFu);
    const std::vector<uint32_t> px = Read();
    EXPECT_EQ(At(px, 0, 0), 0xFF808000u);
    EXPECT_EQ(At(px, kW - 1, kH - 1), 0xFF808000u);
    device_->SetTexture(0, nullptr);
    level->Release();
    canvas->Release();
    image->Release();
}

}  // namespace
