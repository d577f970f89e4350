#include "app/settings/settings_store.h"

#include <filesystem>
#include <system_error>

#include "foundation/files/path_utils.h"
#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "platform/system/file_system.h"

bool SettingsStore::Load(bool screensaverMode, const std::function<void(const XMLElement&)>& handler) {
    loaded_ = true;
    // A save killed mid-write leaves its temporary file; the file itself is
    // whole either way.
    if (int removed = plat::RemoveStaleReplaceTemps(path_))
        LogWrite(text::WFormat(L"Removed %d unfinished settings file(s)", removed), true);
    bool read = ReadSettingsFile(path_, handler);
    if (!read && FileExists(path_)) KeepUnreadableAside();
    if (!screensaverMode) BeginRun();
    return read;
}

void SettingsStore::BeginRun() {
    values_.inProgress = true;
    Save();
}

std::wstring SettingsStore::BuildAttributes() {
    return BuildSettingsAttributes(values_, reportedTracks_,
                                   [](std::wstring_view message) { LogWrite(message, true); });
}

void SettingsStore::KeepUnreadableAside() {
    movedAsideTo_ = MoveFileAside(path_);
    unreadableInTheWay_ = movedAsideTo_.empty() && FileExists(path_);
    if (unreadableInTheWay_)
        LogWrite(L"settings.xml is unreadable and could not be moved aside; it is not replaced", true);
    else
        LogWrite(L"settings.xml is unreadable; it was moved aside to " + text::FromUtf8(GetFileName(movedAsideTo_)) +
                     L" and the defaults hold",
                 true);
}

void SettingsStore::BeginRunInBackground() {
    values_.inProgress = true;
    FinishSave();
    std::wstring attributes;
    if (!SaveText({}, attributes)) return;
    // The folder is the one of this moment: the start-up changes the working
    // folder while the file is written.
    std::error_code error;
    std::string target = std::filesystem::absolute(path_, error).string();
    if (error) target = path_;
    try {
        pendingSave_ =
            std::async(std::launch::async, [target, attributes] { return WriteSettingsFile(target, attributes); });
    } catch (const std::system_error&) {
        // No thread to be had: written here, as BeginRun does.
        Written(WriteSettingsFile(path_, attributes));
    }
}

bool SettingsStore::FinishSave() {
    if (!pendingSave_.valid()) return true;
    return Written(pendingSave_.get());
}

bool SettingsStore::SaveText(std::wstring_view extraAttributes, std::wstring& attributes) {
    // The unreadable file may be all that is left of the player's choices.
    if (unreadableInTheWay_) KeepUnreadableAside();
    if (unreadableInTheWay_) return false;
    attributes = BuildAttributes();
    attributes += extraAttributes;
    return true;
}

bool SettingsStore::Written(bool written) {
    if (!written) LogWrite(L"Could not save " + text::FromUtf8(path_) + L"; the previous file is kept", true);
    return written;
}

bool SettingsStore::Save(std::wstring_view extraAttributes) {
    FinishSave();
    std::wstring attributes;
    if (!SaveText(extraAttributes, attributes)) return false;
    return Written(WriteSettingsFile(path_, attributes));
}

void SettingsStore::EndRun(std::wstring_view extraAttributes) {
    values_.inProgress = false;
    if (loaded_) Save(extraAttributes);
}
