// What each kind of objective counts, when it completes, what scripts read
// of it and what a save holds of it.
#include "game/data/progress/objectives.h"

#include "foundation/values/property_value.h"
#include "game/data/catalogues/xml_writing.h"
#include "game/data/progress/goal_display.h"
#include "game/data/progress/kivra_level.h"
#include "game/data/progress/wrapping_add.h"

namespace {

PropertyValue Text(const std::wstring& text) { return PropertyValue::FromWString(text); }

void AppendCheck(std::wstring& out, const wchar_t* check, const wchar_t* countName, int32_t required) {
    AppendAttribute(out, L"check", check);
    AppendAttribute(out, countName, required);
}

KIVRA_LEVEL* CurrentLevel() {
    ParkPlayer* player = ParkPlayer::Current();
    return player ? player->GetCurrentLevel() : nullptr;
}

}  // namespace

// ---- BuildingsExist

BuildingsExist::BuildingsExist(int32_t count, std::wstring typeName, std::wstring categoryName, float appealRequired,
                               bool fullyUpgraded)
    : type(std::move(typeName)),
      category(std::move(categoryName)),
      appeal(appealRequired),
      fully_upgraded(fullyUpgraded) {
    required = count;
}

bool BuildingsExist::Qualifies(const GoalBuilding& building) const {
    if (!type.empty() && type != building.TypeName()) return false;
    if (!category.empty() && category != building.Category()) {
        const bool concession =
            category == L"concession" && (building.Category() == L"snack" || building.Category() == L"restaurant");
        if (!concession) return false;
    }
    if (appeal > kNoAppealRequirement && !(appeal <= building.Appeal())) return false;
    return !fully_upgraded || building.IsFullyUpgraded();
}

bool BuildingsExist::CountBuilding(const GoalBuilding& building) {
    if (completed || counted_.contains(&building)) return false;
    const bool inserted = Qualifies(building) && counted_.insert(&building).second;
    const bool done = CheckComplete();
    if (inserted) Notify();
    return done;
}

void BuildingsExist::OnAppealChanged(const GoalBuilding& building) {
    if (completed || !counted_.contains(&building) || !(building.Appeal() < appeal)) return;
    counted_.erase(&building);
    Notify();
}

void BuildingsExist::OnBuildingRemoved(const GoalBuilding& building) {
    if (completed) return;
    if (counted_.erase(&building) != 0) Notify();
}

bool BuildingsExist::CheckComplete() { return CompleteWhenReached(static_cast<uint32_t>(counted_.size())); }

PropertyValue BuildingsExist::GetProperty(std::wstring_view name) {
    if (name == L"check") return Text(L"buildings_exist");
    if (name == L"count") return PropertyValue::FromInt(required);
    if (name == L"type") return Text(type);
    if (name == L"category") return Text(category);
    if (name == L"appeal") return Text(AppealLevelName(appeal, false));
    if (name == L"appeal_requirement") return PropertyValue::FromBool(appeal >= 0.0f);
    if (name == L"fully_upgraded") return PropertyValue::FromBool(fully_upgraded);
    return Objective::GetProperty(name);
}

void BuildingsExist::WriteAttributes(std::wstring& out) const {
    AppendCheck(out, L"buildings_exist", L"count", required);
    if (!type.empty()) AppendAttribute(out, L"type", type);
    if (!category.empty()) AppendAttribute(out, L"category", category);
    if (fully_upgraded) AppendAttribute(out, L"fully_upgraded", L"true");
    if (appeal > 0.0f) AppendAttribute(out, L"appeal", AppealLevelName(appeal, false));
}

// ---- CombosExist

CombosExist::CombosExist(int32_t count, std::wstring zoneName, bool uniqueNames)
    : zone_name(std::move(zoneName)), unique(uniqueNames) {
    required = count;
}

uint32_t CombosExist::Progress() const {
    return unique ? static_cast<uint32_t>(zones_.size()) : static_cast<uint32_t>(total_);
}

bool CombosExist::OnZoneCreated(const GoalZone& zone) {
    if (completed) return false;
    const std::wstring& name = zone.ZoneName();
    if (!zone_name.empty() && zone_name != name) return false;
    if (unique) {
        if (!zones_.emplace(name, 1).second) return false;
    } else {
        ++zones_[name];
        ++total_;
    }
    Notify();
    return CheckComplete();
}

void CombosExist::OnZoneRemoved(const GoalZone& zone) {
    if (completed) return;
    auto it = zones_.find(zone.ZoneName());
    if (it == zones_.end()) return;
    if (!unique) {
        --total_;
        if (--it->second > 0) return;
    }
    zones_.erase(it);
    Notify();
}

bool CombosExist::CheckComplete() { return CompleteWhenReached(Progress()); }

PropertyValue CombosExist::GetProperty(std::wstring_view name) {
    if (name == L"check") return Text(L"zones_exist");
    if (name == L"count") return PropertyValue::FromInt(required);
    if (name == L"zone_name") return Text(zone_name);
    if (name == L"unique") return PropertyValue::FromBool(unique);
    return Objective::GetProperty(name);
}

void CombosExist::WriteAttributes(std::wstring& out) const {
    AppendCheck(out, L"zones_exist", L"count", required);
    if (!zone_name.empty()) AppendAttribute(out, L"zone_name", zone_name);
    if (unique) AppendAttribute(out, L"unique", L"true");
}

// ---- WeeklyEarnings

WeeklyEarnings::WeeklyEarnings(int32_t amount) { required = amount; }

bool WeeklyEarnings::AddEarnings(int32_t amount) {
    if (completed) return false;
    earned_ = WrappingAdd(earned_, amount);
    if (amount > 0) Notify();
    return CheckComplete();
}

bool WeeklyEarnings::CheckComplete() { return CompleteWhenReached(static_cast<uint32_t>(earned_)); }

PropertyValue WeeklyEarnings::GetProperty(std::wstring_view name) {
    if (name == L"check") return Text(L"weekly_earnings");
    if (name == L"amount") return PropertyValue::FromInt(required);
    return Objective::GetProperty(name);
}

void WeeklyEarnings::WriteAttributes(std::wstring& out) const {
    AppendCheck(out, L"weekly_earnings", L"amount", required);
}

// ---- TrophiesEarned

TrophiesEarned::TrophiesEarned(int32_t count, std::wstring metal) : type(std::move(metal)) { required = count; }

bool TrophiesEarned::Counts(const Challenge& won) const { return type.empty() || type == MetalName(won.metal); }

bool TrophiesEarned::OnTrophyEarned(const Challenge& won) {
    if (completed) return false;
    if (Counts(won)) {
        ++trophies_;
        Notify();
    }
    return CheckComplete();
}

bool TrophiesEarned::CheckComplete() { return CompleteWhenReached(static_cast<uint32_t>(trophies_)); }

PropertyValue TrophiesEarned::GetProperty(std::wstring_view name) {
    if (name == L"check") return Text(L"trophies_earned");
    if (name == L"count") return PropertyValue::FromInt(required);
    if (name == L"type") return Text(type);
    return Objective::GetProperty(name);
}

void TrophiesEarned::WriteAttributes(std::wstring& out) const {
    AppendCheck(out, L"trophies_earned", L"count", required);
    if (!type.empty()) AppendAttribute(out, L"type", type);
}

// ---- MarketingSlotsFilled

MarketingSlotsFilled::MarketingSlotsFilled(int32_t count) { required = count; }

bool MarketingSlotsFilled::Recheck() {
    if (completed) return false;
    Notify();
    return CheckComplete();
}

bool MarketingSlotsFilled::CheckComplete() {
    if (challenge == nullptr || !challenge->unlocked || completed) return false;
    const KIVRA_LEVEL* level = CurrentLevel();
    if (level == nullptr) {
        completed = true;
        required = 1048576;
        return true;
    }
    return CompleteWhenReached(static_cast<uint32_t>(FilledSlots(*level)));
}

size_t MarketingSlotsFilled::FilledSlots(const KIVRA_LEVEL& level) { return level.marketing_bonus.entries.size(); }

PropertyValue MarketingSlotsFilled::GetProperty(std::wstring_view name) {
    if (name == L"check") return Text(L"marketing_slots");
    if (name == L"count") return PropertyValue::FromInt(required);
    return Objective::GetProperty(name);
}

void MarketingSlotsFilled::WriteAttributes(std::wstring& out) const {
    AppendCheck(out, L"marketing_slots", L"count", required);
}
