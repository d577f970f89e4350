#pragma once
// KivraCombo: one formed combination, three buildings that lie in each
// other's zones and together satisfy a definition of game.xml. While active
// its members, and every active building standing in a member's zone, carry
// the definition's money offset. The members are kept in widget-id order, so
// two combinations of the same buildings list them alike.
// Main thread only.

#include <string>
#include <vector>

#include "game/data/catalogues/combo_stats.h"
#include "game/data/progress/park_hooks.h"
#include "game/park/buildings/zone_building.h"

class KivraCombo : public GoalZone {
public:
    // The definition must outlive the combination.
    KivraCombo(std::vector<ZoneBuilding*> members, const KivraComboStats& definition);
    ~KivraCombo() override = default;
    KivraCombo(const KivraCombo&) = delete;
    KivraCombo& operator=(const KivraCombo&) = delete;

    // Members join, then the active non-members in their zones get the
    // offset, each once.
    virtual void Activate(ZoneContext& context);
    virtual void Deactivate(ZoneContext& context);
    // The same definition name, and every member of this one a member of the other.
    virtual bool Equals(const KivraCombo& other) const;
    bool NotEquals(const KivraCombo& other) const { return !Equals(other); }
    virtual void ApplyToBuilding(ZoneBuilding& building, ZoneContext& context);
    virtual void WithdrawFromBuilding(ZoneBuilding& building, ZoneContext& context);

    const std::wstring& ZoneName() const override { return definition_.name; }
    const KivraComboStats& Definition() const { return definition_; }
    const std::vector<ZoneBuilding*>& Members() const { return members_; }
    bool IsMember(const ZoneBuilding* building) const;
    bool IsActive() const { return active_; }

private:
    // The active non-members some member's zone contains, in widget-id order.
    ZoneBuildingSet Bystanders() const;

    const KivraComboStats& definition_;
    std::vector<ZoneBuilding*> members_;
    bool active_ = false;
};
