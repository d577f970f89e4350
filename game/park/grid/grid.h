#pragma once
// Grid: the isometric board of the park. A drag widget that scrolls under the
// pointer and owns a rectangle of tiles (columns by rows), the items standing
// on them (child widgets, in creation order), the maps between tile
// positions and its own pixels, the searches over tiles and items, and the
// link to the current level, from which it is built when it enters the tree
// and into which it is saved when it leaves.
//
// Promises: while in the tree it holds cols columns of rows tiles, and none
// otherwise, so no lookup reaches a destroyed tile (GetTileAt null,
// IsWalkableAt false); leaving the tree saves the park into the level,
// unlinks and removes the items, then destroys the tiles, so entering again
// shows the saved park once. No current level gives an empty grid; a level
// whose material map is short gives empty tiles where it has none; every
// lookup, stamp and search is safe on a grid of 0 columns or rows. A level
// item naming a type the item catalogue lacks, or standing off the grid, is
// skipped (logged once per name) and kept in the level by the next save;
// so is a building that would stand on one placed before it.
//
// Items are made by CreateItem; the game's grid overrides the factories.
// Main thread only.

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/park/base/task_owner.h"
#include "game/park/grid/depth_order.h"
#include "game/park/grid/drag_widget.h"
#include "game/park/grid/grid_tile.h"
#include "game/park/grid/grid_transform.h"
#include "game/park/grid/ground_picture.h"
#include "game/park/grid/path_search.h"

class GridFootprint;
class GridItem;
class GridItemFilter;
class GridTileFilter;
class PlayerState;
struct LEVEL;
struct LEVEL_GOAL;
struct LEVEL_ITEM;

class Grid : public DragWidget, public TaskOwner {
public:
    Grid();
    ~Grid() override;

    // Once: starts every item's default task; later placements start at once.
    virtual void StartItems();
    // Writes the items and tile materials into the current level, when it is
    // the level the grid was built from (another one would be overwritten
    // with this park, an unbuilt grid would wipe it).
    virtual void SaveToLevel();
    // The item a level record describes, placed; null when its type is
    // unknown or its tile lies off the grid.
    virtual GridItem* PlaceLevelItem(const LEVEL_ITEM& record);
    // Creates an item by type name and places it; null when the type is unknown.
    virtual GridItem* CreateAndPlaceItem(std::wstring_view type, int32_t col, int32_t row, int32_t orientation,
                                         std::wstring_view action);
    virtual std::unique_ptr<GridTile> CreateTile(TileChar material, int32_t col, int32_t row);
    // A new item of the class its type record asks for; null for a type the
    // item catalogue lacks.
    virtual GridItem* CreateItem(std::wstring_view type);
    // The record an item is saved as; null for an item the park does not keep.
    virtual std::unique_ptr<LEVEL_ITEM> MakeLevelItem(GridItem& item);
    virtual std::unique_ptr<LEVEL_ITEM> CreateLevelItem(std::wstring_view type);
    // Every material before any state, batched.
    virtual void DrawTiles(Graphics& g);
    // The grid's own picture, under the tiles.
    void DrawBackground(Graphics& g);
    // Turns the items' pairwise depth test into their widget priorities.
    virtual void SortItemsByDepth();
    virtual void ResetTileStates();
    // Completes every open goal of the current level that its metric meets.
    virtual void CheckLevelGoals();
    // Called once for each goal CheckLevelGoals completes.
    virtual void OnGridEvent(LEVEL_GOAL& goal);

    void Update() override;
    void Draw(Graphics* g) override;
    void RemoveWidget(Widget* widget) override;
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    std::unique_ptr<Task> CreateTask(std::wstring_view name) override;

    // Lookups; positions outside the grid give null or false.
    GridTile* GetTileAt(int32_t col, int32_t row) const;
    bool IsWalkableAt(int32_t col, int32_t row) const;
    // Tests only the first column and row and the anchor.
    bool RectInside(int32_t col, int32_t row, int32_t cols, int32_t rows) const;
    bool CanPlaceFootprint(const GridFootprint& footprint) const;
    PixelPoint TileToScreen(int32_t col, int32_t row) const { return transform_.TileToScreen(col, row); }
    // Not clipped to the grid: test the answer with GetTileAt or RectInside.
    TilePoint ScreenToTile(float x, float y) const { return transform_.ScreenToTile(x, y); }

    // The filter's most preferred candidate first; null filter: everything.
    void FindItems(std::vector<GridItem*>& out, GridItemFilter* filter) const;
    void FindTiles(std::vector<GridTile*>& out, GridTileFilter* filter) const;
    // The first candidate, or with `random` one drawn uniformly; null when none.
    GridItem* FindItem(GridItemFilter* filter, bool random) const;
    GridTile* FindTile(GridTileFilter* filter, bool random) const;

    // The way from `start` to the target, or to the n-th tile the filter
    // accepts (path_search.h); `walker`, when given, decides where it may go.
    void FindPath(TilePath& path, TilePoint start, std::optional<TilePoint> target, GridTileFilter* filter,
                  PathWalker* walker, uint32_t matchesWanted);
    void FindPathToTile(TilePath& path, TilePoint start, TilePoint target, PathWalker* walker) {
        FindPath(path, start, target, nullptr, walker, 1);
    }
    void FindPathToMatch(TilePath& path, TilePoint start, GridTileFilter* filter, PathWalker* walker, uint32_t n) {
        FindPath(path, start, std::nullopt, filter, walker, n);
    }

    // The item leaves the grid's list and its tiles (removed or deleted).
    void ReleaseItem(GridItem* item);

    // What the items tell the grid.
    void MarkDepthDirty() { depthDirty_ = true; }
    void MarkTileStatesDirty() { tileStatesDirty_ = true; }
    bool IsDepthDirty() const { return depthDirty_; }
    bool IsTileStatesDirty() const { return tileStatesDirty_; }
    void MarkGoalsDirty() { goalsDirty_ = true; }

    // Whether the item is a building that would, with this footprint, cover
    // a tile another building's covers (its own tiles aside): if so, told in
    // the log once per type and outcome, with `outcome`, what became of it.
    bool RefuseStacked(GridItem& item, const TileRect& footprint, std::wstring_view outcome);

    int32_t Cols() const { return cols_; }
    int32_t Rows() const { return rows_; }
    GridTileColumns& Tiles() { return tiles_; }
    const std::vector<GridItem*>& Items() const { return items_; }
    const GridTransform& Transform() const { return transform_; }
    TileChar DefaultTileState() const { return defaultTileState_; }
    void SetDefaultTileState(TileChar state) { defaultTileState_ = state; }
    bool AllowDiagonal() const { return allowDiagonal_; }
    void SetAllowDiagonal(bool on) { allowDiagonal_ = on; }
    bool IsStarted() const { return started_; }

protected:
    // The current player and level, or null.
    static PlayerState* CurrentPlayer();
    static LEVEL* CurrentLevel();
    // The item as it is, or null when it is a building whose footprint
    // covers a tile another building's covers: that one is removed again
    // and told in the log, once per type (with the level's skipped items).
    GridItem* RefuseStacked(GridItem* item);
    // True the first time this outcome befalls a type: then it is told.
    bool FirstRefusal(std::wstring_view outcome, std::wstring_view type);

private:
    void BuildTiles(const LEVEL* level);
    void PlaceLevelItems(const LEVEL& level);
    void DiscardItems();
    // The footprint covers a tile a building other than the item covers.
    bool OverlapsBuilding(const GridItem& item, const TileRect& footprint) const;
    size_t AddPosition(const Widget& widget) const override;

    TileChar defaultTileState_ = L'_';
    bool allowDiagonal_ = false;
    GridTransform transform_;
    GridTileColumns tiles_;
    std::vector<GridItem*> items_;
    int32_t cols_ = 0;
    int32_t rows_ = 0;
    bool depthDirty_ = false;
    bool tileStatesDirty_ = false;
    bool goalsDirty_ = false;
    bool started_ = false;
    // The item CreateAndPlaceItem is adding, while it adds it.
    const Widget* adding_ = nullptr;
    // Tiles and items stand built (between entering and leaving the tree),
    // from the level of this name; none when there was no current level.
    bool built_ = false;
    std::optional<std::wstring> builtFrom_;
    // Each kind of refusal (its outcome's words) is told once per type.
    std::set<std::pair<std::wstring, std::wstring>, std::less<>> reportedRefusals_;
    // The level's records this build left out, kept as they are by every
    // save (they stay the level's own objects across saves).
    std::set<const LEVEL_ITEM*> unplaced_;
    // Scratch of SortItemsByDepth, kept between sorts.
    DepthOrder depthOrder_;
    std::vector<DepthNode> depthNodes_;
    std::vector<int> depthPriorities_;
    PathSearch pathSearch_;
    GroundPicture ground_;
};
