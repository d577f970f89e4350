#pragma once
// ParkZones: the park's zones. A building joins them when it is placed (and
// every building when the park starts its items) and leaves them when it is
// picked up or the park is left. Joining links its neighbours, applies its
// buff and clashes, searches for combinations of three mutually zoned active
// buildings with it, learns and counts the new ones, and hands it the offsets
// of the combinations around it; leaving undoes all of that but the learning.
//
// Promises: join then leave restores appeal, ticket price, cost per use and
// the level's entry fee exactly, whatever order the buildings came in; one
// combination per set of members and definition; every formed combination
// is counted by the goals exactly while it exists; lists ordered by widget
// id, so runs repeat exactly.
// Main thread only.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/park/buildings/kivra_combo.h"
#include "game/park/buildings/zone_building.h"
#include "game/park/parkgrid/zone_park.h"

class ParkZones {
public:
    explicit ParkZones(ZonePark& park) : park_(park) {}
    ~ParkZones();
    ParkZones(const ParkZones&) = delete;
    ParkZones& operator=(const ParkZones&) = delete;

    // Joining twice, or leaving when not joined, changes nothing.
    void UpdateZones(ZoneBuilding& building, bool popups);
    void RemoveFromZones(ZoneBuilding& building, bool popups);

    // The formed combinations, in order of formation.
    const std::vector<std::unique_ptr<KivraCombo>>& Combos() const { return combos_; }
    // Every member of every combination, each once, in widget-id order.
    std::vector<ZoneBuilding*> Members() const;
    // A zone this park knows: learned, or taught by research offered or on
    // its way. Without a level every zone counts.
    bool Knows(const std::wstring& zone) const;

private:
    struct Popups {
        ZoneBuildingSet appealRaised, appealLowered, moneyRaised, moneyLowered;
        ClashNames clashNames;
        std::map<ZoneBuilding*, std::map<std::wstring, int>, ZoneOrder> labelCounts;
    };
    using Found = std::vector<std::unique_ptr<KivraCombo>>;

    // Whether some group through these buildings matched a definition,
    // formed now or reached before along another chain.
    bool FindCombos(std::vector<ZoneBuilding*>& group, Found& found, std::vector<ZoneBuilding*>* near,
                    ZoneContext& money);
    bool MatchesAny(const std::vector<ZoneBuilding*>& group) const;
    void Learn(const KivraCombo& combo);
    // The combinations of the building's neighbours whose zones contain it,
    // that it is no member of, each once.
    std::vector<KivraCombo*> CombosAround(ZoneBuilding& building) const;
    void ShowStatPopups(const ZoneBuildingSet& raised, const ZoneBuildingSet& lowered, const ClashNames* clashNames,
                        bool appeal);
    ZoneContext Context(ZoneBuildingSet* raised, ZoneBuildingSet* lowered, ClashNames* clashNames);

    ZonePark& park_;
    std::vector<std::unique_ptr<KivraCombo>> combos_;
};
