// A park-like frame at 1024 x 768: a full screen of ground tiles, one cel
// each from a sheet of 64 x 32 diamonds, and 400 sprites of 32 x 48 on top,
// all drawn through the drawing context at the camera's scroll, as the park
// draws them. The camera at a fractional scroll (every cel then falls
// between pixels and is filtered) is timed in turn with the same frame at a
// whole-pixel scroll within every iteration; the ratio of their sums is the
// figure to compare.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

#include "image_scene.h"
#include "rendering/draw/graphics.h"
#include "thread_clock.h"

namespace {

constexpr int kW = testsupport::HeadlessDeviceHost::kWidth, kH = testsupport::HeadlessDeviceHost::kHeight;
constexpr int kTileW = 64, kTileH = 32, kSpriteW = 32, kSpriteH = 48, kSprites = 400;

// Premultiplied colour of alpha a.
uint32_t Pixel(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return a << 24 | (r * a / 255) << 16 | (g * a / 255) << 8 | (b * a / 255);
}

// `cols` x `rows` cels of w x h; `alpha` gives the coverage at (x, y) of a cel.
template <class Alpha>
std::unique_ptr<ImageSurface> Sheet(testsupport::ImageScene& scene, int cols, int rows, int w, int h, Alpha alpha) {
    std::vector<uint32_t> px(static_cast<size_t>(cols * w) * rows * h);
    uint32_t s = 99;
    for (int y = 0; y < rows * h; ++y)
        for (int x = 0; x < cols * w; ++x) {
            s = s * 1664525u + 1013904223u;
            const uint32_t cel = static_cast<uint32_t>((y / h) * cols + x / w);
            px[static_cast<size_t>(y) * cols * w + x] =
                Pixel(alpha(x % w, y % h), 60 + cel * 12 % 120 + (s >> 28), 90 + (s >> 27), 40 + cel * 7 % 60);
        }
    auto sheet = std::make_unique<ImageSurface>();
    sheet->SetRowsCols(rows, cols);
    sheet->SetBits(px.data(), cols * w, rows * h, false);
    sheet->premultiplied = true;
    PrepareImageTexture(*scene.d3d, sheet.get());
    return sheet;
}

struct ParkScene : testsupport::ImageScene {
    std::unique_ptr<ImageSurface> tiles = Sheet(*this, 4, 4, kTileW, kTileH, [](int x, int y) {
        // A diamond with a one-pixel soft edge.
        const double d =
            std::fabs(x + 0.5 - kTileW / 2.0) / (kTileW / 2.0) + std::fabs(y + 0.5 - kTileH / 2.0) / (kTileH / 2.0);
        return d <= 0.97 ? 255u : d >= 1.03 ? 0u : static_cast<uint32_t>((1.03 - d) / 0.06 * 255);
    });
    std::unique_ptr<ImageSurface> sprites = Sheet(*this, 8, 2, kSpriteW, kSpriteH, [](int x, int y) {
        // A standing figure: a body and a head, clear around them.
        const double dx = x + 0.5 - kSpriteW / 2.0, body = y >= 14 ? 11.0 - std::fabs(dx) : -1;
        const double head = 7.0 - std::hypot(dx, y + 0.5 - 8.0);
        const double edge = std::max(body, head);
        return edge >= 1 ? 255u : edge <= 0 ? 0u : static_cast<uint32_t>(edge * 255);
    });
    std::vector<float> spriteX, spriteY;

    ParkScene() {
        uint32_t s = 5;
        for (int i = 0; i < kSprites; ++i) {
            s = s * 1664525u + 1013904223u;
            spriteX.push_back(static_cast<float>((s >> 8) % kW) - kSpriteW / 2.0f);
            spriteY.push_back(static_cast<float>((s >> 18) % kH) - kSpriteH / 2.0f);
        }
    }

    // One frame with the camera at (cx, cy): the tiles of a staggered grid
    // that covers the screen, then the sprites.
    void Draw(float cx, float cy) {
        Graphics g(screen);
        g.SetBatching(true);
        const FRect tile(0, 0, kTileW, kTileH), sprite(0, 0, kSpriteW, kSpriteH);
        for (int row = -1; row * (kTileH / 2) < kH + kTileH; ++row)
            for (int col = -1; col * kTileW < kW + kTileW; ++col) {
                const float x = static_cast<float>(col * kTileW + (row & 1) * (kTileW / 2)) - cx;
                const float y = static_cast<float>(row * (kTileH / 2)) - cy;
                g.DrawImage(tiles.get(), x, y, (row * 7 + col) & 15, tile);
            }
        for (int i = 0; i < kSprites; ++i) g.DrawImage(sprites.get(), spriteX[i] - cx, spriteY[i] - cy, i & 15, sprite);
        g.FlushBatch();
    }
};

void BM_ParkFractionalOverWholeScroll(benchmark::State& state) {
    using Clock = ThreadClock;
    ParkScene scene;
    Clock::duration whole{}, fractional{};
    int frame = 0;
    for (auto _ : state) {
        // The camera moves a little every frame, as while scrolling.
        const float step = static_cast<float>(frame++ % 16);
        const Clock::time_point t0 = Clock::now();
        scene.Draw(step, step * 0.5f);
        const Clock::time_point t1 = Clock::now();
        scene.Draw(step + 0.37f, step * 0.5f + 0.62f);
        fractional += Clock::now() - t1;
        whole += t1 - t0;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["whole_us"] = std::chrono::duration<double, std::micro>(whole).count() / n;
    state.counters["fractional_us"] = std::chrono::duration<double, std::micro>(fractional).count() / n;
    state.counters["ratio"] = std::chrono::duration<double>(fractional) / std::chrono::duration<double>(whole);
}
BENCHMARK(BM_ParkFractionalOverWholeScroll)->Unit(benchmark::kMillisecond);

}  // namespace
