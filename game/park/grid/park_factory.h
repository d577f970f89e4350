#pragma once
// ParkFactory: how the grid and the objects standing on it make what lives
// in the rooms above them. A plain grid fills a level's person and building
// records with persons and buildings, and the grid, its items and the game's
// buildings and visitors each make the task their scripts run in; all of
// those are defined above the grid, so the park registers how to make each,
// once, before it builds a grid (the park grid does so as it is made).
//
// Until then a maker that is asked makes what its base class would: a plain
// grid item, a task without grid words. Main thread only.

#include <memory>
#include <string_view>

class Grid;
class GridItem;
class Task;
class TaskOwner;

struct ParkFactory {
    using ItemMaker = GridItem* (*)(std::wstring_view type);
    using TaskMaker = std::unique_ptr<Task> (*)(std::wstring_view name, TaskOwner* owner, Grid* grid);

    // A plain grid's item for a person's or a building's record.
    ItemMaker person = nullptr;
    ItemMaker building = nullptr;
    // The grid's task, with the words of grid behaviour, for the grid and
    // its items; the park's, which adds the visitors' words, for the game's
    // buildings and visitors.
    TaskMaker gridTask = nullptr;
    TaskMaker parkTask = nullptr;

    static const ParkFactory& Registered();
    // Replaces what was registered.
    static void Register(const ParkFactory& factory);

    GridItem* MakePerson(std::wstring_view type) const;
    GridItem* MakeBuilding(std::wstring_view type) const;
    std::unique_ptr<Task> MakeGridTask(std::wstring_view name, TaskOwner* owner, Grid* grid) const;
    std::unique_ptr<Task> MakeParkTask(std::wstring_view name, TaskOwner* owner, Grid* grid) const;
};
