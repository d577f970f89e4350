#pragma once
// The visitors: per visitor type two rows of walking cels (walking away to
// the upper right, then towards the lower right; the grid mirrors them for
// the other two directions).

#include <string>

#include "tools/parkart/iso.h"

namespace parkart {

bool DrawVisitors(const std::string& root);

// One walking cel of a visitor type (0 or 1), facing away (row 0) or towards the viewer (row 1).
Canvas VisitorCel(int kind, int row, int frame);

}  // namespace parkart
