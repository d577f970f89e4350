#pragma once
// ZoneBuilding: a building as the park's zones see it. Its zone is its
// footprint widened by the zone size on every side; buildings whose zones
// share a tile are neighbours. Three effects act between neighbours: the
// appeal buff a building gives to those standing in its zone, the appeal
// penalty between clashing characteristics, and the money offset of a
// combination. The park's zones decide who the neighbours are and which
// combinations exist; this class applies and withdraws each effect.
//
// Promises: applying and then withdrawing an effect is the exact inverse on
// appeal, ticket price, cost per use and the level's entry fee, as long as
// the neighbours, zones, characteristics, buffs and active flag are the same
// at both calls. An inactive building handles only its own side of a pair
// (the buff it gives, the penalty it takes); an active one handles both.
// Main thread only.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "game/data/progress/park_hooks.h"
#include "game/park/base/tile_geometry.h"

class KivraCombo;
class KivraComboStats;
class ZoneBuilding;
struct KIVRA_LEVEL;

// Buildings in the order of their widgets' ids, so that every run lists them
// alike whatever memory they landed in.
struct ZoneOrder {
    bool operator()(const ZoneBuilding* a, const ZoneBuilding* b) const;
};
using ZoneBuildingSet = std::set<ZoneBuilding*, ZoneOrder>;
using ClashNames = std::map<ZoneBuilding*, std::wstring, ZoneOrder>;

// One zone operation's surroundings: the level whose entry fee and goals it
// books (none: nothing booked), the clash penalty, and the collections the
// stat popups are made from (each null when not wanted).
struct ZoneContext {
    KIVRA_LEVEL* level = nullptr;
    float clashPenalty = 0.0f;
    ZoneBuildingSet* raised = nullptr;
    ZoneBuildingSet* lowered = nullptr;
    ClashNames* clashNames = nullptr;
};

class ZoneBuilding : public GoalBuilding {
public:
    // The building's widget id: its place in every ordered list.
    virtual int32_t ZoneOrderId() const = 0;
    virtual TileRect FootprintRect() const = 0;
    virtual TileRect GetZoneRect() const = 0;
    virtual bool IsActive() = 0;
    virtual void MarkActive() = 0;
    virtual float AppealBuff() const = 0;
    // Appeal at the most a building can reach.
    virtual bool IsAppealMaxed() const = 0;
    virtual int32_t TicketPrice() const = 0;
    virtual int32_t CostPerUse() const = 0;
    virtual void AddToAppeal(float delta) = 0;
    virtual void AddToTicketPrice(int32_t delta) = 0;
    virtual void AddToCostPerUse(int32_t delta) = 0;

    // The zone rectangles share a tile (touching corners count).
    bool ZoneOverlaps(const ZoneBuilding& other) const;
    // This zone shares a tile with the other's footprint.
    bool ZoneContains(const ZoneBuilding& other) const;

    void JoinCombo(KivraCombo& combo, ZoneContext& context);
    void LeaveCombo(KivraCombo& combo, ZoneContext& context);
    void AddComboOffset(const KivraCombo& combo, ZoneContext& context);
    void RemoveComboOffset(const KivraCombo& combo, ZoneContext& context);
    // A ride's ticket price (and the level's entry fee with it), any other
    // building's cost per use.
    void ApplyComboOffset(const KivraComboStats& definition, bool add, ZoneContext& context);

    void AddClash(ZoneContext& context) { ApplyCharacteristicClash(true, context); }
    // Withdrawing names no clash.
    void RemoveClash(ZoneContext& context);
    void ApplyCharacteristicClash(bool apply, ZoneContext& context);

    // Kept by the park's zones.
    std::vector<ZoneBuilding*>& Neighbours() { return neighbours_; }
    const std::vector<ZoneBuilding*>& Neighbours() const { return neighbours_; }
    // Each combination once, in the order joined.
    const std::vector<KivraCombo*>& Combos() const { return combos_; }
    bool SearchMark() const { return searchMark_; }
    void SetSearchMark(bool on) { searchMark_ = on; }
    // Between joining the zones and leaving them.
    bool InZones() const { return inZones_; }
    void SetInZones(bool on) { inZones_ = on; }

private:
    std::vector<ZoneBuilding*> neighbours_;
    std::vector<KivraCombo*> combos_;
    bool searchMark_ = false;
    bool inZones_ = false;
};
