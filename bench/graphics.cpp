// A frame of 500 sprites drawn through the drawing context on the software
// device at 1024 x 768: batched (queued, sorted and sent as one quad batch
// per texture), and the same sprites drawn one at a time. The raw quad batch
// of the same sprites is the yardstick for what the context adds; queuing
// for a screen-sized target that swallows the draws shows the context's own
// CPU cost.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "image_scene.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/image_surface_factory.h"
#include "rendering/image/texture_tiles.h"

namespace {

constexpr int kW = testsupport::HeadlessDeviceHost::kWidth, kH = testsupport::HeadlessDeviceHost::kHeight;
constexpr int kSprites = 500;

struct Sprite {
    float x, y;
    int cel;
    int order;
};

// Sprites over the whole screen (some half off its edges), cycling through
// the atlas's cels, in four draw orders issued out of order.
std::vector<Sprite> Sprites() {
    std::vector<Sprite> sprites(kSprites);
    for (int i = 0; i < kSprites; ++i)
        sprites[static_cast<size_t>(i)] = {static_cast<float>(i * 37 % (kW + 16) - 16),
                                           static_cast<float>(i * 53 % (kH + 16) - 16), i % 256, (i * 7) % 4};
    return sprites;
}

// Screen-sized, draws nothing.
class SwallowingTarget : public ImageRenderTarget {
public:
    int GetWidth() const override { return kW; }
    int GetHeight() const override { return kH; }
};

struct Frame : testsupport::ImageScene {
    std::vector<Sprite> sprites = Sprites();

    void Draw(ImageRenderTarget* target, bool batching) {
        Graphics g(target);
        g.SetBatching(batching);
        const FRect cel(0, 0, 32, 32);
        for (const Sprite& s : sprites) {
            g.OffsetDrawOrder(s.order);
            g.DrawImage(atlas.get(), s.x, s.y, s.cel, cel);
            g.OffsetDrawOrder(-s.order);
        }
    }
};

void BM_Graphics500SpritesBatched(benchmark::State& state) {
    Frame f;
    for (auto _ : state) f.Draw(f.screen, true);
    state.SetItemsProcessed(state.iterations() * kSprites);
}
BENCHMARK(BM_Graphics500SpritesBatched)->Unit(benchmark::kMicrosecond);

void BM_Graphics500SpritesOneByOne(benchmark::State& state) {
    Frame f;
    for (auto _ : state) f.Draw(f.screen, false);
    state.SetItemsProcessed(state.iterations() * kSprites);
}
BENCHMARK(BM_Graphics500SpritesOneByOne)->Unit(benchmark::kMicrosecond);

void BM_QuadBatch500SpritesRaw(benchmark::State& state) {
    Frame f;
    std::vector<QuadBatchItem> items;
    for (const Sprite& s : f.sprites) {
        QuadBatchItem item;
        item.x = s.x;
        item.y = s.y;
        item.source = FRect(static_cast<float>(s.cel % 16 * 32), static_cast<float>(s.cel / 16 * 32), 32, 32);
        item.color = Color::White;
        items.push_back(item);
    }
    DrawState ds;
    for (auto _ : state) f.screen->DrawTriangles(f.atlas.get(), items, &ds);
    state.SetItemsProcessed(state.iterations() * kSprites);
}
BENCHMARK(BM_QuadBatch500SpritesRaw)->Unit(benchmark::kMicrosecond);

void BM_Graphics500SpritesQueuedOnly(benchmark::State& state) {
    Frame f;
    SwallowingTarget target;
    for (auto _ : state) f.Draw(&target, true);
    state.SetItemsProcessed(state.iterations() * kSprites);
}
BENCHMARK(BM_Graphics500SpritesQueuedOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
