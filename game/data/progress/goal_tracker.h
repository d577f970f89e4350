#pragma once
// The goals of one park level and the single place where their progress
// turns into game effects.
//
// The park and the player state raise events (a building placed, a zone
// formed, money earned...); each walks the objectives of its kind in order
// and, for every one that has just completed, calls OnObjectiveCompleted,
// which counts it for its challenge and, at the challenge's last objective,
// wins the challenge once: coins and hearts to the player, buildings made
// available, research and magazines unlocked, the next metal activated and
// the HUD told what to show. Winning can complete further objectives
// (trophy counts, weekly earnings fed by the coin reward, newly activated
// challenges whose progress is already met), so the operation re-enters.
//
// The tracker owns its challenges (by name, ordinal order) and objectives
// (one list per kind); each objective stands in exactly one list and in the
// list of exactly one challenge of this tracker. Main thread only.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "game/data/progress/objectives.h"

// What the level reader collects of one "magazine" element before the goals
// are built from it.
struct ObjectiveRecord {
    bool completed = false;
    std::wstring check, type, category, appeal, zone_name;
    bool fully_upgraded = false;
    bool unique = false;
    int32_t amount = 1;
};

struct ChallengeRecord {
    bool unlocked = false;
    int32_t coins = 0;
    int32_t hearts = 0;
    std::vector<std::wstring> buildings, research, magazines;
    std::vector<ObjectiveRecord> objectives;
};

struct MagazineRecord {
    std::wstring name;
    std::vector<ChallengeRecord> challenges;
};

class KivraGoalTracker {
public:
    // The kinds, in the order of the tracker's lists.
    enum Kind : int32_t { kBuildings = 0, kZones, kEarnings, kTrophies, kMarketing, kKindCount };

    KivraGoalTracker() = default;
    virtual ~KivraGoalTracker();
    KivraGoalTracker(const KivraGoalTracker&) = delete;
    KivraGoalTracker& operator=(const KivraGoalTracker&) = delete;

    virtual void Clear();
    // Counts every objective of every challenge once more, whatever its
    // state (a debug command): each challenge not yet won is won.
    virtual void CompleteAllObjectives();
    virtual void OnObjectiveCompleted(Objective& objective);
    // Unlocks the challenge and completes its objectives whose progress is
    // met. An unknown name changes nothing.
    virtual void ActivateChallenge(std::wstring_view name);
    // The goal elements of a saved level, each line after `indent`.
    virtual void WriteXml(std::wstring& out, const std::wstring& indent) const;

    // Events.
    void OnBuildingChanged(const GoalBuilding& building);
    void OnBuildingAppealChanged(const GoalBuilding& building);
    void OnBuildingRemoved(const GoalBuilding& building);
    void OnZoneCreated(const GoalZone& zone);
    void OnZoneRemoved(const GoalZone& zone);
    void OnMoneyEarned(int32_t amount);
    void ResetWeeklyEarnings();
    void OnTrophyEarned(const Challenge& won);
    void OnMarketingSlotsChanged();

    // A copy of the other tracker's goals and progress (not the all-completed flag).
    void Assign(const KivraGoalTracker& source);
    // Builds the magazine's challenges and objectives. `chosenChallenge`, when
    // empty, becomes the first unlocked challenge not yet completed.
    void AddMagazine(const MagazineRecord& magazine, std::wstring& chosenChallenge);
    // Once every magazine of a saved level is read: the trophies objectives
    // count the challenges found won, as each was counted when it was won.
    void CountWonTrophies();
    // A park opens: its trophies goals whose count is reached are won (a
    // save that lost the count left them open with nothing left to win).
    void RecheckTrophies();

    // 1 once every challenge was found won, 2 on the call that first finds it, else 0.
    int IsAllCompleted();
    int32_t GetCompletionPercent() const;
    int32_t CountCompletedChallenges() const;
    // The first open objective of the challenge: its index, with the objective
    // and its description stored. -1 for an empty name (outputs untouched);
    // with nothing open, -1 and the "no active objective" text, or -2 and the
    // "all completed" text once every challenge is won.
    int GetActiveObjective(std::wstring_view challengeName, Objective** objective, std::wstring* text);

    Challenge* FindChallenge(std::wstring_view name) const;
    const std::map<std::wstring, std::unique_ptr<Challenge>, std::less<>>& Challenges() const { return challenges_; }
    const std::vector<std::unique_ptr<Objective>>& ObjectivesOf(Kind kind) const { return lists_[kind]; }

private:
    template <class T, class Handler>
    void ForEach(Kind kind, Handler handler);
    // The challenge's objectives leave the lists and are deleted.
    void DropObjectivesOf(const Challenge& challenge);
    std::unique_ptr<Objective> BuildObjective(const ObjectiveRecord& record, Kind& kind) const;
    void WinChallenge(Challenge& challenge);

    bool allCompleted_ = false;
    std::map<std::wstring, std::unique_ptr<Challenge>, std::less<>> challenges_;
    std::array<std::vector<std::unique_ptr<Objective>>, kKindCount> lists_;
};
