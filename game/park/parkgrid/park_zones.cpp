#include "game/park/parkgrid/park_zones.h"

#include <algorithm>

#include "game/data/progress/kivra_level.h"
#include "game/data/progress/resource_range.h"
#include "game/data/progress/wrapping_add.h"

namespace {

std::vector<const ComboBuilding*> AsComboBuildings(const std::vector<ZoneBuilding*>& group) {
    return {group.begin(), group.end()};
}

bool MutuallyZoned(const ZoneBuilding& a, const ZoneBuilding& b) { return a.ZoneContains(b) && b.ZoneContains(a); }

bool TeachesCombo(const RESEARCH_OPTION& option, const std::wstring& combo) {
    return option.effect == RESEARCH_OPTION::kLearnCombo && option.param == combo;
}

bool StandsOutOfStats(const ZoneBuilding& building) {
    return building.Category() == L"decoration" || building.TypeName() == L"front_gate";
}

}  // namespace

ParkZones::~ParkZones() = default;

ZoneContext ParkZones::Context(ZoneBuildingSet* raised, ZoneBuildingSet* lowered, ClashNames* clashNames) {
    return ZoneContext{park_.ZoneLevel(), park_.ClashPenalty(), raised, lowered, clashNames};
}

std::vector<ZoneBuilding*> ParkZones::Members() const {
    ZoneBuildingSet members;
    for (const auto& combo : combos_) members.insert(combo->Members().begin(), combo->Members().end());
    return {members.begin(), members.end()};
}

bool ParkZones::Knows(const std::wstring& zone) const {
    const KIVRA_LEVEL* level = park_.ZoneLevel();
    if (level == nullptr || level->learned_combos.contains(zone)) return true;
    auto teaches = [&zone](const RESEARCH_OPTION& option) { return TeachesCombo(option, zone); };
    return std::ranges::any_of(level->available_research, teaches) ||
           std::ranges::any_of(level->bought_research, teaches);
}

std::vector<KivraCombo*> ParkZones::CombosAround(ZoneBuilding& building) const {
    std::vector<KivraCombo*> around;
    for (ZoneBuilding* neighbour : building.Neighbours()) {
        if (!neighbour->ZoneContains(building)) continue;
        for (KivraCombo* combo : neighbour->Combos()) {
            if (combo->IsMember(&building)) continue;
            if (std::find(around.begin(), around.end(), combo) == around.end()) around.push_back(combo);
        }
    }
    return around;
}

void ParkZones::UpdateZones(ZoneBuilding& building, bool popups) {
    // A second join would link, charge and buff twice.
    if (building.InZones()) return;
    building.SetInZones(true);
    Popups shown;
    ZoneContext appeal = popups ? Context(&shown.appealRaised, &shown.appealLowered, &shown.clashNames)
                                : Context(nullptr, nullptr, nullptr);
    ZoneContext money = popups ? Context(&shown.moneyRaised, &shown.moneyLowered, nullptr) : appeal;
    KIVRA_LEVEL* level = appeal.level;

    park_.MarkFootprintTiles(building, true);
    if (level != nullptr) level->ticketprice = WrappingAdd(level->ticketprice, building.TicketPrice());

    const bool active = building.IsActive();
    for (ZoneBuilding* other : park_.ZoneBuildings()) {
        if (other == &building || !building.ZoneOverlaps(*other)) continue;
        building.Neighbours().push_back(other);
        if (active) other->Neighbours().push_back(&building);
    }
    building.AddClash(appeal);
    building.MarkActive();

    std::vector<ZoneBuilding*> group{&building};
    std::vector<ZoneBuilding*> near;
    Found found;
    FindCombos(group, found, popups ? &near : nullptr, money);
    for (auto& combo : found) {
        const std::wstring label = park_.ZoneLabel(combo->Definition());
        KivraCombo& formed = *combos_.emplace_back(std::move(combo));
        Learn(formed);
        if (level != nullptr) level->goals_tracker.OnZoneCreated(formed);
        if (popups) {
            for (ZoneBuilding* member : formed.Members()) ++shown.labelCounts[member][label];
        }
    }
    for (KivraCombo* combo : CombosAround(building)) combo->ApplyToBuilding(building, money);

    if (!popups) return;
    ShowStatPopups(shown.appealRaised, shown.appealLowered, &shown.clashNames, true);
    ShowStatPopups(shown.moneyRaised, shown.moneyLowered, &shown.clashNames, false);
    for (ZoneBuilding* partner : near) park_.ShowPopup(*partner, L"show_compatible", {});
    for (const auto& [member, counts] : shown.labelCounts) park_.ShowZoneCreated(*member, counts);
}

void ParkZones::RemoveFromZones(ZoneBuilding& building, bool popups) {
    // A building that never joined (or already left) has nothing to give
    // back: leaving again would take its price off the entry fee twice.
    if (park_.HeldZoneBuilding() == &building || !building.InZones()) return;
    building.SetInZones(false);
    Popups shown;
    ZoneContext appeal =
        popups ? Context(&shown.appealRaised, &shown.appealLowered, nullptr) : Context(nullptr, nullptr, nullptr);
    ZoneContext money = popups ? Context(&shown.moneyRaised, &shown.moneyLowered, nullptr) : appeal;
    KIVRA_LEVEL* level = appeal.level;

    park_.MarkFootprintTiles(building, false);
    for (KivraCombo* combo : CombosAround(building)) combo->WithdrawFromBuilding(building, money);
    building.RemoveClash(appeal);
    while (!building.Combos().empty()) {
        KivraCombo* combo = building.Combos().front();
        if (level != nullptr) level->goals_tracker.OnZoneRemoved(*combo);
        const auto it = std::find_if(combos_.begin(), combos_.end(), [&](const auto& c) { return c.get() == combo; });
        std::unique_ptr<KivraCombo> owned;
        if (it != combos_.end()) {
            owned = std::move(*it);
            combos_.erase(it);
        }
        combo->Deactivate(money);
    }
    for (ZoneBuilding* neighbour : building.Neighbours()) {
        auto& list = neighbour->Neighbours();
        list.erase(std::remove(list.begin(), list.end(), &building), list.end());
    }
    building.Neighbours().clear();
    if (level != nullptr) level->ticketprice = WrappingSubtract(level->ticketprice, building.TicketPrice());

    if (!popups) return;
    for (ZoneBuildingSet* set : {&shown.appealRaised, &shown.appealLowered, &shown.moneyRaised, &shown.moneyLowered}) {
        set->erase(&building);
    }
    ShowStatPopups(shown.appealRaised, shown.appealLowered, nullptr, true);
    ShowStatPopups(shown.moneyRaised, shown.moneyLowered, nullptr, false);
}

bool ParkZones::MatchesAny(const std::vector<ZoneBuilding*>& group) const {
    const auto buildings = AsComboBuildings(group);
    const auto& definitions = park_.ComboDefinitions();
    return std::any_of(definitions.begin(), definitions.end(),
                       [&](const auto& definition) { return definition->MatchesBuildings(buildings, {}); });
}

bool ParkZones::FindCombos(std::vector<ZoneBuilding*>& group, Found& found, std::vector<ZoneBuilding*>* near,
                           ZoneContext& money) {
    if (group.size() == 3) {
        if (!MutuallyZoned(*group.front(), *group.back())) return false;
        bool matched = false;
        const auto buildings = AsComboBuildings(group);
        for (const auto& definition : park_.ComboDefinitions()) {
            if (!definition->MatchesBuildings(buildings, {})) continue;
            matched = true;
            auto combo = std::make_unique<KivraCombo>(group, *definition);
            const bool known =
                std::any_of(found.begin(), found.end(), [&](const auto& f) { return f->Equals(*combo); });
            if (known) continue;
            combo->Activate(money);
            found.push_back(std::move(combo));
        }
        return matched;
    }
    ZoneBuilding& last = *group.back();
    last.SetSearchMark(true);
    // A pair whose triple was reached before along the other chain formed a
    // zone all the same: it is no near miss.
    bool matched = false;
    // The search changes no neighbour list, so plain iteration is safe.
    for (ZoneBuilding* next : last.Neighbours()) {
        if (next->SearchMark() || !next->IsActive() || !MutuallyZoned(*next, last)) continue;
        group.push_back(next);
        matched = FindCombos(group, found, near, money) || matched;
        group.pop_back();
    }
    if (near != nullptr && group.size() == 2 && !matched && MatchesAny(group)) {
        if (near->empty() || near->front() != group[0]) near->push_back(group[0]);
        near->push_back(group[1]);
    }
    last.SetSearchMark(false);
    return matched;
}

void ParkZones::Learn(const KivraCombo& combo) {
    KIVRA_LEVEL* level = park_.ZoneLevel();
    if (level == nullptr || !level->learned_combos.insert(combo.ZoneName()).second) return;
    const std::wstring& name = combo.ZoneName();
    auto teaches = [&name](const RESEARCH_OPTION& option) { return TeachesCombo(option, name); };
    auto& offered = level->available_research;
    if (const auto it = std::find_if(offered.begin(), offered.end(), teaches); it != offered.end()) offered.erase(it);
    // Its research on the way would teach nothing now: what it cost comes back.
    ResearchRefund refund;
    auto& bought = level->bought_research;
    if (const auto it = std::find_if(bought.begin(), bought.end(), teaches); it != bought.end()) {
        refund = {it->coincost, it->heartcost};
        bought.erase(it);
        // Money and hearts saturate as everywhere in play: near the top a
        // refund that wrapped would leave the player deep in debt.
        level->money = SaturatingAdd(level->money, refund.coins);
        level->hearts = SaturatingAdd(level->hearts, refund.hearts);
    }
    park_.AnnounceNewCombo(combo.Definition(), refund);
}

void ParkZones::ShowStatPopups(const ZoneBuildingSet& raised, const ZoneBuildingSet& lowered,
                               const ClashNames* clashNames, bool appeal) {
    for (ZoneBuilding* building : raised) {
        if (StandsOutOfStats(*building)) continue;
        const wchar_t* name =
            !appeal ? L"show_profits_up" : (building->IsAppealMaxed() ? L"show_appeal_maxed" : L"show_appeal_up");
        park_.ShowPopup(*building, name, {});
    }
    for (ZoneBuilding* building : lowered) {
        ZonePark::Variables variables;
        if (StandsOutOfStats(*building)) {
            if (clashNames == nullptr) continue;
            variables.emplace_back(L"hide_appeal", PropertyValue(true));
        }
        if (clashNames != nullptr) {
            if (const auto it = clashNames->find(building); it != clashNames->end()) {
                variables.emplace_back(L"clash", PropertyValue(it->second));
            }
        }
        const wchar_t* name =
            !appeal ? L"show_profits_down" : (building->IsAppealMaxed() ? L"show_appeal_maxed" : L"show_appeal_down");
        park_.ShowPopup(*building, name, variables);
    }
}
