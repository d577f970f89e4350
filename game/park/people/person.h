#pragma once
// Person: a grid item that walks. It holds a path of tiles from the grid's
// path search and walks it one tile at a time, each step a timed change of
// its screen position named "path_tween", facing the step, its one-tile
// footprint following the tile under its feet. A step whose tile stopped
// being walkable (or a diagonal that lost both tiles it cuts past) makes it
// search again for the last tile of its way; with no way left it stops
// where it stands. Dragging it clears its path.
//
// Its speed ("path_speed", animatable) and foot offset come from its type.
// A speed that is not a positive number, or a grid without a tile step,
// moves nothing: such a walk ends at once as a blocked one does, so scripts
// waiting for it go on. Its default task is the script task "<type>_task",
// else "<category>_task". Main thread only.

#include <deque>
#include <string_view>

#include "game/park/grid/grid_item.h"
#include "game/park/grid/path_search.h"

class GridTileFilter;

class Person : public GridItem, public PathWalker {
public:
    explicit Person(std::wstring_view type);
    ~Person() override;

    virtual void FindPathTo(TilePoint target);
    // The way to the nearest tile the filter accepts; then walks (no filter:
    // walks the path it holds).
    virtual void FindPathToMatch(GridTileFilter* filter);
    virtual void ClearPath();
    virtual bool IsFollowingPath() const { return following_; }
    // The tile of its grid is walkable (final: its searches rely on it).
    bool CanWalkOn(TilePoint position) final;
    // Takes the next step of the path.
    virtual void FollowPath();

    Person* AsPerson() final { return this; }
    void Update() override;
    void AddedToManager(WidgetManager* manager) override;
    float* GetPropertyPtr(std::wstring_view name, uint32_t& mask) override;
    PropertyValue GetProperty(std::wstring_view name) override;
    const PropertyReading* ResolveProperty(std::wstring_view name) override;
    void BeginDrag(int x, int y) override;
    void StartDefaultTask() override;
    TilePoint GetTileUnder(float dx, float dy) override;
    void AttachToTiles() override;

    const std::deque<TilePoint>& GetPath() const { return path_; }
    TilePoint GetTarget() const { return target_; }
    float GetPathSpeed() const { return pathSpeed_; }
    float GetFootOffset() const { return footOffset_; }

protected:
    // The reading of a name this class's own table answers; null for any
    // other, whose reads go on to the classes below.
    static const PropertyReading* ResolveOwnProperty(std::wstring_view name);
    // The way to the n-th tile the filter accepts becomes the path.
    void SearchPath(GridTileFilter& filter, uint32_t matchCount);
    // Starts walking the path held.
    void WalkPath();

private:
    static const PropertyTable<Person>& Properties();
    // Takes the next tile into target_; false when the walk must end.
    bool NextTarget(TilePoint cur);
    // A fresh way from `cur` to the last tile of the path; false when none.
    bool Replan(TilePoint cur);
    void StartStep(TilePoint cur);
    bool StampsState() const;
    // The step tween that ended, kept to be started again at the next tile.
    void KeepEnded(std::unique_ptr<Controller>& ended) override;

    // First, on the line of the grid item's grid and footprint, which the
    // person's step reads too.
    bool following_ = false;
    // Beside following_: every step of a walking person reads it.
    float footOffset_ = 0.0f;
    std::deque<TilePoint> path_;
    TilePoint target_;
    float pathSpeed_ = 0.0f;
    bool speedReported_ = false;
    // A step tween that ended (resting), or null.
    std::unique_ptr<Tweener> endedStep_;
    FieldHandles handles_;
};
