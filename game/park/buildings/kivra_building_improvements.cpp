// A building's upgrades and boosts: buying them, their offsets on the
// building's statistics, and the boosts' count-down.
#include <cstdlib>

#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/goal_display.h"
#include "game/data/progress/kivra_level.h"
#include "game/data/progress/wrapping_add.h"
#include "game/park/buildings/kivra_building.h"
#include "widgets/script/animation_widget.h"

namespace {

KIVRA_LEVEL* CurrentLevel() {
    ParkPlayer* player = ParkPlayer::Current();
    return player != nullptr ? player->GetCurrentLevel() : nullptr;
}

template <class Entry>
Entry* FindByLabel(std::vector<Entry>& entries, std::wstring_view label) {
    for (Entry& entry : entries)
        if (entry.record != nullptr && entry.record->label == label) return &entry;
    return nullptr;
}

}  // namespace

AnimationWidget* KivraBuilding::Hud() {
    GoalDisplay* display = GoalDisplay::Current();
    return display != nullptr ? &display->Widget() : nullptr;
}

void KivraBuilding::CreateImprovements() {
    const auto* record = dynamic_cast<const KIVRA_BUILDING_TYPE*>(TypeRecord());
    if (record == nullptr) return;
    for (const auto& [label, upgrade] : record->upgrades) upgrades_.emplace_back(&upgrade);
    for (const auto& [label, boost] : record->boosts) boosts_.emplace_back(&boost);
}

bool KivraBuilding::IsFullyUpgraded() const { return upgradesPurchased_ == static_cast<int32_t>(upgrades_.size()); }

// ---- Buying --------------------------------------------------------------------

bool KivraBuilding::PurchaseImprovement(const IMPROVEMENT_STATS& record, int32_t coins, int32_t hearts) {
    if (coins < 0) coins = record.coincost;
    if (hearts < 0) hearts = record.heartcost;
    ParkPlayer* player = ParkPlayer::Current();
    KIVRA_LEVEL* level = CurrentLevel();
    if (player == nullptr || level == nullptr) {
        LogWrite(L"An upgrade or boost was bought with no park level current: nothing bought", true);
        return false;
    }
    AnimationWidget* hud = Hud();
    if (level->money >= coins && level->hearts >= hearts) {
        player->ChangeResource(L"money", -coins, true, hud);
        player->ChangeResource(L"hearts", -hearts, true, hud);
        return true;
    }
    if (hud != nullptr) {
        hud->SetVariable(L"lookup", PropertyValue::FromWString(L"true"));
        hud->SetVariable(L"label", PropertyValue::FromWString(L"label_" + record.label));
        hud->SetVariable(L"resource", PropertyValue::FromWString(level->money < coins ? L"money" : L"hearts"));
        hud->RunAnimationNamed(L"show_no_resources_dialog");
    }
    return false;
}

Upgrade* KivraBuilding::PurchaseUpgrade(std::wstring_view label) {
    Upgrade* upgrade = FindByLabel(upgrades_, label);
    // Bought once: a second purchase would be paid and counted for nothing.
    if (upgrade == nullptr || upgrade->purchased) return nullptr;
    if (!PurchaseImprovement(*upgrade->record, -1, -1)) return nullptr;
    ApplyImprovementStats(*upgrade);
    return upgrade;
}

Boost* KivraBuilding::PurchaseBoost(std::wstring_view label) {
    Boost* boost = FindByLabel(boosts_, label);
    if (boost == nullptr || !PurchaseImprovement(*boost->record, -1, -1)) return nullptr;
    SetBoostActive(*boost, -2);
    return boost;
}

// ---- Effects ---------------------------------------------------------------------

void KivraBuilding::ApplyImprovementStats(Upgrade& upgrade) {
    if (upgrade.record == nullptr || upgrade.purchased) return;
    ApplyOffsets(*upgrade.record, +1);
    upgrade.purchased = true;
    ++upgradesPurchased_;
    // Counted first, so that the goals see the building as it now is.
    if (KIVRA_LEVEL* level = CurrentLevel()) level->goals_tracker.OnBuildingChanged(*this);
}

void KivraBuilding::SetBoostActive(Boost& boost, int32_t duration) {
    if (duration == -2) duration = boost.FullRunTicks();
    const bool start = duration >= 0 && !boost.Running();
    const bool stop = duration < 0 && boost.Running();
    if (boost.record != nullptr && (start || stop)) ApplyOffsets(*boost.record, start ? +1 : -1);
    boost.ticks = duration < 0 ? -1 : duration;
    if (duration >= 1) boost.GetWeeksDays();
}

void KivraBuilding::ApplyOffsets(const IMPROVEMENT_STATS& record, int sign) {
    for (const auto& [property, offset] : record.offsets) {
        // The time per use falls by the offset's size whichever its sign;
        // withdrawing gives back exactly that.
        if (sign < 0 && property == L"time")
            timePerUse_ += std::abs(offset);
        else
            ApplyStatModifier(property, sign * offset);
    }
}

void KivraBuilding::ApplyStatModifier(std::wstring_view name, int32_t delta) {
    KIVRA_LEVEL* level = CurrentLevel();
    if (name == L"appeal") {
        appeal_ += static_cast<float>(delta);
        if (level == nullptr || delta == 0) return;
        if (delta > 0)
            level->goals_tracker.OnBuildingChanged(*this);
        else
            level->goals_tracker.OnBuildingAppealChanged(*this);
    } else if (name == L"time") {
        timePerUse_ -= std::abs(delta);
    } else if (name == L"energy") {
        energyPerUse_ += static_cast<float>(delta);
    } else if (name == L"cost") {
        costPerUse_ += delta;
    } else if (name == L"ticketcost") {
        ticketPrice_ += delta;
        // The entry fee holds this building's price only while it stands in
        // the zones: joining adds the price with the offset in it, leaving
        // takes it off. A saved park's upgrades come back before the park
        // starts, and a boost may run out while the building is carried.
        if (level != nullptr && InZones()) level->ticketprice = WrappingAdd(level->ticketprice, delta);
    } else if (name == L"capacity") {
        capacity_ += delta;
        vacancies_ += delta;
    }
}

// ---- Count-down --------------------------------------------------------------------

void KivraBuilding::CountDownBoosts() {
    bool shownChanged = false;
    for (Boost& boost : boosts_) {
        if (!boost.Running()) continue;
        // Stopped while still running, so that a boost started with no time
        // at all withdraws its offsets too.
        if (boost.ticks >= 2) {
            const int32_t weeks = boost.weeks, days = boost.days;
            --boost.ticks;
            boost.GetWeeksDays();
            // The panel tells the days left: a new day shows as it comes.
            shownChanged = shownChanged || weeks != boost.weeks || days != boost.days;
            continue;
        }
        SetBoostActive(boost, -1);
        shownChanged = true;
    }
    if (!shownChanged) return;
    AnimationWidget* hud = Hud();
    if (hud == nullptr || hud->GetLocalVariable(L"building_info_upgrades").ToWidget<DynamicWidget>() == nullptr) return;
    if (hud->GetLocalVariable(L"upgrade_or_boost_building").ToWidget<KivraBuilding>() == this)
        hud->RunAnimationNamed(L"build_building_upgrades_data");
}
