// The park's kept ground picture: drawn on a software device, a frame put
// down from it is pixel for pixel the frame drawing the ground gives, while
// tiles change their look, the park scrolls, the clip moves and the grid's
// picture loses and regains its cover.
#include <gtest/gtest.h>

#include <random>

#include "game/park/grid/kivra_tile.h"
#include "rendering/image/image_surface_factory.h"
#include "tests/game/park/park_grid_bench.h"
#include "tests/rendering/device_test_support.h"

namespace {

using testsupport::LevelBuilder;

class GroundPictureTest : public testsupport::ParkGridBench {
protected:
    static constexpr int kW = 320, kH = 240;

    GroundPictureTest() {
        plat::GraphicsSystem::SetConfigForTesting(testsupport::OneAdapter());
        deviceHost_.screenW = deviceHost_.clientW = kW;
        deviceHost_.screenH = deviceHost_.clientH = kH;
        d3d_->SetImageFactory(std::make_unique<ImageSurfaceFactory>());
        EXPECT_EQ(RESULT_OK, d3d_->Init(nullptr, true, false));
        // The pictures made again on the device, patterned, the tiles' with
        // soft and clear texels so that they blend over the ground.
        GridTile::ForgetTileImages();
        Fill(images.Add(L"tile_materials", kTileW, kTileH, 1, 13), 0x5A);
        Fill(images.Add(L"tile_states", kTileW, kTileH, 1, 6), 0x33);
        Fill(ground_ = images.Add(L"park_bg", 2048, 1024), -1);
        Fill(screen_ = images.Add(L"screen", kW, kH), 0xC0);
        target_->Create(kW, kH);
    }
    ~GroundPictureTest() override {
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
        target_.reset();
        d3d_.reset();
        plat::GraphicsSystem::SetConfigForTesting(std::nullopt);
    }

    // `alpha` -1: opaque; otherwise a pattern with clear, soft and opaque texels.
    static void Fill(Image* image, int alpha) {
        auto* surface = dynamic_cast<ImageSurface*>(image);
        uint32_t* bits = surface->GetBits();
        for (int y = 0; y < surface->GetHeight(); ++y)
            for (int x = 0; x < surface->GetWidth(); ++x) {
                const uint32_t a = alpha < 0 ? 255u
                                             : static_cast<uint32_t>((x * 7 + y * 13) % 3 == 0 ? 0
                                                                     : (x + y) % 2             ? alpha
                                                                                               : 255);
                const uint32_t c = static_cast<uint32_t>(x * 31 + y * 17) & 0xFFu;
                // Premultiplied, as the park's pictures are.
                bits[static_cast<size_t>(y) * surface->GetWidth() + x] =
                    a << 24 | (c * a / 255) << 16 | ((255 - c) * a / 255) << 8 | ((c ^ 0x5Au) * a / 255);
            }
        surface->CommitBits();
    }

    // One frame of the grid's own drawing over a patterned screen: the
    // picture's, or the ground drawn as always, unbatched; `draws` counts the
    // device's draw calls. With `batched`, the context batches its draws and
    // a mark is drawn after the ground, over it.
    std::vector<uint32_t> Frame(Grid& grid, const FRect& clip, bool direct, bool batched, size_t* draws = nullptr) {
        {
            Graphics screen(target_.get());
            screen.SetDrawMode(kDrawOpaque);
            screen.DrawImage(screen_, 0.0f, 0.0f, 0, FRect(0, 0, kW, kH));
        }
        plat::CallLog calls;
        d3d_->GetDevice()->SetRecorder(&calls);
        {
            Graphics g(target_.get());
            g.Translate(grid.GetX(), grid.GetY());
            g.SetClipRect(clip.x - grid.GetX(), clip.y - grid.GetY(), static_cast<int>(clip.w),
                          static_cast<int>(clip.h));
            g.SetBatching(batched);
            if (direct) {
                g.SetBatching(false);
                grid.DrawBackground(g);
                grid.DrawTiles(g);
            } else {
                grid.Draw(&g);
            }
            if (batched) {
                g.SetBatching(true);
                g.DrawImage(ground_, 20.0f - grid.GetX(), 10.0f - grid.GetY(), 0, FRect(0, 0, 40, 30));
            }
        }
        d3d_->GetDevice()->SetRecorder(nullptr);
        if (draws) *draws = calls.Count(plat::Call::DrawPrimitive) + calls.Count(plat::Call::DrawIndexedPrimitive);
        const uint32_t* bits = target_->GetBits();
        return std::vector<uint32_t>(bits, bits + kW * kH);
    }

    testsupport::FakeDeviceHost deviceHost_;
    std::unique_ptr<D3DInterface> d3d_ = std::make_unique<D3DInterface>(&deviceHost_);
    std::unique_ptr<ImageSurface> target_ = std::make_unique<ImageSurface>(true);
    Image* ground_ = nullptr;
    Image* screen_ = nullptr;  // what the screen holds before the ground
};

TEST_F(GroundPictureTest, FramesFromThePictureAreTheFramesDrawingGivesWhateverChanges) {
    EnterPark(LevelBuilder(12, 12, L'G'), 0);
    std::mt19937 random(7);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const TileChar materials[] = {L'G', L'S', L'R', L'C', L'_'};
    const TileChar marks[] = {0, L's', L'g', L'a', L'*', L'#', L'T'};
    FRect clip(0, 0, kW, kH);
    int fromPicture = 0;
    for (int step = 0; step < 60; ++step) {
        switch (pick(6)) {
            case 0:
            case 1: {  // a tile's look
                auto* tile = dynamic_cast<KivraTile*>(grid->GetTileAt(pick(12), pick(12)));
                ASSERT_NE(tile, nullptr);
                tile->material = materials[pick(5)];
                tile->state = marks[pick(7)];
                tile->overlay = marks[pick(7)];
                tile->mirrorX = pick(2) == 1;
                tile->mirrorY = pick(2) == 1;
                tile->lookVariant = pick(3);
                break;
            }
            case 2:  // a scroll, to whole pixels or between them
                grid->Move(grid->GetX() + static_cast<float>(pick(9) - 4) * (pick(2) ? 1.0f : 0.5f),
                           grid->GetY() + static_cast<float>(pick(9) - 4));
                break;
            case 3:
                clip = pick(2) ? FRect(0, 0, kW, kH)
                               : FRect(static_cast<float>(pick(40)), static_cast<float>(pick(40)), 200, 150);
                break;
            case 4: {  // the ground's cover: a clear hole, or whole again
                Fill(ground_, pick(2) ? -1 : 0x80);
                break;
            }
            default: break;  // nothing: the picture is put down again
        }
        const bool batched = pick(4) == 0;
        size_t drawn = 0;
        const std::vector<uint32_t> expected = Frame(*grid, clip, true, batched, &drawn);
        for (int frame = 0; frame < 3; ++frame) {
            size_t draws = 0;
            ASSERT_EQ(Frame(*grid, clip, false, batched, &draws), expected) << "step " << step << ", frame " << frame;
            // The third frame of a covered ground is the picture alone: none of the tiles' draws.
            if (frame == 2 && draws < drawn) ++fromPicture;
        }
        EXPECT_GT(drawn, 0u);
    }
    // Most steps leave the ground covered.
    EXPECT_GT(fromPicture, 20);
}

}  // namespace
