// Random scenes of unscaled sprites, as a park draws them: overlapping
// images of a few textures at a few shared sub-pixel offsets (so later
// draws read the rows earlier ones filtered), some mirrored, some tinted,
// with clear edges and clear rows as people's cels have, all blended over a
// noisy background, by the over blend or, in some scenes, the additive one. Every scene is drawn through the
// device and, apart from it, sprite by sprite through the per-sample
// bilinear filter and the one-pixel blend, the path the device's row
// shortcuts stand in for; the two frames must hold the same bits.
#include <algorithm>
#include <cmath>
#include <random>

#include "gfx_test_util.h"
#include "platform/gfx/sampler.h"
#include "platform/gfx/span.h"
#include "platform/gfx/span_over.h"

namespace {

using namespace testsupport;
using plat::SamplerState;
using plat::TextureAddress;
using plat::TextureFilter;

struct Art {
    int w, h;
    std::vector<uint32_t> texels;  // premultiplied
};

struct Sprite {
    int art;
    int firstU, firstV, w, h;
    double x, y;  // top-left corner in pixels, 1/256 steps
    bool mirrored;
    uint32_t color;
};

class GfxSpriteSceneTest : public GfxTest, public ::testing::WithParamInterface<bool> {
protected:
    static constexpr int kTargetW = 256, kTargetH = 96;

    void SetUp() override { Open(kTargetW, kTargetH, plat::Format::A8R8G8B8); }

    // Clear columns `margin` wide at both sides and clear rows at the bottom.
    static Art MakeArt(int w, int h, uint32_t seed, int margin) {
        Art a{w, h, Noise(w * h, seed, false)};
        for (size_t i = 0; i < a.texels.size(); ++i) {
            uint32_t& p = a.texels[i];
            const int x = static_cast<int>(i) % w, y = static_cast<int>(i) / w;
            if (x < margin || x >= w - margin || y >= h - margin) p = 0;
            // Clear and opaque runs as sprites have, between soft edges.
            const uint32_t kind = (p >> 8) % 4;
            const uint32_t alpha = kind == 0 ? 0 : kind == 1 ? 255 : p >> 24;
            p = (alpha << 24) | (((p >> 16 & 0xFF) * alpha / 255) << 16) | (((p >> 8 & 0xFF) * alpha / 255) << 8) |
                ((p & 0xFF) * alpha / 255);
        }
        return a;
    }

    // The sprite through the per-sample filter: pixel p of the image at left
    // edge x samples u = first + (p - (x - 0.5)) texels (mirrored: counted
    // from the image's right edge), and likewise in v.
    static void Reference(const Sprite& s, const Art& art, bool wrap, const plat::BlendSetup& blend,
                          std::vector<uint32_t>& frame) {
        plat::SamplerSetup setup;
        setup.view = {art.texels.data(), art.w, art.h, art.w};
        setup.bilinear = true;
        setup.wrapU = setup.wrapV = wrap;
        const int left = static_cast<int>(std::ceil(s.x - 0.5)), right = static_cast<int>(std::ceil(s.x + s.w - 0.5));
        const int top = static_cast<int>(std::ceil(s.y - 0.5)), bottom = static_cast<int>(std::ceil(s.y + s.h - 0.5));
        for (int py = std::max(top, 0); py < std::min(bottom, kTargetH); ++py)
            for (int px = std::max(left, 0); px < std::min(right, kTargetW); ++px) {
                const double along = px - (s.x - 0.5);
                const auto u =
                    static_cast<int32_t>(std::lround((s.firstU + (s.mirrored ? s.w - along : along)) * 65536.0));
                const auto v = static_cast<int32_t>(std::lround((s.firstV + py - (s.y - 0.5)) * 65536.0));
                uint32_t texel = 0;
                plat::SampleSpan(setup, &u, &v, 1, &texel);
                if (s.color != 0xFFFFFFFFu) texel = plat::ModulateArgb(texel, s.color);
                uint32_t& pixel = frame[static_cast<size_t>(py) * kTargetW + px];
                pixel = plat::BlendPixel(blend, texel, pixel);
            }
    }
};

TEST_P(GfxSpriteSceneTest, RandomScenesMatchThePerSampleFilterBitForBit) {
    const bool wrap = GetParam();
    // Texture sizes whose texel coordinates are exact in a float, as the
    // engine's packed sheets have.
    const std::vector<Art> arts = {MakeArt(64, 32, 11, 0), MakeArt(128, 64, 12, 9), MakeArt(32, 128, 13, 5)};
    std::vector<plat::Texture*> textures;
    for (const Art& a : arts) textures.push_back(MakeTexture(a.w, a.h, a.texels));
    const auto mode = static_cast<uint32_t>(wrap ? TextureAddress::Wrap : TextureAddress::Clamp);
    device_->SetSamplerState(0, SamplerState::AddressU, mode);
    device_->SetSamplerState(0, SamplerState::AddressV, mode);
    for (SamplerState s : {SamplerState::MinFilter, SamplerState::MagFilter})
        device_->SetSamplerState(0, s, static_cast<uint32_t>(TextureFilter::Linear));
    BlendNormal();

    std::mt19937 random(wrap ? 4242u : 2424u);
    auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    int mismatches = 0;
    for (int scene = 0; scene < 24 && mismatches < 5; ++scene) {
        // A camera's offset shared by most sprites, and a few of their own:
        // more than a texture keeps filtered rows for, so they take turns.
        const int offsets[5] = {between(0, 255), between(0, 255), between(0, 255), between(0, 255), between(0, 255)};
        std::vector<uint32_t> expected = Noise(kTargetW * kTargetH, 100u + static_cast<uint32_t>(scene), false);
        // The background copied texel for texel: unblended, whole pixels.
        plat::Texture* background = MakeTexture(kTargetW, kTargetH, expected);
        device_->SetTexture(0, background);
        device_->SetRenderState(plat::RenderState::AlphaBlendEnable, 0);
        Quad(0, 0, kTargetW, kTargetH, 0xFFFFFFFFu);
        BlendNormal();
        background->Release();
        plat::BlendSetup blend;
        blend.enabled = true;
        blend.src = blend.srcAlpha = plat::Blend::One;
        blend.dst = blend.dstAlpha = scene % 3 == 2 ? plat::Blend::One : plat::Blend::InvSrcAlpha;
        device_->SetRenderState(plat::RenderState::DestBlend, static_cast<uint32_t>(blend.dst));
        for (int n = 0; n < 16; ++n) {
            Sprite s{};
            s.art = between(0, 2);
            const Art& art = arts[static_cast<size_t>(s.art)];
            s.w = between(1, art.w);
            s.h = between(1, art.h);
            s.firstU = between(0, art.w - s.w);
            s.firstV = between(0, art.h - s.h);
            const int fx = offsets[between(0, 7) % 5], fy = offsets[between(0, 7) % 5];
            s.x = between(-40, kTargetW) + fx / 256.0;
            s.y = between(-40, kTargetH) + fy / 256.0;
            s.mirrored = between(0, 2) == 0;
            s.color = between(0, 3) == 0 ? (static_cast<uint32_t>(between(0, 0xFFFFFF)) | 0xFF000000u) : 0xFFFFFFFFu;
            Reference(s, art, wrap, blend, expected);
            const float s0 = static_cast<float>(s.firstU) / art.w, t0 = static_cast<float>(s.firstV) / art.h;
            const float s1 = static_cast<float>(s.firstU + s.w) / art.w,
                        t1 = static_cast<float>(s.firstV + s.h) / art.h;
            device_->SetTexture(0, textures[static_cast<size_t>(s.art)]);
            Quad(static_cast<float>(s.x), static_cast<float>(s.y), static_cast<float>(s.w), static_cast<float>(s.h),
                 s.color, s.mirrored ? s1 : s0, t0, s.mirrored ? s0 : s1, t1);
        }
        const std::vector<uint32_t> drawn = Read();
        for (size_t i = 0; i < drawn.size() && mismatches < 5; ++i)
            if (drawn[i] != expected[i]) {
                ++mismatches;
                ADD_FAILURE() << "scene " << scene << ", pixel " << i % kTargetW << ", " << i / kTargetW << ": "
                              << std::hex << drawn[i] << " != " << expected[i];
            }
    }
    for (plat::Texture* t : textures) t->Release();
}

INSTANTIATE_TEST_SUITE_P(Addressing, GfxSpriteSceneTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "Wrap" : "Clamp"; });

}  // namespace
