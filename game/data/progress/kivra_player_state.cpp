#include "game/data/progress/kivra_player_state.h"

#include <algorithm>
#include <optional>

#include "foundation/expression/constants_map.h"
#include "foundation/system/text.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/park_hooks.h"
#include "game/data/progress/resource_range.h"
#include "game/data/progress/wrapping_add.h"
#include "widgets/script/animation_widget.h"

namespace {

constexpr int32_t WrappingNegate(int32_t value) { return static_cast<int32_t>(0u - static_cast<uint32_t>(value)); }

void CountSpent(int32_t KIVRA_PLAYER_STATS_BLOCK::*counter, KivraStatsTracker& stats, int32_t amount) {
    stats.week.*counter = WrappingAdd(stats.week.*counter, amount);
    stats.allTime.*counter = WrappingAdd(stats.allTime.*counter, amount);
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

}  // namespace

KivraPlayerState::KivraPlayerState() {
    tutorial_step = GetConstant(L"ignore_tutorial").ToBool() ? -1 : 0;
    if (const LevelStats* catalogue = LevelStats::Current()) CopyLevelsFrom(*catalogue);
}

void KivraPlayerState::WriteLevels(std::wstring& out, const std::wstring& indent) {
    LevelStats::WriteLevels(out, indent);
}

void KivraPlayerState::CopyLevelsFrom(const LevelStats& catalogue) {
    // The current level is looked up again by its name in the new copies.
    ForgetCurrentLevel();
    LevelStats::CopyLevelsFrom(catalogue);
}

void KivraPlayerState::AddMissingLevelsFrom(const LevelStats& catalogue) {
    if (&catalogue == this) return;
    for (const auto& [name, level] : catalogue.Levels().Entries()) {
        if (level == nullptr || Find(name) != nullptr) continue;
        AddLevel(CloneLevel(*level));
    }
}

void KivraPlayerState::WriteProfileAttributes(std::wstring& out) {
    PlayerState::WriteProfileAttributes(out);
    out += L" tutorial_step=\"" + std::to_wstring(tutorial_step) + L"\"";
}

void KivraPlayerState::CollectLevelResources(LEVEL& record, AssetNameSets& group) {
    PlayerState::CollectLevelResources(record, group);
    auto* level = dynamic_cast<KIVRA_LEVEL*>(&record);
    if (level == nullptr) return;
    if (ItemStats* items = ItemStats::Current()) {
        const bool all = GetConstant(L"all_buildings_available_to_build").ToBool();
        for (const auto& [name, type] : items->Types().Entries()) {
            if (dynamic_cast<const BUILDING_TYPE*>(type) == nullptr) continue;
            if (!all && level->disallowed.contains(name)) continue;
            group.images.insert(name);
            group.images.insert(L"avatar_" + name);
        }
    }
    group.images.insert(L"avatar_walkway_" + Service<TileMaterials>::Get().MaterialToName(level->sidewalk));
    if (level->ocean) {
        group.images.insert(L"ocean");
        group.images.insert(L"sun_shine");
    }
    group.tracks.insert(level->name + L"_bgm");
}

KIVRA_LEVEL* KivraPlayerState::GetCurrentLevel() { return dynamic_cast<KIVRA_LEVEL*>(CurrentLevelRecord()); }

void KivraPlayerState::ChangeResource(std::wstring_view name, int32_t delta, bool notify, AnimationWidget* target) {
    if (delta == 0) return;
    KIVRA_LEVEL* level = GetCurrentLevel();
    if (level == nullptr) return;
    if (name == L"hearts") {
        level->hearts = SaturatingAdd(level->hearts, delta);
        if (delta < 0)
            CountSpent(&KIVRA_PLAYER_STATS_BLOCK::hearts_spent, level->stats, WrappingNegate(delta));
        else
            CountSpent(&KIVRA_PLAYER_STATS_BLOCK::hearts_earned, level->stats, delta);
    } else if (name == L"money") {
        level->money = SaturatingAdd(level->money, delta);
        if (delta < 0) {
            CountSpent(&KIVRA_PLAYER_STATS_BLOCK::money_spent, level->stats, WrappingNegate(delta));
        } else {
            level->goals_tracker.OnMoneyEarned(delta);
            CountSpent(&KIVRA_PLAYER_STATS_BLOCK::money_earned, level->stats, delta);
        }
    }
    if (delta > 0 && notify && target != nullptr)
        target->RunAnimationNamed(text::WFormat(L"player_%ls_increase_callback", std::wstring(name).c_str()));
}

bool KivraPlayerState::PurchaseResearch(std::wstring_view name, RESEARCH_OPTION& bought) {
    KIVRA_LEVEL* level = GetCurrentLevel();
    if (level == nullptr) return false;
    auto& available = level->available_research;
    auto found = std::find_if(available.begin(), available.end(), [&](const auto& o) { return o.name == name; });
    if (found == available.end()) return false;
    bought = *found;
    RESEARCH_OPTION& option = *found;
    const bool poor = level->money < option.coincost;
    if (poor || level->hearts < option.heartcost) {
        if (GoalDisplay* display = GoalDisplay::Current()) {
            VariableMap& locals = display->Widget().Variables();
            locals[L"lookup"] = PropertyValue::FromWString(L"true");
            locals[L"label"] = PropertyValue::FromWString(L"label_" + option.name);
            locals[L"resource"] = PropertyValue::FromWString(poor ? L"money" : L"hearts");
            display->Widget().RunAnimationNamed(L"show_no_resources_dialog");
        }
        return false;
    }
    level->money = WrappingAdd(level->money, WrappingNegate(option.coincost));
    level->hearts = WrappingAdd(level->hearts, WrappingNegate(option.heartcost));
    level->bought_research.push_back(option);
    if (option.cycles != 0) {
        if (option.cycles > 0) --option.cycles;
        option.coincost = WrappingAdd(option.coincost, option.coinincrement);
        option.heartcost = WrappingAdd(option.heartcost, option.heartincrement);
    }
    if (option.cycles == 0) available.erase(found);
    return true;
}

void KivraPlayerState::CompleteAllGoals() {
    for (const auto& [name, record] : Levels().Entries())
        if (auto* level = dynamic_cast<KIVRA_LEVEL*>(record)) level->goals_tracker.CompleteAllObjectives();
}

PropertyValue KivraPlayerState::GetProperty(std::wstring_view name) {
    if (name == L"level") return PropertyValue::FromPropertyInterface(GetCurrentLevel());
    if (name == L"ios") return PropertyValue::FromBool(false);
    if (name == L"finished_tutorial" || name == L"tutorial_step" || StartsWith(name, L"tutorial_reached_"))
        return TutorialProperty(name);
    if (name == L"paused_for_tutorial") return PropertyValue::FromBool(paused_for_tutorial);
    if (name == L"beat_game" || name == L"total_weeks_played") return LevelsProperty(name);
    if (KIVRA_LEVEL* level = GetCurrentLevel())
        if (std::optional<PropertyValue> value = LevelProperty(*level, name)) return *std::move(value);
    // The current level's own "level_" names never name one of the player's levels.
    const bool ownName = name == L"level_name" || name == L"level_display_name" || name == L"level_completed" ||
                         name == L"level_just_completed";
    if (StartsWith(name, L"level_") && !ownName)
        return PropertyValue::FromPropertyInterface(FindParkLevel(name.substr(6)));
    return ExtendedPropertyInterface::GetProperty(name);
}

std::optional<PropertyValue> KivraPlayerState::LevelProperty(KIVRA_LEVEL& level, std::wstring_view name) {
    if (name == L"money") return PropertyValue::FromInt(level.money);
    if (name == L"hearts") return PropertyValue::FromInt(level.hearts);
    if (name == L"money_ptr") return level.fieldHandles.For(&level.money).Value();
    if (name == L"hearts_ptr") return level.fieldHandles.For(&level.hearts).Value();
    if (name == L"ticketprice_ptr") return level.fieldHandles.For(&level.ticketprice).Value();
    if (name == L"level_name") return PropertyValue::FromWString(level.name);
    if (name == L"level_display_name") return PropertyValue::FromWString(level.display_name);
    if (name == L"level_completed") return level.GetProperty(L"completed");
    if (name == L"level_just_completed") return level.GetProperty(L"just_completed");
    if (name == L"sidewalk")
        return PropertyValue::FromWString(Service<TileMaterials>::Get().MaterialToName(level.sidewalk));
    if (name == L"sidewalk_character") return PropertyValue::FromChar(static_cast<wchar_t>(level.sidewalk));
    if (name == L"ocean") return PropertyValue::FromBool(level.ocean);
    if (name == L"marketing_slots") return PropertyValue::FromInt(level.marketing_slots);
    if (name == L"ticketprice") return PropertyValue::FromInt(level.ticketprice);
    if (name == L"week_stats") return PropertyValue::FromPropertyInterface(&level.stats.week);
    if (name == L"all_time_stats") return PropertyValue::FromPropertyInterface(&level.stats.allTime);
    if (name == L"chosen_challenge")
        return PropertyValue::FromPropertyInterface(level.goals_tracker.FindChallenge(level.chosen_challenge));
    return std::nullopt;
}

PropertyValue KivraPlayerState::TutorialProperty(std::wstring_view name) const {
    GoalDisplay* display = GoalDisplay::Current();
    // Without a HUD there is no tutorial running: it counts as finished.
    if (name == L"finished_tutorial") return PropertyValue::FromBool(display == nullptr || display->TutorialInactive());
    if (name == L"tutorial_step") {
        std::optional<std::wstring> step;
        if (display != nullptr) step = display->TutorialStepName(tutorial_step);
        return PropertyValue::FromWString(step.value_or(L"completed"));
    }
    const std::wstring_view step = name.substr(std::wstring_view(L"tutorial_reached_").size());
    return PropertyValue::FromBool(display == nullptr || display->TutorialReachedStep(step));
}

PropertyValue KivraPlayerState::LevelsProperty(std::wstring_view name) {
    if (name == L"beat_game") {
        for (const auto& [levelName, record] : Levels().Entries()) {
            auto* level = dynamic_cast<KIVRA_LEVEL*>(record);
            if (level != nullptr && !level->GetProperty(L"completed").ToBool()) return PropertyValue::FromBool(false);
        }
        return PropertyValue::FromBool(true);
    }
    int32_t weeks = 0;
    for (const auto& [levelName, record] : Levels().Entries())
        if (auto* level = dynamic_cast<KIVRA_LEVEL*>(record)) weeks = WrappingAdd(weeks, level->weeks_played);
    return PropertyValue::FromInt(weeks);
}
