#pragma once
// A software device drawing into a 1024 x 768 render target with the
// perspective projection the engine uses for its one-to-one 2D drawing, for
// the device benchmarks; and the premultiplied images they draw: noise, and
// sprite-like art.
#include <cmath>
#include <cstdint>

#include "platform/gfx/gfx.h"

namespace testsupport {

class DeviceScene {
public:
    static constexpr int kW = 1024, kH = 768;

    DeviceScene() {
        system_ = plat::GraphicsSystem::Create(plat::DefaultGraphicsConfig());
        plat::PresentParams pp;
        pp.backBufferWidth = kW;
        pp.backBufferHeight = kH;
        system_->CreateDevice(0, nullptr, plat::kCreateHardwareVertexProcessing, &pp, &dev_);
        dev_->CreateRenderTarget(kW, kH, plat::Format::A8R8G8B8, false, &target_);
        dev_->SetRenderTarget(0, target_);
        plat::Matrix t, p, proj;
        plat::MatrixTranslation(&t, -kW * 0.5f, -kH * 0.5f, 2.0f * kW);
        plat::MatrixPerspectiveOffCenterLH(&p, -0.25f, 0.25f, 0.25f * kH / kW, -0.25f * kH / kW, 1.0f, 100.0f * kW);
        plat::MatrixMultiply(&proj, &t, &p);
        dev_->SetTransform(plat::TransformState::Projection, &proj);
    }
    ~DeviceScene() {
        target_->Release();
        dev_->Release();
        system_->Release();
    }
    DeviceScene(const DeviceScene&) = delete;
    DeviceScene& operator=(const DeviceScene&) = delete;

    // A managed w x h texture of premultiplied pixels with varied alpha.
    plat::Texture* NoiseTexture(int w, int h, uint32_t seed) {
        return Texture(w, h, seed, [](int, int, uint32_t s) { return s >> 24; });
    }

    // A managed w x h texture laid out as sprite art is: 64 x 64 cels, each a
    // clear margin around an opaque disc with a soft three-pixel rim, so rows
    // hold long runs of clear and of opaque pixels and a few in between.
    plat::Texture* ArtTexture(int w, int h, uint32_t seed) {
        return Texture(w, h, seed, [](int x, int y, uint32_t) {
            const double dx = x % 64 - 31.5, dy = y % 64 - 31.5;
            const double edge = 26.0 - std::sqrt(dx * dx + dy * dy);
            return edge >= 3 ? 255u : edge <= 0 ? 0u : static_cast<uint32_t>(edge * 85);
        });
    }

    // Random colours premultiplied by the alpha `alphaAt` (x, y, random
    // word) gives each pixel.
    template <class AlphaAt>
    plat::Texture* Texture(int w, int h, uint32_t seed, AlphaAt alphaAt) {
        plat::Texture* texture = nullptr;
        dev_->CreateTexture(w, h, 1, 0, plat::Format::A8R8G8B8, plat::Pool::Managed, &texture);
        plat::LockedRect lr;
        texture->LockRect(0, &lr, nullptr, 0);
        uint32_t s = seed;
        for (int y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.bits) + y * lr.pitch);
            for (int x = 0; x < w; ++x) {
                s = s * 1664525u + 1013904223u;
                const uint32_t a = alphaAt(x, y, s);
                row[x] = (a << 24) | (((s >> 16 & 0xFF) * a / 255) << 16) | (((s >> 8 & 0xFF) * a / 255) << 8) |
                         ((s & 0xFF) * a / 255);
            }
        }
        texture->UnlockRect(0);
        return texture;
    }

    plat::GraphicsSystem* system_ = nullptr;
    plat::Device* dev_ = nullptr;
    plat::Surface* target_ = nullptr;
};

}  // namespace testsupport
