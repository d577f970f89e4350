// Coverage rules of the rasterizer, checked against geometry computed here.
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "gfx_test_util.h"
#include "platform/gfx/raster.h"

namespace {

using namespace testsupport;
using plat::PrimitiveType;
using plat::RenderState;

class GfxRasterTest : public GfxTest {};

TEST_F(GfxRasterTest, RectangleFromHalfPixelVerticesCoversExactlyItsPixels) {
    Quad(0, 0, 10, 10, 0xFFFF0000u);
    Quad(20, 5, 7, 3, 0xFF00FF00u);
    auto px = Read();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            uint32_t want = 0;
            if (x < 10 && y < 10) want = 0xFFFF0000u;
            if (x >= 20 && x < 27 && y >= 5 && y < 8) want = 0xFF00FF00u;
            ASSERT_EQ(want, At(px, x, y)) << x << "," << y;
        }
}

// Vertices exactly on pixel centres: the left and top edges include their
// pixels, the right and bottom edges do not.
TEST_F(GfxRasterTest, EdgesThroughPixelCentresFollowTopLeftRule) {
    Vtx v[4] = {{2, 3, 0, 0xFFFFFFFFu, 0, 0},
                {2, 9, 0, 0xFFFFFFFFu, 0, 0},
                {7, 3, 0, 0xFFFFFFFFu, 0, 0},
                {7, 9, 0, 0xFFFFFFFFu, 0, 0}};
    ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, v, sizeof(Vtx)));
    auto px = Read();
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(x >= 2 && x < 7 && y >= 3 && y < 9 ? 0xFFFFFFFFu : 0u, At(px, x, y)) << x << "," << y;
}

// A rotated square drawn as two triangles with additive blending: pixels on
// the shared diagonal are drawn once, never twice, and exactly the pixels
// whose centres lie strictly inside are drawn.
TEST_F(GfxRasterTest, SharedEdgeOfRotatedQuadDrawsEachPixelOnce) {
    device_->SetRenderState(RenderState::AlphaBlendEnable, 1);
    device_->SetRenderState(RenderState::SrcBlend, static_cast<uint32_t>(plat::Blend::One));
    device_->SetRenderState(RenderState::DestBlend, static_cast<uint32_t>(plat::Blend::One));
    const double cx = 30.0, cy = 24.0, r = 15.0, a = 0.3;
    double px[4], py[4];
    for (int i = 0; i < 4; ++i) {
        px[i] = cx + r * std::cos(a + i * M_PI / 2);
        py[i] = cy + r * std::sin(a + i * M_PI / 2);
    }
    const uint32_t one = 0x01010101u;
    Vtx v[4];
    for (int i = 0; i < 4; ++i) v[i] = {float(px[i]), float(py[i]), 0, one, 0, 0};
    Vtx fan[6] = {v[0], v[1], v[2], v[0], v[2], v[3]};
    ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, fan, sizeof(Vtx)));
    auto out = Read();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            // Signed distances of the pixel centre to each edge of the square.
            double minDist = 1e9;
            for (int i = 0; i < 4; ++i) {
                const int j = (i + 1) % 4;
                const double ex = px[j] - px[i], ey = py[j] - py[i];
                const double d = (ex * (y - py[i]) - ey * (x - px[i])) / std::hypot(ex, ey);
                minDist = std::min(minDist, d);
            }
            const uint32_t got = At(out, x, y);
            ASSERT_TRUE(got == 0 || got == one) << "pixel drawn twice at " << x << "," << y;
            if (minDist > 1e-3) {
                EXPECT_EQ(one, got) << x << "," << y;
            } else if (minDist < -1e-3) {
                EXPECT_EQ(0u, got) << x << "," << y;
            }
        }
}

TEST_F(GfxRasterTest, ScissorLimitsDrawingToItsRectangle) {
    plat::Rect s{5, 7, 20, 11};
    device_->SetScissorRect(&s);
    device_->SetRenderState(RenderState::ScissorTestEnable, 1);
    Quad(0, 0, kW, kH, 0xFF123456u);
    auto px = Read();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            ASSERT_EQ(x >= 5 && x < 20 && y >= 7 && y < 11 ? 0xFF123456u : 0u, At(px, x, y)) << x << "," << y;
}

TEST_F(GfxRasterTest, CullingRemovesClockwiseTrianglesOnly) {
    device_->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(plat::Cull::Clockwise));
    // Counter-clockwise on screen (the blit strip's winding): kept.
    Quad(0, 0, 8, 8, 0xFFFFFFFFu);
    // Mirrored horizontally: clockwise, culled.
    Vtx m[4] = {{30 - 0.5f, -0.5f, 0, 0xFFFFFFFFu, 0, 0},
                {30 - 0.5f, 7.5f, 0, 0xFFFFFFFFu, 0, 0},
                {20 - 0.5f, -0.5f, 0, 0xFFFFFFFFu, 0, 0},
                {20 - 0.5f, 7.5f, 0, 0xFFFFFFFFu, 0, 0}};
    ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, m, sizeof(Vtx)));
    auto px = Read();
    EXPECT_EQ(0xFFFFFFFFu, At(px, 3, 3));
    EXPECT_EQ(0u, At(px, 25, 3));
    // The device default culls counter-clockwise triangles: the blit strip.
    device_->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(plat::Cull::CounterClockwise));
    Quad(40, 0, 8, 8, 0xFFFFFFFFu);
    EXPECT_EQ(0u, At(Read(), 43, 3));
}

// The engine lights a line's end pixel by adding a half-pixel step after the
// end point: the strip then lights exactly the pixels from start to end.
struct LineCase {
    int x1, y1, x2, y2;
};

class GfxLineTest : public GfxTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(GfxLineTest, LineStripWithEndStepLightsBothEndPixels) {
    const LineCase c = GetParam();
    device_->SetRenderState(RenderState::AlphaBlendEnable, 1);
    device_->SetRenderState(RenderState::SrcBlend, static_cast<uint32_t>(plat::Blend::One));
    device_->SetRenderState(RenderState::DestBlend, static_cast<uint32_t>(plat::Blend::One));
    const uint32_t one = 0x01010101u;
    Vtx v[3] = {{float(c.x1), float(c.y1), 0, one, 0, 0},
                {float(c.x2), float(c.y2), 0, one, 0, 0},
                {c.x2 + 0.5f, c.y2 + 0.5f, 0, one, 0, 0}};
    ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::LineStrip, 2, v, sizeof(Vtx)));
    auto px = Read();
    // Lines here are horizontal, vertical or diagonal: pixel k of n lies at
    // start + k * step.
    const int n = std::max(std::abs(c.x2 - c.x1), std::abs(c.y2 - c.y1));
    std::vector<uint32_t> want(px.size(), 0);
    for (int k = 0; k <= n; ++k) {
        const int x = c.x1 + (n ? k * (c.x2 - c.x1) / n : 0), y = c.y1 + (n ? k * (c.y2 - c.y1) / n : 0);
        want[static_cast<size_t>(y * kW + x)] = one;
    }
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) ASSERT_EQ(want[static_cast<size_t>(y * kW + x)], At(px, x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Lines, GfxLineTest,
                         ::testing::Values(LineCase{2, 3, 20, 3}, LineCase{20, 3, 2, 3}, LineCase{5, 2, 5, 30},
                                           LineCase{5, 30, 5, 2}, LineCase{1, 1, 12, 12}, LineCase{30, 20, 10, 0},
                                           LineCase{7, 7, 7, 7}),
                         [](const ::testing::TestParamInfo<LineCase>& i) {
                             const LineCase& c = i.param;
                             return "From" + std::to_string(c.x1) + "_" + std::to_string(c.y1) + "To" +
                                    std::to_string(c.x2) + "_" + std::to_string(c.y2);
                         });

TEST_F(GfxRasterTest, PolylineOfOnePointDrawsNothingAndSucceeds) {
    Vtx v[1] = {{5, 5, 0, 0xFFFFFFFFu, 0, 0}};
    EXPECT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::LineStrip, 0, v, sizeof(Vtx)));
    EXPECT_EQ(0u, At(Read(), 5, 5));
}

TEST_F(GfxRasterTest, GouraudColourIsInterpolatedBetweenVertices) {
    // Red 0 at pixel centre 0, red 255 at pixel centre 51: linear in between.
    Vtx v[4] = {{0, -0.5f, 0, 0xFF000000u, 0, 0},
                {0, 4.5f, 0, 0xFF000000u, 0, 0},
                {51, -0.5f, 0, 0xFFFF0000u, 0, 0},
                {51, 4.5f, 0, 0xFFFF0000u, 0, 0}};
    ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, v, sizeof(Vtx)));
    auto px = Read();
    for (int x = 0; x < 51; ++x) EXPECT_NEAR(x * 5.0, Ch(At(px, x, 2), 16), 1.0) << x;
}

// With w changing across a quad, texture coordinates follow 1/w: the texel
// seen at a pixel is (u0/w0 (1-t) + u1/w1 t) / ((1-t)/w0 + t/w1).
TEST_F(GfxRasterTest, TextureCoordinatesArePerspectiveCorrect) {
    std::vector<uint32_t> ramp(256);
    for (int i = 0; i < 256; ++i) ramp[static_cast<size_t>(i)] = 0xFF000000u | (static_cast<uint32_t>(i) << 16);
    plat::Texture* tex = MakeTexture(256, 1, ramp);
    device_->SetTexture(0, tex);
    device_->SetSamplerState(0, plat::SamplerState::MagFilter, static_cast<uint32_t>(plat::TextureFilter::Point));
    device_->SetSamplerState(0, plat::SamplerState::MinFilter, static_cast<uint32_t>(plat::TextureFilter::Point));
    // Projection: w = z; x and y are given premultiplied by w.
    plat::Matrix proj;
    proj.m[2][2] = 0.5f;
    proj.m[2][3] = 1.0f;
    proj.m[3][3] = 0.0f;
    device_->SetTransform(plat::TransformState::Projection, &proj);
    const float w0 = 1.0f, w1 = 3.0f;
    Vtx v[4] = {{-1 * w0, 1 * w0, w0, 0xFFFFFFFFu, 0, 0},
                {-1 * w0, -1 * w0, w0, 0xFFFFFFFFu, 0, 1},
                {1 * w1, 1 * w1, w1, 0xFFFFFFFFu, 1, 0},
                {1 * w1, -1 * w1, w1, 0xFFFFFFFFu, 1, 1}};
    ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, v, sizeof(Vtx)));
    auto px = Read();
    for (int x = 0; x < kW; x += 3) {
        const double t = double(x) / kW;  // the quad spans screen x 0 to kW
        const double u = (t / w1) / ((1 - t) / w0 + t / w1);
        EXPECT_NEAR(std::floor(u * 256), Ch(At(px, x, kH / 2), 16), 1.0) << x;
    }
    tex->Release();
}

TEST_F(GfxRasterTest, TrianglesCrossingTheNearPlaneAreClipped) {
    plat::Matrix proj;
    proj.m[2][3] = 1.0f;
    proj.m[3][3] = 0.0f;
    device_->SetTransform(plat::TransformState::Projection, &proj);
    // One vertex behind the eye (z < 0): only the part in front is drawn.
    Vtx v[3] = {{0, 0.5f, 1, 0xFFFFFFFFu, 0, 0}, {0.5f, -0.5f, 1, 0xFFFFFFFFu, 0, 0}, {0, 0, -1, 0xFFFFFFFFu, 0, 0}};
    ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, v, sizeof(Vtx)));
    auto px = Read();
    EXPECT_EQ(0u, At(px, 0, 0));
    size_t lit = 0;
    for (uint32_t p : px) lit += p != 0;
    EXPECT_GT(lit, 0u);
}

}  // namespace

namespace {

using namespace testsupport;

// Vertices a caller computed badly (NaN, infinity, far out of range) must
// draw nothing wrong and crash nothing; sane vertices in the same call still draw.
TEST_F(GfxTest, NonFiniteAndHugeVerticesAreSkippedSafely) {
    const float nan = std::nanf(""), inf = INFINITY;
    const uint32_t w = 0xFFFFFFFFu;
    Vtx bad[] = {{nan, 1, 0, w, 0, 0},      {5, 5, 0, w, 0, 0},
                 {1, 9, 0, w, 0, 0},        {inf, -inf, 0, w, 0, 0},
                 {5, 5, 0, w, 0, 0},        {1, 9, 0, w, 0, 0},
                 {1e30f, 1, 0, w, 0, 0},    {-1e30f, 5, 0, w, 0, 0},
                 {1, 1e30f, 0, w, 0, 0},    {1, 1, 0, w, nan, inf},
                 {20, 1, 0, w, 1e30f, 0},   {1, 20, 0, w, -1e30f, 1e20f},
                 {30.5f, 30, 0, w, 0, 0},   {30.5f, 30.50001f, 0, w, 1e6f, 0},
                 {30, 30.5f, 0, w, 0, 1e6f}};
    plat::Texture* tex = MakeTexture(2, 2, Noise(4, 1, true));
    for (int pass = 0; pass < 2; ++pass) {
        device_->SetTexture(0, pass ? tex : nullptr);
        EXPECT_EQ(plat::kOk, device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleList, 5, bad, sizeof(Vtx)));
        EXPECT_EQ(plat::kOk, device_->DrawPrimitiveUP(plat::PrimitiveType::LineStrip, 14, bad, sizeof(Vtx)));
        EXPECT_EQ(plat::kOk, device_->DrawPrimitiveUP(plat::PrimitiveType::PointList, 15, bad, sizeof(Vtx)));
    }
    device_->SetTexture(0, nullptr);
    Quad(50, 40, 2, 2, 0xFF00FF00u);
    EXPECT_EQ(0xFF00FF00u, At(Read(), 51, 41));
    tex->Release();
}

TEST_F(GfxTest, FansStripsAndGridVerticesDrawTheSameSquare) {
    struct GridVtx {  // 36 bytes: position, normal, diffuse, one coordinate pair
        float x, y, z, nx, ny, nz;
        uint32_t c;
        float s, t;
    };
    static_assert(sizeof(GridVtx) == 36);
    const uint32_t w = 0xFFFFFFFFu;
    Vtx fan[4] = {
        {-0.5f, -0.5f, 0, w, 0, 0}, {7.5f, -0.5f, 0, w, 0, 0}, {7.5f, 7.5f, 0, w, 0, 0}, {-0.5f, 7.5f, 0, w, 0, 0}};
    ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleFan, 2, fan, sizeof(Vtx)));
    device_->SetFVF(plat::kFvfXyz | plat::kFvfNormal | plat::kFvfDiffuse | plat::kFvfTex1);
    GridVtx g[4] = {{19.5f, -0.5f, 0, 0, 0, 1, w, 0, 0},
                    {27.5f, -0.5f, 0, 0, 0, 1, w, 1, 0},
                    {19.5f, 7.5f, 0, 0, 0, 1, w, 0, 1},
                    {27.5f, 7.5f, 0, 0, 0, 1, w, 1, 1}};
    const uint16_t idx[6] = {0, 2, 1, 1, 2, 3};
    ASSERT_EQ(plat::kOk, device_->DrawIndexedPrimitiveUP(plat::PrimitiveType::TriangleList, 0, 4, 2, idx,
                                                         plat::IndexFormat::Index16, g, sizeof(GridVtx)));
    auto px = Read();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool in = y < 8 && (x < 8 || (x >= 20 && x < 28));
            ASSERT_EQ(in ? w : 0u, At(px, x, y)) << x << "," << y;
        }
}

// A strip of two triangles draws what the same two triangles listed draw,
// whether its quad is a rectangle (taken whole, mirrored or not) or not
// (drawn triangle by triangle): blended additively, a pixel drawn twice or
// missed shows.
TEST_F(GfxTest, StripQuadsDrawAsTheirTwoTrianglesListed) {
    std::vector<uint32_t> texels(16 * 16);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = 0x01000000u * (1 + i % 7) + 0x00030201u * (i % 5);
    plat::Texture* t = MakeTexture(16, 16, texels);
    device_->SetTexture(0, t);
    device_->SetSamplerState(0, plat::SamplerState::MagFilter, static_cast<uint32_t>(plat::TextureFilter::Linear));
    device_->SetRenderState(RenderState::AlphaBlendEnable, 1);
    device_->SetRenderState(RenderState::SrcBlend, static_cast<uint32_t>(plat::Blend::One));
    device_->SetRenderState(RenderState::DestBlend, static_cast<uint32_t>(plat::Blend::One));
    const uint32_t w = 0xFFFFFFFFu;
    const Vtx quads[][4] = {
        // A rectangle at a fractional offset, its texels filtered.
        {{3.25f, 2.5f, 0, w, 0, 0},
         {3.25f, 18.5f, 0, w, 0, 1},
         {19.25f, 2.5f, 0, w, 1, 0},
         {19.25f, 18.5f, 0, w, 1, 1}},
        // Mirrored: its right edge listed first.
        {{40.5f, 1.5f, 0, w, 0, 0}, {40.5f, 17.5f, 0, w, 0, 1}, {24.5f, 1.5f, 0, w, 1, 0}, {24.5f, 17.5f, 0, w, 1, 1}},
        // Turned a little: no rectangle.
        {{44.0f, 20.0f, 0, w, 0, 0},
         {42.0f, 40.0f, 0, w, 0, 1},
         {62.0f, 22.0f, 0, w, 1, 0},
         {60.0f, 42.0f, 0, w, 1, 1}},
        // A rectangle whose corners differ in colour: drawn triangle by triangle.
        {{2.5f, 24.5f, 0, w, 0, 0},
         {2.5f, 40.5f, 0, 0xFF804020u, 0, 1},
         {30.5f, 24.5f, 0, w, 1, 0},
         {30.5f, 40.5f, 0, 0xFF102040u, 1, 1}}};
    for (const auto& q : quads) {
        Clear(0);
        ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, q, sizeof(Vtx)));
        const auto strip = Read();
        Clear(0);
        const Vtx listed[6] = {q[0], q[1], q[2], q[2], q[1], q[3]};
        ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, listed, sizeof(Vtx)));
        const auto list = Read();
        EXPECT_EQ(list, strip) << "quad at " << q[0].x << "," << q[0].y;
        EXPECT_NE(std::count(list.begin(), list.end(), 0u), static_cast<std::ptrdiff_t>(list.size()));
    }
    device_->SetTexture(0, nullptr);
    t->Release();
}

TEST_F(GfxTest, PointCoversThePixelWhoseCentreItIsNearest) {
    Vtx p[3] = {{3, 4, 0, 0xFFFF0000u, 0, 0}, {10.4f, 2.6f, 0, 0xFF00FF00u, 0, 0}, {-3, 2, 0, 0xFF0000FFu, 0, 0}};
    ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(plat::PrimitiveType::PointList, 3, p, sizeof(Vtx)));
    auto px = Read();
    EXPECT_EQ(0xFFFF0000u, At(px, 3, 4));
    EXPECT_EQ(0xFF00FF00u, At(px, 10, 3));
    size_t lit = 0;
    for (uint32_t v : px) lit += v != 0;
    EXPECT_EQ(2u, lit);
}

// Channels rounded halves away from zero and held to 0..255, as the library's
// lround gives them: quarters around every whole number (halves included),
// both signs, values past the float's whole-part precision and not numbers.
TEST(GfxPackColorTest, EveryChannelRoundsAsTheLibraryDoes) {
    auto expected = [](float v) {
        const long r = std::lround(v);
        return static_cast<uint32_t>(r < 0 ? 0 : (r > 255 ? 255 : r));
    };
    std::vector<float> values = {std::numeric_limits<float>::quiet_NaN(),
                                 std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(),
                                 8388607.5f,
                                 8388608.0f,
                                 -8388609.0f,
                                 1e20f,
                                 -1e20f,
                                 0.49999997f,
                                 -0.49999997f,
                                 254.49998f,
                                 255.5f};
    for (int q = -1100; q <= 1100; ++q) values.push_back(static_cast<float>(q) / 4.0f);
    for (float v : values) {
        const float a[plat::raster::kAttrCount] = {v, 1.0f, 2.5f, v};  // r, g, b, a
        const uint32_t want = (expected(v) << 24) | (expected(v) << 16) | (1u << 8) | expected(2.5f);
        EXPECT_EQ(plat::raster::PackColor(a), want) << v;
    }
    // Screen positions are rounded by the same rule, over the whole range
    // of a 64-bit result: halves near the last fractional bits and past them.
    for (double whole :
         {0.0, 1.0, 2.0, 4503599627370495.0, 4503599627370496.0, 9007199254740992.0, 4611686018427387904.0, 9.2e18})
        for (double d : {whole - 1.5, whole - 0.5, whole, whole + 0.25, whole + 0.5, whole + 1.5})
            for (double near : {std::nextafter(d, -1e300), d, std::nextafter(d, 1e300)})
                for (double x : {near, -near}) EXPECT_EQ(plat::raster::LlRound(x), std::llround(x)) << x;
    // And at random over every scale a position or texel coordinate takes.
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000; ++i) {
        const double x = std::ldexp(std::uniform_real_distribution<double>(-1.0, 1.0)(random), i % 64);
        ASSERT_EQ(plat::raster::LlRound(x), std::llround(x)) << x;
    }
}

// A row of one pixel, as a sliver triangle gives, may step by billions of
// texels a pixel: its one coordinate is its start rounded at 2^-32 and cut
// to 16.16 whatever the step, which once overflowed the sum it was
// converted for (a triangle 270 pixels long and 1/65536 of a pixel in
// area, its coordinates left of the texture under clamping).
TEST(GfxStepCoordinatesTest, ARowOfOnePixelTakesItsStartWhateverTheStep) {
    const double most = std::numeric_limits<double>::max();
    for (double start : {-256.0, -0.5, -1.0 / 65536, 0.0, 3.25, -16383.75, 16383.75})
        for (double step : {4.6e9, -4.6e9, 1e18, -1e18, most, -most}) {
            int32_t out = 0;
            plat::raster::StepCoordinates(start, step, 1, &out);
            EXPECT_EQ(out, static_cast<int32_t>(std::llround(start * 4294967296.0) >> 16)) << start << " by " << step;
        }
}

}  // namespace
