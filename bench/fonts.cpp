// A 40-character line of text drawn through the drawing context into the
// 1024 x 768 draw buffer on the software device: through the game's image
// font (batched, as fonts.xml makes it, and unbatched) and through a system
// font (plain and with its shadow). Measuring the line is timed as well.
// The yardstick for both is the floor of drawing text at all: the platform
// font's glyphs, rasterised once and cached, blended straight into a bare
// buffer the size of the screen.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench_host.h"
#include "platform/fonts/system_font.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/image_font.h"
#include "rendering/font/sys_font.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/image_surface_factory.h"

namespace {

constexpr int kH = testsupport::HeadlessDeviceHost::kHeight;
const std::wstring kLine = L"Visitors: 1,284   Happiness: 87%   Coins";  // 40 characters

// From the source tree whatever paths the compiler was handed: a relative
// __FILE__ left the font unloaded and the image-font lines drawing nothing.
std::string Descriptor() { return std::string(HALVARO_SOURCE_DIR) + "/data/fonts/dejavu_sans_16.txt"; }

struct Screen {
    testsupport::HeadlessDeviceHost host;
    std::unique_ptr<D3DInterface> d3d = std::make_unique<D3DInterface>(&host);
    ImageSurface* target = nullptr;

    Screen() {
        d3d->SetImageFactory(std::make_unique<ImageSurfaceFactory>());
        d3d->Init(nullptr, true, false);
        target = dynamic_cast<ImageSurface*>(d3d->GetDrawBuffer());
    }
};

// One line per iteration, stepped down and across the screen.
template <class MakeFont>
void RunLines(benchmark::State& state, MakeFont makeFont) {
    Screen screen;
    if (!screen.target || kLine.size() != 40) {
        state.SkipWithError("no device");
        return;
    }
    std::unique_ptr<Font> font = makeFont();
    if (font->StringWidth(kLine) <= 0) {
        state.SkipWithError("font not loaded");
        return;
    }
    int i = 0;
    for (auto _ : state) {
        Graphics g(screen.target);
        g.SetFont(font.get());
        g.SetColor(Color::White);
        g.DrawString(kLine, (i * 37) % 600, 20 + (i * 19) % (kH - 40));
        ++i;
    }
    // The last draws reach the target's pixels before the clock stops.
    benchmark::DoNotOptimize(screen.target->GetBits());
    state.SetItemsProcessed(state.iterations());
}

std::unique_ptr<Font> MakeImageFont(bool batch) { return std::make_unique<ImageFont>(Descriptor(), batch, 1.0); }

std::unique_ptr<Font> MakeSysFont(bool shadow) {
    std::unique_ptr<SysFont> font = SysFont::SysFontFromDesc("DejaVu Sans", 12, false, false, false);
    font->shadow = shadow;
    return font;
}

void BM_RenderedOnceGlyphsLine(benchmark::State& state) {
    auto font = plat::SystemFont::Create(plat::FontRequest{"DejaVu Sans", 12, 96, 400, false, false});
    const int w = testsupport::HeadlessDeviceHost::kWidth;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * kH, 0xFF102030u);
    const plat::PixelBuffer target{pixels.data(), w, kH, w * 4};
    int i = 0;
    for (auto _ : state) {
        const int left = (i * 37) % 600, top = 20 + (i * 19) % (kH - 40);
        font->DrawText(target, {left, top, w, kH}, {0, 0, w, kH}, kLine, 0xFFFFFFFFu);
        ++i;
    }
    benchmark::DoNotOptimize(pixels.data());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderedOnceGlyphsLine)->Unit(benchmark::kMicrosecond);

void BM_ImageFontLineBatched(benchmark::State& state) {
    RunLines(state, [] { return MakeImageFont(true); });
}
BENCHMARK(BM_ImageFontLineBatched)->Unit(benchmark::kMicrosecond);

void BM_ImageFontLineUnbatched(benchmark::State& state) {
    RunLines(state, [] { return MakeImageFont(false); });
}
BENCHMARK(BM_ImageFontLineUnbatched)->Unit(benchmark::kMicrosecond);

void BM_SysFontLine(benchmark::State& state) {
    RunLines(state, [] { return MakeSysFont(false); });
}
BENCHMARK(BM_SysFontLine)->Unit(benchmark::kMicrosecond);

void BM_SysFontLineWithShadow(benchmark::State& state) {
    RunLines(state, [] { return MakeSysFont(true); });
}
BENCHMARK(BM_SysFontLineWithShadow)->Unit(benchmark::kMicrosecond);

template <class MakeFont>
void RunMeasure(benchmark::State& state, MakeFont makeFont) {
    Screen screen;
    std::unique_ptr<Font> font = makeFont();
    for (auto _ : state) benchmark::DoNotOptimize(font->StringWidth(kLine));
    state.SetItemsProcessed(state.iterations());
}

void BM_ImageFontMeasure(benchmark::State& state) {
    RunMeasure(state, [] { return MakeImageFont(true); });
}
BENCHMARK(BM_ImageFontMeasure);

void BM_SysFontMeasure(benchmark::State& state) {
    RunMeasure(state, [] { return MakeSysFont(false); });
}
BENCHMARK(BM_SysFontMeasure);

}  // namespace
