#include "app/shell/window_placement.h"

#include <algorithm>

plat::WindowRect PlaceMainWindow(const plat::WindowRect& work, int outerWidth, int outerHeight, int preferredX,
                                 int preferredY) {
    plat::WindowRect rect{0, 0, outerWidth, outerHeight};
    if (preferredX == -1) {
        rect.x = work.x + (work.width - outerWidth) / 2;
        rect.y = work.y + static_cast<int>(0.382 * (work.height - outerHeight));
        return rect;
    }
    const int right = work.x + work.width;
    const int bottom = work.y + work.height;
    rect.x = std::max(preferredX, work.x + 4);
    rect.y = std::max(preferredY, work.y + 4);
    if (rect.x + outerWidth >= right - 4) rect.x = right - 4 - outerWidth;
    if (rect.y + outerHeight >= bottom - 4) rect.y = bottom - 4 - outerHeight;
    return rect;
}
