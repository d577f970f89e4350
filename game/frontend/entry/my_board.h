#pragma once
// MyBoard: the game's play board. It opens the main menu as soon as it
// joins the widget tree, and the play path from there: the introduction the
// first time a player plays, afterwards the map of the parks.
// Main thread only.

#include "widgets/screens/board.h"

class MyBoard : public Board {
public:
    void ShowMainMenu() override;
    void ShowPlayMenu() override;
};
