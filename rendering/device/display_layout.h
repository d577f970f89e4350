#pragma once
// The arithmetic of choosing a display: the full-screen mode search, the
// refresh-rate clamp, the texture limits a device's capabilities allow, and
// the presentation rectangle that fits the draw buffer into the display
// (letterboxed, pillarboxed or stretched) with the report lines that go with
// it. Pure functions of their arguments; D3DInterface applies the results.

#include <string>
#include <vector>

#include "foundation/values/ratio.h"
#include "foundation/values/rect.h"
#include "platform/gfx/gfx_types.h"

struct DisplaySize {
    int width = 0, height = 0;
};

// The full-screen mode: among `modes` at `refreshRate` (all of them when
// `anyRefresh`), the desktop's size if offered, else the widest with the
// desktop's shape, else the largest. When no mode qualifies the desktop size
// is used, so the display never ends up 0 x 0.
DisplaySize ChooseFullscreenSize(const std::vector<plat::DisplayMode>& modes, DisplaySize desktop, unsigned refreshRate,
                                 bool anyRefresh);

struct RefreshChoice {
    unsigned rate = 60;
    unsigned frameIntervalMs = 16;
    bool clamped = false;
};
// Clamps to 60..100 Hz; the frame interval is 1000 / rate.
RefreshChoice ClampRefreshRate(unsigned rate);

struct TextureLimits {
    bool powerOfTwoOnly = false;
    int maxWidth = 64, maxHeight = 64;
    int minWidth = 64, minHeight = 64;
    int maxAspectRatio = 1;
};
TextureLimits ComputeTextureLimits(const plat::DeviceCaps& caps);

struct DisplayLayoutInput {
    bool windowed = true;
    bool stretch = false;
    DisplaySize requested, desktop, display;
    int screenWidth = 0, screenHeight = 0;  // the draw buffers' size
};

struct DisplayLayout {
    Rect source;        // always 0, 0, screen width, screen height
    Rect presentation;  // in back-buffer pixels
    bool stretchingNeeded = false;
    bool bordered = false;
    std::vector<std::string> reportLines;  // each ends in a line feed
};
DisplayLayout ComputeDisplayLayout(const DisplayLayoutInput& in);
