#pragma once
// GridItem: anything placed on the park grid (buildings and persons derive
// from it). A drag widget and task owner that owns a footprint, keeps the
// tiles it stands on (two-way links: each tile keeps the item too), turns in
// quarter turns and shows the image row of its orientation (mirrored where
// its type's image has fewer rows), stamps its footprint's characters on the
// tiles, answers the grid's depth test and exposes its state to scripts.
//
// Promises: the footprint comes from the type record when the item enters a
// widget manager; before that, and for a type the catalogue lacks (which
// then gets a 1 x 1 footprint), nothing dereferences a missing footprint or
// record. Moves re-place the widget and mark the grid's depth order and tile
// states for rebuilding. Dragging pauses its tasks, dropping resumes them
// and sets it down on the tile under its foot.
// Main thread only.

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "game/park/base/task_owner.h"
#include "game/park/grid/depth_order.h"
#include "game/park/grid/drag_widget.h"
#include "game/park/grid/grid_footprint.h"
#include "game/park/grid/grid_tile.h"
#include "game/park/grid/grid_transform.h"

class Building;
class Person;
class VisitableBuilding;
class Grid;
class GridFootprint;
class Image;
struct ITEM_TYPE;

// A turn's footprint operations (SetRotation), planned apart so the rules
// can be read and tested on their own.
struct RotationPlan {
    enum Op : uint8_t { kNone, kAboutCentre, kPlain };
    Op first = kNone, second = kNone;
    int32_t firstAngle = 0, secondAngle = 0;
    int32_t target = -1;  // the orientation to set afterwards; -1 none
};
// `rows`: the image's rows, 0 without an image.
RotationPlan PlanRotation(int32_t degrees, int32_t orientation, int32_t rows, bool autoFlip);

// Which image row an orientation shows, and whether mirrored (UpdateFrame).
struct FrameRow {
    int32_t row = 0;
    bool mirrored = false;
};
FrameRow RowForOrientation(int32_t orientation, int32_t rows, bool autoFlip);

class GridItem : public DragWidget, public TaskOwner {
public:
    explicit GridItem(std::wstring_view type);
    ~GridItem() override;

    // Keeps the frame when the new image has the same shape.
    virtual void SetImage(Image* image);
    virtual void SetGrid(Grid* grid);
    virtual void DetachFromTiles(Grid* grid);
    // Nothing for a plain item.
    virtual void StartDefaultTask();
    // The item as a building (one with doors), else null: what a cast would
    // answer, without one for each person a door search meets on its tiles.
    virtual Building* AsBuilding() { return nullptr; }
    // The same for a person: a script's every word on a widget asks both.
    virtual Person* AsPerson() { return nullptr; }
    // The same for a building a visitor may choose: a visitor's door search
    // asks it of every building it meets at a door, and the cast across the
    // classes cost more than the rest of the visitor's question.
    virtual const VisitableBuilding* AsVisitable() const { return nullptr; }
    virtual void AttachTile(GridTile* tile, bool notify);
    virtual void DetachTile(GridTile* tile, bool notify);
    virtual void DetachAll(bool notify);
    virtual bool IsOnTile(GridTile* tile) const;
    virtual void StampStateOnTiles(GridTileColumns& tiles);
    virtual void StampMaterialOnTiles(GridTileColumns& tiles);
    // True when this item is drawn after (in front of) the other.
    virtual bool DrawsBefore(GridItem& other);
    // Returns whether the footprint changed.
    virtual bool SetRotation(int32_t degrees);
    // towards: face the other item; else turn away from it.
    virtual void FaceItem(GridItem& other, bool towards);
    virtual TilePoint GetTileUnder(float dx, float dy);
    // In line and asked of the footprint's own class: every walking visitor
    // asks where it stands at every step, and each answer went through two
    // calls by the table and a third to the footprint.
    TileRect GetFootprintRect() const { return footprint_ ? footprint_->GetRect() : TileRect{}; }
    TilePoint GetGridPosition() const {
        const TileRect r = GetFootprintRect();
        return {r.col, r.row};
    }
    virtual int32_t GetOrientation() const;
    virtual void MoveToColRow(int32_t col, int32_t row);
    // The footprint as MoveToColRow would put it.
    TileRect FootprintAt(int32_t col, int32_t row) const;
    virtual void MoveTo(TilePoint position);
    // The picture stands on that tile as it does once moved there; the
    // footprint stays.
    void StandPictureOn(TilePoint position);
    virtual void FaceDirection(float dx, float dy);
    virtual void SetOrientation(int32_t orientation);
    virtual void MoveCentreTo(TilePoint position);
    virtual void SetAction(std::wstring_view action);
    virtual std::unique_ptr<GridFootprint> CreateFootprint(const ITEM_TYPE* record);
    virtual Image* LoadTypeImage();
    virtual void UpdateFrame();
    virtual void AttachToTiles();
    virtual bool RotateFootprintAboutCentre(int32_t degrees);
    virtual bool RotateFootprint(int32_t degrees);

    void AddedToManager(WidgetManager* manager) override;
    PropertyValue GetProperty(std::wstring_view name) override;
    void BeginDrag(int x, int y) override;
    void EndDrag() override;
    std::unique_ptr<Task> CreateTask(std::wstring_view name) override;

    // What the depth test reads of this item.
    DepthKey GetDepthKey() const;
    // Asks for every line the key reads, a few items ahead of the sort's
    // visit: the position, the size with the id and visibility, whether the
    // transform applies to children, whether held, and the footprint. Each
    // lies on a line of its own; the sort waited on each of them in turn.
    void PrefetchDepthKey() const {
        __builtin_prefetch(&x_);
        __builtin_prefetch(&id_);
        __builtin_prefetch(&transformChildren_);
        __builtin_prefetch(&held_);
        __builtin_prefetch(&footprint_);
    }

    const std::wstring& GetType() const { return type_; }
    const std::wstring& GetCategory() const { return category_; }
    const std::wstring& GetAction() const { return action_; }
    bool IsHeld() const { return held_; }
    // The park carrying the item says so itself, without a drag.
    void SetDragging(bool on) { held_ = on; }
    int32_t GetFirstFrame() const { return firstFrame_; }
    Grid* GetGrid() const { return grid_; }
    GridFootprint* GetFootprint() { return footprint_ ? &*footprint_ : nullptr; }
    const GridFootprint* GetFootprint() const { return footprint_ ? &*footprint_ : nullptr; }
    const std::set<GridTile*>& LinkedTiles() const { return tiles_; }

protected:
    // The type record, or null for a type the catalogue lacks.
    ITEM_TYPE* TypeRecord() const;
    // The grid's depth order and tile states need rebuilding.
    void MarkGridDirty();

private:
    static const PropertyTable<GridItem>& Properties();

    std::wstring category_;
    std::wstring type_;
    std::set<GridTile*> tiles_;
    std::wstring action_;
    int32_t firstFrame_ = 0;
    bool held_ = false;
    bool autoFlip_ = false;
    FieldHandles handles_;
    // Both read by every step of a person (its tile under it), side by
    // side: the footprint lies in the item, not in an object of its own
    // elsewhere, which every step waited on. None until the item first
    // joins a manager; a new one each time it joins. Last, from a line's
    // start: a person's own first fields, which its step reads too, follow
    // on the same line.
    alignas(64) Grid* grid_ = nullptr;
    std::optional<GridFootprint> footprint_;
};
