// The grid task's words: on the grid itself, then on the item, person or
// building the step's "id" names.
#include "game/park/buildings/building.h"
#include "game/park/grid/grid.h"
#include "game/park/people/person.h"
#include "game/park/tasks/composite_filters.h"
#include "game/park/tasks/grid_task.h"
#include "game/park/tasks/item_filters.h"
#include "widgets/script/script_host.h"

using namespace std::string_view_literals;

namespace {

constexpr int kGoOn = hook_result::kHandled;

// A character as the one-character text scripts compare; none is empty text.
PropertyValue CharText(TileChar c) { return c == 0 ? PropertyValue(std::wstring()) : PropertyValue(wchar_t{c}); }

}  // namespace

int GridTask::AddItem() {
    Grid* grid = GetGrid();
    const std::wstring type = StepAttributeString(L"type");
    const std::wstring action = StepHasAttribute(L"action") ? StepAttributeString(L"action") : std::wstring();
    // An item is a widget made (with its tasks): it costs what one costs
    // any script, so a script adding items in a loop stops within the
    // update's budget as one making widgets does.
    SpendWork(kWidgetWork);
    GridItem* item = grid ? grid->CreateAndPlaceItem(type, StepAttributeInt(L"col"), StepAttributeInt(L"row"),
                                                     StepAttributeInt(L"orientation"), action)
                          : nullptr;
    if (StepHasAttribute(L"id")) {
        const std::wstring name = StepAttributeString(L"id");
        if (item)
            SetVariable(name, PropertyValue::FromWidget(item));
        else
            UndefineVariable(name);
    }
    return kGoOn;
}

int GridTask::FindItem() {
    const bool hasPoint = StepHasAttribute(L"col") && StepHasAttribute(L"row");
    GridItem* found = nullptr;
    if (Grid* grid = GetGrid()) {
        std::unique_ptr<AcceptItemByFilters> filter = MakeItemFilter(MatchAll(), hasPoint);
        if (hasPoint) {
            const TilePoint point{StepAttributeInt(L"col"), StepAttributeInt(L"row")};
            filter->AddFilter(std::make_unique<PreferItemByDistance>(
                point, StepAttributeFloatOr(L"max_distance", -1.0f), StepAttributeFloatOr(L"min_distance", -1.0f)));
        }
        found = grid->FindItem(filter.get(), StepAttributeBoolOr(L"random", false));
    }
    SetOutputWidget(L"_item", found);
    return kGoOn;
}

int GridTask::FindTile() {
    GridTile* found = nullptr;
    if (Grid* grid = GetGrid()) {
        std::unique_ptr<AcceptTileByFilters> filter = MakeTileFilter(MatchAll(), false);
        found = grid->FindTile(filter.get(), StepAttributeBoolOr(L"random", false));
    }
    if (found) {
        SetOutput(L"_col", PropertyValue(static_cast<int>(found->Col())));
        SetOutput(L"_row", PropertyValue(static_cast<int>(found->Row())));
    } else {
        ClearOutput(L"_col");
        ClearOutput(L"_row");
    }
    return kGoOn;
}

int GridTask::GetTile() {
    Grid* grid = GetGrid();
    GridTile* tile = grid ? grid->GetTileAt(StepAttributeInt(L"col"), StepAttributeInt(L"row")) : nullptr;
    ClearOutput(L"_door");
    if (!tile) {
        ClearOutput(L"_state");
        ClearOutput(L"_material");
        return kGoOn;
    }
    SetOutput(L"_state", CharText(tile->state));
    SetOutput(L"_material", CharText(tile->material));
    if (!StepHasAttribute(L"_door")) return kGoOn;
    const Building* named = StepWidget<Building>(L"building");
    for (GridItem* item : tile->GetBuildings()) {
        const Building* building = item->AsBuilding();
        if (!building || (named && building->GetId() != named->GetId())) continue;
        if (const Door* door = building->FindDoor(tile->Position(), 0))
            SetOutput(L"_door", CharText(static_cast<TileChar>(door->code)));
        break;
    }
    return kGoOn;
}

int GridTask::SetTile() {
    Grid* grid = GetGrid();
    GridTile* tile = grid ? grid->GetTileAt(StepAttributeInt(L"col"), StepAttributeInt(L"row")) : nullptr;
    if (!tile) return kGoOn;
    if (StepHasAttribute(L"state")) tile->state = StepChar(L"state", 0);
    if (StepHasAttribute(L"material")) tile->material = StepChar(L"material", 0);
    return kGoOn;
}

int GridTask::ItemWord(std::wstring_view word, GridItem& item) {
    if (word == L"set-action"sv) {
        item.SetAction(StepAttributeString(L"action"));
    } else if (word == L"set-origin"sv) {
        // Moved onto another building it would stack on it as one added
        // there would: it stays where it stands.
        const int32_t col = StepAttributeInt(L"col"), row = StepAttributeInt(L"row");
        Grid* grid = item.GetGrid();
        if (grid == nullptr || !grid->RefuseStacked(item, item.FootprintAt(col, row), L"not moved"))
            item.MoveToColRow(col, row);
    } else if (word == L"set-orientation"sv) {
        if (StepHasAttribute(L"orientation"))
            item.SetOrientation(StepAttributeInt(L"orientation"));
        else
            item.FaceDirection(static_cast<float>(StepAttributeInt(L"offset_cols")),
                               static_cast<float>(StepAttributeInt(L"offset_rows")));
    } else if (word == L"face"sv && StepHasAttribute(L"item")) {
        if (GridItem* other = StepWidget<GridItem>(L"item")) {
            const bool towards = !StepHasAttribute(L"direction") || StepAttributeString(L"direction") == L"toward"sv;
            item.FaceItem(*other, towards);
        }
    } else {
        return hook_result::kNotHandled;
    }
    return kGoOn;
}

int GridTask::PersonWord(std::wstring_view word, Person& person) {
    if (word == L"follow-path"sv) {
        std::unique_ptr<AcceptTileByFilters> filter = MakeTileFilter(MatchAll(), false);
        person.FindPathToMatch(filter.get());
        return kGoOn;
    }
    if (word == L"stop-following-path"sv) {
        person.ClearPath();
        return kGoOn;
    }
    if (word != L"find-nearby"sv) return hook_result::kNotHandled;
    std::unique_ptr<AcceptItemByFilters> filter = MakeItemFilter(MatchAll(), false);
    const TileChar side = StepChar(L"door", 0);
    const TilePoint position = person.GetGridPosition();
    Building* found = nullptr;
    if (Grid* grid = GetGrid())
        if (GridTile* tile = grid->GetTileAt(position.col, position.row))
            // A queue of visitors may stand on the door: the tile's buildings alone are asked.
            for (GridItem* item : tile->GetBuildings()) {
                Building* building = item->AsBuilding();
                if (building && building->FindDoor(position, side) && filter->Accept(building)) {
                    found = building;
                    break;
                }
            }
    SetOutputWidget(L"_building", found);
    return kGoOn;
}

int GridTask::BuildingWord(std::wstring_view word, Building& building) {
    if (word != L"find-nearby"sv) return hook_result::kNotHandled;
    std::unique_ptr<AcceptItemByFilters> filter = MakeItemFilter(MatchAll(), false);
    const TileChar side = StepChar(L"door", 0);
    Person* found = nullptr;
    if (Grid* grid = GetGrid())
        for (const Door& door : building.Doors()) {
            if (side != 0 && door.code != side) continue;
            GridTile* tile = grid->GetTileAt(door.col, door.row);
            if (!tile) continue;
            for (GridItem* item : tile->GetItems()) {
                Person* person = item->AsPerson();
                if (person && filter->Accept(person)) {
                    found = person;
                    break;
                }
            }
            if (found) break;
        }
    SetOutputWidget(L"_person", found);
    return kGoOn;
}
