// Pixels per second of the overlay blend shader through the interpreter,
// with a nearest-texel sampler over two small 32-bit textures standing in
// for the device's texture stages.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/gfx/shader/shader.h"

namespace {

class NearestSampler : public plat::TextureSampler {
public:
    static constexpr int kSize = 64;
    NearestSampler() {
        for (int stage = 0; stage < 2; ++stage) {
            for (int i = 0; i < kSize * kSize; ++i) {
                const std::uint32_t a = 128 + (i * 7 + stage * 50) % 128;
                const std::uint32_t c = (i * 13 + stage) % (a + 1);
                texels_[stage].push_back(a << 24 | c << 16 | (c / 2) << 8 | (a - c));
            }
        }
    }
    void Sample4(int stage, const float* u, const float* v, float rgba[4][4]) override {
        const std::vector<std::uint32_t>& t = texels_[stage & 1];
        for (int l = 0; l < 4; ++l) {
            const int x = static_cast<int>(u[l] * kSize) & (kSize - 1);
            const int y = static_cast<int>(v[l] * kSize) & (kSize - 1);
            const std::uint32_t p = t[y * kSize + x];
            rgba[l][0] = static_cast<float>((p >> 16) & 255) * (1.0f / 255);
            rgba[l][1] = static_cast<float>((p >> 8) & 255) * (1.0f / 255);
            rgba[l][2] = static_cast<float>(p & 255) * (1.0f / 255);
            rgba[l][3] = static_cast<float>(p >> 24) * (1.0f / 255);
        }
    }

private:
    std::vector<std::uint32_t> texels_[2];
};

// The build names sources by absolute path, so the data folder is found
// beside this file's folder.
std::string ReadOverlay() {
    std::string root = __FILE__;
    root.erase(root.rfind("bench/shader.cpp"));
    std::ifstream file(root + "data/properties/overlay.hlsl");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// One span of `span` pixels per call, as a rasterizer hands over a row.
void BM_OverlayPixels(benchmark::State& state) {
    const int span = static_cast<int>(state.range(0));
    plat::CompiledShader compiled = plat::CompileShader(ReadOverlay(), "PS", "ps_2_0");
    if (!compiled.Ok()) {
        state.SkipWithError(compiled.errors.c_str());
        return;
    }
    std::vector<plat::ShaderAttributes> in(span);
    for (int i = 0; i < span; ++i) {
        in[i].texcoord[0][0] = in[i].texcoord[1][0] = static_cast<float>(i) / span;
        in[i].texcoord[0][1] = in[i].texcoord[1][1] = 0.5f;
    }
    std::vector<float> out(static_cast<std::size_t>(span) * 4);
    plat::ConstantRegisters constants;
    NearestSampler sampler;
    for (auto _ : state) {
        compiled.code->RunPixels(constants, in.data(), span, sampler, reinterpret_cast<float(*)[4]>(out.data()));
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * span);
}
BENCHMARK(BM_OverlayPixels)->Arg(4)->Arg(64)->Arg(1024);

}  // namespace
