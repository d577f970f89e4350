// Goals built from what the level reader collected of one magazine.
#include "game/data/progress/goal_tracker.h"

std::unique_ptr<Objective> KivraGoalTracker::BuildObjective(const ObjectiveRecord& r, Kind& kind) const {
    if (r.check == L"buildings_exist") {
        kind = kBuildings;
        return std::make_unique<BuildingsExist>(r.amount, r.type, r.category, AppealRequirementFromText(r.appeal),
                                                r.fully_upgraded);
    }
    if (r.check == L"zones_exist") {
        kind = kZones;
        return std::make_unique<CombosExist>(r.amount, r.zone_name, r.unique);
    }
    if (r.check == L"weekly_earnings") {
        kind = kEarnings;
        return std::make_unique<WeeklyEarnings>(r.amount);
    }
    if (r.check == L"trophies_earned") {
        kind = kTrophies;
        return std::make_unique<TrophiesEarned>(r.amount, r.type);
    }
    if (r.check == L"marketing_slots") {
        kind = kMarketing;
        return std::make_unique<MarketingSlotsFilled>(r.amount);
    }
    return nullptr;
}

void KivraGoalTracker::DropObjectivesOf(const Challenge& challenge) {
    for (auto& list : lists_)
        std::erase_if(list, [&](const std::unique_ptr<Objective>& o) { return o->challenge == &challenge; });
}

void KivraGoalTracker::AddMagazine(const MagazineRecord& magazine, std::wstring& chosenChallenge) {
    for (size_t i = 0; i < magazine.challenges.size(); ++i) {
        const ChallengeRecord& record = magazine.challenges[i];
        auto challenge = std::make_unique<Challenge>();
        challenge->metal = static_cast<int32_t>(i);
        challenge->name = magazine.name + L"_" + MetalName(challenge->metal);
        challenge->magazine = magazine.name;
        challenge->coins = record.coins;
        challenge->hearts = record.hearts;
        challenge->buildingRewards = record.buildings;
        challenge->researchRewards = record.research;
        challenge->magazineRewards = record.magazines;
        challenge->unlocked = record.unlocked;
        challenge->completed = true;
        // A challenge of the same name replaces an earlier one: its objectives
        // go with it rather than pointing at a deleted challenge.
        if (auto old = challenges_.find(challenge->name); old != challenges_.end()) {
            DropObjectivesOf(*old->second);
            challenges_.erase(old);
        }
        int32_t index = 0;
        for (const ObjectiveRecord& objectiveRecord : record.objectives) {
            Kind kind = kBuildings;
            std::unique_ptr<Objective> objective = BuildObjective(objectiveRecord, kind);
            // The index counts every objective element, known check or not.
            const int32_t j = index++;
            if (!objective) continue;
            objective->name = challenge->name + L"_objective" + std::to_wstring(j);
            objective->completed = objectiveRecord.completed;
            objective->challenge = challenge.get();
            challenge->objectives.push_back(objective.get());
            if (objective->completed)
                ++challenge->completedObjectives;
            else
                challenge->completed = false;
            lists_[kind].push_back(std::move(objective));
        }
        if (chosenChallenge.empty() && challenge->unlocked && !challenge->completed) chosenChallenge = challenge->name;
        challenges_[challenge->name] = std::move(challenge);
    }
}

void KivraGoalTracker::CountWonTrophies() {
    // A save keeps which challenges were won, not these counts; without them
    // a goal of as many trophies as the level's other challenges could never
    // be reached once the park was read back part-way. A challenge of no
    // known objective was never won, only found so as it was read.
    for (const auto& objective : lists_[kTrophies]) {
        auto& trophies = static_cast<TrophiesEarned&>(*objective);
        int32_t won = 0;
        for (const auto& [name, challenge] : challenges_)
            if (challenge->completed && !challenge->objectives.empty() && trophies.Counts(*challenge)) ++won;
        trophies.SetTrophies(won);
    }
}
