#pragma once
// The game's profile manager: its slots hold KivraPlayerStates, and it reads
// profiles.xml, using the park reader it derives from for the levels inside.
//
// Reading: each "profile" element fills the next slot, at most four; a
// further one is ignored. A named profile gets a new player state with its
// play time (each value taken within its range), tutorial step and symbols (each value evaluated as an
// expression) and the levels of its own element; a catalogue level the save
// lacks comes as a fresh copy. A free profile gets no player state. A
// "selected" that names no named slot selects nothing.
//
// A file that is missing leaves every slot free. A file that does not read
// to its end as a profiles file is never fatal: every slot stays free, the
// file is moved aside to profiles.xml.bad (.bad2, .bad3 ... when taken; the
// oldest of a full set gives way), and it is logged. Should the move fail,
// saving refuses to replace that file until a later save can move it aside.
//
// A file that reads but held something the reader dropped or changed (see
// ProfileDamage; a level written twice keeps the copy with more items, the
// first on a tie; text other than a level's tile map; a tile map in pieces,
// read as one; a selection naming no saved player; the items a park leaves
// out, see left_out_items.h) is played as read, but a copy of it is kept
// aside under the same names and each loss is logged. Should the copy fail,
// saving refuses to write over the file until a later save can keep the
// copy. A left-out item is saved unchanged, a building's upgrades and boosts
// with it, marked as told (LEVEL_ITEM::told): read again, it is no damage.
// Load runs once per manager. Main thread only.

#include <memory>
#include <string>

#include "foundation/expression/expression.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/data/progress/kivra_player_state.h"
#include "game/data/progress/profile_damage.h"
#include "game/data/progress/profile_manager.h"

class KivraProfileManager : public ProfileManager, public KivraLevelStats {
public:
    KivraProfileManager() = default;
    ~KivraProfileManager() override = default;

    // Reads profiles.xml once, selects the profile it names and becomes the
    // global profile manager.
    void Load() override;
    bool Save() override;

    void ElementStart(const std::wstring& name) override;
    void ElementEnd(const std::wstring& name) override;
    void ElementText(const std::wstring& text) override;

    // The slot's player state as the game's, or null.
    KivraPlayerState* KivraPlayer(int32_t slot) const;
    // The name profiles.xml was moved aside to by the load; empty when it was not.
    const std::string& MovedAsideTo() const { return movedAsideTo_; }
    // What the load dropped or changed of the file, and the name of the copy
    // of it kept aside (empty while none could be made).
    const ProfileDamage& Damage() const { return damage_; }
    const std::string& DamagedCopy() const { return damagedCopy_; }

protected:
    std::unique_ptr<PlayerState> CreatePlayerState() override { return std::make_unique<KivraPlayerState>(); }

private:
    // True when the file read to its end as a profiles file.
    bool ReadProfiles(const std::string& path);
    void StartProfile();
    void EndProfile();
    void ReadSymbol();
    // Moves an unreadable profiles.xml aside; false when it stays in the way.
    bool MoveUnreadableAside(const std::string& path);
    // Keeps a copy of a damaged profiles.xml aside; false when none could be made.
    bool CopyDamagedAside(const std::string& path);
    std::wstring DamagePlace() const;
    // A level read twice keeps the copy with more items.
    void KeepFullerLevel();

    int32_t slotCounter_ = 0;  // the slot being read; -1 once loaded
    KivraPlayerState* reading_ = nullptr;
    bool sawProfiles_ = false;
    int32_t namedSelection_ = -1;  // the file's "selected", in range or not
    bool toldMark_ = false;        // the next item follows the mark of a told one
    bool unreadableInTheWay_ = false;
    std::string movedAsideTo_;
    ProfileDamage damage_;
    std::string damagedCopy_;
    LEVEL* earlierCopy_ = nullptr;  // the level read before under the name of the one being read
    VariableMap symbolVariables_;   // nothing fills it: symbol values stand alone
    ExpressionEvaluator evaluator_{symbolVariables_};
};
