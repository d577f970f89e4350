#pragma once
// RollerCoaster: the building of the coaster types. It carries a child
// animation of its cars ("roller_coaster_cars", told the coaster's type),
// and the scene scripts drive how fast the coaster's script clock runs
// through three actions: "accelerate" by an amount over the fade time,
// "set_speed" at once, and "set_fade_time" (a positive time only).
//
// Promises: one cars widget per coaster, however often it enters the tree;
// an action it does not know changes nothing and goes nowhere else; a
// parameter that is no number reads as 0. Main thread only.

#include <string_view>

#include "foundation/values/live_ref.h"
#include "game/park/buildings/kivra_building.h"

class RollerCoaster : public KivraBuilding {
public:
    static constexpr float kDefaultFadeTime = 100.0f;

    explicit RollerCoaster(std::wstring_view type);
    ~RollerCoaster() override;

    void AddedToManager(WidgetManager* manager) override;
    void DoAction(std::wstring_view action, std::wstring_view parameter, int number) override;

    float Speed() const { return speed_; }
    float FadeTime() const { return fadeTime_; }
    AnimationWidget* Cars() const { return cars_.Get(); }

private:
    float speed_;
    float fadeTime_ = kDefaultFadeTime;
    LiveRef<AnimationWidget> cars_;
};
