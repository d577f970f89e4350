// The roller coaster: its cars and the three actions that set its pace.
#include "game/park/buildings/roller_coaster.h"

#include "foundation/system/string_utils.h"

RollerCoaster::RollerCoaster(std::wstring_view type) : KivraBuilding(type), speed_(timer) {}

RollerCoaster::~RollerCoaster() = default;

void RollerCoaster::AddedToManager(WidgetManager* manager) {
    KivraBuilding::AddedToManager(manager);
    if (cars_) return;
    auto* cars = new AnimationWidget(0, 0, nullptr, 1.0f);
    cars_ = cars;
    AddWidget(cars);
    cars->SetVariable(L"type", PropertyValue::FromWString(GetType()));
    cars->RunAnimationNamed(L"roller_coaster_cars");
    Watch(cars);
}

void RollerCoaster::DoAction(std::wstring_view action, std::wstring_view parameter, int) {
    const bool known = action == L"accelerate" || action == L"set_speed" || action == L"set_fade_time";
    if (!known) return;
    // A parameter that is no number reads as 0, as the scripts expect.
    double number = 0.0;
    WStringToDouble(parameter, number);
    const auto value = static_cast<float>(number);
    if (action == L"accelerate") {
        speed_ += value;
        StopChanges();
        TweenProperty(L"", L"timer", speed_, fadeTime_, L"linear", false);
    } else if (action == L"set_speed") {
        speed_ = value;
        StopChanges();
        SetFloatProperty(L"timer", value, false);
    } else if (value > 0.0f) {
        fadeTime_ = value;
    }
}
