#include "app/settings/settings_store.h"

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
    if (!screensaverMode) {
        values_.inProgress = true;
        Save();
    }
    return read;
}

std::wstring SettingsStore::BuildAttributes() {
    return BuildSettingsAttributes(values_, reportedTracks_,
                                   [](std::wstring_view message) { LogWrite(message, true); });
}

bool SettingsStore::Save(std::wstring_view extraAttributes) {
    std::wstring attributes = BuildAttributes();
    attributes += extraAttributes;
    if (WriteSettingsFile(path_, attributes)) return true;
    LogWrite(L"Could not save " + text::FromUtf8(path_) + L"; the previous file is kept", true);
    return false;
}

void SettingsStore::EndRun(std::wstring_view extraAttributes) {
    values_.inProgress = false;
    if (loaded_) Save(extraAttributes);
}
