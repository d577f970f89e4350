// The park level record: what scripts read of it, and its deep copy.
#include "game/data/progress/kivra_level.h"

#include "foundation/values/property_value.h"
#include "game/data/progress/kivra_level_stats.h"

PropertyValue KIVRA_LEVEL::GetProperty(std::wstring_view property) {
    if (property == L"trophies_required") return PropertyValue::FromInt(trophies_required);
    if (property == L"ever_been_loaded") return PropertyValue::FromBool(ever_been_loaded);
    if (property == L"display_name") return PropertyValue::FromWString(display_name);
    if (property == L"completed") return PropertyValue::FromBool(goals_tracker.IsAllCompleted() != 0);
    if (property == L"just_completed") return PropertyValue::FromBool(goals_tracker.IsAllCompleted() == 2);
    if (property == L"completion_percent") return PropertyValue::FromInt(goals_tracker.GetCompletionPercent());
    if (property == L"trophies_earned") return PropertyValue::FromInt(goals_tracker.CountCompletedChallenges());
    if (property == L"week_stats") return PropertyValue::FromPropertyInterface(&stats.week);
    if (property == L"all_time_stats") return PropertyValue::FromPropertyInterface(&stats.allTime);
    return LEVEL::GetProperty(property);
}

std::unique_ptr<LEVEL_ITEM> KivraLevelStats::CreateItemLike(const LEVEL_ITEM& source) {
    if (dynamic_cast<const KIVRA_BUILDING_LEVEL_ITEM*>(&source) != nullptr)
        return std::make_unique<KIVRA_BUILDING_LEVEL_ITEM>();
    return NewItem();
}

std::unique_ptr<LEVEL_ITEM> KivraLevelStats::CloneItem(const LEVEL_ITEM& item) {
    std::unique_ptr<LEVEL_ITEM> copy = LevelStats::CloneItem(item);
    const auto* building = dynamic_cast<const KIVRA_BUILDING_LEVEL_ITEM*>(&item);
    auto* target = dynamic_cast<KIVRA_BUILDING_LEVEL_ITEM*>(copy.get());
    if (building != nullptr && target != nullptr) {
        target->upgrades = building->upgrades;
        target->boosts = building->boosts;
    }
    return copy;
}

std::unique_ptr<LEVEL> KivraLevelStats::CloneLevel(const LEVEL& record) {
    std::unique_ptr<LEVEL> copy = LevelStats::CloneLevel(record);
    const auto* level = dynamic_cast<const KIVRA_LEVEL*>(&record);
    auto* target = dynamic_cast<KIVRA_LEVEL*>(copy.get());
    if (level == nullptr || target == nullptr) return copy;
    target->display_name = level->display_name;
    target->ever_been_loaded = level->ever_been_loaded;
    target->sidewalk = level->sidewalk;
    target->trophies_required = level->trophies_required;
    target->ocean = level->ocean;
    target->spawn_points = level->spawn_points;
    target->weeks_played = level->weeks_played;
    target->week_time_left = level->week_time_left;
    target->marketing = level->marketing;
    target->marketing_bonus.entries = level->marketing_bonus.entries;
    target->marketing_bonus.index = level->marketing_bonus.index;
    target->marketing_slots = level->marketing_slots;
    target->money = level->money;
    target->hearts = level->hearts;
    target->disallowed = level->disallowed;
    target->availability = level->availability;
    target->available_research = level->available_research;
    target->bought_research = level->bought_research;
    target->ticketprice_base = level->ticketprice_base;
    target->ticketprice = level->ticketprice;
    target->learned_combos = level->learned_combos;
    target->goals_tracker.Assign(level->goals_tracker);
    target->chosen_challenge = level->chosen_challenge;
    for (auto [from, to] : {std::pair{&level->stats.week, &target->stats.week},
                            std::pair{&level->stats.allTime, &target->stats.allTime}}) {
        to->money_earned = from->money_earned;
        to->money_spent = from->money_spent;
        to->hearts_earned = from->hearts_earned;
        to->hearts_spent = from->hearts_spent;
        to->visitors = from->visitors;
    }
    return copy;
}
