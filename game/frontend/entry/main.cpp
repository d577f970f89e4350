// The game's entry point.

#include <string>
#include <vector>

#include "game/frontend/entry/my_game_app.h"

int main(int argc, char** argv) { return CreateAndRunApp(std::vector<std::string>(argv, argv + argc)); }
