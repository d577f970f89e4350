// The park grid as its zones see it: the buildings that stand in it, the
// level and catalogue they book against, and the popups and announcements
// shown over the park.
#include <algorithm>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/localization_map.h"
#include "game/data/catalogues/game_stats.h"
#include "game/data/progress/goal_display.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/display/park_display.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "game/park/parkgrid/park_helpers.h"
#include "game/park/parkgrid/park_zones.h"

namespace {

// Popups stand above everything else the park holds.
constexpr int32_t kPopupPriority = 1048576;

// Every member of a zone but one shows its zone ring ('*'), or stops showing it.
void ShowZoneMembers(const std::vector<ZoneBuilding*>& members, const KivraBuilding* except, bool on) {
    for (ZoneBuilding* member : members) {
        auto* building = dynamic_cast<KivraBuilding*>(member);
        if (building == nullptr || building == except) continue;
        building->SetZoneHighlighted(on);
        building->SetZoneOverlay(on ? '*' : '_');
    }
}

}  // namespace

void KivraGrid::UpdateZones(KivraBuilding& building, bool popups) { zones_->UpdateZones(building, popups); }

void KivraGrid::RemoveFromZones(KivraBuilding& building, bool popups) { zones_->RemoveFromZones(building, popups); }

void KivraGrid::HighlightZoneMembers(KivraBuilding* except) { ShowZoneMembers(zones_->Members(), except, true); }

void KivraGrid::UnhighlightZoneMembers(KivraBuilding* except) { ShowZoneMembers(zones_->Members(), except, false); }

void KivraGrid::ShowGoalZoneRings(std::wstring_view zone) {
    // Any zone means any this park knows: the pieces of a zone only
    // another park knows make none here.
    std::vector<const KivraComboStats*> zones;
    for (const auto& definition : ComboDefinitions())
        if (zone.empty() ? zones_->Knows(definition->name) : definition->name == zone)
            zones.push_back(definition.get());
    std::vector<ZoneBuilding*> makers;
    for (ZoneBuilding* candidate : ZoneBuildings()) {
        // One building alone matches a zone exactly when it could be one of its members.
        const std::vector<const ComboBuilding*> alone{candidate};
        if (std::ranges::any_of(zones, [&alone](const KivraComboStats* z) { return z->MatchesBuildings(alone, {}); }))
            makers.push_back(candidate);
    }
    ShowZoneMembers(makers, held_, true);
    MarkTileStatesDirty();
    MarkDirty();
}

void KivraGrid::HideGoalZoneRings() {
    ShowZoneMembers(ZoneBuildings(), held_, false);
    // A building carried meanwhile still shows the zones it would meet.
    if (held_ != nullptr) HighlightZoneMembers(held_);
    MarkTileStatesDirty();
    MarkDirty();
}

std::vector<ZoneBuilding*> KivraGrid::ZoneBuildings() {
    std::vector<ZoneBuilding*> buildings;
    // A carried building stands nowhere: it is no one's neighbour.
    for (GridItem* item : Items())
        if (auto* building = dynamic_cast<KivraBuilding*>(item); building != nullptr && !building->IsHeldByPark())
            buildings.push_back(building);
    return buildings;
}

ZoneBuilding* KivraGrid::HeldZoneBuilding() { return held_; }

KIVRA_LEVEL* KivraGrid::ZoneLevel() {
    ParkPlayer* player = ParkPlayer::Current();
    return player ? player->GetCurrentLevel() : nullptr;
}

const std::vector<std::unique_ptr<KivraComboStats>>& KivraGrid::ComboDefinitions() {
    static const std::vector<std::unique_ptr<KivraComboStats>> none;
    const GameStats* game = GameStats::Current();
    return game ? game->Combos() : none;
}

float KivraGrid::ClashPenalty() { return GetConstant(L"characteristic_clash_appeal_penalty").ToReal(); }

void KivraGrid::MarkFootprintTiles(ZoneBuilding& building, bool set) {
    if (auto* k = dynamic_cast<KivraBuilding*>(&building)) MarkItemTiles(set, *k);
}

std::wstring KivraGrid::ZoneLabel(const KivraComboStats& definition) {
    return LocalizationMap()[L"label_" + definition.name + L"_zone"];
}

void KivraGrid::AnnounceNewCombo(const KivraComboStats& definition, const ResearchRefund& refund) {
    SetDisplayVariable(L"discovered_combo", PropertyValue::FromPropertyInterface(&definition));
    // The tutorial's playhouse step explains this zone itself while the park waits.
    const ParkPlayer* player = ParkPlayer::Current();
    const bool tutorialExplains = definition.name == L"play" && player != nullptr && player->PausedForTutorial() &&
                                  TutorialStep() == L"place_playhouse";
    if (tutorialExplains) return;
    SetDisplayVariable(L"refunded_coins", PropertyValue::FromInt(refund.coins));
    SetDisplayVariable(L"refunded_hearts", PropertyValue::FromInt(refund.hearts));
    RunCallback(L"brand_new_zone_callback");
}

void KivraGrid::ShowPopup(ZoneBuilding& over, std::wstring_view animation, const ZonePark::Variables& variables) {
    auto* building = dynamic_cast<KivraBuilding*>(&over);
    if (building == nullptr) return;
    const auto x = static_cast<int>(building->GetX() + GetCelBoxLeft(*building) + GetCelBoxWidth(*building) * 0.5f);
    const auto y = static_cast<int>(building->GetY() + GetCelBoxTop(*building) + GetCelBoxHeight(*building) * 0.25f);
    // The script starts once the popup joins the tree: its variables are set first.
    auto* popup = new AnimationWidget(animation, x, y, true);
    for (const auto& [name, value] : variables) popup->SetVariable(name, value);
    popup->SetPriority(kPopupPriority);
    AddWidget(popup);
}

void KivraGrid::ShowZoneCreated(ZoneBuilding& over, const std::map<std::wstring, int>& labelCounts) {
    ShowPopup(over, L"show_zonecreated",
              {{L"label", PropertyValue::FromWString(FormatCountedNames(labelCounts))},
               {L"num_zone_tokens", PropertyValue::FromInt(static_cast<int32_t>(labelCounts.size()))}});
}
