#pragma once
// The park's makers for the rooms below it: persons, buildings and grid
// tasks for a plain grid and its items, the park's own task for the game's
// buildings and visitors. Registered by every park grid as it is made, and by
// whoever builds a plain grid with persons, buildings or tasks before one.

void RegisterParkFactory();
