#include "game/data/progress/goal_tracker.h"

#include <algorithm>

#include "foundation/expression/localization_map.h"

KivraGoalTracker::~KivraGoalTracker() { KivraGoalTracker::Clear(); }

void KivraGoalTracker::Clear() {
    challenges_.clear();
    for (auto& list : lists_) list.clear();
}

Challenge* KivraGoalTracker::FindChallenge(std::wstring_view name) const {
    auto it = challenges_.find(name);
    return it == challenges_.end() ? nullptr : it->second.get();
}

// Walks by index: a completion may re-enter the tracker, which activates
// challenges but never adds to or removes from the lists.
template <class T, class Handler>
void KivraGoalTracker::ForEach(Kind kind, Handler handler) {
    for (size_t i = 0; i < lists_[kind].size(); ++i) {
        Objective& objective = *lists_[kind][i];
        if (handler(static_cast<T&>(objective))) OnObjectiveCompleted(objective);
    }
}

void KivraGoalTracker::OnBuildingChanged(const GoalBuilding& building) {
    ForEach<BuildingsExist>(kBuildings, [&](BuildingsExist& o) { return o.CountBuilding(building); });
}

void KivraGoalTracker::OnBuildingAppealChanged(const GoalBuilding& building) {
    ForEach<BuildingsExist>(kBuildings, [&](BuildingsExist& o) {
        o.OnAppealChanged(building);
        return false;
    });
}

void KivraGoalTracker::OnBuildingRemoved(const GoalBuilding& building) {
    ForEach<BuildingsExist>(kBuildings, [&](BuildingsExist& o) {
        o.OnBuildingRemoved(building);
        return false;
    });
}

void KivraGoalTracker::OnZoneCreated(const GoalZone& zone) {
    ForEach<CombosExist>(kZones, [&](CombosExist& o) { return o.OnZoneCreated(zone); });
}

void KivraGoalTracker::OnZoneRemoved(const GoalZone& zone) {
    ForEach<CombosExist>(kZones, [&](CombosExist& o) {
        o.OnZoneRemoved(zone);
        return false;
    });
}

void KivraGoalTracker::OnMoneyEarned(int32_t amount) {
    ForEach<WeeklyEarnings>(kEarnings, [&](WeeklyEarnings& o) { return o.AddEarnings(amount); });
}

void KivraGoalTracker::ResetWeeklyEarnings() {
    for (auto& objective : lists_[kEarnings]) static_cast<WeeklyEarnings&>(*objective).ResetWeek();
}

void KivraGoalTracker::OnTrophyEarned(const Challenge& won) {
    ForEach<TrophiesEarned>(kTrophies, [&](TrophiesEarned& o) { return o.OnTrophyEarned(won); });
}

void KivraGoalTracker::RecheckTrophies() {
    ForEach<TrophiesEarned>(kTrophies, [](TrophiesEarned& o) { return o.CheckComplete(); });
}

void KivraGoalTracker::OnMarketingSlotsChanged() {
    ForEach<MarketingSlotsFilled>(kMarketing, [](MarketingSlotsFilled& o) { return o.Recheck(); });
}

void KivraGoalTracker::ActivateChallenge(std::wstring_view name) {
    Challenge* challenge = FindChallenge(name);
    if (challenge == nullptr) return;
    challenge->unlocked = true;
    // A copy: a completion re-enters, but never changes this challenge's list.
    const std::vector<Objective*> objectives = challenge->objectives;
    for (Objective* objective : objectives)
        if (objective->CheckComplete()) OnObjectiveCompleted(*objective);
}

void KivraGoalTracker::CompleteAllObjectives() {
    std::vector<Objective*> all;
    for (const auto& [name, challenge] : challenges_)
        all.insert(all.end(), challenge->objectives.begin(), challenge->objectives.end());
    for (Objective* objective : all) OnObjectiveCompleted(*objective);
}

void KivraGoalTracker::Assign(const KivraGoalTracker& source) {
    if (&source == this) return;
    Clear();
    for (const auto& [name, challenge] : source.challenges_) {
        auto copy = std::make_unique<Challenge>(*challenge);
        copy->objectives.clear();
        challenges_[name] = std::move(copy);
    }
    for (size_t kind = 0; kind < kKindCount; ++kind) {
        for (const auto& objective : source.lists_[kind]) {
            Challenge* owner = objective->challenge ? FindChallenge(objective->challenge->name) : nullptr;
            if (owner == nullptr) continue;  // an objective always has a challenge of the tracker
            std::unique_ptr<Objective> copy = objective->Clone();
            copy->challenge = owner;
            auto at = std::find_if(owner->objectives.begin(), owner->objectives.end(),
                                   [&](const Objective* o) { return !(o->name < copy->name); });
            owner->objectives.insert(at, copy.get());
            lists_[kind].push_back(std::move(copy));
        }
    }
}

int KivraGoalTracker::IsAllCompleted() {
    if (allCompleted_) return 1;
    for (const auto& [name, challenge] : challenges_)
        if (!challenge->completed) return 0;
    allCompleted_ = true;
    return 2;
}

int32_t KivraGoalTracker::CountCompletedChallenges() const {
    return static_cast<int32_t>(std::count_if(challenges_.begin(), challenges_.end(),
                                              [](const auto& entry) { return entry.second->completed; }));
}

int32_t KivraGoalTracker::GetCompletionPercent() const {
    if (challenges_.empty()) return 0;
    return static_cast<int32_t>(CountCompletedChallenges() * 100.0 / static_cast<double>(challenges_.size()));
}

int KivraGoalTracker::GetActiveObjective(std::wstring_view challengeName, Objective** objective, std::wstring* text) {
    if (challengeName.empty()) return -1;
    if (text) text->clear();
    // A won challenge has nothing open, even where a debug completion left
    // its objectives' own flags unset.
    if (const Challenge* challenge = FindChallenge(challengeName); challenge != nullptr && !challenge->completed) {
        for (size_t i = 0; i < challenge->objectives.size(); ++i) {
            Objective* open = challenge->objectives[i];
            if (open->completed) continue;
            if (text) open->Describe(*text, true);
            if (objective) *objective = open;
            return static_cast<int>(i);
        }
    }
    if (objective) *objective = nullptr;
    const bool allWon = allCompleted_ || GetCompletionPercent() == 100;
    if (text) *text = LocalizeLookup(allWon ? L"goal_all_completed" : L"goal_no_active_objective");
    return allWon ? -2 : -1;
}
