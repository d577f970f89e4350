// What the application base answers the lower layers through AppServices,
// and the crash reporter through CrashHost.

#include "app/audio/sound_player.h"
#include "app/services/app_crash_host.h"
#include "app/services/asset_lookup.h"
#include "app/shell/vorn_app_base.h"

void VornAppBase::WireApplicationServices() {
    if (!crashHost_) crashHost_ = std::make_unique<AppCrashHost>(*this);
    wiring_->WireCrashHost(*crashHost_);
}

ExtendedPropertyInterface* VornAppBase::FindImageByName(std::wstring_view name) {
    return assets_ ? assets_->FindImage(name) : nullptr;
}

int VornAppBase::FindSoundId(std::wstring_view name) { return assets_ ? assets_->FindSound(name) : -1; }

int VornAppBase::FindTrackId(std::wstring_view name) { return assets_ ? assets_->FindTrack(name) : -1; }

void VornAppBase::PlaySoundEffect(int soundId, int replayGap, double volume) {
    if (SoundPlayer* player = GetSoundPlayer()) player->PlaySound(soundId, replayGap, volume);
}

int VornAppBase::GetStoredDataVersion() { return settings_ ? settings_->Values().version : 0; }

void VornAppBase::SetStoredDataVersion(int version) {
    if (settings_) settings_->Values().version = version;
}

void VornAppBase::SetAppTitle(std::wstring_view title) {
    title_ = std::wstring(title);
    if (windows_ && mainWindow_ != plat::kNoWindow) windows_->SetTitle(mainWindow_, title_);
}
