#pragma once
// ProfileManagerBook: the profile book over the game's profile manager
// (profiles.xml), for the application to hand to the menus. The manager is
// not owned; a book without one answers as four empty slots and changes
// nothing. Creating, choosing and deleting a profile save profiles.xml at
// once; whether that worked is kept for the menus to tell. Main thread only.

#include "game/frontend/menus/profile_book.h"

class ProfileManager;

class ProfileManagerBook : public ProfileBook {
public:
    explicit ProfileManagerBook(ProfileManager* manager = nullptr) : manager_(manager) {}

    void Bind(ProfileManager* manager) { manager_ = manager; }
    ProfileManager* GetManager() const { return manager_; }

    // Without a manager there is nothing to write: true.
    bool Save() override;
    bool CreateProfile(const std::wstring& name, int slot, bool select) override;
    void ChooseProfile(const std::wstring& name, int slot) override;
    void DeleteProfile(int slot) override;
    void ResetProfile(int slot) override;
    std::wstring GetProfileName(int slot) const override;
    int GetSelectedSlot() const override;
    int FirstEmptySlot() const override;
    bool ChangeSaved() const override { return changeSaved_; }

private:
    // A player just made, chosen or deleted is written at once: a crash or a
    // killed process must not take it along.
    void SaveChange();

    ProfileManager* manager_;
    bool changeSaved_ = true;
};
