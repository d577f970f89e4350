#include "game/park/parkgrid/park_registration.h"

#include <memory>

#include "game/park/buildings/building.h"
#include "game/park/grid/park_factory.h"
#include "game/park/people/person.h"
#include "game/park/tasks/grid_task.h"
#include "game/park/tasks/kivra_grid_task.h"

void RegisterParkFactory() {
    ParkFactory factory;
    factory.person = [](std::wstring_view type) -> GridItem* { return new Person(type); };
    factory.building = [](std::wstring_view type) -> GridItem* { return new Building(type); };
    factory.gridTask = [](std::wstring_view name, TaskOwner* owner, Grid* grid) -> std::unique_ptr<Task> {
        return std::make_unique<GridTask>(name, owner, grid);
    };
    factory.parkTask = [](std::wstring_view name, TaskOwner* owner, Grid* grid) -> std::unique_ptr<Task> {
        return std::make_unique<KivraGridTask>(name, owner, grid);
    };
    ParkFactory::Register(factory);
}
