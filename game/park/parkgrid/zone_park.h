#pragma once
// ZonePark: what the park's zones ask of the park grid they serve: its
// buildings in item order, the held one, the current level, the catalogue's
// combination definitions, tile stamping, texts and the popups and
// announcements shown over the park. The grid implements it; tests use a
// recording park.
// Main thread only.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/values/property_value.h"

class KivraComboStats;
class ZoneBuilding;
struct KIVRA_LEVEL;

// What the research of a combination on its way had cost, given back when
// the player formed the combination first.
struct ResearchRefund {
    int32_t coins = 0;
    int32_t hearts = 0;
};

class ZonePark {
public:
    using Variables = std::vector<std::pair<std::wstring, PropertyValue>>;

    virtual ~ZonePark() = default;

    // Every building standing in the park, in item order.
    virtual std::vector<ZoneBuilding*> ZoneBuildings() = 0;
    // The building the player carries, or null.
    virtual ZoneBuilding* HeldZoneBuilding() = 0;
    // The current level, or null (then no fee and no goal is booked).
    virtual KIVRA_LEVEL* ZoneLevel() = 0;
    virtual const std::vector<std::unique_ptr<KivraComboStats>>& ComboDefinitions() = 0;
    // The constant characteristic_clash_appeal_penalty.
    virtual float ClashPenalty() = 0;
    virtual void MarkFootprintTiles(ZoneBuilding& building, bool set) = 0;
    // The localised "label_<name>_zone".
    virtual std::wstring ZoneLabel(const KivraComboStats& definition) = 0;
    // A combination formed for the first time in this level, with what its
    // research on the way gave back (nothing when none was bought).
    virtual void AnnounceNewCombo(const KivraComboStats& definition, const ResearchRefund& refund) = 0;
    // A popup over the building, its script variables set before it runs.
    virtual void ShowPopup(ZoneBuilding& over, std::wstring_view animation, const Variables& variables) = 0;
    // The "show_zonecreated" popup over a member, with how often each
    // combination label formed around it.
    virtual void ShowZoneCreated(ZoneBuilding& over, const std::map<std::wstring, int>& labelCounts) = 0;
};
