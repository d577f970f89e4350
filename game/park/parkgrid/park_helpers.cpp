#include "game/park/parkgrid/park_helpers.h"

#include "foundation/expression/constants_map.h"
#include "rendering/image/image.h"
#include "widgets/dynamic/dynamic_widget.h"

FRect GetCelBox(const DynamicWidget& widget) {
    FRect box;
    if (Image* image = widget.GetImage(); image != nullptr && image->GetCelBox(widget.GetFrame(), &box)) return box;
    return {0.0f, 0.0f, static_cast<float>(widget.GetWidth()), static_cast<float>(widget.GetHeight())};
}

float GetCelBoxLeft(const DynamicWidget& widget) { return GetCelBox(widget).x; }
float GetCelBoxTop(const DynamicWidget& widget) { return GetCelBox(widget).y; }
float GetCelBoxWidth(const DynamicWidget& widget) { return GetCelBox(widget).w; }
float GetCelBoxHeight(const DynamicWidget& widget) { return GetCelBox(widget).h; }

float GetCelBoxCentreX(const DynamicWidget& widget) {
    const FRect box = GetCelBox(widget);
    return box.x + box.w * 0.5f;
}

float GetCelBoxCentreY(const DynamicWidget& widget) {
    const FRect box = GetCelBox(widget);
    return box.y + box.h * 0.5f;
}

bool IsScriptVariableDefined(std::wstring_view name) { return ConstantsMap().find(name) != ConstantsMap().end(); }

std::wstring FormatCountedNames(const std::map<std::wstring, int>& counts) {
    std::wstring text;
    for (const auto& [name, count] : counts) {
        if (!text.empty()) text += L'\n';
        text += name;
        if (count != 1) text += L" x" + std::to_wstring(count);
    }
    return text;
}
