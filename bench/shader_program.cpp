// Blend-mode sprites on the software device at 1024 x 768: a 128 x 128
// sprite drawn through the drawing context in overlay mode (the destination
// copied to a scratch target, then the game's overlay shader composing the
// two), against the same sprite drawn plainly; and the cost of switching
// between two shader programs with remembered constants.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_host.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/image_surface_factory.h"
#include "rendering/shader/blend_shaders.h"
#include "rendering/shader/shader_program.h"

namespace {

// The build names sources by absolute path, so the data folder is found
// beside this file's folder.
std::string DataFolder() {
    std::string root = __FILE__;
    root.erase(root.rfind("bench/shader_program.cpp"));
    return root + "data";
}

struct Scene {
    testsupport::HeadlessDeviceHost host;
    std::unique_ptr<D3DInterface> d3d = std::make_unique<D3DInterface>(&host);
    BlendShaderTable& table = d3d->GetBlendShaders();
    ImageSurface* screen = nullptr;
    std::unique_ptr<ImageSurface> sprite = std::make_unique<ImageSurface>();

    Scene() {
        d3d->SetImageFactory(std::make_unique<ImageSurfaceFactory>());
        d3d->Init(nullptr, true, false);
        screen = dynamic_cast<ImageSurface*>(d3d->GetDrawBuffer());
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(DataFolder());
        LoadBlendShaders(table);
        std::filesystem::current_path(previous);
        std::vector<uint32_t> px(128 * 128);
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x)
                px[static_cast<size_t>(y) * 128 + x] = static_cast<uint32_t>(128 + (x + y) % 128) << 24 |
                                                       static_cast<uint32_t>(x * 2) << 16 |
                                                       static_cast<uint32_t>(y * 2) << 8;
        sprite->SetBits(px.data(), 128, 128, true);
        Graphics g(screen);
        g.SetColor(Color(90, 140, 200, 255));
        g.FillRect(0, 0, testsupport::HeadlessDeviceHost::kWidth, testsupport::HeadlessDeviceHost::kHeight);
    }
};

void BM_OverlaySprite(benchmark::State& state) {
    Scene scene;
    if (!scene.table.Find(kDrawOverlay)) {
        state.SkipWithError("overlay.hlsl did not load");
        return;
    }
    const FRect whole(0, 0, 128, 128);
    for (auto _ : state) {
        Graphics g(scene.screen);
        g.SetDrawMode(kDrawOverlay);
        g.DrawToScratch(scene.sprite.get(), 0, whole, 300, 200);
    }
    state.SetItemsProcessed(state.iterations() * 128 * 128);
}
BENCHMARK(BM_OverlaySprite)->Unit(benchmark::kMicrosecond);

void BM_PlainSprite(benchmark::State& state) {
    Scene scene;
    const FRect whole(0, 0, 128, 128);
    for (auto _ : state) {
        Graphics g(scene.screen);
        g.DrawImage(scene.sprite.get(), 300, 200, 0, whole);
    }
    state.SetItemsProcessed(state.iterations() * 128 * 128);
}
BENCHMARK(BM_PlainSprite)->Unit(benchmark::kMicrosecond);

// Two programs taking turns, as widgets with different shaders do within a
// frame: each turn binds a stage and writes its defaults and constants.
void BM_ProgramSwitch(benchmark::State& state) {
    Scene scene;
    const char* source =
        "float4 Tint;\n"
        "float Strength = 1.0;\n"
        "float4 PS(float4 c : COLOR0) : COLOR0 { return c * Tint * Strength; }\n";
    ShaderProgram a(source), b(source);
    const float tint[4] = {1, 0.5f, 0.25f, 1};
    for (ShaderProgram* p : {&a, &b}) {
        p->SetConstantAll("Tint", tint, sizeof tint);
        p->SetConstant("Strength", 0.5f);
    }
    for (auto _ : state) {
        a.Apply();
        b.Apply();
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_ProgramSwitch);

}  // namespace
