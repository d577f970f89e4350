#pragma once
// The walking tests' park: the grid bench with a catalogue of walkers and
// buildings with doors, read from text like the board's. A map is the
// level's tile text; 'S' is sidewalk, anything else blocks.

#include <fstream>
#include <string>

#include "game/park/buildings/building.h"
#include "game/park/people/person.h"
#include "tests/game/park/grid_test_support.h"

namespace testsupport {

// "kiosk": 2 x 2 with a door on each side ('1' above, '2' left, '3' right,
// '4' below); "stall": 1 x 1 with one door '2' below it.
inline constexpr std::string_view kWalkItems = R"(<items>
  <people>
    <person type="walker" path_speed="2.0" foot_offset="4"/>
    <person type="idler" path_speed="0"/>
  </people>
  <shops>
    <building type="kiosk">_1__ 2AA_ _AA3 __4_</building>
    <building type="stall">A_ 2_</building>
  </shops>
</items>)";

class WalkBench : public GridBench {
protected:
    WalkBench() {
        std::ofstream("properties/items.xml") << kWalkItems;
        items.Load();
    }

    template <class T>
    T* Place(TestGrid* grid, const wchar_t* type, TilePoint at, int orientation = 0) {
        return dynamic_cast<T*>(grid->CreateAndPlaceItem(type, at.col, at.row, orientation, L""));
    }

    ItemStats items;
};

}  // namespace testsupport
