// Texture sampling: texel centres, filtering, addressing and formats.
#include "gfx_test_util.h"

namespace {

using namespace testsupport;
using plat::PrimitiveType;
using plat::SamplerState;
using plat::TextureFilter;

class GfxTextureTest : public GfxTest {
protected:
    void Filter(TextureFilter f) {
        device_->SetSamplerState(0, SamplerState::MinFilter, static_cast<uint32_t>(f));
        device_->SetSamplerState(0, SamplerState::MagFilter, static_cast<uint32_t>(f));
    }
    void Clamp() {
        device_->SetSamplerState(0, SamplerState::AddressU, static_cast<uint32_t>(plat::TextureAddress::Clamp));
        device_->SetSamplerState(0, SamplerState::AddressV, static_cast<uint32_t>(plat::TextureAddress::Clamp));
    }
};

class GfxCopyTest : public GfxTextureTest, public ::testing::WithParamInterface<TextureFilter> {};

TEST_P(GfxCopyTest, OneToOneBlitCopiesEveryTexelExactly) {
    Filter(GetParam());
    const int w = 37, h = 21;
    auto texels = Noise(w * h, 7, true);
    plat::Texture* tex = MakeTexture(w, h, texels);
    device_->SetTexture(0, tex);
    Quad(5, 9, w, h, 0xFFFFFFFFu);
    auto px = Read();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(texels[static_cast<size_t>(y * w + x)], At(px, 5 + x, 9 + y)) << x << "," << y;
    EXPECT_EQ(0u, At(px, 4, 9));
    EXPECT_EQ(0u, At(px, 5 + w, 9));
    tex->Release();
}

// The engine's batches: indexed triangle lists, two triangles per quad,
// each quad taking a part of a larger texture.
TEST_P(GfxCopyTest, IndexedBatchOfQuadsCopiesTheirTextureParts) {
    Filter(GetParam());
    const int tw = 32, th = 16;
    auto texels = Noise(tw * th, 3, true);
    plat::Texture* tex = MakeTexture(tw, th, texels);
    device_->SetTexture(0, tex);
    struct Part {
        int sx, sy, w, h, dx, dy;
    } parts[3] = {{0, 0, 10, 8, 1, 1}, {10, 3, 13, 9, 30, 2}, {20, 8, 12, 8, 12, 30}};
    std::vector<Vtx> v;
    std::vector<uint16_t> idx;
    for (const Part& p : parts) {
        const uint16_t b = static_cast<uint16_t>(v.size());
        const float s0 = float(p.sx) / tw, t0 = float(p.sy) / th, s1 = float(p.sx + p.w) / tw,
                    t1 = float(p.sy + p.h) / th;
        const float x = p.dx - 0.5f, y = p.dy - 0.5f;
        v.push_back({x, y, 0, 0xFFFFFFFFu, s0, t0});
        v.push_back({x, y + p.h, 0, 0xFFFFFFFFu, s0, t1});
        v.push_back({x + p.w, y, 0, 0xFFFFFFFFu, s1, t0});
        v.push_back({x + p.w, y + p.h, 0, 0xFFFFFFFFu, s1, t1});
        for (int k : {0, 1, 2, 2, 1, 3}) idx.push_back(static_cast<uint16_t>(b + k));
    }
    ASSERT_EQ(plat::kOk,
              device_->DrawIndexedPrimitiveUP(PrimitiveType::TriangleList, 0, uint32_t(v.size()), 6, idx.data(),
                                              plat::IndexFormat::Index16, v.data(), sizeof(Vtx)));
    auto px = Read();
    for (const Part& p : parts)
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                ASSERT_EQ(texels[static_cast<size_t>((p.sy + y) * tw + p.sx + x)], At(px, p.dx + x, p.dy + y));
    tex->Release();
}

// A quarter turn maps texel centres onto pixel centres, so even the general
// triangle path with bilinear filtering must reproduce the texels exactly:
// pixel (x0 + h - 1 - ty, y0 + tx) shows texel (tx, ty).
TEST_P(GfxCopyTest, QuarterTurnRotationCopiesTexelsExactly) {
    Filter(GetParam());
    Clamp();
    const int w = 20, h = 12;
    auto texels = Noise(w * h, 11, true);
    plat::Texture* tex = MakeTexture(w, h, texels);
    device_->SetTexture(0, tex);
    const float x0 = 10 - 0.5f, y0 = 4 - 0.5f;
    // Texture corner (0,0) at the top right of the destination, (0,1) top left.
    Vtx v[4] = {{x0 + h, y0, 0, 0xFFFFFFFFu, 0, 0},
                {x0, y0, 0, 0xFFFFFFFFu, 0, 1},
                {x0 + h, y0 + w, 0, 0xFFFFFFFFu, 1, 0},
                {x0, y0 + w, 0, 0xFFFFFFFFu, 1, 1}};
    ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, v, sizeof(Vtx)));
    auto px = Read();
    for (int ty = 0; ty < h; ++ty)
        for (int tx = 0; tx < w; ++tx)
            ASSERT_EQ(texels[static_cast<size_t>(ty * w + tx)], At(px, 10 + h - 1 - ty, 4 + tx)) << tx << "," << ty;
    tex->Release();
}

INSTANTIATE_TEST_SUITE_P(Filters, GfxCopyTest, ::testing::Values(TextureFilter::Point, TextureFilter::Linear),
                         [](const ::testing::TestParamInfo<TextureFilter>& i) {
                             return std::string(i.param == TextureFilter::Point ? "Point" : "Bilinear");
                         });

// A two-texel row stretched over n pixels: pixel x samples at
// u = (x + 0.5) * 2 / n - 0.5 texels from texel 0's centre.
TEST_F(GfxTextureTest, BilinearStretchBlendsNeighbouringTexels) {
    Filter(TextureFilter::Linear);
    Clamp();
    const uint32_t a = 0xFF2040C0u, b = 0xFFE0A000u;
    plat::Texture* tex = MakeTexture(2, 1, {a, b});
    device_->SetTexture(0, tex);
    const int n = 16;
    Quad(0, 0, n, 1, 0xFFFFFFFFu);
    auto px = Read();
    for (int x = 0; x < n; ++x) {
        const double u = std::clamp((x + 0.5) * 2.0 / n - 0.5, 0.0, 1.0);
        for (int sh : {0, 8, 16, 24})
            EXPECT_NEAR(Ch(a, sh) * (1 - u) + Ch(b, sh) * u, Ch(At(px, x, 0), sh), 1.0) << x << " ch " << sh;
    }
    tex->Release();
}

TEST_F(GfxTextureTest, BilinearMidpointBetweenTexelsIsTheirAverage) {
    Filter(TextureFilter::Linear);
    Clamp();
    const std::vector<uint32_t> texels = {0xFF000000u, 0xFFFFFFFFu, 0xFF804020u, 0xFF10F0A0u};
    plat::Texture* tex = MakeTexture(4, 1, texels);
    device_->SetTexture(0, tex);
    // Shifted by half a texel: pixel i samples exactly between texel i and i + 1.
    Quad(0, 0, 3, 1, 0xFFFFFFFFu, 0.5f / 4, 0, 3.5f / 4, 1);
    auto px = Read();
    for (int i = 0; i < 3; ++i)
        for (int sh : {0, 8, 16})
            EXPECT_NEAR((Ch(texels[i], sh) + Ch(texels[i + 1], sh)) / 2.0, Ch(At(px, i, 0), sh), 1.0) << i;
    tex->Release();
}

TEST_F(GfxTextureTest, WrapRepeatsAndClampHoldsTheEdgeTexel) {
    const std::vector<uint32_t> texels = {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u};
    plat::Texture* tex = MakeTexture(3, 1, texels);
    device_->SetTexture(0, tex);
    device_->SetSamplerState(0, SamplerState::AddressU, static_cast<uint32_t>(plat::TextureAddress::Wrap));
    Quad(0, 0, 9, 1, 0xFFFFFFFFu, 0, 0, 3, 1);
    Clamp();
    Quad(0, 2, 9, 1, 0xFFFFFFFFu, 0, 0, 3, 1);
    auto px = Read();
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(texels[static_cast<size_t>(x % 3)], At(px, x, 0)) << x;
        EXPECT_EQ(texels[static_cast<size_t>(std::min(x, 2))], At(px, x, 2)) << x;
    }
    tex->Release();
}

TEST_F(GfxTextureTest, TextureIsModulatedByVertexColour) {
    const uint32_t t = 0xC08040FFu, c = 0x80FF8040u;
    plat::Texture* tex = MakeTexture(1, 1, {t});
    device_->SetTexture(0, tex);
    Quad(0, 0, 4, 4, c);
    auto px = Read();
    for (int sh : {0, 8, 16, 24}) EXPECT_NEAR(Ch(t, sh) * Ch(c, sh) / 255.0, Ch(At(px, 1, 1), sh), 1.0) << sh;
    tex->Release();
}

TEST_F(GfxTextureTest, UntexturedStageReadsOpaqueWhite) {
    Quad(0, 0, 4, 4, 0x80402010u);
    EXPECT_EQ(0x80402010u, At(Read(), 2, 2));
}

TEST_F(GfxTextureTest, SecondStageModulatesWithItsOwnCoordinates) {
    const std::vector<uint32_t> image = Noise(16, 5, true);
    const std::vector<uint32_t> mask = {0xFF000000u, 0x80808080u, 0x40404040u, 0xFFFFFFFFu};
    plat::Texture* t0 = MakeTexture(4, 4, image);
    plat::Texture* t1 = MakeTexture(4, 1, mask);
    device_->SetTexture(0, t0);
    device_->SetTexture(1, t1);
    device_->SetFVF(kFvf32);
    const uint32_t w = 0xFFFFFFFFu;
    Vtx2 v[4] = {{-0.5f, -0.5f, 0, w, 0, 0, 0, 0},
                 {-0.5f, 3.5f, 0, w, 0, 1, 0, 1},
                 {3.5f, -0.5f, 0, w, 1, 0, 1, 0},
                 {3.5f, 3.5f, 0, w, 1, 1, 1, 1}};
    ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, v, sizeof(Vtx2)));
    auto px = Read();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            for (int sh : {0, 8, 16, 24})
                EXPECT_NEAR(
                    Ch(image[static_cast<size_t>(y * 4 + x)], sh) * Ch(mask[static_cast<size_t>(x)], sh) / 255.0,
                    Ch(At(px, x, y), sh), 1.0);
    t0->Release();
    t1->Release();
}

struct FormatCase {
    plat::Format format;
    uint8_t bytes[4];  // one texel as stored
    uint32_t argb;     // what drawing it gives
};

class GfxFormatTest : public GfxTextureTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(GfxFormatTest, TexelsOfEachFormatDrawAsWidenedArgb) {
    const FormatCase c = GetParam();
    plat::Texture* tex = nullptr;
    ASSERT_EQ(plat::kOk, device_->CreateTexture(1, 1, 1, 0, c.format, plat::Pool::Managed, &tex));
    plat::LockedRect lr;
    ASSERT_EQ(plat::kOk, tex->LockRect(0, &lr, nullptr, 0));
    std::memcpy(lr.bits, c.bytes, static_cast<size_t>(plat::BytesPerPixel(c.format)));
    tex->UnlockRect(0);
    device_->SetTexture(0, tex);
    Quad(0, 0, 2, 2, 0xFFFFFFFFu);
    EXPECT_EQ(c.argb, At(Read(), 1, 1));
    tex->Release();
}

INSTANTIATE_TEST_SUITE_P(Formats, GfxFormatTest,
                         ::testing::Values(FormatCase{plat::Format::A8R8G8B8, {0x56, 0x34, 0x12, 0x80}, 0x80123456u},
                                           // The unused byte reads as opaque alpha.
                                           FormatCase{plat::Format::X8R8G8B8, {0x56, 0x34, 0x12, 0x00}, 0xFF123456u},
                                           // 0xF8A1: nibbles F, 8, A, 1 widen by repetition.
                                           FormatCase{plat::Format::A4R4G4B4, {0xA1, 0xF8, 0, 0}, 0xFF88AA11u},
                                           // 0xF81F: red 31, green 0, blue 31.
                                           FormatCase{plat::Format::R5G6B5, {0x1F, 0xF8, 0, 0}, 0xFFFF00FFu}),
                         [](const ::testing::TestParamInfo<FormatCase>& i) {
                             return std::string(plat::FormatName(i.param.format));
                         });

TEST_F(GfxTextureTest, UnlockAfterWriteRefreshesWhatIsSampled) {
    plat::Texture* tex = MakeTexture(1, 1, {0xFF0000FFu}, plat::Format::A4R4G4B4);
    device_->SetTexture(0, tex);
    Quad(0, 0, 1, 1, 0xFFFFFFFFu);
    plat::LockedRect lr;
    ASSERT_EQ(plat::kOk, tex->LockRect(0, &lr, nullptr, 0));
    const uint16_t green = 0xF0F0;
    std::memcpy(lr.bits, &green, 2);
    tex->UnlockRect(0);
    Quad(1, 0, 1, 1, 0xFFFFFFFFu);
    auto px = Read();
    EXPECT_EQ(0xFF0000FFu, At(px, 0, 0));
    EXPECT_EQ(0xFF00FF00u, At(px, 1, 0));
    tex->Release();
}

// The device keeps what a draw set up for the draws after it while its
// state stays the same. A run of draws that each change something (the
// texture, to one of another size made where a released one was; the blend;
// the addressing; the target) must draw what each draw alone on a fresh
// device draws.
class GfxDrawStateRunTest : public GfxTextureTest {
protected:
    struct Step {
        int w, h;       // the texture's size
        uint32_t seed;  // its texels
        bool blend, wrap;
        bool otherTarget;  // drawn into a second target
    };
    static constexpr int kRunW = 160, kRunH = 12;

    // A fresh device with both targets cleared; the second is other_.
    void OpenTargets() {
        Open(kRunW, kRunH, plat::Format::A8R8G8B8);
        Filter(TextureFilter::Linear);
        ASSERT_EQ(plat::kOk, device_->CreateRenderTarget(kRunW, kRunH, plat::Format::A8R8G8B8, false, &other_));
        Bind(other_);
        Clear(0xFF204060u);
        Bind(target_);
        Clear(0xFF204060u);
    }
    void CloseTargets() {
        other_->Release();
        TearDown();
    }

    // Step s drawn at (x, 2), and the 20 x 12 pixels about it.
    std::vector<uint32_t> DrawStep(const Step& s, int x) {
        plat::Texture* tex = MakeTexture(s.w, s.h, Noise(s.w * s.h, s.seed, false));
        device_->SetTexture(0, tex);
        tex->Release();  // the device's reference keeps it while bound
        device_->SetRenderState(plat::RenderState::AlphaBlendEnable, s.blend ? 1 : 0);
        if (s.blend) BlendNormal();
        const auto address = static_cast<uint32_t>(s.wrap ? plat::TextureAddress::Wrap : plat::TextureAddress::Clamp);
        device_->SetSamplerState(0, SamplerState::AddressU, address);
        if (s.otherTarget) Bind(other_);
        Quad(static_cast<float>(x), 2.0f, 16.0f, 8.0f, 0xFFFFFFFFu, -0.25f, 0.0f, 1.5f, 1.0f);
        if (s.otherTarget) Bind(target_);
        device_->SetTexture(0, nullptr);
        const std::vector<uint32_t> px = Read(s.otherTarget ? other_ : target_);
        std::vector<uint32_t> out;
        for (int y = 0; y < kRunH; ++y) out.insert(out.end(), &px[y * kRunW + x - 2], &px[y * kRunW + x + 18]);
        return out;
    }

    plat::Surface* other_ = nullptr;
};

TEST_F(GfxDrawStateRunTest, EachDrawOfARunDrawsAsItWouldAloneOnAFreshDevice) {
    const Step steps[] = {{4, 4, 1, false, false, false}, {4, 4, 2, true, false, false}, {7, 3, 3, true, false, false},
                          {7, 3, 4, true, true, false},   {2, 5, 5, false, true, true},  {2, 5, 6, false, true, false},
                          {5, 2, 7, true, false, true}};
    const int n = static_cast<int>(std::size(steps));
    TearDown();
    OpenTargets();
    std::vector<std::vector<uint32_t>> inRun;
    for (int i = 0; i < n; ++i) inRun.push_back(DrawStep(steps[i], 2 + i * 22));
    CloseTargets();
    for (int i = 0; i < n; ++i) {
        OpenTargets();
        EXPECT_EQ(inRun[static_cast<size_t>(i)], DrawStep(steps[i], 2 + i * 22)) << "step " << i;
        CloseTargets();
    }
    Open(kW, kH, plat::Format::A8R8G8B8);
}

// A quad drawn as one strip is taken as a rectangle only where its texture
// coordinates follow the axes: whichever way its corners' coordinates run,
// it must come out as its two triangles drawn one at a time do.
TEST_F(GfxTextureTest, AStripQuadDrawsAsItsTwoTrianglesWhateverWayItsCoordinatesRun) {
    Filter(TextureFilter::Linear);
    Clamp();
    plat::Texture* tex = MakeTexture(9, 7, Noise(9 * 7, 11, true));
    device_->SetTexture(0, tex);
    // The strip's corners in its order: top left, bottom left, top right, bottom right.
    struct Corners {
        float s[4], t[4];
    };
    const Corners cases[] = {
        {{0, 0, 1, 1}, {0, 1, 0, 1}},            // along the axes
        {{0, 1, 0, 1}, {0, 0, 1, 1}},            // turned: u down, v across
        {{0, 0, 1, 0.5f}, {0, 1, 0, 1}},         // u leans at one corner
        {{0, 0, 1, 1}, {0, 1, 0.25f, 1}},        // v leans at one corner
        {{1, 1, 0, 0}, {1, 0, 1, 0}},            // turned round both ways, still along the axes
        {{0, 0.125f, 1, 1.125f}, {0, 1, 0, 1}},  // u by y as well
    };
    const float x0 = 3.5f, y0 = 2.25f, x1 = 40.25f, y1 = 31.5f;
    for (const Corners& c : cases) {
        const Vtx v[4] = {{x0, y0, 0, 0xFFFFFFFFu, c.s[0], c.t[0]},
                          {x0, y1, 0, 0xFFFFFFFFu, c.s[1], c.t[1]},
                          {x1, y0, 0, 0xFFFFFFFFu, c.s[2], c.t[2]},
                          {x1, y1, 0, 0xFFFFFFFFu, c.s[3], c.t[3]}};
        Clear(0);
        ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, v, sizeof(Vtx)));
        const auto strip = Read();
        Clear(0);
        const Vtx first[3] = {v[0], v[1], v[2]}, second[3] = {v[2], v[1], v[3]};
        ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, first, sizeof(Vtx)));
        ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, second, sizeof(Vtx)));
        EXPECT_EQ(strip, Read()) << "corners u " << c.s[0] << " " << c.s[1] << " " << c.s[2] << " " << c.s[3];
    }
    tex->Release();
}

}  // namespace
