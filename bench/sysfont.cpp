// System-font text drawn into a 1024x768 surface, as the engine draws labels
// every frame: the glyph rasters are cached after the first line.

#include <benchmark/benchmark.h>

#include "platform/fonts/system_font.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kLines = 1000;
const std::wstring kLine = L"Visitors: 1,284   Happiness: 87%   Coins";  // 40 characters

std::unique_ptr<plat::SystemFont> MakeFont() {
    return plat::SystemFont::Create(plat::FontRequest{"DejaVu Sans", 12, 96, 400, false, false});
}

// 1,000 lines per iteration, stepped down the surface: milliseconds per
// iteration read as microseconds per line.
void DrawLines(benchmark::State& state, uint32_t colour, bool releaseEveryLine) {
    auto font = MakeFont();
    if (!font || kLine.size() != 40) {
        state.SkipWithError("no font");
        return;
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight, 0xFF102030);
    const plat::PixelBuffer target{pixels.data(), kWidth, kHeight, kWidth * 4};
    const plat::PixelRect clip{0, 0, kWidth, kHeight};
    const int lineHeight = font->Metrics().height;
    for (auto _ : state) {
        for (int i = 0; i < kLines; ++i) {
            if (releaseEveryLine) font->ReleaseDeviceState();
            const int top = (i * lineHeight) % (kHeight - lineHeight);
            const int left = (i * 7) % 300;
            font->DrawText(target, {left, top, kWidth, kHeight}, clip, kLine, colour);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_DrawLineOpaque(benchmark::State& state) { DrawLines(state, 0xFFFFFFFF, false); }
BENCHMARK(BM_DrawLineOpaque)->Unit(benchmark::kMillisecond);

void BM_DrawLineTranslucent(benchmark::State& state) { DrawLines(state, 0x80806040, false); }
BENCHMARK(BM_DrawLineTranslucent)->Unit(benchmark::kMillisecond);

// Every line rasterises its glyphs afresh, as the first line after a device loss does.
void BM_DrawLineAfterRelease(benchmark::State& state) { DrawLines(state, 0xFFFFFFFF, true); }
BENCHMARK(BM_DrawLineAfterRelease)->Unit(benchmark::kMillisecond);

void BM_MeasureLine(benchmark::State& state) {
    auto font = MakeFont();
    if (!font) {
        state.SkipWithError("no font");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(font->MeasureWidth(kLine));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MeasureLine);

}  // namespace
