#pragma once
// A park of stand-in buildings for the zone rules: buildings with plain
// statistics and rectangles, and a park that records what it is asked to
// stamp, show and announce. The goal tracker counts zones through one
// "zones_exist" objective that never completes.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "game/data/progress/kivra_level.h"
#include "game/park/buildings/zone_building.h"
#include "game/park/parkgrid/park_zones.h"
#include "game/park/parkgrid/zone_park.h"

namespace testsupport {

class ZoneTestBuilding : public ZoneBuilding {
public:
    // A footprint of cols x rows anchored at its far corner (col, row).
    ZoneTestBuilding(int32_t id, std::wstring type, std::wstring category, TileRect footprint, int32_t zone,
                     const bool* parkStarted)
        : id_(id),
          type_(std::move(type)),
          category_(std::move(category)),
          footprint_(footprint),
          zone_(zone),
          parkStarted_(parkStarted) {}

    int32_t ZoneOrderId() const override { return id_; }
    TileRect FootprintRect() const override { return footprint_; }
    TileRect GetZoneRect() const override {
        return {footprint_.col + zone_, footprint_.row + zone_, footprint_.cols + 2 * zone_,
                footprint_.rows + 2 * zone_};
    }
    bool IsActive() override { return active_ || *parkStarted_; }
    void MarkActive() override { active_ = true; }
    float AppealBuff() const override { return buff; }
    bool IsAppealMaxed() const override { return appeal >= 10.0f; }
    int32_t TicketPrice() const override { return ticketPrice; }
    int32_t CostPerUse() const override { return costPerUse; }
    void AddToAppeal(float delta) override { appeal += delta; }
    void AddToTicketPrice(int32_t delta) override { ticketPrice += delta; }
    void AddToCostPerUse(int32_t delta) override { costPerUse += delta; }
    const std::wstring& TypeName() const override { return type_; }
    const std::wstring& Category() const override { return category_; }
    const KivraCharacteristics& Characteristics() const override { return characteristics; }
    float Appeal() const override { return appeal; }
    bool IsFullyUpgraded() const override { return false; }

    void MoveTo(TileRect footprint) { footprint_ = footprint; }
    void Deactivate() { active_ = false; }

    float appeal = 0.0f;
    float buff = 0.0f;
    int32_t ticketPrice = 0;
    int32_t costPerUse = 0;
    KivraCharacteristics characteristics;

private:
    int32_t id_;
    std::wstring type_, category_;
    TileRect footprint_;
    int32_t zone_;
    bool active_ = false;
    const bool* parkStarted_;
};

struct ShownPopup {
    int32_t over = 0;
    std::wstring animation;
    ZonePark::Variables variables;
};

class ZoneTestPark : public ZonePark {
public:
    ZoneTestPark() {
        MagazineRecord magazine{L"m", {ChallengeRecord{}}};
        magazine.challenges[0].unlocked = true;
        ObjectiveRecord zones;
        zones.check = L"zones_exist";
        zones.amount = 1 << 20;
        magazine.challenges[0].objectives.push_back(zones);
        std::wstring chosen;
        level.goals_tracker.AddMagazine(magazine, chosen);
    }

    // A building that does not stand in the park yet.
    ZoneTestBuilding& Make(int32_t id, std::wstring type, std::wstring category, TileRect footprint, int32_t zone = 1) {
        owned.push_back(
            std::make_unique<ZoneTestBuilding>(id, std::move(type), std::move(category), footprint, zone, &started));
        return *owned.back();
    }
    // One that stands in it.
    ZoneTestBuilding& Add(int32_t id, std::wstring type, std::wstring category, TileRect footprint, int32_t zone = 1) {
        standing.push_back(&Make(id, std::move(type), std::move(category), footprint, zone));
        return *owned.back();
    }
    KivraComboStats& Define(std::wstring name, int32_t money, std::vector<std::wstring> types) {
        definitions.push_back(std::make_unique<KivraComboStats>());
        definitions.back()->name = std::move(name);
        definitions.back()->money_offset = money;
        for (const std::wstring& type : types) definitions.back()->AddType(type);
        return *definitions.back();
    }
    // The park's first start: every building stands, each joins in turn.
    void Start(ParkZones& zones) {
        for (ZoneBuilding* b : standing) zones.UpdateZones(*b, false);
        started = true;
    }
    // Set down (joins the zones) and picked up (leaves them), as the grid does.
    void Place(ParkZones& zones, ZoneTestBuilding& b, bool popups) {
        standing.push_back(&b);
        zones.UpdateZones(b, popups);
    }
    void Lift(ParkZones& zones, ZoneTestBuilding& b, bool popups) {
        zones.RemoveFromZones(b, popups);
        standing.erase(std::find(standing.begin(), standing.end(), &b));
    }
    // How many zones the goals count now.
    uint32_t CountedZones() const;

    std::vector<ZoneBuilding*> ZoneBuildings() override { return standing; }
    ZoneBuilding* HeldZoneBuilding() override { return held; }
    KIVRA_LEVEL* ZoneLevel() override { return &level; }
    const std::vector<std::unique_ptr<KivraComboStats>>& ComboDefinitions() override { return definitions; }
    float ClashPenalty() override { return 0.25f; }
    void MarkFootprintTiles(ZoneBuilding& building, bool set) override {
        stamps.push_back((set ? L"+" : L"-") + std::to_wstring(building.ZoneOrderId()));
    }
    std::wstring ZoneLabel(const KivraComboStats& definition) override { return L"L:" + definition.name; }
    void AnnounceNewCombo(const KivraComboStats& definition, const ResearchRefund&) override {
        announced.push_back(definition.name);
    }
    void ShowPopup(ZoneBuilding& over, std::wstring_view animation, const Variables& variables) override {
        popups.push_back({over.ZoneOrderId(), std::wstring(animation), variables});
    }
    void ShowZoneCreated(ZoneBuilding& over, const std::map<std::wstring, int>& labelCounts) override {
        std::wstring text;
        for (const auto& [label, count] : labelCounts) text += label + L"x" + std::to_wstring(count) + L";";
        popups.push_back({over.ZoneOrderId(), L"show_zonecreated", {{L"label", PropertyValue(text)}}});
    }

    bool started = false;
    ZoneBuilding* held = nullptr;
    KIVRA_LEVEL level;
    std::vector<std::unique_ptr<ZoneTestBuilding>> owned;
    std::vector<ZoneBuilding*> standing;
    std::vector<std::unique_ptr<KivraComboStats>> definitions;
    std::vector<std::wstring> stamps, announced;
    std::vector<ShownPopup> popups;
};

inline uint32_t ZoneTestPark::CountedZones() const {
    for (const auto& objective : level.goals_tracker.ObjectivesOf(KivraGoalTracker::kZones)) {
        if (const auto* zones = dynamic_cast<const CombosExist*>(objective.get())) return zones->Progress();
    }
    return 0;
}

}  // namespace testsupport
