// The software graphics device on the draws that dominate a frame at
// 1024 x 768: a full-screen 1:1 blit with premultiplied alpha, a full-screen
// rotated bilinear quad, and 2,000 small sprites. The blit's yardsticks are a
// memcpy of one frame and a plain loop that reads the source and the target
// and writes the target, the blit's own traffic without its arithmetic. The
// blit draws noise with random alpha (argument 0) and sprite-like art with
// runs of clear and opaque pixels (argument 1). The cold versions rotate over
// enough frames to leave the last-level cache between two visits.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "gfx_bench_scene.h"
#include "platform/gfx/gfx.h"
#include "thread_clock.h"

namespace {

constexpr int kW = testsupport::DeviceScene::kW, kH = testsupport::DeviceScene::kH;

struct Vtx {
    float x, y, z;
    uint32_t c;
    float s, t;
};

class Scene : public testsupport::DeviceScene {
public:
    Scene() {
        auto rs = [this](plat::RenderState s, auto v) { dev_->SetRenderState(s, static_cast<uint32_t>(v)); };
        rs(plat::RenderState::CullMode, plat::Cull::None);
        rs(plat::RenderState::AlphaBlendEnable, 1);
        rs(plat::RenderState::SrcBlend, plat::Blend::One);
        rs(plat::RenderState::DestBlend, plat::Blend::InvSrcAlpha);
        dev_->SetTextureStageState(0, plat::StageState::AlphaOp, static_cast<uint32_t>(plat::StageOp::Modulate));
        for (plat::SamplerState s : {plat::SamplerState::MinFilter, plat::SamplerState::MagFilter})
            dev_->SetSamplerState(0, s, static_cast<uint32_t>(plat::TextureFilter::Linear));
        dev_->SetFVF(plat::kFvfXyz | plat::kFvfDiffuse | plat::kFvfTex1);
        dev_->Clear(0, nullptr, plat::kClearTarget, 0xFF204060u, 0, 0);
    }
    ~Scene() {
        if (texture_) texture_->Release();
    }

    void MakeTexture(int w, int h, bool art = false) {
        texture_ = Image(w, h, 1, art);
        dev_->SetTexture(0, texture_);
    }
    plat::Texture* Image(int w, int h, uint32_t seed, bool art) {
        return art ? ArtTexture(w, h, seed) : NoiseTexture(w, h, seed);
    }

    plat::Texture* texture_ = nullptr;
};

void Counters(benchmark::State& state, double pixelsPerFrame) {
    state.counters["fps"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["time_per_px"] =
        benchmark::Counter(pixelsPerFrame, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_MemcpyFrame(benchmark::State& state) {
    std::vector<uint32_t> a(kW * kH, 0x12345678u), b(kW * kH);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size() * 4);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    Counters(state, kW * kH);
}
BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMillisecond);

// Twelve pairs of frames (72 MiB) are more than the last-level cache holds.
constexpr int kColdFrames = 12;

// Source frames a and targets b, taken in turn so none is still cached.
struct ColdFramePairs {
    ColdFramePairs() {
        for (int k = 0; k < kColdFrames; ++k) {
            a.emplace_back(kW * kH, 0x12345678u + k);
            b.emplace_back(kW * kH, 0u);
        }
    }
    std::vector<std::vector<uint32_t>> a, b;
};

void BM_MemcpyFrameCold(benchmark::State& state) {
    ColdFramePairs frames;
    auto& a = frames.a;
    auto& b = frames.b;
    int k = 0;
    for (auto _ : state) {
        std::memcpy(b[k].data(), a[k].data(), a[k].size() * 4);
        benchmark::DoNotOptimize(b[k].data());
        benchmark::ClobberMemory();
        k = (k + 1) % kColdFrames;
    }
    Counters(state, kW * kH);
}
BENCHMARK(BM_MemcpyFrameCold)->Unit(benchmark::kMillisecond);

// The blit's memory traffic alone: both rows read, the target written.
void ReadTwoWriteOne(const uint32_t* src, uint32_t* dst, size_t n) {
    for (size_t i = 0; i < n; ++i) dst[i] |= src[i];
    benchmark::DoNotOptimize(dst);
    benchmark::ClobberMemory();
}

void BM_ReadTwoWriteOneFrame(benchmark::State& state) {
    std::vector<uint32_t> a(kW * kH, 0x12345678u), b(kW * kH, 0u);
    for (auto _ : state) ReadTwoWriteOne(a.data(), b.data(), a.size());
    Counters(state, kW * kH);
}
BENCHMARK(BM_ReadTwoWriteOneFrame)->Unit(benchmark::kMillisecond);

void BM_ReadTwoWriteOneFrameCold(benchmark::State& state) {
    ColdFramePairs frames;
    auto& a = frames.a;
    auto& b = frames.b;
    int k = 0;
    for (auto _ : state) {
        ReadTwoWriteOne(a[k].data(), b[k].data(), a[k].size());
        k = (k + 1) % kColdFrames;
    }
    Counters(state, kW * kH);
}
BENCHMARK(BM_ReadTwoWriteOneFrameCold)->Unit(benchmark::kMillisecond);

const Vtx kFullScreen[4] = {{-0.5f, -0.5f, 0, 0xFFFFFFFFu, 0, 0},
                            {-0.5f, kH - 0.5f, 0, 0xFFFFFFFFu, 0, 1},
                            {kW - 0.5f, -0.5f, 0, 0xFFFFFFFFu, 1, 0},
                            {kW - 0.5f, kH - 0.5f, 0, 0xFFFFFFFFu, 1, 1}};

void BM_FullScreenBlit1to1Blended(benchmark::State& state) {
    Scene sc;
    sc.MakeTexture(kW, kH, state.range(0) == 1);
    sc.dev_->BeginScene();
    for (auto _ : state) sc.dev_->DrawPrimitiveUP(plat::PrimitiveType::TriangleStrip, 2, kFullScreen, sizeof(Vtx));
    sc.dev_->EndScene();
    Counters(state, kW * kH);
}
BENCHMARK(BM_FullScreenBlit1to1Blended)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// `count` full-screen images and as many cleared targets, drawn one pair at a
// time; the scene's own target and no texture are back in place at the end.
class BlitFrames {
public:
    BlitFrames(Scene& sc, int count, bool art) : sc_(sc) {
        for (int k = 0; k < count; ++k) {
            textures_.push_back(sc.Image(kW, kH, static_cast<uint32_t>(k + 1), art));
            plat::Surface* t = nullptr;
            sc.dev_->CreateRenderTarget(kW, kH, plat::Format::A8R8G8B8, false, &t);
            sc.dev_->SetRenderTarget(0, t);
            sc.dev_->Clear(0, nullptr, plat::kClearTarget, 0xFF204060u, 0, 0);
            targets_.push_back(t);
        }
    }
    ~BlitFrames() {
        sc_.dev_->SetRenderTarget(0, sc_.target_);
        sc_.dev_->SetTexture(0, nullptr);
        for (plat::Texture* t : textures_) t->Release();
        for (plat::Surface* t : targets_) t->Release();
    }
    BlitFrames(const BlitFrames&) = delete;
    BlitFrames& operator=(const BlitFrames&) = delete;

    void Draw(int k) {
        sc_.dev_->SetRenderTarget(0, targets_[k]);
        sc_.dev_->SetTexture(0, textures_[k]);
        sc_.dev_->DrawPrimitiveUP(plat::PrimitiveType::TriangleStrip, 2, kFullScreen, sizeof(Vtx));
    }

private:
    Scene& sc_;
    std::vector<plat::Texture*> textures_;
    std::vector<plat::Surface*> targets_;
};

void BM_FullScreenBlit1to1BlendedCold(benchmark::State& state) {
    Scene sc;
    {
        BlitFrames frames(sc, kColdFrames, state.range(0) == 1);
        int k = 0;
        sc.dev_->BeginScene();
        for (auto _ : state) {
            frames.Draw(k);
            k = (k + 1) % kColdFrames;
        }
        sc.dev_->EndScene();
    }
    Counters(state, kW * kH);
}
BENCHMARK(BM_FullScreenBlit1to1BlendedCold)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The blit and a memcpy of one frame timed in turn within every iteration,
// so that both meet the same load when the machine is shared; the ratio of
// their sums is the figure to compare. Argument 0 as above picks the image,
// argument 1 picks warm (the same frames each time) or cold (rotated).
void BM_FullScreenBlitOverMemcpy(benchmark::State& state) {
    using Clock = ThreadClock;
    const bool art = state.range(0) == 1;
    const int frames = state.range(1) == 1 ? kColdFrames : 1;
    Scene sc;
    BlitFrames blits(sc, frames, art);
    std::vector<std::vector<uint32_t>> from, to;
    for (int k = 0; k < frames; ++k) {
        from.emplace_back(kW * kH, 0x12345678u + k);
        to.emplace_back(kW * kH, 0u);
    }
    Clock::duration blit{}, copy{};
    int k = 0;
    sc.dev_->BeginScene();
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        std::memcpy(to[k].data(), from[k].data(), from[k].size() * 4);
        benchmark::DoNotOptimize(to[k].data());
        benchmark::ClobberMemory();
        const Clock::time_point t1 = Clock::now();
        blits.Draw(k);
        blit += Clock::now() - t1;
        copy += t1 - t0;
        k = (k + 1) % frames;
    }
    sc.dev_->EndScene();
    const double n = static_cast<double>(state.iterations());
    state.counters["blit_us"] = std::chrono::duration<double, std::micro>(blit).count() / n;
    state.counters["memcpy_us"] = std::chrono::duration<double, std::micro>(copy).count() / n;
    state.counters["ratio"] = std::chrono::duration<double>(blit) / std::chrono::duration<double>(copy);
}
BENCHMARK(BM_FullScreenBlitOverMemcpy)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"art", "cold"})
    ->Unit(benchmark::kMillisecond);

void BM_FullScreenRotatedBilinear(benchmark::State& state) {
    Scene sc;
    sc.MakeTexture(1024, 1024);
    // A 1400-pixel square turned by 30 degrees covers the whole screen.
    const double a = M_PI / 6, half = 700, cx = kW / 2.0, cy = kH / 2.0;
    const double ca = std::cos(a), sa = std::sin(a);
    auto corner = [&](double x, double y, float s, float t) {
        return Vtx{float(cx + x * ca - y * sa), float(cy + x * sa + y * ca), 0, 0xFFFFFFFFu, s, t};
    };
    Vtx v[4] = {corner(-half, -half, 0, 0), corner(-half, half, 0, 1), corner(half, -half, 1, 0),
                corner(half, half, 1, 1)};
    sc.dev_->BeginScene();
    for (auto _ : state) sc.dev_->DrawPrimitiveUP(plat::PrimitiveType::TriangleStrip, 2, v, sizeof(Vtx));
    sc.dev_->EndScene();
    Counters(state, kW * kH);
}
BENCHMARK(BM_FullScreenRotatedBilinear)->Unit(benchmark::kMillisecond);

// 2,000 sprites of 32 x 32 from a 256 x 256 atlas, sent as one indexed batch
// (state.range(0) == 1, as the engine batches) or one draw each.
void BM_Sprites2000(benchmark::State& state) {
    Scene sc;
    sc.MakeTexture(256, 256);
    const bool batched = state.range(0) == 1;
    std::vector<Vtx> v;
    std::vector<uint16_t> idx;
    uint32_t s = 7;
    for (int i = 0; i < 2000; ++i) {
        s = s * 1664525u + 1013904223u;
        const float x = float((s >> 8) % (kW - 32)) - 0.5f, y = float((s >> 20) % (kH - 32)) - 0.5f;
        const float s0 = float(i % 8) / 8, t0 = float((i / 8) % 8) / 8;
        const uint16_t b = static_cast<uint16_t>(v.size());
        v.push_back({x, y, 0, 0xFFFFFFFFu, s0, t0});
        v.push_back({x, y + 32, 0, 0xFFFFFFFFu, s0, t0 + 0.125f});
        v.push_back({x + 32, y, 0, 0xFFFFFFFFu, s0 + 0.125f, t0});
        v.push_back({x + 32, y + 32, 0, 0xFFFFFFFFu, s0 + 0.125f, t0 + 0.125f});
        for (int k : {0, 1, 2, 2, 1, 3}) idx.push_back(static_cast<uint16_t>(b + k));
    }
    sc.dev_->BeginScene();
    for (auto _ : state) {
        if (batched) {
            sc.dev_->DrawIndexedPrimitiveUP(plat::PrimitiveType::TriangleList, 0, uint32_t(v.size()), 4000, idx.data(),
                                            plat::IndexFormat::Index16, v.data(), sizeof(Vtx));
        } else {
            for (size_t i = 0; i < v.size(); i += 4)
                sc.dev_->DrawPrimitiveUP(plat::PrimitiveType::TriangleStrip, 2, &v[i], sizeof(Vtx));
        }
    }
    sc.dev_->EndScene();
    Counters(state, 2000.0 * 32 * 32);
}
BENCHMARK(BM_Sprites2000)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
