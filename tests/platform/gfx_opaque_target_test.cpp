// Blending into a target without alpha (X8R8G8B8): for every pair of
// colour factors and every operation, the stored bytes are those of the
// pixel read as opaque, blended per pixel (BlendPixel) and written back with
// its alpha byte set, whatever the unused byte held before.
#include "gfx_test_util.h"
#include "platform/gfx/span.h"

namespace {

using namespace testsupport;
using plat::Blend;
using plat::BlendOp;
using plat::Format;
using plat::RenderState;

constexpr int kW = 37, kH = 3;

class GfxOpaqueTargetTest : public GfxTest {
protected:
    void SetUp() override { Open(kW, kH, Format::X8R8G8B8); }

    // The target's pixels set to `raw` as they are, the unused byte included.
    void Fill(const std::vector<uint32_t>& raw) {
        plat::Surface* sys = nullptr;
        ASSERT_EQ(plat::kOk,
                  device_->CreateOffscreenPlainSurface(kW, kH, Format::X8R8G8B8, plat::Pool::SystemMem, &sys));
        plat::LockedRect lr;
        ASSERT_EQ(plat::kOk, sys->LockRect(&lr, nullptr, 0));
        for (int y = 0; y < kH; ++y) std::memcpy(static_cast<uint8_t*>(lr.bits) + y * lr.pitch, &raw[y * kW], kW * 4);
        sys->UnlockRect();
        ASSERT_EQ(plat::kOk, device_->UpdateSurface(sys, nullptr, target_, nullptr));
        sys->Release();
    }

    std::vector<uint32_t> RawTarget() {
        plat::Surface* sys = nullptr;
        std::vector<uint32_t> out(kW * kH);
        EXPECT_EQ(plat::kOk,
                  device_->CreateOffscreenPlainSurface(kW, kH, Format::X8R8G8B8, plat::Pool::SystemMem, &sys));
        EXPECT_EQ(plat::kOk, device_->GetRenderTargetData(target_, sys));
        plat::LockedRect lr;
        EXPECT_EQ(plat::kOk, sys->LockRect(&lr, nullptr, plat::kLockReadOnly));
        for (int y = 0; y < kH; ++y) std::memcpy(&out[y * kW], static_cast<uint8_t*>(lr.bits) + y * lr.pitch, kW * 4);
        sys->UnlockRect();
        sys->Release();
        return out;
    }
};

TEST_F(GfxOpaqueTargetTest, EveryBlendGivesTheBytesOfTheOpaqueReading) {
    const std::vector<uint32_t> texels = Noise(kW * kH, 3, false);
    plat::Texture* tex = MakeTexture(kW, kH, texels);
    device_->SetTexture(0, tex);
    const std::vector<uint32_t> before = Noise(kW * kH, 11, false);
    const Blend factors[] = {Blend::Zero,      Blend::One,          Blend::SrcColor,   Blend::InvSrcColor,
                             Blend::SrcAlpha,  Blend::InvSrcAlpha,  Blend::DestAlpha,  Blend::InvDestAlpha,
                             Blend::DestColor, Blend::InvDestColor, Blend::SrcAlphaSat};
    const BlendOp ops[] = {BlendOp::Add, BlendOp::Subtract, BlendOp::RevSubtract, BlendOp::Min, BlendOp::Max};
    for (int enabled = 0; enabled < 2; ++enabled)
        for (BlendOp op : ops)
            for (Blend src : factors)
                for (Blend dst : factors) {
                    Fill(before);
                    plat::BlendSetup b;
                    b.enabled = enabled != 0;
                    b.src = b.srcAlpha = src;
                    b.dst = b.dstAlpha = dst;
                    b.op = b.opAlpha = op;
                    device_->SetRenderState(RenderState::AlphaBlendEnable, b.enabled ? 1 : 0);
                    device_->SetRenderState(RenderState::SrcBlend, static_cast<uint32_t>(src));
                    device_->SetRenderState(RenderState::DestBlend, static_cast<uint32_t>(dst));
                    device_->SetRenderState(RenderState::BlendOp, static_cast<uint32_t>(op));
                    Quad(0, 0, kW, kH, 0xFFFFFFFFu);
                    const std::vector<uint32_t> got = RawTarget();
                    for (int i = 0; i < kW * kH; ++i) {
                        const uint32_t want = plat::BlendPixel(b, texels[i], before[i] | 0xFF000000u) | 0xFF000000u;
                        ASSERT_EQ(want, got[i])
                            << "blend " << enabled << " op " << static_cast<int>(op) << " src " << static_cast<int>(src)
                            << " dst " << static_cast<int>(dst) << " at " << i;
                    }
                    if (!b.enabled) break;
                }
    tex->Release();
}

}  // namespace
