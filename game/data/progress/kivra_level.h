#pragma once
// The game's level record: a level layout plus everything that makes it a
// park in progress: money and hearts, ticket price, marketing, research,
// which building types may be bought, learned combos, goals with their
// progress and the statistics. The levels catalogue holds one per level as
// the starting point; every player state holds its own copies, which play
// changes and the profile file saves. Copies are made by KivraLevelStats.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game/data/catalogues/level_records.h"
#include "game/data/catalogues/research_option.h"
#include "game/data/progress/goal_tracker.h"
#include "game/data/progress/park_stats.h"

struct KIVRA_LEVEL : LEVEL {
    // The game's names (see the .cpp), then the layout's.
    PropertyValue GetProperty(std::wstring_view name) override;

    bool ever_been_loaded = false;
    std::wstring display_name;
    std::vector<std::pair<int32_t, int32_t>> spawn_points;  // (col, row) of every "@" tile
    bool ocean = false;
    int32_t trophies_required = 0;
    uint16_t sidewalk = 0;  // tile code of the sidewalk material
    int32_t weeks_played = 0;
    // Hundredths of a second of the running week left when the park was
    // saved; 0 when saved between weeks, or by a file older than the field:
    // the park then opens at a week's start.
    int32_t week_time_left = 0;
    int32_t money = 0;
    int32_t hearts = 0;
    int32_t ticketprice_base = 0;
    int32_t ticketprice = 0;
    int32_t marketing_slots = 0;
    std::map<std::wstring, int32_t> marketing;  // customer -> value
    StatsQuery<std::wstring> marketing_bonus;   // bonus customers
    std::vector<RESEARCH_OPTION> available_research;
    std::vector<RESEARCH_OPTION> bought_research;
    // Building type -> 1 may be bought, 0 may not, -1 not given.
    std::map<std::wstring, int32_t> availability;
    KivraGoalTracker goals_tracker;
    std::wstring chosen_challenge;
    KivraStatsTracker stats;
    std::set<std::wstring> disallowed;
    std::set<std::wstring> learned_combos;
    // The ids scripts follow this level's fields through ("money_ptr" and
    // the like); they live and die with the level, so an id never outlives
    // the field it reads.
    FieldHandles fieldHandles;
};
