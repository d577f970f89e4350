#pragma once
// Small helpers the park's parts share: the visible box of a widget's
// current cel, named counts as text, and whether a script variable exists.

#include <map>
#include <string>
#include <string_view>

#include "foundation/values/rect.h"

class DynamicWidget;

// The visible box of the widget's current cel, in its own pixels: the box
// its image carries for the cel, else (0, 0) and the widget's size.
FRect GetCelBox(const DynamicWidget& widget);
float GetCelBoxLeft(const DynamicWidget& widget);
float GetCelBoxTop(const DynamicWidget& widget);
float GetCelBoxWidth(const DynamicWidget& widget);
float GetCelBoxHeight(const DynamicWidget& widget);
float GetCelBoxCentreX(const DynamicWidget& widget);
float GetCelBoxCentreY(const DynamicWidget& widget);

// The name is in the global script-variable map.
bool IsScriptVariableDefined(std::wstring_view name);

// One line per entry in map order: the name, or "name xN" for a count N
// other than 1; lines joined by line feeds.
std::wstring FormatCountedNames(const std::map<std::wstring, int>& counts);
