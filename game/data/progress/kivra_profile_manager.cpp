#include "game/data/progress/kivra_profile_manager.h"

#include "foundation/files/path_utils.h"
#include "foundation/files/xml_parser.h"
#include "foundation/system/log.h"
#include "foundation/system/text.h"

void KivraProfileManager::Load() {
    if (slotCounter_ < 0) return;
    loaded_ = true;
    FreeAllSlots();
    const std::string path = ProfilesPath();
    // A temporary file of a save whose process died is what a crash left.
    if (int leftovers = RemoveInterruptedWrites(path); leftovers > 0)
        LogWrite(L"profiles.xml: removed " + std::to_wstring(leftovers) + L" file(s) of an interrupted save", true);
    if (FileExists(path) && !ReadProfiles(path)) {
        FreeAllSlots();
        unreadableInTheWay_ = !MoveUnreadableAside(path);
    }
    ClearLevels();
    SelectProfile(selected_);
    MakeCurrentManager();
    slotCounter_ = -1;
}

bool KivraProfileManager::Save() {
    // An unreadable file that could not be moved aside is all that is left
    // of the player's profiles: it is not replaced before it is safe.
    if (unreadableInTheWay_) {
        unreadableInTheWay_ = !MoveUnreadableAside(ProfilesPath());
        if (unreadableInTheWay_) {
            LogWrite(L"profiles.xml not saved: the unreadable file could not be moved aside", true);
            return false;
        }
    }
    return ProfileManager::Save();
}

KivraPlayerState* KivraProfileManager::KivraPlayer(int32_t slot) const {
    return dynamic_cast<KivraPlayerState*>(Player(slot));
}

bool KivraProfileManager::ReadProfiles(const std::string& path) {
    XMLParser reader;
    if (!reader.OpenFile(path)) {
        LogWrite(L"profiles.xml could not be opened", true);
        return false;
    }
    sawProfiles_ = false;
    stop_ = false;
    while (reader.NextElement(element_)) {
        switch (element_.kind) {
            case XMLElement::kStart: ElementStart(element_.name); break;
            case XMLElement::kEnd: ElementEnd(element_.name); break;
            case XMLElement::kText: ElementText(element_.name); break;
            default: break;
        }
    }
    reading_ = nullptr;
    if (!errorText_.empty()) {
        // A misplaced park element is dropped; the rest of the file stands.
        LogWrite(L"profiles.xml: " + errorText_, true);
        errorText_.clear();
    }
    if (reader.HasFailed()) {
        LogWrite(text::WFormat(L"profiles.xml is unreadable: %ls on Line %d", reader.GetErrorText().c_str(),
                               reader.GetCurrentLine()),
                 true);
        return false;
    }
    if (!sawProfiles_) {
        LogWrite(L"profiles.xml is unreadable: it holds no profiles element", true);
        return false;
    }
    return true;
}

void KivraProfileManager::ElementStart(const std::wstring& name) {
    if (name == L"profiles") {
        sawProfiles_ = true;
        const int32_t selected = GetAttributeInt(L"selected");
        selected_ = selected >= -1 && selected < kSlots ? selected : -1;
    } else if (name == L"profile") {
        StartProfile();
    } else if (name == L"symbol") {
        ReadSymbol();
    }
    KivraLevelStats::ElementStart(name);
}

void KivraProfileManager::ElementEnd(const std::wstring& name) {
    if (name == L"profile") EndProfile();
    KivraLevelStats::ElementEnd(name);
}

void KivraProfileManager::StartProfile() {
    // Each profile's levels are its own: none of the previous profile's stay.
    ClearLevels();
    reading_ = nullptr;
    if (!IsSlot(slotCounter_)) return;  // a fifth profile and beyond are ignored
    PROFILE& slot = slots_[slotCounter_];
    slot.player.reset();
    slot.name = GetAttribute(L"name");
    if (slot.name.empty()) return;
    std::unique_ptr<PlayerState> player = CreatePlayerState();
    player->started_ = GetAttributeBool(L"started");
    player->SetPlayTime(GetAttributeInt(L"hours"), GetAttributeInt(L"minutes"), GetAttributeInt(L"centiseconds"));
    reading_ = dynamic_cast<KivraPlayerState*>(player.get());
    if (reading_ != nullptr) reading_->tutorial_step = GetAttributeInt(L"tutorial_step");
    slot.player = std::move(player);
}

void KivraProfileManager::EndProfile() {
    if (reading_ != nullptr) {
        reading_->CopyLevelsFrom(*this);
        if (const LevelStats* catalogue = LevelStats::Current()) reading_->AddMissingLevelsFrom(*catalogue);
    }
    reading_ = nullptr;
    ClearLevels();
    if (slotCounter_ >= 0) ++slotCounter_;
}

void KivraProfileManager::ReadSymbol() {
    if (reading_ == nullptr) return;
    reading_->symbols_[GetAttribute(L"name")] = evaluator_.Evaluate(GetAttribute(L"value"));
}

bool KivraProfileManager::MoveUnreadableAside(const std::string& path) {
    if (!FileExists(path)) return true;
    std::string aside = MoveFileAside(path);
    if (aside.empty()) {
        LogWrite(L"profiles.xml could not be moved aside", true);
        return false;
    }
    movedAsideTo_ = aside;
    LogWrite(L"profiles.xml was moved aside to " + text::Widen(GetFileName(aside)) + L"; starting without profiles",
             true);
    return true;
}
