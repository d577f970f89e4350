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
// file is moved aside to profiles.xml.bad (.bad2, .bad3 ... when taken; none
// is ever replaced), and it is logged. Should the move fail, saving refuses
// to replace that file until a later save can move it aside.
// Load runs once per manager. Main thread only.

#include <memory>
#include <string>

#include "foundation/expression/expression.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/data/progress/kivra_player_state.h"
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

    // The slot's player state as the game's, or null.
    KivraPlayerState* KivraPlayer(int32_t slot) const;
    // The name profiles.xml was moved aside to by the load; empty when it was not.
    const std::string& MovedAsideTo() const { return movedAsideTo_; }

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

    int32_t slotCounter_ = 0;  // the slot being read; -1 once loaded
    KivraPlayerState* reading_ = nullptr;
    bool sawProfiles_ = false;
    bool unreadableInTheWay_ = false;
    std::string movedAsideTo_;
    VariableMap symbolVariables_;  // nothing fills it: symbol values stand alone
    ExpressionEvaluator evaluator_{symbolVariables_};
};
