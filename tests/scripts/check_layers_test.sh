#!/bin/sh
# The layering check on planted trees: each case is one include from one park
# room to another, and whether the check must refuse it.
set -u
check="$(dirname "$0")/../../scripts/check-layers.sh"
. "$(dirname "$0")/planted_cases.sh"

# case FROM-FILE INCLUDED-PATH EXPECTED(pass|refuse) [MESSAGE]
case_of() {
    rm -rf "$work/tree"
    mkdir -p "$work/tree/$(dirname "$1")"
    printf '#include "%s"\n' "$2" >"$work/tree/$1"
    out=$(sh "$check" "$work/tree" 2>&1)
    verdict "$1 -> $2" "$3" $? "$out" "${4:-}"
}

case_of game/park/parkgrid/a.cpp game/park/tasks/grid_task.h pass
case_of game/park/people/a.h game/park/buildings/kivra_building.h pass
case_of game/park/grid/a.cpp game/park/base/task.h pass
case_of game/park/grid/a.cpp game/park/grid/grid.h pass
case_of game/park/grid/a.cpp game/park/people/person.h refuse "from a higher room of the park"
case_of game/park/base/a.h game/park/grid/grid_item.h refuse "from a higher room of the park"
case_of game/park/buildings/a.cpp game/park/people/kivra_person.h refuse "from a higher room of the park"
case_of game/park/buildings/a.cpp game/park/tasks/item_filters.h refuse "from a higher room of the park"
case_of game/park/base/a.h game/park/display/park_display.h refuse "from a room beside its own"
case_of game/park/lobby/a.h game/park/base/task.h refuse "is no room of the park"
case_of game/park/base/a.h game/frontend/hud/tutorial.h refuse "from a higher layer"

[ $failures -eq 0 ] && echo "layering check cases: all passed"
exit $failures
