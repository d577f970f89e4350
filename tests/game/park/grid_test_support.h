#pragma once
// The grid's tests on the park bench, with the board scene: a grid made on a
// built level and entered into the bench's widget manager.

#include <gtest/gtest.h>

#include "tests/game/park/board_scene.h"
#include "tests/game/park/park_bench.h"

namespace testsupport {

class GridBench : public ParkBench, public BoardScene {
protected:
    ~GridBench() override {
        const bool inTree = made_ && made_->GetParent() != nullptr;
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
        if (!inTree) delete made_;
    }

    // Makes the level current and builds a grid on it (not yet in the tree).
    template <class Builder>
    TestGrid* MakeGrid(Builder&& builder) {
        Play(builder);
        made_ = new TestGrid();
        return made_;
    }
    template <class Builder>
    TestGrid* EnterGrid(Builder&& builder) {
        TestGrid* grid = MakeGrid(builder);
        grid->SetDeleteOnRemoval(false);  // the tests take it out and put it back
        mgr.AddWidget(grid);
        return grid;
    }

private:
    TestGrid* made_ = nullptr;
};

}  // namespace testsupport
