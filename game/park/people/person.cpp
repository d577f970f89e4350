#include "game/park/people/person.h"

#include <cmath>

#include "foundation/system/log.h"
#include "foundation/values/property_table.h"
#include "game/data/catalogues/item_types.h"
#include "game/park/base/task.h"
#include "game/park/grid/grid.h"
#include "game/park/grid/grid_footprint.h"
#include "widgets/motion/controller_name.h"

namespace {

const ControllerName kPathTween(L"path_tween");

// The walker the person's searches name: none, since its own test
// (CanWalkOn, final) is the walkable test of the tiles of the grid searched,
// and the search asks a tile it already holds faster than a person looks
// the tile up again, once for each of its neighbours.
constexpr PathWalker* kTilesOwnTest = nullptr;

}  // namespace

Person::Person(std::wstring_view type) : GridItem(type) {
    // The step reads whether the person follows a path, and the task's
    // condition, in the per-frame update, asks it too.
    AddPassLines(&following_, &footOffset_ + 1);
    // A walking person's step asks whether it animates, its tweens and its
    // transform, in the block the per-frame update reads: while it walks,
    // a tween is held, and whether it animates is answered by the count.
    NameStepMotionLines();
}

Person::~Person() = default;

void Person::AddedToManager(WidgetManager* manager) {
    GridItem::AddedToManager(manager);
    const auto* record = dynamic_cast<const PERSON_TYPE*>(TypeRecord());
    pathSpeed_ = record ? record->path_speed : 0.0f;
    footOffset_ = record ? record->foot_offset : 0.0f;
    if (footOffset_ == 0.0f) footOffset_ = static_cast<float>(GridTile::TileStepH()) * 0.25f;
}

TilePoint Person::GetTileUnder(float dx, float dy) { return GridItem::GetTileUnder(dx, dy - footOffset_); }

void Person::AttachToTiles() {
    DetachAll(true);
    if (Grid* grid = GetGrid()) {
        const TilePoint at = GetGridPosition();
        AttachTile(grid->GetTileAt(at.col, at.row), true);
    }
}

void Person::BeginDrag(int x, int y) {
    GridItem::BeginDrag(x, y);
    ClearPath();
}

bool Person::CanWalkOn(TilePoint position) {
    Grid* grid = GetGrid();
    return grid != nullptr && grid->IsWalkableAt(position.col, position.row);
}

void Person::FindPathTo(TilePoint target) {
    TilePath found;
    if (Grid* grid = GetGrid()) grid->FindPathToTile(found, GetGridPosition(), target, kTilesOwnTest);
    path_.assign(found.begin(), found.end());
    FindPathToMatch(nullptr);
}

void Person::FindPathToMatch(GridTileFilter* filter) {
    if (filter != nullptr) SearchPath(*filter, 1);
    WalkPath();
}

void Person::SearchPath(GridTileFilter& filter, uint32_t matchCount) {
    TilePath found;
    if (Grid* grid = GetGrid()) grid->FindPathToMatch(found, GetGridPosition(), &filter, kTilesOwnTest, matchCount);
    path_.assign(found.begin(), found.end());
}

void Person::WalkPath() {
    following_ = true;
    FollowPath();
}

void Person::ClearPath() {
    following_ = false;
    path_.clear();
    StopTweens(kPathTween);
    if (Grid* grid = GetGrid(); grid != nullptr && StampsState()) {
        grid->MarkTileStatesDirty();
        grid->MarkDirty();
    }
}

// A person that stamps no state leaves the tile states as they are: with
// thousands walking, rebuilding them at every tile changed would cost the
// park a pass over every tile and item each step for nothing.
bool Person::StampsState() const { return GetFootprint() != nullptr && GetFootprint()->stampState != 0; }

bool Person::Replan(TilePoint cur) {
    if (path_.empty() || GetGrid() == nullptr) return false;
    TilePath found;
    GetGrid()->FindPathToTile(found, cur, path_.back(), kTilesOwnTest);
    path_.assign(found.begin(), found.end());
    if (path_.empty()) return false;
    target_ = path_.front();
    path_.pop_front();
    return CanWalkOn(target_);
}

bool Person::NextTarget(TilePoint cur) {
    target_ = path_.front();
    path_.pop_front();
    bool blocked = !CanWalkOn(target_);
    if (!blocked && cur != target_) {
        // A diagonal step needs one of the two tiles it cuts past.
        const TilePoint alongCol{cur.col < target_.col ? cur.col + 1 : cur.col - 1, cur.row};
        const TilePoint alongRow{cur.col, cur.row < target_.row ? cur.row + 1 : cur.row - 1};
        blocked = !CanWalkOn(alongCol) && !CanWalkOn(alongRow);
    }
    return !blocked || Replan(cur);
}

void Person::FollowPath() {
    const TilePoint cur = GetGridPosition();
    // A tile the person stands on already is passed at once.
    do {
        if (path_.empty() || !NextTarget(cur)) {
            ClearPath();
            return;
        }
    } while (target_ == cur);
    StartStep(cur);
}

void Person::StartStep(TilePoint cur) {
    Grid* grid = GetGrid();
    const auto tileW = static_cast<float>(GridTile::TileStepW());
    const auto tileH = static_cast<float>(GridTile::TileStepH());
    const float unit = std::sqrt((tileW * tileW + tileH * tileH) * 0.25f);
    if (!(pathSpeed_ > 0.0f) || !std::isfinite(pathSpeed_) || !(unit > 0.0f) || grid == nullptr) {
        if (!speedReported_) {
            LogWrite(L"person " + GetType() + L": cannot walk (path_speed " + std::to_wstring(pathSpeed_) +
                         L", tile step " + std::to_wstring(GridTile::TileStepW()) + L"); the walk ends",
                     true);
            speedReported_ = true;
        }
        ClearPath();
        return;
    }
    const PixelPoint p = grid->TileToScreen(target_.col, target_.row);
    const auto goalX = static_cast<float>(std::lround(p.x) - width_ / 2);
    const auto goalY = static_cast<float>(std::lround(p.y) + (GridTile::TileStepH() / 2 - height_));
    FaceDirection(static_cast<float>(target_.col - cur.col), static_cast<float>(target_.row - cur.row));
    const float dx = goalX - std::round(x_);
    const float dy = goalY - std::round(y_);
    const float duration = std::sqrt(dx * dx + dy * dy) * 100.0f / pathSpeed_ / unit;
    StopTweens(kPathTween);
    // The last step's tween, started again, moves as a new one would: a
    // walker reaches a tile every few frames, and each new tween looked its
    // fields up by name and made five allocations.
    if (endedStep_)
        TweenAgain(std::move(endedStep_), goalX, goalY, duration);
    else
        TweenPropertyPair(kPathTween, L"x", L"y", goalX, goalY, duration, L"", 0.0f);
}

void Person::KeepEnded(std::unique_ptr<Controller>& ended) {
    KeepPairTween(ended, endedStep_, kPathTween, &x_, &y_, change_bit::kPosition);
}

void Person::Update() {
    GridItem::Update();
    if (!following_) return;
    if (CountTweens(kPathTween) == 0) {
        FollowPath();
        return;
    }
    const TilePoint under = GetTileUnder(0.0f, 0.0f);
    if (under != GetGridPosition() && GetFootprint() != nullptr) {
        // The tween moves the widget; only the footprint follows it here.
        GetFootprint()->SetPosition(under.col, under.row);
        if (StampsState()) {
            MarkGridDirty();
        } else if (Grid* grid = GetGrid()) {
            grid->MarkDepthDirty();
            grid->MarkDirty();
        }
        AttachToTiles();
    }
}

void Person::StartDefaultTask() {
    for (const std::wstring& owner : {GetType(), GetCategory()}) {
        const std::wstring name = owner + L"_task";
        if (!TaskScriptExists(name)) continue;
        AddTask(CreateTask(name), 0.5f);
        return;
    }
}

const PropertyTable<Person>& Person::Properties() {
    using T = PropertyTable<Person>;
    static const T table{
        T::Value(L"following_path", [](Person& p) { return PropertyValue(p.following_); }),
        T::Float(
            L"path_speed", [](Person& p) { return &p.pathSpeed_; }, 0)
            .WithHandle(),
        T::FloatReadOnly(L"foot_offset", [](Person& p) { return &p.footOffset_; }),
    };
    return table;
}

float* Person::GetPropertyPtr(std::wstring_view name, uint32_t& mask) {
    if (float* field = Properties().Field(*this, name, mask)) return field;
    return GridItem::GetPropertyPtr(name, mask);
}

PropertyValue Person::GetProperty(std::wstring_view name) {
    if (auto reader = Properties().FindReader(name)) return reader.Read(*this, handles_);
    return GridItem::GetProperty(name);
}

const PropertyReading* Person::ResolveOwnProperty(std::wstring_view name) { return Properties().Resolve(name); }

const PropertyReading* Person::ResolveProperty(std::wstring_view name) {
    // A class made from this one may answer the name before this table does.
    return typeid(*this) == typeid(Person) ? ResolveOwnProperty(name) : nullptr;
}
