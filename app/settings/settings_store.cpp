#include "app/settings/settings_store.h"

#include "foundation/system/log.h"
#include "foundation/system/text.h"

bool SettingsStore::Load(bool screensaverMode, const std::function<void(const XMLElement&)>& handler) {
    loaded_ = true;
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
