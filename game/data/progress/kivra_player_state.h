#pragma once
// One player's game: the player's own copy of every park level with the
// progress in it, the current level, its money and hearts with their
// statistics, research purchases, tutorial progress, and the properties the
// menus and the HUD read.
//
// A new player starts with a fresh copy of every level of the loaded levels
// catalogue. The player is also a level reader and writer (KivraLevelStats),
// so its levels go into the profile file in the park record's text; one
// override of WriteLevels and CopyLevelsFrom serves both bases.
//
// "money_ptr", "hearts_ptr" and "ticketprice_ptr" answer field-handle ids of
// the current level's fields (never addresses); the handles die with the
// level, so an id read after the level is gone reads 0.
// Main thread only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/values/property_interface.h"
#include "game/data/catalogues/research_option.h"
#include "game/data/progress/goal_display.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/data/progress/player_state.h"

class KivraPlayerState : public PlayerState,
                         public KivraLevelStats,
                         public ExtendedPropertyInterface,
                         public ParkPlayer {
public:
    KivraPlayerState();
    ~KivraPlayerState() override = default;

    // Both bases: the levels in name order, `indent` before each line.
    void WriteLevels(std::wstring& out, const std::wstring& indent) override;
    // Both bases: replaces the levels with copies of the other holder's.
    void CopyLevelsFrom(const LevelStats& catalogue) override;
    LEVEL* FindLevel(std::wstring_view name) override { return Find(name); }
    // The play time, then tutorial_step.
    void WriteProfileAttributes(std::wstring& out) override;
    void CollectLevelResources(LEVEL& level, AssetNameSets& group) override;

    // ParkPlayer
    KIVRA_LEVEL* GetCurrentLevel() override;
    void ChangeResource(std::wstring_view name, int32_t delta, bool notify, AnimationWidget* target) override;
    int32_t TutorialStep() const override { return tutorial_step; }
    bool PausedForTutorial() const override { return paused_for_tutorial; }
    void SetTutorialStep(int32_t step) override { tutorial_step = step; }
    void SetPausedForTutorial(bool paused) override { paused_for_tutorial = paused; }

    // Buys the available option of that name when the level can pay for it;
    // `bought` receives the option as it was before the purchase. Without
    // the money or hearts the HUD shows its no-resources dialog. True when
    // it was bought.
    bool PurchaseResearch(std::wstring_view name, RESEARCH_OPTION& bought) override;
    // Counts every objective of every level as completed (a debug command).
    virtual void CompleteAllGoals();

    // A fresh copy of every catalogue level the player has no level of, so a
    // level added to the game after a save was written is there to play.
    void AddMissingLevelsFrom(const LevelStats& catalogue);

    PropertyValue GetProperty(std::wstring_view name) override;

    int32_t tutorial_step = 0;
    bool paused_for_tutorial = false;

private:
    // The current level's names; nothing for any other name.
    std::optional<PropertyValue> LevelProperty(KIVRA_LEVEL& level, std::wstring_view name);
    PropertyValue TutorialProperty(std::wstring_view name) const;
    PropertyValue LevelsProperty(std::wstring_view name);
};
