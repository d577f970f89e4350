// The image blitters on the software device at 1024 x 768: 2,000 32 x 32
// sprites from one atlas through the quad batch, and one full-screen image
// through Blt. The same sprites drawn one Blt at a time show what batching
// saves; the device benchmark's raw full-screen blit is the yardstick for
// the second. A crowd of visitor cels at a shared fractional offset, drawn
// top to bottom as the park sorts them, and a floor of ground tiles are
// each paired with their own yardstick: the same rows copied into the same
// places with memcpy.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench_host.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/blitters.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/image_surface_factory.h"
#include "rendering/image/texture_tiles.h"
#include "rendering/imagefile/image_files.h"

namespace {

constexpr int kW = 1024, kH = 768;

using BenchHost = testsupport::HeadlessDeviceHost;

// Pixels with varied alpha, premultiplied on loading as the game's images are.
std::vector<uint32_t> Pixels(int w, int h) {
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t a = static_cast<uint32_t>(128 + (x + y) % 128);
            px[static_cast<size_t>(y) * w + x] = (a << 24) | ((x * 3 % 256) << 16) | ((y % 256) << 8);
        }
    return px;
}

struct Bench {
    BenchHost host;
    std::unique_ptr<D3DInterface> d3d = std::make_unique<D3DInterface>(&host);
    ImageSurface* target = nullptr;
    Bench() {
        d3d->SetImageFactory(std::make_unique<ImageSurfaceFactory>());
        d3d->Init(nullptr, true, false);
        target = dynamic_cast<ImageSurface*>(d3d->GetDrawBuffer());
        target->BindRenderTarget();
    }
    std::unique_ptr<ImageSurface> Image(int w, int h, int rows, int cols) {
        auto image = std::make_unique<ImageSurface>();
        image->SetRowsCols(rows, cols);
        const std::vector<uint32_t> px = Pixels(w, h);
        image->SetBits(px.data(), w, h, true);
        PrepareImageTexture(*d3d, image.get());
        return image;
    }
};

// 2,000 sprites placed over the screen, cycling through a 16 x 16 atlas of 32 x 32 cels.
std::vector<QuadBatchItem> Sprites() {
    std::vector<QuadBatchItem> items(2000);
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].x = static_cast<float>(i * 37 % (kW - 32));
        items[i].y = static_cast<float>(i * 53 % (kH - 32));
        items[i].source = FRect(static_cast<float>(i % 16 * 32), static_cast<float>(i / 16 % 16 * 32), 32, 32);
        items[i].color = Color::White;
    }
    return items;
}

void BM_QuadBatch2000Sprites(benchmark::State& state) {
    Bench b;
    auto atlas = b.Image(512, 512, 16, 16);
    const std::vector<QuadBatchItem> items = Sprites();
    DrawState s;
    for (auto _ : state) b.target->DrawTriangles(atlas.get(), items, &s);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(items.size()));
}
BENCHMARK(BM_QuadBatch2000Sprites)->Unit(benchmark::kMillisecond);

void BM_Blt2000SpritesOneByOne(benchmark::State& state) {
    Bench b;
    auto atlas = b.Image(512, 512, 16, 16);
    const std::vector<QuadBatchItem> items = Sprites();
    DrawState s;
    for (auto _ : state)
        for (const QuadBatchItem& item : items)
            b.target->DrawImage(atlas.get(), item.x, item.y, item.source, item.color, &s);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(items.size()));
}
BENCHMARK(BM_Blt2000SpritesOneByOne)->Unit(benchmark::kMillisecond);

void BM_BltFullScreenImage(benchmark::State& state) {
    Bench b;
    auto image = b.Image(kW, kH, 1, 1);
    DrawState s;
    for (auto _ : state) b.target->DrawImage(image.get(), 0, 0, FRect(0, 0, kW, kH), Color::White, &s);
}
BENCHMARK(BM_BltFullScreenImage)->Unit(benchmark::kMillisecond);

// 200 icons of 48 x 48 pulsing in size, as the park's building indicators
// do: each drawn scaled by its own factor between 0.9 and 1.1, so every
// row's samples are filtered from four texels. The yardstick is the same
// icons drawn unscaled at whole pixels.
constexpr int kIcon = 48, kIcons = 200;

void DrawIcons(benchmark::State& state, bool scaled) {
    Bench b;
    auto icon = b.Image(kIcon, kIcon, 1, 1);
    const FRect source(0, 0, kIcon, kIcon);
    DrawState s;
    for (auto _ : state)
        for (int i = 0; i < kIcons; ++i) {
            const float x = static_cast<float>(i * 97 % (kW - 2 * kIcon)),
                        y = static_cast<float>(i * 61 % (kH - 2 * kIcon));
            if (!scaled) {
                b.target->DrawImage(icon.get(), x, y, source, Color::White, &s);
                continue;
            }
            Matrix4 m;
            const float factor = 0.9f + 0.2f * static_cast<float>(i % 17) / 16.0f;
            m.Scale(factor, factor, 1.0f);
            b.target->DrawImageTransformed(icon.get(), x, y, m, nullptr, Color::White, &s, source);
        }
    state.SetItemsProcessed(state.iterations() * kIcons);
}
void BM_ScaledIcons(benchmark::State& state) { DrawIcons(state, true); }
BENCHMARK(BM_ScaledIcons)->Unit(benchmark::kMicrosecond);
void BM_UnscaledIcons(benchmark::State& state) { DrawIcons(state, false); }
BENCHMARK(BM_UnscaledIcons)->Unit(benchmark::kMicrosecond);

// A visitor's sheet: two rows of four 28 x 58 cels. A crowd draws one cel
// a visitor, or two side by side for sprites twice as wide.
constexpr int kCelW = 28, kCelH = 58, kCrowd = 2000;

struct Visitor {
    int x, y, column, row;
};

// Spread over the screen as a crowd on sidewalks is, in depth order.
std::vector<Visitor> Crowd(int cels) {
    std::vector<Visitor> crowd(kCrowd);
    uint32_t seed = 2024;
    auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
    };
    for (Visitor& v : crowd) v = {next(kW - kCelW * cels - 1), next(kH - kCelH - 1), next(5 - cels), next(2)};
    std::sort(crowd.begin(), crowd.end(), [](const Visitor& a, const Visitor& b) { return a.y < b.y; });
    return crowd;
}

// One of the park's images, read from data/; an error on `state` when missing.
std::unique_ptr<ImageData> ParkImage(const char* name, benchmark::State& state) {
    std::unique_ptr<ImageData> image = GetPNGImage(std::string(HALVARO_SOURCE_DIR) + "/data/images/park/" + name);
    if (!image) state.SkipWithError(name);
    return image;
}

// The image uploaded as the game uploads it, premultiplied.
std::unique_ptr<ImageSurface> Upload(Bench& b, const ImageData& data) {
    auto image = std::make_unique<ImageSurface>();
    image->SetBits(data.Row(0), data.GetWidth(), data.GetHeight(), true);
    PrepareImageTexture(*b.d3d, image.get());
    return image;
}

// The crowd drawn once a frame, visitor i at offset(i, frame) past its spot.
template <class Offset>
void DrawCrowd(benchmark::State& state, Offset offset) {
    Bench b;
    const std::unique_ptr<ImageData> sheet = ParkImage("picnicker.png", state);
    if (!sheet) return;
    const std::unique_ptr<ImageSurface> image = Upload(b, *sheet);
    const int cels = static_cast<int>(state.range(0));
    const std::vector<Visitor> crowd = Crowd(cels);
    DrawState s;
    size_t frame = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < crowd.size(); ++i) {
            const Visitor& v = crowd[i];
            const FRect source(static_cast<float>(v.column * kCelW), static_cast<float>(v.row * kCelH),
                               static_cast<float>(kCelW * cels), kCelH);
            const auto [dx, dy] = offset(i, frame);
            b.target->DrawImage(image.get(), v.x + dx, v.y + dy, source, Color::White, &s);
        }
        ++frame;
    }
    state.SetItemsProcessed(state.iterations() * kCrowd);
}

// The crowd standing, all at one offset, as a camera at a fractional scroll gives.
void BM_VisitorCrowdAtOffset(benchmark::State& state) {
    DrawCrowd(state, [](size_t, size_t) { return std::pair{0.375f, 0.625f}; });
}
BENCHMARK(BM_VisitorCrowdAtOffset)->ArgName("cels")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The crowd walking: every visitor at an offset of its own that changes
// from frame to frame, so no offset's filtered rows are kept between draws.
void BM_WalkingCrowd(benchmark::State& state) {
    DrawCrowd(state, [](size_t i, size_t frame) {
        const float step = static_cast<float>((i * 37 + frame * 11) % 64) / 64.0f;
        return std::pair{step, 0.5f * step};
    });
}
BENCHMARK(BM_WalkingCrowd)->ArgName("cels")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The yardstick: the crowd's rows copied, not blended, into a frame of its own.
void BM_VisitorCrowdMemcpy(benchmark::State& state) {
    const std::unique_ptr<ImageData> sheet = ParkImage("picnicker.png", state);
    if (!sheet) return;
    std::vector<uint32_t> frame(static_cast<size_t>(kW) * kH);
    const int cels = static_cast<int>(state.range(0));
    const std::vector<Visitor> crowd = Crowd(cels);
    for (auto _ : state) {
        for (const Visitor& v : crowd)
            for (int row = 0; row < kCelH; ++row)
                std::memcpy(&frame[static_cast<size_t>(v.y + row) * kW + v.x],
                            sheet->Row(v.row * kCelH + row) + v.column * kCelW, static_cast<size_t>(kCelW) * cels * 4);
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetItemsProcessed(state.iterations() * kCrowd);
}
BENCHMARK(BM_VisitorCrowdMemcpy)->ArgName("cels")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The ground: 68 x 36 tiles of the park's materials at whole pixels, in the
// diamond lattice a park lays them, over the whole screen, against the same
// rows copied with memcpy.
constexpr int kTileW = 68, kTileH = 36, kMaterials = 13;

struct Tile {
    int x, y, material;
};

std::vector<Tile> Floor() {
    std::vector<Tile> floor;
    for (int row = 0; row * kTileH / 2 + kTileH <= kH; ++row)
        for (int x = (row & 1) * kTileW / 2; x + kTileW <= kW; x += kTileW)
            floor.push_back({x, row * kTileH / 2, (x / kTileW + row) % kMaterials});
    return floor;
}

void BM_TileFloor(benchmark::State& state) {
    Bench b;
    const std::unique_ptr<ImageData> sheet = ParkImage("tile_materials.png", state);
    if (!sheet) return;
    const std::unique_ptr<ImageSurface> image = Upload(b, *sheet);
    const std::vector<Tile> floor = Floor();
    DrawState s;
    for (auto _ : state)
        for (const Tile& t : floor)
            b.target->DrawImage(image.get(), static_cast<float>(t.x), static_cast<float>(t.y),
                                FRect(static_cast<float>(t.material * kTileW), 0, kTileW, kTileH), Color::White, &s);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(floor.size()));
}
BENCHMARK(BM_TileFloor)->Unit(benchmark::kMicrosecond);

void BM_TileFloorMemcpy(benchmark::State& state) {
    const std::unique_ptr<ImageData> sheet = ParkImage("tile_materials.png", state);
    if (!sheet) return;
    std::vector<uint32_t> frame(static_cast<size_t>(kW) * kH);
    const std::vector<Tile> floor = Floor();
    for (auto _ : state) {
        for (const Tile& t : floor)
            for (int row = 0; row < kTileH; ++row)
                std::memcpy(&frame[static_cast<size_t>(t.y + row) * kW + t.x], sheet->Row(row) + t.material * kTileW,
                            kTileW * 4);
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(floor.size()));
}
BENCHMARK(BM_TileFloorMemcpy)->Unit(benchmark::kMicrosecond);

}  // namespace
