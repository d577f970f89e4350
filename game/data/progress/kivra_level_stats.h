#pragma once
// The game's layer of the level reader and writer: makes KIVRA_LEVEL and
// building items, reads and writes the park elements of a level (marketing,
// disallowed types, learned combos, building availability, research,
// statistics, goals, upgrades and boosts) and deep-copies parks. The levels
// catalogue, every player state and the profile reader use it alike.
//
// Saves of a few named levels are corrected while they are read, whatever
// file they come from: content that a later version of the level no longer
// offers is dropped, and a dropped research option that was bought is paid
// back (named_level_corrections.cpp). A saved level whose sidewalk reads as
// no material (saves written while no material names were known hold an
// empty name) takes the same level's sidewalk from the levels catalogue.
//
// An item of a type the item catalogue lacks (or of any type, without a
// catalogue) is read as a building's record: the upgrades and boosts it
// lists are kept as they are, written back and there when the type returns.
//
// Written text is escaped and reads back to the same records.

#include <memory>
#include <string>

#include "game/data/catalogues/building_level_item.h"
#include "game/data/catalogues/level_stats.h"
#include "game/data/progress/kivra_level.h"

class KivraLevelStats : public LevelStats {
public:
    KivraLevelStats() = default;
    ~KivraLevelStats() override = default;

    void ElementStart(const std::wstring& name) override;
    void ElementEnd(const std::wstring& name) override;
    void ElementText(const std::wstring& text) override;
    std::unique_ptr<LEVEL> CloneLevel(const LEVEL& level) override;

    // The level of that name as the game's record, or null.
    KIVRA_LEVEL* FindParkLevel(std::wstring_view name) const { return dynamic_cast<KIVRA_LEVEL*>(Find(name)); }

protected:
    void WriteLevelAttributes(const LEVEL& level, std::wstring& out) override;
    void WriteLevelBody(const LEVEL& level, std::wstring& out, const std::wstring& indent) override;
    void WriteItem(const LEVEL_ITEM& item, std::wstring& out, const std::wstring& indent, bool close) override;
    void ReadElementAttributes(LEVEL_ELEMENT& record) override;
    std::unique_ptr<LEVEL> NewLevel() override { return std::make_unique<KIVRA_LEVEL>(); }
    std::unique_ptr<LEVEL_ITEM> CreateItemLike(const LEVEL_ITEM& source) override;
    std::unique_ptr<LEVEL_ITEM> CloneItem(const LEVEL_ITEM& item) override;

    // The level being read, or null.
    KIVRA_LEVEL* ParkLevel() const { return dynamic_cast<KIVRA_LEVEL*>(currentLevel_); }

private:
    void ReadLevelAttributes(KIVRA_LEVEL& level);
    // Money or hearts, a number beyond their range taken as its nearest end.
    int32_t ReadResource(const std::wstring& name, int32_t fallback) const;
    void ReadBuildingItem(KIVRA_LEVEL& level);
    void ReadResearch(KIVRA_LEVEL& level);
    void ReadGoalElement(const std::wstring& name);
    void CompleteBuildingItem(KIVRA_BUILDING_LEVEL_ITEM& item);

    // Corrections of named levels' saves.
    static bool DropsLearnedCombo(const KIVRA_LEVEL& level, const std::wstring& combo);
    static bool DropsResearch(const KIVRA_LEVEL& level, const std::wstring& option);
    void CorrectRewards(const KIVRA_LEVEL& level);
    static void CorrectAvailability(KIVRA_LEVEL& level);
    void TakeShippedSidewalk(KIVRA_LEVEL& level) const;

    std::unique_ptr<MagazineRecord> currentMagazine_;
    ChallengeRecord* currentChallenge_ = nullptr;
    // The current building item still holds only the entries its type gave it:
    // its first listed upgrade (boost) replaces them all.
    bool typeUpgrades_ = false;
    bool typeBoosts_ = false;
};
