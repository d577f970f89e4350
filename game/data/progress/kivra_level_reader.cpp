// Reading the park elements of a level (levels.xml and saved parks alike).
#include <algorithm>
#include <utility>

#include "foundation/expression/localization_map.h"
#include "foundation/system/text.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/data/progress/resource_range.h"
#include "game/data/progress/wrapping_add.h"

void KivraLevelStats::ReadElementAttributes(LEVEL_ELEMENT& record) {
    auto* level = dynamic_cast<KIVRA_LEVEL*>(&record);
    if (level) ReadLevelAttributes(*level);
    LevelStats::ReadElementAttributes(record);
    if (!level) return;
    level->display_name = HasAttribute(L"display_name")
                              ? GetAttribute(L"display_name")
                              : LocalizeLookup(text::WFormat(L"land_%ls", level->name.c_str()));
}

void KivraLevelStats::ReadLevelAttributes(KIVRA_LEVEL& level) {
    level.ever_been_loaded = GetAttributeBool(L"ever_been_loaded");
    level.sidewalk = Service<TileMaterials>::Get().NameToMaterial(
        HasAttribute(L"sidewalk") ? std::wstring_view(GetAttribute(L"sidewalk")) : L"concrete");
    level.trophies_required = GetAttributeIntOr(L"trophies_required", 0);
    level.ocean = GetAttributeBool(L"ocean");
    level.ticketprice_base = GetAttributeIntOr(L"ticketprice_base", 0);
    level.ticketprice = level.ticketprice_base;
    level.chosen_challenge = GetAttribute(L"chosen_challenge");
    level.weeks_played = GetAttributeIntOr(L"weeks_played", 0);
    level.week_time_left = GetAttributeIntOr(L"week_time_left", 0);
    level.money = ReadResource(L"money", 1000);
    level.hearts = ReadResource(L"hearts", 0);
    level.marketing_slots = GetAttributeIntOr(L"marketing_slots", 1);
}

int32_t KivraLevelStats::ReadResource(const std::wstring& name, int32_t fallback) const {
    if (!HasAttribute(name)) return fallback;
    const std::optional<int64_t> value = ParseWholeNumber(GetAttribute(name));
    return value ? ClampResource(*value) : ClampResource(GetAttributeInt(name));
}

void KivraLevelStats::TakeShippedSidewalk(KIVRA_LEVEL& level) const {
    const LevelStats* catalogue = LevelStats::Current();
    if (catalogue == nullptr || catalogue == this) return;
    if (const auto* shipped = dynamic_cast<const KIVRA_LEVEL*>(catalogue->Find(level.name)))
        level.sidewalk = shipped->sidewalk;
}

void KivraLevelStats::ElementStart(const std::wstring& name) {
    textRun_ = false;
    KIVRA_LEVEL* level = ParkLevel();
    if (level == nullptr) {
        // Park elements belong inside a level; outside one only the base knows anything.
        LevelStats::ElementStart(name);
        return;
    }
    if (name == L"item") {
        const ITEM_TYPE* type = FindRecordByName(ItemStats::Current(), GetAttribute(L"type"));
        // A type the catalogue lacks may be a building's: the record keeps
        // any upgrades and boosts it holds, for its save and for the type's return.
        if (type == nullptr || dynamic_cast<const BUILDING_TYPE*>(type) != nullptr) {
            ReadBuildingItem(*level);
            return;
        }
        LevelStats::ElementStart(name);
    } else if (name == L"upgrade" || name == L"boost") {
        auto* building = dynamic_cast<KIVRA_BUILDING_LEVEL_ITEM*>(currentItem_);
        if (building == nullptr) return;  // only a building item has them
        const std::wstring& label = GetAttribute(L"label");
        if (name == L"upgrade") {
            if (std::exchange(typeUpgrades_, false)) building->upgrades.clear();
            building->upgrades[label] = GetAttributeBool(L"purchased");
        } else {
            if (std::exchange(typeBoosts_, false)) building->boosts.clear();
            building->boosts[label] = GetAttributeIntOr(L"time_remaining", -1);
        }
    } else if (name == L"stats") {
        KIVRA_PLAYER_STATS_BLOCK& block = level->stats.BlockByName(
            HasAttribute(L"block") ? std::wstring_view(GetAttribute(L"block")) : L"NOT_SPECIFIED");
        block.money_earned = GetAttributeInt(L"money_earned");
        block.money_spent = GetAttributeInt(L"money_spent");
        block.hearts_earned = GetAttributeInt(L"hearts_earned");
        block.hearts_spent = GetAttributeInt(L"hearts_spent");
        block.visitors = GetAttributeInt(L"visitors");
    } else if (name == L"marketing") {
        const std::wstring& customer = GetAttribute(L"customer");
        if (GetAttribute(L"value") == L"bonus")
            level->marketing_bonus.entries.push_back(customer);
        else
            level->marketing.emplace(customer, GetAttributeInt(L"value"));
    } else if (name == L"disallow") {
        level->disallowed.insert(GetAttribute(L"type"));
    } else if (name == L"combo-learned") {
        const std::wstring& combo = GetAttribute(L"name");
        if (!DropsLearnedCombo(*level, combo)) level->learned_combos.insert(combo);
    } else if (name == L"building-type") {
        level->availability[GetAttribute(L"type")] =
            HasAttribute(L"availabletobuy") ? (GetAttributeBool(L"availabletobuy") ? 1 : 0) : -1;
    } else if (name == L"research") {
        ReadResearch(*level);
    } else if (name == L"magazine" || name == L"challenge" || name == L"objective" || name == L"reward") {
        ReadGoalElement(name);
    } else {
        LevelStats::ElementStart(name);
    }
}

void KivraLevelStats::ReadBuildingItem(KIVRA_LEVEL& level) {
    auto item = std::make_unique<KIVRA_BUILDING_LEVEL_ITEM>();
    ReadElementAttributes(*item);
    // Whole from the start: a file cut before the item's end tag must read as
    // the item would have, or its next save would differ from this one.
    CompleteBuildingItem(*item);
    typeUpgrades_ = typeBoosts_ = true;
    currentItem_ = level.items.Add(std::move(item));
}

void KivraLevelStats::ReadResearch(KIVRA_LEVEL& level) {
    RESEARCH_OPTION option;
    option.name = GetAttribute(L"name");
    option.effect = RESEARCH_OPTION::EffectFromName(GetAttribute(L"effect"));
    option.param = GetAttribute(L"param");
    option.unlocked = GetAttributeBool(L"unlocked");
    option.coincost = GetAttributeIntOr(L"coincost", 0);
    option.coinincrement = GetAttributeIntOr(L"coinincrement", 1000);
    option.heartcost = GetAttributeIntOr(L"heartcost", 0);
    option.heartincrement = GetAttributeIntOr(L"heartincrement", 10);
    option.cycles = GetAttributeIntOr(L"cycles", 1);
    option.ticks = GetAttributeIntOr(L"tickstofinish", 0);
    if (option.ticks == 0) {
        const int64_t ticks = int64_t{GetAttributeIntOr(L"timetofinish", 0)} * Countdown::WeekDuration() * 100;
        option.ticks = static_cast<int32_t>(ticks);  // wraps as the 32-bit count did
    }
    const bool purchased = GetAttributeBool(L"purchased");
    if (DropsResearch(level, option.name)) {
        // What the player paid for content that is gone comes back, held
        // at the ends of the range as play holds money and hearts.
        if (purchased) {
            level.money = SaturatingAdd(level.money, option.coincost);
            level.hearts = SaturatingAdd(level.hearts, option.heartcost);
        }
        return;
    }
    (purchased ? level.bought_research : level.available_research).push_back(std::move(option));
}

void KivraLevelStats::ReadGoalElement(const std::wstring& name) {
    if (name == L"magazine") {
        currentMagazine_ = std::make_unique<MagazineRecord>();
        currentMagazine_->name = GetAttribute(L"name");
        currentChallenge_ = nullptr;
        return;
    }
    if (currentMagazine_ == nullptr) return;  // challenges belong inside a magazine
    if (name == L"challenge") {
        currentChallenge_ = &currentMagazine_->challenges.emplace_back();
        currentChallenge_->unlocked = GetAttributeBool(L"unlocked");
        return;
    }
    if (currentChallenge_ == nullptr) return;  // objectives and rewards inside a challenge
    if (name == L"objective") {
        ObjectiveRecord& r = currentChallenge_->objectives.emplace_back();
        r.completed = GetAttributeBool(L"completed");
        r.check = GetAttribute(L"check");
        r.type = GetAttribute(L"type");
        r.category = GetAttribute(L"category");
        r.appeal = GetAttribute(L"appeal");
        r.zone_name = GetAttribute(L"zone_name");
        r.fully_upgraded = GetAttributeBool(L"fully_upgraded");
        r.unique = GetAttributeBool(L"unique");
        r.amount = HasAttribute(L"count") ? GetAttributeInt(L"count") : GetAttributeIntOr(L"amount", 1);
        return;
    }
    // "reward"
    currentChallenge_->coins = WrappingAdd(currentChallenge_->coins, GetAttributeIntOr(L"coins", 0));
    currentChallenge_->hearts = WrappingAdd(currentChallenge_->hearts, GetAttributeIntOr(L"hearts", 0));
    if (HasAttribute(L"building")) currentChallenge_->buildings.push_back(GetAttribute(L"building"));
    if (HasAttribute(L"research")) currentChallenge_->research.push_back(GetAttribute(L"research"));
    if (HasAttribute(L"magazine")) currentChallenge_->magazines.push_back(GetAttribute(L"magazine"));
    CorrectRewards(*ParkLevel());
}

void KivraLevelStats::ElementText(const std::wstring& text) {
    KIVRA_LEVEL* level = ParkLevel();
    const size_t before = level != nullptr && textRun_ ? static_cast<size_t>(std::max(level->rows, 0)) : 0;
    LevelStats::ElementText(text);
    if (level == nullptr) return;
    // The text has replaced the map, or added rows to it: only the new rows
    // are searched, so a map in many pieces is searched once.
    if (before == 0) level->spawn_points.clear();
    for (size_t col = 0; col < level->tiles.size(); ++col)
        for (size_t row = before; row < level->tiles[col].size(); ++row)
            if (level->tiles[col][row] == L'@')
                level->spawn_points.emplace_back(static_cast<int32_t>(col), static_cast<int32_t>(row));
}

void KivraLevelStats::CompleteBuildingItem(KIVRA_BUILDING_LEVEL_ITEM& item) {
    const auto* type = dynamic_cast<const KIVRA_BUILDING_TYPE*>(FindRecordByName(ItemStats::Current(), item.type));
    if (type == nullptr) return;
    if (item.upgrades.empty())
        for (const auto& [label, upgrade] : type->upgrades) item.upgrades[label] = false;
    if (item.boosts.empty())
        for (const auto& [label, boost] : type->boosts) item.boosts[label] = -1;
}

void KivraLevelStats::ElementEnd(const std::wstring& name) {
    textRun_ = false;
    if (name == L"item") {
        if (dynamic_cast<KIVRA_BUILDING_LEVEL_ITEM*>(currentItem_) != nullptr) return;
    } else if (name == L"challenge") {
        currentChallenge_ = nullptr;
    } else if (name == L"magazine") {
        if (KIVRA_LEVEL* level = ParkLevel(); level != nullptr && currentMagazine_ != nullptr)
            level->goals_tracker.AddMagazine(*currentMagazine_, level->chosen_challenge);
        currentMagazine_.reset();
        currentChallenge_ = nullptr;
    } else if (name == L"level") {
        if (KIVRA_LEVEL* level = ParkLevel()) {
            CorrectAvailability(*level);
            if (level->sidewalk == 0) TakeShippedSidewalk(*level);
            level->goals_tracker.CountWonTrophies();
        }
        // A magazine left open does not reach into the next level.
        currentMagazine_.reset();
        currentChallenge_ = nullptr;
    }
    LevelStats::ElementEnd(name);
}
