#pragma once
// The base of the game's player state: which of the player's levels is
// current, the switch between levels (unloading the assets the old level
// needed and loading those of the new one, through LevelAssets), and the
// current level's named metrics.
//
// The game layer keeps the player's levels and says how to find, copy and
// write them (the abstract operations). The current level is looked up by
// name on first need and kept; a subclass that replaces its levels calls
// ForgetCurrentLevel so the next access looks the name up again.
// Main thread only.

#include <cstdint>
#include <string>
#include <string_view>

#include "app/player/basic_player_state.h"
#include "game/data/catalogues/level_stats.h"
#include "widgets/script/animation_stats.h"

class PlayerState : public BasicPlayerState {
public:
    PlayerState() = default;
    ~PlayerState() override = default;

    // The player's levels as profile text, each line after `indent`.
    virtual void WriteLevels(std::wstring& out, const std::wstring& indent) = 0;
    // Replaces the player's levels with copies of the catalogue's.
    virtual void CopyLevelsFrom(const LevelStats& catalogue) = 0;
    // One of the player's levels by name, or null.
    virtual LEVEL* FindLevel(std::wstring_view name) = 0;

    // One blank, then the play-time attributes.
    virtual void WriteProfileAttributes(std::wstring& out);
    virtual void SetCurrentLevel(std::wstring_view name);
    // The names the level needs loaded while it is current.
    virtual void CollectLevelResources(LEVEL& level, AssetNameSets& group);
    // With `add` the metric grows by the value (an absent one starts at 0).
    // Without a current level nothing is written.
    virtual void SetMetric(std::wstring_view name, int32_t value, bool add);
    // 0 for an absent metric or without a current level.
    virtual int32_t GetMetric(std::wstring_view name);

    const std::wstring& CurrentLevelName() const { return playLevelName_; }
    // The current level, looked up by its name when not known yet; null when
    // the player has no level of that name.
    LEVEL* CurrentLevelRecord();

protected:
    void ForgetCurrentLevel() { playLevel_ = nullptr; }

private:
    LEVEL* playLevel_ = nullptr;
    std::wstring playLevelName_;
};
