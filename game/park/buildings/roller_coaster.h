#pragma once
// RollerCoaster: the building of the coaster types. It carries a child
// animation of its cars ("roller_coaster_cars", told the coaster's type),
// and the scene scripts drive how fast the coaster's script clock runs
// through three actions: "accelerate" by an amount over the fade time,
// "set_speed" at once, and "set_fade_time" (a positive time only).
//
// That clock ("timer") paces the cars: their motion and frames run at its
// rate (below 0 they stand still), so the scripts speed the train up on a
// drop and slow it on a lift. The cars' script is told "mirrored" (whether
// the coaster's picture is drawn mirrored, as it is in two orientations) so
// it can keep the train on the drawn track; when that changes, the ride
// starts again.
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
    void UpdateFraction(float x) override;

    float Speed() const { return speed_; }
    float FadeTime() const { return fadeTime_; }
    AnimationWidget* Cars() const { return cars_.Get(); }

private:
    // The cars' clock rate and "mirrored", as the coaster now stands.
    void KeepCarsInStep();

    float speed_;
    float fadeTime_ = kDefaultFadeTime;
    LiveRef<AnimationWidget> cars_;
};
