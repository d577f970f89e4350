#pragma once
// GridTask: the task the grid and every grid item make for themselves. It
// knows its grid and gives the task's scripts the words of grid behaviour:
// create items, search items and tiles with filters, read and write tiles,
// move, turn and re-animate items, send persons along paths and find the
// building or person at a door.
//
// Each word reads its arguments from the current step's attributes (every
// value an expression) and writes its results into the task's variables: an
// attribute whose name begins with "_" names, by its raw text, the variable
// that receives a result, and a word without a result removes that
// variable. Every grid word answers "handled, go on"; a step whose "id"
// names no widget, or a widget none of whose words matches, goes on to the
// task's own words. Nothing is reported.
//
// The filters the words build live for the word only; the game's task adds
// its own members through the virtual factories. The grid may go before the
// task: the words then find and change nothing. A tile search whose
// "building" names no building finds no tile. Main thread only.

#include <memory>
#include <string_view>

#include "foundation/values/live_ref.h"
#include "game/park/base/task.h"
#include "game/park/grid/grid_tile.h"

class AcceptItemByFilters;
class AcceptTileByFilters;
class Building;
class CompositeFilter;
class Grid;
class GridItem;
class Person;

class GridTask : public Task {
public:
    // A widget owner is the task's variable "owner".
    GridTask(std::wstring_view name, TaskOwner* owner, Grid* grid);
    ~GridTask() override;

    // Built from the current step; the caller owns the result.
    // Prefer: the composite also prefers (by its members' votes).
    virtual std::unique_ptr<AcceptItemByFilters> MakeItemFilter(bool all, bool prefer);
    // Prefers as well whenever the step gives a point ("item", or "col" and
    // "row") to measure from.
    virtual std::unique_ptr<AcceptTileByFilters> MakeTileFilter(bool all, bool prefer);
    // One filter for each comma-separated text of the attribute ("type",
    // "category" or "action"), into the composite, or with group into an
    // any-mode composite of their own added to it.
    virtual void MakeItemTypeFilter(CompositeFilter& composite, std::wstring_view attribute, bool group, bool prefer);

    int HandleCustomCommand(const AnimationStep& step) override;

    // Null once the grid is gone.
    Grid* GetGrid() const;

protected:
    // The step's attribute readers of the words.
    // "match": all mode unless the step says anything but "all".
    bool MatchAll();
    // The first character of the value's text; 0 for empty text, `fallback`
    // when the step lacks the attribute.
    TileChar StepChar(std::wstring_view name, TileChar fallback);
    // The widget the attribute names (a widget value or a variable holding
    // one) when it is of class T; null otherwise.
    template <class T>
    T* StepWidget(std::wstring_view name) {
        if (!StepHasAttribute(name)) return nullptr;
        return dynamic_cast<T*>(FindObject(name));
    }
    // Writes the output variable the step names in `name`; with no value
    // (a null widget) the variable is removed. Nothing without the attribute.
    void SetOutput(std::wstring_view name, const PropertyValue& value);
    void SetOutputWidget(std::wstring_view name, const DynamicWidget* widget);
    void ClearOutput(std::wstring_view name);

private:
    // The words on the grid itself.
    int AddItem();
    int FindItem();
    int FindTile();
    int GetTile();
    int SetTile();
    // The words on the widget "id" names; 0 when none of its words matches.
    int ItemWord(std::wstring_view word, GridItem& item);
    int PersonWord(std::wstring_view word, Person& person);
    int BuildingWord(std::wstring_view word, Building& building);

    LiveRef<Grid> grid_;
};
