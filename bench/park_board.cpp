// The park board's hot paths on a 64 x 64 park. The depth sort of 2,000
// items (200 buildings of 2 x 2, 1,800 persons of one tile), beside the
// literal form that asks every ordered pair; the tile states rebuilt under
// 200 buildings (a share of the 10 ms step); and both tile layers drawn on
// the 1024 x 768 software device, beside one full-screen blended blit.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "game/park/grid/grid_footprint.h"
#include "image_scene.h"
#include "rendering/draw/graphics.h"
#include "tests/game/park/board_scene.h"
#include "tests/game/park/depth_order_reference.h"
#include "widgets/tree/widget_manager.h"

namespace {

constexpr int kSide = 64;

// A park in a widget manager, its items at random tiles.
struct Park {
    explicit Park(int buildings, int persons) {
        scene.Play(testsupport::LevelBuilder(kSide, kSide));
        grid = new testsupport::TestGrid();
        mgr.AddWidget(grid);
        std::mt19937 rng(4357);
        const auto place = [&](const wchar_t* type, int count) {
            for (int i = 0; i < count; ++i)
                grid->CreateAndPlaceItem(type, static_cast<int>(rng() % kSide), static_cast<int>(rng() % kSide), 0,
                                         L"");
        };
        place(L"hut", buildings);
        place(L"walker", persons);
        for (GridItem* item : grid->Items())
            if (item->GetType() == L"hut") item->GetFootprint()->stampState = L'g';
    }
    ~Park() { mgr.RemoveAllWidgets(true, false); }

    testsupport::BoardScene scene;
    WidgetManager mgr;
    testsupport::TestGrid* grid = nullptr;
};

void BM_SortItemsByDepth2000(benchmark::State& state) {
    testsupport::HeadlessDeviceHost screen;
    Park park(200, 1800);
    for (auto _ : state) {
        park.grid->MarkDepthDirty();
        park.grid->SortItemsByDepth();
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_SortItemsByDepth2000)->Unit(benchmark::kMillisecond);

// The yardstick: every ordered pair through the items' own test.
void BM_SortItemsByDepth2000AllPairs(benchmark::State& state) {
    testsupport::HeadlessDeviceHost screen;
    Park park(200, 1800);
    const std::vector<GridItem*>& items = park.grid->Items();
    std::vector<DepthNode> nodes(items.size());
    std::vector<int> priorities(items.size());
    for (auto _ : state) {
        for (size_t i = 0; i < items.size(); ++i) {
            nodes[i].held = items[i]->IsHeld();
            nodes[i].takesPart = items[i]->IsVisible() && !nodes[i].held;
            priorities[i] = items[i]->GetPriority();
        }
        testsupport::NumberByAllPairs(
            nodes, [&](size_t j, size_t i) { return items[j]->DrawsBefore(*items[i]); }, priorities);
        for (size_t i = 0; i < items.size(); ++i) items[i]->SetPriority(priorities[i]);
        park.grid->SortChildren();
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_SortItemsByDepth2000AllPairs)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ResetTileStates200Buildings(benchmark::State& state) {
    testsupport::HeadlessDeviceHost screen;
    Park park(200, 0);
    for (auto _ : state) park.grid->ResetTileStates();
}
BENCHMARK(BM_ResetTileStates200Buildings)->Unit(benchmark::kMicrosecond);

// Opaque diamonds with soft rims in every cel, as ground art is drawn.
void PaintDiamonds(ImageSurface& image, int cels) {
    const int w = testsupport::BoardScene::kTileW, h = testsupport::BoardScene::kTileH;
    std::vector<uint32_t> px(static_cast<size_t>(w) * cels * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * cels; ++x) {
            const float dx = std::abs(static_cast<float>(x % w) + 0.5f - w * 0.5f) / (w * 0.5f);
            const float dy = std::abs(static_cast<float>(y) + 0.5f - h * 0.5f) / (h * 0.5f);
            const float edge = (1.0f - dx - dy) * 16.0f;
            const uint32_t a = edge >= 1.0f ? 255u : edge <= 0.0f ? 0u : static_cast<uint32_t>(edge * 255.0f);
            px[static_cast<size_t>(y) * w * cels + x] = a << 24 | static_cast<uint32_t>(x * 5 % 256) << 16 | 0x8040u;
        }
    image.SetBits(px.data(), w * cels, h, true);
    image.SetRowsCols(1, cels);
}

struct TileFrame : testsupport::ImageScene {
    TileFrame() {
        for (const wchar_t* name : {L"tile_materials", L"tile_states"}) {
            auto* image = dynamic_cast<ImageSurface*>(FindImageByName(name));
            PaintDiamonds(*image, image->cols);
            PrepareImageTexture(*d3d, image);
        }
        park.grid->ResetTileStates();  // the buildings' highlights in the state layer
    }
    Park park{200, 0};
};

void BM_DrawTiles64x64(benchmark::State& state) {
    TileFrame f;
    for (auto _ : state) {
        Graphics g(f.screen);
        g.Translate(f.park.grid->GetX(), f.park.grid->GetY());
        f.park.grid->DrawTiles(g);
    }
}
BENCHMARK(BM_DrawTiles64x64)->Unit(benchmark::kMillisecond);

// The yardstick: one blended full-screen image through the same context.
void BM_FullScreenBlendedBlit(benchmark::State& state) {
    testsupport::ImageScene scene;
    ImageSurface image;
    std::vector<uint32_t> px(static_cast<size_t>(1024) * 768);
    for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint32_t>(128 + i % 128) << 24 | 0x406080u;
    image.SetBits(px.data(), 1024, 768, true);
    PrepareImageTexture(*scene.d3d, &image);
    for (auto _ : state) {
        Graphics g(scene.screen);
        g.DrawImage(&image, 0.0f, 0.0f, 0, FRect(0, 0, 1024, 768));
    }
}
BENCHMARK(BM_FullScreenBlendedBlit)->Unit(benchmark::kMillisecond);

}  // namespace
