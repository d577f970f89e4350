#pragma once
// Shared set-up for the graphics device tests: a headless device, an
// A8R8G8B8 render target bound with the engine's pixel-exact projection, and
// helpers to read pixels back the way the engine does.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gfx/gfx.h"

namespace testsupport {

struct Vtx {  // 24 bytes: position, diffuse, one coordinate pair
    float x, y, z;
    uint32_t c;
    float s, t;
};
static_assert(sizeof(Vtx) == 24);

struct Vtx2 {  // 32 bytes: two coordinate pairs
    float x, y, z;
    uint32_t c;
    float s0, t0, s1, t1;
};
static_assert(sizeof(Vtx2) == 32);

constexpr uint32_t kFvf24 = plat::kFvfXyz | plat::kFvfDiffuse | plat::kFvfTex1;
constexpr uint32_t kFvf32 = plat::kFvfXyz | plat::kFvfDiffuse | plat::kFvfTex2;

inline int Ch(uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

// Projection that maps image pixel coordinates one to one at depth 0 (the
// engine's render-target projection for a w x h target).
inline plat::Matrix PixelProjection(int w, int h) {
    plat::Matrix t, p, out;
    plat::MatrixTranslation(&t, -w * 0.5f, -h * 0.5f, 2.0f * w);
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);
    plat::MatrixPerspectiveOffCenterLH(&p, -0.25f, 0.25f, 0.25f * fh / fw, -0.25f * fh / fw, 1.0f, 100.0f * fw);
    plat::MatrixMultiply(&out, &t, &p);
    return out;
}

class GfxTest : public ::testing::Test {
protected:
    static constexpr int kW = 64, kH = 48;

    void SetUp() override { Open(kW, kH, plat::Format::A8R8G8B8); }

    void TearDown() override {
        if (device_ && inScene_) device_->EndScene();
        if (target_) target_->Release();
        if (device_) device_->Release();
        if (system_) system_->Release();
        device_ = nullptr;
        target_ = nullptr;
        system_ = nullptr;
    }

    void Open(int w, int h, plat::Format targetFormat) {
        system_ = plat::GraphicsSystem::Create(plat::DefaultGraphicsConfig());
        plat::PresentParams pp;
        pp.backBufferWidth = static_cast<uint32_t>(w);
        pp.backBufferHeight = static_cast<uint32_t>(h);
        ASSERT_EQ(plat::kOk, system_->CreateDevice(0, nullptr, plat::kCreateHardwareVertexProcessing, &pp, &device_));
        ASSERT_EQ(plat::kOk, device_->CreateRenderTarget(w, h, targetFormat, false, &target_));
        Bind(target_);
        device_->SetRenderState(plat::RenderState::CullMode, static_cast<uint32_t>(plat::Cull::None));
        device_->SetRenderState(plat::RenderState::Lighting, 0);
        device_->SetFVF(kFvf24);
        EngineStages();
        Clear(0);
        ASSERT_EQ(plat::kOk, device_->BeginScene());
        inScene_ = true;
    }

    // The texture stages as the engine sets them up after creating the
    // device: both stages modulate colour and alpha.
    void EngineStages() {
        using plat::StageOp;
        using plat::StageState;
        device_->SetTextureStageState(0, StageState::AlphaOp, static_cast<uint32_t>(StageOp::Modulate));
        device_->SetTextureStageState(1, StageState::ColorOp, static_cast<uint32_t>(StageOp::Modulate));
        device_->SetTextureStageState(1, StageState::AlphaOp, static_cast<uint32_t>(StageOp::Modulate));
    }

    void Bind(plat::Surface* s) {
        ASSERT_EQ(plat::kOk, device_->SetRenderTarget(0, s));
        plat::Matrix proj = PixelProjection(s->Width(), s->Height());
        device_->SetTransform(plat::TransformState::Projection, &proj);
    }

    void Clear(uint32_t argb) { device_->Clear(0, nullptr, plat::kClearTarget, argb, 0.0f, 0); }

    // Blending as the engine's draw modes set it.
    void BlendNormal() {
        device_->SetRenderState(plat::RenderState::AlphaBlendEnable, 1);
        device_->SetRenderState(plat::RenderState::SrcBlend, static_cast<uint32_t>(plat::Blend::One));
        device_->SetRenderState(plat::RenderState::DestBlend, static_cast<uint32_t>(plat::Blend::InvSrcAlpha));
    }

    // A quad covering pixels [x, x + w) x [y, y + h) with texture
    // coordinates s0..s1, t0..t1, drawn as the engine's blit strip.
    void Quad(float x, float y, float w, float h, uint32_t c, float s0 = 0, float t0 = 0, float s1 = 1, float t1 = 1) {
        Vtx v[4] = {{x - 0.5f, y - 0.5f, 0, c, s0, t0},
                    {x - 0.5f, y + h - 0.5f, 0, c, s0, t1},
                    {x + w - 0.5f, y - 0.5f, 0, c, s1, t0},
                    {x + w - 0.5f, y + h - 0.5f, 0, c, s1, t1}};
        ASSERT_EQ(plat::kOk, device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleStrip, 2, v, sizeof(Vtx)));
    }

    plat::Texture* MakeTexture(int w, int h, const std::vector<uint32_t>& argb,
                               plat::Format f = plat::Format::A8R8G8B8) {
        plat::Texture* t = nullptr;
        EXPECT_EQ(plat::kOk, device_->CreateTexture(w, h, 1, 0, f, plat::Pool::Managed, &t));
        plat::LockedRect lr;
        EXPECT_EQ(plat::kOk, t->LockRect(0, &lr, nullptr, 0));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                plat::FromArgb(f, argb[static_cast<size_t>(y * w + x)],
                               static_cast<uint8_t*>(lr.bits) + y * lr.pitch + x * plat::BytesPerPixel(f));
        EXPECT_EQ(plat::kOk, t->UnlockRect(0));
        return t;
    }

    // Pixels of a render target through a system-memory copy, as the engine
    // reads them.
    std::vector<uint32_t> Read(plat::Surface* s = nullptr) {
        if (!s) s = target_;
        plat::Surface* sys = nullptr;
        std::vector<uint32_t> out;
        EXPECT_EQ(plat::kOk, device_->CreateOffscreenPlainSurface(s->Width(), s->Height(), s->GetFormat(),
                                                                  plat::Pool::SystemMem, &sys));
        if (!sys) return out;
        EXPECT_EQ(plat::kOk, device_->GetRenderTargetData(s, sys));
        plat::LockedRect lr;
        EXPECT_EQ(plat::kOk, sys->LockRect(&lr, nullptr, plat::kLockReadOnly));
        out.resize(static_cast<size_t>(s->Width()) * s->Height());
        for (int y = 0; y < s->Height(); ++y)
            plat::RowToArgb(s->GetFormat(), static_cast<uint8_t*>(lr.bits) + y * lr.pitch,
                            out.data() + static_cast<size_t>(y) * s->Width(), s->Width());
        sys->UnlockRect();
        sys->Release();
        return out;
    }

    uint32_t At(const std::vector<uint32_t>& px, int x, int y) const {
        return px[static_cast<size_t>(y) * target_->Width() + x];
    }

    plat::GraphicsSystem* system_ = nullptr;
    plat::Device* device_ = nullptr;
    plat::Surface* target_ = nullptr;
    bool inScene_ = false;
};

// round((a * (256 - f) + b * f) / 256) per channel, written out per byte:
// the bilinear filter's one step, apart from the device's own arithmetic.
inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t f) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
        out |= ((x * (256 - f) + y * f + 128) >> 8) << shift;
    }
    return out;
}

// Deterministic pseudo-random pixels.
inline std::vector<uint32_t> Noise(int n, uint32_t seed, bool opaque) {
    std::vector<uint32_t> v(static_cast<size_t>(n));
    uint32_t s = seed;
    for (auto& p : v) {
        s = s * 1664525u + 1013904223u;
        p = opaque ? (s | 0xFF000000u) : s;
    }
    return v;
}

}  // namespace testsupport
