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

DesktopFit CheckDesktopSize(int desktopWidth, int desktopHeight, int width, int height) {
    if (desktopWidth < width || desktopHeight < height) return DesktopFit::kTooSmall;
    if (desktopWidth - 10 <= width || desktopHeight - 10 <= height) return DesktopFit::kFullscreenOnly;
    return DesktopFit::kWindowed;
}

int InitialMouseSpeed(int systemSpeed, int desktopWidth, int gameWidth) {
    if (gameWidth <= 0) return systemSpeed;
    const double ratio = static_cast<double>(desktopWidth) / gameWidth;
    if (ratio <= 1.2) return systemSpeed;
    return std::min(20, static_cast<int>((ratio - 1.2) * 5.0 + systemSpeed));
}
