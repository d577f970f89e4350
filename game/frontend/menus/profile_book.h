#pragma once
// ProfileBook: what the menus ask of the player profiles. Four slots, each
// empty or holding a named profile; at most one is selected (-1: none).
// The game's profile manager answers; tests give their own book.
// Main thread only.

#include <string>

class ProfileBook {
public:
    static constexpr int kSlots = 4;

    ProfileBook() = default;
    virtual ~ProfileBook() = default;
    ProfileBook(const ProfileBook&) = delete;
    ProfileBook& operator=(const ProfileBook&) = delete;

    // Writes profiles.xml; false when it could not be written.
    virtual bool Save() = 0;
    // A new profile in the slot (-1: the first empty one), selected when asked.
    // False, with nothing changed, when there is no such empty slot or the name is empty.
    virtual bool CreateProfile(const std::wstring& name, int slot, bool select) = 0;
    // Creates, renames or selects the profile of the slot.
    virtual void ChooseProfile(const std::wstring& name, int slot) = 0;
    virtual void DeleteProfile(int slot) = 0;
    virtual void ResetProfile(int slot) = 0;
    // Empty for an empty slot or one out of range.
    virtual std::wstring GetProfileName(int slot) const = 0;
    virtual int GetSelectedSlot() const = 0;
    // -1 when every slot holds a profile.
    virtual int FirstEmptySlot() const = 0;
    // False when the last profile created, chosen or deleted could not be
    // written to the disk: it holds for this run only.
    virtual bool ChangeSaved() const { return true; }
};
