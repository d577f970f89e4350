// Unscaled images at fractional positions: every sub-pixel offset in 1/16
// steps, drawn through the device, against the per-sample bilinear filter
// (SampleSpan) at the coordinates the rectangle gives each pixel. Whole
// rows are blended at once there, and kept for the next draw at the same
// offset, so this holds both to the same bits. Mirrored images (the texture
// read right to left) take the same rows backwards.
#include <cmath>

#include "gfx_test_util.h"
#include "platform/gfx/sampler.h"
#include "platform/gfx/span.h"
#include "platform/gfx/span_over.h"

namespace {

using namespace testsupport;
using plat::SamplerState;
using plat::TextureAddress;
using plat::TextureFilter;

// Where a blended image's texels are clear: nowhere; in rows or bands at
// one edge; or around a figure, each row clear but for a band of its own
// inside, so that columns at both edges are clear in every row (a cel's).
enum class Clear { kNone, kBands, kFigure };

struct BlitCase {
    const char* name;
    int texW, texH;
    int firstU, firstV;  // texel of the image's top-left corner
    int w, h;            // image size in texels and pixels
    bool wrap;
    uint32_t color;  // vertex colour: white passes the texels through
    bool blend;
    bool mirrored;  // u falls from left to right
    Clear clear;
};

const BlitCase kCases[] = {
    {"WholeClamp", 13, 9, 0, 0, 13, 9, false, 0xFFFFFFFFu, false, false, Clear::kNone},
    {"WholeWrap", 13, 9, 0, 0, 13, 9, true, 0xFFFFFFFFu, false, false, Clear::kNone},
    {"Modulated", 13, 9, 0, 0, 13, 9, false, 0x80C0A060u, false, false, Clear::kNone},
    {"InnerPart", 32, 16, 4, 2, 24, 11, false, 0xFFFFFFFFu, true, false, Clear::kNone},
    {"InnerPartWrap", 32, 16, 4, 2, 28, 14, true, 0xFFFFFFFFu, false, false, Clear::kNone},
    {"WiderThanAChunk", 150, 21, 0, 0, 150, 21, false, 0xFFFFFFFFu, true, false, Clear::kNone},
    {"MirroredWholeClamp", 13, 9, 0, 0, 13, 9, false, 0xFFFFFFFFu, false, true, Clear::kNone},
    {"MirroredWholeWrap", 13, 9, 0, 0, 13, 9, true, 0xFFFFFFFFu, false, true, Clear::kNone},
    {"MirroredModulated", 13, 9, 0, 0, 13, 9, false, 0x80C0A060u, true, true, Clear::kNone},
    {"MirroredInnerPart", 32, 16, 4, 2, 24, 11, false, 0xFFFFFFFFu, true, true, Clear::kNone},
    {"MirroredWiderThanAChunk", 150, 21, 0, 0, 150, 21, false, 0xFFFFFFFFu, true, true, Clear::kNone},
    // Narrow and taller than the rows blended together at once.
    {"TallerThanARun", 20, 70, 0, 0, 20, 70, false, 0xFFFFFFFFu, true, false, Clear::kNone},
    {"MirroredTallerThanARun", 20, 70, 0, 0, 20, 70, false, 0xFFFFFFFFu, true, true, Clear::kNone},
    {"ClearMargins", 32, 16, 4, 2, 24, 11, false, 0xFFFFFFFFu, true, false, Clear::kBands},
    {"MirroredClearMargins", 32, 16, 4, 2, 24, 11, false, 0xFFFFFFFFu, true, true, Clear::kBands},
    // Clear columns at both edges, rows not a whole number of fours wide,
    // and taller than a run, whose two parts hold their figures apart.
    {"Figure", 23, 30, 0, 0, 23, 30, false, 0xFFFFFFFFu, true, false, Clear::kFigure},
    {"MirroredFigure", 23, 30, 0, 0, 23, 30, false, 0xFFFFFFFFu, true, true, Clear::kFigure},
    {"TallFigure", 23, 72, 0, 0, 23, 72, false, 0xFFFFFFFFu, true, false, Clear::kFigure},
    {"MirroredTallFigure", 23, 72, 0, 0, 23, 72, false, 0xFFFFFFFFu, true, true, Clear::kFigure},
};

class GfxFractionalBlitTest : public GfxTest, public ::testing::WithParamInterface<BlitCase> {
protected:
    static constexpr int kTargetW = 168, kTargetH = 80, kBackground = 0x80402010;

    void SetUp() override { Open(kTargetW, kTargetH, plat::Format::A8R8G8B8); }

    void Sampler(bool wrap) {
        const auto mode = static_cast<uint32_t>(wrap ? TextureAddress::Wrap : TextureAddress::Clamp);
        device_->SetSamplerState(0, SamplerState::AddressU, mode);
        device_->SetSamplerState(0, SamplerState::AddressV, mode);
        for (SamplerState s : {SamplerState::MinFilter, SamplerState::MagFilter})
            device_->SetSamplerState(0, s, static_cast<uint32_t>(TextureFilter::Linear));
    }

    // The frame the per-sample filter gives: pixel p of the image at left
    // edge x samples u = first + (p - (x - 0.5)) texels (mirrored: counted
    // from the image's right edge), and likewise in v.
    std::vector<uint32_t> Reference(const BlitCase& c, const std::vector<uint32_t>& texels, double x, double y) const {
        plat::SamplerSetup s;
        s.view = {texels.data(), c.texW, c.texH, c.texW};
        s.bilinear = true;
        s.wrapU = s.wrapV = c.wrap;
        std::vector<uint32_t> out(static_cast<size_t>(kTargetW) * kTargetH, kBackground);
        const int left = static_cast<int>(std::ceil(x - 0.5)), right = static_cast<int>(std::ceil(x + c.w - 0.5));
        const int top = static_cast<int>(std::ceil(y - 0.5)), bottom = static_cast<int>(std::ceil(y + c.h - 0.5));
        for (int py = std::max(top, 0); py < std::min(bottom, kTargetH); ++py)
            for (int px = std::max(left, 0); px < std::min(right, kTargetW); ++px) {
                const double along = px - (x - 0.5);
                const auto u =
                    static_cast<int32_t>(std::lround((c.firstU + (c.mirrored ? c.w - along : along)) * 65536.0));
                const auto v = static_cast<int32_t>(std::lround((c.firstV + py - (y - 0.5)) * 65536.0));
                uint32_t texel = 0;
                plat::SampleSpan(s, &u, &v, 1, &texel);
                if (c.color != 0xFFFFFFFFu) texel = plat::ModulateArgb(texel, c.color);
                uint32_t& pixel = out[static_cast<size_t>(py) * kTargetW + px];
                pixel = c.blend ? plat::OverPixel(texel, pixel) : texel;
            }
        return out;
    }
};

TEST_P(GfxFractionalBlitTest, EverySixteenthOfAPixelGivesThePerSampleFiltersBits) {
    const BlitCase& c = GetParam();
    std::vector<uint32_t> texels = Noise(c.texW * c.texH, 7, false);
    for (int y = 0; y < c.texH; ++y)
        for (int x = 0; x < c.texW; ++x) {
            bool clear = false;
            if (c.clear == Clear::kBands)
                clear = y % 3 == 0 || (y % 3 == 1 && x >= 5) || (y % 3 == 2 && x < c.texW - 5);
            // The upper rows' figure lies left of the middle, the lower's
            // right of it; every ninth row is clear.
            if (c.clear == Clear::kFigure)
                clear = y % 9 == 4 || (y < 48 ? x < 5 + y % 4 || x >= 13 + y % 3 : x < 9 + y % 5 || x >= 19 - y % 2);
            if (clear) texels[static_cast<size_t>(y) * c.texW + x] = 0;
        }
    std::vector<uint32_t> premultiplied = texels;
    // Blended art is premultiplied, so the colour never passes the alpha.
    for (uint32_t& p : premultiplied) {
        const uint32_t a = p >> 24;
        p = (a << 24) | (((p >> 16 & 0xFF) * a / 255) << 16) | (((p >> 8 & 0xFF) * a / 255) << 8) |
            ((p & 0xFF) * a / 255);
    }
    const std::vector<uint32_t>& art = c.blend ? premultiplied : texels;
    plat::Texture* tex = MakeTexture(c.texW, c.texH, art);
    device_->SetTexture(0, tex);
    Sampler(c.wrap);
    if (c.blend) BlendNormal();
    const float s0 = static_cast<float>(c.firstU) / c.texW, t0 = static_cast<float>(c.firstV) / c.texH;
    const float s1 = static_cast<float>(c.firstU + c.w) / c.texW, t1 = static_cast<float>(c.firstV + c.h) / c.texH;
    int mismatches = 0;
    for (int sy = 0; sy < 16; ++sy)
        for (int sx = 0; sx < 16; ++sx) {
            const double x = 7 + sx / 16.0, y = 5 + sy / 16.0;
            const std::vector<uint32_t> expected = Reference(c, art, x, y);
            // The second draw at an offset reads the rows the first one filtered.
            for (int pass = 0; pass < 2; ++pass) {
                Clear(kBackground);
                Quad(static_cast<float>(x), static_cast<float>(y), static_cast<float>(c.w), static_cast<float>(c.h),
                     c.color, c.mirrored ? s1 : s0, t0, c.mirrored ? s0 : s1, t1);
                const std::vector<uint32_t> drawn = Read();
                for (size_t i = 0; i < drawn.size() && mismatches < 5; ++i)
                    if (drawn[i] != expected[i]) {
                        ++mismatches;
                        ADD_FAILURE() << "offset " << sx << "/16, " << sy << "/16, draw " << pass << ", pixel "
                                      << i % kTargetW << ", " << i / kTargetW << ": " << std::hex << drawn[i]
                                      << " != " << expected[i];
                    }
            }
        }
    tex->Release();
}

INSTANTIATE_TEST_SUITE_P(Images, GfxFractionalBlitTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<BlitCase>& i) { return std::string(i.param.name); });

}  // namespace
