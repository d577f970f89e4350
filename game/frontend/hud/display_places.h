#pragma once
// Where the display puts a box that must leave something in sight (the zone
// hint's rings, the display's own buttons under a building's card): among
// places in order of preference. Internal to hud/.

#include <cstddef>
#include <functional>
#include <span>

#include "foundation/system/service.h"
#include "foundation/values/rect.h"
#include "rendering/device/device_host.h"
#include "widgets/tree/widget.h"

namespace hud_places {

// A rectangle of `widget`'s in the pixels of `space`, by its corners: the
// maps take points, not sizes.
inline FRect MapBetween(const Widget& widget, const Widget& space, const FRect& r) {
    const FRect from = space.MapRectFromScreen(widget.MapRectToScreen({r.x, r.y, 1.0f, 1.0f}));
    const FRect to = space.MapRectFromScreen(widget.MapRectToScreen({r.x + r.w, r.y + r.h, 1.0f, 1.0f}));
    return {from.x, from.y, to.x - from.x, to.y - from.y};
}

// A rectangle of the screen in the pixels of `space`.
inline FRect ScreenRectIn(const Widget& space, const FRect& r) {
    const FRect from = space.MapRectFromScreen({r.x, r.y, 1.0f, 1.0f});
    const FRect to = space.MapRectFromScreen({r.x + r.w, r.y + r.h, 1.0f, 1.0f});
    return {from.x, from.y, to.x - from.x, to.y - from.y};
}

// The whole screen in the pixels of `space`.
inline FRect ScreenIn(const Widget& space) {
    const DeviceHost& host = Service<DeviceHost>::Get();
    return ScreenRectIn(space,
                        {0.0f, 0.0f, static_cast<float>(host.ScreenWidth()), static_cast<float>(host.ScreenHeight())});
}

inline float Overlap(const FRect& a, const FRect& b) {
    const FRect both = a.Intersection(b);
    return both.w * both.h;
}

// Of the places, the first that `covered` finds clear, else the one it
// finds least covered (the earlier of equals); 0 when there are none.
inline size_t ClearestPlace(std::span<const FRect> places, const std::function<float(const FRect&)>& covered) {
    size_t best = 0;
    float least = -1.0f;
    for (size_t i = 0; i < places.size(); ++i) {
        const float area = covered(places[i]);
        if (least < 0.0f || area < least) {
            best = i;
            least = area;
        }
        if (area == 0.0f) break;
    }
    return best;
}

}  // namespace hud_places
