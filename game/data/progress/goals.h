#pragma once
// The goals of a park level: magazines of up to three challenges (bronze,
// silver, gold), each a list of objectives. An objective counts progress
// through the tracker's events whether or not its challenge is unlocked, but
// completes only once the challenge is unlocked; once completed it stays
// completed. The tracker (goal_tracker.h) owns challenges and objectives; a
// challenge only points to its objectives, and each objective back to its
// challenge.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/values/property_interface.h"

class Challenge;

class KivraGoal : public ExtendedPropertyInterface {
public:
    // "name" and "completed".
    PropertyValue GetProperty(std::wstring_view name) override;

    std::wstring name;
    bool completed = false;
};

class Objective : public KivraGoal {
public:
    // "description" (without the remaining count), then the base names.
    PropertyValue GetProperty(std::wstring_view name) override;

    // The sentence shown to the player, from localised texts; with
    // `withRemaining` it ends with how many are still needed.
    virtual void Describe(std::wstring& out, bool withRemaining) = 0;
    // Only for an open objective of an unlocked challenge: completed becomes
    // whether the progress reached the required amount (both compared as
    // unsigned 32-bit values), and is returned. Otherwise false, unchanged.
    virtual bool CheckComplete() = 0;
    // The type's save attributes, each ` name="value"`.
    virtual void WriteAttributes(std::wstring& out) const;
    // A copy with its progress, still pointing to the same challenge.
    virtual std::unique_ptr<Objective> Clone() const = 0;

    Challenge* challenge = nullptr;
    int32_t required = 0;

protected:
    // The shared completion rule over the type's progress.
    bool CompleteWhenReached(uint32_t progress);
    // Tells the HUD, when there is one, that this objective's progress changed.
    void Notify();
};

// "bronze", "silver", "gold" for 0, 1, 2; empty for any other metal.
std::wstring MetalName(int32_t metal);
// The magazine of "<magazine>_<metal>"; empty when the name ends in no metal.
std::wstring MagazineNameFromChallenge(std::wstring_view challenge);

class Challenge : public KivraGoal {
public:
    // "magazine_name", "unlocked", "metal" (its name), "objective<n>" (the
    // n-th objective, for n below the count), then the base names.
    PropertyValue GetProperty(std::wstring_view name) override;

    bool unlocked = false;
    std::vector<Objective*> objectives;  // owned by the tracker
    uint32_t completedObjectives = 0;
    std::wstring magazine;
    int32_t metal = 0;
    int32_t coins = 0;
    int32_t hearts = 0;
    std::vector<std::wstring> buildingRewards;
    std::vector<std::wstring> researchRewards;
    std::vector<std::wstring> magazineRewards;
};
