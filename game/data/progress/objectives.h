#pragma once
// The five kinds of objective, one per check name of the level data:
//
//   BuildingsExist        "buildings_exist"   buildings of a type or category,
//                                             optionally of an appeal or fully upgraded
//   CombosExist           "zones_exist"       zones formed (of a name, or distinct names)
//   WeeklyEarnings        "weekly_earnings"   money earned since the week started
//   TrophiesEarned        "trophies_earned"   challenges of the level won (of a metal)
//   MarketingSlotsFilled  "marketing_slots"   marketing slots filled in the current level
//
// Handlers count progress and return whether the objective has just
// completed; a completed objective ignores every further event and keeps its
// final counts. Progress is counted while the challenge is locked.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "game/data/progress/goals.h"
#include "game/data/progress/park_hooks.h"

struct KIVRA_LEVEL;

// The appeal requirement that means none.
inline constexpr float kNoAppealRequirement = -1048576.0f;

// "average", "above_average", "high" or "amazing" for an appeal within 0.01
// of that threshold constant; otherwise the number, as "%f" or, `numeric`,
// as "<int>.<hundredths>".
std::wstring AppealLevelName(float appeal, bool numeric);
// The requirement an "appeal" attribute stands for: a threshold word gives its
// constant, a number itself, anything else (or nothing) no requirement.
float AppealRequirementFromText(std::wstring_view text);

class BuildingsExist : public Objective {
public:
    BuildingsExist(int32_t required, std::wstring type, std::wstring category, float appeal, bool fullyUpgraded);

    PropertyValue GetProperty(std::wstring_view name) override;
    void Describe(std::wstring& out, bool withRemaining) override;
    bool CheckComplete() override;
    void WriteAttributes(std::wstring& out) const override;
    std::unique_ptr<Objective> Clone() const override { return std::make_unique<BuildingsExist>(*this); }

    bool CountBuilding(const GoalBuilding& building);
    void OnAppealChanged(const GoalBuilding& building);
    void OnBuildingRemoved(const GoalBuilding& building);
    size_t CountedBuildings() const { return counted_.size(); }

    std::wstring type;
    std::wstring category;
    float appeal = kNoAppealRequirement;
    bool fully_upgraded = false;

private:
    bool Qualifies(const GoalBuilding& building) const;

    std::set<const GoalBuilding*> counted_;
};

class CombosExist : public Objective {
public:
    CombosExist(int32_t required, std::wstring zoneName, bool unique);

    PropertyValue GetProperty(std::wstring_view name) override;
    void Describe(std::wstring& out, bool withRemaining) override;
    bool CheckComplete() override;
    void WriteAttributes(std::wstring& out) const override;
    std::unique_ptr<Objective> Clone() const override { return std::make_unique<CombosExist>(*this); }

    bool OnZoneCreated(const GoalZone& zone);
    void OnZoneRemoved(const GoalZone& zone);
    // Distinct names with `unique`, else every zone.
    uint32_t Progress() const;

    std::wstring zone_name;
    bool unique = false;

private:
    std::map<std::wstring, int32_t> zones_;
    int32_t total_ = 0;
};

class WeeklyEarnings : public Objective {
public:
    explicit WeeklyEarnings(int32_t required);

    PropertyValue GetProperty(std::wstring_view name) override;
    void Describe(std::wstring& out, bool withRemaining) override;
    bool CheckComplete() override;
    void WriteAttributes(std::wstring& out) const override;
    std::unique_ptr<Objective> Clone() const override { return std::make_unique<WeeklyEarnings>(*this); }

    bool AddEarnings(int32_t amount);
    void ResetWeek() { earned_ = 0; }
    int32_t Earned() const { return earned_; }

private:
    int32_t earned_ = 0;
};

class TrophiesEarned : public Objective {
public:
    TrophiesEarned(int32_t required, std::wstring type);

    PropertyValue GetProperty(std::wstring_view name) override;
    void Describe(std::wstring& out, bool withRemaining) override;
    bool CheckComplete() override;
    void WriteAttributes(std::wstring& out) const override;
    std::unique_ptr<Objective> Clone() const override { return std::make_unique<TrophiesEarned>(*this); }

    bool OnTrophyEarned(const Challenge& won);
    // Whether a trophy of that challenge's metal counts here.
    bool Counts(const Challenge& won) const;
    int32_t Trophies() const { return trophies_; }
    void SetTrophies(int32_t count) { trophies_ = count; }

    std::wstring type;  // a metal name, or empty for any

private:
    int32_t trophies_ = 0;
};

class MarketingSlotsFilled : public Objective {
public:
    explicit MarketingSlotsFilled(int32_t required);

    PropertyValue GetProperty(std::wstring_view name) override;
    void Describe(std::wstring& out, bool withRemaining) override;
    // Without a current level the objective completes with a requirement
    // of 1048576.
    bool CheckComplete() override;
    void WriteAttributes(std::wstring& out) const override;
    std::unique_ptr<Objective> Clone() const override { return std::make_unique<MarketingSlotsFilled>(*this); }

    bool Recheck();
    // The slots the player filled: the level's bonus customers. Its
    // marketing table is the park's usual mix of visitors, no slot's.
    static size_t FilledSlots(const KIVRA_LEVEL& level);
};
