// The roller coaster: its cars and the three actions that set its pace.
#include "game/park/buildings/roller_coaster.h"

#include <algorithm>

#include "foundation/system/string_utils.h"

namespace {

constexpr std::wstring_view kCarsScript = L"roller_coaster_cars";

}  // namespace

RollerCoaster::RollerCoaster(std::wstring_view type) : KivraBuilding(type), speed_(timer) {}

RollerCoaster::~RollerCoaster() = default;

void RollerCoaster::AddedToManager(WidgetManager* manager) {
    KivraBuilding::AddedToManager(manager);
    if (cars_) return;
    auto* cars = new AnimationWidget(0, 0, nullptr, 1.0f);
    cars_ = cars;
    AddWidget(cars);
    cars->SetVariable(L"type", PropertyValue::FromWString(GetType()));
    // Paced and told its view from the coaster's first update on, once the
    // coaster has settled how it is drawn.
    cars->RunAnimationNamed(kCarsScript);
    Watch(cars);
}

void RollerCoaster::UpdateFraction(float x) {
    // First the coaster's own changes (an "accelerate" under way), so the
    // cars, updated after their parent, run at this frame's pace.
    KivraBuilding::UpdateFraction(x);
    KeepCarsInStep();
}

void RollerCoaster::KeepCarsInStep() {
    AnimationWidget* cars = cars_.Get();
    if (cars == nullptr) return;
    // A clock running backwards would unwind the train's moves.
    cars->SetClockRate(std::max(timer, 0.0f));
    const bool mirrored = flipX_ < 0;
    const PropertyValue& told = cars->GetLocalVariable(L"mirrored");
    if (told.Is(PropertyValue::Tag::Bool) && told.ToBool() == mirrored) return;
    const bool restart = told.Is(PropertyValue::Tag::Bool);
    cars->SetVariable(L"mirrored", PropertyValue::FromBool(mirrored));
    // The train rides the track as drawn: turned into the other view, the
    // coaster starts the ride again from its station.
    if (restart) cars->PlayAnimationNamed(kCarsScript);
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
