#pragma once
// Small helpers the word families share: where a container's origin lies on
// the screen, fonts named by an attribute and the alignment keywords. Internal to
// widgets/script/. Main thread only.

#include <cstdint>
#include <string>
#include <string_view>

#include "widgets/tree/widget_manager.h"

class AnimationWidget;
struct Color;
class Font;
class WidgetContainer;

// The screen position of the container's local origin (0, 0).
LocalPoint ScreenOrigin(const WidgetContainer& container);

// True when `inner` is `outer` or lies anywhere beneath it.
bool IsWithin(const WidgetContainer* inner, const WidgetContainer* outer);

// The font the evaluated attribute names; null when none has that name.
Font* StepAttributeFont(AnimationWidget& widget, std::wstring_view name);

// "center" 0, the far keyword ("right" or "bottom") 1, anything else -1.
int SignedAlignCode(std::wstring_view keyword, std::wstring_view far);
// The far keyword 2, "center" 1, anything else 0.
int AlignFactor(std::wstring_view keyword, std::wstring_view far);

// The colour of the step's "red", "green" and "blue" fractions (0..1, absent
// `fallback`) and "alpha" (absent 1), each times 255 truncated, within 0..255.
Color ColorFromFractions(AnimationWidget& widget, float fallback);
