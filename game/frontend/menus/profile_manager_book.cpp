#include "game/frontend/menus/profile_manager_book.h"

#include "game/data/progress/profile_manager.h"

bool ProfileManagerBook::Save() { return !manager_ || manager_->Save(); }

void ProfileManagerBook::SaveChange() {
    // A manager that never read the file (its load makes it the current one)
    // would write empty slots over it.
    if (ProfileManager::Current() == manager_) changeSaved_ = manager_->Save();
}

bool ProfileManagerBook::CreateProfile(const std::wstring& name, int slot, bool select) {
    if (!manager_ || manager_->CreateProfile(name, slot, select) < 0) return false;
    SaveChange();
    return true;
}

void ProfileManagerBook::ChooseProfile(const std::wstring& name, int slot) {
    if (!manager_) return;
    manager_->ChooseProfile(name, slot);
    SaveChange();
}

void ProfileManagerBook::DeleteProfile(int slot) {
    if (!manager_) return;
    manager_->DeleteProfile(slot);
    SaveChange();
}

void ProfileManagerBook::ResetProfile(int slot) {
    if (manager_) manager_->ResetProfile(slot);
}

std::wstring ProfileManagerBook::GetProfileName(int slot) const {
    return manager_ ? manager_->GetProfileName(slot) : std::wstring();
}

int ProfileManagerBook::GetSelectedSlot() const { return manager_ ? manager_->Selected() : -1; }

int ProfileManagerBook::FirstEmptySlot() const {
    if (!manager_) return -1;
    for (int slot = 0; slot < kSlots; ++slot)
        if (manager_->GetProfileName(slot).empty()) return slot;
    return -1;
}
