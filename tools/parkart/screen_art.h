#pragma once
// Whole screens under images/levels/: the level select map with a sign per
// level, the nightfall cover and each level's splash for the beat-level screen.

#include <string>

namespace parkart {

bool DrawScreens(const std::string& root);

}  // namespace parkart
