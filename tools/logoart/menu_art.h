#pragma once
// The front door's pictures: the title background, the game logo, the
// loading bar, buttons (three cels: normal, pointer over, pressed), dialog
// panels and a nine-piece frame, slider, check box and the game's cursors,
// written under FOLDER/images/menu/.

#include <string>

#include "tools/logoart/canvas.h"

namespace logoart {

bool DrawMenuArt(const std::string& root);

}  // namespace logoart
