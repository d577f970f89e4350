// What the application base answers the lower layers through AppServices,
// and the crash reporter through CrashHost.

#include "app/assets/asset_registry.h"
#include "app/audio/sound_player.h"
#include "app/services/app_asset_host.h"
#include "app/services/app_crash_host.h"
#include "app/services/app_menu_host.h"
#include "app/shell/vorn_app_base.h"
#include "rendering/image/image.h"

void VornAppBase::WireApplicationServices() {
    if (!crashHost_) crashHost_ = std::make_unique<AppCrashHost>(*this);
    wiring_->WireCrashHost(*crashHost_);
    if (!menuHost_) menuHost_ = std::make_unique<AppMenuHost>(*this);
    wiring_->WireMenuHost(*menuHost_);
}

AssetHost& VornAppBase::GetAssetHost() {
    if (!assetHost_) assetHost_ = std::make_unique<AppAssetHost>(*this);
    return *assetHost_;
}

ExtendedPropertyInterface* VornAppBase::FindImageByName(std::wstring_view name) {
    AssetRegistry* assets = AssetRegistry::Instance();
    return assets ? assets->FindImageByName(name) : nullptr;
}

int VornAppBase::FindSoundId(std::wstring_view name) {
    AssetRegistry* assets = AssetRegistry::Instance();
    return assets ? assets->FindSoundId(name) : -1;
}

int VornAppBase::FindTrackId(std::wstring_view name) {
    AssetRegistry* assets = AssetRegistry::Instance();
    return assets ? assets->FindTrackId(name) : -1;
}

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
