#pragma once
// KivraGridTask: the park's grid task, made by the park grid and every park
// building and visitor. It keeps every word of GridTask and adds the park's:
// item searches on behalf of a visitor (the step's "id") take only buildings
// that suit it, tile searches may be held to the spawn spots ("spawn_spot"),
// and the words "enter-building", "leave-building" and "set" move visitors
// in and out of buildings and change money, hearts, a visitor's energy and
// its leap.
//
// "enter-building" and "leave-building" act, then answer what the grid
// task answers for the same step; a person or building that does not
// resolve makes them do nothing. "set" without "id" is always taken here.
// Money and hearts change through the current player, so the statistics
// and the display's increase callbacks see every change; without a player
// nothing changes. Main thread only.

#include "game/park/tasks/grid_task.h"

class KivraGridTask : public GridTask {
public:
    using GridTask::GridTask;

    std::unique_ptr<AcceptItemByFilters> MakeItemFilter(bool all, bool prefer) override;
    std::unique_ptr<AcceptTileByFilters> MakeTileFilter(bool all, bool prefer) override;
    int HandleCustomCommand(const AnimationStep& step) override;

private:
    bool OnSpawnSpots();
    int EnterBuilding(const AnimationStep& step);
    int LeaveBuilding(const AnimationStep& step);
    // 0 when the step is not taken here.
    int SetPlayerResource();
    int SetVisitorProperty();
};
