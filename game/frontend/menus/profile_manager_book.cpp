#include "game/frontend/menus/profile_manager_book.h"

#include "game/data/progress/profile_manager.h"

void ProfileManagerBook::Save() {
    if (manager_) manager_->Save();
}

bool ProfileManagerBook::CreateProfile(const std::wstring& name, int slot, bool select) {
    return manager_ && manager_->CreateProfile(name, slot, select) >= 0;
}

void ProfileManagerBook::ChooseProfile(const std::wstring& name, int slot) {
    if (manager_) manager_->ChooseProfile(name, slot);
}

void ProfileManagerBook::DeleteProfile(int slot) {
    if (manager_) manager_->DeleteProfile(slot);
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
