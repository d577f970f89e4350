#include "game/data/progress/kivra_profile_manager.h"

#include <utility>

#include "foundation/files/path_utils.h"
#include "foundation/files/xml_parser.h"
#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/left_out_items.h"

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
        damage_.Clear();
        unreadableInTheWay_ = !MoveUnreadableAside(path);
    } else if (damage_.Any()) {
        for (const ProfileDamage::Note& note : damage_.Notes())
            LogWrite(L"profiles.xml: " + note.where + L": dropped or changed " + note.what, true);
        CopyDamagedAside(path);
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
    // The damaged file holds what the reading lost: it is not written over
    // before a copy of it is safe.
    if (damage_.Any() && damagedCopy_.empty() && !CopyDamagedAside(ProfilesPath())) {
        LogWrite(L"profiles.xml not saved: no copy of the damaged file could be kept", true);
        return false;
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
    toldMark_ = false;
    stop_ = false;
    while (reader.NextElement(element_)) {
        switch (element_.kind) {
            case XMLElement::kStart: ElementStart(element_.name); break;
            case XMLElement::kEnd: ElementEnd(element_.name); break;
            case XMLElement::kText: ElementText(element_.name); break;
            case XMLElement::kInstruction: toldMark_ = element_.name == kToldItemMark; break;
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
    const bool newLevel = name == L"level" && ParkLevel() == nullptr;
    damage_.CheckElement(element_, DamagePlace() + (newLevel ? L", level " + GetAttribute(L"name") : L""));
    if (newLevel) {
        earlierCopy_ = Find(GetAttribute(L"name"));
        if (earlierCopy_ != nullptr) damage_.Add(DamagePlace(), L"a second copy of level " + GetAttribute(L"name"));
    }
    if (name == L"profiles") {
        sawProfiles_ = true;
        const int32_t selected = GetAttributeInt(L"selected");
        selected_ = selected >= -1 && selected < kSlots ? selected : -1;
        namedSelection_ = HasAttribute(L"selected") ? selected : -1;
    } else if (name == L"profile") {
        StartProfile();
    } else if (name == L"symbol") {
        ReadSymbol();
    }
    KivraLevelStats::ElementStart(name);
    if (name == L"item" && ParkLevel() != nullptr && currentItem_ != nullptr) currentItem_->told = toldMark_;
    toldMark_ = false;
}

void KivraProfileManager::ElementText(const std::wstring& text) {
    // A save writes text only as a level's tile map. Any other is damage,
    // most often an element whose "<" was lost (a building, say), and it
    // must not stand in for the tile map either.
    const std::wstring_view section = element_.section;
    if (ParkLevel() != nullptr && (section == L"tiles" || section.ends_with(L"/tiles"))) {
        // A save writes one map as one text. A later text is a piece of it
        // that a comment or instruction split off, read on from the rows
        // before it, or a second map, which replaces the first.
        if (ParkLevel()->rows > 0) damage_.Add(DamagePlace(), L"a tile map in pieces or written twice");
        KivraLevelStats::ElementText(text);
        return;
    }
    constexpr size_t kShown = 40;
    damage_.Add(DamagePlace(), L"the text \"" + text.substr(0, kShown) + (text.size() > kShown ? L"...\"" : L"\""));
}

void KivraProfileManager::ElementEnd(const std::wstring& name) {
    toldMark_ = false;  // it marks only the item that follows it
    if (name == L"profile") EndProfile();
    // The selection names a player the file holds, or none (-1).
    if (name == L"profiles" && namedSelection_ != -1 && Player(namedSelection_) == nullptr)
        damage_.Add(L"profiles",
                    L"the selection of player " + std::to_wstring(namedSelection_) + L", who is not saved");
    LEVEL* level = name == L"level" ? ParkLevel() : nullptr;
    if (level != nullptr) {
        // The park keeps these records as they are; saved again, they carry
        // the mark that they were told, so no later reading tells them again.
        for (const LeftOutItem& left : FindLeftOutItems(*level, ItemStats::Current())) {
            damage_.Add(DamagePlace(), left.why);
            left.record->told = true;
        }
    }
    KivraLevelStats::ElementEnd(name);
    if (level != nullptr) KeepFullerLevel();
}

void KivraProfileManager::KeepFullerLevel() {
    LEVEL* first = std::exchange(earlierCopy_, nullptr);
    if (first == nullptr) return;
    // An empty second copy must not take the park's place.
    LEVEL* second = Find(first->name);
    if (second != nullptr && second != first && first->items.Size() >= second->items.Size())
        Levels()[first->name] = first;
}

std::wstring KivraProfileManager::DamagePlace() const {
    std::wstring place = IsSlot(slotCounter_) && reading_ != nullptr ? slots_[slotCounter_].name : L"profiles";
    if (const KIVRA_LEVEL* level = ParkLevel()) place += L", level " + level->name;
    return place;
}

void KivraProfileManager::StartProfile() {
    // Each profile's levels are its own: none of the previous profile's stay.
    ClearLevels();
    reading_ = nullptr;
    if (!IsSlot(slotCounter_)) {
        // A save writes four: a fifth and beyond are ignored.
        damage_.Add(L"profiles", L"the extra profile " + GetAttribute(L"name"));
        return;
    }
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

bool KivraProfileManager::CopyDamagedAside(const std::string& path) {
    damagedCopy_ = CopyFileAside(path);
    if (damagedCopy_.empty()) {
        LogWrite(L"profiles.xml: no copy of the damaged file could be kept; it is not saved over", true);
        return false;
    }
    LogWrite(L"profiles.xml was damaged; a copy of it was kept as " + text::Widen(GetFileName(damagedCopy_)), true);
    return true;
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
