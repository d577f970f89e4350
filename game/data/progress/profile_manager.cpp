#include "game/data/progress/profile_manager.h"

#include "app/shell/vorn_app_base.h"
#include "foundation/files/path_utils.h"
#include "foundation/system/log.h"
#include "game/data/catalogues/xml_writing.h"

namespace {

class ApplicationProfileHost : public ProfileHost {
public:
    void SetCurrentProfileName(std::wstring_view) override {}
    void SaveSettingsFile() override {
        if (VornAppBase* app = VornAppBase::Instance()) app->SaveSettingsFile();
    }
};

}  // namespace

ProfileHost& ProfileHost::Fallback() {
    static ApplicationProfileHost host;
    return host;
}

ProfileManager::~ProfileManager() {
    if (current_ == this) current_ = nullptr;
}

ProfileManager* ProfileManager::Current() { return current_; }

std::string ProfileManager::ProfilesPath() {
    std::string path = AddTrailingSlash(GetAppDataFolder()) + "profiles.xml";
    GrantEveryoneFullAccess(path);
    return path;
}

std::string ProfileManager::ProfileFolder(int32_t slot, bool create) {
    std::string folder = AddTrailingSlash(GetAppDataFolder()) + std::to_string(slot) + "\\";
    if (create) {
        MakeDirectories(folder);
        GrantEveryoneFullAccess(folder);
    }
    return folder;
}

std::wstring ProfileManager::ProfilesText() {
    std::wstring out = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    out += L"<profiles selected=\"" + std::to_wstring(selected_) + L"\">\n\n";
    for (PROFILE& slot : slots_) {
        if (slot.name.empty() || slot.player == nullptr) {
            out += L"\t<profile name=\"\"/>\n\n";
            continue;
        }
        out += L"\t<profile";
        AppendAttribute(out, L"name", slot.name);
        slot.player->WriteProfileAttributes(out);
        out += L">\n\n";
        slot.player->WriteLevels(out, L"\t\t");
        out += L"\t\t" + slot.player->WriteSymbols() + L"\n\n";
        out += L"\t</profile>\n\n";
    }
    out += L"</profiles>\n";
    return out;
}

bool ProfileManager::Save() {
    const std::string path = ProfilesPath();
    const bool written = WriteWStringToFile(path, ProfilesText());
    if (!written) LogWrite(L"profiles.xml could not be saved; the previous file is kept", true);
    Service<ProfileHost>::Get().SaveSettingsFile();
    return written;
}

std::wstring ProfileManager::GetProfileName(int32_t slot) const { return IsSlot(slot) ? slots_[slot].name : L""; }

PlayerState* ProfileManager::Player(int32_t slot) const { return IsSlot(slot) ? slots_[slot].player.get() : nullptr; }

void ProfileManager::SelectProfile(int32_t slot) {
    if (!IsSlot(slot) || slots_[slot].player == nullptr) {
        selected_ = -1;
        return;
    }
    selected_ = slot;
    slots_[slot].player->MakeCurrent();
    Service<ProfileHost>::Get().SetCurrentProfileName(slots_[slot].name);
}

int32_t ProfileManager::CreateProfile(std::wstring_view name, int32_t slot, bool select) {
    if (name.empty()) return -1;
    if (slot == -1) {
        for (int32_t free = 0; free < kSlots && slot == -1; ++free)
            if (slots_[free].name.empty()) slot = free;
    }
    if (!IsSlot(slot)) return -1;
    PROFILE& profile = slots_[slot];
    // The old player goes first: its destructor stops it being the current player.
    profile.player.reset();
    profile.name = std::wstring(name);
    profile.player = CreatePlayerState();
    if (select || selected_ == slot) SelectProfile(slot);
    return slot;
}

void ProfileManager::ChooseProfile(std::wstring_view name, int32_t slot) {
    if (!IsSlot(slot) || name.empty()) return;
    if (slots_[slot].name.empty() || slots_[slot].player == nullptr)
        CreateProfile(name, slot, false);
    else if (slots_[slot].name != name)
        slots_[slot].name = std::wstring(name);
    SelectProfile(slot);
}

void ProfileManager::DeleteProfile(int32_t slot) {
    if (!IsSlot(slot)) return;
    PROFILE& profile = slots_[slot];
    if (!profile.name.empty()) {
        DeleteDirectoryTree(ProfileFolder(slot, false));
        profile.name.clear();
        profile.player.reset();
    }
    if (selected_ == slot) selected_ = -1;
}

void ProfileManager::ResetProfile(int32_t slot) {
    if (!IsSlot(slot)) return;
    const std::wstring name = slots_[slot].name;
    DeleteProfile(slot);
    CreateProfile(name, slot, true);
}

void ProfileManager::FreeAllSlots() {
    for (PROFILE& slot : slots_) {
        slot.player.reset();
        slot.name.clear();
    }
    selected_ = -1;
}
