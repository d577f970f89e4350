#pragma once
// FrontGate: the building of type "front_gate" through which visitors enter
// the park. It starts closed (darkened); the player opens it by buying its
// upgrade "open", whose price every gate of the process shares: the first
// gate made takes it from the type's upgrade, each purchase while two or
// more gates exist raises it by the upgrade's increments, and it falls back
// to 0 once no gate is left. Opening brightens the gate, lays sidewalk over
// both doors and spawn tiles beyond the entry door, and gives the park two
// spawn spots.
//
// A visitor enters the gate as any building (AddVisitor); one standing on
// the gate's '1' door pays the park's entry fee, read at that moment, and is
// counted in the week's and all-time statistics. Every entry plays
// "front_gate_animate".
//
// Promises: restoring a saved open gate (its upgrade applied without a
// purchase) opens it without raising the price; tiles and spawn spots that
// would fall outside the grid are left out; whatever the gate's orientation,
// the spawn tiles and the sidewalk beside them lie outside its '1' door and
// the far sidewalk at its '2' door. The pointer finds the gate anywhere on
// its picture, the ground seen under its arch and between its parts too.
// Main thread only.

#include <cstdint>

#include "game/park/buildings/kivra_building.h"

class FrontGate : public KivraBuilding, public OpenableGate {
public:
    explicit FrontGate(bool open = false);
    ~FrontGate() override;

    bool IsOpen() const override { return open_; }
    // A gate is fully upgraded exactly when it is open.
    bool IsFullyUpgraded() const override { return open_; }
    virtual void OpenGate();

    // The shared opening price, and how many gates are alive.
    static int32_t MoneyToOpen();
    static int32_t HeartsToOpen();
    static int32_t GateCount();

    void AddedToManager(WidgetManager* manager) override;
    PropertyValue GetProperty(std::wstring_view name) override;
    void AddVisitor(BuildingVisitor* visitor) override;
    void ApplyStatModifier(std::wstring_view name, int32_t delta) override;
    // "open" is paid at the shared price, whatever is asked.
    bool PurchaseImprovement(const IMPROVEMENT_STATS& record, int32_t coins, int32_t hearts) override;
    void UpdateReachability() override {}
    bool HitTest(float x, float y) override;

private:
    void LayEntrance();

    bool open_;
};
