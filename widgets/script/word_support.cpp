#include "widgets/script/word_support.h"

#include <algorithm>

#include "foundation/values/color.h"
#include "foundation/values/saturate.h"
#include "rendering/font/fonts_xml.h"
#include "widgets/script/animation_widget.h"

LocalPoint ScreenOrigin(const WidgetContainer& container) {
    const FRect r = container.MapRectToScreen(FRect(0.0f, 0.0f, 1.0f, 1.0f));
    return {r.x, r.y};
}

bool IsWithin(const WidgetContainer* inner, const WidgetContainer* outer) {
    for (; inner; inner = inner->GetParent())
        if (inner == outer) return true;
    return false;
}

Font* StepAttributeFont(AnimationWidget& widget, std::wstring_view name) {
    return GetFontMap().Find(widget.StepAttributeString(name));
}

int SignedAlignCode(std::wstring_view keyword, std::wstring_view far) {
    if (keyword == L"center") return 0;
    return keyword == far ? 1 : -1;
}

int AlignFactor(std::wstring_view keyword, std::wstring_view far) {
    if (keyword == far) return 2;
    return keyword == L"center" ? 1 : 0;
}

namespace {

int Channel(AnimationWidget& widget, std::wstring_view name, float fallback) {
    return std::clamp(SaturateCast(widget.StepAttributeFloatOr(name, fallback) * 255.0f), 0, 255);
}

}  // namespace

Color ColorFromFractions(AnimationWidget& widget, float fallback) {
    return Color::FromRGBA(Channel(widget, L"red", fallback), Channel(widget, L"green", fallback),
                           Channel(widget, L"blue", fallback), Channel(widget, L"alpha", 1.0f));
}
