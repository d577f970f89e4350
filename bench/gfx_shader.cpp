// Pixel shaders on the software device: a full-screen 1024 x 768 quad
// through the game's overlay shader (stage 0 the image, stage 1 the
// background, bilinear, blending off), as a blend-mode draw does; beside it
// the smallest useful shader (one texture times the colour) for the cost of
// the shader path itself, and the same quad through the fixed stages.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "gfx_bench_scene.h"
#include "platform/gfx/gfx.h"

namespace {

constexpr int kW = testsupport::DeviceScene::kW, kH = testsupport::DeviceScene::kH;

struct Vtx2 {
    float x, y, z;
    uint32_t c;
    float s0, t0, s1, t1;
};

// The build names sources by absolute path, so the data folder is found
// beside this file's folder.
std::string GameShader(const char* name) {
    std::string root = __FILE__;
    root.erase(root.rfind("bench/gfx_shader.cpp"));
    std::ifstream file(root + "data/properties/" + name + ".hlsl");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class Scene : public testsupport::DeviceScene {
public:
    Scene() {
        dev_->SetRenderState(plat::RenderState::CullMode, static_cast<uint32_t>(plat::Cull::None));
        dev_->SetRenderState(plat::RenderState::AlphaBlendEnable, 0);
        for (uint32_t stage : {0u, 1u}) {
            for (plat::SamplerState s : {plat::SamplerState::MinFilter, plat::SamplerState::MagFilter})
                dev_->SetSamplerState(stage, s, static_cast<uint32_t>(plat::TextureFilter::Linear));
            for (plat::SamplerState s : {plat::SamplerState::AddressU, plat::SamplerState::AddressV})
                dev_->SetSamplerState(stage, s, static_cast<uint32_t>(plat::TextureAddress::Clamp));
            dev_->SetTextureStageState(stage, plat::StageState::ColorOp,
                                       static_cast<uint32_t>(plat::StageOp::Modulate));
            dev_->SetTextureStageState(stage, plat::StageState::AlphaOp,
                                       static_cast<uint32_t>(plat::StageOp::Modulate));
        }
        dev_->SetFVF(plat::kFvfXyz | plat::kFvfDiffuse | plat::kFvfTex2);
        textures_[0] = MakeTexture(1);
        textures_[1] = MakeTexture(2);
        dev_->SetTexture(0, textures_[0]);
        dev_->SetTexture(1, textures_[1]);
    }
    ~Scene() {
        dev_->SetPixelShader(nullptr);
        if (shader_) shader_->Release();
        for (plat::Texture* t : textures_) t->Release();
    }

    plat::Texture* MakeTexture(uint32_t seed) { return NoiseTexture(kW, kH, seed); }

    bool UseShader(const std::string& source) {
        plat::ShaderBinary* code = nullptr;
        plat::ShaderConstantTable* table = nullptr;
        if (plat::CompileShaderSource(source, "PS", "ps_2_0", &code, nullptr, &table) != plat::kOk) return false;
        dev_->CreatePixelShader(code, &shader_);
        table->SetDefaults(dev_);
        code->Release();
        table->Release();
        dev_->SetPixelShader(shader_);
        return shader_ != nullptr;
    }

    void Run(benchmark::State& state) {
        const uint32_t c = 0xFFFFFFFFu;
        // Slightly off the texel grid, so no draw takes the one-to-one copy.
        const float e = 0.25f;
        Vtx2 v[4] = {{-0.5f, -0.5f, 0, c, 0, 0, 0, 0},
                     {-0.5f, kH - 0.5f + e, 0, c, 0, 1, 0, 1},
                     {kW - 0.5f + e, -0.5f, 0, c, 1, 0, 1, 0},
                     {kW - 0.5f + e, kH - 0.5f + e, 0, c, 1, 1, 1, 1}};
        dev_->BeginScene();
        for (auto _ : state) dev_->DrawPrimitiveUP(plat::PrimitiveType::TriangleStrip, 2, v, sizeof(Vtx2));
        dev_->EndScene();
        state.counters["time_per_px"] = benchmark::Counter(
            double(kW) * kH, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    }

    plat::Texture* textures_[2] = {};
    plat::DevicePixelShader* shader_ = nullptr;
};

void BM_FullScreenOverlayShader(benchmark::State& state) {
    Scene scene;
    if (!scene.UseShader(GameShader("overlay"))) {
        state.SkipWithError("overlay.hlsl did not compile");
        return;
    }
    scene.Run(state);
}
BENCHMARK(BM_FullScreenOverlayShader)->Unit(benchmark::kMillisecond);

void BM_FullScreenTextureTimesColourShader(benchmark::State& state) {
    Scene scene;
    if (!scene.UseShader("sampler2D Image : register(s0);\n"
                         "float4 PS(float4 c : COLOR0, float2 uv : TEXCOORD0) : COLOR0 {\n"
                         "    return tex2D(Image, uv) * c;\n"
                         "}\n")) {
        state.SkipWithError("shader did not compile");
        return;
    }
    scene.Run(state);
}
BENCHMARK(BM_FullScreenTextureTimesColourShader)->Unit(benchmark::kMillisecond);

void BM_FullScreenTwoFixedStages(benchmark::State& state) {
    Scene scene;
    scene.Run(state);
}
BENCHMARK(BM_FullScreenTwoFixedStages)->Unit(benchmark::kMillisecond);

}  // namespace
