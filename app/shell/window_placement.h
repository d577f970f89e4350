#pragma once
// Where the windowed main window goes on the desktop's work area.
//
// Promises: a remembered position is kept at least 4 pixels inside the work
// area; without one (-1) the window is centred horizontally and placed 38.2 %
// down the free vertical space.

#include "platform/window/window.h"

plat::WindowRect PlaceMainWindow(const plat::WindowRect& workArea, int outerWidth, int outerHeight, int preferredX,
                                 int preferredY);
