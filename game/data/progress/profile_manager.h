#pragma once
// The player's four profile slots and profiles.xml, the file that holds them.
//
// A slot is free (empty name, no player state) or named (a name and the
// player state it owns). At most one slot is selected; its player state is
// the current player. The game's manager (KivraProfileManager) adds the
// reader and the kind of player state a slot holds.
//
// Promises: no operation touches a slot beyond the fourth; a named slot always
// has a player state; a player state replaced or deleted is freed, and stops
// being the current player. Save writes the whole file atomically (temporary
// file in the same folder, flushed, renamed over profiles.xml): a crash, a
// full disk or an I/O error leaves the previous file as it was, and Save
// reports false. Every written value is escaped.
// Main thread only.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/system/service.h"
#include "game/data/progress/player_state.h"

struct PROFILE {
    virtual ~PROFILE() = default;
    std::wstring name;  // empty: the slot is free
    std::unique_ptr<PlayerState> player;
};

// What a profile change asks of the application: the name of the selected
// profile, and the settings file, which is saved whenever the profiles are.
// The fallback saves the settings of the running application, if any, and
// keeps no name.
class ProfileHost {
public:
    virtual ~ProfileHost() = default;
    virtual void SetCurrentProfileName(std::wstring_view name) = 0;
    virtual void SaveSettingsFile() = 0;

    static ProfileHost& Fallback();
};

class ProfileManager {
public:
    static constexpr int32_t kSlots = 4;

    ProfileManager() = default;
    virtual ~ProfileManager();
    ProfileManager(const ProfileManager&) = delete;
    ProfileManager& operator=(const ProfileManager&) = delete;

    // The global profile manager (set by a load), or null.
    static ProfileManager* Current();

    // Writes profiles.xml, then the settings file; false when profiles.xml
    // could not be written (the previous file is kept, and it is logged).
    virtual bool Save();
    // The whole text of profiles.xml after its byte-order mark.
    std::wstring ProfilesText();

    // A copy of the slot's name; empty for a free slot or no slot.
    std::wstring GetProfileName(int32_t slot) const;
    // -1 selects nothing. A named slot's player becomes the current player
    // and its name the application's profile name; a free slot or a number
    // outside the slots selects nothing.
    void SelectProfile(int32_t slot);
    // Names the slot (-1: the first free one) and gives it a new player
    // state, freeing the one it had. Refused (-1) for an empty name, a slot
    // outside 0..3, or -1 while every slot is named; else the slot.
    int32_t CreateProfile(std::wstring_view name, int32_t slot, bool select);
    // Names a free slot, renames a named one, then selects it.
    void ChooseProfile(std::wstring_view name, int32_t slot);
    // Frees a named slot (its folder and player state go); a selected slot
    // leaves no selection.
    void DeleteProfile(int32_t slot);
    // The slot keeps its name and starts a new game, selected.
    void ResetProfile(int32_t slot);

    int32_t Selected() const { return selected_; }
    // The slot's player state, or null (free slot, no slot).
    PlayerState* Player(int32_t slot) const;

    static std::string ProfilesPath();
    // The data folder, the slot number and a separator; `create` makes it.
    static std::string ProfileFolder(int32_t slot, bool create);

protected:
    virtual std::unique_ptr<PlayerState> CreatePlayerState() = 0;

    static bool IsSlot(int32_t slot) { return slot >= 0 && slot < kSlots; }
    void MakeCurrentManager() { current_ = this; }
    // Every slot free and nothing selected.
    void FreeAllSlots();

    std::array<PROFILE, kSlots> slots_;
    int32_t selected_ = -1;

private:
    static inline ProfileManager* current_ = nullptr;
};
