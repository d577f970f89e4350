#include "rendering/device/display_layout.h"

#include <cstdio>

namespace {

bool SameRatio(const Ratio& a, const Ratio& b) {
    return a.numerator_ == b.numerator_ && a.denominator_ == b.denominator_;
}

std::string SizeLine(const char* label, int width, int height, const Ratio& ratio) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s%4lu x %4lu [%2d:%2d]\n", label, static_cast<unsigned long>(width),
                  static_cast<unsigned long>(height), ratio.numerator_, ratio.denominator_);
    return buf;
}

// Fits the draw buffer into the display keeping the shape it has on the
// desktop, in integer arithmetic.
Rect FitIntoDisplay(const DisplayLayoutInput& in) {
    const Rect whole(0, 0, in.display.width, in.display.height);
    if (in.desktop.width <= 0 || in.desktop.height <= 0 || in.screenWidth <= 0 || in.screenHeight <= 0) return whole;
    const Ratio d(in.desktop.width, in.desktop.height);
    const Ratio a(in.screenWidth, in.screenHeight);
    const long long dn = d.numerator_, dd = d.denominator_, an = a.numerator_, ad = a.denominator_;
    const long long sw = in.screenWidth, sh = in.screenHeight;
    const long long w = in.display.width, h = in.display.height;
    if (dd * an / ad < dn || dn * ad / dd > an) {
        const long long width = sw * h / sh;
        return Rect(static_cast<int>((w - width) / 2), 0, static_cast<int>(width), static_cast<int>(h));
    }
    if (dn * ad / dd < an || (dn * ad / dd == an && dd * an / ad > dn)) {
        const long long height = sh * w / sw;
        return Rect(0, static_cast<int>((h - height) / 2), static_cast<int>(w), static_cast<int>(height));
    }
    return whole;
}

}  // namespace

DisplaySize ChooseFullscreenSize(const std::vector<plat::DisplayMode>& modes, DisplaySize desktop, unsigned refreshRate,
                                 bool anyRefresh) {
    const Ratio desktopRatio(desktop.width, desktop.height);
    DisplaySize display, best;
    for (const plat::DisplayMode& m : modes) {
        if (!anyRefresh && m.refreshRate != refreshRate) continue;
        const int w = static_cast<int>(m.width), h = static_cast<int>(m.height);
        if (w == desktop.width && h == desktop.height) {
            display = {w, h};
            break;
        }
        if (SameRatio(Ratio(w, h), desktopRatio) && w > display.width) display = {w, h};
        if (w >= best.width && h >= best.height) best = {w, h};
    }
    if (display.width == 0) display = best;
    // No mode at this refresh rate at all: the desktop's own size is the one
    // mode the display is known to show.
    if (display.width == 0 || display.height == 0) display = desktop;
    return display;
}

RefreshChoice ClampRefreshRate(unsigned rate) {
    RefreshChoice c;
    c.rate = rate;
    if (rate < 60) {
        c.rate = 60;
        c.clamped = true;
    } else if (rate > 100) {
        c.rate = 100;
        c.clamped = true;
    }
    c.frameIntervalMs = 1000 / c.rate;
    return c;
}

TextureLimits ComputeTextureLimits(const plat::DeviceCaps& caps) {
    TextureLimits t;
    t.powerOfTwoOnly = caps.texturePow2Only && !caps.textureNonPow2Conditional;
    t.maxWidth = static_cast<int>(caps.maxTextureWidth);
    t.maxHeight = static_cast<int>(caps.maxTextureHeight);
    t.minWidth = 2;
    t.minHeight = 2;
    // A device without a stated limit gets the conservative 64 x 64, also
    // when the reduction below would have taken it under zero.
    if (t.maxWidth > 0 && (t.maxWidth <= 2048 || t.maxHeight <= 2048) && !t.powerOfTwoOnly) {
        t.maxWidth -= 2;
        t.maxHeight -= 2;
    }
    t.maxAspectRatio = static_cast<int>(caps.maxTextureAspectRatio);
    if (t.maxWidth <= 0) {
        t.maxWidth = t.maxHeight = 64;
        t.minWidth = t.minHeight = 64;
        t.maxAspectRatio = 1;
    } else if (t.maxAspectRatio == 0) {
        t.maxAspectRatio = 65536;
    }
    return t;
}

DisplayLayout ComputeDisplayLayout(const DisplayLayoutInput& in) {
    DisplayLayout out;
    const Ratio requested(in.requested.width, in.requested.height);
    out.reportLines.push_back(SizeLine("Application requests ", in.requested.width, in.requested.height, requested));
    out.source = Rect(0, 0, in.screenWidth, in.screenHeight);
    out.presentation = Rect(0, 0, in.display.width, in.display.height);
    const Ratio display(in.display.width, in.display.height);
    if (in.windowed) {
        out.reportLines.push_back(SizeLine("Window is            ", in.display.width, in.display.height, display));
    } else {
        out.reportLines.push_back(SizeLine("Desktop is           ", in.desktop.width, in.desktop.height,
                                           Ratio(in.desktop.width, in.desktop.height)));
        out.reportLines.push_back(SizeLine("Display is           ", in.display.width, in.display.height, display));
        if (!in.stretch) out.presentation = FitIntoDisplay(in);
    }
    out.reportLines.push_back(SizeLine("Draw buffer is       ", in.screenWidth, in.screenHeight, requested));
    out.stretchingNeeded = out.presentation.w != in.screenWidth || out.presentation.h != in.screenHeight;
    out.bordered = out.presentation.NotEquals(out.source);
    return out;
}
