#pragma once
// OverlayAnimation: a script widget over the whole screen, drawn above its
// ordinary siblings (priority and overlay threshold 2^30), whatever its
// parent: joining a tree moves it so that its origin is the screen's.

#include <string_view>

#include "widgets/script/animation_widget.h"

class OverlayAnimation : public AnimationWidget {
public:
    static constexpr int kOverlayPriority = 1073741824;

    explicit OverlayAnimation(std::wstring_view animation);

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
};
