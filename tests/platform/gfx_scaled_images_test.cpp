// Scaled images' rows kept for later draws at the same size: a draw that
// reads them gives the bits a draw of a texture never drawn before gives,
// for images shrunk and enlarged (two pixel rows between one pair of texel
// rows, at weights of their own), at sizes and positions drawn in turn,
// after the texels change, and blended over what lies under them. The kept
// rows' own rules: what is kept, what is handed out to be made, and a row a
// draw holds is never handed out to be made over within that draw.
#include <vector>

#include "gfx_test_util.h"
#include "platform/gfx/sampler.h"
#include "platform/gfx/scaled_images.h"

namespace {

using namespace testsupport;
using plat::SamplerState;
using plat::TextureFilter;

std::vector<uint32_t> Premultiplied(std::vector<uint32_t> texels) {
    for (uint32_t& p : texels) {
        const uint32_t a = p >> 24;
        p = (a << 24) | (((p >> 16 & 0xFF) * a / 255) << 16) | (((p >> 8 & 0xFF) * a / 255) << 8) |
            ((p & 0xFF) * a / 255);
    }
    return texels;
}

class GfxScaledImagesTest : public GfxTest {
protected:
    static constexpr int kTargetW = 96, kTargetH = 72, kTexW = 24, kTexH = 20;
    static constexpr uint32_t kBackground = 0x80402010u;

    void SetUp() override { Open(kTargetW, kTargetH, plat::Format::A8R8G8B8); }

    void Linear() {
        for (SamplerState s : {SamplerState::MinFilter, SamplerState::MagFilter})
            device_->SetSamplerState(0, s, static_cast<uint32_t>(TextureFilter::Linear));
    }

    std::vector<uint32_t> DrawWith(plat::Texture* tex, float x, float y, float w, float h) {
        Clear(kBackground);
        device_->SetTexture(0, tex);
        Quad(x, y, w, h, 0xFFFFFFFFu);
        return Read();
    }

    void Rewrite(plat::Texture* tex, const std::vector<uint32_t>& argb) {
        plat::LockedRect lr;
        ASSERT_EQ(plat::kOk, tex->LockRect(0, &lr, nullptr, 0));
        for (int y = 0; y < kTexH; ++y)
            for (int x = 0; x < kTexW; ++x)
                *reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.bits) + y * lr.pitch + x * 4) =
                    argb[static_cast<size_t>(y * kTexW + x)];
        ASSERT_EQ(plat::kOk, tex->UnlockRect(0));
    }
};

TEST_F(GfxScaledImagesTest, DrawsAtSizesDrawnBeforeMatchATextureNeverDrawn) {
    BlendNormal();
    Linear();
    std::vector<uint32_t> texels = Premultiplied(Noise(kTexW * kTexH, 31, false));
    // Clear rows and a clear band, as an icon's edges are.
    for (int x = 0; x < kTexW; ++x) texels[static_cast<size_t>(x)] = 0;
    for (int y = 0; y < kTexH; ++y) texels[static_cast<size_t>(y * kTexW + 3)] = 0;
    plat::Texture* shared = MakeTexture(kTexW, kTexH, texels);
    struct Size {
        float w, h;
    };
    // Enlarged by a little and by nearly two, shrunk, and narrower than a
    // vector of eight, so every way of blending a row across is met.
    const Size sizes[] = {{26.0f, 22.0f}, {45.0f, 39.0f}, {17.0f, 13.0f}, {6.0f, 31.0f}};
    // The same columns at rows of other weights (only y's fraction moves),
    // at other columns, and clipped at the target's edges.
    const float places[][2] = {{5.0f, 4.0f},  {5.0f, 4.375f}, {31.0f, 9.75f}, {5.5f, 30.125f},
                               {-7.0f, 2.0f}, {80.0f, 60.5f}, {31.0f, 9.75f}};
    int compared = 0;
    for (int pass = 0; pass < 3; ++pass) {
        // The last pass draws changed texels into the same texture.
        if (pass == 2) {
            texels = Premultiplied(Noise(kTexW * kTexH, 77, false));
            Rewrite(shared, texels);
        }
        for (const Size& s : sizes)
            for (const auto& p : places) {
                const std::vector<uint32_t> drawn = DrawWith(shared, p[0], p[1], s.w, s.h);
                plat::Texture* fresh = MakeTexture(kTexW, kTexH, texels);
                const std::vector<uint32_t> expected = DrawWith(fresh, p[0], p[1], s.w, s.h);
                fresh->Release();
                int mismatches = 0;
                for (size_t i = 0; i < drawn.size() && mismatches < 3; ++i)
                    if (drawn[i] != expected[i]) {
                        ++mismatches;
                        ADD_FAILURE() << "pass " << pass << ", " << s.w << " x " << s.h << " at " << p[0] << ", "
                                      << p[1] << ", pixel " << i % kTargetW << ", " << i / kTargetW << ": " << std::hex
                                      << drawn[i] << " != " << expected[i];
                    }
                ++compared;
            }
    }
    device_->SetTexture(0, nullptr);
    shared->Release();
    EXPECT_EQ(compared, 3 * 4 * 7);
}

TEST(ScaledImagesTest, RowsAreKeptByColumnsTexelsAndWeight) {
    std::vector<uint32_t> texels(static_cast<size_t>(8) * 6, 0xFF102030u);
    plat::SamplerSetup s;
    s.view = {texels.data(), 8, 6, 8};
    s.bilinear = true;
    const std::vector<int32_t> u = {0x8000, 0x18000, 0x28000}, other = {0x8000, 0x18000, 0x28100};
    plat::ScaledImages images;
    ASSERT_TRUE(images.BeginDraw(s, 1, u));
    // Row coordinate 2.5 texels: texel rows 2 and 3 at weight 0; 2.75 at 64.
    const plat::ScaledImages::Row first = images.At(0x28000);
    ASSERT_NE(first.samples, nullptr);
    EXPECT_FALSE(first.made);
    EXPECT_TRUE(images.At(0x28000).made);
    // Another weight between the same texel rows, in the draw holding the row.
    EXPECT_EQ(images.At(0x2C000).samples, nullptr);
    // Rows past the texture's are not kept.
    EXPECT_EQ(images.At(-0x10000).samples, nullptr);
    EXPECT_EQ(images.At(0x70000).samples, nullptr);
    EXPECT_NE(images.At(0x8000 - 0x10000).samples, nullptr);

    // The next draw of the same columns finds the row made, and a row made
    // at one weight holds it against the same texel rows at another.
    ASSERT_TRUE(images.BeginDraw(s, 1, u));
    const plat::ScaledImages::Row again = images.At(0x28000);
    EXPECT_EQ(again.samples, first.samples);
    EXPECT_TRUE(again.made);
    EXPECT_EQ(images.At(0x2C000).samples, nullptr);
    // A draw after it takes the row at the other weight, to be made anew.
    ASSERT_TRUE(images.BeginDraw(s, 1, u));
    const plat::ScaledImages::Row remade = images.At(0x2C000);
    EXPECT_EQ(remade.samples, first.samples);
    EXPECT_FALSE(remade.made);
    EXPECT_TRUE(images.At(0x2C000).made);
    EXPECT_EQ(images.At(0x28000).samples, nullptr);

    // Other columns, or the texels at another version, make their rows anew.
    ASSERT_TRUE(images.BeginDraw(s, 1, other));
    EXPECT_FALSE(images.At(0x2C000).made);
    ASSERT_TRUE(images.BeginDraw(s, 2, u));
    EXPECT_FALSE(images.At(0x2C000).made);
    // Once the first plan has given way to as many others as are kept, its
    // rows are made anew as well.
    ASSERT_TRUE(images.BeginDraw(s, 1, other));
    EXPECT_TRUE(images.At(0x2C000).made);
    for (int k = 0; k < plat::ScaledImages::kPlans; ++k) {
        const std::vector<int32_t> columns = {k * 0x100, 0x18000, 0x28000};
        ASSERT_TRUE(images.BeginDraw(s, 3, columns));
        EXPECT_FALSE(images.At(0x2C000).made);
    }
    ASSERT_TRUE(images.BeginDraw(s, 1, other));
    EXPECT_FALSE(images.At(0x2C000).made);

    // An image whose rows would take more room than a plan is given.
    std::vector<uint32_t> tall(static_cast<size_t>(plat::ScaledImages::kMostSamples), 0);
    plat::SamplerSetup t = s;
    t.view = {tall.data(), 1, plat::ScaledImages::kMostSamples, 1};
    EXPECT_FALSE(images.BeginDraw(t, 1, u));
    EXPECT_EQ(images.At(0x28000).samples, nullptr);
}

}  // namespace
