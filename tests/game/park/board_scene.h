#pragma once
// A park board for the grid's tests and benches: a level built in code, a
// small item catalogue read from text, images registered by name (the tile
// images among them, so the tile step is known), and the data tests' park
// player as the current player, playing the built level. No test framework:
// the benches use it too.

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/system/app_services.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/level_tiles.h"
#include "game/data/progress/kivra_level.h"
#include "game/park/grid/grid.h"
#include "game/park/grid/grid_item.h"
#include "game/park/parkgrid/park_registration.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "tests/game/data/park_test_support.h"
#include "tests/platform/temp_folder.h"

namespace testsupport {

// A level made in code; the map is tile text (one word per row).
class LevelBuilder {
public:
    LevelBuilder(int cols, int rows, wchar_t material = L'S') {
        level_->name = L"test_level";
        level_->cols = cols;
        level_->rows = rows;
        level_->tiles.assign(static_cast<size_t>(std::max(cols, 0)),
                             std::vector<wchar_t>(static_cast<size_t>(std::max(rows, 0)), material));
    }
    LevelBuilder& Map(std::wstring_view text) {
        ParseTileText(text, level_->tiles, level_->cols, level_->rows);
        return *this;
    }
    LevelBuilder& Item(std::wstring type, int col, int row, int orientation = 0, std::wstring action = {}) {
        auto item = std::make_unique<LEVEL_ITEM>();
        item->type = std::move(type);
        item->col = col;
        item->row = row;
        item->orientation = orientation;
        item->action = std::move(action);
        level_->items.Add(std::move(item));
        return *this;
    }
    LevelBuilder& Goal(std::wstring metric, float requirement, int32_t comparison) {
        auto goal = std::make_unique<LEVEL_GOAL>();
        goal->metric = std::move(metric);
        goal->requirement = requirement;
        goal->comparison = comparison;
        level_->goals.Add(std::move(goal));
        return *this;
    }
    LevelBuilder& Camera(int x, int y) {
        level_->camera_x = x;
        level_->camera_y = y;
        return *this;
    }
    LevelBuilder& Background(std::wstring name) {
        level_->background = std::move(name);
        return *this;
    }
    std::unique_ptr<KIVRA_LEVEL> Build() { return std::move(level_); }

private:
    std::unique_ptr<KIVRA_LEVEL> level_ = std::make_unique<KIVRA_LEVEL>();
};

// Images by name, plain surfaces of the given cel size and layout.
class NamedImages : public NullAppServices {
public:
    Image* Add(const std::wstring& name, int celWidth, int celHeight, int rows = 1, int cols = 1) {
        auto image = std::make_unique<ImageSurface>();
        image->Create(celWidth * cols, celHeight * rows);
        image->SetRowsCols(rows, cols);
        image->name = name;
        Image* raw = image.get();
        images_[name] = std::move(image);
        return raw;
    }
    ExtendedPropertyInterface* FindImageByName(std::wstring_view name) override {
        auto it = images_.find(std::wstring(name));
        return it == images_.end() ? nullptr : it->second.get();
    }

private:
    std::map<std::wstring, std::unique_ptr<ImageSurface>> images_;
    ScopedService<AppServices> installed_{this};
};

// A tile of the tests: 'S' is walkable, anything but 'X' buildable. Given a
// log, it writes its draws there ("m col,row" and "s col,row", with a "+"
// while batching) instead of drawing.
class BoardTile : public GridTile {
public:
    BoardTile(TileChar material, int32_t col, int32_t row, std::vector<std::string>* log)
        : GridTile(material, col, row), log_(log) {}
    bool IsWalkable() const override { return material == L'S'; }
    bool IsBuildable() const override { return material != L'X'; }
    void DrawMaterial(Graphics& g, int x, int y) override { DrawLayer('m', g, x, y); }
    void DrawState(Graphics& g, int x, int y) override { DrawLayer('s', g, x, y); }

private:
    void DrawLayer(char layer, Graphics& g, int x, int y) {
        if (log_ == nullptr) {
            layer == 'm' ? GridTile::DrawMaterial(g, x, y) : GridTile::DrawState(g, x, y);
            return;
        }
        log_->push_back(std::string(1, layer) + (g.IsBatching() ? "+" : " ") + std::to_string(Col()) + "," +
                        std::to_string(Row()));
    }
    std::vector<std::string>* log_;
};

// The plain grid on test tiles, recording the goals it is told of. Its
// persons, buildings and tasks are the park's, as a park grid registers them.
class TestGrid : public Grid {
public:
    TestGrid() { RegisterParkFactory(); }
    std::unique_ptr<GridTile> CreateTile(TileChar material, int32_t col, int32_t row) override {
        auto tile = std::make_unique<BoardTile>(material, col, row, drawLog);
        tile->state = DefaultTileState();
        return tile;
    }
    void OnGridEvent(LEVEL_GOAL& goal) override { events.push_back(goal.metric); }
    std::vector<std::wstring> events;
    std::vector<std::string>* drawLog = nullptr;  // set before entering: tiles log their draws
};

// The catalogue of the grid tests: persons of one tile, buildings of 2 x 2
// and 3 x 1 (footprints are rows of capitals).
inline constexpr std::string_view kGridItems = R"(<items>
  <people><person type="walker" image="walker_img"/><person type="mirror" auto_flip_x="true"/></people>
  <rides><building type="hut">AA AA</building><building type="bench">AAA</building></rides>
</items>)";

// Everything a grid needs to be built: images, catalogue, a current player.
// The catalogue is read from a temporary folder, the working directory
// while the scene lives.
class BoardScene {
public:
    static constexpr int kTileW = 64, kTileH = 32;

    BoardScene() : cwd_(folder_.Path()) {
        GridTile::ForgetTileImages();
        images.Add(L"tile_materials", kTileW, kTileH, 1, 13);
        images.Add(L"tile_states", kTileW, kTileH, 1, 6);
        images.Add(L"park_bg", 2048, 1024);
        images.Add(L"hut", 128, 64);
        images.Add(L"walker_img", 32, 48, 4, 2);
        images.Add(L"mirror", 32, 48, 2, 3);
        WriteBytes(folder_.Path() / "properties" / "items.xml", kGridItems);
        catalogue.Load();
    }
    ~BoardScene() { GridTile::ForgetTileImages(); }
    BoardScene(const BoardScene&) = delete;
    BoardScene& operator=(const BoardScene&) = delete;

    // Makes the level current; the caller then builds a grid on it.
    // A builder chain (an lvalue) or a builder.
    template <class Builder>
    void Play(Builder&& builder) {
        player.reset();
        level = builder.Background(L"park_bg").Build();
        player = std::make_unique<TestParkPlayer>(level.get());
        player->SetCurrentLevel(level->name);
    }

private:
    TempFolder folder_;
    CurrentDirectoryGuard cwd_;

public:
    NamedImages images;
    ItemStats catalogue;
    std::unique_ptr<KIVRA_LEVEL> level;
    std::unique_ptr<TestParkPlayer> player;
};

}  // namespace testsupport
