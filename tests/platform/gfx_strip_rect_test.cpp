// A blit's strip of two triangles goes from its diagonal corners straight to
// the rectangle when it is an upright rectangle on screen. The same strips
// drawn as an indexed strip take the general way (the vertex pipeline, then
// the triangles paired into a rectangle): both must give the same pixels,
// mark the same rows written and record the call the same way, wherever the
// strip lies, however it is clipped, mirrored, coloured, culled or filtered,
// under transforms that keep it upright and under those that do not.
#include <string>
#include <utility>
#include <vector>

#include "gfx_test_util.h"

namespace {

using namespace testsupport;
using plat::RenderState;
using plat::SamplerState;
using plat::TextureFilter;

constexpr int kTexW = 24, kTexH = 20;

struct Strip {
    Vtx v[4];
};

// The engine's blit strip: corners at (x, y) .. (x + w, y + h), less half a
// pixel, texture coordinates s0..s1 across and t0..t1 down.
Strip Blit(float x, float y, float w, float h, uint32_t c, float s0, float t0, float s1, float t1) {
    return {{{x - 0.5f, y - 0.5f, 0, c, s0, t0},
             {x - 0.5f, y + h - 0.5f, 0, c, s0, t1},
             {x + w - 0.5f, y - 0.5f, 0, c, s1, t0},
             {x + w - 0.5f, y + h - 0.5f, 0, c, s1, t1}}};
}

class GfxStripRectTest : public GfxTest {
protected:
    static constexpr int kTargetW = 96, kTargetH = 72;

    void SetUp() override {
        Open(kTargetW, kTargetH, plat::Format::A8R8G8B8);
        // Noise with clear texels and rows, as a cel's edges have.
        std::vector<uint32_t> texels = Noise(kTexW * kTexH, 7, false);
        for (int y = 0; y < kTexH; ++y)
            for (int x = 0; x < kTexW; ++x)
                if (x < 3 || x >= kTexW - 4 || y == 0 || (x + y) % 11 == 0)
                    texels[static_cast<size_t>(y * kTexW + x)] = 0;
        texture_ = MakeTexture(kTexW, kTexH, texels);
        device_->SetTexture(0, texture_);
        BlendNormal();
    }

    void TearDown() override {
        if (device_) device_->SetTexture(0, nullptr);
        if (texture_) texture_->Release();
        GfxTest::TearDown();
    }

    // The strips drawn one way, each checked for the rows it marked written
    // and the call recorded; returns the frame.
    std::vector<uint32_t> Draw(const std::vector<Strip>& strips, bool indexed, std::vector<int>* rows,
                               std::vector<std::string>* calls) {
        Clear(0x80402010u);
        const plat::Rect whole{0, 0, kTargetW, kTargetH};
        const uint64_t reader = plat::Surface::NewReaderId();
        target_->RowsToCopy(reader, 1, whole, whole);
        target_->NoteCopied(reader, 1);
        plat::CallLog log;
        device_->SetRecorder(&log);
        static const uint16_t kIndices[4] = {0, 1, 2, 3};
        for (const Strip& s : strips) {
            const plat::HResult hr =
                indexed ? device_->DrawIndexedPrimitiveUP(plat::PrimitiveType::TriangleStrip, 0, 4, 2, kIndices,
                                                          plat::IndexFormat::Index16, s.v, sizeof(Vtx))
                        : device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleStrip, 2, s.v, sizeof(Vtx));
            EXPECT_EQ(plat::kOk, hr);
            const plat::Surface::RowSpan span = target_->RowsToCopy(reader, 1, whole, whole);
            target_->NoteCopied(reader, 1);
            rows->push_back(span.top);
            rows->push_back(span.bottom);
        }
        device_->SetRecorder(nullptr);
        for (const plat::RecordedCall& c : log.Calls()) calls->push_back(c.ToString());
        return Read();
    }

    // Both ways over the strips: the same pixels and written rows, and one
    // strip of two triangles recorded for each.
    void ExpectSame(const std::vector<Strip>& strips, const char* what) {
        SCOPED_TRACE(what);
        std::vector<int> rowsDirect, rowsGeneral;
        std::vector<std::string> callsDirect, callsGeneral;
        const std::vector<uint32_t> direct = Draw(strips, false, &rowsDirect, &callsDirect);
        const std::vector<uint32_t> general = Draw(strips, true, &rowsGeneral, &callsGeneral);
        ASSERT_EQ(general.size(), direct.size());
        int differing = 0;
        for (size_t i = 0; i < direct.size(); ++i) differing += direct[i] != general[i];
        EXPECT_EQ(0, differing);
        EXPECT_EQ(rowsGeneral, rowsDirect);
        ASSERT_EQ(strips.size(), callsDirect.size());
        ASSERT_EQ(strips.size(), callsGeneral.size());
        plat::RecordedCall expected;
        expected.call = plat::Call::DrawPrimitive;
        expected.a = static_cast<uint32_t>(plat::PrimitiveType::TriangleStrip);
        expected.b = 2;
        for (const std::string& c : callsDirect) EXPECT_EQ(expected.ToString(), c);
        // Something was drawn, so the comparison means something.
        int drawn = 0;
        for (uint32_t p : direct) drawn += p != 0x80402010u;
        EXPECT_GT(drawn, 0);
    }

    // Blits across the target and past every edge: whole, quarter and half
    // pixels and just off them; at texel size, stretched and shrunk; the
    // whole texture and a part of it, forward and mirrored; white and
    // coloured.
    static std::vector<Strip> Blits() {
        std::vector<Strip> out;
        const float offsets[] = {0.0f, 0.25f, 0.5f, 0.5f + 1.0f / 512.0f, 0.75f, 1.0f / 3.0f};
        const float sizes[][2] = {{kTexW, kTexH}, {1, 1}, {9, 5}, {40, 33}};
        const uint32_t colours[] = {0xFFFFFFFFu, 0x80C0A060u};
        int n = 0;
        for (float left = -30.0f; left <= kTargetW + 6.0f; left += 17.0f)
            for (float top = -25.0f; top <= kTargetH + 6.0f; top += 19.0f)
                for (const auto& size : sizes) {
                    const float fx = offsets[n % 6], fy = offsets[(n / 6 + n) % 6];
                    const uint32_t c = colours[n % 2];
                    const bool mirrored = n % 3 == 1, part = n % 4 == 2;
                    const float s0 = part ? 4.0f / kTexW : 0.0f, s1 = part ? 20.0f / kTexW : 1.0f;
                    const float t0 = part ? 2.0f / kTexH : 0.0f, t1 = part ? 15.0f / kTexH : 1.0f;
                    out.push_back(
                        Blit(left + fx, top + fy, size[0], size[1], c, mirrored ? s1 : s0, t0, mirrored ? s0 : s1, t1));
                    ++n;
                }
        // Far outside the viewport (clipped by the pipeline), empty, and not
        // a rectangle at all.
        out.push_back(Blit(-5000.0f, 10.0f, 24.0f, 20.0f, 0xFFFFFFFFu, 0, 0, 1, 1));
        out.push_back(Blit(10.0f, 10.0f, 0.0f, 20.0f, 0xFFFFFFFFu, 0, 0, 1, 1));
        out.push_back(Blit(10.0f, 10.0f, 0.001f, 0.001f, 0xFFFFFFFFu, 0, 0, 1, 1));
        Strip skewed = Blit(20.0f, 12.0f, 24.0f, 20.0f, 0xFFFFFFFFu, 0, 0, 1, 1);
        skewed.v[1].x += 3.0f;
        out.push_back(skewed);
        Strip twoColours = Blit(30.0f, 30.0f, 24.0f, 20.0f, 0xFFFFFFFFu, 0, 0, 1, 1);
        twoColours.v[3].c = 0xFF808080u;
        out.push_back(twoColours);
        Strip sheared = Blit(40.0f, 5.0f, 24.0f, 20.0f, 0xFFFFFFFFu, 0, 0, 1, 1);
        sheared.v[1].s = 0.5f;
        out.push_back(sheared);
        // The strip's second triangle first: the other winding.
        Strip flipped = Blit(50.0f, 40.0f, 24.0f, 20.0f, 0xFFFFFFFFu, 0, 0, 1, 1);
        std::swap(flipped.v[1], flipped.v[2]);
        out.push_back(flipped);
        return out;
    }

    plat::Texture* texture_ = nullptr;
};

TEST_F(GfxStripRectTest, DirectRectanglesMatchTheGeneralWay) {
    const std::vector<Strip> strips = Blits();
    for (TextureFilter filter : {TextureFilter::Point, TextureFilter::Linear}) {
        for (SamplerState s : {SamplerState::MinFilter, SamplerState::MagFilter})
            device_->SetSamplerState(0, s, static_cast<uint32_t>(filter));
        ExpectSame(strips, filter == TextureFilter::Linear ? "bilinear" : "point");
    }
    device_->SetRenderState(RenderState::ScissorTestEnable, 1);
    const plat::Rect scissor{7, 5, 61, 50};
    device_->SetScissorRect(&scissor);
    ExpectSame(strips, "scissor");
    device_->SetRenderState(RenderState::ScissorTestEnable, 0);
    for (plat::Cull cull : {plat::Cull::Clockwise, plat::Cull::CounterClockwise}) {
        device_->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(cull));
        ExpectSame(strips, cull == plat::Cull::Clockwise ? "cull clockwise" : "cull counter-clockwise");
    }
    device_->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(plat::Cull::None));
    device_->SetRenderState(RenderState::AlphaBlendEnable, 0);
    ExpectSame(strips, "no blend");
}

TEST_F(GfxStripRectTest, TransformsKeepTheirPixels) {
    const std::vector<Strip> strips = Blits();
    // Upright: scaled (mirrored in y too) and moved, as a view matrix may.
    plat::Matrix scaled;
    scaled.m[0][0] = 1.5f;
    scaled.m[1][1] = -0.75f;
    scaled.m[3][0] = 3.25f;
    scaled.m[3][1] = 60.0f;
    device_->SetTransform(plat::TransformState::View, &scaled);
    ExpectSame(strips, "scaled");
    // Turned a little: no longer upright.
    plat::Matrix turned;
    turned.m[0][1] = 0.125f;
    turned.m[1][0] = -0.125f;
    device_->SetTransform(plat::TransformState::View, &turned);
    ExpectSame(strips, "turned");
    // Sheared: x moves with y alone.
    plat::Matrix sheared;
    sheared.m[1][0] = 0.25f;
    device_->SetTransform(plat::TransformState::View, &sheared);
    ExpectSame(strips, "sheared");
    // A plane tipped in depth: w varies across the strip.
    plat::Matrix tipped;
    tipped.m[0][3] = 0.0005f;
    device_->SetTransform(plat::TransformState::View, &tipped);
    ExpectSame(strips, "tipped");
    const plat::Matrix identity;
    device_->SetTransform(plat::TransformState::View, &identity);
    ExpectSame(strips, "identity");
}

}  // namespace
