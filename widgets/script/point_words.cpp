// Words that find random points on a widget: "get-point" stores one in
// variables, "pick" scatters child animations over the points it finds.
#include <algorithm>
#include <cmath>

#include "foundation/system/random.h"
#include "foundation/values/saturate.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/word_families.h"
#include "widgets/script/word_support.h"

namespace {

// Each try is one hit test; a widget that no point hits would otherwise keep
// a huge count running for minutes. Past this many tries a point is as
// good as not there. Every try and every widget made is also charged to
// the run, which stops the word early once the run has done enough.
constexpr int kMostTries = 10000;
// Each point of "pick" makes a widget.
constexpr int kMostPoints = 1000;

struct Point {
    int x = 0;
    int y = 0;
};

// Up to `tries` random points of the widget's local rectangle, the first
// that its hit test accepts.
bool FindPoint(DynamicWidget& object, int tries, Point& found) {
    const Rect r = object.GetLocalRect();
    if (r.w <= 0 || r.h <= 0) return false;
    tries = std::min(tries, kMostTries);
    for (int i = 0; i < tries && AnimationWidget::SpendWork(1); ++i) {
        const int px = r.x + RandomInt(r.w);
        const int py = r.y + RandomInt(r.h);
        if (object.HitTest(static_cast<float>(px), static_cast<float>(py))) {
            found = {px, py};
            return true;
        }
    }
    return false;
}

WordResult GetPoint(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    Point point;
    const bool found = FindPoint(*object, widget.StepAttributeIntOr(L"tries", 100), point);
    if (found) {
        widget.SetVariable(widget.StepAttributeText(L"x"), PropertyValue(point.x));
        widget.SetVariable(widget.StepAttributeText(L"y"), PropertyValue(point.y));
    }
    if (widget.StepHasAttribute(L"found")) widget.SetVariable(widget.StepAttributeText(L"found"), PropertyValue(found));
    return WordResult::kNext;
}

WordResult Pick(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    WidgetContainer* target = object;
    LocalPoint offset{0.0f, 0.0f};
    if (widget.StepHasAttribute(L"target")) {
        DynamicWidget* named = widget.FindObject(L"target");
        if (!named) return WordResult::kNext;
        target = named;
        const LocalPoint from = ScreenOrigin(*object), onto = ScreenOrigin(*named);
        offset = {from.x - onto.x, from.y - onto.y};
    }
    const std::wstring animation = widget.StepAttributeString(L"animation");
    const int points = std::min(widget.StepAttributeIntOr(L"points", 1), kMostPoints);
    const int tries = widget.StepAttributeIntOr(L"tries", 100);
    for (int i = 0; i < points && AnimationWidget::SpendWork(AnimationWidget::kWidgetWork); ++i) {
        Point point;
        if (!FindPoint(*object, tries, point)) continue;
        const int x = SaturateCast(point.x + std::trunc(static_cast<double>(offset.x)));
        const int y = SaturateCast(point.y + std::trunc(static_cast<double>(offset.y)));
        target->AddWidget(new AnimationWidget(animation, x, y, true));
    }
    return WordResult::kNext;
}

}  // namespace

void RegisterPointWords(ScriptWords& words) {
    words.Register(WordGroup::kObject, L"get-point", GetPoint);
    words.Register(WordGroup::kObject, L"pick", Pick);
}
