#pragma once
// Where the windowed main window goes on the desktop's work area.
//
// Promises: a remembered position is kept at least 4 pixels inside the work
// area; without one (-1) the window is centred horizontally and placed 38.2 %
// down the free vertical space. A game needs 10 pixels of desktop to spare in
// each direction for a window; less means full screen, and a desktop smaller
// than the game cannot show it at all.

#include "platform/window/window.h"

plat::WindowRect PlaceMainWindow(const plat::WindowRect& workArea, int outerWidth, int outerHeight, int preferredX,
                                 int preferredY);

enum class DesktopFit { kWindowed, kFullscreenOnly, kTooSmall };
DesktopFit CheckDesktopSize(int desktopWidth, int desktopHeight, int width, int height);

// The mouse speed for a player who never chose one: the system's, quickened
// on a desktop much wider than the game, at most 20.
int InitialMouseSpeed(int systemSpeed, int desktopWidth, int gameWidth);
