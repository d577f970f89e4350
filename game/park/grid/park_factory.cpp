#include "game/park/grid/park_factory.h"

#include "game/park/base/task.h"
#include "game/park/grid/grid_item.h"

namespace {

ParkFactory& Slot() {
    static ParkFactory registered;
    return registered;
}

GridItem* MakeItem(ParkFactory::ItemMaker maker, std::wstring_view type) {
    return maker != nullptr ? maker(type) : new GridItem(type);
}

std::unique_ptr<Task> MakeTask(ParkFactory::TaskMaker maker, std::wstring_view name, TaskOwner* owner, Grid* grid) {
    return maker != nullptr ? maker(name, owner, grid) : std::make_unique<Task>(name, owner);
}

}  // namespace

const ParkFactory& ParkFactory::Registered() { return Slot(); }
void ParkFactory::Register(const ParkFactory& factory) { Slot() = factory; }

GridItem* ParkFactory::MakePerson(std::wstring_view type) const { return MakeItem(person, type); }
GridItem* ParkFactory::MakeBuilding(std::wstring_view type) const { return MakeItem(building, type); }

std::unique_ptr<Task> ParkFactory::MakeGridTask(std::wstring_view name, TaskOwner* owner, Grid* grid) const {
    return MakeTask(gridTask, name, owner, grid);
}

std::unique_ptr<Task> ParkFactory::MakeParkTask(std::wstring_view name, TaskOwner* owner, Grid* grid) const {
    return MakeTask(parkTask, name, owner, grid);
}
